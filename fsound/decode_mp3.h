#pragma once
// Whole-file MP3 decoding into 16-bit interleaved stereo frames.
#include <cstdint>
#include <vector>

namespace fsound {

struct decoded_audio {
  std::vector<int16_t> pcm;  // interleaved left, right
  int rate = 0;              // frames per second
};

// Decodes every frame of the file with the encoder delay and padding removed (gapless). Mono
// files come out as two equal channels. False when the file cannot be opened or yields no audio.
bool decode_mp3_file(const char* path, decoded_audio& out);

}  // namespace fsound
