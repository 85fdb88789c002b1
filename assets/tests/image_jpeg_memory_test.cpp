// Headers that claim more picture than the file's data holds: the decoder's memory follows the
// data that has arrived, not the claimed size, and the picture fails instead of coming out made
// up of zeros.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <vector>

#include "assets/tests/image_jpeg_support.h"

namespace {

using bytes = std::vector<uint8_t>;

void segment(bytes& out, uint8_t marker, const bytes& body) {
  const size_t length = body.size() + 2;
  out.insert(out.end(), {0xFF, marker, uint8_t(length >> 8), uint8_t(length)});
  out.insert(out.end(), body.begin(), body.end());
}

// Start of image, one quantisation table and a progressive frame header of the given size with
// `components` components sampled 1x1.
bytes progressive_head(int width, int height, int components) {
  bytes out = {0xFF, 0xD8};
  bytes quant(65, 1);
  quant[0] = 0;
  segment(out, 0xDB, quant);
  bytes frame = {
      8, uint8_t(height >> 8), uint8_t(height), uint8_t(width >> 8), uint8_t(width), uint8_t(components)};
  for (int c = 0; c < components; ++c)
    for (uint8_t b : {uint8_t(c + 1), uint8_t(0x11), uint8_t(0)}) frame.push_back(b);
  segment(out, 0xC2, frame);
  return out;
}

// Entropy-coded bytes from a bit string, with the 0x00 after every 0xFF and the last byte padded
// with ones.
bytes stuffed(const std::vector<bool>& bits) {
  bytes out;
  for (size_t i = 0; i < bits.size(); i += 8) {
    uint8_t b = 0;
    for (size_t k = 0; k < 8; ++k) b = uint8_t(b << 1 | (i + k < bits.size() ? bits[i + k] : 1));
    out.push_back(b);
    if (b == 0xFF) out.push_back(0);
  }
  return out;
}

// 8192 x 8192 in three components, whose first scan (DC of all three) holds `data` bytes of codes
// of the usual luminance DC table, and then the file ends.
bytes cut_dc_scan(size_t data) {
  bytes out = progressive_head(8192, 8192, 3);
  bytes dc = {0x00, 0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};
  for (int s = 0; s < 12; ++s) dc.push_back(uint8_t(s));
  segment(out, 0xC4, dc);
  segment(out, 0xDA, {3, 1, 0x00, 2, 0x00, 3, 0x00, 0, 0, 0});
  std::mt19937 rng(5);
  // Bytes below 0x80 hold no run of more than seven ones: every code is defined.
  for (size_t i = 0; i < data; ++i) out.push_back(uint8_t(rng() % 0x80));
  return out;
}

// 8192 x 8192 grey, with nothing but one AC scan whose end-of-band runs cover every block in a
// few dozen bytes, and a proper end.
bytes ac_runs_only() {
  bytes out = progressive_head(8192, 8192, 1);
  segment(out, 0xC4, {0x10, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xE0});  // '0': a run of 2^14 +
  segment(out, 0xDA, {1, 1, 0x00, 1, 63, 0});
  std::vector<bool> bits;
  for (int run = 0; run < 33; ++run) {
    bits.push_back(false);
    for (int k = 0; k < 14; ++k) bits.push_back(true);  // 32767 blocks per run
  }
  bytes data = stuffed(bits);
  out.insert(out.end(), data.begin(), data.end());
  out.insert(out.end(), {0xFF, 0xD9});
  return out;
}

TEST(jpeg_memory, a_cut_scan_fails_as_truncated) {
  const bytes file = cut_dc_scan(34 << 10);
  ASSERT_LT(file.size(), size_t(35) << 10);
  jpeg_test::decode_result r = jpeg_test::decode(file, true);
  EXPECT_EQ(r.error_code, -234);
  EXPECT_EQ(r.stage, 1);
}

TEST(jpeg_memory, runs_over_blocks_no_data_filled_exceed_the_allowance) {
  const bytes file = ac_runs_only();
  ASSERT_LT(file.size(), size_t(256));
  jpeg_test::decode_result r = jpeg_test::decode(file, true);
  EXPECT_EQ(r.error_code, -235);
  EXPECT_EQ(r.stage, 1);
  EXPECT_STREQ(jpeg_error_text(static_cast<jpeg_error>(r.error_code)),
               "a picture larger than its data can fill");
}

// The error code of decoding `file` in a child process whose address space may grow by `room`
// bytes only; -1000 when the child did not end normally.
int error_under_limit(const bytes& file, size_t room) {
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  unsigned long pages = 0;
  if (!statm || std::fscanf(statm, "%lu", &pages) != 1) return -1000;
  std::fclose(statm);
  const pid_t child = fork();
  if (child == 0) {
    const rlim_t limit = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + room;
    const rlimit cap = {limit, limit};
    if (setrlimit(RLIMIT_AS, &cap) != 0) _exit(99);
    _exit(-jpeg_test::decode(file, true).error_code - 200);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? -200 - WEXITSTATUS(status) : -1000;
}

TEST(jpeg_memory, the_claimed_size_is_never_allocated_ahead_of_the_data) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit allows";
#endif
  // The whole picture's coefficients would take 384 MB; the data that arrived fills a few.
  EXPECT_EQ(error_under_limit(cut_dc_scan(34 << 10), size_t(96) << 20), -234);
  EXPECT_EQ(error_under_limit(ac_runs_only(), size_t(96) << 20), -235);
}

}  // namespace
