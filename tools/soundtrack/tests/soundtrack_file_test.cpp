// The generated MP3 as the show plays it: format and length, loudness and peaks as ffmpeg's EBU R 128
// meter reports them, and the kick in the 43 Hz spectrum band that drives the show's "DSP" value.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <regex>
#include <string>

#include "tools/soundtrack/dsp.h"
#include "tools/soundtrack/master.h"
#include "tools/soundtrack/score.h"
#include "tools/soundtrack/tests/decoded_soundtrack.h"

namespace soundtrack {
namespace {

using testing::soundtrack;

TEST(SoundtrackFile, DecodesAsStereoAt44100HzFor225SecondsOrMore) {
  const auto& audio = soundtrack();
  ASSERT_TRUE(audio.ok) << audio.error;
  EXPECT_EQ(audio.rate, 44100);
  EXPECT_EQ(audio.channels, 2);
  EXPECT_EQ(audio.bit_rate_kbps, 192);
  const double seconds = static_cast<double>(audio.frames()) / audio.rate;
  EXPECT_GE(seconds, 225.0);
  // The encoder's delay and padding are recorded in the file, so the decoder returns exactly the
  // rendered length and the music time is not shifted.
  EXPECT_NEAR(seconds, compose().length_seconds, 1.0 / 44100.0);
}

// ffmpeg's ebur128 filter over the file: integrated loudness (LUFS) and true peak (dBTP).
bool ffmpeg_loudness(double& lufs, double& peak_dbtp) {
  std::string command = std::string("ffmpeg -hide_banner -nostats -i \"") + testing::soundtrack_path +
                        "\" -af ebur128=peak=true -f null - 2>&1";
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return false;
  std::string text;
  char buffer[4096];
  while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
  if (pclose(pipe) != 0) return false;
  // The summary comes last; its "I:" and "Peak:" lines are the values of the whole file.
  std::smatch match;
  std::string summary = text.substr(std::min(text.size(), text.rfind("Summary:")));
  if (!std::regex_search(summary, match, std::regex(R"(I:\s+(-?[0-9.]+) LUFS)"))) return false;
  lufs = std::stod(match[1]);
  if (!std::regex_search(summary, match, std::regex(R"(Peak:\s+(-?[0-9.]+|-inf) dBFS)"))) return false;
  peak_dbtp = match[1] == "-inf" ? -1000.0 : std::stod(match[1]);
  return true;
}

TEST(SoundtrackFile, LoudnessIsAboutMinus14LufsWithTruePeakAtMostMinus1Dbtp) {
  double lufs = 0.0, peak = 0.0;
  ASSERT_TRUE(ffmpeg_loudness(lufs, peak)) << "ffmpeg could not measure " << testing::soundtrack_path;
  std::printf("ffmpeg ebur128: %.1f LUFS, true peak %.1f dBTP\n", lufs, peak);
  EXPECT_NEAR(lufs, -14.0, 2.0);
  EXPECT_LE(peak, -1.0);

  // Our own meter, used for mastering, agrees with ffmpeg's on the decoded file.
  const auto& audio = soundtrack();
  ASSERT_TRUE(audio.ok) << audio.error;
  EXPECT_NEAR(integrated_loudness(audio.pcm.data(), audio.frames()), lufs, 0.5);
  EXPECT_NEAR(true_peak_db(audio.pcm.data(), audio.frames()), peak, 0.5);
}

// Magnitude of spectrum band 1 (centred on 44100 / 1024 = 43 Hz) of the 1024 frames from `first`,
// Hann-windowed, mid of both channels.
double band1(const std::vector<float>& pcm, long first) {
  std::complex<double> sum = 0.0;
  for (int n = 0; n < 1024; ++n) {
    long f = first + n;
    double x =
        (f >= 0 && 2 * f + 1 < static_cast<long>(pcm.size())) ? 0.5 * (pcm[2 * f] + pcm[2 * f + 1]) : 0.0;
    double w = 0.5 - 0.5 * std::cos(2.0 * pi * n / 1024);
    sum += x * w * std::polar(1.0, -2.0 * pi * n / 1024);
  }
  return std::abs(sum) / 512.0;
}

TEST(SoundtrackFile, Band1RisesOnEveryKickOfTheGrooves) {
  const auto& audio = soundtrack();
  ASSERT_TRUE(audio.ok) << audio.error;
  int kicks = 0, rising = 0;
  double on_sum = 0.0, before_sum = 0.0;
  for (const note_event& e : compose().notes) {
    const double t = beat_to_seconds(e.beat);
    if (e.inst != instrument::kick || e.velocity < 0.9f) continue;
    const long onset = std::lround(t * 44100);
    // What a spectrum read 60 ms after the kick sees, against the same read just before it.
    const double on = band1(audio.pcm, onset + 2646 - 1024);
    const double before = band1(audio.pcm, onset - 1024);
    ++kicks;
    rising += on > 2.0 * before;
    on_sum += on;
    before_sum += before;
  }
  std::printf("band 1: %d of %d kicks at least double it; on average %.1f times the level before\n", rising,
              kicks, on_sum / before_sum);
  ASSERT_GT(kicks, 300);
  EXPECT_GE(rising, kicks * 95 / 100) << rising << " of " << kicks << " kicks at least double band 1";
  EXPECT_GT(on_sum, 4.0 * before_sum);
}

}  // namespace
}  // namespace soundtrack
