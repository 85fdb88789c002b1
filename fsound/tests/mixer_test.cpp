// Mixer arithmetic the public interface cannot reach exactly: the position before a channel's start,
// and resampling with linear interpolation.
#include "fsound/mixer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

FSOUND_SAMPLE ramp(uint32_t length, int rate, bool loop) {
  FSOUND_SAMPLE s;
  s.length = length;
  s.rate = rate;
  s.loop = loop;
  for (uint32_t i = 0; i < length; ++i) s.pcm.insert(s.pcm.end(), 2, static_cast<int16_t>(i * 100));
  return s;
}

TEST(MixerTest, PositionIsHeldBeforeTheStartAndWrapsFromAnyOffset) {
  fsound::mixer m;
  m.reset(44100, 4);
  FSOUND_SAMPLE looping = ramp(100, 44100, true);
  std::vector<float> out(2 * 64);
  m.mix(out.data(), 64);  // the channel starts at output frame 64
  ASSERT_EQ(m.play(-1, &looping), 0);
  const auto& c = m.channels[0];
  EXPECT_EQ(m.position_at(c, 10), 0.0);  // heard before it started
  EXPECT_EQ(m.position_at(c, 64 + 1000 * 100 + 7), 7.0);
  m.set_position(m.channels[0], 250);  // beyond the end: held at the end, which wraps to 0
  EXPECT_EQ(m.position_at(c, 64), 0.0);
  EXPECT_EQ(m.position_at(c, 65), 1.0);
}

TEST(MixerTest, HalfRateSampleAdvancesHalfAFramePerOutputFrameAndInterpolates) {
  fsound::mixer m;
  m.reset(44100, 1);
  FSOUND_SAMPLE s = ramp(1000, 22050, false);
  ASSERT_EQ(m.play(0, &s), 0);
  std::vector<float> out(2 * 8);
  m.mix(out.data(), 8);
  EXPECT_EQ(m.position_at(m.channels[0], 8), 4.0);
  EXPECT_FLOAT_EQ(out[2 * 3], 150.0f / 32768.0f);  // halfway between sample frames 1 and 2
  float mono[4];
  m.recent_mono(8, mono, 4);
  EXPECT_FLOAT_EQ(mono[3], out[2 * 7]);
  m.recent_mono(2, mono, 4);
  EXPECT_EQ(mono[1], 0.0f);  // before the first frame
}

}  // namespace

namespace {

// A pause holds the position and silences the channel; the spectrum's input while paused is what
// plays just before the held position; a resume carries on from there.
TEST(MixerTest, PauseHoldsThePositionAndResumeCarriesOn) {
  fsound::mixer m;
  m.reset(44100, 2);
  FSOUND_SAMPLE s = ramp(1000, 44100, false);
  ASSERT_EQ(m.play(0, &s), 0);
  std::vector<float> out(2 * 100);
  m.mix(out.data(), 100);
  auto& c = m.channels[0];
  m.set_paused(c, true);
  EXPECT_TRUE(m.all_paused());
  EXPECT_EQ(m.position_at(c, m.mixed + 500), 100.0);
  m.mix(out.data(), 100);
  for (float v : out) EXPECT_EQ(v, 0.0f);
  EXPECT_EQ(m.position_at(c, m.mixed), 100.0);

  std::vector<float> mono(4);
  m.paused_mono(mono.data(), 4);
  for (int j = 0; j < 4; ++j) EXPECT_FLOAT_EQ(mono[j], (96 + j) * 100 / 32768.0f);

  m.set_position(c, 300);  // a seek while paused stays paused at the new place
  EXPECT_EQ(m.position_at(c, m.mixed + 50), 300.0);
  m.set_paused(c, false);
  EXPECT_FALSE(m.all_paused());
  m.mix(out.data(), 2);
  EXPECT_FLOAT_EQ(out[0], 300 * 100 / 32768.0f);
  EXPECT_FLOAT_EQ(out[2], 301 * 100 / 32768.0f);
  EXPECT_EQ(m.position_at(c, m.mixed), 302.0);
}

}  // namespace
