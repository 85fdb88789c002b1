// SDL events through the backend's translation into the shared window procedure (no display).
#include <gtest/gtest.h>

#include "runtime/demo_state.h"
#include "runtime/frame_state.h"
#include "shell/main_loop.h"
#include "shell/sdl/backend.h"

namespace {

SDL_Event key_event(Uint32 type, SDL_Keycode key, SDL_Scancode scancode) {
  SDL_Event e{};
  e.type = type;
  e.key.keysym.sym = key;
  e.key.keysym.scancode = scancode;
  return e;
}

SDL_Event wheel_event(float notches, Uint32 direction = SDL_MOUSEWHEEL_NORMAL) {
  SDL_Event e{};
  e.type = SDL_MOUSEWHEEL;
  e.wheel.preciseY = notches;
  e.wheel.y = static_cast<Sint32>(notches);
  e.wheel.direction = direction;
  return e;
}

TEST(SdlKeys, MapToWindowsVirtualKeys) {
  EXPECT_EQ(virtual_key_of(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE), 27);
  EXPECT_EQ(virtual_key_of(SDLK_F1, SDL_SCANCODE_F1), 112);
  EXPECT_EQ(virtual_key_of(SDLK_DOWN, SDL_SCANCODE_DOWN), 40);
  EXPECT_EQ(virtual_key_of(SDLK_z, SDL_SCANCODE_Z), 90);
  EXPECT_EQ(virtual_key_of(SDLK_q, SDL_SCANCODE_A), 81);  // letters follow the layout (AZERTY A key)
  EXPECT_EQ(virtual_key_of(SDLK_9, SDL_SCANCODE_9), 57);
  EXPECT_EQ(virtual_key_of(SDLK_0, SDL_SCANCODE_0), 48);
  EXPECT_EQ(virtual_key_of(SDLK_AMPERSAND, SDL_SCANCODE_1), 49);  // top row by position
  EXPECT_EQ(virtual_key_of(SDLK_BACKQUOTE, SDL_SCANCODE_GRAVE), 0xDF);
  EXPECT_EQ(virtual_key_of(SDLK_MINUS, SDL_SCANCODE_MINUS), 0xBD);
  EXPECT_EQ(virtual_key_of(SDLK_EQUALS, SDL_SCANCODE_EQUALS), 0xBB);
  EXPECT_EQ(virtual_key_of(SDLK_COMMA, SDL_SCANCODE_COMMA), 0xBC);  // by position, as the top row
  EXPECT_EQ(virtual_key_of(SDLK_PERIOD, SDL_SCANCODE_PERIOD), 0xBE);
  EXPECT_EQ(virtual_key_of(SDLK_LEFTBRACKET, SDL_SCANCODE_LEFTBRACKET), 0xDB);
  EXPECT_EQ(virtual_key_of(SDLK_RIGHTBRACKET, SDL_SCANCODE_RIGHTBRACKET), 0xDD);
  EXPECT_EQ(virtual_key_of(SDLK_MENU, SDL_SCANCODE_MENU), -1);
}

class SdlEvents : public testing::Test {
 protected:
  void SetUp() override {
    demo = demo_state{};
    global_frame_state = {};
    demo.frame_step = 0.01;
  }
};

TEST_F(SdlEvents, KeyDownUpAndTextInputDriveTheTuning) {
  dispatch_sdl_event(key_event(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A));
  EXPECT_TRUE(demo.keys['A']);
  EXPECT_EQ(global_frame_state.limit, 0.0);  // key messages are answered before the tail
  // Holding A repeats key-down and text-input events; each text event lowers the limit once.
  SDL_Event text{};
  text.type = SDL_TEXTINPUT;
  for (int i = 0; i < 3; ++i) {
    dispatch_sdl_event(key_event(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A));
    dispatch_sdl_event(text);
  }
  EXPECT_NEAR(global_frame_state.limit, -0.03, 1e-12);
  dispatch_sdl_event(key_event(SDL_KEYUP, SDLK_a, SDL_SCANCODE_A));
  EXPECT_FALSE(demo.keys['A']);
  dispatch_sdl_event(text);
  EXPECT_NEAR(global_frame_state.limit, -0.03, 1e-12);
}

TEST_F(SdlEvents, WheelInNotchesAndFractions) {
  dispatch_sdl_event(wheel_event(2.0f));
  EXPECT_EQ(demo.wheel_notches, 2);
  dispatch_sdl_event(wheel_event(-0.5f));
  EXPECT_EQ(demo.wheel_notches, 2);
  dispatch_sdl_event(wheel_event(1.0f, SDL_MOUSEWHEEL_FLIPPED));
  EXPECT_EQ(demo.wheel_notches, 1);
}

TEST_F(SdlEvents, MouseButtonsAndMinimise) {
  SDL_Event button{};
  button.type = SDL_MOUSEBUTTONDOWN;
  button.button.button = SDL_BUTTON_RIGHT;
  dispatch_sdl_event(button);
  EXPECT_TRUE(demo.right_button);
  button.type = SDL_MOUSEBUTTONUP;
  dispatch_sdl_event(button);
  EXPECT_FALSE(demo.right_button);

  button.type = SDL_MOUSEBUTTONDOWN;
  button.button.button = SDL_BUTTON_MIDDLE;
  dispatch_sdl_event(button);
  EXPECT_EQ(global_frame_state.marks.size(), 1u);
  EXPECT_NE(demo.clipboard_text.find("MCr :0,2,0"), std::string::npos);

  SDL_Event window{};
  window.type = SDL_WINDOWEVENT;
  window.window.event = SDL_WINDOWEVENT_MINIMIZED;
  dispatch_sdl_event(window);
  EXPECT_FALSE(demo.window_active);
  window.window.event = SDL_WINDOWEVENT_RESTORED;
  dispatch_sdl_event(window);
  EXPECT_TRUE(demo.window_active);
}

TEST_F(SdlEvents, AnEscapeTapReleasedBeforeTheIdleTurnStillStartsTheEnding) {
  // A frame (or the loading) longer than the tap: press and release both wait in the queue, and the
  // loop handles every waiting event before the next idle turn.
  const idle_turn_hooks hooks{[] {
                                demo.show_time += 0.5;
                                return true;
                              },
                              [] {}};
  idle_turn(hooks);
  dispatch_sdl_event(key_event(SDL_KEYDOWN, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE));
  dispatch_sdl_event(key_event(SDL_KEYUP, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE));
  EXPECT_FALSE(demo.keys[vk::escape]);
  EXPECT_FALSE(demo.ending);
  idle_turn(hooks);
  EXPECT_TRUE(demo.ending);
  EXPECT_EQ(demo.ending_start, 1.0);  // the show time after this turn's frame

  // A second tap changes nothing; the turn forgets each press it has seen.
  dispatch_sdl_event(key_event(SDL_KEYDOWN, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE));
  dispatch_sdl_event(key_event(SDL_KEYUP, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE));
  idle_turn(hooks);
  EXPECT_EQ(demo.ending_start, 1.0);
  EXPECT_FALSE(demo.escape_pressed);

  // Other keys tapped between turns leave no trace.
  demo = demo_state{};
  dispatch_sdl_event(key_event(SDL_KEYDOWN, SDLK_q, SDL_SCANCODE_Q));
  dispatch_sdl_event(key_event(SDL_KEYUP, SDLK_q, SDL_SCANCODE_Q));
  idle_turn(hooks);
  EXPECT_FALSE(demo.ending);
}

}  // namespace
