#include "tools/soundtrack/effects.h"

#include <algorithm>
#include <cmath>

namespace soundtrack {

float reverb::allpass::process(float x, float g) {
  float delayed = buffer[pos];
  float v = x + g * delayed;
  buffer[pos] = v;
  if (++pos == static_cast<int>(buffer.size())) pos = 0;
  return delayed - g * v;
}

void reverb::init(double rt60_seconds, double damping_hz, double predelay_seconds) {
  // Mutually prime lengths between 33 and 75 ms keep the echo density even.
  static const int lengths[lines] = {1447, 1693, 1949, 2203, 2459, 2719, 3001, 3323};
  for (int i = 0; i < lines; ++i) {
    line[i].assign(lengths[i], 0.0f);
    // Gain per pass so that the loop loses 60 dB in rt60 seconds.
    feedback[i] = static_cast<float>(std::pow(10.0, -3.0 * lengths[i] / (rt60_seconds * sample_rate)));
    damping[i].set(damping_hz);
  }
  predelay.assign(std::max(1, static_cast<int>(predelay_seconds * sample_rate)), 0.0f);
  static const int diffuser_lengths[4] = {223, 337, 241, 373};
  diffuse_l[0].buffer.assign(diffuser_lengths[0], 0.0f);
  diffuse_l[1].buffer.assign(diffuser_lengths[1], 0.0f);
  diffuse_r[0].buffer.assign(diffuser_lengths[2], 0.0f);
  diffuse_r[1].buffer.assign(diffuser_lengths[3], 0.0f);
  clear();
}

void reverb::clear() {
  for (int i = 0; i < lines; ++i) {
    std::fill(line[i].begin(), line[i].end(), 0.0f);
    pos[i] = 0;
    damping[i].z = 0.0f;
  }
  std::fill(predelay.begin(), predelay.end(), 0.0f);
  predelay_pos = 0;
  for (allpass* a : {&diffuse_l[0], &diffuse_l[1], &diffuse_r[0], &diffuse_r[1]}) {
    std::fill(a->buffer.begin(), a->buffer.end(), 0.0f);
    a->pos = 0;
  }
}

void reverb::process(const float* in_l, const float* in_r, float* out_l, float* out_r, int n) {
  const int pre_len = static_cast<int>(predelay.size());
  for (int s = 0; s < n; ++s) {
    // The pre-delay holds the mid signal; the side part goes straight to the diffusers.
    float mid = predelay[predelay_pos];
    predelay[predelay_pos] = 0.5f * (in_l[s] + in_r[s]);
    if (++predelay_pos == pre_len) predelay_pos = 0;
    float side = 0.5f * (in_l[s] - in_r[s]);
    float xl = diffuse_l[1].process(diffuse_l[0].process(mid + side, 0.6f), 0.6f);
    float xr = diffuse_r[1].process(diffuse_r[0].process(mid - side, 0.6f), 0.6f);

    float d[lines];
    for (int i = 0; i < lines; ++i) d[i] = line[i][pos[i]];
    // Fast Walsh-Hadamard transform: an orthogonal mix of all lines (scaled below).
    for (int h = 1; h < lines; h <<= 1)
      for (int i = 0; i < lines; i += h << 1)
        for (int j = i; j < i + h; ++j) {
          float a = d[j], b = d[j + h];
          d[j] = a + b;
          d[j + h] = a - b;
        }
    const float scale = 0.35355339f;  // 1 / sqrt(8)
    float wet_l = 0.0f, wet_r = 0.0f;
    for (int i = 0; i < lines; ++i) {
      float out = line[i][pos[i]];
      if (i & 1)
        wet_r += out;
      else
        wet_l += out;
      float back = damping[i].process(d[i] * scale * feedback[i]);
      line[i][pos[i]] = back + ((i & 1) ? xr : xl);
      if (++pos[i] == static_cast<int>(line[i].size())) pos[i] = 0;
    }
    out_l[s] += 0.5f * wet_l;
    out_r[s] += 0.5f * wet_r;
  }
}

void ping_pong_delay::init(double delay_seconds, double feedback_gain, double tone_hz) {
  int length = std::max(1, static_cast<int>(delay_seconds * sample_rate));
  left.assign(length, 0.0f);
  right.assign(length, 0.0f);
  feedback = static_cast<float>(feedback_gain);
  tone_l.set(tone_hz);
  tone_r.set(tone_hz);
  clear();
}

void ping_pong_delay::clear() {
  std::fill(left.begin(), left.end(), 0.0f);
  std::fill(right.begin(), right.end(), 0.0f);
  pos = 0;
  tone_l.z = tone_r.z = 0.0f;
}

void ping_pong_delay::process(const float* in_l, const float* in_r, float* out_l, float* out_r, int n) {
  const int length = static_cast<int>(left.size());
  for (int s = 0; s < n; ++s) {
    float dl = left[pos], dr = right[pos];
    // Input enters on the left; each repeat crosses to the other side.
    left[pos] = 0.5f * (in_l[s] + in_r[s]) + feedback * tone_r.process(dr);
    right[pos] = feedback * tone_l.process(dl);
    if (++pos == length) pos = 0;
    out_l[s] += dl;
    out_r[s] += dr;
  }
}

}  // namespace soundtrack
