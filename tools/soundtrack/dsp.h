// Small signal-processing building blocks shared by the instruments and the mix.
// Everything is inline and allocation-free so the per-sample loops stay tight.
#pragma once

#include <cmath>
#include <cstdint>

namespace soundtrack {

constexpr int sample_rate = 44100;
constexpr double pi = 3.14159265358979323846;

inline double midi_to_hz(double note) { return 440.0 * std::exp2((note - 69.0) / 12.0); }
inline double db_to_gain(double db) { return std::pow(10.0, db / 20.0); }
inline double clamp01(double x) { return x < 0.0 ? 0.0 : (x > 1.0 ? 1.0 : x); }

// Deterministic white noise (xorshift32), uniform in [-1, 1).
struct noise_source {
  uint32_t state = 0x9e3779b9u;
  explicit noise_source(uint32_t seed = 0x9e3779b9u) : state(seed ? seed : 1u) {}
  float next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<float>(static_cast<int32_t>(state)) * (1.0f / 2147483648.0f);
  }
};

// Band-limited sawtooth: a naive ramp with a polynomial correction at the wrap.
struct saw_osc {
  double phase = 0.0;
  double inc = 0.0;
  void set_hz(double hz) { inc = hz / sample_rate; }
  float next() {
    double t = phase;
    float v = static_cast<float>(2.0 * t - 1.0);
    if (t < inc) {
      double x = t / inc;
      v -= static_cast<float>(x + x - x * x - 1.0);
    } else if (t > 1.0 - inc) {
      double x = (t - 1.0) / inc;
      v -= static_cast<float>(x * x + x + x + 1.0);
    }
    phase += inc;
    if (phase >= 1.0) phase -= 1.0;
    return v;
  }
};

// Sine by phase accumulation (used where the pitch moves every sample).
struct sine_osc {
  double phase = 0.0;
  float next(double hz) {
    float v = static_cast<float>(std::sin(2.0 * pi * phase));
    phase += hz / sample_rate;
    if (phase >= 1.0) phase -= 1.0;
    return v;
  }
};

// Exponentially decaying sinusoid by complex rotation: four multiplies a sample, no sin() calls.
struct decaying_partial {
  double re = 0.0, im = 0.0;  // current phasor (amplitude and phase)
  double c = 1.0, s = 0.0;    // rotation times decay per sample
  void start(double hz, double amplitude, double decay_seconds, double phase = 0.0) {
    double r = std::exp(-1.0 / (decay_seconds * sample_rate));
    double w = 2.0 * pi * hz / sample_rate;
    c = r * std::cos(w);
    s = r * std::sin(w);
    re = amplitude * std::cos(phase);
    im = amplitude * std::sin(phase);
  }
  float next() {
    double nr = re * c - im * s;
    im = re * s + im * c;
    re = nr;
    return static_cast<float>(im);
  }
};

// State-variable filter (trapezoidal integration), stable under fast cutoff changes.
struct svf {
  float a1 = 0, a2 = 0, a3 = 0, k = 1;
  float ic1 = 0, ic2 = 0;
  float low = 0, band = 0, high = 0;
  void set(double hz, double q) {
    if (hz > sample_rate * 0.45) hz = sample_rate * 0.45;
    if (hz < 10.0) hz = 10.0;
    double g = std::tan(pi * hz / sample_rate);
    k = static_cast<float>(1.0 / q);
    double d = 1.0 / (1.0 + g * (g + k));
    a1 = static_cast<float>(d);
    a2 = static_cast<float>(g * d);
    a3 = static_cast<float>(g * g * d);
  }
  void process(float v0) {
    float v3 = v0 - ic2;
    float v1 = a1 * ic1 + a2 * v3;
    float v2 = ic2 + a2 * ic1 + a3 * v3;
    ic1 = 2.0f * v1 - ic1;
    ic2 = 2.0f * v2 - ic2;
    low = v2;
    band = v1;
    high = v0 - k * v1 - v2;
  }
};

// One-pole low-pass, also used as a smoother.
struct one_pole {
  float a = 0.0f, z = 0.0f;
  void set(double hz) { a = static_cast<float>(1.0 - std::exp(-2.0 * pi * hz / sample_rate)); }
  float process(float x) { return z += a * (x - z); }
};

// Attack-decay-sustain-release envelope: linear attack, exponential decay and release.
struct adsr {
  enum stage_t { attack, decay, release, done };
  stage_t stage = attack;
  float value = 0.0f;
  float attack_step = 1.0f, decay_coef = 0.0f, sustain = 1.0f, release_coef = 0.0f;
  void start(double attack_s, double decay_s, double sustain_level, double release_s) {
    stage = attack;
    value = 0.0f;
    attack_step = static_cast<float>(1.0 / (attack_s * sample_rate + 1.0));
    decay_coef = static_cast<float>(std::exp(-1.0 / (decay_s * sample_rate)));
    sustain = static_cast<float>(sustain_level);
    release_coef = static_cast<float>(std::exp(-1.0 / (release_s * sample_rate)));
  }
  void note_off() {
    if (stage != done) stage = release;
  }
  float next() {
    switch (stage) {
      case attack:
        value += attack_step;
        if (value >= 1.0f) {
          value = 1.0f;
          stage = decay;
        }
        break;
      case decay:
        value = sustain + (value - sustain) * decay_coef;
        break;
      case release:
        value *= release_coef;
        if (value < 1e-4f) {
          value = 0.0f;
          stage = done;
        }
        break;
      case done:
        break;
    }
    return value;
  }
};

// Equal-power pan: p in [-1, 1] gives left and right gains.
inline void pan_gains(double p, float& left, float& right) {
  double a = (p + 1.0) * 0.25 * pi;
  left = static_cast<float>(std::cos(a));
  right = static_cast<float>(std::sin(a));
}

}  // namespace soundtrack
