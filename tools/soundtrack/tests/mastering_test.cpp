// The loudness meter, the true-peak estimate and the limiter on signals whose answers are known.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tools/soundtrack/dsp.h"
#include "tools/soundtrack/master.h"

namespace soundtrack {
namespace {

std::vector<float> stereo_sine(double hz, double amplitude, double seconds, double phase = 0.0) {
  const size_t frames = static_cast<size_t>(seconds * sample_rate);
  std::vector<float> out(frames * 2);
  for (size_t f = 0; f < frames; ++f)
    out[2 * f] = out[2 * f + 1] =
        static_cast<float>(amplitude * std::sin(2.0 * pi * hz * f / sample_rate + phase));
  return out;
}

TEST(Loudness, SineAt1KhzReadsItsPeakLevelInBothChannels) {
  // At 1 kHz the K-weighting is neutral by definition: a -20 dBFS sine in both channels is -20 LUFS.
  std::vector<float> tone = stereo_sine(1000.0, 0.1, 5.0);
  EXPECT_NEAR(integrated_loudness(tone.data(), tone.size() / 2), -20.0, 0.05);
  // The shelf lifts the treble by 3 to 4 dB, the high-pass cuts the deep bass.
  std::vector<float> treble = stereo_sine(10000.0, 0.1, 5.0);
  EXPECT_NEAR(integrated_loudness(treble.data(), treble.size() / 2), -20.0 + 3.5, 0.5);
  std::vector<float> sub = stereo_sine(25.0, 0.1, 5.0);
  EXPECT_LT(integrated_loudness(sub.data(), sub.size() / 2), -23.0);
}

TEST(Loudness, GatesIgnoreSilenceAndQuietPassages) {
  std::vector<float> piece = stereo_sine(1000.0, 0.1, 10.0);
  std::vector<float> quiet = stereo_sine(1000.0, 0.001, 10.0);  // -60 LUFS, under the relative gate
  piece.insert(piece.end(), quiet.begin(), quiet.end());
  piece.resize(piece.size() + 10 * 2 * sample_rate, 0.0f);  // and silence, under the absolute gate
  EXPECT_NEAR(integrated_loudness(piece.data(), piece.size() / 2), -20.0, 0.1);

  std::vector<float> silence(2 * sample_rate * 3, 0.0f);
  EXPECT_LE(integrated_loudness(silence.data(), silence.size() / 2), -70.0);
}

TEST(TruePeak, FindsThePeakBetweenSamples) {
  // A quarter-rate sine sampled 45 degrees off its crests: samples reach only 0.707 of the peak.
  std::vector<float> tone = stereo_sine(sample_rate / 4.0, 0.5, 0.5, pi / 4);
  float sample_peak = 0.0f;
  for (float v : tone) sample_peak = std::max(sample_peak, std::fabs(v));
  EXPECT_NEAR(20.0 * std::log10(sample_peak), 20.0 * std::log10(0.5) - 3.01, 0.05);
  EXPECT_NEAR(true_peak_db(tone.data(), tone.size() / 2), 20.0 * std::log10(0.5), 0.2);
}

TEST(Mastering, ReachesTheLoudnessTargetUnderTheCeiling) {
  // Quiet tone with loud, short bursts: reaching -14 LUFS takes gain, which the bursts cannot take.
  std::vector<float> mix = stereo_sine(220.0, 0.05, 12.0);
  noise_source noise(7);
  for (size_t f = 0; f < mix.size() / 2; ++f)
    if (f % sample_rate < 200) {
      float n = 0.6f * noise.next();
      mix[2 * f] += n;
      mix[2 * f + 1] -= n;
    }
  master_report report = master_mix(mix, -14.0, -1.5);
  EXPECT_NEAR(report.loudness_lufs, -14.0, 0.1);
  EXPECT_NEAR(integrated_loudness(mix.data(), mix.size() / 2), -14.0, 0.1);
  EXPECT_LE(true_peak_db(mix.data(), mix.size() / 2), -1.5 + 0.05);
  EXPECT_LT(report.max_reduction_db, -3.0);
  // Between the bursts the limiter lets go: the tone keeps its full make-up gain.
  const size_t calm = sample_rate / 2 + 5 * sample_rate;
  float calm_peak = 0.0f;
  for (size_t f = calm; f < calm + 2000; ++f) calm_peak = std::max(calm_peak, std::fabs(mix[2 * f]));
  EXPECT_NEAR(calm_peak, 0.05 * db_to_gain(report.gain_db), 0.002);
}

TEST(Mastering, LeavesAMixUnderTheCeilingUnlimited) {
  std::vector<float> tone = stereo_sine(1000.0, 0.05, 5.0);  // -26 LUFS; +12 dB stays under -1.5 dBTP
  master_report report = master_mix(tone, -14.0, -1.5);
  EXPECT_NEAR(report.gain_db, 12.0, 0.05);
  EXPECT_NEAR(report.max_reduction_db, 0.0, 1e-6);
}

}  // namespace
}  // namespace soundtrack
