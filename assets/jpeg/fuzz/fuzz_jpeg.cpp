// libFuzzer target: decodes arbitrary bytes with both transforms. Pictures above a quarter of a
// megapixel are only parsed (headers and frame layout), so every input decodes in bounded time
// and memory; the size limits themselves are checked by the decoder.
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

constexpr long max_decoded_pixels = 1L << 18;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (bool simd : {true, false}) {
    bytes_stream stream(data, size);
    jpeg_decoder d(&stream, simd);
    if (d.error_code() != 0) return 0;
    if (long(d.width()) * d.height() > max_decoded_pixels) return 0;
    if (d.begin_decoding() != 0) continue;
    const uint8_t* line = nullptr;
    int length = 0;
    unsigned sum = 0;
    while (d.decode_line(line, length) == 0) {
      if (length != d.width() * d.bytes_per_pixel()) __builtin_trap();
      sum += line[0] + line[length - 1];  // the whole line must be readable
    }
    if (sum == 0xFFFFFFFFu) return 1;  // keeps the reads alive
  }
  return 0;
}
