#include "tools/soundtrack/mp3_encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace soundtrack {

bool encode_mp3(const std::vector<float>& stereo, int sample_rate_hz, int kbps, const std::string& path,
                std::string& error) {
  std::unique_ptr<lame_global_flags, int (*)(lame_global_flags*)> lame(lame_init(), lame_close);
  if (!lame) {
    error = "LAME could not be initialised";
    return false;
  }
  lame_set_in_samplerate(lame.get(), sample_rate_hz);
  lame_set_out_samplerate(lame.get(), sample_rate_hz);
  lame_set_num_channels(lame.get(), 2);
  lame_set_mode(lame.get(), JOINT_STEREO);
  lame_set_VBR(lame.get(), vbr_off);
  lame_set_brate(lame.get(), kbps);
  lame_set_quality(lame.get(), 3);
  lame_set_bWriteVbrTag(lame.get(), 1);
  if (lame_init_params(lame.get()) < 0) {
    error = "LAME rejected the encoder settings";
    return false;
  }

  std::vector<unsigned char> mp3;
  const int chunk = 8192;  // frames per call
  std::vector<unsigned char> buffer(static_cast<size_t>(1.25 * chunk + 7200));
  const size_t frames = stereo.size() / 2;
  for (size_t f = 0; f < frames; f += chunk) {
    int n = static_cast<int>(std::min<size_t>(chunk, frames - f));
    int bytes = lame_encode_buffer_interleaved_ieee_float(lame.get(), stereo.data() + 2 * f, n, buffer.data(),
                                                          static_cast<int>(buffer.size()));
    if (bytes < 0) {
      error = "LAME failed to encode (code " + std::to_string(bytes) + ")";
      return false;
    }
    mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + bytes);
  }
  int bytes = lame_encode_flush(lame.get(), buffer.data(), static_cast<int>(buffer.size()));
  if (bytes < 0) {
    error = "LAME failed to flush";
    return false;
  }
  mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + bytes);

  // The first frame was reserved for the info frame; fill it in now that the totals are known.
  unsigned char tag[2880];
  size_t tag_size = lame_get_lametag_frame(lame.get(), tag, sizeof tag);
  if (tag_size > 0 && tag_size <= mp3.size()) std::copy(tag, tag + tag_size, mp3.begin());

  const std::string temporary = path + ".partial";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) {
    error = "cannot write " + temporary;
    return false;
  }
  bool written = std::fwrite(mp3.data(), 1, mp3.size(), file) == mp3.size();
  written = std::fclose(file) == 0 && written;
  if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace soundtrack
