// The timeline probe of the program: one JSON line with the show's clocks, key-track sample and
// camera after a run of fixed steps, checked against the show's timeline rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "capture/tests/program_runner.h"

namespace {

using namespace offline_test;

struct probe_line {
  std::string text;
  double number(const std::string& key) const {
    const std::regex pattern("\"" + key + "\":(-?[0-9.eE+-]+)");
    std::smatch m;
    if (!std::regex_search(text, m, pattern)) ADD_FAILURE() << key << " missing in " << text;
    return m.empty() ? 0.0 : std::stod(m[1]);
  }
  std::vector<double> triple(const std::string& key) const {
    const std::regex pattern("\"" + key + "\":\\[([^,]+),([^,]+),([^\\]]+)\\]");
    std::smatch m;
    if (!std::regex_search(text, m, pattern)) {
      ADD_FAILURE() << key << " missing in " << text;
      return {0, 0, 0};
    }
    return {std::stod(m[1]), std::stod(m[2]), std::stod(m[3])};
  }
};

probe_line probe(const std::string& arguments) {
  const std::string out = command_output("./vorteline --probe " + arguments + " 2>/dev/null");
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
  return {out};
}

TEST(OfflineProbe, ClocksWarpAndEnvelopeFollowTheTimeline) {
  const probe_line start = probe("0");
  EXPECT_EQ(start.number("fttime"), 0.0);
  EXPECT_EQ(start.number("sampled_at"), 0.0);
  EXPECT_EQ(start.number("dsp_gain"), 0.0);
  EXPECT_EQ(start.triple("eye"), (std::vector<double>{0, -16, 0}));
  EXPECT_EQ(start.triple("centre"), (std::vector<double>{0, -12, 0}));
  EXPECT_EQ(start.triple("up"), (std::vector<double>{0, 0, 1}));

  // The last step lands exactly on the time asked for; the warp starts strictly after 83.4 s.
  const probe_line at_jump = probe("83.4");
  EXPECT_EQ(at_jump.number("fttime"), 83.4);
  EXPECT_EQ(at_jump.number("ttime"), 83.4);
  EXPECT_NEAR(probe("83.5").number("ttime"), 108.5, 1e-9);
  EXPECT_NEAR(probe("200").number("ttime"), 249.0, 1e-9);

  EXPECT_NEAR(probe("5").number("dsp_gain"), 0.8, 1e-9);
  EXPECT_NEAR(probe("10").number("dsp_gain"), 2.0, 1e-12);
  // Past the blend into the target camera: the travel coordinate is 2t - 20.
  EXPECT_NEAR(probe("20").number("PositionY"), 20.0, 1e-9);
  // The key track is sampled at 40 keys per second of the previous frame's time.
  EXPECT_NEAR(probe("20").number("sampled_at"), 40.0 * (20.0 - 1.0 / 60.0), 1e-3);
}

TEST(OfflineProbe, TheKeyTrackGrowsByOneKeyPerFrame) {
  const double at5 = probe("5").number("key_count");
  EXPECT_EQ(probe("10").number("key_count") - at5, 300.0);
  // 300 frames either way: 5 s at 60 frames per second, 10 s at 30.
  EXPECT_EQ(probe("10 --fps 30").number("key_count"), at5);
}

}  // namespace
