// The piano key track of the show: 40 keys per second of running time (the show's unwarped clock,
// which follows the music), each (x, y, 0) with x following the pitch of the piano and y how
// strongly it sounds, both smoothed for the camera.
#pragma once

#include <string>
#include <vector>

#include "tools/soundtrack/score.h"

namespace soundtrack {

constexpr int keys_per_second = 40;

struct key {
  float x, y, z;
};

// Keys for music (and running) times 0, 1/40, 2/40, ... up to `seconds`.
std::vector<key> piano_keys(const score& piece, double seconds);

// Writes the count, then one "x y z" line per key. Returns false with a message on failure.
bool write_keys(const std::vector<key>& keys, const std::string& path, std::string& error);

}  // namespace soundtrack
