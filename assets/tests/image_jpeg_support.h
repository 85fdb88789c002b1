#pragma once
// Helpers shared by the JPEG decoder tests: running the reference tools, reading PNM files and
// decoding with our decoder into a whole picture.
#include <cstdint>
#include <string>
#include <vector>

#include "assets/jpeg/jpeg_decoder.h"

namespace jpeg_test {

struct picture {
  int width = 0, height = 0, channels = 0;  // channels: 1 (grey) or 3 (RGB)
  std::vector<uint8_t> pixels;              // rows top first, tightly packed
};

// A fresh directory for one test program's files (removed by the caller if wanted).
std::string scratch_dir();
// Runs a shell command; returns its exit status.
int run(const std::string& command);
std::vector<uint8_t> read_file(const std::string& path);
void write_file(const std::string& path, const std::vector<uint8_t>& data);
// Reads a binary P5/P6 file; an empty picture when it cannot be read.
picture read_pnm(const std::string& path);

// Serves bytes from memory; records how the decoder used it.
class memory_stream : public jpeg_decoder_stream {
 public:
  explicit memory_stream(std::vector<uint8_t> data) : data_(std::move(data)) {}
  int read(unsigned char* buffer, int max_bytes, bool& eof_flag) override;
  void on_attach() override { ++attaches; }
  void on_detach() override { ++detaches; }

  int reads = 0, attaches = 0, detaches = 0;
  bool fail_reads = false;  // when set, every read reports failure

 private:
  std::vector<uint8_t> data_;
  size_t pos_ = 0;
};

struct decode_result {
  int error_code = 0;
  int stage = 0;  // 0 construction, 1 begin_decoding, 2 decode_line, 3 done
  picture image;
};
// Decodes everything; RGB output drops the fourth byte of every pixel.
decode_result decode(const std::vector<uint8_t>& jpeg, bool use_simd);

}  // namespace jpeg_test
