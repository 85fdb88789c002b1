// Fixed-point YCbCr to RGB conversion of decoded lines (SSE2 with a portable twin), and the
// interleaving of lines stored as RGB.
#include "assets/jpeg/jpeg_color.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

jpeg_color_tables::jpeg_color_tables() {
  for (int i = 0; i < 256; ++i) {
    int k = i - 128;  // the same offset for Cb and Cr
    cr_r[i] = (91882 * k + 32768) >> 16;
    cb_b[i] = (116130 * k + 32768) >> 16;
    cr_g[i] = -46802 * k;
    cb_g[i] = -22554 * k + 32768;
  }
}

namespace {
inline uint8_t clamp255(int v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }
}  // namespace

void jpeg_convert_line_scalar(const jpeg_color_tables& t, const uint8_t* y, const uint8_t* cb,
                              const uint8_t* cr, int chroma_step, int width, uint8_t* out) {
  const int shift = chroma_step == 2 ? 1 : 0;
  for (int x = 0; x < width; ++x) {
    int yy = y[x], b = cb[x >> shift], r = cr[x >> shift];
    out[4 * x + 0] = clamp255(yy + t.cr_r[r]);
    out[4 * x + 1] = clamp255(yy + ((t.cb_g[b] + t.cr_g[r]) >> 16));
    out[4 * x + 2] = clamp255(yy + t.cb_b[b]);
    out[4 * x + 3] = 0;
  }
}

void jpeg_interleave_rgb_line(const jpeg_color_tables&, const uint8_t* r, const uint8_t* g, const uint8_t* b,
                              int chroma_step, int width, uint8_t* out) {
  const int shift = chroma_step == 2 ? 1 : 0;
  for (int x = 0; x < width; ++x) {
    out[4 * x + 0] = r[x];
    out[4 * x + 1] = g[x >> shift];
    out[4 * x + 2] = b[x >> shift];
    out[4 * x + 3] = 0;
  }
}

#if defined(__SSE2__)
namespace {

// The chroma terms of 8 chroma samples as 16-bit lanes. Each factor is split into a multiple
// of 65536 (exact in 16 bits) and a remainder that fits a signed 16-bit multiplier:
//   91882 m = 65536 m + 26346 m; -46802 m = -65536 m + 18734 m; 116130 k = 131072 k - 14942 k.
struct chroma_terms {
  __m128i r, g, b;
};

inline __m128i rounded_term(__m128i lo, __m128i hi, short ck, short cm) {
  const __m128i c = _mm_set_epi16(cm, ck, cm, ck, cm, ck, cm, ck);
  const __m128i half = _mm_set1_epi32(32768);
  __m128i a = _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(lo, c), half), 16);
  __m128i b = _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(hi, c), half), 16);
  return _mm_packs_epi32(a, b);
}

inline chroma_terms terms8(const uint8_t* cb, const uint8_t* cr) {
  const __m128i zero = _mm_setzero_si128(), offset = _mm_set1_epi16(128);
  __m128i k =
      _mm_sub_epi16(_mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(cb)), zero), offset);
  __m128i m =
      _mm_sub_epi16(_mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(cr)), zero), offset);
  __m128i lo = _mm_unpacklo_epi16(k, m), hi = _mm_unpackhi_epi16(k, m);  // (k, m) pairs
  chroma_terms t;
  t.r = _mm_add_epi16(m, rounded_term(lo, hi, 0, 26346));
  t.g = _mm_sub_epi16(rounded_term(lo, hi, -22554, 18734), m);
  t.b = _mm_add_epi16(_mm_add_epi16(k, k), rounded_term(lo, hi, -14942, 0));
  return t;
}

// 8 pixels: luma from y, chroma terms per pixel.
inline void emit8(const uint8_t* y, __m128i tr, __m128i tg, __m128i tb, uint8_t* out) {
  const __m128i zero = _mm_setzero_si128();
  __m128i yy = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(y)), zero);
  __m128i r = _mm_packus_epi16(_mm_add_epi16(yy, tr), zero);
  __m128i g = _mm_packus_epi16(_mm_add_epi16(yy, tg), zero);
  __m128i b = _mm_packus_epi16(_mm_add_epi16(yy, tb), zero);
  __m128i rg = _mm_unpacklo_epi8(r, g), b0 = _mm_unpacklo_epi8(b, zero);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi16(rg, b0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), _mm_unpackhi_epi16(rg, b0));
}

}  // namespace

void jpeg_convert_line(const jpeg_color_tables&, const uint8_t* y, const uint8_t* cb, const uint8_t* cr,
                       int chroma_step, int width, uint8_t* out) {
  if (chroma_step == 1) {
    for (int x = 0; x < width; x += 8) {
      chroma_terms t = terms8(cb + x, cr + x);
      emit8(y + x, t.r, t.g, t.b, out + 4 * x);
    }
    return;
  }
  for (int x = 0; x < width; x += 16) {
    chroma_terms t = terms8(cb + x / 2, cr + x / 2);
    emit8(y + x, _mm_unpacklo_epi16(t.r, t.r), _mm_unpacklo_epi16(t.g, t.g), _mm_unpacklo_epi16(t.b, t.b),
          out + 4 * x);
    emit8(y + x + 8, _mm_unpackhi_epi16(t.r, t.r), _mm_unpackhi_epi16(t.g, t.g), _mm_unpackhi_epi16(t.b, t.b),
          out + 4 * x + 32);
  }
}
#else
void jpeg_convert_line(const jpeg_color_tables& t, const uint8_t* y, const uint8_t* cb, const uint8_t* cr,
                       int chroma_step, int width, uint8_t* out) {
  jpeg_convert_line_scalar(t, y, cb, cr, chroma_step, width, out);
}
#endif
