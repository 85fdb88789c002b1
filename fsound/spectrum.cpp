// The magnitude spectrum of 1024 mono samples: Hann window and a real FFT (kissfft).
#include "fsound/spectrum.h"

#include <kiss_fftr.h>

#include <array>
#include <cmath>
#include <numbers>

namespace fsound {

namespace {

struct fft_plan {
  kiss_fftr_cfg cfg = kiss_fftr_alloc(fft_size, 0, nullptr, nullptr);
  std::array<float, fft_size> window{};

  fft_plan() {
    // Periodic Hann window: its sum is exactly fft_size / 2.
    for (int n = 0; n < fft_size; ++n) {
      window[n] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * n / fft_size));
    }
  }
  ~fft_plan() { kiss_fftr_free(cfg); }
  fft_plan(const fft_plan&) = delete;
  fft_plan& operator=(const fft_plan&) = delete;
};

}  // namespace

void magnitude_spectrum(const float* samples, float* bands) {
  static fft_plan plan;
  std::array<float, fft_size> windowed;
  std::array<kiss_fft_cpx, fft_size / 2 + 1> bins;
  for (int n = 0; n < fft_size; ++n) windowed[n] = samples[n] * plan.window[n];
  kiss_fftr(plan.cfg, windowed.data(), bins.data());
  // A sine of amplitude A gives A / 2 * sum(window) = A * fft_size / 4 in its bin.
  constexpr float scale = 4.0f / fft_size;
  for (int k = 0; k < band_count; ++k) bands[k] = std::hypot(bins[k].r, bins[k].i) * scale;
}

}  // namespace fsound
