#pragma once
// Baseline, extended-sequential and progressive Huffman JPEG decoder for 8-bit pictures with one
// (grey) or three (YCbCr or RGB) components. Construction reads the headers up to the frame
// header; begin_decoding lays out the picture (and decodes every scan of a progressive file);
// decode_line then hands out the picture top line first. The first error sticks: it releases
// every buffer, detaches the stream, and every later call fails.
// A picture whose data ends before it does fails as truncated: the file cut short, no
// end-of-image marker after a multi-scan picture, or a scan's data ending at a marker (other than
// a restart marker) before its blocks do. Coefficient memory grows only as the scans reach their
// blocks, never beyond what the data read so far can fill (picture_larger_than_data). Three
// components are YCbCr, or RGB where an Adobe marker declares no transform (or, without JFIF and
// Adobe markers, where the components are named 'R', 'G', 'B').
//
// The member functions live in layers, each calling only the ones below it:
//   jpeg_decoder.cpp  construction, marker segments, the public operations
//   jpeg_entropy.cpp  Huffman tables, the bit reader, restarts, scans into coefficients
//   jpeg_output.cpp   frame layout, inverse transforms into sample planes, lines
//   jpeg_core.cpp     the first-error rule, the memory-block table, byte input
#include <cstddef>
#include <cstdint>

#include "assets/jpeg/jpeg_color.h"
#include "assets/jpeg/jpeg_decoder_stream.h"
#include "assets/jpeg/jpeg_error.h"

class jpeg_decoder {
 public:
  jpeg_decoder(jpeg_decoder_stream* stream, bool use_simd);
  ~jpeg_decoder();
  jpeg_decoder(const jpeg_decoder&) = delete;
  jpeg_decoder& operator=(const jpeg_decoder&) = delete;

  // 0 on success (also when called again after success), -1 on any error.
  int begin_decoding();
  // 0: a line of width() pixels was delivered (valid until the next call); 1: every line has
  // been delivered; -1: not begun or an earlier error; line_failed: an error occurred now (its
  // code is in error_code()).
  int decode_line(const uint8_t*& line, int& length);
  // decode_line's result when it fails now, whichever error it met: the corrupt-data number.
  static constexpr int line_failed = static_cast<int>(jpeg_error::corrupt_data);

  int width() const { return width_; }
  int height() const { return height_; }
  // The first error as its number (0 when none), and as the code itself.
  int error_code() const { return static_cast<int>(error_); }
  jpeg_error error() const { return error_; }
  int component_count() const { return comp_count_; }
  int bytes_per_pixel() const { return comp_count_ == 1 ? 1 : 4; }
  bool progressive() const { return progressive_; }
  // Whether three components are stored as RGB rather than YCbCr (known after begin_decoding).
  bool rgb() const { return rgb_; }

  static constexpr int max_dimension = 8192;  // largest width and height taken
  static constexpr int max_blocks_per_mcu_row = 6144;
  static constexpr int max_memory_blocks = 100;
  // Every block a scan first reaches costs it at least one bit, so the input read so far bounds
  // the coefficient memory a picture can need: 128 bytes per block, eight blocks per byte, twice
  // that while a buffer grows, and a fixed allowance.
  static constexpr size_t coefficient_bytes_per_input_byte = 2048;
  static constexpr size_t coefficient_allowance = size_t(1) << 20;

 private:
  static constexpr int fast_bits = 11;  // Huffman codes up to this length are looked up at once

  struct huffman_table {
    bool defined = false;
    uint8_t counts[17];  // codes of each length 1..16
    uint8_t symbols[256];
    // Codes of up to fast_bits bits: (length << 8) | symbol, 0 for longer codes.
    uint16_t fast[1 << fast_bits];
    // AC tables: run/size symbol and the coefficient's extra bits resolved at once where they
    // fit in fast_bits: value * 256 + (run << 4) + total length; 0 when not resolvable.
    int32_t ac_fast[1 << fast_bits];
    int32_t max_code[18];  // largest code of each length, -1 when none; [17] is a sentinel
    int32_t val_offset[18];
  };
  struct component {
    int id = 0, h = 1, v = 1, quant = 0;
    int dc_table = 0, ac_table = 0;
    int dc_pred = 0;
    int blocks_x = 0, blocks_y = 0;  // blocks of the MCU-padded picture
    int16_t* coefs = nullptr;        // coefficient buffer (multi-scan pictures), coef_rows block rows
    int coef_rows = 0;
    uint8_t* plane = nullptr;  // samples of the current MCU row
    int plane_stride = 0;
  };
  struct fail_signal {};

  static constexpr int restart_search_limit = 1536;

  // ---- jpeg_core.cpp: calls nothing else of the decoder ----
  // Records the error (the first one sticks), releases everything, detaches the stream and
  // unwinds to the public operation in progress.
  [[noreturn]] void fail(jpeg_error error);
  void* allocate(size_t bytes);  // zero-filled, recorded in the block table
  // Grows a block of the table from old_bytes to bytes, the new bytes zero-filled.
  void* reallocate(void* block, size_t old_bytes, size_t bytes);
  void release_all();
  void refill();
  uint8_t get_byte();
  int get_word();
  void skip_bytes(int count);

  // ---- jpeg_output.cpp: calls the core ----
  void lay_out_frame();
  void idct_block(const component& c, const int16_t* block, bool dc_only, uint8_t* out, int stride);
  void transform_mcu_row_from_buffers();
  // The next line from the sample planes of the current MCU row, which must be ready.
  const uint8_t* line_from_planes();
  void advance_row();

  // ---- jpeg_entropy.cpp: calls the output and the core ----
  void build_huffman(huffman_table& t, bool ac);
  void reset_bits();
  void fill_bits();
  int get_bits(int n);
  int get_bit();
  int decode_symbol(const huffman_table& t);
  int decode_symbol_slow(const huffman_table& t);
  void start_scan_state();
  void process_restart();
  void restart_check();
  int end_of_scan_marker();
  bool decode_block_sequential(component& c, int16_t* block);  // true when an AC term is set
  void decode_block_progressive(component& c, int16_t* block);
  // Fails when the entropy-coded data has run into the end of the file: bits past it were used.
  void check_data_left();
  int16_t* coefficient_block(component& c, int bx, int by);  // grows the buffer to reach it
  void decode_buffered_scan();
  void decode_mcu_row_sequential();

  // ---- jpeg_decoder.cpp: calls all of the above ----
  void find_start_of_image();
  int next_marker();
  // Reads table segments and skips others, starting with marker (0: read the next one), until
  // a frame header, scan header or end of image, whose code is returned.
  int read_markers(int marker);
  void read_huffman_tables();
  void read_quant_tables();
  void read_restart_interval();
  void read_frame_header(bool progressive);
  void skip_segment();
  void read_app_segment(int marker);  // APP0 (JFIF) and APP14 (Adobe): colour space hints
  void read_scan_header();
  // Decodes or transforms the next MCU row when its first line is due, then hands out a line.
  const uint8_t* next_line();

  jpeg_decoder_stream* stream_;
  bool use_simd_;
  jpeg_error error_ = jpeg_error::none;
  bool begun_ = false;
  bool progressive_ = false;
  bool buffered_ = false;  // lines come from coefficient buffers (progressive or multi-scan)

  // Input buffer, refilled from the stream; past the end of the data the bytes FF D9 repeat.
  uint8_t in_buf_[4096];
  int in_pos_ = 0, in_end_ = 0;
  bool in_eof_ = false;
  bool past_end_ = false;   // the buffer holds the substitute bytes: the file's end was reached
  size_t input_bytes_ = 0;  // bytes the stream delivered
  size_t coefficient_bytes_ = 0;

  // Tables.
  uint16_t quant_[4][64];  // natural order
  int16_t quant_scaled_[4][64];
  bool quant_defined_[4] = {};
  huffman_table dc_tables_[4];
  huffman_table ac_tables_[4];
  int restart_interval_ = 0;
  bool jfif_ = false;         // an APP0 JFIF marker was seen
  int adobe_transform_ = -1;  // the transform of an APP14 Adobe marker, -1 when none
  bool rgb_ = false;

  // Frame.
  int width_ = 0, height_ = 0, comp_count_ = 0;
  component comps_[4];
  int max_h_ = 1, max_v_ = 1;
  int mcu_w_ = 8, mcu_h_ = 8, mcus_x_ = 0, mcus_y_ = 0;

  // Current scan.
  int scan_count_ = 0;
  int scan_comp_[4] = {};
  int spectral_start_ = 0, spectral_end_ = 63, approx_high_ = 0, approx_low_ = 0;
  int eob_run_ = 0;
  int next_restart_ = 0;
  int restarts_left_ = 0;

  // Bit reader: bits are left-aligned in bit_buf_.
  uint64_t bit_buf_ = 0;
  int bit_count_ = 0;
  int pending_marker_ = 0;  // marker code met inside entropy-coded data, 0 when none
  int padding_bits_ = 0;    // zero bits in bit_buf_ that stand in for data after that marker

  // Output state.
  int16_t* mcu_blocks_ = nullptr;  // scratch coefficients of one MCU (sequential)
  uint8_t* line_buf_[2] = {};
  int mcu_row_ = 0;     // MCU rows produced so far
  int lines_out_ = 0;   // lines delivered so far
  int row_in_mcu_ = 0;  // next line inside the current MCU row
  bool second_line_ready_ = false;

  jpeg_color_tables colors_;

  void* blocks_[max_memory_blocks] = {};
  int block_count_ = 0;
};
