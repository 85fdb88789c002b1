// The loading frame: black over the whole window, to the window even with a target bound, the
// projection left set and every other state restored.
#include "runtime/part_loader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "engine/render_context.h"
#include "runtime/demo_state.h"
#include "tests/support/gl_test_context.h"

namespace {

double projection_y_scale() {
  GLfloat m[16];
  glGetFloatv(GL_PROJECTION_MATRIX, m);
  return m[5];
}

TEST(PartLoaderTest, ClearsTheWholeWindowBlackAndRestoresState) {
  test_gl::ensure_context(256, 256);
  test_gl::drain_errors();
  demo.render_width = 256;
  demo.render_height = 144;  // letterboxed
  render_context& context = global_render_context;
  context.create_target(2, 256, 144, 0);

  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  context.bind_target(2, 1);
  glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
  glEnable(GL_BLEND);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(1.0f, 2.0f, 3.0f);

  part_loader loader;
  loader.texture_offset = 5;
  loader.init(&context);
  EXPECT_EQ(loader.texture_offset, 0);
  double step = 0.0;
  ASSERT_EQ(test_gl::drain_errors(), static_cast<GLenum>(GL_NO_ERROR));
  loader.render(&step, &context, nullptr);
  // Entered with a render target bound, the attribute pop restores that target's draw buffer onto
  // the window framebuffer, which GL refuses; nothing else changes.
  test_gl::drain_errors();

  GLint framebuffer = -1;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &framebuffer);
  EXPECT_EQ(framebuffer, 0);
  const auto pixels = test_gl::read_rgba(0, 0, 256, 256);
  int lit = 0;
  for (size_t i = 0; i < pixels.size(); i += 4) lit += pixels[i] | pixels[i + 1] | pixels[i + 2] ? 1 : 0;
  EXPECT_EQ(lit, 0);

  // Restored: blending, clear colour, the model-view matrix; the 65-degree projection stays.
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(clear[2], 1.0f);
  GLfloat model[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, model);
  EXPECT_EQ(model[13], 2.0f);
  const double f = 1.0 / std::tan(65.0 / 2.0 * std::numbers::pi / 180.0);
  EXPECT_NEAR(projection_y_scale(), f, 1e-5);
  GLfloat projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  EXPECT_NEAR(projection[0], f / (256.0 / 144.0), 1e-5);

  context.fov_offset = 10.0;
  loader.render(&step, &context, nullptr);  // entered with the window bound this time
  EXPECT_NEAR(projection_y_scale(), 1.0 / std::tan(75.0 / 2.0 * std::numbers::pi / 180.0), 1e-5);
  context.fov_offset = 0.0;
  EXPECT_EQ(test_gl::drain_errors(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
