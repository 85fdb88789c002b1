// What every other part of the decoder builds on: stopping at the first error, the table of
// memory blocks that lets one error release everything, and the byte input from the stream.
// Nothing here calls into the rest of the decoder.
#include <cstdlib>
#include <cstring>

#include "assets/jpeg/jpeg_decoder.h"
#include "assets/jpeg/jpeg_internal.h"

void jpeg_decoder::fail(jpeg_error error) {
  // Past the end of the file the decoder reads substitute bytes: a fault they cause is the
  // file's end. The missing start-of-image marker (a file too short to hold one is no JPEG
  // either), read failures and memory are not about the data.
  if (past_end_ && error != jpeg_error::no_start_of_image && error != jpeg_error::too_many_memory_blocks &&
      error != jpeg_error::read_failure && error != jpeg_error::out_of_memory)
    error = jpeg_error::truncated;
  if (error_ == jpeg_error::none) error_ = error;
  release_all();
  if (stream_) {
    jpeg_decoder_stream* s = stream_;
    stream_ = nullptr;
    s->on_detach();
  }
  throw fail_signal{};
}

void* jpeg_decoder::allocate(size_t bytes) {
  if (block_count_ >= max_memory_blocks) fail(jpeg_error::too_many_memory_blocks);
  void* p = std::calloc(1, bytes ? bytes : 1);
  if (!p) fail(jpeg_error::out_of_memory);
  blocks_[block_count_++] = p;
  return p;
}

void* jpeg_decoder::reallocate(void* block, size_t old_bytes, size_t bytes) {
  if (!block) return allocate(bytes);
  for (int i = 0; i < block_count_; ++i) {
    if (blocks_[i] != block) continue;
    // On failure the old block stays in the table, which fail releases.
    void* p = std::realloc(block, bytes);
    if (!p) fail(jpeg_error::out_of_memory);
    std::memset(static_cast<uint8_t*>(p) + old_bytes, 0, bytes - old_bytes);
    blocks_[i] = p;
    return p;
  }
  fail(jpeg_error::too_many_memory_blocks);  // not a block of this decoder
}

void jpeg_decoder::release_all() {
  for (int i = 0; i < block_count_; ++i) std::free(blocks_[i]);
  block_count_ = 0;
  for (auto& c : comps_) {
    c.coefs = nullptr;
    c.plane = nullptr;
  }
  mcu_blocks_ = nullptr;
  line_buf_[0] = line_buf_[1] = nullptr;
}

// ---- input ----

void jpeg_decoder::refill() {
  in_pos_ = 0;
  in_end_ = 0;
  if (!in_eof_) {
    bool eof = false;
    int n = stream_->read(in_buf_, static_cast<int>(sizeof in_buf_), eof);
    if (n < 0) fail(jpeg_error::read_failure);
    if (n > static_cast<int>(sizeof in_buf_)) n = static_cast<int>(sizeof in_buf_);
    // A stream that delivers nothing without reporting the end is treated as ended, so a
    // misbehaving source cannot stall the decoder.
    if (eof || n == 0) in_eof_ = true;
    in_end_ = n;
    input_bytes_ += size_t(n);
    if (n > 0) return;
  }
  // Past the end: the data continues as end-of-image markers, so every scan ends.
  past_end_ = true;
  for (size_t i = 0; i < sizeof in_buf_; i += 2) {
    in_buf_[i] = 0xFF;
    in_buf_[i + 1] = marker_eoi;
  }
  in_end_ = static_cast<int>(sizeof in_buf_);
}

uint8_t jpeg_decoder::get_byte() {
  if (in_pos_ == in_end_) refill();
  return in_buf_[in_pos_++];
}

int jpeg_decoder::get_word() {
  int hi = get_byte();
  return (hi << 8) | get_byte();
}

void jpeg_decoder::skip_bytes(int count) {
  while (count > 0) {
    if (in_pos_ == in_end_) refill();
    int n = in_end_ - in_pos_;
    if (n > count) n = count;
    in_pos_ += n;
    count -= n;
  }
}
