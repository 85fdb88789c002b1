#include "engine/spline_track.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace {

// The four keys around the segment from k[1] to k[2] and the fraction t along it.
struct segment {
  int k[4];
  float t;
};

// Key count the samplers may use: never more than channel0 holds.
int usable_keys(const spline_track& track) {
  return std::min(track.key_count, int(std::min<size_t>(track.channel0.size(), spline_track::max_keys)));
}

// n must be at least 1.
segment locate(float p, int n) {
  segment s;
  uint16_t i;
  if (float(n - 2) > p && p > 2.0f) {
    i = uint16_t(p);
    s.t = p - float(i);
  } else {
    // The large offset makes slightly negative positions wrap to the end; it is rounded to float,
    // so on long tracks positions near the ends lose their fraction.
    float wrapped = float(double(p) + 10000.0 * n);
    if (!std::isfinite(wrapped)) wrapped = 0.0f;
    const float whole = std::trunc(wrapped);
    double index = std::fmod(double(whole), double(n));
    if (index < 0) index += n;
    i = uint16_t(index);
    s.t = wrapped - whole;
  }
  if (0 < i && i < n - 2) {
    s.k[0] = i - 1;
    s.k[1] = i;
    s.k[2] = i + 1;
    s.k[3] = i + 2;
  } else if (i != 0) {
    s.k[0] = i - 1;
    s.k[1] = i;
    s.k[2] = (i + 1) % n;
    s.k[3] = (i + 2) % n;
  } else {
    // Taken modulo n so that tracks of one or two keys stay inside the keys there are.
    s.k[0] = n - 1;
    s.k[1] = 0;
    s.k[2] = 1 % n;
    s.k[3] = 2 % n;
  }
  return s;
}

float hermite(float p0, float p1, float p2, float p3, float t) {
  const float m1 = float((double(p2) - p0) / 2.0);
  const float m2 = float((double(p3) - p1) / 2.0);
  const float t2 = float(double(t) * t);
  const double a = 3.0 * p2 - 3.0 * p1 - 2.0 * m1 - m2;
  const double b = 2.0 * p1 - 2.0 * p2 + m1 + m2;
  return float(p1 + double(m1) * t + a * t2 + b * t2 * t);
}

// Writes x, y and z of the point on `keys`; does nothing when a needed key is missing.
void interpolate(const std::vector<vec3>& keys, const segment& s, vec3& out) {
  const int last = *std::max_element(s.k, s.k + 4);
  if (last >= int(keys.size())) return;
  const vec3& a = keys[s.k[0]];
  const vec3& b = keys[s.k[1]];
  const vec3& c = keys[s.k[2]];
  const vec3& d = keys[s.k[3]];
  out.x = hermite(a.x, b.x, c.x, d.x, s.t);
  out.y = hermite(a.y, b.y, c.y, d.y, s.t);
  out.z = hermite(a.z, b.z, c.z, d.z, s.t);
}

}  // namespace

void spline_track::reset() {
  key_count = 0;
  channels = 3;
  channel0.clear();
  channel1.clear();
  channel2.clear();
}

std::string spline_track::load_keys(const char* path) {
  std::ifstream file(path);
  reset();
  if (!file) return std::string("cannot open: ") + std::strerror(errno);
  return read_keys(file);
}

std::string spline_track::read_keys(std::istream& in) {
  reset();
  unsigned count = 0;
  if (!(in >> count)) return in.eof() ? "empty" : "no key count at its start";
  if (count == 0) return "no keys (its count is 0)";
  std::string problem;
  if (count > unsigned(max_keys)) {
    problem = "its count " + std::to_string(count) + " is above the " + std::to_string(max_keys) +
              " keys a track holds; " + std::to_string(max_keys) + " are read";
    count = max_keys;
  }
  channel0.reserve(count);
  bool complete = true;
  for (unsigned k = 0; k < count; ++k) {
    vec3 key{1, 0.0f, 0.0f, 0.0f};
    // A failed read stores 0 or nothing, so the numbers a short file lacks stay 0.
    in >> key.x >> key.y >> key.z;
    if (complete && !in) {
      complete = false;
      const std::string why = in.eof()
                                  ? "the file ends after " + std::to_string(k) +
                                        (k == 1 ? " complete key of " : " complete keys of ") +
                                        std::to_string(count) + "; the numbers it lacks are 0"
                                  : "key " + std::to_string(k + 1) +
                                        " holds something that is not a number; the numbers from there on "
                                        "are 0";
      problem += (problem.empty() ? "" : "; ") + why;
    }
    channel0.push_back(key);
    ++key_count;
  }
  return problem;
}

vec3 spline_track::sample(float position) const {
  vec3 result{1, 100.0f, 0.0f, 0.0f};
  const int n = usable_keys(*this);
  if (n < 1) return result;
  interpolate(channel0, locate(position, n), result);
  return result;
}

void spline_track::sample_channels(float position, vec3& out0, vec3& out1, vec3& out2) const {
  if (channel0.empty()) {
    out0 = out1 = out2 = {1, 100.0f, 0.0f, 0.0f};
    return;
  }
  const int n = usable_keys(*this);
  if (n < 2) return;
  const segment s = locate(position, n);
  interpolate(channel0, s, out0);
  if (channels > 2) interpolate(channel2, s, out2);
  if (channels >= 2) interpolate(channel1, s, out1);
}

double response_curve(double x) {
  const double u = std::max(x, 0.0);
  const double b = std::pow(u / 2.0, 2.2);
  const double w = std::min(0.3 * u, 1.0);
  return u + (b - u) * (1.0 - w);
}
