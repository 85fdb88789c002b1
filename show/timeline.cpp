#include "show/timeline.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/random.h"
#include "engine/spline_track.h"

namespace {

constexpr double beats_per_second = 135.0 / 60.0;

// a + (b - a) * f in double, for the camera blend.
double mix(double a, double b, double f) { return a + (b - a) * f; }

vec3 mix(const vec3& a, const vec3& b, double f) {
  return make_vec3(mix(a.x, b.x, f), mix(a.y, b.y, f), mix(a.z, b.z, f));
}

}  // namespace

vec3 make_vec3(double x, double y, double z) {
  vec3 v;
  v.state = 1;
  v.x = static_cast<float>(x);
  v.y = static_cast<float>(y);
  v.z = static_cast<float>(z);
  return v;
}

double clamp01(double x) { return std::clamp(x, 0.0, 1.0); }

double ease1(double x) { return (1.0 - std::cos(std::numbers::pi * clamp01(x))) * 0.5; }

double ease_window(double t, double a, double b) { return ease1((t - a) * b); }

double advance_running_time(double previous, double step) { return std::max(previous + step, -2.0); }

double warp_time(double fttime) {
  double t = fttime;
  if (fttime > 83.4) t = fttime + 25.0;
  if (fttime > 192.0) t = fttime + 49.0;
  return t;
}

double dsp_gain_at(double fttime) {
  return 2.0 * clamp01((fttime - 3.0) * 0.2) * (1.0 - clamp01((fttime - 256.0) * 0.8));
}

view_points drift_camera(double t) {
  return {make_vec3(0, 0.1 * t - 16.0, 0), make_vec3(0, 0.1 * t - 12.0, 0), make_vec3(0, 0, 1)};
}

camera_pose target_camera(double t, double ft, double x, double y) {
  camera_pose p;
  double z = 2.0 * t - 20.0;
  p.camera = {make_vec3(0, z, 0), make_vec3(0, z + 4.0, 0), make_vec3(0, 0, 1)};
  if (t > 36.5) {
    double e1 = ease1((t - 36.5) * 0.15);
    p.camera.up = make_vec3(-e1, 0, 1.0 - e1);
  }
  if (t > 104.0) {
    z = 246.8 - 1.7 * t;
    double k = clamp01((t - 134.0) * 0.5);
    p.camera = {make_vec3(0, z, 0), make_vec3(2.0 * k * y, z - 4.0, -2.0 * k * x),
                make_vec3(-1, 0, 0.1 * k * (x + y))};
  }
  if (t > 167.27) {
    z = 1050.0 - 6.0 * t;
    double a = t * beats_per_second * 2.0 * std::numbers::pi / 16.0;
    double e2 = ease1((ft - 148.0) * 0.3);
    p.camera = {make_vec3(0, z, -6), make_vec3(-5, z + 5.6, 1),
                make_vec3(-(1.0 - e2) + e2 * std::cos(a), 0, e2 * std::sin(a))};
  }
  if (t > 188.5) {
    z = 759.6 - 3.2 * t;
    double b = 0.3 * t + 0.8;
    p.camera = {make_vec3(0, z, 0), make_vec3(0, z - 4.0, 0), make_vec3(std::cos(b), 0, std::sin(b))};
  }
  if (t > 230.0) {
    z = 754.0 - 3.0 * t + 3.0 * response_curve((t - 249.0) * 0.5) + 1.2 * response_curve((ft - 204.0) * 0.5);
    p.camera = {make_vec3(0, z, 0), make_vec3(0.6, z - 4.0, 0), make_vec3(1, 0, 0)};
  }
  if (t > 1260.0) {
    p.camera = {make_vec3(0, 0, 20), make_vec3(0, 0, 0), make_vec3(0, 1, 0)};
  }
  p.position_y = z;
  return p;
}

camera_pose main_camera(double t, double ft, double x, double y) {
  camera_pose target = target_camera(t, ft, x, y);
  view_points drift = drift_camera(t);
  double f = ease1((t - 6.0) * 0.1);
  camera_pose p;
  p.position_y = target.position_y;
  p.camera.eye = mix(drift.eye, target.camera.eye, f);
  p.camera.center = mix(drift.center, target.camera.center, f);
  p.camera.up = mix(drift.up, target.camera.up, f);
  if (ft > 56.9) {
    double tilt = 0.78 * ease1(1.0 - clamp01((t - 106.0) * 0.13));
    p.camera.up.z = static_cast<float>(p.camera.up.z + tilt);
  }
  return p;
}

uint32_t combine_seed(double ttime) { return static_cast<uint32_t>(static_cast<int64_t>(ttime * 423424.0)); }

double combine_limit(double ttime) {
  random_seed(combine_seed(ttime));
  for (int i = 0; i < 1000; i++) random_next();
  return random_next() / 32767.0;
}
