// jpeg_decode [--idct=fast|accurate] IN.jpg OUT.ppm|OUT.pgm
//   Decodes IN.jpg and writes it as binary PPM (three components) or PGM (one component).
//   Exit status: 0 written, 1 decoder error ("IN.jpg: error_code=<n>: <what it means>" on stderr),
//   2 input cannot be opened, 3 usage or output error.
// jpeg_decode --bench N [--idct=fast|accurate] IN.jpg
//   Decodes the file N times (from memory) and prints decode_ms=<median>.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "assets/jpeg/jpeg_decoder.h"

namespace {

// Serves a file already read into memory, so benchmark runs measure decoding only.
class memory_stream : public jpeg_decoder_stream {
 public:
  explicit memory_stream(const std::vector<unsigned char>& data) : data_(data) {}
  int read(unsigned char* buffer, int max_bytes, bool& eof_flag) override {
    size_t n = std::min(static_cast<size_t>(max_bytes), data_.size() - pos_);
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    if (pos_ == data_.size()) eof_flag = true;
    return static_cast<int>(n);
  }

 private:
  const std::vector<unsigned char>& data_;
  size_t pos_ = 0;
};

int usage() {
  std::fprintf(stderr,
               "usage: jpeg_decode [--idct=fast|accurate] IN.jpg OUT.ppm|OUT.pgm\n"
               "       jpeg_decode --bench N [--idct=fast|accurate] IN.jpg\n");
  return 3;
}

// Decodes every line into out (width * bytes_per_pixel per line); returns the decoder's error.
jpeg_error decode_all(jpeg_decoder& d, std::vector<unsigned char>* out) {
  if (d.error() != jpeg_error::none || d.begin_decoding() != 0) return d.error();
  for (;;) {
    const uint8_t* line = nullptr;
    int length = 0;
    int r = d.decode_line(line, length);
    if (r == 1) break;
    if (r != 0) return d.error();
    if (!out) continue;
    if (d.bytes_per_pixel() == 1) {
      out->insert(out->end(), line, line + length);
    } else {
      for (int x = 0; x < d.width(); ++x) out->insert(out->end(), line + 4 * x, line + 4 * x + 3);
    }
  }
  return jpeg_error::none;
}

// Reports a decoder error on stderr as "IN.jpg: error_code=<n>: <what it means>".
void report_error(const char* in_name, jpeg_error error) {
  std::fprintf(stderr, "%s: error_code=%d: %s\n", in_name, static_cast<int>(error), jpeg_error_text(error));
}

int bench(int runs, bool simd, const char* in_name) {
  std::FILE* f = std::fopen(in_name, "rb");
  if (!f) {
    std::fprintf(stderr, "%s: cannot open: %s\n", in_name, std::strerror(errno));
    return 2;
  }
  std::vector<unsigned char> data;
  unsigned char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) data.insert(data.end(), chunk, chunk + n);
  std::fclose(f);
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    auto start = std::chrono::steady_clock::now();
    memory_stream stream(data);
    jpeg_decoder d(&stream, simd);
    jpeg_error error = decode_all(d, nullptr);
    auto end = std::chrono::steady_clock::now();
    if (error != jpeg_error::none) {
      report_error(in_name, error);
      return 1;
    }
    times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
  }
  std::sort(times.begin(), times.end());
  std::printf("decode_ms=%.3f\n", times[times.size() / 2]);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  bool simd = true;
  int bench_runs = 0;
  std::vector<const char*> files;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--idct=fast") == 0) {
      simd = true;
    } else if (std::strcmp(argv[i], "--idct=accurate") == 0) {
      simd = false;
    } else if (std::strcmp(argv[i], "--bench") == 0 && i + 1 < argc) {
      bench_runs = std::atoi(argv[++i]);
      if (bench_runs < 1) return usage();
    } else if (argv[i][0] == '-' && argv[i][1] == '-') {
      return usage();
    } else {
      files.push_back(argv[i]);
    }
  }
  if (bench_runs > 0) return files.size() == 1 ? bench(bench_runs, simd, files[0]) : usage();
  if (files.size() != 2) return usage();

  jpeg_decoder_file_stream stream;
  if (!stream.open(files[0])) {
    std::fprintf(stderr, "%s: cannot open: %s\n", files[0], std::strerror(errno));
    return 2;
  }
  std::vector<unsigned char> pixels;
  int channels = 0, width = 0, height = 0;
  {
    jpeg_decoder d(&stream, simd);
    jpeg_error error = decode_all(d, &pixels);
    if (error != jpeg_error::none) {
      report_error(files[0], error);
      return 1;
    }
    channels = d.component_count() == 1 ? 1 : 3;
    width = d.width();
    height = d.height();
  }
  std::FILE* out = std::fopen(files[1], "wb");
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", files[1]);
    return 3;
  }
  std::fprintf(out, "P%d\n%d %d\n255\n", channels == 1 ? 5 : 6, width, height);
  bool ok = std::fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
  ok = std::fclose(out) == 0 && ok;
  return ok ? 0 : 3;
}
