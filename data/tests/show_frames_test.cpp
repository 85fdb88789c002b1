// The whole show, a frame every 10 s of show time, with the real shaders, meshes and textures:
// no frame after the loading screen is black or blown out, and with a window taller than the
// picture the bands above and below stay black.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <vector>

#include "engine/render_context.h"
#include "runtime/frame_state.h"
#include "runtime/parts.h"
#include "shell/demo_state.h"
#include "tests/support/gl_test_context.h"

namespace {

constexpr int window_w = 320, window_h = 240, render_h = 180;

struct frame_stats {
  double mean = 0, black = 0, blown = 0;
  int band_max = 0;  // brightest channel value in the letterbox bands
};

frame_stats measure(const std::vector<uint8_t>& px) {
  frame_stats s;
  const int band = (window_h - render_h) / 2;
  int count = 0;
  for (int y = 0; y < window_h; ++y) {
    for (int x = 0; x < window_w; ++x) {
      const uint8_t* p = &px[4 * (y * window_w + x)];
      if (y < band || y >= band + render_h) {
        for (int c = 0; c < 3; ++c) s.band_max = std::max<int>(s.band_max, p[c]);
        continue;
      }
      double luma = (0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2]) / 255.0;
      s.mean += luma;
      s.black += p[0] < 3 && p[1] < 3 && p[2] < 3;
      s.blown += p[0] > 252 && p[1] > 252 && p[2] > 252;
      ++count;
    }
  }
  s.mean /= count;
  s.black /= count;
  s.blown /= count;
  return s;
}

TEST(ShowFrames, EveryTenSecondsTheFrameIsReadable) {
  test_gl::ensure_context(window_w, window_h);
  demo.screen_width = demo.render_width = window_w;
  demo.screen_height = window_h;
  demo.render_height = render_h;
  render_context& context = global_render_context;
  context.create_target(0, window_w, render_h, 0);
  context.create_target(1, window_w / 2, render_h / 2, 0);
  set_linear_filter();
  context.compressed_upload = false;
  // The window's GL defaults.
  glShadeModel(GL_SMOOTH);
  glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  parts* show = create_show_part();
  show->init(&context);
  frame_state state;
  double now = 0;
  for (int t = 0; t <= 210; t += 10) {
    SCOPED_TRACE(t);
    double step = t - now;
    now = t;
    show->render(&step, &context, &state);
    glFinish();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    frame_stats s = measure(test_gl::read_rgba(0, 0, window_w, window_h));
    EXPECT_GT(s.mean, 0.025) << "too dark";
    EXPECT_LT(s.mean, 0.8) << "washed out";
    EXPECT_LT(s.black, 0.5);
    EXPECT_LT(s.blown, 0.2);
    EXPECT_LE(s.band_max, 2) << "letterbox bands must stay black";
  }
}

}  // namespace
