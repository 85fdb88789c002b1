// The message loop of the show window on SDL.
#include "shell/main_loop.h"

#include <SDL.h>

#include "shell/sdl/backend.h"

int run_main_loop(const idle_turn_hooks& hooks) {
  for (;;) {
    SDL_Event event;
    if (SDL_PollEvent(&event)) {
      if (event.type == SDL_QUIT) return 0;
      if (hooks.key_down && event.type == SDL_KEYDOWN && event.key.repeat == 0) {
        const int vk = virtual_key_of(event.key.keysym.sym, event.key.keysym.scancode);
        if (vk >= 0) hooks.key_down(vk, (SDL_GetModState() & KMOD_SHIFT) != 0);
      }
      dispatch_sdl_event(event);
      continue;
    }
    if (!idle_turn(hooks)) return 0;
  }
}
