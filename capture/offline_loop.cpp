// The offline loop: the sound and the stopwatch on the caller-driven clock, the program's start-up
// in the hidden window, then one frame step after another until an ending: frames the output does
// not take advance only the show's timeline; drawn ones are handed to the output with their sound.
#include "capture/offline_loop.h"

#include <GL/glew.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "capture/offline_exit.h"
#include "capture/offline_options.h"
#include "capture/offline_session.h"
#include "capture/offline_window.h"
#include "capture/show_timeline.h"
#include "fsound/fsound.h"
#include "fsound/fsound_offline.h"
#include "runtime/demo_frame.h"
#include "runtime/demo_state.h"
#include "runtime/frame_clock.h"
#include "runtime/parts.h"
#include "runtime/stopwatch.h"

namespace {

using clock_type = std::chrono::steady_clock;
// Taken during static construction, just before the entry function: the program's start.
const clock_type::time_point program_start = clock_type::now();

double seconds_since(clock_type::time_point t) {
  return std::chrono::duration<double>(clock_type::now() - t).count();
}

// GL errors reported one by one; later ones are only counted, for the run's report.
constexpr int reported_gl_errors = 10;

// The sound of one frame step is the rate over the frame rate, rounded down or up, in sample
// frames: its buffer takes the rounded-down count and these spare frames besides.
constexpr int spare_sound_frames = 2;

uint64_t sample_at_frame(uint64_t frame, int fps) {
  return frame * offline_mix_rate / static_cast<uint64_t>(fps);
}

// A part that advances the show's timeline without drawing, for frames nobody sees.
struct timeline_only_part final : parts {
  parts* show = nullptr;
  void render(double* step, render_context* context, frame_state* state) override {
    step_show_timeline(show, step, context, state);
  }
  std::optional<start_failure> init(render_context*) override { return std::nullopt; }
};

// The run whose start-up presents the present observer notes.
offline_session* starting = nullptr;

// The start-up presents twice: the loading screen, then once more just before the show loads.
void note_present() {
  offline_session& s = *starting;
  (s.loading_screen_at < 0.0 ? s.loading_screen_at : s.show_setup_at) = seconds_since(program_start);
}

void check_gl_errors(offline_session& s, const char* where, uint64_t frame) {
  for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError()) {
    if (++s.gl_errors <= reported_gl_errors) {
      std::fprintf(stderr, "offline: GL error 0x%04x %s (frame %llu, show time %.3f s)\n", e, where,
                   static_cast<unsigned long long>(frame), demo.show_time);
    }
  }
}

// The show time the next frame will have: the runtime's step from the stopwatch reading it is
// about to take and the music position it is about to read.
double next_show_time() {
  const stopwatch& w = frame_stopwatch;
  const double reading = w.elapsed + static_cast<double>(w.manual_counter - w.last_counter) /
                                         static_cast<double>(w.manual_frequency);
  music_reading music;
  music.position = FSOUND_GetCurrentPosition(0);
  music.frequency = FSOUND_GetFrequency(0);
  music.length = FSOUND_Sample_GetLength(demo.music_sample);
  bool sync = demo.sync_to_music;
  return demo.show_time + frame_step_for(reading - demo.last_clock, demo.show_time, music, sync);
}

// The program's start-up in the hidden window on the caller-driven clock: 0 once the show plays,
// else the exit status.
int start_up(offline_session& s) {
  const offline_options& o = s.options;
  // The caller-driven clock: sound and stopwatch advance by the same sample frames.
  fsound_use_manual_clock(1);
  frame_stopwatch.manual = true;
  frame_stopwatch.manual_counter = 0;
  frame_stopwatch.manual_frequency = offline_mix_rate;

  set_offline_display(o.width, o.height);
  starting = &s;
  offline_present_observer = note_present;
  if (!open_offline_window()) return 1;
  std::string error;
  if (!check_size_limit(o, offline_gl_size_limit(), error)) {
    std::fprintf(stderr, "vorteline: %s\n%s", error.c_str(), program_usage().c_str());
    close_offline_window();
    return 2;
  }
  if (!start_offline_show()) return finish_offline_run(s, 1);
  offline_present_observer = nullptr;
  s.startup_seconds = seconds_since(program_start);
  s.started = true;
  check_gl_errors(s, "during start-up", 0);
  return 0;
}

// Counts a frame just drawn and hands it to the output.
frame_outcome keep_frame(offline_session& s, uint64_t frame) {
  if (s.drawn == 0) s.first_shown_time = demo.show_time;
  s.last_shown_time = demo.show_time;
  ++s.drawn;
  return s.sink->keep(s, frame);
}

}  // namespace

int play_offline(offline_session& s) {
  if (const int status = start_up(s); status != 0) return status;
  const offline_options& o = s.options;
  offline_sink& sink = *s.sink;
  if (!sink.open()) {
    s.failed = true;
    return leave_offline_run(s, 1);
  }
  s.progress.start = clock_type::now();

  // Lives to the end: the program's exits release whatever part is in demo.show_part.
  auto* timeline_only = new timeline_only_part();
  timeline_only->show = demo.show_part;
  parts* const show = demo.show_part;
  std::vector<float> sound(2 * (offline_mix_rate / o.fps + spare_sound_frames));

  for (uint64_t frame = 0;; ++frame) {
    frame_stopwatch.manual_counter = static_cast<int64_t>(sample_at_frame(frame, o.fps));
    const frame_choice choice = sink.choose(next_show_time());
    if (choice == frame_choice::end) return leave_offline_run(s, 0);
    const bool draw = choice == frame_choice::draw;

    demo.show_part = draw ? show : timeline_only;
    const auto frame_start = clock_type::now();
    if (!demo_frame()) return finish_offline_run(s, 0);
    demo.show_part = show;
    if (draw) {
      glFinish();
      s.drawing_seconds += seconds_since(frame_start);
    }
    if (draw && s.first_frame_at < 0.0) s.first_frame_at = seconds_since(program_start);
    check_gl_errors(s, "at the end of a frame", frame);
    const frame_outcome outcome = draw ? keep_frame(s, frame) : frame_outcome::more;
    if (outcome == frame_outcome::stop) {
      s.failed = true;
      return leave_offline_run(s, 1);
    }

    const auto count =
        static_cast<unsigned>(sample_at_frame(frame + 1, o.fps) - sample_at_frame(frame, o.fps));
    const bool record = draw && sink.keeps_sound();
    fsound_advance(count, record ? sound.data() : nullptr);
    if (record && !sink.add_sound(sound.data(), count)) {
      s.failed = true;
      return leave_offline_run(s, 1);
    }
    if (outcome == frame_outcome::complete) return leave_offline_run(s, 0);
    if (offline_interrupted()) {
      std::fprintf(stderr, "\noffline: interrupted at show time %.3f s\n", demo.show_time);
      return leave_offline_run(s, interrupted_exit_status);
    }
  }
}
