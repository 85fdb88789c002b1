#pragma once
// What the FSOUND interface (fsound_api.cpp) shares with the audio output of the platform
// (fsound_sdl.cpp or fsound_waveout.cpp): the library state, and the five operations each output
// implements over its device.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fsound/mixer.h"
#include "fsound/spectrum.h"

struct FSOUND_DSPUNIT {
  bool active = false;
};

namespace fsound {

struct library_state {
  bool initialised = false;
  bool manual_clock = false;  // no device: the caller advances the mixer (fsound_advance)
  fsound::mixer mixer;
  std::vector<std::unique_ptr<FSOUND_SAMPLE>> samples;
  FSOUND_DSPUNIT fft_unit;
  std::array<float, band_count> spectrum{};
  std::string error;  // why the last FSOUND_Init or FSOUND_Sample_Load failed
};

// The output latency the platform does not report (a sound server's buffers behind the device),
// as the viewer gives it in this environment variable: milliseconds from 0 to max_latency_ms.
constexpr const char* latency_variable = "VORTELINE_AUDIO_LATENCY_MS";
constexpr double max_latency_ms = 1000.0;

// Reads a latency in milliseconds; false, with the reason in `error`, for anything else.
bool parse_latency_ms(const char* text, double& ms, std::string& error);

// The latency of latency_variable in output frames at `rate`: 0 when it is not set; a bad value
// is reported on standard error and taken as 0.
int64_t configured_latency_frames(int rate);

// The one library state. Never destroyed: when the program ends without FSOUND_Close the output's
// thread may still be mixing while static objects are torn down.
library_state& state();

// Opens the device and starts it pulling from state().mixer; false, with the reason in `error`,
// when no device opens.
bool output_open(int mixrate, std::string& error);
// Stops the device (waiting for its thread) and forgets its own state.
void output_close();
// Holds the output's thread off the shared state (no-op without a device).
void output_lock();
void output_unlock();
// The output frame the listener hears now (called with the lock held, only with a device).
uint64_t output_heard_frame();

}  // namespace fsound
