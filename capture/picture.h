#pragma once
// Pictures read back from the window: RGBA8, rows from the top.
#include <cstdint>
#include <string>
#include <vector>

struct picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // width * height * 4, top row first

  uint8_t* pixel(int x, int y) { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
  const uint8_t* pixel(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

// Reads the window's back buffer (width x height from the lower-left corner) with the GL context
// current. The bottom-up rows GL returns are kept as they come when `bottom_up` is set.
picture read_back_buffer(int width, int height, bool bottom_up = false);

// Writes `p` as an 8-bit RGB PNG file (alpha dropped). False when the file cannot be written.
bool write_png(const std::string& path, const picture& p);
