// The show window's Win32 messages, turned into window messages for the shared window procedure.
#include "shell/window_procedure.h"

#include "shell/win32/backend.h"

namespace {

window_message translate(UINT message, WPARAM wparam, LPARAM lparam) {
  using kind = window_message_kind;
  switch (message) {
    case WM_ACTIVATE:
      return {kind::activate, HIWORD(wparam) != 0 ? 1 : 0};
    case WM_SYSCOMMAND:
      return {kind::system_command, wparam == SC_SCREENSAVE || wparam == SC_MONITORPOWER ? 1 : 0};
    case WM_CLOSE:
      return {kind::close};
    case WM_KEYDOWN:
      return {kind::key_down, static_cast<int32_t>(wparam)};
    case WM_KEYUP:
      return {kind::key_up, static_cast<int32_t>(wparam)};
    case WM_SIZE:
      return {kind::size, LOWORD(lparam), HIWORD(lparam)};
    case WM_MOUSEWHEEL:
      return {kind::mouse_wheel, static_cast<int16_t>(HIWORD(wparam))};
    case WM_RBUTTONDOWN:
      return {kind::right_button_down};
    case WM_RBUTTONUP:
      return {kind::right_button_up};
    case WM_MBUTTONDOWN:
      return {kind::middle_button_down};
    default:
      return {kind::other};
  }
}

}  // namespace

LRESULT CALLBACK show_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (window_procedure(translate(message, wparam, lparam))) {
    case window_result::handled:
      return 0;
    case window_result::quit:
      PostQuitMessage(0);
      return 0;
    case window_result::default_processing:
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}
