#pragma once
// The sound library's one state, kept by the FSOUND interface (fsound_api.cpp): the mixer and its
// channels, the loaded samples, the FFT unit and its spectrum, and the last failure.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "fsound/mixer.h"
#include "fsound/spectrum.h"

struct FSOUND_DSPUNIT {
  bool active = false;
};

namespace fsound {

struct library_state {
  bool initialised = false;
  bool manual_clock = false;  // no device: the caller advances the mixer (fsound_advance)
  fsound::mixer mixer;
  std::vector<std::unique_ptr<FSOUND_SAMPLE>> samples;
  FSOUND_DSPUNIT fft_unit;
  std::array<float, band_count> spectrum{};
  std::string error;  // why the last FSOUND_Init or FSOUND_Sample_Load failed
};

// The one library state. Never destroyed: when the program ends without FSOUND_Close the output's
// thread may still be mixing while static objects are torn down.
library_state& state();

}  // namespace fsound
