// MP3 files for the tests, encoded from generated tones with the lame command.
#include "fsound/tests/mp3_fixture.h"

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <random>
#include <vector>

namespace test_mp3 {

namespace {

void put32(std::ofstream& f, uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); }
void put16(std::ofstream& f, uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); }

}  // namespace

std::filesystem::path scratch_dir() {
  auto dir = std::filesystem::temp_directory_path() / ("vt_mp3_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  return dir;
}

void write_wav(const std::filesystem::path& path, const tone& t) {
  const long frames = std::lround(t.seconds * t.rate);
  std::vector<int16_t> pcm(static_cast<size_t>(frames) * t.channels);
  for (long i = 0; i < frames; ++i) {
    const double v = t.amplitude * std::sin(2.0 * std::numbers::pi * t.frequency * i / t.rate);
    for (int c = 0; c < t.channels; ++c)
      pcm[i * t.channels + c] = static_cast<int16_t>(std::lround(v * 32767));
  }
  std::ofstream f(path, std::ios::binary);
  const auto data_bytes = static_cast<uint32_t>(pcm.size() * 2);
  f.write("RIFF", 4);
  put32(f, 36 + data_bytes);
  f.write("WAVEfmt ", 8);
  put32(f, 16);
  put16(f, 1);
  put16(f, static_cast<uint16_t>(t.channels));
  put32(f, static_cast<uint32_t>(t.rate));
  put32(f, static_cast<uint32_t>(t.rate * t.channels * 2));
  put16(f, static_cast<uint16_t>(t.channels * 2));
  put16(f, 16);
  f.write("data", 4);
  put32(f, data_bytes);
  f.write(reinterpret_cast<const char*>(pcm.data()), data_bytes);
}

void write_false_frames(const std::filesystem::path& path, int frames, size_t bytes, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<char> data(bytes);
  for (char& b : data) b = static_cast<char>(random());
  constexpr char header[4] = {'\xFF', '\xFB', '\x90', '\x64'};
  for (int i = 0; i < frames; ++i) std::copy(header, header + 4, data.begin() + 417 * i);
  std::ofstream(path, std::ios::binary).write(data.data(), static_cast<std::streamsize>(data.size()));
}

long encode_tone(const std::filesystem::path& path, const tone& t, const std::string& lame_options) {
  const long frames = std::lround(t.seconds * t.rate);
  const auto wav = std::filesystem::path(path).replace_extension(".wav");
  write_wav(wav, t);
  const std::string command =
      "lame --quiet -b 192 " + lame_options + " '" + wav.string() + "' '" + path.string() + "'";
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "test_mp3: '%s' failed\n", command.c_str());
    std::exit(2);
  }
  std::filesystem::remove(wav);
  return frames;
}

}  // namespace test_mp3
