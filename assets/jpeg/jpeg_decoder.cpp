// Decoder life cycle, marker segments and the public operations: the top of the decoder, which
// drives the entropy decoding and the output below it.
#include "assets/jpeg/jpeg_decoder.h"

#include <cstring>

#include "assets/jpeg/jpeg_idct.h"
#include "assets/jpeg/jpeg_internal.h"

jpeg_decoder::jpeg_decoder(jpeg_decoder_stream* stream, bool use_simd)
    : stream_(stream), use_simd_(use_simd) {
  std::memset(quant_, 0, sizeof quant_);
  std::memset(quant_scaled_, 0, sizeof quant_scaled_);
  if (!stream_) {
    error_ = jpeg_error::read_failure;
    return;
  }
  stream_->on_attach();
  try {
    find_start_of_image();
    int marker = read_markers(0);
    if (marker == marker_sos || marker == marker_eoi) fail(jpeg_error::unexpected_marker);
    read_frame_header(marker == marker_sof2);
  } catch (const fail_signal&) {
  }
}

jpeg_decoder::~jpeg_decoder() {
  release_all();
  if (stream_) stream_->on_detach();
}

// ---- markers and segments ----

void jpeg_decoder::find_start_of_image() {
  int b1 = get_byte(), b2 = get_byte();
  for (int slid = 0; !(b1 == 0xFF && b2 == marker_soi); ++slid) {
    if (slid >= 511) fail(jpeg_error::no_start_of_image);
    b1 = b2;
    b2 = get_byte();
  }
  if (get_byte() != 0xFF) fail(jpeg_error::no_start_of_image);
  --in_pos_;  // the 0xFF starts the next marker
}

int jpeg_decoder::next_marker() {
  for (;;) {
    int c = get_byte();
    if (c != 0xFF) continue;  // stray bytes between segments
    do c = get_byte();
    while (c == 0xFF);
    if (c != 0) return c;
  }
}

int jpeg_decoder::read_markers(int marker) {
  for (;; marker = 0) {
    if (marker == 0) marker = next_marker();
    switch (marker) {
      case marker_dht:
        read_huffman_tables();
        break;
      case marker_dqt:
        read_quant_tables();
        break;
      case marker_dri:
        read_restart_interval();
        break;
      case marker_sof0:
      case marker_sof1:
      case marker_sof2:
      case marker_sos:
      case marker_eoi:
        return marker;
      case marker_sof9:
      case marker_dac:
        fail(jpeg_error::arithmetic_coding);
      case 0xC3:
      case 0xC5:
      case 0xC6:
      case 0xC7:
      case 0xCA:
      case 0xCB:
      case 0xCD:
      case 0xCE:
      case 0xCF:
        fail(jpeg_error::unsupported_frame);
      case marker_tem:
      case marker_jpg:
      case marker_soi:
        fail(jpeg_error::unexpected_marker);
      case marker_app0:
      case marker_app14:
        read_app_segment(marker);
        break;
      default:
        if (marker >= marker_rst0 && marker <= marker_rst7) fail(jpeg_error::unexpected_marker);
        skip_segment();
        break;
    }
  }
}

void jpeg_decoder::skip_segment() {
  int length = get_word();
  if (length < 2) fail(jpeg_error::segment_length);
  skip_bytes(length - 2);
}

void jpeg_decoder::read_app_segment(int marker) {
  int length = get_word();
  if (length < 2) fail(jpeg_error::segment_length);
  // "JFIF" and a zero byte; "Adobe", version, two flag words and the transform byte.
  uint8_t head[12] = {};
  const int n = length - 2 < 12 ? length - 2 : 12;
  for (int i = 0; i < n; ++i) head[i] = get_byte();
  skip_bytes(length - 2 - n);
  if (marker == marker_app0 && n >= 5 && std::memcmp(head, "JFIF", 5) == 0) jfif_ = true;
  if (marker == marker_app14 && n >= 12 && std::memcmp(head, "Adobe", 5) == 0) adobe_transform_ = head[11];
}

void jpeg_decoder::read_huffman_tables() {
  int left = get_word();
  if (left < 2) fail(jpeg_error::huffman_segment_short);
  left -= 2;
  while (left > 0) {
    if (left < 17) fail(jpeg_error::huffman_segment_short);
    int kind = get_byte();
    int table_class = kind >> 4, number = kind & 15;
    if (table_class > 1 || number > 3) fail(jpeg_error::huffman_table_id);
    huffman_table& t = table_class ? ac_tables_[number] : dc_tables_[number];
    int total = 0;
    for (int len = 1; len <= 16; ++len) {
      t.counts[len] = get_byte();
      total += t.counts[len];
    }
    if (total > 255) fail(jpeg_error::huffman_too_many_codes);
    left -= 17;
    if (total > left) fail(jpeg_error::huffman_segment_short);
    for (int i = 0; i < total; ++i) t.symbols[i] = get_byte();
    left -= total;
    build_huffman(t, table_class == 1);
  }
}

void jpeg_decoder::read_quant_tables() {
  int left = get_word();
  if (left < 2) fail(jpeg_error::quant_segment_short);
  left -= 2;
  while (left > 0) {
    int kind = get_byte();
    --left;
    int precision = kind >> 4, number = kind & 15;
    if (number > 3) fail(jpeg_error::quant_table_number);
    int need = precision ? 128 : 64;
    if (precision > 1 || left < need) fail(jpeg_error::quant_segment_length);
    for (int k = 0; k < 64; ++k)
      quant_[number][jpeg_zigzag[k]] = static_cast<uint16_t>(precision ? get_word() : get_byte());
    left -= need;
    jpeg_scale_quant_table(quant_[number], quant_scaled_[number]);
    quant_defined_[number] = true;
  }
}

void jpeg_decoder::read_restart_interval() {
  if (get_word() != 4) fail(jpeg_error::restart_interval_length);
  restart_interval_ = get_word();
}

void jpeg_decoder::read_frame_header(bool progressive) {
  int length = get_word();
  if (get_byte() != 8) fail(jpeg_error::sample_precision);
  height_ = get_word();
  if (height_ == 0 || height_ > max_dimension) fail(jpeg_error::bad_height);
  width_ = get_word();
  if (width_ == 0 || width_ > max_dimension) fail(jpeg_error::bad_width);
  int count = get_byte();
  if (count > 4) fail(jpeg_error::too_many_components);
  if (length != 8 + 3 * count) fail(jpeg_error::frame_header_length);
  for (int i = 0; i < count; ++i) {
    comps_[i].id = get_byte();
    int sampling = get_byte();
    comps_[i].h = sampling >> 4;
    comps_[i].v = sampling & 15;
    comps_[i].quant = get_byte();
  }
  comp_count_ = count;
  progressive_ = progressive;
  if (count != 1 && count != 3) fail(jpeg_error::component_count);
  if (count == 1) {
    // A lone component is always coded block by block, whatever its sampling factors say.
    comps_[0].h = comps_[0].v = 1;
  } else {
    bool luma_ok = comps_[0].h >= 1 && comps_[0].h <= 2 && comps_[0].v >= 1 && comps_[0].v <= 2;
    for (int i = 1; i < 3; ++i) luma_ok = luma_ok && comps_[i].h == 1 && comps_[i].v == 1;
    if (!luma_ok) fail(jpeg_error::sampling_factors);
  }
  max_h_ = comps_[0].h;
  max_v_ = comps_[0].v;
}

void jpeg_decoder::read_scan_header() {
  int length = get_word();
  int count = get_byte();
  if (count < 1 || count > 4 || length != 6 + 2 * count) fail(jpeg_error::scan_header_length);
  for (int i = 0; i < count; ++i) {
    int id = get_byte(), tables = get_byte();
    int found = -1;
    for (int c = 0; c < comp_count_ && found < 0; ++c)
      if (comps_[c].id == id) found = c;
    if (found < 0) fail(jpeg_error::scan_component_missing);
    scan_comp_[i] = found;
    comps_[found].dc_table = tables >> 4;
    comps_[found].ac_table = tables & 15;
  }
  scan_count_ = count;
  spectral_start_ = get_byte();
  spectral_end_ = get_byte();
  int approx = get_byte();
  approx_high_ = approx >> 4;
  approx_low_ = approx & 15;

  if (progressive_) {
    bool dc_scan = spectral_start_ == 0;
    if (spectral_end_ < spectral_start_ || spectral_end_ > 63 || (!dc_scan && count != 1) ||
        (dc_scan && spectral_end_ != 0))
      fail(jpeg_error::spectral_selection);
    if (approx_high_ != 0 && approx_high_ != approx_low_ + 1) fail(jpeg_error::successive_approximation);
  } else {
    // Sequential scans always carry every coefficient of their blocks.
    spectral_start_ = 0;
    spectral_end_ = 63;
    approx_high_ = approx_low_ = 0;
  }
  bool needs_dc = spectral_start_ == 0 && approx_high_ == 0;
  bool needs_ac = spectral_end_ > 0;
  for (int i = 0; i < count; ++i) {
    const component& c = comps_[scan_comp_[i]];
    if (c.quant > 3 || !quant_defined_[c.quant]) fail(jpeg_error::undefined_quant_table);
    if (needs_dc && (c.dc_table > 3 || !dc_tables_[c.dc_table].defined))
      fail(jpeg_error::undefined_huffman_table);
    if (needs_ac && (c.ac_table > 3 || !ac_tables_[c.ac_table].defined))
      fail(jpeg_error::undefined_huffman_table);
  }
}

// ---- public operations ----

int jpeg_decoder::begin_decoding() {
  if (error_ != jpeg_error::none) return -1;
  if (begun_) return 0;
  try {
    lay_out_frame();
    if (read_markers(0) != marker_sos) fail(jpeg_error::unexpected_marker);
    // As the reference decoders decide it: a JFIF marker means YCbCr, an Adobe marker says,
    // and without either the component names 'R', 'G', 'B' mean RGB.
    if (comp_count_ == 3)
      rgb_ = !jfif_ &&
             (adobe_transform_ >= 0 ? adobe_transform_ == 0
                                    : comps_[0].id == 'R' && comps_[1].id == 'G' && comps_[2].id == 'B');
    read_scan_header();
    // A sequential scan that carries every component in one pass is decoded row by row as the
    // lines are asked for; anything else goes through the coefficient buffers.
    bool single_pass = !progressive_ && scan_count_ == comp_count_;
    for (int i = 0; i < scan_count_ && single_pass; ++i)
      for (int j = 0; j < i; ++j) single_pass = single_pass && scan_comp_[i] != scan_comp_[j];
    if (single_pass) {
      buffered_ = false;
      start_scan_state();
    } else {
      buffered_ = true;
      for (;;) {
        decode_buffered_scan();
        int marker = read_markers(end_of_scan_marker());
        // Only the end-of-image marker tells that no scan is missing.
        if (past_end_) fail(jpeg_error::truncated);
        if (marker == marker_eoi) break;
        if (marker != marker_sos) fail(jpeg_error::unexpected_marker);
        read_scan_header();
      }
      // A component that no scan named still goes through the transform with its table.
      for (int i = 0; i < comp_count_; ++i)
        if (comps_[i].quant > 3) fail(jpeg_error::undefined_quant_table);
    }
    begun_ = true;
    return 0;
  } catch (const fail_signal&) {
    return -1;
  }
}

int jpeg_decoder::decode_line(const uint8_t*& line, int& length) {
  if (!begun_ || error_ != jpeg_error::none) return -1;
  if (lines_out_ >= height_) return 1;
  try {
    line = next_line();
  } catch (const fail_signal&) {
    return line_failed;
  }
  length = width_ * bytes_per_pixel();
  ++lines_out_;
  return 0;
}

const uint8_t* jpeg_decoder::next_line() {
  if (!second_line_ready_ && row_in_mcu_ == 0) {
    if (buffered_)
      transform_mcu_row_from_buffers();
    else
      decode_mcu_row_sequential();
  }
  return line_from_planes();
}
