// Generated textures, created straight into the texture table. The random bytes come from the
// process-wide generator, so their content follows from its state at creation time.
#include <GL/glew.h>

#include <algorithm>
#include <cstddef>
#include <vector>

#include "engine/random.h"
#include "engine/render_context.h"

namespace {

// Pixel count of a texture; negative sizes count as empty.
size_t pixel_count(int width, int height) { return size_t(std::max(width, 0)) * size_t(std::max(height, 0)); }

void generate_and_bind(uint32_t& slot) {
  glGenTextures(1, &slot);
  glBindTexture(GL_TEXTURE_2D, slot);
}

}  // namespace

void render_context::create_depth_texture(int index, int width, int height) {
  generate_and_bind(textures[index]);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, width, height, 0, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT,
               nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE, GL_LUMINANCE);
}

void render_context::create_noise_rgb_texture(int index, int width, int height) {
  generate_and_bind(textures[index]);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  std::vector<unsigned char> bytes(pixel_count(width, height) * 3);
  // Column by column: the draw order decides which pixel gets which numbers.
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      unsigned char* pixel = &bytes[3 * (size_t(y) * width + x)];
      pixel[0] = static_cast<unsigned char>(random_next() % 256);
      pixel[1] = static_cast<unsigned char>(random_next() % 256);
      pixel[2] = static_cast<unsigned char>(random_next() % 256);
    }
  }
  // Rows of 3-byte pixels are packed tightly; with GL's default 4-byte row alignment a width that
  // is not a multiple of 4 would make GL read past the end of the buffer.
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, bytes.data());
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

void render_context::create_color_texture(int index, int width, int height) {
  generate_and_bind(textures[index]);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  std::vector<unsigned char> bytes(pixel_count(width, height) * 4);
  for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(random_next() % 255);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
}

void set_linear_filter() {
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}
