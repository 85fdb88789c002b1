#pragma once
// The show window's SDL events, turned into window messages for the shared window procedure.
#include <SDL.h>

// Handles one event; a close request pushes SDL_QUIT, which ends the main loop.
void dispatch_sdl_event(const SDL_Event& event);
