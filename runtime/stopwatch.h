#pragma once
// The high-resolution stopwatch that measures frame steps.
#include <cstdint>

struct stopwatch {
  int64_t last_counter = 0;  // counter at the previous reading or reset
  double elapsed = 0.0;      // seconds accumulated since the last reset

  // From the platform's high-resolution counter (`platform.counter`).
  void reset();
  double read();

  // The same from a given counter value and frequency (ticks per second). A counter that went
  // backwards lowers `elapsed`.
  void reset_at(int64_t counter);
  double read_at(int64_t counter, int64_t frequency);

  // Caller-driven time for offline rendering: while `manual` is set, reset() and read() take
  // `manual_counter` (ticks of `manual_frequency` per second) instead of the system's counter.
  bool manual = false;
  int64_t manual_counter = 0;
  int64_t manual_frequency = 1;
};

// The frame clock's stopwatch.
extern stopwatch frame_stopwatch;
