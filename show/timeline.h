#pragma once
// The show as a function of time: the two show clocks, the time warp, the music envelope and the
// camera path. Everything here is pure (no GL, no globals) so the timeline can be checked directly.
#include <cstdint>

#include "engine/render_context.h"
#include "engine/vec3.h"

// Keys of the key track per second of running time: the frame samples the track at this rate.
constexpr double key_rate = 40.0;

// Warped time of the late section: the camera's rolling row takes over, the escher stack is gone
// and the wall tubes move out of sight.
constexpr double late_section = 188.5;

double clamp01(double x);
// The cosine ease, the show's only use of `ease`: ease(x, 1) = (1 - cos(pi * clamp01(x))) / 2.
double ease1(double x);
// e(a, b) of the scene timing: ease1((t - a) * b).
double ease_window(double t, double a, double b);

// Running time after adding a frame step: never below -2 seconds.
double advance_running_time(double previous, double step);
// Warped time the scenes see for a running time: +25 s after 83.4 s, +49 s after 192 s.
double warp_time(double fttime);
// Gain applied to the music spectrum: 0 until 3 s, 2 from 8 s to 256 s, 0 from 257.25 s.
double dsp_gain_at(double fttime);

// The slow upward drift used at the very start of the show.
camera drift_camera(double t);
// The camera that the show's timeline asks for at time t (rows applied in order); x and y are the
// key track's values of this frame. position_y receives the camera's travel coordinate.
camera target_camera(double t, double ft, double x, double y, double& position_y);
// The camera actually used: drift blended into the target from t = 6 to t = 16, the up vector
// tilted after 56.9 s of running time, every component rounded to float. position_y receives the
// target's travel coordinate.
camera main_camera(double t, double ft, double x, double y, double& position_y);

// Seed of the combine pass's per-frame random value: the low 32 bits of trunc(ttime * 423424).
uint32_t combine_seed(double ttime);
// The combine pass's per-frame random value: the generator seeded with combine_seed(ttime), 1000
// numbers discarded, then the next one / 32767. Leaves the process-wide generator advanced.
double combine_limit(double ttime);
