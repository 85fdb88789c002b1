// Tube geometry through the recording sink: ring points, normals, vertex order, degenerate frames.
#include "engine/sweep_tube.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const vec3 up{1, 0, 0, 1};

void add_key(spline_track& track, vec3 centre, float radius) {
  centre.state = 1;
  track.channel0.push_back(centre);
  track.channel1.push_back({1, radius, 0, 0});
  track.channel2.push_back({1, 0, 0, 0});
  ++track.key_count;
}

void expect_point(const vec3& v, double x, double y, double z) {
  EXPECT_NEAR(v.x, x, 1e-5);
  EXPECT_NEAR(v.y, y, 1e-5);
  EXPECT_NEAR(v.z, z, 1e-5);
}

bool finite(const vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

TEST(SweepTube, RingsOnKeysOfABentTrack) {
  spline_track track;
  add_key(track, {1, 0, 0, 0}, 0.5f);
  add_key(track, {1, 1, 0, 0}, 1.0f);
  add_key(track, {1, 2, 1, 0}, 1.5f);
  add_key(track, {1, 2, 2, 0}, 2.0f);
  add_key(track, {1, 2, 3, 0}, 2.5f);
  tube_recording out;
  sweep_tube(out, track, up, 0.0, 3.0, 3, 4);

  ASSERT_EQ(out.primitive_starts.size(), 3u);
  EXPECT_EQ(out.open_primitives, 0);
  ASSERT_EQ(out.normals.size(), 12u);
  ASSERT_EQ(out.vertices.size(), 48u);
  EXPECT_EQ(out.primitive_starts[1], 16u);
  EXPECT_EQ(track.channels, 2);

  // Segment 0: centre (0,0,0) towards (1,0,0), then turning towards (2,1,0). Radius 0.5 (key 0)
  // for both rings; A0 = T0 x up = (0,-1,0), B0 = T0 x A0 = (0,0,-1); ring points run with
  // decreasing angle: Q + A r, Q - B r, Q - A r, Q + B r.
  const double s = std::sqrt(0.5);
  const vec3* v = out.vertices.data();
  expect_point(v[0], 0, -0.5, 0);                // ring 0, point 0
  expect_point(v[1], 1 + 0.5 * s, -0.5 * s, 0);  // ring 1, point 0: A1 = (s,-s,0)
  expect_point(v[2], 1, 0, 0.5);                 // ring 1, point 1
  expect_point(v[3], 0, 0, 0.5);                 // ring 0, point 1
  expect_point(v[4], 0, 0, 0.5);                 // next quad starts at ring 0, point 1
  expect_point(v[12], 0, 0, -0.5);               // last quad: ring 0, point 3
  expect_point(v[15], 0, -0.5, 0);               // ... closed by ring 0, point 4 = point 0
  expect_point(out.normals[0], 0, -1, 0);        // A0 unit
  expect_point(out.normals[1], 0, 0, 1);         // -B0 unit
  expect_point(out.normals[2], 0, 1, 0);

  // Segment 1 (odd): from key 1 with key 1's radius 1; normals lean one unit towards +z.
  expect_point(v[16], 1 + s, -s, 0);
  expect_point(out.normals[4], s, -s, 1);
  expect_point(out.normals[5], 0, 0, 2);
  // Segment 2 (even) from key 2, radius 1.5, tangent (0,1,0): A0 = (1,0,0).
  expect_point(v[32], 3.5, 1, 0);
  expect_point(out.normals[8], 1, 0, 0);
}

TEST(SweepTube, InterpolatedRingsOnACurve) {
  // Keys on the parabola (k, k^2, 0), which Catmull-Rom reproduces exactly; radius k.
  spline_track track;
  for (int k = 0; k < 10; ++k) add_key(track, {1, float(k), float(k * k), 0}, float(k));
  tube_recording out;
  sweep_tube(out, track, up, 2.5, 5.0, 3, 4);
  ASSERT_EQ(out.primitive_starts.size(), 3u);

  // Q0 = (2.5, 6.25), Q1 = (3.5, 12.25), Q2 = (4.5, 20.25); r = 2.5.
  const double l0 = std::sqrt(37.0), l1 = std::sqrt(65.0);
  expect_point(out.vertices[0], 2.5 + 2.5 * 6 / l0, 6.25 - 2.5 / l0, 0);
  expect_point(out.vertices[1], 3.5 + 2.5 * 8 / l1, 12.25 - 2.5 / l1, 0);
  expect_point(out.vertices[3], 2.5, 6.25, 2.5);  // ring 0 point 1: Q0 - B0 r with B0 = (0,0,-1)
  expect_point(out.normals[0], 6 / l0, -1 / l0, 0);
  // Segment 1 starts at 3.5 with radius 3.5.
  expect_point(out.vertices[16], 3.5 + 3.5 * 8 / l1, 12.25 - 3.5 / l1, 0);
}

TEST(SweepTube, DegenerateFramesCollapseWithoutNaN) {
  // Tangent parallel to up: every ring collapses to its centre.
  spline_track vertical;
  for (int k = 0; k < 6; ++k) add_key(vertical, {1, 0, 0, float(k)}, 1.0f);
  tube_recording out;
  sweep_tube(out, vertical, up, 0.0, 4.0, 4, 3);
  ASSERT_EQ(out.vertices.size(), 4u * 3u * 4u);
  for (size_t q = 0; q < out.normals.size(); ++q) {
    const size_t segment = q / 3;
    expect_point(out.normals[q], 0, 0, double(segment % 2));
    expect_point(out.vertices[4 * q], 0, 0, double(segment));
    expect_point(out.vertices[4 * q + 1], 0, 0, double(segment + 1));
  }

  // Two equal consecutive centres give a zero tangent for that segment.
  spline_track repeated;
  add_key(repeated, {1, 0, 0, 0}, 1.0f);
  add_key(repeated, {1, 0, 0, 0}, 1.0f);
  add_key(repeated, {1, 1, 0, 0}, 1.0f);
  add_key(repeated, {1, 2, 0, 0}, 1.0f);
  out.clear();
  sweep_tube(out, repeated, up, 0.0, 2.0, 2, 5);
  for (int k = 0; k < 5; ++k) expect_point(out.normals[k], 0, 0, 0);
  for (int k = 0; k < 20; k += 4) expect_point(out.vertices[k], 0, 0, 0);

  // 100 keys swept 0..100 in 100 segments: every ring on a key; position 100 clamps to key 99,
  // so the last segment collapses onto it.
  spline_track long_track;
  for (int k = 0; k < 100; ++k) add_key(long_track, {1, float(k), std::sin(k * 0.1f), 0}, 0.25f);
  out.clear();
  sweep_tube(out, long_track, up, 0.0, 100.0, 100, 6);
  ASSERT_EQ(out.primitive_starts.size(), 100u);
  for (const vec3& p : out.vertices) ASSERT_TRUE(finite(p));
  for (const vec3& n : out.normals) ASSERT_TRUE(finite(n));
  const size_t last = out.primitive_starts.back();
  for (size_t k = last; k < out.vertices.size(); ++k) expect_point(out.vertices[k], 99, std::sin(9.9f), 0);
  // The ring of segment 10 sits on key 10 at radius 0.25.
  const vec3& ring = out.vertices[out.primitive_starts[10]];
  EXPECT_NEAR(std::hypot(ring.x - 10.0, ring.y - std::sin(1.0f)), 0.25, 1e-5);
}

TEST(SweepTube, SegmentCountAndLimits) {
  spline_track track;
  for (int k = 0; k < 10; ++k) add_key(track, {1, float(k), float(k % 3), 0}, 1.0f);
  tube_recording out;
  // A fractional end adds segments: trunc(3 + (3 / 1.5) * 0.5) = 4.
  sweep_tube(out, track, up, 0.0, 1.5, 3, 3);
  EXPECT_EQ(out.primitive_starts.size(), 4u);

  for (int sides : {0, -2}) {
    out.clear();
    sweep_tube(out, track, up, 0.0, 5.0, 5, sides);
    EXPECT_TRUE(out.vertices.empty());
  }
  for (double end : {0.0, double(NAN), double(INFINITY)}) {
    out.clear();
    sweep_tube(out, track, up, 0.0, end, 5, 3);
    EXPECT_TRUE(out.vertices.empty()) << end;
  }
  out.clear();
  sweep_tube(out, track, up, 0.0, 5.0, 0, 3);
  EXPECT_TRUE(out.vertices.empty());

  // More than 999 sides are limited to 999; the ring still closes.
  out.clear();
  sweep_tube(out, track, up, 0.0, 1.0, 1, 5000);
  ASSERT_EQ(out.normals.size(), 999u);
  expect_point(out.vertices.back(), out.vertices.front().x, out.vertices.front().y, out.vertices.front().z);

  // An empty track gives finite geometry.
  spline_track empty;
  out.clear();
  sweep_tube(out, empty, up, 0.5, 3.0, 3, 3);
  for (const vec3& p : out.vertices) ASSERT_TRUE(finite(p));
}

}  // namespace
