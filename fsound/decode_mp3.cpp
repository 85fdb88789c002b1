// MP3 files decoded whole with libmpg123, after a check that their start is MPEG audio.
#include "fsound/decode_mp3.h"

#include <mpg123.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace fsound {

namespace {

struct handle_deleter {
  void operator()(mpg123_handle* h) const {
    mpg123_close(h);
    mpg123_delete(h);
  }
};

struct file_closer {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

constexpr size_t id3_header_bytes = 10;

// Decoded bytes asked of the decoder per call: about 14 MPEG frames of 16-bit stereo, so a whole
// soundtrack takes few calls.
constexpr size_t decode_chunk_bytes = 64 * 1024;

// Size of the ID3v2 tag at the start of `data` (header, body and footer), 0 when there is none, -1
// when its size field is damaged.
long id3_tag_bytes(const uint8_t* data, size_t size) {
  if (size < id3_header_bytes || std::memcmp(data, "ID3", 3) != 0) return 0;
  long body = 0;
  for (int i = 6; i < 10; ++i) {
    if (data[i] & 0x80) return -1;  // the size is four 7-bit digits
    body = body << 7 | data[i];
  }
  const bool footer = (data[5] & 0x10) != 0;
  return static_cast<long>(id3_header_bytes) + body + (footer ? static_cast<long>(id3_header_bytes) : 0);
}

// The fields of an MPEG audio frame header that must stay the same from frame to frame, and the
// frame's length in bytes.
struct frame_header {
  int version = 0;  // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
  int layer = 0;    // 3: layer I, 2: layer II, 1: layer III
  int rate_index = 0;
  size_t length = 0;
};

// Reads a frame header; false for anything that is not one (free-format bit rates included: their
// frames have no length to check).
bool read_frame_header(const uint8_t* b, frame_header& h) {
  if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0) return false;
  h.version = (b[1] >> 3) & 3;
  h.layer = (b[1] >> 1) & 3;
  const int bitrate_index = b[2] >> 4;
  h.rate_index = (b[2] >> 2) & 3;
  const int padding = (b[2] >> 1) & 1;
  if (h.version == 1 || h.layer == 0 || bitrate_index == 0 || bitrate_index == 15 || h.rate_index == 3 ||
      (b[3] & 3) == 2) {
    return false;
  }
  // Bit rates in kbit/s by [MPEG-1?][layer I, II, III][index].
  static constexpr int kbps[2][3][15] = {
      {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
       {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
       {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
      {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
       {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
       {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}}};
  static constexpr int mpeg1_rates[3] = {44100, 48000, 32000};
  const bool mpeg1 = h.version == 3;
  const int layer_number = 4 - h.layer;  // 1, 2 or 3
  const long bitrate = 1000L * kbps[mpeg1][layer_number - 1][bitrate_index];
  const long rate = mpeg1_rates[h.rate_index] >> (mpeg1 ? 0 : h.version == 2 ? 1 : 2);
  if (layer_number == 1) {
    h.length = static_cast<size_t>((12 * bitrate / rate + padding) * 4);
  } else {
    const long factor = layer_number == 3 && !mpeg1 ? 72 : 144;
    h.length = static_cast<size_t>(factor * bitrate / rate + padding);
  }
  return true;
}

// Reads the part of the file check_mpeg_audio looks at; false with the reason when it cannot.
bool read_head(const char* path, std::vector<uint8_t>& head, uint64_t& file_size, std::string& error) {
  std::unique_ptr<std::FILE, file_closer> file(std::fopen(path, "rb"));
  if (!file) {
    error = std::string("cannot open: ") + std::strerror(errno);
    return false;
  }
  if (std::fseek(file.get(), 0, SEEK_END) != 0) {
    error = std::string("cannot read: ") + std::strerror(errno);
    return false;
  }
  const long end = std::ftell(file.get());
  if (end < 0) {
    error = std::string("cannot read: ") + std::strerror(errno);
    return false;
  }
  file_size = static_cast<uint64_t>(end);
  std::rewind(file.get());
  head.resize(static_cast<size_t>(std::min<uint64_t>(file_size, id3_header_bytes)));
  if (std::fread(head.data(), 1, head.size(), file.get()) != head.size()) {
    error = "cannot read the start of the file";
    return false;
  }
  const long tag = std::max(id3_tag_bytes(head.data(), head.size()), 0L);
  const uint64_t wanted = std::min<uint64_t>(file_size, static_cast<uint64_t>(tag) + mpeg_check_bytes);
  const size_t have = head.size();
  head.resize(static_cast<size_t>(wanted));
  if (std::fread(head.data() + have, 1, head.size() - have, file.get()) != head.size() - have) {
    error = "cannot read the start of the file";
    return false;
  }
  return true;
}

}  // namespace

bool check_mpeg_audio(const std::vector<uint8_t>& head, uint64_t file_size, std::string& error) {
  if (file_size == 0) {
    error = "the file is empty";
    return false;
  }
  const long tag = id3_tag_bytes(head.data(), head.size());
  if (tag < 0) {
    error = "not MPEG audio: a damaged ID3 tag";
    return false;
  }
  size_t at = static_cast<size_t>(tag);
  while (at < head.size() && head[at] == 0) ++at;
  frame_header first;
  if (at + 4 > head.size() || !read_frame_header(&head[at], first)) {
    error = "not MPEG audio: no MPEG audio frame at the start of the file";
    return false;
  }
  size_t next = at + first.length;
  for (int frames = 1; frames < frames_in_a_row; ++frames) {
    if (next + 4 > file_size) return true;  // the file ends with these frames
    frame_header h;
    if (next + 4 > head.size() || !read_frame_header(&head[next], h) || h.version != first.version ||
        h.layer != first.layer || h.rate_index != first.rate_index) {
      error = "not MPEG audio: the frame at byte " + std::to_string(at) +
              " is not followed by another at byte " + std::to_string(next);
      return false;
    }
    next += h.length;
  }
  return true;
}

bool decode_mp3_file(const char* path, decoded_audio& out, std::string& error) {
  out = {};
  if (!path) {
    error = "no file name";
    return false;
  }
  std::vector<uint8_t> head;
  uint64_t file_size = 0;
  if (!read_head(path, head, file_size, error) || !check_mpeg_audio(head, file_size, error)) return false;

  mpg123_init();  // required before the first handle by older library versions; harmless later
  std::unique_ptr<mpg123_handle, handle_deleter> h(mpg123_new(nullptr, nullptr));
  if (!h) {
    error = "the MP3 decoder cannot start";
    return false;
  }
  mpg123_param(h.get(), MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_FORCE_STEREO | MPG123_QUIET, 0.0);
  // Accept any rate, but only 16-bit stereo output.
  mpg123_format_none(h.get());
  const long* rates = nullptr;
  size_t rate_count = 0;
  mpg123_rates(&rates, &rate_count);
  for (size_t i = 0; i < rate_count; ++i)
    mpg123_format(h.get(), rates[i], MPG123_STEREO, MPG123_ENC_SIGNED_16);
  if (mpg123_open(h.get(), path) != MPG123_OK) {
    error = std::string("the MP3 decoder cannot open it: ") + mpg123_strerror(h.get());
    return false;
  }

  long rate = 0;
  int channels = 0;
  int encoding = 0;
  if (mpg123_getformat(h.get(), &rate, &channels, &encoding) != MPG123_OK || channels != 2 ||
      encoding != MPG123_ENC_SIGNED_16 || rate <= 0) {
    error = "no decodable MPEG audio";
    return false;
  }

  // The whole soundtrack is held decoded (tens of megabytes): running out of memory on the way is
  // an ordinary failure of the load.
  try {
    std::vector<unsigned char> chunk(decode_chunk_bytes);
    for (;;) {
      size_t done = 0;
      const int result = mpg123_read(h.get(), chunk.data(), chunk.size(), &done);
      const auto* values = reinterpret_cast<const int16_t*>(chunk.data());
      out.pcm.insert(out.pcm.end(), values, values + done / sizeof(int16_t));
      if (result == MPG123_DONE) break;
      if (result == MPG123_NEW_FORMAT) continue;  // same format again: nothing changes for us
      if (result != MPG123_OK) break;             // a damaged tail ends the sample where it breaks
    }
  } catch (const std::bad_alloc&) {
    out = {};
    error = "out of memory while decoding it";
    return false;
  }
  out.pcm.resize(out.pcm.size() / 2 * 2);
  out.rate = static_cast<int>(rate);
  if (out.pcm.empty()) {
    error = "no audio in the file";
    return false;
  }
  return true;
}

}  // namespace fsound
