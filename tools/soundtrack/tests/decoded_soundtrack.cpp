#include "tools/soundtrack/tests/decoded_soundtrack.h"

#include <mpg123.h>

#include <memory>

namespace soundtrack::testing {

decoded_audio decode_mp3(const std::string& path) {
  decoded_audio out;
  int error = MPG123_OK;
  std::unique_ptr<mpg123_handle, void (*)(mpg123_handle*)> handle(mpg123_new(nullptr, &error), mpg123_delete);
  if (!handle) {
    out.error = "mpg123_new failed";
    return out;
  }
  mpg123_format_none(handle.get());
  mpg123_format(handle.get(), 44100, MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
  if (mpg123_open(handle.get(), path.c_str()) != MPG123_OK) {
    out.error = "cannot open " + path;
    return out;
  }
  int encoding = 0;
  int channels = 0;
  if (mpg123_getformat(handle.get(), &out.rate, &channels, &encoding) != MPG123_OK) {
    out.error = "no MPEG audio in " + path;
    mpg123_close(handle.get());
    return out;
  }
  out.channels = channels;
  mpg123_frameinfo info{};
  if (mpg123_info(handle.get(), &info) == MPG123_OK) out.bit_rate_kbps = info.bitrate;
  std::vector<unsigned char> buffer(1 << 16);
  for (;;) {
    size_t done = 0;
    int result = mpg123_read(handle.get(), buffer.data(), buffer.size(), &done);
    const float* samples = reinterpret_cast<const float*>(buffer.data());
    out.pcm.insert(out.pcm.end(), samples, samples + done / sizeof(float));
    if (result == MPG123_DONE) break;
    if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
      out.error = mpg123_strerror(handle.get());
      mpg123_close(handle.get());
      return out;
    }
  }
  mpg123_close(handle.get());
  out.ok = true;
  return out;
}

const decoded_audio& soundtrack() {
  static const decoded_audio audio = decode_mp3(soundtrack_path);
  return audio;
}

}  // namespace soundtrack::testing
