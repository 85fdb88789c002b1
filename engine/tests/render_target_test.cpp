// Render targets and generated textures on a real GL context (Mesa llvmpipe under Xvfb).
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/random.h"
#include "engine/render_context.h"
#include "tests/support/gl_test_context.h"

namespace {

constexpr int W = 32, H = 16;

class RenderTargets : public testing::Test {
 protected:
  void SetUp() override {
    test_gl::ensure_context();
    test_gl::drain_errors();
  }
  void TearDown() override {
    ctx.unbind_target();
    EXPECT_EQ(test_gl::drain_errors(), GLenum(GL_NO_ERROR));
  }

  // Target 3 at W x H with colour textures 10 and 11 and depth texture 12.
  void make_target() {
    ctx.create_target(3, W, H, 0);
    ctx.create_color_texture(10, W, H);
    ctx.create_color_texture(11, W, H);
    ctx.create_depth_texture(12, W, H);
    ctx.attach_color(3, 0, 10);
    ctx.attach_color(3, 1, 11);
    ctx.attach_depth(3, 12);
  }

  // Clears colour buffer `k` of the bound target's drawing framebuffer to (r, g, b, a) bytes.
  static void clear_buffer(int k, float r, float g, float b, float a) {
    const GLfloat colour[4] = {r, g, b, a};
    glClearBufferfv(GL_COLOR, k, colour);
  }

  static std::vector<uint8_t> texture_rgba(uint32_t name, int width, int height) {
    std::vector<uint8_t> pixels(size_t(width) * height * 4);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  }

  static std::vector<float> texture_depth(uint32_t name, int width, int height) {
    std::vector<float> depth(size_t(width) * height);
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    return depth;
  }

  render_context ctx;
};

TEST_F(RenderTargets, ResolveCopiesTheDrawingFramebuffer) {
  make_target();
  ctx.bind_target(3, 2);
  glViewport(0, 0, W, H);
  glClearDepth(0.25);
  glClear(GL_DEPTH_BUFFER_BIT);
  clear_buffer(0, 1.0f, 0.0f, 0.0f, 1.0f);
  clear_buffer(1, 0.0f, 0.0f, 1.0f, 0.5f);
  // A green rectangle into both colour buffers over the left half.
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glUseProgram(0);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glColor4f(0, 1, 0, 1);
  glRecti(-1, -1, 0, 1);

  glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, ctx.target_draw[3]);
  glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
  const std::vector<uint8_t> drawn = test_gl::read_rgba(0, 0, W, H);
  ctx.resolve_target(3, W, H, 2, true);
  ctx.unbind_target();

  EXPECT_EQ(texture_rgba(ctx.textures[10], W, H), drawn);
  EXPECT_EQ(drawn[0 + 1], 255);        // left: green
  EXPECT_EQ(drawn[4 * (W - 1)], 255);  // right: red
  const std::vector<uint8_t> second = texture_rgba(ctx.textures[11], W, H);
  EXPECT_EQ(second[4 * (W - 1) + 2], 255);  // colour 1 cleared to blue
  EXPECT_EQ(second[1], 255);                // and drawn green
  for (float d : texture_depth(ctx.textures[12], W, H)) ASSERT_NEAR(d, 0.25f, 1e-6f);

  // A colour-only resolve leaves the depth texture as the last depth resolve wrote it.
  ctx.bind_target(3, 1);
  glClearDepth(0.75);
  glClear(GL_DEPTH_BUFFER_BIT);
  ctx.resolve_target(3, W, H, 1, false);
  GLint draw_buffer = 0;
  glGetIntegerv(GL_DRAW_BUFFER, &draw_buffer);
  EXPECT_EQ(draw_buffer, GL_COLOR_ATTACHMENT0_EXT);
  ctx.unbind_target();
  for (float d : texture_depth(ctx.textures[12], W, H)) ASSERT_NEAR(d, 0.25f, 1e-6f);
  glClearDepth(1.0);
}

TEST_F(RenderTargets, IndexAndCountClamps) {
  ctx.create_target(40, 8, 8, 0);
  EXPECT_NE(ctx.target_draw[15], 0u);
  EXPECT_NE(ctx.target_resolve[15], 0u);
  EXPECT_NE(ctx.target_color1[15], 0u);
  EXPECT_EQ(ctx.target_color2[15], 0u);
  ctx.create_target(-5, 8, 8, 0);
  EXPECT_NE(ctx.target_draw[0], 0u);

  GLint bound = -1;
  ctx.bind_target(99, 1);
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &bound);
  EXPECT_EQ(GLuint(bound), ctx.target_draw[15]);
  ctx.bind_target(-1, 1);
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &bound);
  EXPECT_EQ(GLuint(bound), ctx.target_draw[0]);

  GLint buffer = 0;
  ctx.bind_target(0, 0);
  glGetIntegerv(GL_DRAW_BUFFER0, &buffer);
  EXPECT_EQ(buffer, GL_COLOR_ATTACHMENT0_EXT);
  glGetIntegerv(GL_DRAW_BUFFER1, &buffer);
  EXPECT_EQ(buffer, GL_NONE);
  ctx.bind_target(0, 7);
  glGetIntegerv(GL_DRAW_BUFFER2, &buffer);
  EXPECT_EQ(buffer, GL_COLOR_ATTACHMENT2_EXT);

  // A target never created draws to the window.
  ctx.bind_target(5, 1);
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &bound);
  EXPECT_EQ(bound, 0);
  test_gl::drain_errors();  // draw buffers named on the window framebuffer are an error there

  // Resolve counts: 0 copies one attachment, 2 leaves attachment 1 as the draw buffer.
  ctx.create_color_texture(40, 8, 8);
  ctx.create_color_texture(41, 8, 8);
  ctx.attach_color(0, 0, 40);
  ctx.attach_color(0, 1, 41);
  ctx.resolve_target(0, 8, 8, 0, false);
  glGetIntegerv(GL_DRAW_BUFFER, &buffer);
  EXPECT_EQ(buffer, GL_COLOR_ATTACHMENT0_EXT);
  ctx.resolve_target(0, 8, 8, 2, false);
  glGetIntegerv(GL_DRAW_BUFFER, &buffer);
  EXPECT_EQ(buffer, GL_COLOR_ATTACHMENT1_EXT);
  glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING_EXT, &bound);
  EXPECT_EQ(GLuint(bound), ctx.target_draw[0]);
  ctx.unbind_target();
  glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING_EXT, &bound);
  EXPECT_EQ(bound, 0);
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING_EXT, &bound);
  EXPECT_EQ(bound, 0);
}

TEST_F(RenderTargets, ColourTexturesNeverHold255) {
  random_seed(7);
  ctx.create_color_texture(20, 64, 64);
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(GLuint(bound), ctx.textures[20]);
  const std::vector<uint8_t> bytes = texture_rgba(ctx.textures[20], 64, 64);
  EXPECT_EQ(*std::max_element(bytes.begin(), bytes.end()), 254);
  EXPECT_EQ(*std::min_element(bytes.begin(), bytes.end()), 0);
  // In memory order, each byte the generator's next output modulo 255.
  random_seed(7);
  for (size_t k = 0; k < 16; ++k) EXPECT_EQ(bytes[k], random_next() % 255) << k;
}

TEST_F(RenderTargets, NoiseTextureFillsColumnByColumn) {
  constexpr int w = 5, h = 3;  // rows of 15 bytes: not a multiple of 4
  random_seed(1234);
  ctx.create_noise_rgb_texture(21, w, h);
  std::vector<uint8_t> expected(w * h * 3);
  random_seed(1234);
  for (int x = 0; x < w; ++x) {
    for (int y = 0; y < h; ++y) {
      for (int c = 0; c < 3; ++c) expected[3 * (y * w + x) + c] = uint8_t(random_next() % 256);
    }
  }
  std::vector<uint8_t> got(w * h * 3);
  glBindTexture(GL_TEXTURE_2D, ctx.textures[21]);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, got.data());
  EXPECT_EQ(got, expected);
  GLint alignment = 0;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  EXPECT_EQ(alignment, 4);

  // A large noise texture uses the whole byte range.
  ctx.create_noise_rgb_texture(22, 64, 64);
  std::vector<uint8_t> big(64 * 64 * 3);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, big.data());
  EXPECT_EQ(*std::max_element(big.begin(), big.end()), 255);
}

TEST_F(RenderTargets, DepthTextureParametersAndEmptySizes) {
  ctx.create_depth_texture(30, 4, 4);
  GLint value = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE, &value);
  EXPECT_EQ(value, GL_LUMINANCE);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
  EXPECT_EQ(value, GL_CLAMP_TO_EDGE);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_DEPTH_SIZE, &value);
  EXPECT_EQ(value, 24);

  // Zero sizes still give the entry a texture name.
  ctx.create_color_texture(31, 0, 8);
  ctx.create_noise_rgb_texture(32, 8, 0);
  EXPECT_NE(ctx.textures[31], 0u);
  EXPECT_NE(ctx.textures[32], 0u);
  // Replacing an entry gives it a new name.
  const uint32_t old = ctx.textures[31];
  ctx.create_color_texture(31, 1, 1);
  EXPECT_NE(ctx.textures[31], old);

  // An index nothing filled binds GL's default texture.
  ctx.bind_texture(9999);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
  EXPECT_EQ(value, 0);
  ctx.texture_slot(9999) = ctx.textures[30];
  ctx.bind_texture(9999);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
  EXPECT_EQ(GLuint(value), ctx.textures[30]);
}

}  // namespace
