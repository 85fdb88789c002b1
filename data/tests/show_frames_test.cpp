// The whole show, a frame every 10 s of show time, with the real shaders, meshes and textures:
// every frame after the loading screen has light and real darks (not black, not one uniform
// grey, not a slab of flat colour), the letterbox bands above and below stay black, the same time
// gives the same picture, and the frame 1/60 s later differs only where the picture moves (no
// boiling noise).
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/render_context.h"
#include "runtime/frame_state.h"
#include "runtime/parts.h"
#include "runtime/demo_state.h"
#include "tests/support/gl_test_context.h"
#include "tools/look/look_stats.h"

namespace {

constexpr int window_w = 320, window_h = 240, render_h = 180;
constexpr int band = (window_h - render_h) / 2;

std::vector<uint8_t> read_window() {
  glFinish();
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  glReadBuffer(GL_BACK);
  return test_gl::read_rgba(0, 0, window_w, window_h);
}

// The picture between the bands (GL rows run bottom up, so the lower band comes first).
look::image_view picture_of(const std::vector<uint8_t>& window) {
  return {window.data() + static_cast<size_t>(band) * window_w * 4, window_w, render_h, 4};
}

TEST(ShowFrames, EveryTenSecondsTheFrameHasLightAndStaysStill) {
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
  // Each frame follows one a frame step before it: a frame depends on the time of the frame
  // before (the key track is read at the last frame's time). The step is 1/64 s, so that every
  // time and step here is exact in binary and the same time is reached to the last bit.
  const double frame_step = 1.0 / 64.0;
  auto render_at = [&](double t) {
    double step = t - now;
    now = t;
    show->render(&step, &context, &state);
    return read_window();
  };
  for (int t = 0; t <= 210; t += 10) {
    SCOPED_TRACE(t);
    render_at(t - frame_step);
    const std::vector<uint8_t> frame = render_at(t);
    const look::image_view picture = picture_of(frame);
    const look::frame_light light = look::measure_light(picture);
    if (t > 0) {  // the first frame still comes up out of the black loading screen
      EXPECT_GT(light.mean, 0.06) << "too dark";
      EXPECT_LT(light.mean, 0.6) << "washed out";
      EXPECT_GT(light.p95, 0.25) << "no light in the frame";
      EXPECT_LT(light.p05, 0.25) << "no darks in the frame";
      EXPECT_GT(light.p95 - light.p05, 0.15) << "one uniform grey";
      EXPECT_LT(light.flat_colour_share, 0.5) << "a slab of flat colour";
    }
    EXPECT_GT(light.p95, 0.05) << "a black frame";
    const look::image_view window{frame.data(), window_w, window_h, 4};
    EXPECT_LE(look::brightest_luma(window, 0, 0, window_w, band), 2.5 / 255) << "lower letterbox band";
    EXPECT_LE(look::brightest_luma(window, 0, window_h - band, window_w, window_h), 2.5 / 255)
        << "upper letterbox band";

    // The same show time again, after the same frame before it: the same picture. (llvmpipe can
    // round a few pixels differently by a step when its command buffers split elsewhere.)
    render_at(t - frame_step);
    const std::vector<uint8_t> again = render_at(t);
    int differing = 0, largest = 0;
    for (size_t i = 0; i < frame.size(); ++i) {
      const int d = std::abs(again[i] - frame[i]);
      differing += d != 0;
      largest = std::max(largest, d);
    }
    EXPECT_LE(largest, 2) << "the same show time gave another picture";
    EXPECT_LT(differing, static_cast<int>(frame.size() / 1000)) << "the same show time gave another picture";

    // One frame on: where the picture hardly moves, its fine detail does not change.
    const std::vector<uint8_t> next = render_at(t + frame_step);
    const look::frame_flicker flicker = look::measure_flicker(picture, picture_of(next));
    std::printf("t %3d  mean %.3f  p05 %.3f  p95 %.3f  flat %.3f  flicker %.2f (still %.2f)\n", t, light.mean,
                light.p05, light.p95, light.flat_colour_share, flicker.noise, flicker.still_share);
    EXPECT_LT(flicker.noise, 2.5) << "fine detail flickers between frames (in 1/255 steps)";
  }
}

}  // namespace
