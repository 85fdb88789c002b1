#pragma once
// The show window's message handling, shared by every backend: a backend turns its window-system
// events into these messages and acts on the result (posting the quit request, default processing).
#include <cstdint>

enum class window_message_kind {
  activate,        // a: 1 when the window is minimised
  system_command,  // a: 1 for a screen-saver or display power-off request
  close,           // close box, Alt+F4
  key_down,        // a: virtual-key code
  key_up,          // a: virtual-key code
  size,            // a, b: new client width and height
  mouse_wheel,     // a: signed wheel delta in 1/120 notches
  right_button_down,
  right_button_up,
  middle_button_down,
  other,  // everything else, character messages included
};

struct window_message {
  window_message_kind kind = window_message_kind::other;
  int32_t a = 0;
  int32_t b = 0;
};

enum class window_result {
  handled,             // answered; nothing more to do
  default_processing,  // let the window system handle it as usual
  quit,                // post the quit request with exit code 0
};

window_result window_procedure(const window_message& message);

// The middle-click record: appends the mark to the frame state and the three lines to
// `demo.clipboard_text`.
void record_middle_click();
