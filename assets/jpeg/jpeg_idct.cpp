// The inverse DCTs of one block: the scaled fast transform (SSE2 with a portable twin), the
// accurate integer one, and their DC-only shortcuts.
#include "assets/jpeg/jpeg_idct.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

const uint16_t jpeg_idct_fast_scale[64] = {
    16384, 22725, 21407, 19266, 16384, 12873, 8867,  4520,  //
    22725, 31521, 29692, 26722, 22725, 17855, 12299, 6270,  //
    21407, 29692, 27969, 25172, 21407, 16819, 11585, 5906,  //
    19266, 26722, 25172, 22654, 19266, 15137, 10426, 5315,  //
    16384, 22725, 21407, 19266, 16384, 12873, 8867,  4520,  //
    12873, 17855, 16819, 15137, 12873, 10114, 6967,  3552,  //
    8867,  12299, 11585, 10426, 8867,  6967,  4799,  2446,  //
    4520,  6270,  5906,  5315,  4520,  3552,  2446,  1247,
};

void jpeg_scale_quant_table(const uint16_t* q, int16_t* q_scaled) {
  for (int i = 0; i < 64; ++i) {
    int v = (static_cast<int>(q[i]) * jpeg_idct_fast_scale[i] + 2048) >> 12;
    q_scaled[i] = static_cast<int16_t>(std::min(v, 32767));
  }
}

namespace {

// Fixed-point constants of the fast transform, as fractions of 65536 (multiply-high).
constexpr int k0_414 = 27146;  // sqrt(2) - 1
constexpr int k0_235 = 15377;  // 1 - 0.765366865
constexpr int k0_152 = 9977;   // 2 - 1.847759065
// Added to the DC term: the level shift of 128 in the transform's 5 fraction bits. The final
// descale truncates, as fast scaled transforms conventionally do.
constexpr int fast_bias = (128 << 5);

inline uint8_t clamp_sample(int v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// ---- fast transform, portable ----
// The arithmetic runs on 16-bit lanes that wrap around (s16), exactly as the SIMD version does;
// blocks whose coefficients could overflow those lanes take the same steps on wide integers.
using s16 = int16_t;
inline s16 add(s16 a, s16 b) { return static_cast<s16>(a + b); }
inline s16 sub(s16 a, s16 b) { return static_cast<s16>(a - b); }
inline s16 mulhi(s16 a, int c) { return static_cast<s16>((a * c) >> 16); }
inline s16 neg(s16 a) { return static_cast<s16>(-a); }
inline int64_t add(int64_t a, int64_t b) { return a + b; }
inline int64_t sub(int64_t a, int64_t b) { return a - b; }
inline int64_t mulhi(int64_t a, int c) { return (a * c) >> 16; }
inline int64_t neg(int64_t a) { return -a; }

template <typename T>
void fast_1d(T* v) {  // v[0..7] in, v[0..7] out
  T t10 = add(v[0], v[4]), t11 = sub(v[0], v[4]);
  T t13 = add(v[2], v[6]), d = sub(v[2], v[6]);
  T t12 = sub(add(d, mulhi(d, k0_414)), t13);
  T e0 = add(t10, t13), e3 = sub(t10, t13), e1 = add(t11, t12), e2 = sub(t11, t12);

  T z13 = add(v[5], v[3]), z10 = sub(v[5], v[3]);
  T z11 = add(v[1], v[7]), z12 = sub(v[1], v[7]);
  T t7 = add(z11, z13), e = sub(z11, z13);
  T o11 = add(e, mulhi(e, k0_414));
  T a12 = sub(z12, mulhi(z12, k0_235)), a10 = sub(z10, mulhi(z10, k0_235));  // x 0.765
  T b12 = sub(add(z12, z12), mulhi(z12, k0_152));                            // x 1.848
  T b10 = sub(add(z10, z10), mulhi(z10, k0_152));
  T o10 = neg(add(a12, b10));
  T o12 = sub(b12, a10);
  T t6 = sub(o12, t7), t5 = sub(o11, t6), t4 = add(o10, t5);

  v[0] = add(e0, t7);
  v[7] = sub(e0, t7);
  v[1] = add(e1, t6);
  v[6] = sub(e1, t6);
  v[2] = add(e2, t5);
  v[5] = sub(e2, t5);
  v[3] = sub(e3, t4);
  v[4] = add(e3, t4);
}

// Sum of the magnitudes of the dequantised AC terms above which the 16-bit lanes could
// overflow: no multiplier input exceeds 5.1 times this sum (the largest gain of the column
// pass), which must stay below 32768.
constexpr int lane_safe_ac_sum = 6000;

template <typename T>
void fast_2d(const int16_t* coef, const int16_t* q, uint8_t* out, int stride) {
  T ws[64];
  for (int i = 0; i < 64; ++i) ws[i] = static_cast<T>(coef[i] * q[i]);
  ws[0] = add(ws[0], static_cast<T>(fast_bias));
  for (int c = 0; c < 8; ++c) {  // columns
    T v[8];
    for (int r = 0; r < 8; ++r) v[r] = ws[r * 8 + c];
    fast_1d(v);
    for (int r = 0; r < 8; ++r) ws[r * 8 + c] = v[r];
  }
  for (int r = 0; r < 8; ++r) {  // rows
    fast_1d(ws + r * 8);
    for (int c = 0; c < 8; ++c) out[r * stride + c] = clamp_sample(static_cast<int>(ws[r * 8 + c] >> 5));
  }
}

// Sum over the columns of each column's AC magnitudes (16-bit lanes, each column's sum
// saturating at 65535, as the SIMD version computes it).
int ac_magnitude_sum(const int16_t* coef, const int16_t* q) {
  int total = 0;
  for (int c = 0; c < 8; ++c) {
    int column = 0;
    for (int r = c == 0 ? 1 : 0; r < 8; ++r) {
      int v = static_cast<s16>(coef[r * 8 + c] * q[r * 8 + c]);
      column += v < 0 ? -v : v;
    }
    total += std::min(column, 65535);
  }
  return total;
}

}  // namespace

void jpeg_idct_fast_scalar(const int16_t* coef, const int16_t* q, uint8_t* out, int stride) {
  if (ac_magnitude_sum(coef, q) > lane_safe_ac_sum)
    fast_2d<int64_t>(coef, q, out, stride);
  else
    fast_2d<s16>(coef, q, out, stride);
}

void jpeg_idct_fast_dc(int dc, int q, uint8_t* out, int stride) {
  s16 v = add(static_cast<s16>(dc * q), fast_bias);
  uint8_t px = clamp_sample(v >> 5);
  for (int r = 0; r < 8; ++r) std::memset(out + r * stride, px, 8);
}

#if defined(__SSE2__)
namespace {

inline __m128i mulhi_c(__m128i a, short c) { return _mm_mulhi_epi16(a, _mm_set1_epi16(c)); }

inline void fast_1d_sse(__m128i* v) {
  __m128i t10 = _mm_add_epi16(v[0], v[4]), t11 = _mm_sub_epi16(v[0], v[4]);
  __m128i t13 = _mm_add_epi16(v[2], v[6]), d = _mm_sub_epi16(v[2], v[6]);
  __m128i t12 = _mm_sub_epi16(_mm_add_epi16(d, mulhi_c(d, k0_414)), t13);
  __m128i e0 = _mm_add_epi16(t10, t13), e3 = _mm_sub_epi16(t10, t13);
  __m128i e1 = _mm_add_epi16(t11, t12), e2 = _mm_sub_epi16(t11, t12);

  __m128i z13 = _mm_add_epi16(v[5], v[3]), z10 = _mm_sub_epi16(v[5], v[3]);
  __m128i z11 = _mm_add_epi16(v[1], v[7]), z12 = _mm_sub_epi16(v[1], v[7]);
  __m128i t7 = _mm_add_epi16(z11, z13), e = _mm_sub_epi16(z11, z13);
  __m128i o11 = _mm_add_epi16(e, mulhi_c(e, k0_414));
  __m128i a12 = _mm_sub_epi16(z12, mulhi_c(z12, k0_235));
  __m128i a10 = _mm_sub_epi16(z10, mulhi_c(z10, k0_235));
  __m128i b12 = _mm_sub_epi16(_mm_add_epi16(z12, z12), mulhi_c(z12, k0_152));
  __m128i b10 = _mm_sub_epi16(_mm_add_epi16(z10, z10), mulhi_c(z10, k0_152));
  __m128i o10 = _mm_sub_epi16(_mm_setzero_si128(), _mm_add_epi16(a12, b10));
  __m128i o12 = _mm_sub_epi16(b12, a10);
  __m128i t6 = _mm_sub_epi16(o12, t7), t5 = _mm_sub_epi16(o11, t6), t4 = _mm_add_epi16(o10, t5);

  v[0] = _mm_add_epi16(e0, t7);
  v[7] = _mm_sub_epi16(e0, t7);
  v[1] = _mm_add_epi16(e1, t6);
  v[6] = _mm_sub_epi16(e1, t6);
  v[2] = _mm_add_epi16(e2, t5);
  v[5] = _mm_sub_epi16(e2, t5);
  v[3] = _mm_sub_epi16(e3, t4);
  v[4] = _mm_add_epi16(e3, t4);
}

inline void transpose8(__m128i* v) {
  __m128i a0 = _mm_unpacklo_epi16(v[0], v[1]), a1 = _mm_unpackhi_epi16(v[0], v[1]);
  __m128i a2 = _mm_unpacklo_epi16(v[2], v[3]), a3 = _mm_unpackhi_epi16(v[2], v[3]);
  __m128i a4 = _mm_unpacklo_epi16(v[4], v[5]), a5 = _mm_unpackhi_epi16(v[4], v[5]);
  __m128i a6 = _mm_unpacklo_epi16(v[6], v[7]), a7 = _mm_unpackhi_epi16(v[6], v[7]);
  __m128i b0 = _mm_unpacklo_epi32(a0, a2), b1 = _mm_unpackhi_epi32(a0, a2);
  __m128i b2 = _mm_unpacklo_epi32(a1, a3), b3 = _mm_unpackhi_epi32(a1, a3);
  __m128i b4 = _mm_unpacklo_epi32(a4, a6), b5 = _mm_unpackhi_epi32(a4, a6);
  __m128i b6 = _mm_unpacklo_epi32(a5, a7), b7 = _mm_unpackhi_epi32(a5, a7);
  v[0] = _mm_unpacklo_epi64(b0, b4);
  v[1] = _mm_unpackhi_epi64(b0, b4);
  v[2] = _mm_unpacklo_epi64(b1, b5);
  v[3] = _mm_unpackhi_epi64(b1, b5);
  v[4] = _mm_unpacklo_epi64(b2, b6);
  v[5] = _mm_unpackhi_epi64(b2, b6);
  v[6] = _mm_unpacklo_epi64(b3, b7);
  v[7] = _mm_unpackhi_epi64(b3, b7);
}

}  // namespace

void jpeg_idct_fast(const int16_t* coef, const int16_t* q, uint8_t* out, int stride) {
  __m128i v[8];
  for (int r = 0; r < 8; ++r) {
    __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coef + r * 8));
    __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + r * 8));
    v[r] = _mm_mullo_epi16(c, m);
  }
  // Overflow guard, as in the portable version.
  __m128i sum = _mm_setzero_si128();
  for (int r = 0; r < 8; ++r) {
    __m128i x = r ? v[r] : _mm_and_si128(v[0], _mm_set_epi16(-1, -1, -1, -1, -1, -1, -1, 0));
    sum = _mm_adds_epu16(sum, _mm_max_epi16(x, _mm_sub_epi16(_mm_setzero_si128(), x)));
  }
  __m128i zero = _mm_setzero_si128();
  __m128i s32 = _mm_add_epi32(_mm_unpacklo_epi16(sum, zero), _mm_unpackhi_epi16(sum, zero));
  s32 = _mm_add_epi32(s32, _mm_shuffle_epi32(s32, _MM_SHUFFLE(1, 0, 3, 2)));
  s32 = _mm_add_epi32(s32, _mm_shuffle_epi32(s32, _MM_SHUFFLE(2, 3, 0, 1)));
  if (_mm_cvtsi128_si32(s32) > lane_safe_ac_sum) {
    fast_2d<int64_t>(coef, q, out, stride);
    return;
  }
  v[0] = _mm_add_epi16(v[0], _mm_cvtsi32_si128(fast_bias));
  fast_1d_sse(v);  // columns: each register is one row of coefficients
  transpose8(v);
  fast_1d_sse(v);  // rows
  transpose8(v);
  for (int r = 0; r < 8; r += 2) {
    __m128i p = _mm_packus_epi16(_mm_srai_epi16(v[r], 5), _mm_srai_epi16(v[r + 1], 5));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + r * stride), p);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + (r + 1) * stride), _mm_srli_si128(p, 8));
  }
}
#else
void jpeg_idct_fast(const int16_t* coef, const int16_t* q, uint8_t* out, int stride) {
  jpeg_idct_fast_scalar(coef, q, out, stride);
}
#endif

// ---- accurate transform: 13-bit constants, two fraction bits kept between the passes ----
namespace {

constexpr int const_bits = 13;
constexpr int pass1_bits = 2;

// One 1-D transform on 64-bit values (corrupt input must not overflow); returns the eight
// outputs before descaling.
inline void accurate_1d(const int64_t* in, int64_t* out) {
  int64_t z2 = in[2], z3 = in[6];
  int64_t z1 = (z2 + z3) * 4433;
  int64_t tmp2 = z1 - z3 * 15137;
  int64_t tmp3 = z1 + z2 * 6270;
  int64_t tmp0 = (in[0] + in[4]) * (1 << const_bits);
  int64_t tmp1 = (in[0] - in[4]) * (1 << const_bits);
  int64_t t10 = tmp0 + tmp3, t13 = tmp0 - tmp3, t11 = tmp1 + tmp2, t12 = tmp1 - tmp2;

  int64_t p0 = in[7], p1 = in[5], p2 = in[3], p3 = in[1];
  int64_t y1 = p0 + p3, y2 = p1 + p2, y3 = p0 + p2, y4 = p1 + p3;
  int64_t y5 = (y3 + y4) * 9633;
  p0 *= 2446;
  p1 *= 16819;
  p2 *= 25172;
  p3 *= 12299;
  y1 *= -7373;
  y2 *= -20995;
  y3 = y3 * -16069 + y5;
  y4 = y4 * -3196 + y5;
  p0 += y1 + y3;
  p1 += y2 + y4;
  p2 += y2 + y3;
  p3 += y1 + y4;

  out[0] = t10 + p3;
  out[7] = t10 - p3;
  out[1] = t11 + p2;
  out[6] = t11 - p2;
  out[2] = t12 + p1;
  out[5] = t12 - p1;
  out[3] = t13 + p0;
  out[4] = t13 - p0;
}

inline int64_t descale(int64_t x, int n) { return (x + (int64_t{1} << (n - 1))) >> n; }

}  // namespace

void jpeg_idct_accurate(const int16_t* coef, const uint16_t* q, uint8_t* out, int stride) {
  int64_t ws[64];
  for (int c = 0; c < 8; ++c) {  // columns
    int64_t in[8], o[8];
    for (int r = 0; r < 8; ++r) in[r] = static_cast<int64_t>(coef[r * 8 + c]) * q[r * 8 + c];
    accurate_1d(in, o);
    for (int r = 0; r < 8; ++r) ws[r * 8 + c] = descale(o[r], const_bits - pass1_bits);
  }
  constexpr int final_shift = const_bits + pass1_bits + 3;
  for (int r = 0; r < 8; ++r) {  // rows
    int64_t o[8];
    accurate_1d(ws + r * 8, o);
    for (int c = 0; c < 8; ++c) {
      int64_t v = descale(o[c], final_shift) + 128;
      out[r * stride + c] = static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
  }
}

void jpeg_idct_accurate_dc(int dc, int q, uint8_t* out, int stride) {
  int64_t col = descale(static_cast<int64_t>(dc) * q * (1 << const_bits), const_bits - pass1_bits);
  int64_t v = descale(col * (1 << const_bits), const_bits + pass1_bits + 3) + 128;
  uint8_t px = static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
  for (int r = 0; r < 8; ++r) std::memset(out + r * stride, px, 8);
}
