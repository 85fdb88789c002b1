#pragma once
// MP3 files for tests: sine tones written as WAV and encoded with the `lame` command.
#include <filesystem>
#include <string>

namespace test_mp3 {

struct tone {
  double frequency = 1000.0;  // Hz
  double amplitude = 0.5;     // of full scale
  double seconds = 1.0;
  int rate = 44100;
  int channels = 2;
};

// A fresh directory for this test process's files (removed by the caller when done).
std::filesystem::path scratch_dir();

// Encodes `t` into `path` (a constant-bit-rate file with an encoder tag, so decoders can remove the
// encoder delay and padding). Returns the number of frames written before encoding; fails the
// process when `lame` is missing or fails.
long encode_tone(const std::filesystem::path& path, const tone& t);

}  // namespace test_mp3
