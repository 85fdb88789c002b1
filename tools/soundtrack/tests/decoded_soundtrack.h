// The generated soundtrack as the tests read it: decoded with libmpg123, once per test run.
#pragma once

#include <string>
#include <vector>

namespace soundtrack::testing {

inline const char* const soundtrack_path = "music/Zelmor - Vorteline.mp3";
inline const char* const key_track_path = "misc/piano3.txt";

struct decoded_audio {
  bool ok = false;
  std::string error;
  long rate = 0;
  int channels = 0;
  int bit_rate_kbps = 0;   // of the first frame
  std::vector<float> pcm;  // interleaved
  size_t frames() const { return channels ? pcm.size() / channels : 0; }
};

decoded_audio decode_mp3(const std::string& path);

// The soundtrack under soundtrack_path, decoded on first use.
const decoded_audio& soundtrack();

}  // namespace soundtrack::testing
