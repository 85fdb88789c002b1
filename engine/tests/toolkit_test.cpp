// Vectors, key tracks, the response curve and the pseudo-random generator.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/random.h"
#include "engine/spline_track.h"
#include "engine/vec3.h"

namespace {

vec3 valid(float x, float y, float z) { return {1, x, y, z}; }

// A track whose key k is (k*k, -k, 7) for k = 0..n-1.
spline_track squares_track(int n) {
  spline_track track;
  for (int k = 0; k < n; ++k) {
    track.channel0.push_back(valid(float(k * k), float(-k), 7.0f));
    ++track.key_count;
  }
  return track;
}

// Catmull-Rom at the middle of a segment: (-P0 + 9 P1 + 9 P2 - P3) / 16.
float midpoint(float p0, float p1, float p2, float p3) { return (-p0 + 9 * p1 + 9 * p2 - p3) / 16; }

std::string write_temp(const std::string& name, const std::string& text) {
  const auto path = std::filesystem::temp_directory_path() / ("engine_toolkit_" + name);
  std::ofstream(path) << text;
  return path.string();
}

TEST(Random, SequenceAfterSeeding) {
  random_seed(1);
  const int expected[] = {41, 18467, 6334, 26500, 19169};
  for (int value : expected) EXPECT_EQ(random_next(), value);
  random_seed(0);
  EXPECT_EQ(random_next(), 38);
  random_seed(1);
  EXPECT_DOUBLE_EQ(random_unit(), 41 / 32767.0);
}

TEST(Vec3, StateRules) {
  vec3 undefined;
  vec3 a = valid(1, 2, 3), b = valid(4, 5, 6), r;
  vec_add(a, b, r);
  EXPECT_EQ(r.state, 1);
  EXPECT_EQ(r.x, 5);
  EXPECT_EQ(r.z, 9);
  vec_sub(a, b, r);
  EXPECT_EQ(r.y, -3);
  vec_cross(a, b, r);
  EXPECT_EQ(r.x, 2 * 6 - 3 * 5);
  EXPECT_EQ(r.y, 3 * 4 - 1 * 6);
  EXPECT_EQ(r.z, 1 * 5 - 2 * 4);
  for (auto op : {vec_add, vec_sub, vec_cross}) {
    op(undefined, b, r);
    EXPECT_EQ(r.state, 1);
    EXPECT_EQ(r.x + r.y + r.z, 0);
    op(a, undefined, r);
    EXPECT_EQ(r.x + r.y + r.z, 0);
  }
  r = vec_scaled(undefined, 3);
  EXPECT_EQ(r.state, 1);
  EXPECT_EQ(r.x, 0);
}

TEST(Vec3, NormalizeMarksAndKeepsUnitVectors) {
  vec3 v = valid(3, 0, 4);
  vec_normalize(v);
  EXPECT_EQ(v.state, 2);
  EXPECT_FLOAT_EQ(v.x, 0.6f);
  EXPECT_FLOAT_EQ(v.z, 0.8f);

  // A scaled unit vector keeps state 2, so normalising it again leaves its length at 3.
  vec3 tripled = vec_scaled(v, 3);
  EXPECT_EQ(tripled.state, 2);
  vec_normalize(tripled);
  EXPECT_FLOAT_EQ(std::sqrt(tripled.x * tripled.x + tripled.z * tripled.z), 3.0f);

  vec3 tiny = valid(0, 0, 1e-9f);
  vec_normalize(tiny);
  EXPECT_EQ(tiny.state, 2);
  EXPECT_EQ(tiny.z, 0);
  vec_normalize(tiny);
  EXPECT_EQ(tiny.z, 0);

  // Components whose squares overflow a float still give a unit vector.
  vec3 huge = valid(3e30f, 0, 4e30f);
  vec_normalize(huge);
  EXPECT_FLOAT_EQ(huge.x, 0.6f);

  vec3 undefined{0, 5, 0, 0};
  vec_normalize(undefined);
  EXPECT_EQ(undefined.state, 0);
  EXPECT_EQ(undefined.x, 5);
}

TEST(SplineTrack, IndexAndNeighbourRules) {
  const spline_track track = squares_track(10);
  // Fast path: keys 1..4.
  EXPECT_FLOAT_EQ(track.sample(2.5f).x, midpoint(1, 4, 9, 16));
  // Near the start: keys 9, 0, 1, 2.
  EXPECT_FLOAT_EQ(track.sample(0.5f).x, midpoint(81, 0, 1, 4));
  // Near the end: keys 8, 9, 0, 1.
  EXPECT_FLOAT_EQ(track.sample(9.5f).x, midpoint(64, 81, 0, 1));
  EXPECT_FLOAT_EQ(track.sample(-0.5f).x, midpoint(64, 81, 0, 1));
  // Keys 7, 8, 9, 0 (i = n - 2 takes the wrapping neighbour rule).
  EXPECT_FLOAT_EQ(track.sample(8.5f).x, midpoint(49, 64, 81, 0));
  EXPECT_FLOAT_EQ(track.sample(8.5f).y, midpoint(-7, -8, -9, 0));
  EXPECT_FLOAT_EQ(track.sample(8.5f).z, 7.0f);

  const vec3 at_end = track.sample(10.0f);
  const vec3 at_start = track.sample(0.0f);
  EXPECT_EQ(at_end.x, 0);
  EXPECT_EQ(at_end.y, at_start.y);
  EXPECT_EQ(at_end.state, 1);
  // An integer position on the fast path returns its key exactly.
  EXPECT_EQ(track.sample(5.0f).x, 25.0f);
  EXPECT_EQ(track.sample(5.0f).y, -5.0f);
}

TEST(SplineTrack, WrapPathLosesFractionOnLongTracks) {
  const spline_track track = squares_track(1000);
  // Near either end the position is offset by 10^7 in single precision: the fraction is lost.
  EXPECT_EQ(track.sample(0.5f).x, 0.0f);
  EXPECT_EQ(track.sample(998.7f).x, 999.0f * 999.0f);
  EXPECT_EQ(track.sample(999.5f).x, 0.0f);
  // Inside, the fast path still interpolates.
  EXPECT_FLOAT_EQ(track.sample(500.5f).x, midpoint(499 * 499, 500 * 500, 501 * 501, 502 * 502));
}

TEST(SplineTrack, ShortTracksGiveDefinedPoints) {
  spline_track track;
  vec3 empty = track.sample(3.0f);
  EXPECT_EQ(empty.state, 1);
  EXPECT_EQ(empty.x, 100);

  track = squares_track(1);
  EXPECT_EQ(track.sample(0.5f).y, 0);
  EXPECT_EQ(track.sample(7.25f).z, 7);

  track = squares_track(2);  // keys (0, 0, 7) and (1, -1, 7)
  for (float p : {0.0f, 0.5f, 1.5f, 2.5f, -3.0f}) {
    const vec3 v = track.sample(p);
    EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y)) << p;
  }
  EXPECT_FLOAT_EQ(track.sample(0.5f).x, midpoint(1, 0, 1, 0));

  // More keys counted than stored: only the stored ones are read.
  track = squares_track(3);
  track.key_count = 50;
  EXPECT_TRUE(std::isfinite(track.sample(20.5f).x));

  // Positions that are not numbers still sample a key.
  EXPECT_TRUE(std::isfinite(squares_track(10).sample(NAN).x));
  EXPECT_TRUE(std::isfinite(squares_track(10).sample(INFINITY).x));
}

TEST(SplineTrack, SampleChannelsByChannelCount) {
  spline_track track = squares_track(10);
  for (int k = 0; k < 10; ++k) {
    track.channel1.push_back(valid(float(k), 0, 0));
    track.channel2.push_back(valid(0, float(2 * k), 0));
  }
  const vec3 marker{1, -1, -1, -1};
  vec3 out0 = marker, out1 = marker, out2 = marker;
  track.channels = 1;
  track.sample_channels(2.5f, out0, out1, out2);
  EXPECT_FLOAT_EQ(out0.x, midpoint(1, 4, 9, 16));
  EXPECT_EQ(out1.x, -1);
  EXPECT_EQ(out2.y, -1);

  track.channels = 2;
  track.sample_channels(2.5f, out0, out1, out2);
  EXPECT_FLOAT_EQ(out1.x, 2.5f);
  EXPECT_EQ(out2.y, -1);

  track.channels = 3;
  track.sample_channels(0.5f, out0, out1, out2);
  EXPECT_FLOAT_EQ(out1.x, midpoint(9, 0, 1, 2));
  EXPECT_FLOAT_EQ(out2.y, midpoint(18, 0, 2, 4));

  // A channel shorter than the keys is left alone.
  track.channel2.resize(3);
  out2 = marker;
  track.sample_channels(6.5f, out0, out1, out2);
  EXPECT_EQ(out2.y, -1);

  spline_track empty;
  empty.sample_channels(1.0f, out0, out1, out2);
  EXPECT_EQ(out0.x, 100);
  EXPECT_EQ(out2.x, 100);
  EXPECT_EQ(out1.state, 1);

  spline_track single = squares_track(1);
  out0 = marker;
  single.sample_channels(0.0f, out0, out1, out2);
  EXPECT_EQ(out0.x, -1);
}

TEST(SplineTrack, LoadKeys) {
  spline_track track;
  EXPECT_EQ(track.load_keys(write_temp("full.txt", "3\n1 2 3\n4.5 -5 6\n7 8 9\n").c_str()), "");
  ASSERT_EQ(track.key_count, 3);
  ASSERT_EQ(track.channel0.size(), 3u);
  EXPECT_EQ(track.channel0[1].x, 4.5f);
  EXPECT_EQ(track.channel0[1].y, -5.0f);
  EXPECT_EQ(track.channel0[2].state, 1);
  EXPECT_EQ(track.channels, 3);

  // Damaged files: what is read of them, and what load_keys says about them.
  struct damaged {
    const char* name;
    const char* text;
    int keys;
    const char* problem;
  } files[] = {
      // A short file: the numbers it lacks stay 0.
      {"short.txt", "4\n1 2 3\n4 5", 4,
       "the file ends after 1 complete key of 4; the numbers it lacks are 0"},
      // A number that does not read: it and everything after it stay 0.
      {"damaged.txt", "3\n1 2 3\n4 x 6\n7 8 9\n", 3,
       "key 2 holds something that is not a number; the numbers from there on are 0"},
      // An unreadable count empties the track.
      {"garbage.txt", "keys: 3\n1 2 3\n", 0, "no key count at its start"},
      {"empty.txt", "", 0, "empty"},
      {"none.txt", "0\n", 0, "no keys (its count is 0)"},
      // A count beyond the 16-bit key range is limited to it.
      {"huge.txt", "4000000000\n1 2 3\n", spline_track::max_keys,
       "its count 4000000000 is above the 65535 keys a track holds; 65535 are read; the file ends after 1 "
       "complete key of 65535; the numbers it lacks are 0"},
  };
  for (const damaged& f : files) {
    EXPECT_EQ(track.load_keys(write_temp(f.name, f.text).c_str()), f.problem) << f.name;
    EXPECT_EQ(track.key_count, f.keys) << f.name;
    EXPECT_EQ(track.channel0.size(), size_t(f.keys)) << f.name;
    for (const vec3& key : track.channel0) EXPECT_EQ(key.state, 1);
    if (f.keys > 0) {
      EXPECT_EQ(track.channel0[0].x, 1) << f.name;
    }
  }
  track.load_keys(write_temp("short.txt", "4\n1 2 3\n4 5").c_str());
  EXPECT_EQ(track.channel0[1].x, 4);
  EXPECT_EQ(track.channel0[1].y, 5);
  EXPECT_EQ(track.channel0[1].z, 0);
  EXPECT_EQ(track.channel0[3].x, 0);
  track.load_keys(write_temp("damaged.txt", "3\n1 2 3\n4 x 6\n7 8 9\n").c_str());
  EXPECT_EQ(track.channel0[1].x, 4);
  EXPECT_EQ(track.channel0[2].x, 0);
  track.load_keys(write_temp("huge.txt", "4000000000\n1 2 3\n").c_str());
  EXPECT_EQ(track.channel0[0].z, 3);
  EXPECT_EQ(track.channel0.back().z, 0);

  // A missing file empties the track, and sampling it stays defined.
  EXPECT_EQ(track.load_keys("/nonexistent/engine_toolkit_missing.txt"),
            "cannot open: No such file or directory");
  EXPECT_EQ(track.key_count, 0);
  EXPECT_TRUE(track.channel0.empty());
  EXPECT_EQ(track.sample(1.5f).x, 100);
}

TEST(ResponseCurve, KnownValues) {
  EXPECT_NEAR(response_curve(1.0), 1.0 + (std::pow(0.5, 2.2) - 1.0) * 0.7, 1e-12);
  EXPECT_NEAR(response_curve(1.0), 0.4523, 1e-4);
  EXPECT_DOUBLE_EQ(response_curve(4.0), 4.0);
  EXPECT_DOUBLE_EQ(response_curve(10.0 / 3.0), 10.0 / 3.0);
  EXPECT_EQ(response_curve(0.0), 0.0);
  EXPECT_EQ(response_curve(-2.0), 0.0);
}

}  // namespace
