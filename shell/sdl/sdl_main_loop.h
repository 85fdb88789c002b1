#pragma once
// The message loop of the show window on SDL.

#include "shell/main_loop.h"

// Handles every waiting event before each idle turn; returns the exit code once SDL_QUIT arrives.
int run_main_loop(const idle_turn_hooks& hooks);
