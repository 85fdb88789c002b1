#pragma once
// What the listener of a pulled audio device (SDL's audio callback) hears: the device asks for a
// block of frames, mixes it, and plays it once what it already holds has played out. The frame
// heard is worked out from the last block asked for, the time since, and the frames between the
// block and the ear.
#include <cstdint>

namespace fsound {

struct callback_clock {
  int rate = 44100;          // frames per second
  int64_t behind = 0;        // frames between the block being mixed and the ear: the device's own
                             // buffer and the output latency behind it
  uint64_t block_start = 0;  // output frame of the last block asked for
  uint32_t block_frames = 0;
  double block_time = 0.0;  // seconds, when it was asked for
  uint64_t last_heard = 0;  // the reported frame never goes backwards

  // The device asks for `frames` frames from output frame `start` at time `now`.
  void on_block(uint64_t start, uint32_t frames, double now);
  // The output frame heard at time `now`: 0 until the first frame reaches the ear, then advancing in
  // real time from the last block, at most by that block's length, never backwards.
  uint64_t heard(double now);
};

}  // namespace fsound
