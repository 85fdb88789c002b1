// The show's clocks, warp, music envelope and camera path, and the frame steps around them.
#include "show/timeline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>

#include "engine/render_context.h"
#include "engine/spline_track.h"
#include "show/part_start.h"

namespace {

void expect_vec(const vec3& v, double x, double y, double z, double tol = 1e-4) {
  EXPECT_NEAR(v.x, x, tol);
  EXPECT_NEAR(v.y, y, tol);
  EXPECT_NEAR(v.z, z, tol);
}

TEST(ShowTimeline, WarpJumpsOnlyStrictlyAfterItsBoundaries) {
  EXPECT_EQ(warp_time(83.4), 83.4);
  EXPECT_NEAR(warp_time(83.40001), 108.40001, 1e-9);
  EXPECT_EQ(warp_time(192.0), 192.0 + 25.0);
  EXPECT_NEAR(warp_time(192.00001), 241.00001, 1e-9);
  // The offsets replace each other rather than add up.
  EXPECT_NEAR(warp_time(215.0), 264.0, 1e-9);
}

TEST(ShowTimeline, SpectrumGainRisesAndFalls) {
  EXPECT_EQ(dsp_gain_at(3.0), 0.0);
  EXPECT_NEAR(dsp_gain_at(5.5), 1.0, 1e-12);
  EXPECT_EQ(dsp_gain_at(8.0), 2.0);
  EXPECT_EQ(dsp_gain_at(256.0), 2.0);
  EXPECT_NEAR(dsp_gain_at(256.625), 1.0, 1e-12);
  EXPECT_EQ(dsp_gain_at(257.25), 0.0);
}

TEST(ShowCamera, DriftAloneUpToSixAndTargetAloneFromSixteen) {
  double travel = 0.0;
  double start_y = 0.0;
  camera start = main_camera(0.0, 0.0, 0, 0, start_y);
  expect_vec(start.eye, 0, -16, 0);
  expect_vec(start.center, 0, -12, 0);
  expect_vec(start.up, 0, 0, 1);
  EXPECT_EQ(start_y, -20.0);

  expect_vec(main_camera(6.0, 6.0, 0, 0, travel).eye, 0, -15.4, 0);
  // Half way through the blend: drift eye y -14.9, target eye y 2.
  expect_vec(main_camera(11.0, 11.0, 0, 0, travel).eye, 0, (-14.9 + 2.0) / 2, 0);
  double full_y = 0.0;
  camera full = main_camera(20.0, 20.0, 0, 0, full_y);
  expect_vec(full.eye, 0, 20, 0);
  expect_vec(full.center, 0, 24, 0);
  EXPECT_EQ(full_y, 20.0);
}

TEST(ShowCamera, UpTurnsAfterThirtySixAndTiltsAfterFiftySeven) {
  double travel = 0.0;
  expect_vec(main_camera(36.5, 36.5, 0, 0, travel).up, 0, 0, 1);
  // e1 = 0.5 at t = 36.5 + 1/0.3.
  expect_vec(main_camera(36.5 + 1 / 0.3, 36.5 + 1 / 0.3, 0, 0, travel).up, -0.5, 0, 0.5);
  expect_vec(main_camera(50.0, 50.0, 0, 0, travel).up, -1, 0, 0);
  expect_vec(main_camera(56.9, 56.9, 0, 0, travel).up, -1, 0, 0);
  expect_vec(main_camera(60.0, 60.0, 0, 0, travel).up, -1, 0, 0.78);
  // The tilt fades out between t = 106 and t = 106 + 1/0.13.
  expect_vec(main_camera(106.0 + 0.5 / 0.13, 81.0, 0, 0, travel).up, -1, 0, 0.39);
  expect_vec(main_camera(114.0, 89.0, 0, 0, travel).up, -1, 0, 0);
}

TEST(ShowCamera, RowAfter104FollowsTheKeyTrackFrom134) {
  // A flat track: centre straight ahead, up (-1, 0, 0).
  double flat_y = 0.0;
  camera flat = main_camera(140.0, 115.0, 0, 0, flat_y);
  expect_vec(flat.eye, 0, 246.8 - 1.7 * 140, 0);
  expect_vec(flat.center, 0, 246.8 - 1.7 * 140 - 4, 0);
  expect_vec(flat.up, -1, 0, 0);
  EXPECT_NEAR(flat_y, 8.8, 1e-9);

  double before_y = 0.0;
  camera before = main_camera(120.0, 95.0, 1, 2, before_y);
  expect_vec(before.center, 0, 246.8 - 1.7 * 120 - 4, 0);
  // k = 0.5 at t = 135.
  double half_y = 0.0;
  camera half = main_camera(135.0, 110.0, 1, 2, half_y);
  expect_vec(half.center, 2.0, 246.8 - 1.7 * 135 - 4, -1.0);
  expect_vec(half.up, -1, 0, 0.15);
}

TEST(ShowCamera, RowsAfter167And188And230And1260) {
  double travel = 0.0;
  double r167_y = 0.0;
  camera r167 = main_camera(170.0, 121.0, 5, 5, r167_y);
  expect_vec(r167.eye, 0, 30, -6);
  expect_vec(r167.center, -5, 35.6, 1);
  expect_vec(r167.up, -1, 0, 0);  // the turn has not faded in before ft = 148
  EXPECT_NEAR(r167_y, 30.0, 1e-9);
  const double a = 170.0 * 2.25 * 2 * std::numbers::pi / 16;
  expect_vec(main_camera(170.0, 160.0, 0, 0, travel).up, std::cos(a), 0, std::sin(a));

  double r188_y = 0.0;
  camera r188 = main_camera(200.0, 151.0, 0, 0, r188_y);
  expect_vec(r188.eye, 0, 759.6 - 640, 0, 1e-3);
  expect_vec(r188.center, 0, 759.6 - 644, 0, 1e-3);
  expect_vec(r188.up, std::cos(60.8), 0, std::sin(60.8));

  double r230_y = 0.0;
  camera r230 = main_camera(250.0, 201.0, 0, 0, r230_y);
  const double z = 4.0 + 3.0 * response_curve(0.5);
  EXPECT_NEAR(r230_y, z, 1e-9);
  expect_vec(r230.eye, 0, z, 0);
  expect_vec(r230.center, 0.6, z - 4, 0);
  expect_vec(r230.up, 1, 0, 0);
  // The running time adds its own push from ft = 204 on.
  main_camera(250.0, 208.0, 0, 0, travel);
  EXPECT_NEAR(travel, z + 1.2 * response_curve(2.0), 1e-9);

  double end_y = 0.0;
  camera end = main_camera(1300.0, 1251.0, 0, 0, end_y);
  expect_vec(end.eye, 0, 0, 20);
  expect_vec(end.center, 0, 0, 0);
  expect_vec(end.up, 0, 1, 0);
}

TEST(ShowCombinePass, LimitDependsOnlyOnTheShowTime) {
  EXPECT_EQ(combine_limit(42.125), combine_limit(42.125));
  EXPECT_EQ(combine_seed(-2.0), static_cast<uint32_t>(-846848));
  std::set<double> values;
  for (int i = 0; i < 100; i++) {
    double limit = combine_limit(10.0 + i * 0.0167);
    EXPECT_GE(limit, 0.0);
    EXPECT_LE(limit, 1.0);
    values.insert(limit);
  }
  EXPECT_GT(values.size(), 90u);
}

// A part whose key track is the straight line key k = (k, 2k, 0).
struct FrameFixture : ::testing::Test {
  part_start part;
  render_context context;
  frame_state state{};
  void SetUp() override {
    for (int k = 0; k < 20000; k++) {
      part.key_track.channel0.push_back(make_vec3(k, 2 * k, 0));
      part.key_track.key_count++;
    }
  }
};

TEST_F(FrameFixture, FirstFrameWithZeroStepShowsTheDriftCamera) {
  begin_show_frame(part, 0.0, context, state);
  EXPECT_EQ(part.fttime, 0.0);
  EXPECT_EQ(part.frame_count, 1);
  expect_vec(context.main_camera.eye, 0, -16, 0);
  expect_vec(context.main_camera.center, 0, -12, 0);
  expect_vec(context.main_camera.up, 0, 0, 1);
  EXPECT_EQ(part.state_copy.track_x, 0.0);
  EXPECT_EQ(part.key_track.key_count, 20001);
}

TEST_F(FrameFixture, LargeNegativeStepHoldsTheClockAtMinusTwo) {
  begin_show_frame(part, -100.0, context, state);
  EXPECT_EQ(part.fttime, -2.0);
  EXPECT_EQ(part.ttime, -2.0);
  expect_vec(context.main_camera.eye, 0, -16.2, 0);
  end_show_frame(part, state);
  EXPECT_EQ(state.scene_time, -2.0);
}

TEST_F(FrameFixture, TrackIsSampledAtTheTimeBeforeTheStepAndGrowsByOneKey) {
  part.ttime = part.fttime = 2.0;
  begin_show_frame(part, 0.5, context, state);
  EXPECT_NEAR(part.state_copy.track_x, 80.0, 1e-3);
  EXPECT_NEAR(part.state_copy.track_y, 160.0, 1e-3);
  EXPECT_EQ(part.state_copy.track_z, 0.0);
  EXPECT_EQ(part.last_step, 0.5);
  ASSERT_EQ(part.key_track.key_count, 20001);
  expect_vec(part.key_track.channel0.back(), 80, 160, 0, 1e-3);
  end_show_frame(part, state);
  EXPECT_EQ(state.track_x, part.state_copy.track_x);
  EXPECT_FLOAT_EQ(part.last_track_y, 160.0f);
}

TEST_F(FrameFixture, TrackStopsGrowingAtItsKeyLimit) {
  while (part.key_track.key_count < spline_track::max_keys) {
    part.key_track.channel0.push_back(make_vec3(0, 0, 0));
    part.key_track.key_count++;
  }
  begin_show_frame(part, 0.01, context, state);
  EXPECT_EQ(part.key_track.key_count, spline_track::max_keys);
  EXPECT_EQ(part.key_track.channel0.size(), static_cast<size_t>(spline_track::max_keys));
}

TEST_F(FrameFixture, WarpIsUndoneAtTheEndOfEveryFrame) {
  part.ttime = part.fttime = 83.39;
  state.limit = 0.25;
  begin_show_frame(part, 0.02, context, state);
  EXPECT_NEAR(part.ttime, 108.41, 1e-9);
  EXPECT_NEAR(part.dsp_gain, 2.0, 1e-12);
  EXPECT_NEAR(part.PositionY, 246.8 - 1.7 * part.ttime, 1e-9);
  end_show_frame(part, state);
  EXPECT_NEAR(part.ttime, 83.41, 1e-9);
  EXPECT_NEAR(state.scene_time, 83.41, 1e-9);
  EXPECT_EQ(state.limit, 0.25);
  begin_show_frame(part, 0.0, context, state);
  EXPECT_NEAR(part.ttime, 108.41, 1e-9);
}

TEST_F(FrameFixture, MissingKeyFileLeavesTheTrackValuesAtZero) {
  part.key_track.reset();
  part.ttime = part.fttime = 120.0;  // ttime 145: the camera follows the track fully
  begin_show_frame(part, 0.01, context, state);
  EXPECT_EQ(part.state_copy.track_x, 0.0);
  EXPECT_EQ(part.state_copy.track_y, 0.0);
  const double z = 246.8 - 1.7 * 145.01;
  expect_vec(context.main_camera.center, 0, z - 4, 0, 1e-3);
  expect_vec(context.main_camera.up, -1, 0, 0);
}

}  // namespace
