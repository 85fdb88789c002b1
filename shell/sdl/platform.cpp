// The windowing services on SDL: message boxes, the clipboard (with its keeper on X11), presenting,
// window teardown and the performance counter.
#include "runtime/platform.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "shell/sdl/backend.h"
#include "shell/sdl/x11_clipboard.h"

namespace {

message_box_answer show_message_box(const char* text, const char* caption, message_box_kind kind) {
  Uint32 flags = SDL_MESSAGEBOX_WARNING;
  if (kind == message_box_kind::ok_stop) flags = SDL_MESSAGEBOX_ERROR;
  if (kind == message_box_kind::ok_information) flags = SDL_MESSAGEBOX_INFORMATION;

  const SDL_MessageBoxButtonData ok_button[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "OK"}};
  const SDL_MessageBoxButtonData yes_no_buttons[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 2, "No"},
  };
  const bool yes_no = kind == message_box_kind::yes_no_exclamation;
  SDL_MessageBoxData data{};
  data.flags = flags;
  data.title = caption;
  data.message = text;
  data.numbuttons = yes_no ? 2 : 1;
  data.buttons = yes_no ? yes_no_buttons : ok_button;

  // The box is modal to the program: its window (if any) is its parent.
  data.window = sdl_backend.window;
  int pressed = -1;
  if (SDL_ShowMessageBox(&data, &pressed) != 0) {
    // No display to show it on: the text goes to standard error and the safe answer is "No".
    std::fprintf(stderr, "[%s] %s (%s)\n", caption, text, SDL_GetError());
    return yes_no ? message_box_answer::no : message_box_answer::ok;
  }
  if (!yes_no) return message_box_answer::ok;
  return pressed == 1 ? message_box_answer::yes : message_box_answer::no;
}

// On X11 a selection ends with the client that owns it, and the program ends right after this
// call: a keeper process takes the text (the program's own claim could reach the X server after
// the keeper's and take it back). The text is also written to standard output.
void copy_to_clipboard(const std::string& text) {
  const char* driver = SDL_GetCurrentVideoDriver();
  std::string error;
  if (!driver || std::string_view(driver) != "x11") {
    SDL_SetClipboardText(text.c_str());
  } else if (!start_clipboard_keeper(text, error)) {
    std::fprintf(stderr, "vorteline: the recorded text leaves the clipboard when the program ends: %s\n",
                 error.c_str());
    SDL_SetClipboardText(text.c_str());
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

void swap_buffers() {
  if (sdl_backend.window) SDL_GL_SwapWindow(sdl_backend.window);
}

int64_t counter() { return static_cast<int64_t>(SDL_GetPerformanceCounter()); }
int64_t counter_frequency() { return static_cast<int64_t>(SDL_GetPerformanceFrequency()); }

}  // namespace

void install_platform() {
  platform = {show_message_box, copy_to_clipboard, kill_gl_window, swap_buffers, counter, counter_frequency};
}
