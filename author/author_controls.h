#pragma once
// Author mode's controls as plain functions: which key asks for what, what a request does to the
// pause and the loop and where it moves the show clock, and the status line's text. The session
// (author_session.h) carries the moves out on the clock, the music and the show.
#include <string>

#include "capture/offline_options.h"
#include "runtime/demo_state.h"

// Windows virtual-key codes of author mode's keys beside those of runtime/demo_state.h (Backspace
// and Escape are there).
namespace author_vk {
constexpr int tab = 9;
constexpr int shift = 16;
constexpr int space = 32;
constexpr int page_up = 33;
constexpr int page_down = 34;
constexpr int home = 36;
constexpr int f5 = 116;
constexpr int comma = 0xBC;
constexpr int period = 0xBE;
constexpr int bracket_open = 0xDB;
constexpr int bracket_close = 0xDD;
}  // namespace author_vk

constexpr double author_seek_short = 5.0;   // seconds, Page Up / Page Down
constexpr double author_seek_long = 30.0;   // with Shift
constexpr double author_step = 1.0 / 60.0;  // comma and period while paused: one frame

enum class author_command {
  none,
  pause,
  seek,
  restart,
  step,
  loop_start,
  loop_end,
  loop_clear,
  reload,
  status
};

struct author_request {
  author_command command = author_command::none;
  double seconds = 0.0;  // seek and step: how far, signed
};

// The request of a key going down (none for keys author mode does not use).
author_request author_request_for_key(int vk, bool shift);

struct author_controls {
  bool paused = false;
  double loop_start = -1.0;  // below 0: not set
  double loop_end = -1.0;
  bool status_shown = true;
};

// Where a request moves the show clock: nowhere, or to `target`.
struct author_move {
  bool seek = false;
  double target = 0.0;
};

// Applies a request at show time `show_time`: the pause and the loop change in `controls`; seeks,
// a restart and (while paused) frame steps return the time to move to, held within 0 to
// author_latest. A loop's start and end are the show times at which [ and ] were pressed; the loop
// plays once its end lies after its start ([ after ] drops the end, ] without [ starts it at 0).
author_move apply_author_request(author_controls& controls, const author_request& request, double show_time);

bool loop_active(const author_controls& controls);
// The move a loop asks for before a frame: back to its start once the running clock has reached
// its end (a paused clock stays where it is).
author_move loop_move(const author_controls& controls, double show_time);

// Everything the status line shows.
struct author_status {
  double running_time = 0.0;
  double scene_time = 0.0;
  std::string elements;
  double frames_per_second = 0.0;
  double ms_per_frame = 0.0;
  double limit = 0.0;
  double updown = 0.0;
  bool paused = false;
  double loop_start = -1.0;
  double loop_end = -1.0;
};
std::string author_status_line(const author_status& status);
