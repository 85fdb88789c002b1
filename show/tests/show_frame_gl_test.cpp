// Whole frames of the show under a real GL context, with small stand-in asset files written into a
// scratch working directory: every pass runs without a GL error and the picture is not black.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "engine/render_context.h"
#include "runtime/demo_state.h"
#include "show/part_start.h"
#include "show/tests/show_test_support.h"
#include "tests/support/gl_test_context.h"

namespace {

namespace fs = std::filesystem;

struct ShowFrameGl : ::testing::Test {
  static constexpr int window_w = 320, window_h = 240, render_w = 320, render_h = 180;
  fs::path old_dir;
  fs::path dir;

  void SetUp() override {
    test_gl::ensure_context(window_w, window_h);
    window_gl_defaults();
    demo.screen_width = window_w;
    demo.screen_height = window_h;
    demo.render_width = render_w;
    demo.render_height = render_h;
    old_dir = fs::current_path();
    char scratch[] = "/tmp/show_frame_XXXXXX";
    ASSERT_NE(mkdtemp(scratch), nullptr);
    dir = scratch;
    write_stand_in_assets(dir);
    fs::current_path(dir);
  }
  void TearDown() override {
    fs::current_path(old_dir);
    fs::remove_all(dir);
  }
};

TEST_F(ShowFrameGl, FramesAtSeveralShowTimesRenderWithoutErrorsAndAreNotBlack) {
  render_context& context = global_render_context;
  context.compressed_upload = false;
  context.placeholder_images = true;  // the image files are not part of the stand-ins
  context.create_target(0, render_w, render_h, 0);
  context.create_target(1, render_w / 2, render_h / 2, 0);
  part_start part;
  part.init(&context);
  glViewport(0, 0, window_w, window_h);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT);
  ASSERT_EQ(test_gl::drain_errors(), static_cast<GLenum>(GL_NO_ERROR));

  frame_state state{};
  // The stand-in scene is in view at these times; at the others only the absence of errors counts.
  const std::pair<double, bool> times[] = {{0.5, false},  {12.0, true},  {30.0, true},   {60.0, true},
                                           {83.0, true},  {100.0, true}, {130.0, false}, {175.0, true},
                                           {191.0, true}, {214.0, false}};
  for (auto [t, in_view] : times) {
    part.ttime = part.fttime = t;
    double step = 0.02;
    part.render(&step, &context, &state);
    EXPECT_EQ(test_gl::drain_errors(), static_cast<GLenum>(GL_NO_ERROR)) << "t = " << t;
    EXPECT_NEAR(state.scene_time, t + 0.02, 1e-9);

    std::vector<uint8_t> px = test_gl::read_rgba(0, 0, window_w, window_h);
    const int band = (window_h - render_h) / 2;
    int lit_inside = 0, lit_bands = 0;
    for (int y = 0; y < window_h; y++) {
      for (int x = 0; x < window_w; x++) {
        const uint8_t* p = &px[(static_cast<size_t>(y) * window_w + x) * 4];
        const bool lit = p[0] > 8 || p[1] > 8 || p[2] > 8;
        const bool in_band = y < band - 1 || y > window_h - band;
        (in_band ? lit_bands : lit_inside) += lit;
      }
    }
    if (in_view) {
      EXPECT_GT(lit_inside, render_w * render_h / 50) << "t = " << t;
      // The scene's depth reaches the depth texture the post passes read.
      std::vector<float> depth(static_cast<size_t>(render_w) * render_h);
      glBindTexture(GL_TEXTURE_2D, context.texture_slot(part.tex_depth));
      glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
      EXPECT_LT(*std::min_element(depth.begin(), depth.end()), 0.999f) << "t = " << t;
    }
    EXPECT_EQ(lit_bands, 0) << "t = " << t;  // letterbox: only the middle H / WH is drawn
  }
  EXPECT_EQ(part.frame_count, 10);
}

GLint texture_size(uint32_t name, GLenum what) {
  GLint value = -1;
  glBindTexture(GL_TEXTURE_2D, name);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, what, &value);
  return value;
}

TEST_F(ShowFrameGl, InitCreatesProgramsTexturesAndAttachmentsAtOddSizes) {
  render_context& context = global_render_context;
  context.compressed_upload = false;
  context.placeholder_images = true;
  demo.render_width = 321;
  demo.render_height = 181;
  context.create_target(0, 321, 181, 0);
  context.create_target(1, 160, 90, 0);
  part_start part;
  part.init(&context);

  for (int slot : {1, 3, 4, 5, 6, 7, 13}) EXPECT_NE(part.programs.programs[slot], 0u) << "slot " << slot;
  EXPECT_EQ(part.programs.programs[10], 0u);
  EXPECT_NE(part.programs.vertex_shaders[1], 0u);
  EXPECT_NE(part.programs.vertex_shaders[5], 0u);

  struct expected {
    int index, width, height;
  };
  for (expected e : {expected{0, 321, 181},
                     {11, 321, 181},
                     {32, 321, 181},
                     {28, 160, 90},
                     {26, 321, 181},
                     {29, 321, 181},
                     {27, 1024, 1024}}) {
    const uint32_t name = context.texture_slot(e.index);
    ASSERT_NE(name, 0u) << "index " << e.index;
    EXPECT_EQ(texture_size(name, GL_TEXTURE_WIDTH), e.width) << "index " << e.index;
    EXPECT_EQ(texture_size(name, GL_TEXTURE_HEIGHT), e.height) << "index " << e.index;
  }
  EXPECT_EQ(texture_size(context.texture_slot(26), GL_TEXTURE_DEPTH_SIZE), 24);

  // Target 0 resolves into the colour, normals and depth textures, target 1 into the half-size one.
  GLint attached = 0;
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, context.target_resolve[0]);
  const std::pair<GLenum, int> attachments[] = {
      {GL_COLOR_ATTACHMENT0_EXT, 0}, {GL_COLOR_ATTACHMENT1_EXT, 11}, {GL_DEPTH_ATTACHMENT_EXT, 26}};
  for (auto [attachment, index] : attachments) {
    glGetFramebufferAttachmentParameterivEXT(GL_FRAMEBUFFER_EXT, attachment,
                                             GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME_EXT, &attached);
    EXPECT_EQ(static_cast<uint32_t>(attached), context.texture_slot(index));
  }
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, context.target_resolve[1]);
  glGetFramebufferAttachmentParameterivEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT,
                                           GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME_EXT, &attached);
  EXPECT_EQ(static_cast<uint32_t>(attached), context.texture_slot(28));
  context.unbind_target();

  EXPECT_EQ(part.key_track.key_count, 4);
  EXPECT_EQ(part.ttime, 0.0);
  EXPECT_EQ(part.fttime, 0.0);
  EXPECT_EQ(test_gl::drain_errors(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
