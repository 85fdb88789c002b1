// The output latency the viewer gives in the environment, read and checked for the audio outputs.
#include "fsound/output_latency.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace fsound {

bool parse_latency_ms(const char* text, double& ms, std::string& error) {
  char* end = nullptr;
  errno = 0;
  ms = text && *text ? std::strtod(text, &end) : 0.0;
  if (!text || !*text || errno != 0 || *end != '\0' || !(ms >= 0.0 && ms <= max_latency_ms)) {
    error = std::string("not a number of milliseconds from 0 to ") +
            std::to_string(static_cast<int>(max_latency_ms));
    return false;
  }
  return true;
}

int64_t configured_latency_frames(int rate) {
  const char* text = std::getenv(latency_variable);
  if (!text) return 0;
  double ms = 0.0;
  std::string error;
  if (!parse_latency_ms(text, ms, error)) {
    std::fprintf(stderr, "fsound: %s=%s ignored: %s\n", latency_variable, text, error.c_str());
    return 0;
  }
  return std::llround(ms * rate / 1000.0);
}

}  // namespace fsound
