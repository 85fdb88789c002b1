#include "engine/sweep_tube.h"

#include <GL/glew.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

namespace {

constexpr int max_sides = 999;

const vec3 zero_point{1, 0.0f, 0.0f, 0.0f};

// A position within 0.0001 of an integer counts as that key.
bool on_key(double p) { return std::fabs(p - std::trunc(p)) < 0.0001; }

// The key at trunc(p), clamped to the keys the channel holds (no wrap-around).
const vec3& key_at(const std::vector<vec3>& channel, double p) {
  if (channel.empty()) return zero_point;
  const double k = std::clamp(std::trunc(p), 0.0, double(channel.size() - 1));
  return channel[size_t(k)];
}

// Unit tangent from a to b and the ring axes it gives with `up`.
void ring_frame(const vec3& a, const vec3& b, const vec3& up, vec3& axis_a, vec3& axis_b) {
  vec3 tangent;
  vec_sub(b, a, tangent);
  vec_normalize(tangent);
  vec_cross(tangent, up, axis_a);
  vec_normalize(axis_a);
  vec_cross(tangent, axis_a, axis_b);
  vec_normalize(axis_b);
}

// centre + b * s + a * c
vec3 ring_point(const vec3& centre, const vec3& b, const vec3& a, float s, float c) {
  vec3 p;
  vec_add(centre, vec_scaled(b, s), p);
  vec_add(p, vec_scaled(a, c), p);
  return p;
}

}  // namespace

void tube_gl_sink::begin() { glBegin(GL_QUADS); }
void tube_gl_sink::normal(const vec3& n) { glNormal3f(n.x, n.y, n.z); }
void tube_gl_sink::vertex(const vec3& v) { glVertex3f(v.x, v.y, v.z); }
void tube_gl_sink::end() { glEnd(); }

template <class Sink>
void sweep_tube(Sink& sink, spline_track& track, const vec3& up, const double& start, const double& end,
                int segments, int sides) {
  if (sides < 1 || segments < 1) return;
  sides = std::min(sides, max_sides);
  float sines[max_sides + 1];
  float cosines[max_sides + 1];
  const double angle_step = -2.0 * std::numbers::pi / sides;
  for (int j = 0; j <= sides; ++j) {
    sines[j] = float(std::sin(j * angle_step));
    cosines[j] = float(std::cos(j * angle_step));
  }

  const double span = std::trunc(end) - std::trunc(start);
  const double step = span / segments;
  // A fractional end adds segments in proportion. A count that is not a number (end 0, or an end
  // or start that is not finite) draws nothing.
  const double count = segments + (segments / end) * (end - std::trunc(end));
  if (!(count >= 1.0) || !std::isfinite(step)) return;
  const int n = int(std::min(count, double(INT_MAX)));

  double p0 = start;
  double p1 = start + step;
  double p2 = start + 2.0 * step;
  for (int i = 0; i < n; ++i) {
    track.channels = 2;
    vec3 q0 = zero_point, q1 = zero_point, q2 = zero_point, radius = zero_point, unused;
    if (on_key(p0)) {
      q0 = key_at(track.channel0, p0);
      radius = key_at(track.channel1, p0);
    } else {
      track.sample_channels(float(p0), q0, radius, unused);
    }
    if (on_key(p1)) {
      q1 = key_at(track.channel0, p1);
    } else {
      track.sample_channels(float(p1), q1, unused, unused);
    }
    q2 = on_key(p2) ? key_at(track.channel0, p2) : track.sample(float(p2));

    vec3 a0, b0, a1, b1;
    ring_frame(q0, q1, up, a0, b0);
    ring_frame(q1, q2, up, a1, b1);
    const vec3 a0_unit = a0, b0_unit = b0;
    // The start radius serves both rings of the segment.
    const float r = radius.x;
    vec_scale(a0, r, a0);
    vec_scale(b0, r, b0);
    vec_scale(a1, r, a1);
    vec_scale(b1, r, b1);
    p0 += step;
    p1 += step;
    p2 += step;

    // Odd segments lean their normals one unit towards +z, so neighbours shade differently.
    const vec3 lean{1, 0.0f, 0.0f, float(i % 2)};
    sink.begin();
    vec3 ring0 = ring_point(q0, b0, a0, sines[0], cosines[0]);
    vec3 ring1 = ring_point(q1, b1, a1, sines[0], cosines[0]);
    for (int j = 0; j < sides; ++j) {
      const vec3 next0 = ring_point(q0, b0, a0, sines[j + 1], cosines[j + 1]);
      const vec3 next1 = ring_point(q1, b1, a1, sines[j + 1], cosines[j + 1]);
      vec3 normal;
      vec_add(vec_scaled(b0_unit, sines[j]), vec_scaled(a0_unit, cosines[j]), normal);
      vec_add(normal, lean, normal);
      sink.normal(normal);
      sink.vertex(ring0);
      sink.vertex(ring1);
      sink.vertex(next1);
      sink.vertex(next0);
      ring0 = next0;
      ring1 = next1;
    }
    sink.end();
  }
}

template void sweep_tube<tube_gl_sink>(tube_gl_sink&, spline_track&, const vec3&, const double&,
                                       const double&, int, int);
template void sweep_tube<tube_recording>(tube_recording&, spline_track&, const vec3&, const double&,
                                         const double&, int, int);

void sweep_tube(spline_track& track, const vec3& up, const double& start, const double& end, int segments,
                int sides) {
  tube_gl_sink sink;
  sweep_tube(sink, track, up, start, end, segments, sides);
}
