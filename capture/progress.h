#pragma once
// The progress line of long offline runs on standard error: frames done, rate and time left.
#include <chrono>
#include <string>

// One progress line: a bar, "done/total frames", the rate and the estimated time left.
// `total` may be 0 when unknown (no bar, no estimate).
std::string progress_line(long done, long total, double seconds_spent);

struct progress_meter {
  long total = 0;
  bool terminal = false;  // standard error is a terminal: the line is redrawn in place
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last_shown = start;

  // Shows the line at most a few times per second (every 10 s when not on a terminal).
  void update(long done);
  // Shows the final line and ends it.
  void finish(long done);
  double seconds() const;
};
