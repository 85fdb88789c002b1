// The generated MP3 as a plain decoder reads it: format and length, and loudness and peaks as
// ffmpeg's EBU R 128 meter reports them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

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
  const size_t summary = text.rfind("Summary:");
  if (summary == std::string::npos) return false;
  const size_t i = text.find("I:", summary), p = text.find("Peak:", summary);
  if (i == std::string::npos || p == std::string::npos) return false;
  if (std::sscanf(text.c_str() + i, "I: %lf LUFS", &lufs) != 1) return false;
  if (std::sscanf(text.c_str() + p, "Peak: %lf dBFS", &peak_dbtp) != 1) return false;
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

}  // namespace
}  // namespace soundtrack
