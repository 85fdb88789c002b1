#pragma once
// A key track: a cyclic list of 3-vector keys (channel0) with two optional parallel channels,
// sampled with Catmull-Rom interpolation at a fractional key position.
#include <istream>
#include <string>
#include <vector>

#include "engine/vec3.h"

struct spline_track {
  std::vector<vec3> channel0;  // the keys (positions)
  std::vector<vec3> channel1;  // parallel to channel0; the tube sweep reads its x as a radius
  std::vector<vec3> channel2;  // parallel to channel0
  int channels = 3;            // how many channels sample_channels fills: 1, 2 or 3
  int key_count = 0;           // kept by the code that appends keys

  // Key indices are 16-bit: a track holds at most this many keys.
  static constexpr int max_keys = 65535;

  spline_track() { reset(); }

  // No keys, three channels.
  void reset();

  // Reads "N x y z x y z ..." from a text file into channel0. A file that cannot be opened or
  // whose count cannot be read leaves the track empty; keys missing from a short file are
  // (0, 0, 0); the count is limited to max_keys. Returns what was wrong with the file ("cannot
  // open: ...", "the file ends after 2 complete keys of 4; the numbers it lacks are 0"), empty
  // when it read cleanly. The message does not name the file: the caller does.
  std::string load_keys(const char* path);
  // The same from a stream.
  std::string read_keys(std::istream& in);

  // Catmull-Rom point of channel0 at a fractional key position, with state 1. A track without
  // keys yields (100, 0, 0); with one or two keys the neighbours wrap around the keys there are.
  vec3 sample(float position) const;

  // The same point into out0 and, by `channels`, channel1's point into out1 (2 or more) and
  // channel2's into out2 (3). Writes x, y and z and leaves the outputs' states as the caller set
  // them. With channel0 empty all three become (valid, 100, 0, 0); with key_count below 2
  // nothing is written. A channel shorter than the keys it needs is not written either.
  void sample_channels(float position, vec3& out0, vec3& out1, vec3& out2) const;
};

// Shapes a value: 0 for x <= 0, (x/2)^2.2 near 0, blending into the identity, reached at x = 10/3.
double response_curve(double x);
