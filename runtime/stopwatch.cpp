#include "runtime/stopwatch.h"

#include <SDL.h>

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

void stopwatch::reset() { reset_at(static_cast<int64_t>(SDL_GetPerformanceCounter())); }

double stopwatch::read() {
  return read_at(static_cast<int64_t>(SDL_GetPerformanceCounter()),
                 static_cast<int64_t>(SDL_GetPerformanceFrequency()));
}
