// The message loop of the show window on SDL.
#include "shell/main_loop.h"

#include <SDL.h>

#include "shell/sdl/backend.h"

int run_main_loop(const idle_turn_hooks& hooks) {
  for (;;) {
    SDL_Event event;
    if (SDL_PollEvent(&event)) {
      if (event.type == SDL_QUIT) return 0;
      dispatch_sdl_event(event);
      continue;
    }
    if (!idle_turn(hooks)) return 0;
  }
}
