// The inverse DCTs against a floating-point reference, and the SIMD fast transform against its
// portable twin.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>

#include "assets/jpeg/jpeg_idct.h"

namespace {

// Direct 2-D inverse DCT of dequantised coefficients, level-shifted and rounded, unclamped.
void reference_idct(const double* f, double* out) {
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      double s = 0;
      for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; ++u) {
          double cu = u ? 1 : std::sqrt(0.5), cv = v ? 1 : std::sqrt(0.5);
          s += cu * cv * f[v * 8 + u] * std::cos((2 * x + 1) * u * M_PI / 16) *
               std::cos((2 * y + 1) * v * M_PI / 16);
        }
      out[y * 8 + x] = s / 4 + 128;
    }
}

// Coefficients of a random 8x8 picture block, quantised with q (forward DCT by definition):
// white noise over the full range, or (natural) a gradient with moderate noise.
void random_block(std::mt19937& rng, const uint16_t* q, int16_t* coef, bool natural) {
  std::uniform_int_distribution<int> px(0, 255), grain(-24, 24), slope(-12, 12);
  double p[64];
  int base = px(rng), dx = slope(rng), dy = slope(rng);
  for (int i = 0; i < 64; ++i) {
    int v = natural ? base + dx * (i % 8) + dy * (i / 8) + grain(rng) : px(rng);
    p[i] = std::clamp(v, 0, 255) - 128.0;
  }
  for (int v = 0; v < 8; ++v)
    for (int u = 0; u < 8; ++u) {
      double s = 0;
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
          s += p[y * 8 + x] * std::cos((2 * x + 1) * u * M_PI / 16) * std::cos((2 * y + 1) * v * M_PI / 16);
      double cu = u ? 1 : std::sqrt(0.5), cv = v ? 1 : std::sqrt(0.5);
      coef[v * 8 + u] = static_cast<int16_t>(std::lround(s * cu * cv / 4 / q[v * 8 + u]));
    }
}

TEST(jpeg_idct, scale_factors_follow_the_formula) {
  for (int u = 0; u < 8; ++u)
    for (int v = 0; v < 8; ++v) {
      double au = u ? std::sqrt(2.0) * std::cos(u * M_PI / 16) : 1,
             av = v ? std::sqrt(2.0) * std::cos(v * M_PI / 16) : 1;
      EXPECT_EQ(jpeg_idct_fast_scale[u * 8 + v], std::lround(16384 * au * av)) << u << "," << v;
    }
  uint16_t q[64];
  int16_t scaled[64];
  for (int i = 0; i < 64; ++i) q[i] = static_cast<uint16_t>(i * 4 + 1);
  jpeg_scale_quant_table(q, scaled);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(scaled[i], (q[i] * jpeg_idct_fast_scale[i] + 2048) >> 12);
}

// The example luminance table of T.81 Annex K, scaled to a quality as encoders do.
void luminance_table(int quality, uint16_t* q) {
  static const int base[64] = {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
                               14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
                               18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
                               49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
  int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
  for (int i = 0; i < 64; ++i) q[i] = static_cast<uint16_t>(std::clamp((base[i] * scale + 50) / 100, 1, 255));
}

TEST(jpeg_idct, transforms_stay_close_to_the_exact_inverse) {
  std::mt19937 rng(12345);
  for (int quality : {50, 90, 97}) {
    uint16_t q[64];
    int16_t qs[64];
    luminance_table(quality, q);
    jpeg_scale_quant_table(q, qs);
    int worst_accurate = 0, worst_fast = 0;
    double sum_accurate = 0, sum_fast = 0;
    int samples = 0;
    for (int n = 0; n < 800; ++n) {
      int16_t coef[64];
      bool natural = n % 2 == 0;
      random_block(rng, q, coef, natural);
      double f[64], ref[64];
      for (int i = 0; i < 64; ++i) f[i] = coef[i] * q[i];
      reference_idct(f, ref);
      uint8_t acc[64], fast[64];
      jpeg_idct_accurate(coef, q, acc, 8);
      jpeg_idct_fast(coef, qs, fast, 8);
      for (int i = 0; i < 64; ++i) {
        double r = std::min(255.0, std::max(0.0, std::round(ref[i])));
        int da = int(std::fabs(acc[i] - r)), df = int(std::fabs(fast[i] - r));
        worst_accurate = std::max(worst_accurate, da);
        if (!natural) continue;  // the fast transform is only held to natural content
        worst_fast = std::max(worst_fast, df);
        sum_accurate += da;
        sum_fast += df;
        ++samples;
      }
    }
    EXPECT_LE(worst_accurate, 1) << "quality " << quality;
    EXPECT_LE(sum_accurate / samples, 0.05) << "quality " << quality;
    // The fast transform rounds its pre-scaled table to two fraction bits, works on 16-bit
    // lanes and truncates at the end. Quantisers of 1 or 2 (quality above 90) lose too much in
    // that rounding, so it is held to the ordinary qualities only.
    if (quality <= 90) {
      EXPECT_LE(worst_fast, 2) << "quality " << quality;
      EXPECT_LE(sum_fast / samples, 0.5) << "quality " << quality;
    }
    std::printf("quality %d: accurate max %d mean %.3f, fast max %d mean %.3f\n", quality, worst_accurate,
                sum_accurate / samples, worst_fast, sum_fast / samples);
  }
}

TEST(jpeg_idct, simd_and_portable_fast_transforms_are_identical) {
  std::mt19937 rng(99);
  std::uniform_int_distribution<int> small(-60, 60), any(-32768, 32767), qd(1, 255);
  for (int n = 0; n < 2000; ++n) {
    int16_t coef[64], qs[64];
    uint16_t q[64];
    bool wild = n % 4 == 0;  // out-of-range input must wrap the same way in both
    for (int i = 0; i < 64; ++i) {
      coef[i] = static_cast<int16_t>(wild ? any(rng) : small(rng) / (1 + i / 8));
      q[i] = static_cast<uint16_t>(qd(rng));
    }
    jpeg_scale_quant_table(q, qs);
    uint8_t a[8 * 12], b[8 * 12];
    jpeg_idct_fast(coef, qs, a, 12);
    jpeg_idct_fast_scalar(coef, qs, b, 12);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) ASSERT_EQ(a[y * 12 + x], b[y * 12 + x]) << "block " << n;
  }
}

TEST(jpeg_idct, dc_only_shortcuts_match_the_full_transforms) {
  int16_t coef[64] = {};
  uint16_t q[64];
  int16_t qs[64];
  for (int i = 0; i < 64; ++i) q[i] = static_cast<uint16_t>(3 + i);
  jpeg_scale_quant_table(q, qs);
  for (int dc = -400; dc <= 400; dc += 7) {
    coef[0] = static_cast<int16_t>(dc);
    uint8_t full[64], quick[64];
    jpeg_idct_fast(coef, qs, full, 8);
    jpeg_idct_fast_dc(dc, qs[0], quick, 8);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(full[i], quick[i]) << "fast dc " << dc;
    jpeg_idct_accurate(coef, q, full, 8);
    jpeg_idct_accurate_dc(dc, q[0], quick, 8);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(full[i], quick[i]) << "accurate dc " << dc;
  }
}

}  // namespace
