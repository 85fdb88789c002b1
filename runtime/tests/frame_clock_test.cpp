// The frame clock's rules as pure functions, the stopwatch, the top-row key and the ending fade.
#include "runtime/frame_clock.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "engine/random.h"
#include "runtime/demo_frame.h"
#include "runtime/frame_state.h"
#include "runtime/stopwatch.h"

namespace {

// A soundtrack of 200 s at 44100 Hz heard at `seconds`.
music_reading heard_at(double seconds) {
  return {static_cast<uint32_t>(seconds * 44100.0), 200u * 44100u, 44100};
}

TEST(FrameClockTest, StepAddsTenPercentOfTheMusicLead) {
  bool sync = true;
  // First frame: the clock stands at 0, the step is the time since the start plus 0.1 x music.
  EXPECT_DOUBLE_EQ(frame_step_for(0.002, 0.0, heard_at(0.01), sync),
                   0.002 + correction_gain * (441.0 / 44100.0));
  EXPECT_EQ(random_seed_for(0.0), 0u);

  // Music 1 s ahead at 60 Hz: the gap shrinks by a factor 0.9 every frame.
  double show = 10.0;
  double music = 11.0;
  for (int frame = 1; frame <= 20; ++frame) {
    show += frame_step_for(1.0 / 60.0, show,
                           {static_cast<uint32_t>(std::lround(music * 44100)), 200u * 44100u, 44100}, sync);
    music += 1.0 / 60.0;
    EXPECT_NEAR(music - show, std::pow(0.9, frame), 1e-4) << "frame " << frame;
  }
  EXPECT_NEAR(frame_step_for(1.0 / 60.0, 10.0, heard_at(11.0), sync), 0.1167, 1e-4);

  // A show clock far ahead of the music steps backwards.
  EXPECT_LT(frame_step_for(0.016, 5.0, heard_at(3.0), sync), 0.0);
  EXPECT_TRUE(sync);
  // Positions and lengths above 2^31 stay positive.
  EXPECT_GT(frame_step_for(0.0, 0.0, {3'000'000'000u, 4'000'000'000u, 44100}, sync), 6000.0);
}

TEST(FrameClockTest, CorrectionStopsAfterTheCutOffAndNearTheMusicEnd) {
  bool sync = true;
  EXPECT_DOUBLE_EQ(frame_step_for(0.01, 210.0, heard_at(100.0), sync),
                   0.01 + correction_gain * (100.0 - 210.0));
  EXPECT_DOUBLE_EQ(frame_step_for(0.01, 210.0000001, heard_at(100.0), sync), 0.01);
  EXPECT_TRUE(sync);  // past the cut-off, sync itself stays on

  // m exactly at the end (length - 5 s) keeps sync; beyond it clears it for good.
  const music_reading at_end{195u * 44100u, 200u * 44100u, 44100};
  frame_step_for(0.01, 195.0, at_end, sync);
  EXPECT_TRUE(sync);
  const music_reading past_end{195u * 44100u + 1, 200u * 44100u, 44100};
  EXPECT_DOUBLE_EQ(frame_step_for(0.01, 100.0, past_end, sync), 0.01);
  EXPECT_FALSE(sync);
  EXPECT_DOUBLE_EQ(frame_step_for(0.01, 100.0, heard_at(0.5), sync), 0.01);  // the loop restarted
  EXPECT_FALSE(sync);

  // A negative elapsed time counts as 0; without music there is nothing to follow.
  EXPECT_EQ(frame_step_for(-0.5, 100.0, past_end, sync), 0.0);
  bool fresh = true;
  EXPECT_EQ(frame_step_for(0.02, 3.0, music_reading{}, fresh), 0.02);
  EXPECT_TRUE(fresh);
}

TEST(FrameClockTest, ShowEndsOnlyStrictlyBeyond215) {
  EXPECT_FALSE(show_has_ended(215.0));
  EXPECT_TRUE(show_has_ended(std::nextafter(215.0, 300.0)));
  EXPECT_FALSE(show_has_ended(-3.0));
}

TEST(FrameClockTest, ReseedingMakesEqualShowTimesDrawEqualNumbers) {
  EXPECT_EQ(random_seed_for(5000.0), static_cast<uint32_t>(5'000'000'000ull));  // low 32 bits
  EXPECT_EQ(random_seed_for(1.5e-6), 1u);                                       // truncated
  reseed_random(12.345678);
  std::vector<int> first{random_next(), random_next(), random_next()};
  random_next();
  reseed_random(12.345678);
  std::vector<int> again{random_next(), random_next(), random_next()};
  EXPECT_EQ(first, again);
  // The warm-up draws are gone: seeding alone and drawing 50 reaches the same point.
  random_seed(random_seed_for(12.345678));
  for (int i = 0; i < random_warmup; ++i) random_next();
  EXPECT_EQ(random_next(), first[0]);
  reseed_random(12.345679);
  EXPECT_NE(random_next(), first[0]);
}

TEST(FrameClockTest, StopwatchAccumulatesSignedCounterSteps) {
  stopwatch w;
  w.reset_at(1000);
  EXPECT_DOUBLE_EQ(w.read_at(1250, 100), 2.5);
  EXPECT_DOUBLE_EQ(w.read_at(1200, 100), 2.0);  // a counter going back lowers the reading
}

TEST(FrameClockTest, EaseRunsFromZeroToOne) {
  for (double k : {0.5, 1.0, 2.0, 3.0}) {
    double below = -0.5, start = 0.0, end = 1.0, beyond = 7.0;
    EXPECT_EQ(ease(&below, &k), 0.0);
    EXPECT_EQ(ease(&start, &k), 0.0);
    EXPECT_DOUBLE_EQ(ease(&end, &k), 1.0);
    EXPECT_DOUBLE_EQ(ease(&beyond, &k), 1.0);
  }
  double k = 1.0;
  double half = 0.5, quarter = 0.25;
  EXPECT_NEAR(ease(&half, &k), 0.5, 1e-12);
  EXPECT_NEAR(ease(&quarter, &k), (1.0 - std::cos(M_PI * 0.25)) / 2.0, 1e-12);
}

TEST(FrameClockTest, EaseAtKOneJoinsTheGeneralCurve) {
  // k = 1 has a form of its own; it must meet the general curve on either side of it.
  for (double x : {0.1, 0.25, 0.5, 0.8, 0.95}) {
    double one = 1.0, below = 1.0 - 1e-9, above = 1.0 + 1e-9;
    EXPECT_NEAR(ease(&x, &one), ease(&x, &below), 1e-8);
    EXPECT_NEAR(ease(&x, &one), ease(&x, &above), 1e-8);
  }
  double half = 0.5, two = 2.0;
  EXPECT_NEAR(ease(&half, &two), (1.0 - std::sqrt(0.125)) * (1.0 - std::sqrt(0.125)), 1e-12);
}

TEST(FrameClockTest, TopRowKeyTakesTheFirstHeldKeyInOrder) {
  std::array<bool, 256> keys{};
  EXPECT_EQ(top_row_key(keys), 0);
  keys[8] = true;
  EXPECT_EQ(top_row_key(keys), 14);
  keys[0xBB] = true;
  EXPECT_EQ(top_row_key(keys), 13);
  keys['0'] = true;
  EXPECT_EQ(top_row_key(keys), 11);
  keys['5'] = true;
  EXPECT_EQ(top_row_key(keys), 6);  // 5 and 0 held: the earlier key wins
  keys[0xDF] = true;
  EXPECT_EQ(top_row_key(keys), 1);
}

TEST(FrameClockTest, EndingFadeLevelAndVolume) {
  EXPECT_EQ(ending_fade_level(10.0, 10.0, 100002.5), 0.0);  // a zero step never fades
  EXPECT_EQ(ending_fade_level(9.0, 10.0, 100002.5), 0.0);   // nor a clock gone backwards
  EXPECT_EQ(ending_fade_level(10.00002, 10.0, 100002.5), 1.0);
  EXPECT_NEAR(ending_fade_level(10.25, 10.0, 2.0), 0.5, 1e-12);
  EXPECT_EQ(ending_volume(0.0), 255);
  EXPECT_EQ(ending_volume(0.5), 127);
  EXPECT_EQ(ending_volume(1.0), 0);
  EXPECT_FALSE(0.999 > ending_exit_level);  // the threshold is 0.999 in single precision
  EXPECT_TRUE(0.9991 > ending_exit_level);
}

}  // namespace
