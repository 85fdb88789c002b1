#pragma once
// Constants shared by the decoder's source files.
#include <cstdint>

// Natural (row-major) position of the k-th coefficient in zigzag order.
inline constexpr uint8_t jpeg_zigzag[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
};

// Marker codes (the byte after 0xFF).
enum : int {
  marker_sof0 = 0xC0,
  marker_sof1 = 0xC1,
  marker_sof2 = 0xC2,
  marker_dht = 0xC4,
  marker_jpg = 0xC8,
  marker_sof9 = 0xC9,
  marker_dac = 0xCC,
  marker_rst0 = 0xD0,
  marker_rst7 = 0xD7,
  marker_soi = 0xD8,
  marker_eoi = 0xD9,
  marker_sos = 0xDA,
  marker_dqt = 0xDB,
  marker_dri = 0xDD,
  marker_tem = 0x01,
  marker_app0 = 0xE0,
  marker_app14 = 0xEE,
};

// Sign-extends the s-bit magnitude category value v (T.81 EXTEND).
inline int jpeg_extend(int v, int s) { return v < (1 << (s - 1)) ? v - (1 << s) + 1 : v; }
