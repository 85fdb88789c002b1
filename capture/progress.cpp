// The progress line of long offline runs: its text, and how often it is shown.
#include "capture/progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Characters of the bar: a thirtieth of the run each, short enough to leave the line room.
constexpr int bar_width = 30;
// Seconds between progress lines: a terminal's line is redrawn in place and can follow the frames
// closely; a log (standard error not a terminal) gets one line now and then.
constexpr double terminal_refresh_seconds = 0.25;
constexpr double log_refresh_seconds = 10.0;

std::string minutes_seconds(double seconds) {
  const long s = std::lround(std::max(seconds, 0.0));
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
  return text;
}

}  // namespace

std::string progress_line(long done, long total, double seconds_spent) {
  const double rate = seconds_spent > 0.0 ? static_cast<double>(done) / seconds_spent : 0.0;
  char text[160];
  if (total <= 0) {
    std::snprintf(text, sizeof text, "%ld frames  %.1f frames/s  %s", done, rate,
                  minutes_seconds(seconds_spent).c_str());
    return text;
  }
  const double share = std::clamp(static_cast<double>(done) / static_cast<double>(total), 0.0, 1.0);
  const int filled = static_cast<int>(share * bar_width);
  const std::string bar =
      std::string(static_cast<size_t>(filled), '#') + std::string(bar_width - filled, '.');
  const std::string left =
      rate > 0.0 ? minutes_seconds(static_cast<double>(std::max(total - done, 0L)) / rate) : "?";
  std::snprintf(text, sizeof text, "[%s] %ld/%ld frames  %.1f frames/s  ETA %s", bar.c_str(), done, total,
                rate, left.c_str());
  return text;
}

double progress_meter::seconds() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void progress_meter::update(long done) {
  const auto now = std::chrono::steady_clock::now();
  const double since = std::chrono::duration<double>(now - last_shown).count();
  if (since < (terminal ? terminal_refresh_seconds : log_refresh_seconds)) return;
  last_shown = now;
  const std::string line = progress_line(done, total, seconds());
  if (terminal) {
    std::fprintf(stderr, "\r%s\033[K", line.c_str());
  } else {
    std::fprintf(stderr, "%s\n", line.c_str());
  }
}

void progress_meter::finish(long done) {
  const std::string line = progress_line(done, std::max(total, done), seconds());
  std::fprintf(stderr, terminal ? "\r%s\033[K\n" : "%s\n", line.c_str());
}
