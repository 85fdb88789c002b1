// The message loop of the show window on Win32: every waiting message is dispatched before each
// idle turn.
#include "shell/main_loop.h"

#include <windows.h>

int run_main_loop(const idle_turn_hooks& hooks) {
  MSG message{};
  for (;;) {
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
      TranslateMessage(&message);
      DispatchMessageA(&message);
    } else if (!idle_turn(hooks)) {
      return 0;
    }
  }
}
