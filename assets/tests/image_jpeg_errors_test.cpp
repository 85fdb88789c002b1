// Error codes, truncated and padded files, stream use and line delivery of the JPEG decoder.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "assets/tests/image_jpeg_support.h"

namespace {

using bytes = std::vector<uint8_t>;
using jpeg_test::decode;
using jpeg_test::memory_stream;

// Files made once for the whole program by cjpeg from a 48x40 plasma picture.
struct sample_files {
  bytes baseline, progressive, restart, grey, arithmetic, cmyk, odd;
};
sample_files* files = nullptr;

class jpeg_errors : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string dir = jpeg_test::scratch_dir();
    ASSERT_FALSE(dir.empty());
    std::string src = dir + "/src.ppm", odd = dir + "/odd.ppm";
    ASSERT_EQ(jpeg_test::run("convert -size 48x40 -seed 3 plasma:fractal -depth 8 ppm:" + src), 0);
    ASSERT_EQ(jpeg_test::run("convert -size 17x13 -seed 4 plasma:fractal -depth 8 ppm:" + odd), 0);
    auto make = [&](const std::string& cmd) {
      std::string out = dir + "/out.jpg";
      EXPECT_EQ(jpeg_test::run(cmd + " > " + out + " 2>/dev/null"), 0) << cmd;
      return jpeg_test::read_file(out);
    };
    files = new sample_files;
    files->baseline = make("cjpeg -sample 2x2 " + src);
    files->progressive = make("cjpeg -sample 2x2 -progressive " + src);
    files->restart = make("cjpeg -sample 2x2 -restart 1B " + src);
    files->grey = make("cjpeg -grayscale " + src);
    files->arithmetic = make("cjpeg -arithmetic " + src);
    files->odd = make("cjpeg -sample 2x2 " + odd);
    std::string cmyk = dir + "/cmyk.jpg";
    ASSERT_EQ(jpeg_test::run("convert " + src + " -colorspace CMYK " + cmyk), 0);
    files->cmyk = jpeg_test::read_file(cmyk);
    std::filesystem::remove_all(dir);
  }
  static void TearDownTestSuite() {
    delete files;
    files = nullptr;
  }
};

// Offset of the 0xFF of the n-th segment with the given marker code before the entropy data of
// the first scan (the scan header itself included); -1 when there is none.
long find_segment(const bytes& d, int code, int nth = 0) {
  size_t pos = 2;
  while (pos + 4 <= d.size() && d[pos] == 0xFF) {
    if (d[pos + 1] == code && nth-- == 0) return static_cast<long>(pos);
    if (d[pos + 1] == 0xDA) return -1;
    pos += 2 + (size_t(d[pos + 2]) << 8 | d[pos + 3]);
  }
  return -1;
}

// Offset of the n-th marker with the given code anywhere in the file.
long find_marker(const bytes& d, int code, int nth = 0) {
  for (size_t i = 0; i + 1 < d.size(); ++i)
    if (d[i] == 0xFF && d[i + 1] == code && nth-- == 0) return static_cast<long>(i);
  return -1;
}

bytes patched(bytes d, int code, int offset, std::initializer_list<uint8_t> values, int nth = 0) {
  long at = find_segment(d, code, nth);
  EXPECT_GE(at, 0) << "no segment " << code;
  if (at < 0) return d;
  size_t i = size_t(at) + size_t(offset);
  for (uint8_t v : values) d.at(i++) = v;
  return d;
}

bytes inserted_before(bytes d, int code, std::initializer_list<uint8_t> values) {
  long at = find_segment(d, code);
  EXPECT_GE(at, 0);
  d.insert(d.begin() + at, values);
  return d;
}

TEST_F(jpeg_errors, header_faults_report_their_codes) {
  const bytes& b = files->baseline;
  struct fault {
    const char* what;
    bytes data;
    int code;
    int stage;  // where it must be reported: 0 construction, 1 begin_decoding
  };
  // Segment layout: FF xx, length (2 bytes), contents. cjpeg writes the Huffman tables after the
  // frame header, so their faults surface in begin_decoding.
  const fault faults[] = {
      {"arithmetic coding", files->arithmetic, -215, 0},
      {"lossless frame", patched(b, 0xC0, 1, {0xC3}), -218, 0},
      {"hierarchical frame", patched(b, 0xC0, 1, {0xC5}), -218, 0},
      {"CMYK", files->cmyk, -225, 0},
      {"12-bit samples", patched(b, 0xC0, 4, {12}), -205, 0},
      {"height 0", patched(b, 0xC0, 5, {0, 0}), -206, 0},
      {"width above 8192", patched(b, 0xC0, 7, {0x20, 0x01}), -207, 0},
      {"five components", patched(b, 0xC0, 9, {5}), -208, 0},
      {"frame header length", patched(b, 0xC0, 3, {18}), -209, 0},
      {"chroma sampled 2x2", patched(b, 0xC0, 14, {0x22}), -226, 0},
      {"luma sampled 3x1", patched(b, 0xC0, 11, {0x31}), -226, 0},
      {"Huffman class 2", patched(b, 0xC4, 4, {0x20}), -201, 1},
      {"Huffman table 4", patched(b, 0xC4, 4, {0x04}), -201, 1},
      {"Huffman over 255 codes", patched(b, 0xC4, 5, {200, 100}), -200, 1},
      {"Huffman segment short", patched(b, 0xC4, 2, {0, 10}), -202, 1},
      {"quantisation length 1", patched(b, 0xDB, 2, {0, 1}), -203, 0},
      {"quantisation table 5", patched(b, 0xDB, 4, {0x05}), -204, 0},
      {"quantisation length inconsistent", patched(b, 0xDB, 2, {0, 66}), -219, 0},
      {"skipped segment length 1", patched(b, 0xE0, 2, {0, 1}), -210, 0},
      {"restart segment length 5", inserted_before(b, 0xC0, {0xFF, 0xDD, 0, 5, 0, 1, 0}), -211, 0},
      {"restart marker before the frame", inserted_before(b, 0xC0, {0xFF, 0xD0}), -216, 0},
      {"image ends before the frame", bytes{0xFF, 0xD8, 0xFF, 0xD9}, -216, 0},
      {"scan header length", patched(b, 0xDA, 3, {14}), -212, 1},
      {"scan of no components", patched(b, 0xDA, 4, {0}), -212, 1},
      {"scan names a missing component", patched(b, 0xDA, 5, {9}), -213, 1},
      {"undefined quantisation table", patched(b, 0xC0, 12, {3}), -222, 1},
      {"undefined Huffman tables", patched(b, 0xDA, 6, {0x33}), -223, 1},
      {"DC scan with AC band", patched(files->progressive, 0xDA, 5 + 2 * 3, {0, 5}), -230, 1},
      {"approximation high not low + 1", patched(files->progressive, 0xDA, 5 + 2 * 3 + 2, {0x20}), -231, 1},
  };
  for (const fault& f : faults) {
    jpeg_test::decode_result r = decode(f.data, true);
    EXPECT_EQ(r.error_code, f.code) << f.what;
    EXPECT_EQ(r.stage, f.stage) << f.what;
  }
}

TEST_F(jpeg_errors, start_of_image_is_searched_within_512_bytes) {
  bytes near(100, 0x00), far(600, 0x00);
  near.insert(near.end(), files->baseline.begin(), files->baseline.end());
  far.insert(far.end(), files->baseline.begin(), files->baseline.end());
  EXPECT_EQ(decode(near, true).stage, 3);
  EXPECT_EQ(decode(far, true).error_code, -217);
  EXPECT_EQ(decode(bytes{}, true).error_code, -217);
  bytes soi_not_followed_by_marker{0xFF, 0xD8, 0x00, 0xFF, 0xD9};
  EXPECT_EQ(decode(soi_not_followed_by_marker, true).error_code, -217);
}

TEST_F(jpeg_errors, entropy_and_restart_faults_stop_decode_line) {
  // Restart markers out of sequence: the second restart marker renumbered.
  bytes wrong_rst = files->restart;
  long rst1 = find_marker(wrong_rst, 0xD1);
  ASSERT_GT(rst1, 0);
  wrong_rst[size_t(rst1) + 1] = 0xD3;

  // Entropy data replaced by stuffed 0xFF bytes: all-ones codes, which no table defines.
  bytes garbage = files->baseline;
  long sos = find_segment(garbage, 0xDA);
  size_t data_start = size_t(sos) + 2 + (size_t(garbage[size_t(sos) + 2]) << 8 | garbage[size_t(sos) + 3]);
  garbage.resize(data_start);
  for (int i = 0; i < 400; ++i) garbage.insert(garbage.end(), {0xFF, 0x00});
  garbage.insert(garbage.end(), {0xFF, 0xD9});

  struct fault {
    const char* what;
    const bytes& data;
    int code;
  };
  const fault faults[] = {{"restart out of sequence", wrong_rst, -228}, {"undecodable codes", garbage, -227}};
  for (const fault& f : faults) {
    memory_stream stream(f.data);
    jpeg_decoder d(&stream, true);
    ASSERT_EQ(d.begin_decoding(), 0) << f.what;
    const uint8_t* line = nullptr;
    int length = 0, r = 0, lines = 0;
    while ((r = d.decode_line(line, length)) == 0) ++lines;
    EXPECT_EQ(r, -227) << f.what;
    EXPECT_LT(lines, d.height()) << f.what;
    EXPECT_EQ(d.error_code(), f.code) << f.what;
    EXPECT_EQ(stream.detaches, 1) << f.what;
    // Dead from now on: every call fails and the first code sticks.
    EXPECT_EQ(d.decode_line(line, length), -1) << f.what;
    EXPECT_EQ(d.decode_line(line, length), -1) << f.what;
    EXPECT_EQ(d.begin_decoding(), -1) << f.what;
    EXPECT_EQ(d.error_code(), f.code) << f.what;
  }
}

TEST_F(jpeg_errors, restart_marker_is_searched_within_1536_bytes) {
  jpeg_test::decode_result plain = decode(files->restart, true);
  ASSERT_EQ(plain.stage, 3);
  for (int junk : {1000, 2000}) {
    bytes padded = files->restart;
    long rst = find_marker(padded, 0xD2);
    ASSERT_GT(rst, 0);
    padded.insert(padded.begin() + rst, size_t(junk), uint8_t{0});
    jpeg_test::decode_result r = decode(padded, true);
    if (junk < 1536) {
      EXPECT_EQ(r.stage, 3);
      EXPECT_EQ(r.image.pixels, plain.image.pixels);  // the padding after an interval is skipped
    } else {
      EXPECT_EQ(r.error_code, -228);
      EXPECT_EQ(r.stage, 2);
    }
  }
}

TEST_F(jpeg_errors, image_ending_before_its_scan_fails_begin_decoding) {
  bytes d = files->baseline;
  d.resize(size_t(find_segment(d, 0xDA)));
  d.insert(d.end(), {0xFF, 0xD9});
  jpeg_test::decode_result r = decode(d, true);
  EXPECT_EQ(r.error_code, -216);
  EXPECT_EQ(r.stage, 1);
}

TEST_F(jpeg_errors, read_failure_is_reported_and_stream_detached_once) {
  memory_stream stream(files->baseline);
  stream.fail_reads = true;
  {
    jpeg_decoder d(&stream, true);
    EXPECT_EQ(d.error_code(), -232);
    EXPECT_EQ(d.begin_decoding(), -1);
    const uint8_t* line = nullptr;
    int length = 0;
    EXPECT_EQ(d.decode_line(line, length), -1);
  }
  EXPECT_EQ(stream.attaches, 1);
  EXPECT_EQ(stream.detaches, 1);
}

TEST_F(jpeg_errors, truncated_files_fail_without_hanging) {
  for (const bytes* f : {&files->baseline, &files->progressive, &files->restart, &files->grey}) {
    for (size_t cut = 0; cut + 2 < f->size(); cut += f->size() / 23 + 1) {
      bytes part(f->begin(), f->begin() + static_cast<long>(cut));
      jpeg_test::decode_result r = decode(part, true);
      // Too short to hold a start-of-image marker, or cut anywhere after it.
      EXPECT_EQ(r.error_code, cut < 2 ? -217 : -234) << "cut at " << cut;
      EXPECT_LT(r.stage, 3) << "cut at " << cut;
    }
  }
  // Cut inside the entropy data of a sequential file: the lines before the cut come out, then
  // decode_line fails; nothing is made up for the rest.
  const bytes& b = files->baseline;
  const long sos = find_segment(b, 0xDA);
  ASSERT_GT(sos, 0);
  const size_t data_start = size_t(sos) + 2 + (size_t(b[size_t(sos) + 2]) << 8 | b[size_t(sos) + 3]);
  bytes half(b.begin(), b.begin() + static_cast<long>(data_start + (b.size() - data_start) * 3 / 4));
  memory_stream stream(half);
  jpeg_decoder d(&stream, true);
  ASSERT_EQ(d.begin_decoding(), 0);
  const uint8_t* line = nullptr;
  int length = 0, r = 0, lines = 0;
  while ((r = d.decode_line(line, length)) == 0) ++lines;
  EXPECT_EQ(r, -227);
  EXPECT_EQ(d.error_code(), -234);
  EXPECT_GT(lines, 0);
  EXPECT_LT(lines, d.height());
  EXPECT_STREQ(jpeg_error_text(d.error()), "truncated: the picture's data ends before the picture");
}

TEST_F(jpeg_errors, a_scan_shorter_than_its_frame_fails_at_the_marker_that_ends_it) {
  // The frame header claims 8192 lines; the scan's data, ended by the file's end-of-image
  // marker, holds 40.
  for (const bytes* f : {&files->baseline, &files->progressive}) {
    jpeg_test::decode_result r =
        decode(patched(*f, f == &files->baseline ? 0xC0 : 0xC2, 5, {0x20, 0x00}), true);
    EXPECT_EQ(r.error_code, -234);
    EXPECT_EQ(r.stage, f == &files->baseline ? 2 : 1);
  }
  // Damage before a restart marker costs only its interval, as before.
  bytes damaged = files->restart;
  long rst = find_marker(damaged, 0xD3);
  ASSERT_GT(rst, 8);
  damaged.erase(damaged.begin() + rst - 6, damaged.begin() + rst);
  EXPECT_EQ(decode(damaged, true).stage, 3);
}

TEST_F(jpeg_errors, a_missing_end_marker_is_a_cut_only_where_scans_may_follow) {
  // A sequential file has all its data without the end-of-image marker.
  for (const bytes* f : {&files->baseline, &files->restart, &files->grey}) {
    bytes whole = *f, cut(f->begin(), f->end() - 2);
    jpeg_test::decode_result a = decode(whole, true), b = decode(cut, true);
    ASSERT_EQ(b.stage, 3);
    EXPECT_EQ(b.image.pixels, a.image.pixels);
  }
  // A progressive one may lack further scans: without the marker it is cut, and so it is where
  // the file stops before its last scan. With the marker put back there, it decodes.
  bytes no_end(files->progressive.begin(), files->progressive.end() - 2);
  EXPECT_EQ(decode(no_end, true).error_code, -234);
  long last_scan = -1;
  for (int n = 0; find_marker(files->progressive, 0xDA, n) >= 0; ++n)
    last_scan = find_marker(files->progressive, 0xDA, n);
  ASSERT_GT(last_scan, 0);
  bytes fewer_scans(files->progressive.begin(), files->progressive.begin() + last_scan);
  jpeg_test::decode_result cut = decode(fewer_scans, true);
  EXPECT_EQ(cut.error_code, -234);
  EXPECT_EQ(cut.stage, 1);
  fewer_scans.insert(fewer_scans.end(), {0xFF, 0xD9});
  EXPECT_EQ(decode(fewer_scans, true).stage, 3);
}

TEST_F(jpeg_errors, trailing_bytes_after_the_image_are_ignored) {
  for (const bytes* f : {&files->baseline, &files->progressive}) {
    bytes padded = *f;
    for (int i = 0; i < 3000; ++i) padded.push_back(static_cast<uint8_t>(i * 7));
    jpeg_test::decode_result plain = decode(*f, true), junk = decode(padded, true);
    ASSERT_EQ(plain.stage, 3);
    ASSERT_EQ(junk.stage, 3);
    EXPECT_EQ(plain.image.pixels, junk.image.pixels);
  }
}

TEST_F(jpeg_errors, odd_width_h2v2_lines_hold_exactly_width_pixels) {
  memory_stream stream(files->odd);
  jpeg_decoder d(&stream, true);
  ASSERT_EQ(d.width(), 17);
  ASSERT_EQ(d.height(), 13);
  const uint8_t* line = nullptr;
  int length = 0;
  EXPECT_EQ(d.decode_line(line, length), -1);  // not begun yet
  ASSERT_EQ(d.begin_decoding(), 0);
  EXPECT_EQ(d.begin_decoding(), 0);
  for (int y = 0; y < 13; ++y) {
    ASSERT_EQ(d.decode_line(line, length), 0);
    EXPECT_EQ(length, 17 * 4);
    for (int x = 0; x < 17; ++x) EXPECT_EQ(line[4 * x + 3], 0) << "fourth byte of pixel " << x;
  }
  EXPECT_EQ(d.decode_line(line, length), 1);
  EXPECT_EQ(d.decode_line(line, length), 1);
  EXPECT_EQ(stream.detaches, 0);
}

TEST_F(jpeg_errors, progressive_scans_are_all_decoded_in_begin_decoding) {
  jpeg_test::decode_result whole = decode(files->progressive, true);
  ASSERT_EQ(whole.stage, 3);
  memory_stream stream(files->progressive);
  jpeg_decoder d(&stream, true);
  ASSERT_EQ(d.begin_decoding(), 0);
  stream.fail_reads = true;  // any further read would be an error
  int reads = stream.reads;
  std::vector<uint8_t> pixels;
  const uint8_t* line = nullptr;
  int length = 0;
  while (d.decode_line(line, length) == 0)
    for (int x = 0; x < d.width(); ++x) pixels.insert(pixels.end(), line + 4 * x, line + 4 * x + 3);
  EXPECT_EQ(d.error_code(), 0);
  EXPECT_EQ(stream.reads, reads);
  EXPECT_EQ(pixels, whole.image.pixels);
}

TEST_F(jpeg_errors, grey_pictures_give_one_byte_per_pixel) {
  memory_stream stream(files->grey);
  jpeg_decoder d(&stream, false);
  ASSERT_EQ(d.begin_decoding(), 0);
  EXPECT_EQ(d.component_count(), 1);
  const uint8_t* line = nullptr;
  int length = 0;
  ASSERT_EQ(d.decode_line(line, length), 0);
  EXPECT_EQ(length, 48);
}

TEST(jpeg_error_codes, keep_their_numbers_and_texts) {
  // The numbers are reported by error_code() and the texts printed by the tools and the image
  // loaders: neither may drift.
  struct entry {
    jpeg_error error;
    int number;
    const char* text;
  };
  const entry entries[] = {
      {jpeg_error::none, 0, "no error"},
      {jpeg_error::huffman_too_many_codes, -200, "a Huffman table with more than 255 codes"},
      {jpeg_error::huffman_table_id, -201, "a Huffman table class or number out of range"},
      {jpeg_error::huffman_segment_short, -202, "a Huffman table segment too short"},
      {jpeg_error::quant_segment_short, -203, "a quantisation table segment shorter than 2 bytes"},
      {jpeg_error::quant_table_number, -204, "a quantisation table number above 3"},
      {jpeg_error::sample_precision, -205, "samples of other than 8 bits"},
      {jpeg_error::bad_height, -206, "a height of 0 or above 8192"},
      {jpeg_error::bad_width, -207, "a width of 0 or above 8192"},
      {jpeg_error::too_many_components, -208, "more than 4 components"},
      {jpeg_error::frame_header_length, -209, "a frame header of the wrong length"},
      {jpeg_error::segment_length, -210, "a segment shorter than its length field"},
      {jpeg_error::restart_interval_length, -211, "a restart interval segment of the wrong length"},
      {jpeg_error::scan_header_length, -212, "a scan header of the wrong length or component count"},
      {jpeg_error::scan_component_missing, -213, "a scan of a component the frame lacks"},
      {jpeg_error::arithmetic_coding, -215, "arithmetic coding, which is not supported"},
      {jpeg_error::unexpected_marker, -216, "a marker where none belongs, or no scan where one is needed"},
      {jpeg_error::no_start_of_image, -217, "not a JPEG file (no start-of-image marker)"},
      {jpeg_error::unsupported_frame, -218, "a frame type that is not supported (lossless or hierarchical)"},
      {jpeg_error::quant_segment_length, -219, "a quantisation table segment of inconsistent length"},
      {jpeg_error::too_many_memory_blocks, -221, "more than 100 memory blocks"},
      {jpeg_error::undefined_quant_table, -222, "a scan with an undefined quantisation table"},
      {jpeg_error::undefined_huffman_table, -223, "a scan with an undefined Huffman table"},
      {jpeg_error::component_count, -225, "a component count other than 1 or 3"},
      {jpeg_error::sampling_factors, -226, "sampling factors that are not supported"},
      {jpeg_error::corrupt_data, -227, "corrupt entropy-coded data"},
      {jpeg_error::restart_marker, -228, "a restart marker missing or out of sequence"},
      {jpeg_error::too_many_blocks, -229, "too many blocks in one row, or a block outside the picture"},
      {jpeg_error::spectral_selection, -230, "a progressive scan with invalid spectral selection"},
      {jpeg_error::successive_approximation, -231,
       "a progressive scan with invalid successive approximation"},
      {jpeg_error::read_failure, -232, "the file cannot be read"},
      {jpeg_error::out_of_memory, -233, "out of memory"},
      {jpeg_error::truncated, -234, "truncated: the picture's data ends before the picture"},
      {jpeg_error::picture_larger_than_data, -235, "a picture larger than its data can fill"},
  };
  for (const entry& e : entries) {
    EXPECT_EQ(static_cast<int>(e.error), e.number) << e.text;
    EXPECT_STREQ(jpeg_error_text(e.error), e.text) << e.number;
  }
  // Numbers the decoder never reports have no text of their own.
  for (int unused : {1, -1, -214, -220, -224, -236})
    EXPECT_STREQ(jpeg_error_text(static_cast<jpeg_error>(unused)), "unknown decoder error") << unused;
  // decode_line's failure result is the corrupt-data number, whatever error was recorded.
  EXPECT_EQ(jpeg_decoder::line_failed, -227);
}

TEST(jpeg_file_stream, read_reports_end_of_file_and_missing_files) {
  jpeg_decoder_file_stream s;
  unsigned char buf[64];
  bool eof = false;
  EXPECT_EQ(s.read(buf, 64, eof), -1);  // nothing open
  EXPECT_FALSE(s.open("no/such/file.jpg"));
  std::string dir = jpeg_test::scratch_dir();
  jpeg_test::write_file(dir + "/ten.bin", bytes{0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
  ASSERT_TRUE(s.open((dir + "/ten.bin").c_str()));
  EXPECT_EQ(s.read(buf, 4, eof), 4);
  EXPECT_FALSE(eof);
  EXPECT_EQ(s.read(buf, 64, eof), 6);
  EXPECT_TRUE(eof);
  EXPECT_EQ(buf[5], 9);
  eof = false;
  EXPECT_EQ(s.read(buf, 64, eof), 0);
  EXPECT_TRUE(eof);
  // Reopening starts afresh.
  ASSERT_TRUE(s.open((dir + "/ten.bin").c_str()));
  eof = false;
  EXPECT_EQ(s.read(buf, 10, eof), 10);
  s.close();
  EXPECT_EQ(s.read(buf, 10, eof), -1);
  std::filesystem::remove_all(dir);
}

}  // namespace
