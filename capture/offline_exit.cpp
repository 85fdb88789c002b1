// The endings of an offline run: the interrupt handlers, and finishing the output and the report
// before the program ends.
#include "capture/offline_exit.h"

#include <csignal>
#include <cstdio>

#include "capture/offline_session.h"
#include "fsound/fsound.h"
#include "runtime/platform.h"

namespace {

// Set by Ctrl+C or a termination request: the run stops after the frame in progress and finishes
// its output with what it has.
volatile std::sig_atomic_t interrupted = 0;
void on_interrupt(int) { interrupted = 1; }

void report(const offline_session& s) {
  const double spent = s.progress.seconds();
  std::fprintf(
      stderr, "offline: %ld frames (show time %.3f to %.3f s) in %.1f s, %.2f frames/s; GL errors: %d\n",
      s.drawn, s.first_shown_time, s.last_shown_time, spent, spent > 0 ? s.drawn / spent : 0.0, s.gl_errors);
  std::fprintf(stderr,
               "offline: per drawn frame: drawing %.1f ms, reading back %.1f ms, writing out %.1f ms\n",
               1000.0 * s.drawing_seconds / s.drawn, 1000.0 * s.reading_seconds / s.drawn,
               1000.0 * s.writing_seconds / s.drawn);
  std::fprintf(stderr,
               "offline: start-up: loading screen at %.3f s, show set-up from %.3f s, show and soundtrack "
               "loaded at %.3f s, first show frame drawn at %.3f s\n",
               s.loading_screen_at, s.show_setup_at, s.startup_seconds, s.first_frame_at);
}

}  // namespace

int finish_offline_run(offline_session& s, int code) {
  s.sink->finish(s);
  if (s.drawn > 0) report(s);
  if (!s.done) {
    if (!s.started) {
      std::fprintf(stderr, "offline: the show did not start\n");
    } else if (!s.failed && !interrupted) {
      std::fprintf(stderr, "offline: the show ended before the output was complete\n");
    }
    code = 1;
  } else if (code == 0) {
    std::fprintf(stderr, "offline: wrote %s\n", s.options.output.c_str());
  }
  std::fflush(nullptr);
  return code;
}

void install_offline_interrupts() {
  std::signal(SIGINT, on_interrupt);
  std::signal(SIGTERM, on_interrupt);
}

bool offline_interrupted() { return interrupted != 0; }

int leave_offline_run(offline_session& s, int code) {
  FSOUND_Close();
  platform.kill_gl_window();
  return finish_offline_run(s, code);
}
