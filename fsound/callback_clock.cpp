// The frame the listener of a pulled audio device hears, from the last block the device asked for.
#include "fsound/callback_clock.h"

#include <algorithm>

namespace fsound {

void callback_clock::on_block(uint64_t start, uint32_t frames, double now) {
  block_start = start;
  block_frames = frames;
  block_time = now;
}

uint64_t callback_clock::heard(double now) {
  if (block_frames == 0) return 0;
  const auto played = static_cast<int64_t>((now - block_time) * rate);
  const int64_t frame =
      static_cast<int64_t>(block_start) - behind + std::clamp<int64_t>(played, 0, block_frames);
  if (frame > 0) last_heard = std::max(last_heard, static_cast<uint64_t>(frame));
  return last_heard;
}

}  // namespace fsound
