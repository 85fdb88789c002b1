// Program entry on Windows: display modes, settings dialog, optional console, show window, then the
// message loop that draws one frame per idle turn until the window is closed (Escape and the show's
// end leave from inside a frame).
#include <windows.h>

#include "runtime/demo_frame.h"
#include "runtime/demo_state.h"
#include "shell/gl_window.h"
#include "shell/main_loop.h"
#include "runtime/platform.h"
#include "shell/texts.h"
#include "shell/win32/platform_win32.h"
#include "shell/win32/settings_dialog.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  install_win32_platform();
  enumerate_display_modes();
  run_settings_dialog(instance);
  if (command_line && command_line[0] != '\0') open_console();

  // A failed window creation has been reported; it is a failed start.
  if (!create_gl_window(texts::window_title, demo.screen_width, demo.screen_height, 32, demo.fullscreen)) {
    return 1;
  }
  const idle_turn_hooks hooks{demo_frame, [] { platform.swap_buffers(); }};
  MSG message{};
  for (;;) {
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) break;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    } else {
      idle_turn(hooks);
    }
  }
  kill_gl_window();
  return static_cast<int>(message.wParam);
}
