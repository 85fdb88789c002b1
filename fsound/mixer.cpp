// The software mixer: channels mixed into stereo blocks, positions worked out from the output frame.
#include "fsound/mixer.h"

#include <algorithm>
#include <cmath>

namespace fsound {

namespace {

// The factor from the channel's 16-bit sample values to the mix's floats at its volume.
float sample_gain(const channel& c) {
  return static_cast<float>(c.volume) / (static_cast<float>(full_volume) * 32768.0f);
}

}  // namespace

void mixer::reset(int mix_rate, int channel_count) {
  rate = mix_rate;
  channels.assign(static_cast<size_t>(std::max(channel_count, 1)), channel{});
  mixed = 0;
  history.fill(0.0f);
}

int mixer::play(int index, FSOUND_SAMPLE* sample) {
  if (!sample) return -1;
  if (index < 0) {
    for (size_t i = 0; i < channels.size(); ++i) {
      if (!channels[i].sample || finished(channels[i], mixed)) {
        index = static_cast<int>(i);
        break;
      }
    }
  }
  if (index < 0 || index >= static_cast<int>(channels.size())) return -1;
  channel& c = channels[static_cast<size_t>(index)];
  c = channel{};
  c.sample = sample;
  c.loop = sample->loop;
  c.ratio = static_cast<double>(sample->rate) / rate;
  c.anchor_output = mixed;
  return index;
}

void mixer::set_position(channel& c, uint32_t position) const {
  if (!c.sample) return;
  c.anchor_output = mixed;
  c.anchor_position = std::min(position, c.sample->length);
}

void mixer::set_paused(channel& c, bool pause) const {
  if (!c.sample || c.paused == pause) return;
  if (pause) c.anchor_position = position_at(c, mixed);
  c.anchor_output = mixed;
  c.paused = pause;
}

bool mixer::all_paused() const {
  bool any = false;
  for (const channel& c : channels) {
    if (!c.sample) continue;
    if (!c.paused) return false;
    any = true;
  }
  return any;
}

void mixer::paused_mono(float* out, int count) const {
  std::fill(out, out + count, 0.0f);
  for (const channel& c : channels) {
    if (!c.sample || c.sample->length == 0 || c.volume == 0) continue;
    const FSOUND_SAMPLE& s = *c.sample;
    const float gain = sample_gain(c);
    const int64_t end = static_cast<int64_t>(c.anchor_position);
    for (int j = 0; j < count; ++j) {
      const int64_t frame = end - count + j;
      if (frame < 0) continue;
      const size_t i = 2 * static_cast<size_t>(frame);
      out[j] += 0.5f * (s.pcm[i] + s.pcm[i + 1]) * gain;
    }
  }
  for (int j = 0; j < count; ++j) out[j] = std::clamp(out[j], -1.0f, 1.0f);
}

double mixer::position_at(const channel& c, uint64_t output) const {
  if (!c.sample) return 0.0;
  double p = c.anchor_position;
  if (output > c.anchor_output && !c.paused) p += static_cast<double>(output - c.anchor_output) * c.ratio;
  const double length = c.sample->length;
  if (p >= length) p = (c.loop && length > 0) ? std::fmod(p, length) : length;
  return p;
}

bool mixer::finished(const channel& c, uint64_t output) const {
  return c.sample && !c.loop && position_at(c, output) >= c.sample->length;
}

void mixer::mix(float* out, uint32_t frames) {
  std::fill(out, out + 2 * static_cast<size_t>(frames), 0.0f);
  for (const channel& c : channels) {
    if (!c.sample || c.sample->length == 0 || c.volume == 0 || c.paused) continue;
    const FSOUND_SAMPLE& s = *c.sample;
    const float gain = sample_gain(c);
    for (uint32_t i = 0; i < frames; ++i) {
      const uint64_t frame = mixed + i;
      if (finished(c, frame)) break;
      // Linear interpolation between neighbouring sample frames.
      const double p = position_at(c, frame);
      const uint32_t i0 = static_cast<uint32_t>(p);
      uint32_t i1 = i0 + 1;
      if (i1 >= s.length) i1 = c.loop ? 0 : i0;
      const float f = static_cast<float>(p - i0);
      for (int side = 0; side < 2; ++side) {
        const float a = s.pcm[2 * static_cast<size_t>(i0) + side];
        const float b = s.pcm[2 * static_cast<size_t>(i1) + side];
        out[2 * i + side] += (a + (b - a) * f) * gain;
      }
    }
  }
  for (uint32_t i = 0; i < frames; ++i) {
    float& left = out[2 * i];
    float& right = out[2 * i + 1];
    left = std::clamp(left, -1.0f, 1.0f);
    right = std::clamp(right, -1.0f, 1.0f);
    history[(mixed + i) & (history_frames - 1)] = 0.5f * (left + right);
  }
  mixed += frames;
}

void mixer::recent_mono(uint64_t end, float* out, int count) const {
  for (int j = 0; j < count; ++j) {
    const int64_t frame = static_cast<int64_t>(end) - count + j;
    out[j] = frame < 0 ? 0.0f : history[static_cast<uint64_t>(frame) & (history_frames - 1)];
  }
}

uint64_t mixer::within_history(int64_t heard, int count) const {
  const uint64_t span = static_cast<uint64_t>(history_frames - count);
  const uint64_t oldest = mixed > span ? mixed - span : 0;
  if (heard < 0) return oldest;
  return std::clamp(static_cast<uint64_t>(heard), oldest, mixed);
}

}  // namespace fsound
