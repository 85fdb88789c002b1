// Pictures read back from the window's back buffer, and written as PNG files.
#include "capture/picture.h"

#include <GL/glew.h>
#include <stb_image_write.h>

#include <cstring>

picture read_back_buffer(int width, int height, bool bottom_up) {
  picture p;
  p.width = width;
  p.height = height;
  p.rgba.resize(static_cast<size_t>(width) * height * 4);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, p.rgba.data());
  if (!bottom_up) {
    const size_t row = static_cast<size_t>(width) * 4;
    std::vector<uint8_t> swap(row);
    for (int y = 0; y < height / 2; ++y) {
      uint8_t* a = p.rgba.data() + row * y;
      uint8_t* b = p.rgba.data() + row * (height - 1 - y);
      std::memcpy(swap.data(), a, row);
      std::memcpy(a, b, row);
      std::memcpy(b, swap.data(), row);
    }
  }
  return p;
}

bool write_png(const std::string& path, const picture& p) {
  std::vector<uint8_t> rgb(static_cast<size_t>(p.width) * p.height * 3);
  for (size_t i = 0, n = static_cast<size_t>(p.width) * p.height; i < n; ++i) {
    std::memcpy(&rgb[i * 3], &p.rgba[i * 4], 3);
  }
  return stbi_write_png(path.c_str(), p.width, p.height, 3, rgb.data(), p.width * 3) != 0;
}
