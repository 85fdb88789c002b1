// Send effects of the mix: a feedback-delay-network reverb and a ping-pong delay.
#pragma once

#include <vector>

#include "tools/soundtrack/dsp.h"

namespace soundtrack {

// Eight delay lines mixed through a Hadamard matrix, each damped by a low-pass in its loop, fed
// through a pre-delay and short all-pass diffusers. Output is the wet signal only.
struct reverb {
  static constexpr int lines = 8;
  std::vector<float> line[lines];
  int pos[lines] = {};
  float feedback[lines] = {};
  one_pole damping[lines];
  std::vector<float> predelay;
  int predelay_pos = 0;
  struct allpass {
    std::vector<float> buffer;
    int pos = 0;
    float process(float x, float g);
  };
  allpass diffuse_l[2], diffuse_r[2];

  void init(double rt60_seconds, double damping_hz, double predelay_seconds);
  void clear();
  // Adds the wet signal of (in_l, in_r) into (out_l, out_r).
  void process(const float* in_l, const float* in_r, float* out_l, float* out_r, int n);
};

// Stereo delay whose repeats alternate between the sides, darkening as they fade.
struct ping_pong_delay {
  std::vector<float> left, right;
  int pos = 0;
  float feedback = 0.4f;
  one_pole tone_l, tone_r;

  void init(double delay_seconds, double feedback_gain, double tone_hz);
  void clear();
  // Adds the echoes of (in_l, in_r) into (out_l, out_r).
  void process(const float* in_l, const float* in_r, float* out_l, float* out_r, int n);
};

}  // namespace soundtrack
