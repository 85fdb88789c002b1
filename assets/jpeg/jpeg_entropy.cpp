// Huffman tables, the bit reader, restart markers and the decoding of scans into coefficients.
// Calls down into the output (a sequential row goes straight through the inverse transform) and
// the core, never up into the marker and public-operation layer.
#include <cstring>

#include "assets/jpeg/jpeg_decoder.h"
#include "assets/jpeg/jpeg_internal.h"

// ---- Huffman tables ----

void jpeg_decoder::build_huffman(huffman_table& t, bool ac) {
  std::memset(t.fast, 0, sizeof t.fast);
  std::memset(t.ac_fast, 0, sizeof t.ac_fast);
  int code = 0, k = 0;
  for (int len = 1; len <= 16; ++len) {
    t.val_offset[len] = k - code;
    int count = t.counts[len];
    for (int i = 0; i < count; ++i, ++code, ++k) {
      // An over-full table (more codes than fit the length) keeps only the codes that fit.
      if (code >= (1 << len)) continue;
      if (len <= fast_bits) {
        int shift = fast_bits - len;
        for (int j = code << shift; j < (code + 1) << shift; ++j)
          t.fast[j] = static_cast<uint16_t>((len << 8) | t.symbols[k]);
      }
    }
    int last = code - 1;
    if (last >= (1 << len)) last = (1 << len) - 1;
    t.max_code[len] = count ? last : -1;
    code <<= 1;
  }
  t.max_code[17] = 0x7FFFFFFF;  // sentinel: ends the slow search
  if (ac) {
    // Resolve run/size symbol and the coefficient's extra bits in one look-up where they fit.
    for (int j = 0; j < (1 << fast_bits); ++j) {
      int e = t.fast[j];
      if (!e) continue;
      int len = e >> 8, sym = e & 255, run = sym >> 4, size = sym & 15;
      if (size == 0 || len + size > fast_bits) continue;
      int bits = (j >> (fast_bits - len - size)) & ((1 << size) - 1);
      int value = jpeg_extend(bits, size);
      t.ac_fast[j] = static_cast<int32_t>(value * 256 + (run << 4) + len + size);
    }
  }
  t.defined = true;
}

// ---- bit reader ----

void jpeg_decoder::reset_bits() {
  check_data_left();
  bit_buf_ = 0;
  bit_count_ = 0;
  padding_bits_ = 0;
}

void jpeg_decoder::check_data_left() {
  // The zero bits after a marker are the last ones in the buffer; fewer bits than them left means
  // some were taken for data. Before a restart marker that is damage to one interval, which the
  // decoder lives with; before any other marker, or the end of the file, the scan's data ended
  // before its blocks did.
  const bool restart = pending_marker_ >= marker_rst0 && pending_marker_ <= marker_rst7;
  if (bit_count_ < padding_bits_ && (past_end_ || !restart)) fail(jpeg_error::truncated);
}

void jpeg_decoder::fill_bits() {
  while (bit_count_ <= 56) {
    int b = 0;
    if (!pending_marker_) {
      if (in_pos_ < in_end_ && in_buf_[in_pos_] != 0xFF) {
        b = in_buf_[in_pos_++];
      } else {
        b = get_byte();
        if (b == 0xFF) {
          int c = get_byte();
          while (c == 0xFF) c = get_byte();
          if (c != 0) {
            // A marker ends the entropy-coded data: the decoder sees zero bits from here on.
            pending_marker_ = c;
            b = 0;
          }
        }
      }
    }
    if (pending_marker_) padding_bits_ += 8;
    bit_buf_ |= static_cast<uint64_t>(b) << (56 - bit_count_);
    bit_count_ += 8;
  }
}

int jpeg_decoder::get_bits(int n) {
  if (n == 0) return 0;
  if (bit_count_ < n) fill_bits();
  int v = static_cast<int>(bit_buf_ >> (64 - n));
  bit_buf_ <<= n;
  bit_count_ -= n;
  return v;
}

inline int jpeg_decoder::get_bit() {
  if (bit_count_ < 1) fill_bits();
  int v = static_cast<int>(bit_buf_ >> 63);
  bit_buf_ <<= 1;
  --bit_count_;
  return v;
}

// Codes longer than the look-up: canonical search, one length at a time.
int jpeg_decoder::decode_symbol_slow(const huffman_table& t) {
  int len = fast_bits + 1;
  int code = static_cast<int>(bit_buf_ >> (64 - len));
  while (code > t.max_code[len]) {
    ++len;
    code = static_cast<int>(bit_buf_ >> (64 - len));
  }
  if (len > 16) fail(jpeg_error::corrupt_data);
  bit_buf_ <<= len;
  bit_count_ -= len;
  return t.symbols[(code + t.val_offset[len]) & 255];
}

inline int jpeg_decoder::decode_symbol(const huffman_table& t) {
  if (bit_count_ < 16) fill_bits();
  if (int e = t.fast[bit_buf_ >> (64 - fast_bits)]) {
    bit_buf_ <<= e >> 8;
    bit_count_ -= e >> 8;
    return e & 255;
  }
  return decode_symbol_slow(t);
}

// ---- restarts and scan boundaries ----

void jpeg_decoder::start_scan_state() {
  bit_buf_ = 0;
  bit_count_ = 0;
  padding_bits_ = 0;
  pending_marker_ = 0;
  for (auto& c : comps_) c.dc_pred = 0;
  eob_run_ = 0;
  next_restart_ = 0;
  restarts_left_ = restart_interval_;
}

void jpeg_decoder::process_restart() {
  reset_bits();
  int marker = pending_marker_;
  pending_marker_ = 0;
  for (int searched = 0; marker == 0;) {
    if (++searched > restart_search_limit) fail(jpeg_error::restart_marker);
    if (get_byte() != 0xFF) continue;
    int c = get_byte();
    while (c == 0xFF) c = get_byte();
    marker = c;
  }
  if (marker != marker_rst0 + next_restart_) fail(jpeg_error::restart_marker);
  next_restart_ = (next_restart_ + 1) & 7;
  for (auto& c : comps_) c.dc_pred = 0;
  eob_run_ = 0;
  restarts_left_ = restart_interval_;
}

inline void jpeg_decoder::restart_check() {
  if (restart_interval_ == 0) return;
  if (restarts_left_ == 0) process_restart();
  --restarts_left_;
}

int jpeg_decoder::end_of_scan_marker() {
  int marker = pending_marker_;
  pending_marker_ = 0;
  reset_bits();
  return marker;  // 0: read_markers searches for it
}

// ---- blocks ----

bool jpeg_decoder::decode_block_sequential(component& c, int16_t* block) {
  if (bit_count_ < 32) fill_bits();
  const huffman_table& dc = dc_tables_[c.dc_table];
  int s = 0;
  if (int e = dc.fast[bit_buf_ >> (64 - fast_bits)]) {
    bit_buf_ <<= e >> 8;
    bit_count_ -= e >> 8;
    s = e & 255;
  } else {
    s = decode_symbol(dc);
  }
  if (s > 16) fail(jpeg_error::corrupt_data);
  int diff = s ? jpeg_extend(get_bits(s), s) : 0;
  c.dc_pred = static_cast<int16_t>(c.dc_pred + diff);
  block[0] = static_cast<int16_t>(c.dc_pred);

  const huffman_table& ac = ac_tables_[c.ac_table];
  bool any_ac = false;
  for (int k = 1; k < 64;) {
    if (bit_count_ < 32) fill_bits();
    const unsigned peek = static_cast<unsigned>(bit_buf_ >> (64 - fast_bits));
    if (int e = ac.ac_fast[peek]) {  // code and value in one look-up
      int len = e & 15;
      bit_buf_ <<= len;
      bit_count_ -= len;
      k += (e >> 4) & 15;
      if (k > 63) fail(jpeg_error::corrupt_data);
      block[jpeg_zigzag[k]] = static_cast<int16_t>(e >> 8);
      any_ac = true;
      ++k;
      continue;
    }
    int rs;
    if (int f = ac.fast[peek]) {
      bit_buf_ <<= f >> 8;
      bit_count_ -= f >> 8;
      rs = f & 255;
    } else {
      rs = decode_symbol(ac);
    }
    int run = rs >> 4, size = rs & 15;
    if (size) {
      k += run;
      if (k > 63) fail(jpeg_error::corrupt_data);
      block[jpeg_zigzag[k]] = static_cast<int16_t>(jpeg_extend(get_bits(size), size));
      any_ac = true;
      ++k;
    } else {
      if (run != 15) break;
      k += 16;
    }
  }
  return any_ac;
}

void jpeg_decoder::decode_block_progressive(component& c, int16_t* block) {
  const int low = approx_low_;
  if (spectral_start_ == 0) {
    if (approx_high_ == 0) {
      int s = decode_symbol(dc_tables_[c.dc_table]);
      if (s > 16) fail(jpeg_error::corrupt_data);
      int diff = s ? jpeg_extend(get_bits(s), s) : 0;
      c.dc_pred = static_cast<int16_t>(c.dc_pred + diff);
      block[0] = static_cast<int16_t>(c.dc_pred * (1 << low));
    } else if (get_bit()) {
      block[0] = static_cast<int16_t>(block[0] | (1 << low));
    }
    return;
  }

  const huffman_table& ac = ac_tables_[c.ac_table];
  if (approx_high_ == 0) {  // first pass over a band
    if (eob_run_ > 0) {
      --eob_run_;
      return;
    }
    for (int k = spectral_start_; k <= spectral_end_;) {
      if (bit_count_ < 32) fill_bits();
      if (int e = ac.ac_fast[bit_buf_ >> (64 - fast_bits)]) {  // code and value in one look-up
        bit_buf_ <<= e & 15;
        bit_count_ -= e & 15;
        k += (e >> 4) & 15;
        if (k > 63) fail(jpeg_error::corrupt_data);
        block[jpeg_zigzag[k]] = static_cast<int16_t>((e >> 8) * (1 << low));
        ++k;
        continue;
      }
      int rs = decode_symbol(ac);
      int run = rs >> 4, size = rs & 15;
      if (size) {
        k += run;
        if (k > 63) fail(jpeg_error::corrupt_data);
        block[jpeg_zigzag[k]] = static_cast<int16_t>(jpeg_extend(get_bits(size), size) * (1 << low));
        ++k;
      } else if (run == 15) {
        k += 16;
      } else {
        eob_run_ = (1 << run) - 1;
        if (run) eob_run_ += get_bits(run);
        break;
      }
    }
    return;
  }

  // Refinement of a band: one new bit for every coefficient already non-zero, and newly
  // non-zero coefficients of magnitude 1 << low.
  const int p1 = 1 << low, m1 = -p1;
  int k = spectral_start_;
  if (eob_run_ == 0) {
    for (; k <= spectral_end_; ++k) {
      int rs = decode_symbol(ac);
      int run = rs >> 4, size = rs & 15;
      int value = 0;
      if (size) {
        value = get_bit() ? p1 : m1;
      } else if (run != 15) {
        eob_run_ = 1 << run;
        if (run) eob_run_ += get_bits(run);
        break;
      }
      for (; k <= spectral_end_; ++k) {
        int16_t& coef = block[jpeg_zigzag[k]];
        if (coef != 0) {
          if (get_bit() && (coef & p1) == 0) coef = static_cast<int16_t>(coef >= 0 ? coef + p1 : coef + m1);
        } else if (--run < 0) {
          break;
        }
      }
      if (value) {
        if (k > 63) fail(jpeg_error::corrupt_data);
        block[jpeg_zigzag[k]] = static_cast<int16_t>(value);
      }
    }
  }
  if (eob_run_ > 0) {
    for (; k <= spectral_end_; ++k) {
      int16_t& coef = block[jpeg_zigzag[k]];
      if (coef != 0 && get_bit() && (coef & p1) == 0)
        coef = static_cast<int16_t>(coef >= 0 ? coef + p1 : coef + m1);
    }
    --eob_run_;
  }
}

int16_t* jpeg_decoder::coefficient_block(component& c, int bx, int by) {
  if (bx >= c.blocks_x || by >= c.blocks_y) fail(jpeg_error::too_many_blocks);
  if (by >= c.coef_rows) {
    // Twice the rows (or as many as needed), within what the input read so far can fill.
    const int rows =
        by + 1 > 2 * c.coef_rows ? by + 1 : (2 * c.coef_rows < c.blocks_y ? 2 * c.coef_rows : c.blocks_y);
    const size_t row_bytes = size_t(c.blocks_x) * 64 * sizeof(int16_t);
    const size_t more = size_t(rows - c.coef_rows) * row_bytes;
    if (coefficient_bytes_ + more > coefficient_allowance + coefficient_bytes_per_input_byte * input_bytes_)
      fail(jpeg_error::picture_larger_than_data);
    c.coefs =
        static_cast<int16_t*>(reallocate(c.coefs, size_t(c.coef_rows) * row_bytes, size_t(rows) * row_bytes));
    coefficient_bytes_ += more;
    c.coef_rows = rows;
  }
  return c.coefs + (size_t(by) * size_t(c.blocks_x) + size_t(bx)) * 64;
}

// Decodes one scan of a multi-scan (progressive or non-interleaved) picture into the
// coefficient buffers.
void jpeg_decoder::decode_buffered_scan() {
  start_scan_state();
  auto block_at = [&](component& c, int bx, int by) { return coefficient_block(c, bx, by); };
  auto decode = [&](component& c, int16_t* block) {
    if (progressive_) {
      decode_block_progressive(c, block);
    } else {
      std::memset(block, 0, 64 * sizeof(int16_t));
      decode_block_sequential(c, block);
    }
  };
  if (scan_count_ == 1) {
    // Non-interleaved: the component's own blocks in raster order, one block per MCU.
    component& c = comps_[scan_comp_[0]];
    int cw = (width_ * c.h + max_h_ - 1) / max_h_, ch = (height_ * c.v + max_v_ - 1) / max_v_;
    int bw = (cw + 7) / 8, bh = (ch + 7) / 8;
    for (int by = 0; by < bh; ++by) {
      for (int bx = 0; bx < bw; ++bx) {
        restart_check();
        decode(c, block_at(c, bx, by));
      }
      check_data_left();
    }
    return;
  }
  for (int my = 0; my < mcus_y_; ++my) {
    for (int mx = 0; mx < mcus_x_; ++mx) {
      restart_check();
      for (int i = 0; i < scan_count_; ++i) {
        component& c = comps_[scan_comp_[i]];
        for (int by = 0; by < c.v; ++by)
          for (int bx = 0; bx < c.h; ++bx) decode(c, block_at(c, mx * c.h + bx, my * c.v + by));
      }
    }
    check_data_left();
  }
}

// Decodes the next MCU row of a single-pass sequential scan straight into the sample planes.
void jpeg_decoder::decode_mcu_row_sequential() {
  int16_t* block = mcu_blocks_;
  for (int mx = 0; mx < mcus_x_; ++mx) {
    restart_check();
    for (int i = 0; i < scan_count_; ++i) {
      component& c = comps_[scan_comp_[i]];
      for (int by = 0; by < c.v; ++by)
        for (int bx = 0; bx < c.h; ++bx) {
          std::memset(block, 0, 64 * sizeof(int16_t));
          bool any_ac = decode_block_sequential(c, block);
          uint8_t* out = c.plane + by * 8 * c.plane_stride + (mx * c.h + bx) * 8;
          idct_block(c, block, !any_ac, out, c.plane_stride);
        }
    }
  }
  check_data_left();
}
