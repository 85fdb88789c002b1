#pragma once
// Byte sources for the JPEG decoder: the abstract stream and the one that reads a file.
#include <cstdio>

// The decoder pulls its input through read(); on_attach/on_detach bracket the time it uses the
// stream (on_detach also runs when the decoder stops on an error).
class jpeg_decoder_stream {
 public:
  virtual ~jpeg_decoder_stream() = default;
  // Places up to max_bytes bytes into buffer and returns their count, or -1 on failure. Sets
  // eof_flag once the end of the data has been reached (possibly together with a short count).
  virtual int read(unsigned char* buffer, int max_bytes, bool& eof_flag) = 0;
  virtual void on_attach() {}
  virtual void on_detach() {}
};

// Reads a file opened in binary mode. After the end of the file every read reports end of file;
// after a read error every read fails.
class jpeg_decoder_file_stream : public jpeg_decoder_stream {
 public:
  jpeg_decoder_file_stream() = default;
  ~jpeg_decoder_file_stream() override;
  jpeg_decoder_file_stream(const jpeg_decoder_file_stream&) = delete;
  jpeg_decoder_file_stream& operator=(const jpeg_decoder_file_stream&) = delete;

  bool open(const char* file_name);  // false when the file cannot be opened
  void close();
  int read(unsigned char* buffer, int max_bytes, bool& eof_flag) override;

 private:
  std::FILE* file_ = nullptr;
  bool eof_seen_ = false;
  bool error_seen_ = false;
};
