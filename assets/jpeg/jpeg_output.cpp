// Frame layout, inverse transforms into sample planes, and colour conversion into lines. Calls
// only the core below it; the layers above decide when a row of sample planes is filled.
#include <cstring>

#include "assets/jpeg/jpeg_color.h"
#include "assets/jpeg/jpeg_decoder.h"
#include "assets/jpeg/jpeg_idct.h"

void jpeg_decoder::lay_out_frame() {
  mcu_w_ = 8 * max_h_;
  mcu_h_ = 8 * max_v_;
  mcus_x_ = (width_ + mcu_w_ - 1) / mcu_w_;
  mcus_y_ = (height_ + mcu_h_ - 1) / mcu_h_;
  int blocks_per_mcu = 0;
  for (int i = 0; i < comp_count_; ++i) blocks_per_mcu += comps_[i].h * comps_[i].v;
  if (mcus_x_ * blocks_per_mcu > max_blocks_per_mcu_row) fail(jpeg_error::too_many_blocks);

  for (int i = 0; i < comp_count_; ++i) {
    component& c = comps_[i];
    c.blocks_x = mcus_x_ * c.h;
    c.blocks_y = mcus_y_ * c.v;
    c.plane_stride = c.blocks_x * 8;
    c.plane = static_cast<uint8_t*>(allocate(size_t(c.plane_stride) * size_t(c.v) * 8));
  }
  size_t line_bytes = size_t((width_ + 15) & ~15) * size_t(bytes_per_pixel());
  line_buf_[0] = static_cast<uint8_t*>(allocate(line_bytes));
  line_buf_[1] = static_cast<uint8_t*>(allocate(line_bytes));
  mcu_blocks_ = static_cast<int16_t*>(allocate(64 * sizeof(int16_t)));
}

void jpeg_decoder::idct_block(const component& c, const int16_t* block, bool dc_only, uint8_t* out,
                              int stride) {
  if (use_simd_) {
    const int16_t* q = quant_scaled_[c.quant];
    if (dc_only)
      jpeg_idct_fast_dc(block[0], q[0], out, stride);
    else
      jpeg_idct_fast(block, q, out, stride);
  } else {
    const uint16_t* q = quant_[c.quant];
    if (dc_only)
      jpeg_idct_accurate_dc(block[0], q[0], out, stride);
    else
      jpeg_idct_accurate(block, q, out, stride);
  }
}

namespace {
bool ac_all_zero(const int16_t* block) {
  int acc = 0;
  for (int i = 1; i < 64; ++i) acc |= block[i];
  return acc == 0;
}
}  // namespace

void jpeg_decoder::transform_mcu_row_from_buffers() {
  static const int16_t no_coefficients[64] = {};
  for (int i = 0; i < comp_count_; ++i) {
    component& c = comps_[i];
    for (int by = 0; by < c.v; ++by) {
      // Rows no scan reached hold no coefficients.
      const int block_row = mcu_row_ * c.v + by;
      const int16_t* row =
          block_row < c.coef_rows ? c.coefs + size_t(block_row) * size_t(c.blocks_x) * 64 : nullptr;
      uint8_t* out = c.plane + by * 8 * c.plane_stride;
      for (int bx = 0; bx < c.blocks_x; ++bx) {
        const int16_t* block = row ? row + size_t(bx) * 64 : no_coefficients;
        idct_block(c, block, ac_all_zero(block), out + bx * 8, c.plane_stride);
      }
    }
  }
}

const uint8_t* jpeg_decoder::line_from_planes() {
  if (second_line_ready_) {
    second_line_ready_ = false;
    advance_row();
    return line_buf_[1];
  }
  const int r = row_in_mcu_;
  const uint8_t* result = nullptr;
  if (comp_count_ == 1) {
    result = comps_[0].plane + r * comps_[0].plane_stride;
  } else {
    const component &cy = comps_[0], &cb = comps_[1], &cr = comps_[2];
    int step = max_h_;
    int chroma_row = r / max_v_;
    const uint8_t* cb_row = cb.plane + chroma_row * cb.plane_stride;
    const uint8_t* cr_row = cr.plane + chroma_row * cr.plane_stride;
    auto convert = rgb_ ? jpeg_interleave_rgb_line : jpeg_convert_line;
    convert(colors_, cy.plane + r * cy.plane_stride, cb_row, cr_row, step, width_, line_buf_[0]);
    if (max_v_ == 2) {
      // Both luma lines of a chroma line are converted together; the second goes out next call.
      convert(colors_, cy.plane + (r + 1) * cy.plane_stride, cb_row, cr_row, step, width_, line_buf_[1]);
      second_line_ready_ = true;
    }
    result = line_buf_[0];
  }
  advance_row();
  return result;
}

void jpeg_decoder::advance_row() {
  if (++row_in_mcu_ == mcu_h_) {
    row_in_mcu_ = 0;
    ++mcu_row_;
  }
}
