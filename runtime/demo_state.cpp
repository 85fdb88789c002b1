#include "runtime/demo_state.h"

demo_state demo;
