#include "fsound/decode_mp3.h"

#include <mpg123.h>

#include <memory>

namespace fsound {

namespace {

struct handle_deleter {
  void operator()(mpg123_handle* h) const {
    mpg123_close(h);
    mpg123_delete(h);
  }
};

}  // namespace

bool decode_mp3_file(const char* path, decoded_audio& out) {
  out = {};
  if (!path) return false;
  mpg123_init();  // required before the first handle by older library versions; harmless later
  std::unique_ptr<mpg123_handle, handle_deleter> h(mpg123_new(nullptr, nullptr));
  if (!h) return false;
  mpg123_param(h.get(), MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_FORCE_STEREO | MPG123_QUIET, 0.0);
  // Accept any rate, but only 16-bit stereo output.
  mpg123_format_none(h.get());
  const long* rates = nullptr;
  size_t rate_count = 0;
  mpg123_rates(&rates, &rate_count);
  for (size_t i = 0; i < rate_count; ++i)
    mpg123_format(h.get(), rates[i], MPG123_STEREO, MPG123_ENC_SIGNED_16);
  if (mpg123_open(h.get(), path) != MPG123_OK) return false;

  long rate = 0;
  int channels = 0;
  int encoding = 0;
  if (mpg123_getformat(h.get(), &rate, &channels, &encoding) != MPG123_OK || channels != 2 ||
      encoding != MPG123_ENC_SIGNED_16 || rate <= 0) {
    return false;
  }

  std::vector<unsigned char> chunk(64 * 1024);
  for (;;) {
    size_t done = 0;
    const int result = mpg123_read(h.get(), chunk.data(), chunk.size(), &done);
    const auto* values = reinterpret_cast<const int16_t*>(chunk.data());
    out.pcm.insert(out.pcm.end(), values, values + done / sizeof(int16_t));
    if (result == MPG123_DONE) break;
    if (result == MPG123_NEW_FORMAT) continue;  // same format again: nothing changes for us
    if (result != MPG123_OK) break;             // a damaged tail ends the sample where it breaks
  }
  out.pcm.resize(out.pcm.size() / 2 * 2);
  out.rate = static_cast<int>(rate);
  return !out.pcm.empty();
}

}  // namespace fsound
