#pragma once
// Magnitude spectrum of a block of mono samples.

namespace fsound {

constexpr int fft_size = 1024;
constexpr int band_count = 512;

// 512 magnitudes of the Hann-windowed 1024-point FFT of `samples`, band 0 lowest, scaled so that
// a sine of amplitude 1 centred on a band reads 1.0 there.
void magnitude_spectrum(const float* samples, float* bands);

}  // namespace fsound
