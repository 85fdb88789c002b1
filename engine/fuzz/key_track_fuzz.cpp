// libFuzzer target: any bytes read as a key-track file give a track whose key count matches its
// keys and stays within the 16-bit key range, a problem message whenever no key was read, and
// samples that can be taken anywhere on it.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "engine/spline_track.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  spline_track track;
  const std::string problem = track.read_keys(in);
  check(track.key_count >= 0 && track.key_count <= spline_track::max_keys);
  check(size_t(track.key_count) == track.channel0.size());
  check(track.key_count > 0 || !problem.empty());
  float sum = 0;
  for (float p : {-1.5f, 0.0f, 0.5f, 2.5f, float(track.key_count) - 0.5f, 1e9f, -1e9f, INFINITY, NAN}) {
    vec3 a = track.sample(p), b{1, 0, 0, 0}, c{1, 0, 0, 0}, d{1, 0, 0, 0};
    track.sample_channels(p, b, c, d);
    sum += a.x + b.y;
  }
  static volatile float sink;
  sink = sum;  // keeps the samples alive
  return 0;
}
