#include "shell/sdl/sdl_main_loop.h"

#include <SDL.h>

#include "shell/main_loop.h"
#include "shell/pending_runtime.h"
#include "shell/platform.h"
#include "shell/sdl/sdl_events.h"

int run_main_loop() {
  const idle_turn_hooks hooks{demo_frame, [] { platform.swap_buffers(); }};
  for (;;) {
    SDL_Event event;
    if (SDL_PollEvent(&event)) {
      if (event.type == SDL_QUIT) return 0;
      dispatch_sdl_event(event);
      continue;
    }
    idle_turn(hooks);
  }
}
