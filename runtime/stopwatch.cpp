#include "runtime/stopwatch.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <SDL.h>
#endif

stopwatch frame_stopwatch;

namespace {

// The system's high-resolution counter and its ticks per second.
#ifdef _WIN32
int64_t system_counter() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}
int64_t system_frequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}
#else
int64_t system_counter() { return static_cast<int64_t>(SDL_GetPerformanceCounter()); }
int64_t system_frequency() { return static_cast<int64_t>(SDL_GetPerformanceFrequency()); }
#endif

}  // namespace

void stopwatch::reset_at(int64_t counter) {
  elapsed = 0.0;
  last_counter = counter;
}

double stopwatch::read_at(int64_t counter, int64_t frequency) {
  elapsed += static_cast<double>(counter - last_counter) / static_cast<double>(frequency);
  last_counter = counter;
  return elapsed;
}

void stopwatch::reset() { reset_at(manual ? manual_counter : system_counter()); }

double stopwatch::read() {
  if (manual) return read_at(manual_counter, manual_frequency);
  return read_at(system_counter(), system_frequency());
}
