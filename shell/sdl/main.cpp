// Program entry on Linux and macOS: display modes, settings dialog, optional console, show window,
// then the main loop until the window is closed (Escape and the show's end leave from inside a frame).
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include "capture/offline_options.h"
#include "capture/offline_run.h"
#include "runtime/demo_frame.h"
#include "shell/demo_state.h"
#include "shell/gl_window.h"
#include "shell/platform.h"
#include "shell/sdl/sdl_dialog.h"
#include "shell/sdl/sdl_main_loop.h"
#include "shell/sdl/sdl_platform.h"
#include "shell/texts.h"

int main(int argc, char** argv) {
  SDL_SetMainReady();
  // The offline modes (video capture, pictures, timeline probe) need neither dialog nor screen.
  if (is_offline_command(argc, argv)) return run_offline_command(argc, argv);
  install_sdl_platform();

  enumerate_display_modes();
  run_settings_dialog();
  if (argc > 1) open_console();

  if (!create_gl_window(texts::window_title, demo.screen_width, demo.screen_height, 32, demo.fullscreen))
    return 0;
  const int exit_code = run_main_loop({demo_frame, [] { platform.swap_buffers(); }});
  kill_gl_window();
  SDL_Quit();
  return exit_code;
}
