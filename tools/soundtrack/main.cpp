// Renders the soundtrack and its piano key track:
//   soundtrack_render MP3_PATH KEY_TRACK_PATH
// Composes the score, plays it through the synthesiser, masters it to -14 LUFS under a true-peak
// ceiling, encodes it with LAME and writes the key track. Prints what it measured.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/soundtrack/dsp.h"
#include "tools/soundtrack/key_track.h"
#include "tools/soundtrack/master.h"
#include "tools/soundtrack/mix.h"
#include "tools/soundtrack/mp3_encoder.h"
#include "tools/soundtrack/score.h"

namespace {

constexpr double target_lufs = -14.0;
// Below the -1 dBTP goal: MP3 encoding adds a few tenths of a dB to the peaks.
constexpr double ceiling_dbtp = -1.8;
constexpr int bit_rate_kbps = 192;
// The show samples its key track on the running clock and ends at 215 s; a sample reads two keys
// beyond its position, and the margin covers the last frames of the ending.
constexpr double key_track_seconds = 220.0;

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool make_parent(const std::string& path) {
  std::error_code error;
  std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, error);
  return !error;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace soundtrack;
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s MP3_PATH KEY_TRACK_PATH\n", argv[0]);
    return 2;
  }
  const std::string mp3_path = argv[1], keys_path = argv[2];
  if (!make_parent(mp3_path) || !make_parent(keys_path)) {
    std::fprintf(stderr, "soundtrack: cannot create the output folders\n");
    return 1;
  }

  auto start = std::chrono::steady_clock::now();
  const score piece = compose();
  std::vector<float> audio = render_mix(piece);
  const double render_seconds = seconds_since(start);

  auto mastering = std::chrono::steady_clock::now();
  const master_report report = master_mix(audio, target_lufs, ceiling_dbtp);
  const double master_seconds = seconds_since(mastering);

  auto encoding = std::chrono::steady_clock::now();
  std::string error;
  if (!encode_mp3(audio, sample_rate, bit_rate_kbps, mp3_path, error)) {
    std::fprintf(stderr, "soundtrack: %s\n", error.c_str());
    return 1;
  }
  const double encode_seconds = seconds_since(encoding);

  const std::vector<key> keys = piano_keys(piece, key_track_seconds);
  if (!write_keys(keys, keys_path, error)) {
    std::fprintf(stderr, "soundtrack: %s\n", error.c_str());
    return 1;
  }

  std::printf(
      "soundtrack: %.1f s of music, %zu notes; synthesis %.2f s, mastering %.2f s, encoding %.2f s\n"
      "soundtrack: %.2f LUFS, true peak %.2f dBTP before encoding, gain %+.1f dB, limiter down to %.1f dB\n"
      "soundtrack: %zu keys\n",
      piece.length_seconds, piece.notes.size(), render_seconds, master_seconds, encode_seconds,
      report.loudness_lufs, report.true_peak_db, report.gain_db, report.max_reduction_db, keys.size());
  return 0;
}
