// Mixer arithmetic: channel position as a function of the output frame, resampling, release.
#include "fsound/mixer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

FSOUND_SAMPLE ramp(uint32_t length, int rate, bool loop) {
  FSOUND_SAMPLE s;
  s.length = length;
  s.rate = rate;
  s.loop = loop;
  for (uint32_t i = 0; i < length; ++i) {
    s.pcm.push_back(static_cast<int16_t>(i * 100));
    s.pcm.push_back(static_cast<int16_t>(i * 100));
  }
  return s;
}

TEST(MixerTest, PositionFollowsOutputFramesWrapsOrHolds) {
  fsound::mixer m;
  m.reset(44100, 4);
  FSOUND_SAMPLE looping = ramp(100, 44100, true);
  FSOUND_SAMPLE once = ramp(100, 44100, false);
  std::vector<float> out(2 * 64);
  m.mix(out.data(), 64);  // the channel starts at output frame 64
  ASSERT_EQ(m.play(-1, &looping), 0);
  ASSERT_EQ(m.play(-1, &once), 1);
  const auto& a = m.channels[0];
  const auto& b = m.channels[1];
  EXPECT_EQ(m.position_at(a, 10), 0.0);  // heard before it started
  EXPECT_EQ(m.position_at(a, 64 + 99), 99.0);
  EXPECT_EQ(m.position_at(a, 64 + 100), 0.0);
  EXPECT_EQ(m.position_at(a, 64 + 1000 * 100 + 7), 7.0);
  EXPECT_EQ(m.position_at(b, 64 + 250), 100.0);
  EXPECT_FALSE(m.finished(b, 64 + 99));
  EXPECT_TRUE(m.finished(b, 64 + 100));
  EXPECT_EQ(m.play(-1, &once), 2);  // channel 1 still plays at the next frame to mix

  m.set_position(m.channels[0], 250);  // beyond the end: held at the end, then wraps
  EXPECT_EQ(m.position_at(a, 64), 0.0);
  EXPECT_EQ(m.position_at(a, 64 + 1), 1.0);
  m.release(&once);
  EXPECT_EQ(m.channels[1].sample, nullptr);
  EXPECT_EQ(m.channels[2].sample, nullptr);
}

TEST(MixerTest, HalfRateSampleAdvancesHalfAFramePerOutputFrameAndInterpolates) {
  fsound::mixer m;
  m.reset(44100, 1);
  FSOUND_SAMPLE s = ramp(1000, 22050, false);
  ASSERT_EQ(m.play(0, &s), 0);
  std::vector<float> out(2 * 8);
  m.mix(out.data(), 8);
  EXPECT_EQ(m.position_at(m.channels[0], 8), 4.0);
  // Output frame 3 lies halfway between sample frames 1 and 2.
  EXPECT_FLOAT_EQ(out[2 * 3], 150.0f / 32768.0f);
  float mono[4];
  m.recent_mono(8, mono, 4);
  EXPECT_FLOAT_EQ(mono[3], out[2 * 7]);
  m.recent_mono(2, mono, 4);
  EXPECT_EQ(mono[0], 0.0f);  // before the first frame
  EXPECT_EQ(mono[1], 0.0f);
}

TEST(MixerTest, PlayRejectsBadChannelsAndNullSamples) {
  fsound::mixer m;
  m.reset(44100, 2);
  FSOUND_SAMPLE s = ramp(10, 44100, true);
  EXPECT_EQ(m.play(2, &s), -1);
  EXPECT_EQ(m.play(-1, nullptr), -1);
  EXPECT_EQ(m.play(-1, &s), 0);
  EXPECT_EQ(m.play(-1, &s), 1);
  EXPECT_EQ(m.play(-1, &s), -1);  // both busy, looping forever
}

}  // namespace
