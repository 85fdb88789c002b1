#pragma once
// What the FSOUND interface (fsound_api.cpp) asks of the platform's audio output (fsound_sdl.cpp
// or fsound_waveout.cpp): five operations over its device, which plays what the mixer it is given
// makes. The output knows nothing of the interface above it.
#include <cstdint>
#include <string>

namespace fsound {

struct mixer;

// Opens the device and starts it pulling from `source`, which must stay in place until
// output_close; false, with the reason in `error`, when no device opens.
bool output_open(mixer& source, int mixrate, std::string& error);
// Stops the device (waiting for its thread) and forgets its own state.
void output_close();
// Holds the output's thread off the mixer (no-op without a device).
void output_lock();
void output_unlock();
// The output frame the listener hears now (called with the lock held, only with a device).
uint64_t output_heard_frame();

}  // namespace fsound
