// The decoder's byte source that reads a file: end of file and read errors stick once seen.
#include "assets/jpeg/jpeg_decoder_stream.h"

jpeg_decoder_file_stream::~jpeg_decoder_file_stream() { close(); }

bool jpeg_decoder_file_stream::open(const char* file_name) {
  close();
  file_ = std::fopen(file_name, "rb");
  return file_ != nullptr;
}

void jpeg_decoder_file_stream::close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  eof_seen_ = false;
  error_seen_ = false;
}

int jpeg_decoder_file_stream::read(unsigned char* buffer, int max_bytes, bool& eof_flag) {
  if (!file_) return -1;
  if (eof_seen_) {
    eof_flag = true;
    return 0;
  }
  if (error_seen_) return -1;
  if (max_bytes <= 0) return 0;
  size_t got = std::fread(buffer, 1, static_cast<size_t>(max_bytes), file_);
  if (got < static_cast<size_t>(max_bytes)) {
    if (std::ferror(file_)) {
      error_seen_ = true;
      return -1;
    }
    eof_seen_ = true;
    eof_flag = true;
  }
  return static_cast<int>(got);
}
