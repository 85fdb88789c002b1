// Program entry on Linux and macOS: the command line (the show, --help or an offline mode), then
// display modes, settings dialog, show window and the main loop until the window is closed or the
// show has ended (its end, a part's request, the Escape ending). Every exit status is returned here.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <cstdio>
#include <new>
#include <string>
#include <string_view>

#include "capture/offline_options.h"
#include "capture/offline_run.h"
#include "runtime/demo_frame.h"
#include "runtime/demo_state.h"
#include "runtime/platform.h"
#include "shell/dialog.h"
#include "shell/main_loop.h"
#include "shell/sdl/author_main.h"
#include "shell/sdl/backend.h"
#include "shell/sdl/x11_clipboard.h"
#include "shell/texts.h"

namespace {

int run_program(int argc, char** argv) {
  // The program started again by itself to keep the recorded text on the clipboard after it ends.
  if (argc == 2 && std::string_view(argv[1]) == clipboard_keeper_argument) return run_clipboard_keeper();
  // Started outside its folder (a file manager, a shortcut), the program reads its data beside itself.
  start_command_line command;
  enter_start_folder(argc, argv, command);

  std::string error;
  switch (classify_command_line(argc, argv, error)) {
    case command_kind::help:
      std::fputs(program_usage().c_str(), stdout);
      return 0;
    case command_kind::refused:
      std::fprintf(stderr, "vorteline: %s\n%s", error.c_str(), program_usage().c_str());
      return 2;
    case command_kind::offline:
      // The offline modes (video capture, pictures, timeline probe) need neither dialog nor screen.
      return run_offline_command(argc, argv);
    case command_kind::author:
      return run_author_mode(argc, argv);
    case command_kind::show:
      break;
  }
  install_platform();

  enumerate_display_modes();
  if (run_settings_dialog() == dialog_outcome::quit) {
    SDL_Quit();
    return 0;
  }

  // A failed window creation or demo start-up has been reported; it is a failed start.
  if (!create_gl_window(texts::window_title, demo.screen_width, demo.screen_height, 32, demo.fullscreen)) {
    SDL_Quit();
    return 1;
  }
  const int exit_code = run_main_loop({demo_frame, [] { platform.swap_buffers(); }});
  kill_gl_window();
  SDL_Quit();
  return exit_code;
}

}  // namespace

int main(int argc, char** argv) {
  SDL_SetMainReady();
  // The loaders turn a failed allocation into their own errors; one anywhere else (a machine out
  // of memory) still ends the program with a reason and a failure status, not an abort.
  try {
    return run_program(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("vorteline: out of memory\n", stderr);
    return 1;
  }
}
