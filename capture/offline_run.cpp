#include "capture/offline_run.h"

#include <GL/glew.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "capture/contact_sheet.h"
#include "capture/offline_options.h"
#include "capture/offline_window.h"
#include "capture/picture.h"
#include "capture/progress.h"
#include "capture/show_timeline.h"
#include "capture/video_writer.h"
#include "engine/render_context.h"
#include "fsound/fsound.h"
#include "fsound/fsound_offline.h"
#include "runtime/demo_frame.h"
#include "runtime/demo_state.h"
#include "runtime/frame_clock.h"
#include "runtime/parts.h"
#include "runtime/platform.h"
#include "runtime/stopwatch.h"

namespace {

using clock_type = std::chrono::steady_clock;
// Taken during static construction, just before the entry function: the program's start.
const clock_type::time_point program_start = clock_type::now();

double seconds_since(clock_type::time_point t) {
  return std::chrono::duration<double>(clock_type::now() - t).count();
}

// The offline clock ticks in sound sample frames: the stopwatch and the music advance together.
constexpr int mix_rate = 44100;

uint64_t sample_at_frame(uint64_t frame, int fps) { return frame * mix_rate / static_cast<uint64_t>(fps); }

// A part that advances the show's timeline without drawing, for frames nobody sees.
struct timeline_only_part final : parts {
  parts* show = nullptr;
  void render(double* step, render_context* context, frame_state* state) override {
    step_show_timeline(show, step, context, state);
  }
  std::optional<start_failure> init(render_context*) override { return std::nullopt; }
};

struct session {
  offline_options options;
  video_writer video;
  bool video_open = false;
  progress_meter progress;
  std::vector<sheet_tile> tiles;
  std::vector<double> tile_times;
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

session* active = nullptr;

// Set by Ctrl+C or a termination request: the run stops after the frame in progress and finishes
// its output with what it has.
volatile std::sig_atomic_t interrupted = 0;
void on_interrupt(int) { interrupted = 1; }

void check_gl_errors(const char* where, uint64_t frame) {
  for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError()) {
    if (++active->gl_errors <= 10) {
      std::fprintf(stderr, "offline: GL error 0x%04x %s (frame %llu, show time %.3f s)\n", e, where,
                   static_cast<unsigned long long>(frame), demo.show_time);
    }
  }
}

// Ends the run: the output is finished (or reported missing) and the process exits.
[[noreturn]] void finish(int code) {
  session& s = *active;
  const offline_options& o = s.options;
  if (s.video_open) {
    s.progress.finish(s.drawn);
    if (!s.video.finish()) s.failed = true;
    s.video_open = false;
    if (s.drawn > 0) s.done = !s.failed;
  }
  if (o.mode == offline_mode::frames && s.drawn > 0) {
    s.progress.finish(s.drawn);
    s.done = !s.failed;
  }
  if (o.mode == offline_mode::contact_sheet && !s.tiles.empty()) {
    const picture sheet =
        make_contact_sheet(s.tiles, contact_sheet_columns(static_cast<int>(s.tiles.size())));
    if (!write_png(o.output, sheet)) {
      std::fprintf(stderr, "offline: cannot write %s\n", o.output.c_str());
      s.failed = true;
    }
    s.done = !s.failed && s.tiles.size() == s.tile_times.size();
  }
  if (s.drawn > 0) {
    const double spent = s.progress.seconds();
    std::fprintf(stderr,
                 "offline: %ld frames (show time %.3f to %.3f s) in %.1f s, %.2f frames/s; GL errors: %d\n",
                 s.drawn, s.first_shown_time, s.last_shown_time, spent, spent > 0 ? s.drawn / spent : 0.0,
                 s.gl_errors);
    std::fprintf(stderr,
                 "offline: per drawn frame: drawing %.1f ms, reading back %.1f ms, writing out %.1f ms\n",
                 1000.0 * s.drawing_seconds / s.drawn, 1000.0 * s.reading_seconds / s.drawn,
                 1000.0 * s.writing_seconds / s.drawn);
    std::fprintf(stderr,
                 "offline: start-up: loading screen at %.3f s, show set-up from %.3f s, show and soundtrack "
                 "loaded at %.3f s, first show frame drawn at %.3f s\n",
                 s.loading_screen_at, s.show_setup_at, s.startup_seconds, s.first_frame_at);
  }
  if (!s.done) {
    if (!s.started) {
      std::fprintf(stderr, "offline: the show did not start\n");
    } else if (!s.failed && !interrupted) {
      std::fprintf(stderr, "offline: the show ended before the output was complete\n");
    }
    code = 1;
  } else if (code == 0) {
    std::fprintf(stderr, "offline: wrote %s\n", o.output.c_str());
  }
  std::fflush(nullptr);
  std::exit(code);
}

message_box_answer print_message_box(const char* text, const char* caption, message_box_kind kind) {
  std::fprintf(stderr, "[%s] %s\n", caption, text);
  return kind == message_box_kind::yes_no_exclamation ? message_box_answer::no : message_box_answer::ok;
}

// Leaves as the program does at the end of the show: sound closed, window gone, then exit.
[[noreturn]] void leave(int code) {
  FSOUND_Close();
  platform.kill_gl_window();
  finish(code);
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

bool wants_frame(session& s, double time) {
  const offline_options& o = s.options;
  switch (o.mode) {
    case offline_mode::capture:
    case offline_mode::frames:
      return time >= o.from;
    case offline_mode::frame:
      return time >= o.time;
    case offline_mode::contact_sheet:
      return s.tiles.size() < s.tile_times.size() && time >= s.tile_times[s.tiles.size()];
    case offline_mode::probe:
      break;
  }
  return false;
}

// Keeps a drawn frame; true when the output is complete.
bool keep_frame(session& s, uint64_t frame) {
  const offline_options& o = s.options;
  const int w = demo.screen_width, h = demo.screen_height;
  if (s.drawn == 0) s.first_shown_time = demo.show_time;
  s.last_shown_time = demo.show_time;
  ++s.drawn;
  switch (o.mode) {
    case offline_mode::capture: {
      const auto read_start = clock_type::now();
      const picture p = read_back_buffer(w, h, true);
      const auto write_start = clock_type::now();
      s.reading_seconds += std::chrono::duration<double>(write_start - read_start).count();
      if (!s.video.add_frame(p)) leave(1);
      s.writing_seconds += seconds_since(write_start);
    }
      s.progress.update(s.drawn);
      return false;
    case offline_mode::frames: {
      char name[32];
      std::snprintf(name, sizeof name, "frame_%06ld.png", s.drawn - 1);
      const std::string path = (std::filesystem::path(o.output) / name).string();
      if (!write_png(path, read_back_buffer(w, h))) {
        std::fprintf(stderr, "offline: cannot write %s\n", path.c_str());
        s.failed = true;
        leave(1);
      }
      s.progress.update(s.drawn);
      return false;
    }
    case offline_mode::frame:
      if (!write_png(o.output, read_back_buffer(w, h))) {
        std::fprintf(stderr, "offline: cannot write %s\n", o.output.c_str());
        s.failed = true;
      }
      std::fprintf(stderr, "offline: frame %llu at show time %.4f s\n",
                   static_cast<unsigned long long>(frame), demo.show_time);
      s.done = !s.failed;
      return true;
    case offline_mode::contact_sheet: {
      char label[32];
      std::snprintf(label, sizeof label, "%.2f s", demo.show_time);
      s.tiles.push_back({read_back_buffer(w, h), label});
      s.progress.update(static_cast<long>(s.tiles.size()));
      return s.tiles.size() == s.tile_times.size();
    }
    case offline_mode::probe:
      break;
  }
  return true;
}

// Checks, before the start-up, that the output can be written: its folder exists (a --frames
// folder is made) and takes a new file. False with the path and the reason in `error`.
bool check_output_folder(const offline_options& o, std::string& error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path folder = o.output;
  if (o.mode == offline_mode::frames) {
    fs::create_directories(folder, ec);
    if (ec) {
      error = "cannot make the folder " + o.output + ": " + ec.message();
      return false;
    }
  } else {
    if (fs::is_directory(folder, ec)) {
      error = o.output + " is a folder, not a file";
      return false;
    }
    folder = folder.parent_path();
    if (folder.empty()) folder = ".";
  }
  const fs::file_status status = fs::status(folder, ec);
  if (!fs::exists(status)) {
    error = "cannot write " + o.output + ": the folder " + folder.string() + " does not exist";
    return false;
  }
  if (!fs::is_directory(status)) {
    error = "cannot write " + o.output + ": " + folder.string() + " is not a folder";
    return false;
  }
  // The one sure test of a folder taking new files (permissions, read-only mounts): make one.
  std::string trial = (folder / ".vorteline-write-test-XXXXXX").string();
  const int fd = mkstemp(trial.data());
  if (fd < 0) {
    error = "cannot write " + o.output + ": the folder " + folder.string() +
            " takes no new file: " + std::strerror(errno);
    return false;
  }
  close(fd);
  unlink(trial.c_str());
  return true;
}

int run_probe(const offline_options& o) {
  timeline_probe probe;
  std::string error;
  if (!probe_show_timeline(o.time, o.fps, probe, error)) {
    std::fprintf(stderr, "offline: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s\n", probe_json(probe).c_str());
  return 0;
}

}  // namespace

int run_offline_command(int argc, const char* const* argv) {
  static session s;
  active = &s;
  std::string error;
  if (!parse_offline_options(argc, argv, s.options, error)) {
    std::fprintf(stderr, "vorteline: %s\n%s", error.c_str(), program_usage().c_str());
    return 2;
  }
  const offline_options& o = s.options;
  if (o.mode == offline_mode::probe) return run_probe(o);
  if (!check_output_folder(o, error)) {
    std::fprintf(stderr, "vorteline: %s\n", error.c_str());
    return 1;
  }

  platform.message_box = print_message_box;
  s.progress.terminal = isatty(STDERR_FILENO) != 0;
  std::signal(SIGINT, on_interrupt);
  std::signal(SIGTERM, on_interrupt);

  if (o.mode == offline_mode::contact_sheet) {
    const int tiles = static_cast<int>(contact_sheet_tiles(o.every));
    for (int i = 0; i < tiles; ++i) s.tile_times.push_back(i * o.every);
    s.progress.total = static_cast<long>(s.tile_times.size());
  }
  if (o.mode == offline_mode::capture || o.mode == offline_mode::frames) {
    const double span = std::min(o.to, show_end) - std::max(o.from, 0.0);
    s.progress.total = std::max(0L, static_cast<long>(std::ceil(span * o.fps)));
  }

  // The caller-driven clock: sound and stopwatch advance by the same sample frames.
  fsound_use_manual_clock(1);
  frame_stopwatch.manual = true;
  frame_stopwatch.manual_counter = 0;
  frame_stopwatch.manual_frequency = mix_rate;

  set_offline_display(o.width, o.height);
  // The start-up presents twice: the loading screen, then once more just before the show loads.
  offline_present_observer = [] {
    session& a = *active;
    (a.loading_screen_at < 0.0 ? a.loading_screen_at : a.show_setup_at) = seconds_since(program_start);
  };
  if (!open_offline_window()) return 1;
  if (!check_size_limit(o, offline_gl_size_limit(), error)) {
    std::fprintf(stderr, "vorteline: %s\n%s", error.c_str(), program_usage().c_str());
    close_offline_window();
    return 2;
  }
  if (!start_offline_show()) finish(1);
  offline_present_observer = nullptr;
  s.startup_seconds = seconds_since(program_start);
  s.started = true;
  check_gl_errors("during start-up", 0);
  if (o.mode == offline_mode::capture) {
    if (!s.video.open(o.output, demo.screen_width, demo.screen_height, o.fps, mix_rate)) {
      s.failed = true;
      leave(1);
    }
    s.video_open = true;
  }
  s.progress.start = clock_type::now();

  // Lives to the end: the program's exits release whatever part is in demo.show_part.
  auto* timeline_only = new timeline_only_part();
  timeline_only->show = demo.show_part;
  parts* const show = demo.show_part;
  std::vector<float> sound(2 * (mix_rate / o.fps + 2));

  for (uint64_t frame = 0;; ++frame) {
    frame_stopwatch.manual_counter = static_cast<int64_t>(sample_at_frame(frame, o.fps));
    const double time = next_show_time();
    if ((o.mode == offline_mode::capture || o.mode == offline_mode::frames) && time > o.to) leave(0);
    const bool draw = wants_frame(s, time);

    demo.show_part = draw ? show : timeline_only;
    const auto frame_start = clock_type::now();
    if (!demo_frame()) finish(0);
    demo.show_part = show;
    if (draw) {
      glFinish();
      s.drawing_seconds += seconds_since(frame_start);
    }
    if (draw && s.first_frame_at < 0.0) s.first_frame_at = seconds_since(program_start);
    check_gl_errors("at the end of a frame", frame);
    const bool complete = draw && keep_frame(s, frame);

    const auto count =
        static_cast<unsigned>(sample_at_frame(frame + 1, o.fps) - sample_at_frame(frame, o.fps));
    const bool record = draw && s.video_open;
    fsound_advance(count, record ? sound.data() : nullptr);
    if (record && !s.video.add_sound(sound.data(), count)) leave(1);
    if (complete) leave(0);
    if (interrupted) {
      std::fprintf(stderr, "\noffline: interrupted at show time %.3f s\n", demo.show_time);
      leave(130);
    }
  }
}
