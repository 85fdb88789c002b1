#pragma once
// Inverse DCTs of one 8x8 block. Coefficients and quantisation tables are in natural (row-major)
// order; the result is 8 rows of 8 samples, level-shifted by 128 and clamped to 0..255.
#include <cstdint>

// Scale factors of the fast transform: round(16384 * a(u) * a(v)), a(0) = 1,
// a(k) = sqrt(2) * cos(k * pi / 16).
extern const uint16_t jpeg_idct_fast_scale[64];

// Multiplies a quantisation table by the fast transform's scale factors (result fits 16 bits
// for every 8-bit table; larger entries are clamped).
void jpeg_scale_quant_table(const uint16_t* q, int16_t* q_scaled);

// Scaled AAN transform on 16-bit lanes (SSE2 where available). q_scaled from
// jpeg_scale_quant_table. Bit-identical to jpeg_idct_fast_scalar.
void jpeg_idct_fast(const int16_t* coef, const int16_t* q_scaled, uint8_t* out, int stride);
void jpeg_idct_fast_scalar(const int16_t* coef, const int16_t* q_scaled, uint8_t* out, int stride);

// Accurate integer transform (13-bit constants) on the dequantised coefficients.
void jpeg_idct_accurate(const int16_t* coef, const uint16_t* q, uint8_t* out, int stride);

// Fills a block whose only non-zero coefficient is the DC term, exactly as the transforms above
// would (fast: q is the scaled table entry; accurate: the plain one).
void jpeg_idct_fast_dc(int dc, int q_scaled, uint8_t* out, int stride);
void jpeg_idct_accurate_dc(int dc, int q, uint8_t* out, int stride);
