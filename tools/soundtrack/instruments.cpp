#include "tools/soundtrack/instruments.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace soundtrack {
namespace {

constexpr double dt = 1.0 / sample_rate;

inline float decay_per_sample(double seconds) { return static_cast<float>(std::exp(-dt / seconds)); }
inline int samples(double seconds) { return static_cast<int>(seconds * sample_rate); }
inline double cents(double c) { return std::exp2(c / 1200.0); }

}  // namespace

// ---- kick ----

// The kick is identical every time apart from its level, so it is synthesised once into a table.
static const std::vector<float>& kick_table() {
  static const std::vector<float> table = [] {
    const int length = samples(0.5);
    const int fade_from = samples(0.42);
    const float drive = 1.8f;
    const float norm = 1.0f / std::tanh(drive);
    std::vector<float> out(length);
    noise_source noise(0x2545f491u);
    svf click_filter;
    click_filter.set(3500.0, 0.7);
    double phase = 0.0;
    for (int t = 0; t < length; ++t) {
      double s = t * dt;
      // Pitch falls from about 450 Hz to 46 Hz within 60 ms, then stays in the 43 Hz band.
      double hz = 46.0 + 110.0 * std::exp(-s / 0.028) + 300.0 * std::exp(-s / 0.0035);
      phase += hz * dt;
      if (phase >= 1.0) phase -= 1.0;
      double amp = s < 0.0015 ? s / 0.0015 : std::exp(-(s - 0.0015) / 0.2);
      if (t > fade_from) amp *= static_cast<double>(length - t) / (length - fade_from);
      float body = std::tanh(drive * static_cast<float>(std::sin(2.0 * pi * phase) * amp)) * norm;
      click_filter.process(noise.next());
      float click = click_filter.high * static_cast<float>(0.3 * std::exp(-s / 0.002));
      out[t] = 0.95f * body + click;
    }
    return out;
  }();
  return table;
}

void kick_voice::start(float velocity) {
  t = 0;
  gain = velocity;
}

bool kick_voice::render(float* l, float* r, int n) {
  const std::vector<float>& table = kick_table();
  const int length = static_cast<int>(table.size());
  for (int i = 0; i < n && t < length; ++i, ++t) {
    float y = gain * table[t];
    l[i] += y;
    r[i] += y;
  }
  return t < length;
}

// ---- snare and clap ----

void snare_voice::start(bool is_clap, float velocity, uint32_t seed) {
  t = 0;
  clap = is_clap;
  gain = velocity;
  noise_l = noise_source(seed);
  noise_r = noise_source(seed * 7919u + 13u);
  double centre = clap ? 1150.0 : 2600.0;
  band_l.set(centre, clap ? 1.6 : 0.8);
  band_r.set(centre * 1.06, clap ? 1.6 : 0.8);
  air.set(6500.0, 0.7);
  body1.start(clap ? 0.0 : 188.0, clap ? 0.0 : 0.55, 0.055);
  body2.start(clap ? 0.0 : 331.0, clap ? 0.0 : 0.25, 0.03);
}

bool snare_voice::render(float* l, float* r, int n) {
  const int length = samples(clap ? 0.45 : 0.4);
  for (int i = 0; i < n && t < length; ++i, ++t) {
    double s = t * dt;
    double env;
    if (clap) {
      // Three quick bursts 10 ms apart, then the room tail.
      double b = std::fmod(s, 0.0105);
      env = s < 0.0315 ? std::exp(-b / 0.0045) : 0.75 * std::exp(-(s - 0.0315) / 0.11);
    } else {
      env = std::exp(-s / 0.12);
    }
    if (length - t < 400) env *= (length - t) / 400.0;
    float nl = noise_l.next(), nr = noise_r.next();
    band_l.process(nl);
    band_r.process(nr);
    air.process(0.5f * (nl + nr));
    float e = static_cast<float>(env);
    float a = air.high * static_cast<float>(0.35 * std::exp(-s / 0.05));
    float tone = body1.next() + body2.next();
    float k = band_l.k;  // band output normalised to unit gain at the centre
    float yl = gain * (e * (band_l.band * k * 1.3f) + a + tone);
    float yr = gain * (e * (band_r.band * k * 1.3f) + a + tone);
    l[i] += yl;
    r[i] += yr;
  }
  return t < length;
}

// ---- hats and crash ----

void cymbal_voice::start(double decay_seconds, double cutoff_hz, float velocity, double pan,
                         float noise_share, uint32_t seed) {
  static const double ratios[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
  t = 0;
  gain = velocity;
  env = 1.0f;
  decay_coef = decay_per_sample(decay_seconds);
  length = samples(decay_seconds * 6.0);
  noise_mix = noise_share;
  pan_gains(pan, pan_l, pan_r);
  noise_l = noise_source(seed);
  noise_r = noise_source(seed * 2654435761u + 1u);
  for (int k = 0; k < 6; ++k) {
    incs[k] = ratios[k] * 1.7 * dt;
    phases[k] = 0.1 * k;
  }
  high_l.set(cutoff_hz, 0.8);
  high_r.set(cutoff_hz * 1.03, 0.8);
}

bool cymbal_voice::render(float* l, float* r, int n) {
  for (int i = 0; i < n && t < length; ++i, ++t) {
    float metal = 0.0f;
    for (int k = 0; k < 6; ++k) {
      phases[k] += incs[k];
      if (phases[k] >= 1.0) phases[k] -= 1.0;
      metal += phases[k] < 0.5 ? 1.0f : -1.0f;
    }
    metal *= (1.0f - noise_mix) / 6.0f;
    high_l.process(metal + noise_mix * noise_l.next());
    high_r.process(metal + noise_mix * noise_r.next());
    float attack = t < 40 ? t / 40.0f : 1.0f;
    float e = gain * env * attack;
    env *= decay_coef;
    l[i] += e * pan_l * high_l.high;
    r[i] += e * pan_r * high_r.high;
  }
  return t < length;
}

// ---- impact ----

void impact_voice::start(float velocity, uint32_t seed) {
  t = 0;
  gain = velocity;
  phase = 0.0;
  noise_l = noise_source(seed);
  noise_r = noise_source(seed ^ 0x5bd1e995u);
  low_l.set(700.0, 0.7);
  low_r.set(650.0, 0.7);
}

bool impact_voice::render(float* l, float* r, int n) {
  const int length = samples(2.5);
  for (int i = 0; i < n && t < length; ++i, ++t) {
    double s = t * dt;
    double hz = 40.0 + 80.0 * std::exp(-s / 0.09);
    phase += hz * dt;
    if (phase >= 1.0) phase -= 1.0;
    double fade = t > length - 2000 ? (length - t) / 2000.0 : 1.0;
    double amp = (s < 0.002 ? s / 0.002 : std::exp(-s / 0.55)) * fade;
    float boom = std::tanh(1.5f * static_cast<float>(std::sin(2.0 * pi * phase) * amp));
    low_l.process(noise_l.next());
    low_r.process(noise_r.next());
    float rumble = static_cast<float>(0.7 * std::exp(-s / 0.3) * fade);
    l[i] += gain * (0.8f * boom + rumble * low_l.low);
    r[i] += gain * (0.8f * boom + rumble * low_r.low);
  }
  return t < length;
}

// ---- riser ----

void riser_voice::start(int length_samples, int pitch, float velocity, uint32_t seed) {
  t = 0;
  length = std::max(length_samples, 64);
  gain = velocity;
  base_hz = midi_to_hz(pitch);
  noise_l = noise_source(seed);
  noise_r = noise_source(seed + 0x68e31da4u);
}

bool riser_voice::render(float* l, float* r, int n) {
  for (int i = 0; i < n && t < length; ++i, ++t) {
    double u = static_cast<double>(t) / length;
    if ((t & 31) == 0) {
      double hz = 250.0 * std::pow(32.0, u);
      band_l.set(hz, 2.5);
      band_r.set(hz * 1.1, 2.5);
      double pitch = base_hz * std::exp2(u);
      saw_a.set_hz(pitch * cents(-9.0));
      saw_b.set_hz(pitch * cents(9.0));
    }
    double fade = length - t < 441 ? (length - t) / 441.0 : 1.0;
    float amp = static_cast<float>(gain * u * u * fade);
    band_l.process(noise_l.next());
    band_r.process(noise_r.next());
    float tone = 0.12f * (saw_a.next() + saw_b.next()) * static_cast<float>(u);
    l[i] += amp * (band_l.band * band_l.k + tone);
    r[i] += amp * (band_r.band * band_r.k + tone);
  }
  return t < length;
}

// ---- bass ----

void bass_voice::start(int pitch, int gate_samples, float velocity, double cutoff_hz) {
  t = 0;
  gate = gate_samples;
  gain = velocity;
  cutoff = cutoff_hz;
  hz = midi_to_hz(pitch);
  saw_a.set_hz(hz * cents(-7.0));
  saw_b.set_hz(hz * cents(7.0));
  saw_b.phase = 0.37;
  amp.start(0.003, 0.12, 0.75, 0.035);
}

bool bass_voice::render(float* l, float* r, int n) {
  for (int i = 0; i < n; ++i, ++t) {
    if (t == gate) amp.note_off();
    if ((t & 15) == 0) filter.set(cutoff * (1.0 + 5.0 * std::exp(-t * dt / 0.09)), 1.3);
    float e = amp.next();
    if (amp.stage == adsr::done) return false;
    filter.process(0.5f * (saw_a.next() + saw_b.next()));
    float y = std::tanh(1.4f * (0.75f * filter.low + 0.7f * sub.next(hz))) * e * gain;
    l[i] += y;
    r[i] += y;
  }
  return true;
}

// ---- pad ----

void pad_voice::start(int pitch, int gate_samples, float velocity, uint32_t seed) {
  static const double detune[5] = {-14.0, -6.0, 0.0, 7.0, 15.0};
  static const double pans[5] = {-0.85, -0.4, 0.0, 0.4, 0.85};
  t = 0;
  gate = gate_samples;
  gain = velocity / std::sqrt(5.0f);
  noise_source phases(seed);
  double hz = midi_to_hz(pitch);
  for (int k = 0; k < 5; ++k) {
    saws[k].set_hz(hz * cents(detune[k]));
    saws[k].phase = 0.5 + 0.5 * phases.next();
    pan_gains(pans[k], left[k], right[k]);
  }
  amp.start(0.9, 1.5, 0.8, 1.6);
}

bool pad_voice::render(float* l, float* r, int n) {
  // Envelope first, then one saw at a time over a chunk: short, tight inner loops.
  constexpr int chunk = 256;
  for (int from = 0; from < n; from += chunk) {
    float env[chunk];
    const int want = std::min(chunk, n - from);
    int count = 0;
    for (; count < want; ++count, ++t) {
      if (t == gate) amp.note_off();
      env[count] = amp.next() * gain;
      if (amp.stage == adsr::done) break;
    }
    for (int k = 0; k < 5; ++k) {
      saw_osc saw = saws[k];
      const float gl = left[k], gr = right[k];
      for (int i = 0; i < count; ++i) {
        float v = env[i] * saw.next();
        l[from + i] += v * gl;
        r[from + i] += v * gr;
      }
      saws[k] = saw;
    }
    if (amp.stage == adsr::done) return false;
  }
  return true;
}

// ---- arpeggio pluck ----

void arp_voice::start(int pitch, float velocity, double cutoff_hz, double pan) {
  t = 0;
  gain = velocity;
  cutoff = cutoff_hz;
  double hz = midi_to_hz(pitch);
  saw_a.set_hz(hz);
  saw_b.set_hz(hz * cents(8.0));
  saw_b.phase = 0.5;  // the pair starts as a pulse-like wave
  pan_gains(pan, pan_l, pan_r);
}

bool arp_voice::render(float* l, float* r, int n) {
  const int length = samples(0.75);
  for (int i = 0; i < n && t < length; ++i, ++t) {
    double s = t * dt;
    if ((t & 15) == 0) filter.set(cutoff + 3200.0 * std::exp(-s / 0.06), 1.8);
    float attack = t < 44 ? t / 44.0f : 1.0f;
    float env = attack * static_cast<float>(std::exp(-s / 0.16));
    filter.process(0.5f * (saw_a.next() - 0.6f * saw_b.next()));
    float y = gain * env * filter.low;
    l[i] += y * pan_l;
    r[i] += y * pan_r;
  }
  return t < length;
}

// ---- piano ----

void piano_voice::start(int pitch, int gate_samples, float velocity, uint32_t seed) {
  t = 0;
  gate = gate_samples;
  gain = velocity;
  damper = 1.0f;
  damper_coef = decay_per_sample(0.12);
  pan_gains(std::clamp((pitch - 64) / 40.0, -0.6, 0.6), pan_l, pan_r);
  noise = noise_source(seed);
  hammer.set(1800.0 + 2500.0 * velocity, 0.7);

  const double f0 = midi_to_hz(pitch);
  const double stiffness = 0.0004;
  const double rolloff = 1.7 - 0.8 * velocity;  // harder hits carry more upper partials
  const double tau1 = std::clamp(3.2 * std::sqrt(261.6 / f0), 0.8, 6.0);
  noise_source jitter(seed ^ 0xa5a5a5a5u);
  count = 0;
  for (int h = 1; h <= 11 && count < max_partials; ++h) {
    double hz = h * f0 * std::sqrt(1.0 + stiffness * h * h);
    if (hz > 10000.0) break;
    double amp = 0.5 / std::pow(static_cast<double>(h), rolloff) * (1.0 + 0.15 * jitter.next());
    double tau = tau1 / (1.0 + 0.4 * (h - 1));
    if (h <= 4 && count + 1 < max_partials) {
      // Two strings a fraction of a cent apart: the slow beating of a real unison.
      partials[count++].start(hz * cents(-0.7), amp * 0.5, tau);
      partials[count++].start(hz * cents(0.9), amp * 0.5, tau * 0.85);
    } else {
      partials[count++].start(hz, amp, tau);
    }
  }
}

bool piano_voice::render(float* l, float* r, int n) {
  const int hammer_length = samples(0.03);
  for (int i = 0; i < n; ++i, ++t) {
    float x = 0.0f;
    for (int k = 0; k < count; ++k) x += partials[k].next();
    if (t < hammer_length) {
      hammer.process(noise.next());
      x += hammer.low * 0.12f * gain * static_cast<float>(std::exp(-t * dt / 0.004));
    }
    if (t >= gate) {
      damper *= damper_coef;
      if (damper < 1e-3f) return false;
    }
    float y = x * gain * damper;
    l[i] += y * pan_l;
    r[i] += y * pan_r;
  }
  return t < samples(9.0);
}

}  // namespace soundtrack
