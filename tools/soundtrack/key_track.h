// The piano key track of the show: 40 keys per second of show time, each (x, y, 0) with x following
// the pitch of the piano and y how strongly it sounds, both smoothed for the camera.
#pragma once

#include <string>
#include <vector>

#include "tools/soundtrack/score.h"

namespace soundtrack {

constexpr int keys_per_second = 40;

struct key {
  float x, y, z;
};

// The music position that is on screen at warped show time `show_time`. The show skips 25 s of
// its own time at 83.4 s of music and 49 s in all at 192 s; the skipped show times map to the
// music position of the jump, so the track stays continuous.
double music_time_at(double show_time);

// Keys for show times 0, 1/40, 2/40, ... up to `show_seconds`.
std::vector<key> piano_keys(const score& piece, double show_seconds);

// Writes the count, then one "x y z" line per key. Returns false with a message on failure.
bool write_keys(const std::vector<key>& keys, const std::string& path, std::string& error);

}  // namespace soundtrack
