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

// Writes `t` as a 16-bit PCM WAV file.
void write_wav(const std::filesystem::path& path, const tone& t);

// Writes `bytes` random bytes (from `seed`) that begin with `frames` headers of MPEG-1 layer III
// frames (128 kbit/s, 44100 Hz, 417 bytes each) in a row: data that looks like MPEG audio for a few
// frames and then stops being it.
void write_false_frames(const std::filesystem::path& path, int frames, size_t bytes, unsigned seed);

// Encodes `t` into `path` (a constant-bit-rate file with an encoder tag, so decoders can remove the
// encoder delay and padding). Returns the number of frames written before encoding; fails the
// process when `lame` is missing or fails.
long encode_tone(const std::filesystem::path& path, const tone& t, const std::string& lame_options = "");

}  // namespace test_mp3
