// Mastering: loudness measurement (ITU-R BS.1770 K-weighting with the EBU R 128 gates), true-peak
// estimation by 4x oversampling, and a look-ahead limiter that brings the mix to a loudness target
// under a true-peak ceiling.
#pragma once

#include <cstddef>
#include <vector>

namespace soundtrack {

// Integrated loudness in LUFS of interleaved stereo at sample_rate; -70 or below for silence.
double integrated_loudness(const float* stereo, size_t frames);

// For every frame, the largest magnitude of either channel at the frame and at the three points
// interpolated (4x oversampling) between it and the next frame.
std::vector<float> true_peak_envelope(const float* stereo, size_t frames);

// Highest true peak in dBTP.
double true_peak_db(const float* stereo, size_t frames);

struct master_report {
  double gain_db = 0.0;           // make-up gain before the limiter
  double loudness_lufs = 0.0;     // integrated loudness of the result
  double true_peak_db = 0.0;      // of the result
  double max_reduction_db = 0.0;  // deepest limiter gain reduction
};

// Brings interleaved stereo, in place, to `target_lufs` with true peaks at or below `ceiling_db`.
master_report master_mix(std::vector<float>& stereo, double target_lufs, double ceiling_db);

}  // namespace soundtrack
