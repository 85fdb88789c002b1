// The colour conversion against its defining formula, for every chroma pair.
#include <gtest/gtest.h>

#include <vector>

#include "assets/jpeg/jpeg_color.h"

namespace {

int clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

TEST(jpeg_color, every_chroma_pair_follows_the_formula) {
  jpeg_color_tables t;
  // One line per Cr value: 256 pixels with Cb = x; luma sweeps so that clamping is exercised.
  std::vector<uint8_t> y(256), cb(256), cr(256), fast(256 * 4), plain(256 * 4);
  for (int x = 0; x < 256; ++x) cb[x] = static_cast<uint8_t>(x);
  for (int luma : {0, 1, 77, 128, 200, 254, 255}) {
    for (int x = 0; x < 256; ++x) y[x] = static_cast<uint8_t>((luma + x * 37) & 255);
    for (int v = 0; v < 256; ++v) {
      for (int x = 0; x < 256; ++x) cr[x] = static_cast<uint8_t>(v);
      jpeg_convert_line(t, y.data(), cb.data(), cr.data(), 1, 256, fast.data());
      jpeg_convert_line_scalar(t, y.data(), cb.data(), cr.data(), 1, 256, plain.data());
      for (int x = 0; x < 256; ++x) {
        int k = x - 128, m = v - 128, yy = y[x];
        const uint8_t expected[4] = {
            static_cast<uint8_t>(clamp255(yy + ((91882 * m + 32768) >> 16))),
            static_cast<uint8_t>(clamp255(yy + ((-22554 * k + 32768 - 46802 * m) >> 16))),
            static_cast<uint8_t>(clamp255(yy + ((116130 * k + 32768) >> 16))), 0};
        for (int c = 0; c < 4; ++c) {
          ASSERT_EQ(fast[4 * x + c], expected[c])
              << "Y " << yy << " Cb " << x << " Cr " << v << " channel " << c;
          ASSERT_EQ(plain[4 * x + c], expected[c])
              << "Y " << yy << " Cb " << x << " Cr " << v << " channel " << c;
        }
      }
    }
  }
}

TEST(jpeg_color, shared_chroma_covers_two_pixels) {
  jpeg_color_tables t;
  uint8_t y[32], cb[16], cr[16], fast[32 * 4], plain[32 * 4];
  for (int i = 0; i < 32; ++i) y[i] = static_cast<uint8_t>(i * 8);
  for (int i = 0; i < 16; ++i) {
    cb[i] = static_cast<uint8_t>(i * 16);
    cr[i] = static_cast<uint8_t>(255 - i * 16);
  }
  jpeg_convert_line(t, y, cb, cr, 2, 32, fast);
  jpeg_convert_line_scalar(t, y, cb, cr, 2, 32, plain);
  for (int i = 0; i < 32 * 4; ++i) ASSERT_EQ(fast[i], plain[i]) << "byte " << i;
  // Pixels 2j and 2j+1 share chroma: with equal luma they would be equal; here luma differs by
  // 8, so red differs by 8 unless clamped.
  EXPECT_EQ(plain[4 * 3 + 0] - plain[4 * 2 + 0], 8);
}

}  // namespace
