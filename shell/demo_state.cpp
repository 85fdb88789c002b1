#include "shell/demo_state.h"

demo_state demo;
