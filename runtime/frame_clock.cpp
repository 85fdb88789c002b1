// The show clock: the frame step from the stopwatch, bent towards the music position, and the
// per-frame reseeding of the random generator.
#include "runtime/frame_clock.h"

#include "engine/random.h"
#include "fsound/fsound.h"
#include "runtime/demo_state.h"
#include "runtime/stopwatch.h"

uint32_t random_seed_for(double show_time) {
  return static_cast<uint32_t>(static_cast<int64_t>(show_time * seed_scale));
}

void reseed_random(double show_time) {
  random_seed(random_seed_for(show_time));
  for (int i = 0; i < random_warmup; ++i) random_next();
}

double frame_step_for(double elapsed, double show_time, const music_reading& music, bool& sync_to_music) {
  double d = elapsed < 0.0 ? 0.0 : elapsed;
  if (music.frequency <= 0) return d;
  const double rate = static_cast<double>(music.frequency);
  const double m = static_cast<double>(music.position) / rate;
  const double e = static_cast<double>(music.length) / rate - music_tail;
  if (m > e) sync_to_music = false;
  if (sync_to_music && show_time <= correction_cutoff) d += correction_gain * (m - show_time);
  return d;
}

bool show_has_ended(double show_time) { return show_time > show_end; }

void start_frame_clock() {
  frame_stopwatch.reset();
  demo.last_clock = frame_stopwatch.read();
  demo.show_time = 0.0;
}

void step_frame_clock() {
  const double elapsed = frame_stopwatch.read() - demo.last_clock;
  demo.last_clock = frame_stopwatch.read();  // the moment between the two readings is no frame's
  reseed_random(demo.show_time);
  if (demo.clock_paused) {
    demo.frame_step = 0.0;
    return;
  }
  music_reading music;
  music.position = FSOUND_GetCurrentPosition(0);
  music.frequency = FSOUND_GetFrequency(0);
  music.length = FSOUND_Sample_GetLength(demo.music_sample);
  demo.frame_step = frame_step_for(elapsed, demo.show_time, music, demo.sync_to_music);
}
