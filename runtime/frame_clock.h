#pragma once
// The show clock: frame steps measured with the stopwatch and bent towards the music position so
// that the show follows the soundtrack; the per-frame reseeding of the random generator; the end
// of the show; and the `ease` timing curve.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

constexpr double music_tail = 5.0;                             // seconds before the music's end
constexpr double correction_gain = static_cast<double>(0.1f);  // share of the gap closed per frame
constexpr double correction_cutoff = 210.0;                    // no correction after this show time
constexpr double show_end = 215.0;                             // the show ends once beyond this
constexpr int random_warmup = 50;                              // draws discarded after reseeding
constexpr double seed_scale = 1000000.0;

// Channel 0 of the sound library as read in one frame.
struct music_reading {
  uint32_t position = 0;  // samples
  uint32_t length = 0;    // samples of the soundtrack
  int32_t frequency = 0;  // samples per second; 0 when nothing plays
};

// Seed for a frame that starts at `show_time`: the low 32 bits of show_time * 1e6 truncated.
uint32_t random_seed_for(double show_time);
// Seeds the random generator for `show_time` and discards the warm-up draws.
void reseed_random(double show_time);

// The frame step from the measured `elapsed` time: negative time counts as 0; while in sync and
// up to the cut-off, 10 % of the gap between music and show time is added (the result may then be
// negative). Once the music is within `music_tail` of its end, `sync_to_music` is cleared for
// good. Without a music reading (frequency 0) there is nothing to follow and no correction.
double frame_step_for(double elapsed, double show_time, const music_reading& music, bool& sync_to_music);

// True once the show clock is strictly beyond the end of the show.
bool show_has_ended(double show_time);

// Resets the stopwatch and the show clock (after all loading, just after the music starts).
void start_frame_clock();
// Measures this frame's step into demo.frame_step: stopwatch, reseeding, music correction; 0 while
// demo.clock_paused holds the clock.
void step_frame_clock();

// Timing curve: x = t clamped to [0, 1], h = (1 + cos(pi x)) / 2, result (1 - h^((k + 1) / 2))^k.
// Inline, so that the show, whose library sits below the runtime's, uses this one curve. k = 1,
// the show's only case, is the cosine ease (1 - cos(pi x)) / 2 and is computed as that directly:
// the general form would round differently in the last bit.
inline double ease(double* t, double* k) {
  const double x = std::clamp(*t, 0.0, 1.0);
  const double c = std::cos(std::numbers::pi * x);
  if (*k == 1.0) return (1.0 - c) * 0.5;
  const double h = (1.0 + c) / 2.0;
  return std::pow(1.0 - std::pow(h, (*k + 1.0) / 2.0), *k);
}
