// The frame clock's stopwatch over the platform's high-resolution counter, or a caller-driven one.
#include "runtime/stopwatch.h"

#include "runtime/platform.h"

stopwatch frame_stopwatch;

void stopwatch::reset_at(int64_t counter) {
  elapsed = 0.0;
  last_counter = counter;
}

double stopwatch::read_at(int64_t counter, int64_t frequency) {
  elapsed += static_cast<double>(counter - last_counter) / static_cast<double>(frequency);
  last_counter = counter;
  return elapsed;
}

void stopwatch::reset() { reset_at(manual ? manual_counter : platform.counter()); }

double stopwatch::read() {
  if (manual) return read_at(manual_counter, manual_frequency);
  return read_at(platform.counter(), platform.counter_frequency());
}
