// Helpers of the JPEG decoder tests: reference tools, PNM files and whole-picture decoding.
#include "assets/tests/image_jpeg_support.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace jpeg_test {

std::string scratch_dir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vt_jpeg_XXXXXX").string();
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) return {};
  return buf.data();
}

int run(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void write_file(const std::string& path, const std::vector<uint8_t>& data) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

picture read_pnm(const std::string& path) {
  std::vector<uint8_t> d = read_file(path);
  picture p;
  size_t pos = 0;
  auto token = [&]() {
    while (pos < d.size() && std::isspace(d[pos])) ++pos;
    size_t start = pos;
    while (pos < d.size() && !std::isspace(d[pos])) ++pos;
    return std::string(d.begin() + static_cast<long>(start), d.begin() + static_cast<long>(pos));
  };
  std::string magic = token();
  if (magic != "P5" && magic != "P6") return {};
  p.width = std::atoi(token().c_str());
  p.height = std::atoi(token().c_str());
  token();  // maximum value
  ++pos;    // single whitespace before the samples
  p.channels = magic == "P5" ? 1 : 3;
  size_t bytes = size_t(p.width) * p.height * p.channels;
  if (pos + bytes > d.size()) return {};
  p.pixels.assign(d.begin() + static_cast<long>(pos), d.begin() + static_cast<long>(pos + bytes));
  return p;
}

int memory_stream::read(unsigned char* buffer, int max_bytes, bool& eof_flag) {
  ++reads;
  if (fail_reads) return -1;
  size_t n = std::min(static_cast<size_t>(max_bytes), data_.size() - pos_);
  if (n) std::memcpy(buffer, data_.data() + pos_, n);
  pos_ += n;
  if (pos_ == data_.size()) eof_flag = true;
  return static_cast<int>(n);
}

decode_result decode(const std::vector<uint8_t>& jpeg, bool use_simd) {
  decode_result r;
  memory_stream stream(jpeg);
  jpeg_decoder d(&stream, use_simd);
  if ((r.error_code = d.error_code()) != 0) return r;
  r.stage = 1;
  if (d.begin_decoding() != 0) {
    r.error_code = d.error_code();
    return r;
  }
  r.stage = 2;
  picture& p = r.image;
  p.width = d.width();
  p.height = d.height();
  p.channels = d.component_count() == 1 ? 1 : 3;
  for (int y = 0; y < p.height; ++y) {
    const uint8_t* line = nullptr;
    int length = 0;
    if (d.decode_line(line, length) != 0) {
      r.error_code = d.error_code();
      return r;
    }
    if (p.channels == 1) {
      p.pixels.insert(p.pixels.end(), line, line + p.width);
    } else {
      for (int x = 0; x < p.width; ++x) p.pixels.insert(p.pixels.end(), line + 4 * x, line + 4 * x + 3);
    }
  }
  r.stage = 3;
  return r;
}

}  // namespace jpeg_test
