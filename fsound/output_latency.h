#pragma once
// The output latency the platform's audio device does not report (a sound server's buffers behind
// the device), as the viewer gives it in an environment variable; read by each audio output when
// it opens.
#include <cstdint>
#include <string>

namespace fsound {

// Milliseconds from 0 to max_latency_ms.
constexpr const char* latency_variable = "VORTELINE_AUDIO_LATENCY_MS";
// A second is far beyond any sound server's buffering: a larger value is a mistake.
constexpr double max_latency_ms = 1000.0;

// Reads a latency in milliseconds; false, with the reason in `error`, for anything else.
bool parse_latency_ms(const char* text, double& ms, std::string& error);

// The latency of latency_variable in output frames at `rate`: 0 when it is not set; a bad value
// is reported on standard error and taken as 0.
int64_t configured_latency_frames(int rate);

}  // namespace fsound
