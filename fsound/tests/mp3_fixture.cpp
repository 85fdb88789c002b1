#include "fsound/tests/mp3_fixture.h"

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numbers>
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

long encode_tone(const std::filesystem::path& path, const tone& t) {
  const long frames = std::lround(t.seconds * t.rate);
  std::vector<int16_t> pcm(static_cast<size_t>(frames) * t.channels);
  for (long i = 0; i < frames; ++i) {
    const double v = t.amplitude * std::sin(2.0 * std::numbers::pi * t.frequency * i / t.rate);
    for (int c = 0; c < t.channels; ++c)
      pcm[i * t.channels + c] = static_cast<int16_t>(std::lround(v * 32767));
  }
  const auto wav = std::filesystem::path(path).replace_extension(".wav");
  {
    std::ofstream f(wav, std::ios::binary);
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
  const std::string command = "lame --quiet -b 192 '" + wav.string() + "' '" + path.string() + "'";
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "test_mp3: '%s' failed\n", command.c_str());
    std::exit(2);
  }
  std::filesystem::remove(wav);
  return frames;
}

}  // namespace test_mp3
