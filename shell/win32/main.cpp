// Program entry on Windows: display modes, settings dialog, optional console, show window, then the
// message loop that draws one frame per idle turn until the window is closed or the show has ended
// (its end, a part's request, the Escape ending). Every exit status is returned here.
#include <windows.h>

#include "runtime/demo_frame.h"
#include "runtime/demo_state.h"
#include "runtime/platform.h"
#include "shell/dialog.h"
#include "shell/main_loop.h"
#include "shell/texts.h"
#include "shell/win32/backend.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  // Started outside its folder (Explorer, a shortcut), the program reads its data beside itself.
  enter_start_folder();
  install_platform();
  demo.hinstance = instance;
  enumerate_display_modes();
  if (run_settings_dialog() == dialog_outcome::quit) return 0;
  if (command_line && command_line[0] != '\0') open_console();

  // A failed window creation or demo start-up has been reported; it is a failed start.
  if (!create_gl_window(texts::window_title, demo.screen_width, demo.screen_height, 32, demo.fullscreen)) {
    return 1;
  }
  const int exit_code = run_main_loop({demo_frame, [] { platform.swap_buffers(); }});
  kill_gl_window();
  return exit_code;
}
