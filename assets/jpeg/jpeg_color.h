#pragma once
// Fixed-point YCbCr to RGB conversion of one line, with chroma replicated (no interpolation).
// With k = Cb - 128 and m = Cr - 128 (arithmetic shifts, results clamped to 0..255):
//   red   = Y + ((91882 * m + 32768) >> 16)
//   green = Y + ((-22554 * k + 32768 - 46802 * m) >> 16)
//   blue  = Y + ((116130 * k + 32768) >> 16)
// Output pixels are 4 bytes: red, green, blue, 0.
#include <cstdint>

// The four per-sample terms, looked up by the chroma sample value.
struct jpeg_color_tables {
  int cr_r[256], cb_b[256], cr_g[256], cb_g[256];
  jpeg_color_tables();
};

// chroma_step: 1 when every pixel has its own chroma sample, 2 when a sample covers two pixels.
void jpeg_convert_line_scalar(const jpeg_color_tables& t, const uint8_t* y, const uint8_t* cb,
                              const uint8_t* cr, int chroma_step, int width, uint8_t* out);

// Same result, SSE2 where available. Works in groups of 8 (chroma_step 1) or 16 pixels: the
// inputs must be readable, and out writable, up to width rounded up to that group.
void jpeg_convert_line(const jpeg_color_tables& t, const uint8_t* y, const uint8_t* cb, const uint8_t* cr,
                       int chroma_step, int width, uint8_t* out);

// The same line shape for components stored as red, green and blue: no conversion, the second
// and third replicated like chroma. The tables are not used.
void jpeg_interleave_rgb_line(const jpeg_color_tables& t, const uint8_t* r, const uint8_t* g,
                              const uint8_t* b, int chroma_step, int width, uint8_t* out);
