// libFuzzer target: decodes arbitrary bytes with both transforms, up to the largest frames the
// decoder takes. Its memory and the work of its scans are bounded by the input (a scan pays at
// least a bit for every block it first reaches, and coefficient memory never outgrows the input
// read); only the lines of a frame whose scans left most of it empty could cost more, so lines
// are asked for while the frame has at most a megapixel plus 4096 pixels per input byte.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "assets/jpeg/jpeg_decoder.h"

namespace {

class bytes_stream : public jpeg_decoder_stream {
 public:
  bytes_stream(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  int read(unsigned char* buffer, int max_bytes, bool& eof_flag) override {
    // Small uneven chunks exercise the refills at every position.
    size_t n = size_ - pos_;
    if (n > static_cast<size_t>(max_bytes)) n = static_cast<size_t>(max_bytes);
    if (n > 777) n = 777;
    if (n) std::memcpy(buffer, data_ + pos_, n);
    pos_ += n;
    if (pos_ == size_) eof_flag = true;
    return static_cast<int>(n);
  }

 private:
  const uint8_t* data_;
  size_t size_, pos_ = 0;
};

constexpr long max_line_pixels = 1L << 20, line_pixels_per_byte = 4096;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (bool simd : {true, false}) {
    bytes_stream stream(data, size);
    jpeg_decoder d(&stream, simd);
    if (d.error_code() != 0) return 0;
    if (d.begin_decoding() != 0) continue;
    if (long(d.width()) * d.height() > max_line_pixels + line_pixels_per_byte * long(size)) continue;
    const uint8_t* line = nullptr;
    int length = 0;
    unsigned sum = 0;
    int lines = 0;
    while (d.decode_line(line, length) == 0) {
      if (length != d.width() * d.bytes_per_pixel()) __builtin_trap();
      sum += line[0] + line[length - 1];  // the whole line must be readable
      ++lines;
    }
    // Either every line came out or the decoder says why not.
    if ((lines == d.height()) == (d.error_code() != 0)) __builtin_trap();
    if (sum == 0xFFFFFFFFu) return 1;  // keeps the reads alive
  }
  return 0;
}
