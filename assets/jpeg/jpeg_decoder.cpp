// Decoder life cycle, input, marker segments and the public operations.
#include "assets/jpeg/jpeg_decoder.h"

#include <cstdlib>
#include <cstring>

#include "assets/jpeg/jpeg_idct.h"
#include "assets/jpeg/jpeg_internal.h"

jpeg_decoder::jpeg_decoder(jpeg_decoder_stream* stream, bool use_simd)
    : stream_(stream), use_simd_(use_simd) {
  std::memset(quant_, 0, sizeof quant_);
  std::memset(quant_scaled_, 0, sizeof quant_scaled_);
  if (!stream_) {
    error_code_ = -232;
    return;
  }
  stream_->on_attach();
  try {
    find_start_of_image();
    int marker = read_markers(0);
    if (marker == marker_sos || marker == marker_eoi) fail(-216);
    read_frame_header(marker == marker_sof2);
  } catch (const fail_signal&) {
  }
}

jpeg_decoder::~jpeg_decoder() {
  release_all();
  if (stream_) stream_->on_detach();
}

void jpeg_decoder::fail(int code) {
  // Past the end of the file the decoder reads substitute bytes: a fault they cause is the
  // file's end. The missing start-of-image marker (a file too short to hold one is no JPEG
  // either), read failures and memory are not about the data.
  if (past_end_ && code != -217 && code != -221 && code != -232 && code != -233) code = -234;
  if (error_code_ == 0) error_code_ = code;
  release_all();
  if (stream_) {
    jpeg_decoder_stream* s = stream_;
    stream_ = nullptr;
    s->on_detach();
  }
  throw fail_signal{};
}

void* jpeg_decoder::allocate(size_t bytes) {
  if (block_count_ >= max_memory_blocks) fail(-221);
  void* p = std::calloc(1, bytes ? bytes : 1);
  if (!p) fail(-233);
  blocks_[block_count_++] = p;
  return p;
}

void* jpeg_decoder::reallocate(void* block, size_t old_bytes, size_t bytes) {
  if (!block) return allocate(bytes);
  for (int i = 0; i < block_count_; ++i) {
    if (blocks_[i] != block) continue;
    // On failure the old block stays in the table, which fail releases.
    void* p = std::realloc(block, bytes);
    if (!p) fail(-233);
    std::memset(static_cast<uint8_t*>(p) + old_bytes, 0, bytes - old_bytes);
    blocks_[i] = p;
    return p;
  }
  fail(-221);  // not a block of this decoder
}

void jpeg_decoder::release_all() {
  for (int i = 0; i < block_count_; ++i) std::free(blocks_[i]);
  block_count_ = 0;
  for (auto& c : comps_) {
    c.coefs = nullptr;
    c.plane = nullptr;
  }
  mcu_blocks_ = nullptr;
  line_buf_[0] = line_buf_[1] = nullptr;
}

// ---- input ----

void jpeg_decoder::refill() {
  in_pos_ = 0;
  in_end_ = 0;
  if (!in_eof_) {
    bool eof = false;
    int n = stream_->read(in_buf_, static_cast<int>(sizeof in_buf_), eof);
    if (n < 0) fail(-232);
    if (n > static_cast<int>(sizeof in_buf_)) n = static_cast<int>(sizeof in_buf_);
    // A stream that delivers nothing without reporting the end is treated as ended, so a
    // misbehaving source cannot stall the decoder.
    if (eof || n == 0) in_eof_ = true;
    in_end_ = n;
    input_bytes_ += size_t(n);
    if (n > 0) return;
  }
  // Past the end: the data continues as end-of-image markers, so every scan ends.
  past_end_ = true;
  for (size_t i = 0; i < sizeof in_buf_; i += 2) {
    in_buf_[i] = 0xFF;
    in_buf_[i + 1] = marker_eoi;
  }
  in_end_ = static_cast<int>(sizeof in_buf_);
}

uint8_t jpeg_decoder::get_byte() {
  if (in_pos_ == in_end_) refill();
  return in_buf_[in_pos_++];
}

int jpeg_decoder::get_word() {
  int hi = get_byte();
  return (hi << 8) | get_byte();
}

void jpeg_decoder::skip_bytes(int count) {
  while (count > 0) {
    if (in_pos_ == in_end_) refill();
    int n = in_end_ - in_pos_;
    if (n > count) n = count;
    in_pos_ += n;
    count -= n;
  }
}

// ---- markers and segments ----

void jpeg_decoder::find_start_of_image() {
  int b1 = get_byte(), b2 = get_byte();
  for (int slid = 0; !(b1 == 0xFF && b2 == marker_soi); ++slid) {
    if (slid >= 511) fail(-217);
    b1 = b2;
    b2 = get_byte();
  }
  if (get_byte() != 0xFF) fail(-217);
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
        fail(-215);
      case 0xC3:
      case 0xC5:
      case 0xC6:
      case 0xC7:
      case 0xCA:
      case 0xCB:
      case 0xCD:
      case 0xCE:
      case 0xCF:
        fail(-218);
      case marker_tem:
      case marker_jpg:
      case marker_soi:
        fail(-216);
      case marker_app0:
      case marker_app14:
        read_app_segment(marker);
        break;
      default:
        if (marker >= marker_rst0 && marker <= marker_rst7) fail(-216);
        skip_segment();
        break;
    }
  }
}

void jpeg_decoder::skip_segment() {
  int length = get_word();
  if (length < 2) fail(-210);
  skip_bytes(length - 2);
}

void jpeg_decoder::read_app_segment(int marker) {
  int length = get_word();
  if (length < 2) fail(-210);
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
  if (left < 2) fail(-202);
  left -= 2;
  while (left > 0) {
    if (left < 17) fail(-202);
    int kind = get_byte();
    int table_class = kind >> 4, number = kind & 15;
    if (table_class > 1 || number > 3) fail(-201);
    huffman_table& t = table_class ? ac_tables_[number] : dc_tables_[number];
    int total = 0;
    for (int len = 1; len <= 16; ++len) {
      t.counts[len] = get_byte();
      total += t.counts[len];
    }
    if (total > 255) fail(-200);
    left -= 17;
    if (total > left) fail(-202);
    for (int i = 0; i < total; ++i) t.symbols[i] = get_byte();
    left -= total;
    build_huffman(t, table_class == 1);
  }
}

void jpeg_decoder::read_quant_tables() {
  int left = get_word();
  if (left < 2) fail(-203);
  left -= 2;
  while (left > 0) {
    int kind = get_byte();
    --left;
    int precision = kind >> 4, number = kind & 15;
    if (number > 3) fail(-204);
    int need = precision ? 128 : 64;
    if (precision > 1 || left < need) fail(-219);
    for (int k = 0; k < 64; ++k)
      quant_[number][jpeg_zigzag[k]] = static_cast<uint16_t>(precision ? get_word() : get_byte());
    left -= need;
    jpeg_scale_quant_table(quant_[number], quant_scaled_[number]);
    quant_defined_[number] = true;
  }
}

void jpeg_decoder::read_restart_interval() {
  if (get_word() != 4) fail(-211);
  restart_interval_ = get_word();
}

void jpeg_decoder::read_frame_header(bool progressive) {
  int length = get_word();
  if (get_byte() != 8) fail(-205);
  height_ = get_word();
  if (height_ == 0 || height_ > 8192) fail(-206);
  width_ = get_word();
  if (width_ == 0 || width_ > 8192) fail(-207);
  int count = get_byte();
  if (count > 4) fail(-208);
  if (length != 8 + 3 * count) fail(-209);
  for (int i = 0; i < count; ++i) {
    comps_[i].id = get_byte();
    int sampling = get_byte();
    comps_[i].h = sampling >> 4;
    comps_[i].v = sampling & 15;
    comps_[i].quant = get_byte();
  }
  comp_count_ = count;
  progressive_ = progressive;
  if (count != 1 && count != 3) fail(-225);
  if (count == 1) {
    // A lone component is always coded block by block, whatever its sampling factors say.
    comps_[0].h = comps_[0].v = 1;
  } else {
    bool luma_ok = comps_[0].h >= 1 && comps_[0].h <= 2 && comps_[0].v >= 1 && comps_[0].v <= 2;
    for (int i = 1; i < 3; ++i) luma_ok = luma_ok && comps_[i].h == 1 && comps_[i].v == 1;
    if (!luma_ok) fail(-226);
  }
  max_h_ = comps_[0].h;
  max_v_ = comps_[0].v;
}

void jpeg_decoder::read_scan_header() {
  int length = get_word();
  int count = get_byte();
  if (count < 1 || count > 4 || length != 6 + 2 * count) fail(-212);
  for (int i = 0; i < count; ++i) {
    int id = get_byte(), tables = get_byte();
    int found = -1;
    for (int c = 0; c < comp_count_ && found < 0; ++c)
      if (comps_[c].id == id) found = c;
    if (found < 0) fail(-213);
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
      fail(-230);
    if (approx_high_ != 0 && approx_high_ != approx_low_ + 1) fail(-231);
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
    if (c.quant > 3 || !quant_defined_[c.quant]) fail(-222);
    if (needs_dc && (c.dc_table > 3 || !dc_tables_[c.dc_table].defined)) fail(-223);
    if (needs_ac && (c.ac_table > 3 || !ac_tables_[c.ac_table].defined)) fail(-223);
  }
}

// ---- public operations ----

int jpeg_decoder::begin_decoding() {
  if (error_code_) return -1;
  if (begun_) return 0;
  try {
    lay_out_frame();
    if (read_markers(0) != marker_sos) fail(-216);
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
        if (past_end_) fail(-234);
        if (marker == marker_eoi) break;
        if (marker != marker_sos) fail(-216);
        read_scan_header();
      }
      // A component that no scan named still goes through the transform with its table.
      for (int i = 0; i < comp_count_; ++i)
        if (comps_[i].quant > 3) fail(-222);
    }
    begun_ = true;
    return 0;
  } catch (const fail_signal&) {
    return -1;
  }
}

const char* jpeg_error_text(int code) {
  switch (code) {
    case 0:
      return "no error";
    case -200:
      return "a Huffman table with more than 255 codes";
    case -201:
      return "a Huffman table class or number out of range";
    case -202:
      return "a Huffman table segment too short";
    case -203:
      return "a quantisation table segment shorter than 2 bytes";
    case -204:
      return "a quantisation table number above 3";
    case -205:
      return "samples of other than 8 bits";
    case -206:
      return "a height of 0 or above 8192";
    case -207:
      return "a width of 0 or above 8192";
    case -208:
      return "more than 4 components";
    case -209:
      return "a frame header of the wrong length";
    case -210:
      return "a segment shorter than its length field";
    case -211:
      return "a restart interval segment of the wrong length";
    case -212:
      return "a scan header of the wrong length or component count";
    case -213:
      return "a scan of a component the frame lacks";
    case -215:
      return "arithmetic coding, which is not supported";
    case -216:
      return "a marker where none belongs, or no scan where one is needed";
    case -217:
      return "not a JPEG file (no start-of-image marker)";
    case -218:
      return "a frame type that is not supported (lossless or hierarchical)";
    case -219:
      return "a quantisation table segment of inconsistent length";
    case -221:
      return "more than 100 memory blocks";
    case -222:
      return "a scan with an undefined quantisation table";
    case -223:
      return "a scan with an undefined Huffman table";
    case -225:
      return "a component count other than 1 or 3";
    case -226:
      return "sampling factors that are not supported";
    case -227:
      return "corrupt entropy-coded data";
    case -228:
      return "a restart marker missing or out of sequence";
    case -229:
      return "too many blocks in one row, or a block outside the picture";
    case -230:
      return "a progressive scan with invalid spectral selection";
    case -231:
      return "a progressive scan with invalid successive approximation";
    case -232:
      return "the file cannot be read";
    case -233:
      return "out of memory";
    case -234:
      return "truncated: the picture's data ends before the picture";
    case -235:
      return "a picture larger than its data can fill";
    default:
      return "unknown decoder error";
  }
}

int jpeg_decoder::decode_line(const uint8_t*& line, int& length) {
  if (!begun_ || error_code_) return -1;
  if (lines_out_ >= height_) return 1;
  try {
    line = next_line();
  } catch (const fail_signal&) {
    return -227;
  }
  length = width_ * bytes_per_pixel();
  ++lines_out_;
  return 0;
}
