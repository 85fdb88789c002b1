// The SDL output's position against a fake device of known buffer and latency: the device asks for
// a block whenever its own buffer runs low, and every frame reaches the ear a fixed latency after
// the device plays it. The position reported must be the frame heard.
#include "fsound/callback_clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>

#include "fsound/output_latency.h"

namespace {

constexpr int rate = 44100;
constexpr uint32_t block = 1024;

struct fake_device {
  double latency = 0.0;       // seconds from the device playing a frame to the ear
  double late_at_most = 0.0;  // seconds a callback may come late (a busy machine)
  // Output frame n reaches the ear at (n + block) / rate + latency: the device plays a block once
  // the one it holds has played out.
  double heard_at(double t) const { return (t - latency) * rate - block; }
};

// Follows the device for two seconds in 0.5 ms steps; returns the largest error in frames of the
// clock against the ear, and whether the clock ever went backwards.
double largest_error(const fake_device& device, fsound::callback_clock& clock, bool& backwards) {
  std::mt19937 random(3);
  std::uniform_real_distribution<double> lateness(0.0, device.late_at_most);
  uint64_t next_block = 0;
  double next_call = lateness(random);
  double worst = 0.0;
  uint64_t last = 0;
  backwards = false;
  for (double t = 0.0; t < 2.0; t += 0.0005) {
    if (t >= next_call) {
      clock.on_block(next_block, block, next_call);
      next_block += block;
      next_call = static_cast<double>(next_block) / rate + lateness(random);
    }
    const uint64_t heard = clock.heard(t);
    if (heard < last) backwards = true;
    last = heard;
    // Before the first frame reaches the ear there is nothing to compare.
    if (device.heard_at(t) > 0.0)
      worst = std::max(worst, std::abs(static_cast<double>(heard) - device.heard_at(t)));
  }
  return worst;
}

fsound::callback_clock clock_for(double latency) {
  fsound::callback_clock clock;
  clock.rate = rate;
  clock.behind = block + std::llround(latency * rate);
  return clock;
}

TEST(CallbackClock, ReportsTheFrameHeardBehindTheBufferAndTheLatency) {
  bool backwards = false;
  for (const double latency : {0.0, 0.040, 0.250}) {
    const fake_device device{latency, 0.0};
    fsound::callback_clock clock = clock_for(latency);
    EXPECT_LE(largest_error(device, clock, backwards), 2.0) << latency;
    EXPECT_FALSE(backwards);
  }
  // Leaving the latency out puts the position that far ahead of the ear.
  const fake_device device{0.040, 0.0};
  fsound::callback_clock unaware = clock_for(0.0);
  EXPECT_NEAR(largest_error(device, unaware, backwards), 0.040 * rate, 2.0);
}

TEST(CallbackClock, LateCallbacksNeverMoveThePositionBackwards) {
  const fake_device device{0.040, 0.004};
  fsound::callback_clock clock = clock_for(0.040);
  bool backwards = true;
  // Off by no more than the lateness of a callback.
  EXPECT_LE(largest_error(device, clock, backwards), 0.004 * rate + 2.0);
  EXPECT_FALSE(backwards);
}

TEST(OutputLatency, TheViewerGivesMillisecondsFromZeroToOneThousand) {
  double ms = -1.0;
  std::string error;
  EXPECT_TRUE(fsound::parse_latency_ms("40", ms, error));
  EXPECT_EQ(ms, 40.0);
  EXPECT_TRUE(fsound::parse_latency_ms("12.5", ms, error));
  EXPECT_EQ(ms, 12.5);
  EXPECT_TRUE(fsound::parse_latency_ms("1000", ms, error));
  for (const char* bad : {"", "-1", "1000.5", "40ms", "nan", "inf"}) {
    EXPECT_FALSE(fsound::parse_latency_ms(bad, ms, error)) << bad;
    EXPECT_EQ(error, "not a number of milliseconds from 0 to 1000");
  }

  unsetenv(fsound::latency_variable);
  EXPECT_EQ(fsound::configured_latency_frames(rate), 0);
  setenv(fsound::latency_variable, "50", 1);
  EXPECT_EQ(fsound::configured_latency_frames(rate), 2205);
  setenv(fsound::latency_variable, "fifty", 1);
  testing::internal::CaptureStderr();
  EXPECT_EQ(fsound::configured_latency_frames(rate), 0);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("VORTELINE_AUDIO_LATENCY_MS=fifty ignored"),
            std::string::npos);
  unsetenv(fsound::latency_variable);
}

}  // namespace
