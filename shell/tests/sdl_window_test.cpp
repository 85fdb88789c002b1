// The show window on SDL under a real X display (Xvfb in CI): context, GL defaults, main loop,
// minimising, refused fullscreen modes and teardown.
#include <GL/glew.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/demo_state.h"
#include "runtime/gl_scene.h"
#include "runtime/platform.h"
#include "shell/main_loop.h"
#include "shell/sdl/backend.h"
#include "shell/texts.h"

namespace {

int starts = 0;
bool count_start() {
  ++starts;
  return true;
}

struct shown_box {
  std::string text, caption;
  message_box_kind kind;
};
std::vector<shown_box> boxes;
message_box_answer answer = message_box_answer::no;
message_box_answer record_box(const char* text, const char* caption, message_box_kind kind) {
  boxes.push_back({text, caption, kind});
  return kind == message_box_kind::yes_no_exclamation ? answer : message_box_answer::ok;
}

class SdlWindow : public testing::Test {
 protected:
  void SetUp() override {
    demo = demo_state{};
    demo_start = count_start;
    platform.message_box = record_box;
    starts = 0;
    boxes.clear();
  }
  void TearDown() override { kill_gl_window(); }
};

std::array<GLint, 4> viewport() {
  std::array<GLint, 4> v{};
  glGetIntegerv(GL_VIEWPORT, v.data());
  return v;
}

TEST_F(SdlWindow, CompatibilityContextWithTheEngineExtensionsAndDefaults) {
  ASSERT_TRUE(create_gl_window(texts::window_title, 320, 180, 32, false));
  EXPECT_EQ(starts, 1);
  EXPECT_TRUE(boxes.empty());
  auto* window = sdl_backend.window;
  ASSERT_NE(window, nullptr);
  ASSERT_NE(sdl_backend.context, nullptr);
  EXPECT_STREQ(SDL_GetWindowTitle(window), " =       Vorteline | Quorl vs Vantry 2010 = ");
  int x = 0, y = 0, w = 0, h = 0;
  SDL_GetWindowPosition(window, &x, &y);
  SDL_GetWindowSize(window, &w, &h);
  EXPECT_EQ(x, 50);
  EXPECT_EQ(y, 50);
  EXPECT_EQ(w, 320);
  EXPECT_EQ(h, 180);

  // Compatibility profile: fixed-function drawing works.
  GLint profile = 0;
  glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
  EXPECT_TRUE(profile == 0 || (profile & GL_CONTEXT_COMPATIBILITY_PROFILE_BIT) != 0) << profile;
  while (glGetError() != GL_NO_ERROR) {
  }
  glBegin(GL_TRIANGLES);
  glVertex3f(0, 0, -1);
  glVertex3f(1, 0, -1);
  glVertex3f(0, 1, -1);
  glEnd();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

  EXPECT_TRUE(GLEW_EXT_framebuffer_object);
  EXPECT_TRUE(GLEW_EXT_framebuffer_blit);
  EXPECT_TRUE(GLEW_EXT_framebuffer_multisample);
  EXPECT_TRUE(GLEW_ARB_draw_buffers || GLEW_VERSION_2_0);
  EXPECT_TRUE(GLEW_ARB_shader_objects && GLEW_ARB_vertex_shader && GLEW_ARB_fragment_shader);
  int glsl_major = 0, glsl_minor = 0;
  std::sscanf(reinterpret_cast<const char*>(glGetString(GL_SHADING_LANGUAGE_VERSION)), "%d.%d", &glsl_major,
              &glsl_minor);
  EXPECT_GE(glsl_major * 100 + glsl_minor, 120);

  int depth = 0, alpha = 0, double_buffer = 0;
  SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depth);
  SDL_GL_GetAttribute(SDL_GL_ALPHA_SIZE, &alpha);
  SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &double_buffer);
  EXPECT_GE(depth, 24);
  EXPECT_GE(alpha, 1);
  EXPECT_EQ(double_buffer, 1);

  // Viewport and projection for the client size: 45 degrees, aspect in double.
  EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 320, 180}));
  GLdouble projection[16] = {};
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  EXPECT_NEAR(projection[5], 1.0 / std::tan(22.5 * M_PI / 180.0), 1e-6);
  EXPECT_NEAR(projection[0] / projection[5], 180.0 / 320.0, 1e-6);

  // A height of 0 counts as 1.
  resize_gl_scene(0, 0);
  EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 0, 1}));

  kill_gl_window();
  EXPECT_EQ(sdl_backend.window, nullptr);
  EXPECT_EQ(sdl_backend.context, nullptr);
  kill_gl_window();  // again, with nothing left
  EXPECT_TRUE(boxes.empty());
}

// The main loop under scripted events: minimise, restore, then the close box.
int frames = 0, presents = 0, frames_when_minimised = 0, frames_when_restored = 0;
std::array<GLint, 4> minimised_viewport{};

void push_window_event(Uint8 kind) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.event = kind;
  e.window.windowID = SDL_GetWindowID(sdl_backend.window);
  SDL_PushEvent(&e);
}

void scripted_present() {
  ++presents;
  if (presents == 3) {
    frames_when_minimised = frames;
    push_window_event(SDL_WINDOWEVENT_MINIMIZED);
  } else if (presents == 5) {
    minimised_viewport = viewport();
  } else if (presents == 8) {
    frames_when_restored = frames;
    push_window_event(SDL_WINDOWEVENT_RESTORED);
  } else if (presents == 12) {
    push_window_event(SDL_WINDOWEVENT_CLOSE);
  }
}

TEST_F(SdlWindow, MinimisingStopsDrawingAndClosingEndsTheLoopWithZero) {
  ASSERT_TRUE(create_gl_window(texts::window_title, 256, 144, 32, false));
  frames = presents = 0;
  // Drain what window creation queued so the script counts from the first idle turn.
  SDL_PumpEvents();
  const int code = run_main_loop({[] { return ++frames > 0; }, scripted_present});
  EXPECT_EQ(code, 0);
  EXPECT_GE(presents, 12);
  EXPECT_EQ(frames_when_minimised, 3);
  EXPECT_EQ(frames_when_restored, 3);  // nothing drawn while minimised, yet presented every turn
  EXPECT_GE(frames, 7);
  EXPECT_EQ(minimised_viewport, (std::array<GLint, 4>{0, 0, 0, 1}));
  EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 256, 144}));
}

TEST_F(SdlWindow, RefusedFullscreenModeFallsBackToAWindowOnYes) {
  answer = message_box_answer::yes;
  const bool created = create_gl_window(texts::window_title, 808, 606, 32, true);
  ASSERT_TRUE(created) << "last message: " << (boxes.empty() ? "" : boxes.back().text);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?");
  EXPECT_EQ(boxes[0].caption, "Quorl GL ;-)");
  EXPECT_EQ(boxes[0].kind, message_box_kind::yes_no_exclamation);
  EXPECT_FALSE(demo.fullscreen);
  auto* window = sdl_backend.window;
  int x = 0, y = 0, w = 0, h = 0;
  SDL_GetWindowPosition(window, &x, &y);
  SDL_GetWindowSize(window, &w, &h);
  EXPECT_EQ((std::array<int, 4>{x, y, w, h}), (std::array<int, 4>{50, 50, 808, 606}));
  EXPECT_EQ(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN, 0u);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST_F(SdlWindow, RefusedFullscreenModeClosesTheProgramOnNo) {
  answer = message_box_answer::no;
  EXPECT_FALSE(create_gl_window(texts::window_title, 808, 606, 32, true));
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, "Program Will Now Close.");
  EXPECT_EQ(boxes[1].caption, "ERROR");
  EXPECT_EQ(boxes[1].kind, message_box_kind::ok_stop);
  EXPECT_EQ(sdl_backend.window, nullptr);
  EXPECT_EQ(starts, 0);
}

}  // namespace
