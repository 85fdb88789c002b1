// The voices of the soundtrack. Each voice is started from one note event and then adds its sound
// into a stereo block with render(), which returns false once the voice has died away.
#pragma once

#include <cstdint>

#include "tools/soundtrack/dsp.h"

namespace soundtrack {

// Sine kick with a falling pitch (ends near 47 Hz, the second 43 Hz spectrum band) and a click.
struct kick_voice {
  int t = 0;
  float gain = 1.0f;
  void start(float velocity);
  bool render(float* l, float* r, int n);
};

// Clap (three quick noise bursts and a tail) or snare (tone body plus noise); same engine.
struct snare_voice {
  int t = 0;
  float gain = 1.0f;
  bool clap = false;
  noise_source noise_l, noise_r;
  svf band_l, band_r, air;
  decaying_partial body1, body2;
  void start(bool is_clap, float velocity, uint32_t seed);
  bool render(float* l, float* r, int n);
};

// Closed or open hi-hat and crash cymbal: detuned square oscillators plus noise, high-passed.
struct cymbal_voice {
  int t = 0;
  int length = 0;
  float gain = 1.0f;
  float decay_coef = 0.0f;
  float env = 1.0f;
  float pan_l = 0.7f, pan_r = 0.7f;
  float noise_mix = 0.5f;
  double phases[6] = {};
  double incs[6] = {};
  noise_source noise_l, noise_r;
  svf high_l, high_r;
  void start(double decay_seconds, double cutoff_hz, float velocity, double pan, float noise_share,
             uint32_t seed);
  bool render(float* l, float* r, int n);
};

// Low boom with a noise burst, for the hits.
struct impact_voice {
  int t = 0;
  float gain = 1.0f;
  double phase = 0.0;
  noise_source noise_l, noise_r;
  svf low_l, low_r;
  void start(float velocity, uint32_t seed);
  bool render(float* l, float* r, int n);
};

// Noise through a rising band-pass with a rising saw underneath, swelling over its length.
struct riser_voice {
  int t = 0;
  int length = 0;
  float gain = 1.0f;
  double base_hz = 220.0;
  noise_source noise_l, noise_r;
  svf band_l, band_r;
  saw_osc saw_a, saw_b;
  void start(int length_samples, int pitch, float velocity, uint32_t seed);
  bool render(float* l, float* r, int n);
};

// Two detuned saws and a sine sub through a resonant low-pass with its own envelope.
struct bass_voice {
  int t = 0;
  int gate = 0;  // samples until note-off
  float gain = 1.0f;
  double cutoff = 400.0;
  saw_osc saw_a, saw_b;
  sine_osc sub;
  double hz = 55.0;
  svf filter;
  adsr amp;
  void start(int pitch, int gate_samples, float velocity, double cutoff_hz);
  bool render(float* l, float* r, int n);
};

// Five detuned saws per note spread across the stereo field, slow envelope.
struct pad_voice {
  int t = 0;
  int gate = 0;
  float gain = 1.0f;
  saw_osc saws[5];
  float left[5] = {}, right[5] = {};
  adsr amp;
  void start(int pitch, int gate_samples, float velocity, uint32_t seed);
  bool render(float* l, float* r, int n);
};

// Plucked saw-and-square with a fast filter envelope.
struct arp_voice {
  int t = 0;
  float gain = 1.0f;
  double cutoff = 1200.0;
  saw_osc saw_a, saw_b;
  svf filter;
  float pan_l = 0.7f, pan_r = 0.7f;
  void start(int pitch, float velocity, double cutoff_hz, double pan);
  bool render(float* l, float* r, int n);
};

// Piano: stretched, slightly detuned decaying partials (two strings per low partial), a hammer
// knock, and a damper at note-off. Brighter when played harder.
struct piano_voice {
  static constexpr int max_partials = 16;
  int t = 0;
  int gate = 0;
  int count = 0;
  float gain = 1.0f;
  float damper = 1.0f;
  float damper_coef = 1.0f;
  float pan_l = 0.7f, pan_r = 0.7f;
  decaying_partial partials[max_partials];
  noise_source noise;
  svf hammer;
  void start(int pitch, int gate_samples, float velocity, uint32_t seed);
  bool render(float* l, float* r, int n);
};

}  // namespace soundtrack
