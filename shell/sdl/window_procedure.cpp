#include "shell/window_procedure.h"

#include <cmath>

#include "shell/sdl/backend.h"

namespace {

void send(window_message_kind kind, int32_t a = 0, int32_t b = 0) {
  if (window_procedure({kind, a, b}) == window_result::quit) {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
  }
}

bool window_minimised(Uint32 window_id) {
  SDL_Window* window = SDL_GetWindowFromID(window_id);
  return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) != 0;
}

void dispatch_window_event(const SDL_WindowEvent& event) {
  switch (event.event) {
    case SDL_WINDOWEVENT_MINIMIZED:
      // A minimised window reports a client area of 0 x 0.
      send(window_message_kind::activate, 1);
      send(window_message_kind::size, 0, 0);
      break;
    case SDL_WINDOWEVENT_RESTORED: {
      send(window_message_kind::activate, 0);
      int width = 0, height = 0;
      if (SDL_Window* window = SDL_GetWindowFromID(event.windowID))
        SDL_GetWindowSize(window, &width, &height);
      send(window_message_kind::size, width, height);
      break;
    }
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST:
      send(window_message_kind::activate, window_minimised(event.windowID) ? 1 : 0);
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      send(window_message_kind::size, event.data1, event.data2);
      break;
    case SDL_WINDOWEVENT_CLOSE:
      send(window_message_kind::close);
      break;
    default:
      send(window_message_kind::other);
      break;
  }
}

}  // namespace

void dispatch_sdl_event(const SDL_Event& event) {
  switch (event.type) {
    case SDL_WINDOWEVENT:
      dispatch_window_event(event.window);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const int key = virtual_key_of(event.key.keysym.sym, event.key.keysym.scancode);
      if (key < 0) {
        send(window_message_kind::other);
      } else {
        send(event.type == SDL_KEYDOWN ? window_message_kind::key_down : window_message_kind::key_up, key);
      }
      break;
    }
    case SDL_MOUSEWHEEL: {
      // Wheel deltas in the 1/120 units of a notch; smooth wheels report fractions of a notch.
      float notches = event.wheel.preciseY;
      if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
      send(window_message_kind::mouse_wheel, static_cast<int32_t>(std::lround(notches * 120.0f)));
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
      if (event.button.button == SDL_BUTTON_RIGHT) {
        send(window_message_kind::right_button_down);
      } else if (event.button.button == SDL_BUTTON_MIDDLE) {
        send(window_message_kind::middle_button_down);
      } else {
        send(window_message_kind::other);
      }
      break;
    case SDL_MOUSEBUTTONUP:
      send(event.button.button == SDL_BUTTON_RIGHT ? window_message_kind::right_button_up
                                                   : window_message_kind::other);
      break;
    default:
      // Text input stands for the character messages; it and every other event reach the tail.
      send(window_message_kind::other);
      break;
  }
}
