#pragma once
// The record of one offline run, shared by its loop, its output (the sink) and its ending: the
// options, the progress line, what was drawn and kept, how the run stands, and where the time went.
#include <memory>

#include "capture/offline_options.h"
#include "capture/offline_sink.h"
#include "capture/progress.h"
#include "runtime/demo_init.h"

// The offline clock ticks in the sound library's sample frames, so the stopwatch and the music
// advance by the same steps.
constexpr int offline_mix_rate = music_rate;

struct offline_session {
  offline_options options;
  std::unique_ptr<offline_sink> sink;  // the output of the options' mode
  progress_meter progress;
  long drawn = 0;        // frames drawn and kept
  bool started = false;  // the show is loaded and its music plays
  bool done = false;     // the asked-for output is complete
  bool failed = false;
  int gl_errors = 0;
  double first_frame_at = -1.0;  // seconds from the program's start to the first show frame
  // Start-up profile, seconds from the program's start: the loading screen shown, the show's
  // set-up begun (the second present), start-up done (show loaded, soundtrack decoded).
  double loading_screen_at = -1.0;
  double show_setup_at = -1.0;
  double startup_seconds = 0.0;
  double first_shown_time = 0.0, last_shown_time = 0.0;
  // Where the time of drawn frames goes: drawing (up to the GL's finish), reading back, writing out.
  double drawing_seconds = 0.0, reading_seconds = 0.0, writing_seconds = 0.0;
};
