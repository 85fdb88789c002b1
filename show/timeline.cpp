// The show's clocks, time warp, music envelope and camera path as pure functions of time.
#include "show/timeline.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/random.h"
#include "engine/spline_track.h"
#include "runtime/frame_clock.h"

namespace {

constexpr double beats_per_second = 135.0 / 60.0;  // the soundtrack's tempo

// The running time never goes below this, however far the music correction pulls it back.
constexpr double earliest_time = -2.0;

// The time warp: past each cut of the running time the scenes skip a stretch of their timeline.
constexpr double first_cut = 83.4;
constexpr double first_jump = 25.0;  // ttime jumps from 83.4 to 108.4
constexpr double second_cut = 192.0;
constexpr double second_jump = 49.0;  // replaces first_jump: ttime jumps from 217 to 241

// The music envelope: no spectrum in the quiet intro, none once the show is over.
constexpr double dsp_peak = 2.0;
constexpr double dsp_rise_start = 3.0;
constexpr double dsp_rise_rate = 0.2;  // 5 s to full gain
constexpr double dsp_fall_start = 256.0;
constexpr double dsp_fall_rate = 0.8;  // 1.25 s to nothing

// The opening blend from the drift camera into the timeline's camera.
constexpr double blend_start = 6.0;
constexpr double blend_rate = 0.1;  // 10 s: the target alone from t = 16

// Target camera rows, by the warped time at which each takes over.
constexpr double row_turn = 36.5;          // the up vector turns from +z to -x...
constexpr double turn_rate = 0.15;         // ...within 6.7 s
constexpr double row_follow = 104.0;       // travelling back along -y, later steered by the key track
constexpr double follow_start = 134.0;     // the key track takes the centre and the up vector...
constexpr double follow_rate = 0.5;        // ...fully within 2 s
constexpr double row_spin = 167.27;        // the up vector turns once every 16 beats
constexpr double spin_start = 148.0;       // running time the spin fades in from...
constexpr double spin_rate = 0.3;          // ...within 3.3 s
constexpr double row_late = late_section;  // the camera rolls steadily as it travels along -y
constexpr double row_final = 230.0;        // the last stretch, its travel pushed by both clocks
constexpr double row_credits = 1260.0;     // the credits view, beyond any normal run

// The tilt of the up vector, from 56.9 s of running time until it fades out after the first cut.
constexpr double tilt_start = 56.9;  // running time
constexpr double tilt_amount = 0.78;
constexpr double tilt_fade_start = 106.0;
constexpr double tilt_fade_rate = 0.13;  // faded out within 7.7 s

// The combine pass's random value: its seed scale and the draws discarded after seeding.
constexpr double combine_seed_scale = 423424.0;
constexpr int combine_discards = 1000;

// a + (b - a) * f in double, for the camera blend.
double mix(double a, double b, double f) { return a + (b - a) * f; }

vec3 mix(const vec3& a, const vec3& b, double f) {
  return make_vec3(mix(a.x, b.x, f), mix(a.y, b.y, f), mix(a.z, b.z, f));
}

// A camera from its look-at points.
camera look(const vec3& eye, const vec3& center, const vec3& up) {
  camera view;
  view.eye = eye;
  view.center = center;
  view.up = up;
  return view;
}

}  // namespace

double clamp01(double x) { return std::clamp(x, 0.0, 1.0); }

double ease1(double x) {
  double k = 1.0;
  return ease(&x, &k);
}

double ease_window(double t, double a, double b) { return ease1((t - a) * b); }

double advance_running_time(double previous, double step) { return std::max(previous + step, earliest_time); }

double warp_time(double fttime) {
  double t = fttime;
  if (fttime > first_cut) t = fttime + first_jump;
  if (fttime > second_cut) t = fttime + second_jump;
  return t;
}

double dsp_gain_at(double fttime) {
  return dsp_peak * clamp01((fttime - dsp_rise_start) * dsp_rise_rate) *
         (1.0 - clamp01((fttime - dsp_fall_start) * dsp_fall_rate));
}

camera drift_camera(double t) {
  return look(make_vec3(0, 0.1 * t - 16.0, 0), make_vec3(0, 0.1 * t - 12.0, 0), make_vec3(0, 0, 1));
}

camera target_camera(double t, double ft, double x, double y, double& position_y) {
  double z = 2.0 * t - 20.0;
  camera view = look(make_vec3(0, z, 0), make_vec3(0, z + 4.0, 0), make_vec3(0, 0, 1));
  if (t > row_turn) {
    double e1 = ease1((t - row_turn) * turn_rate);
    view.up = make_vec3(-e1, 0, 1.0 - e1);
  }
  if (t > row_follow) {
    z = 246.8 - 1.7 * t;
    double k = clamp01((t - follow_start) * follow_rate);
    view = look(make_vec3(0, z, 0), make_vec3(2.0 * k * y, z - 4.0, -2.0 * k * x),
                make_vec3(-1, 0, 0.1 * k * (x + y)));
  }
  if (t > row_spin) {
    z = 1050.0 - 6.0 * t;
    double a = t * beats_per_second * 2.0 * std::numbers::pi / 16.0;
    double e2 = ease1((ft - spin_start) * spin_rate);
    view = look(make_vec3(0, z, -6), make_vec3(-5, z + 5.6, 1),
                make_vec3(-(1.0 - e2) + e2 * std::cos(a), 0, e2 * std::sin(a)));
  }
  if (t > row_late) {
    z = 759.6 - 3.2 * t;
    double b = 0.3 * t + 0.8;
    view = look(make_vec3(0, z, 0), make_vec3(0, z - 4.0, 0), make_vec3(std::cos(b), 0, std::sin(b)));
  }
  if (t > row_final) {
    z = 754.0 - 3.0 * t + 3.0 * response_curve((t - 249.0) * 0.5) + 1.2 * response_curve((ft - 204.0) * 0.5);
    view = look(make_vec3(0, z, 0), make_vec3(0.6, z - 4.0, 0), make_vec3(1, 0, 0));
  }
  if (t > row_credits) {
    view = look(make_vec3(0, 0, 20), make_vec3(0, 0, 0), make_vec3(0, 1, 0));
  }
  position_y = z;
  return view;
}

camera main_camera(double t, double ft, double x, double y, double& position_y) {
  camera target = target_camera(t, ft, x, y, position_y);
  camera drift = drift_camera(t);
  double f = ease1((t - blend_start) * blend_rate);
  camera view;
  view.eye = mix(drift.eye, target.eye, f);
  view.center = mix(drift.center, target.center, f);
  view.up = mix(drift.up, target.up, f);
  if (ft > tilt_start) {
    double tilt = tilt_amount * ease1(1.0 - clamp01((t - tilt_fade_start) * tilt_fade_rate));
    view.up.z = static_cast<float>(view.up.z + tilt);
  }
  return view;
}

uint32_t combine_seed(double ttime) {
  return static_cast<uint32_t>(static_cast<int64_t>(ttime * combine_seed_scale));
}

double combine_limit(double ttime) {
  random_seed(combine_seed(ttime));
  for (int i = 0; i < combine_discards; i++) random_next();
  return random_next() / 32767.0;
}
