#include "tools/soundtrack/master.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "tools/soundtrack/dsp.h"

namespace soundtrack {
namespace {

struct biquad {
  double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
  double z1 = 0, z2 = 0;
  double process(double x) {
    double y = b0 * x + z1;
    z1 = b1 * x - a1 * y + z2;
    z2 = b2 * x - a2 * y;
    return y;
  }
};

// The two stages of the K-weighting filter, derived for our sample rate from their analogue
// definitions: a high shelf of about +4 dB above 1.7 kHz and a high-pass near 38 Hz.
void k_weighting(biquad& shelf, biquad& high_pass) {
  {
    const double f0 = 1681.974450955533, gain_db = 3.999843853973347, q = 0.7071752369554196;
    const double k = std::tan(pi * f0 / sample_rate);
    const double vh = std::pow(10.0, gain_db / 20.0);
    const double vb = std::pow(vh, 0.4996667741545416);
    const double a0 = 1.0 + k / q + k * k;
    shelf.b0 = (vh + vb * k / q + k * k) / a0;
    shelf.b1 = 2.0 * (k * k - vh) / a0;
    shelf.b2 = (vh - vb * k / q + k * k) / a0;
    shelf.a1 = 2.0 * (k * k - 1.0) / a0;
    shelf.a2 = (1.0 - k / q + k * k) / a0;
  }
  {
    const double f0 = 38.13547087602444, q = 0.5003270373238773;
    const double k = std::tan(pi * f0 / sample_rate);
    const double a0 = 1.0 + k / q + k * k;
    high_pass.b0 = 1.0;
    high_pass.b1 = -2.0;
    high_pass.b2 = 1.0;
    high_pass.a1 = 2.0 * (k * k - 1.0) / a0;
    high_pass.a2 = (1.0 - k / q + k * k) / a0;
  }
}

// Windowed-sinc interpolation taps for the three in-between phases of 4x oversampling.
constexpr int taps = 16;
struct interpolator {
  float h[3][taps];
  interpolator() {
    for (int p = 1; p <= 3; ++p) {
      double frac = p / 4.0;
      double sum = 0.0;
      for (int k = 0; k < taps; ++k) {
        double x = (k - (taps / 2 - 1)) - frac;  // distance from the interpolated point
        double sinc = std::fabs(x) < 1e-12 ? 1.0 : std::sin(pi * x) / (pi * x);
        double w = 0.42 + 0.5 * std::cos(pi * x / (taps / 2)) + 0.08 * std::cos(2.0 * pi * x / (taps / 2));
        h[p - 1][k] = static_cast<float>(sinc * w);
        sum += sinc * w;
      }
      for (int k = 0; k < taps; ++k) h[p - 1][k] = static_cast<float>(h[p - 1][k] / sum);
    }
  }
};

// Limiter gain for every frame: never above ceiling / peak, drops ahead of a peak over `look`
// frames, recovers with the release time.
std::vector<float> limiter_gain(const std::vector<float>& peaks, double drive, double ceiling, int look,
                                double release_seconds) {
  const size_t frames = peaks.size();
  std::vector<float> need(frames);
  for (size_t i = 0; i < frames; ++i) {
    double p = peaks[i] * drive;
    need[i] = p > ceiling ? static_cast<float>(ceiling / p) : 1.0f;
  }
  // Minimum of need[i .. i + look - 1] (sliding window minimum).
  std::vector<float> held(frames);
  std::deque<size_t> window;
  for (size_t j = 0; j < frames + look; ++j) {
    if (j < frames) {
      while (!window.empty() && need[window.back()] >= need[j]) window.pop_back();
      window.push_back(j);
    }
    if (j + 1 >= static_cast<size_t>(look)) {
      size_t i = j + 1 - look;
      if (i >= frames) break;
      while (window.front() < i) window.pop_front();
      held[i] = need[window.front()];
    }
  }
  // Release: instant down, exponential way back up.
  const float rise = static_cast<float>(1.0 - std::exp(-1.0 / (release_seconds * sample_rate)));
  float g = 1.0f;
  for (size_t i = 0; i < frames; ++i) {
    g = std::min(held[i], g + (1.0f - g) * rise);
    held[i] = g;
  }
  // Moving average over `look` frames smooths the attack and stays below every need[i], because
  // each averaged value already holds the minimum over the look-ahead that covers frame i.
  std::vector<float> gain(frames);
  double sum = 0.0;
  for (size_t i = 0; i < frames; ++i) {
    sum += held[i];
    if (i >= static_cast<size_t>(look)) sum -= held[i - look];
    size_t count = std::min(i + 1, static_cast<size_t>(look));
    gain[i] = static_cast<float>(sum / count);
  }
  return gain;
}

}  // namespace

double integrated_loudness(const float* stereo, size_t frames) {
  // Mean square of the K-weighted signal per 100 ms step; blocks are four steps (400 ms).
  const size_t step = sample_rate / 10;
  std::vector<double> steps;
  biquad shelf[2], high[2];
  for (int c = 0; c < 2; ++c) k_weighting(shelf[c], high[c]);
  double acc = 0.0;
  for (size_t f = 0; f < frames; ++f) {
    for (int c = 0; c < 2; ++c) {
      double y = high[c].process(shelf[c].process(stereo[2 * f + c]));
      acc += y * y;
    }
    if ((f + 1) % step == 0) {
      steps.push_back(acc / step);
      acc = 0.0;
    }
  }
  std::vector<double> blocks;
  for (size_t i = 0; i + 4 <= steps.size(); ++i)
    blocks.push_back((steps[i] + steps[i + 1] + steps[i + 2] + steps[i + 3]) / 4);
  auto loudness = [](double mean_square) { return -0.691 + 10.0 * std::log10(std::max(mean_square, 1e-20)); };
  double sum = 0.0;
  size_t count = 0;
  for (double b : blocks)
    if (loudness(b) > -70.0) sum += b, ++count;
  if (count == 0) return -70.0;
  const double relative_gate = loudness(sum / count) - 10.0;
  sum = 0.0;
  count = 0;
  for (double b : blocks)
    if (loudness(b) > -70.0 && loudness(b) > relative_gate) sum += b, ++count;
  return count ? loudness(sum / count) : -70.0;
}

std::vector<float> true_peak_envelope(const float* stereo, size_t frames) {
  static const interpolator interp;
  std::vector<float> peaks(frames, 0.0f);
  const long first = taps / 2 - 1;  // taps before the frame itself
  for (int c = 0; c < 2; ++c) {
    for (size_t f = 0; f < frames; ++f) {
      float peak = std::fabs(stereo[2 * f + c]);
      long base = static_cast<long>(f) - first;
      float window[taps];
      for (int k = 0; k < taps; ++k) {
        long i = base + k;
        window[k] = (i >= 0 && i < static_cast<long>(frames)) ? stereo[2 * i + c] : 0.0f;
      }
      for (int p = 0; p < 3; ++p) {
        float y = 0.0f;
        for (int k = 0; k < taps; ++k) y += interp.h[p][k] * window[k];
        peak = std::max(peak, std::fabs(y));
      }
      peaks[f] = std::max(peaks[f], peak);
    }
  }
  return peaks;
}

double true_peak_db(const float* stereo, size_t frames) {
  std::vector<float> peaks = true_peak_envelope(stereo, frames);
  float top = peaks.empty() ? 0.0f : *std::max_element(peaks.begin(), peaks.end());
  return 20.0 * std::log10(std::max(top, 1e-10f));
}

master_report master_mix(std::vector<float>& stereo, double target_lufs, double ceiling_db) {
  const size_t frames = stereo.size() / 2;
  const std::vector<float> peaks = true_peak_envelope(stereo.data(), frames);
  const double ceiling = db_to_gain(ceiling_db);
  const int look = static_cast<int>(0.0015 * sample_rate);
  std::vector<float> trial(stereo.size());
  master_report report;

  // The limiter takes some loudness away, so the drive is found by a few corrections.
  double drive = db_to_gain(target_lufs - integrated_loudness(stereo.data(), frames));
  std::vector<float> gain;
  for (int round = 0; round < 4; ++round) {
    gain = limiter_gain(peaks, drive, ceiling, look, 0.08);
    for (size_t f = 0; f < frames; ++f) {
      float g = static_cast<float>(drive) * gain[f];
      trial[2 * f] = stereo[2 * f] * g;
      trial[2 * f + 1] = stereo[2 * f + 1] * g;
    }
    double measured = integrated_loudness(trial.data(), frames);
    report.loudness_lufs = measured;
    if (std::fabs(measured - target_lufs) < 0.02) break;
    drive *= db_to_gain(target_lufs - measured);
  }
  stereo.swap(trial);
  report.gain_db = 20.0 * std::log10(drive);
  report.max_reduction_db = 20.0 * std::log10(*std::min_element(gain.begin(), gain.end()));
  report.true_peak_db = true_peak_db(stereo.data(), frames);
  return report;
}

}  // namespace soundtrack
