#include "runtime/stopwatch.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <SDL.h>
#endif

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

#ifdef _WIN32
void stopwatch::reset() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  reset_at(counter.QuadPart);
}

double stopwatch::read() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return read_at(counter.QuadPart, frequency.QuadPart);
}
#else
void stopwatch::reset() { reset_at(static_cast<int64_t>(SDL_GetPerformanceCounter())); }

double stopwatch::read() {
  return read_at(static_cast<int64_t>(SDL_GetPerformanceCounter()),
                 static_cast<int64_t>(SDL_GetPerformanceFrequency()));
}
#endif
