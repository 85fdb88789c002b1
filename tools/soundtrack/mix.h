// Plays a score through the instruments, buses and send effects into one stereo buffer.
#pragma once

#include <vector>

#include "tools/soundtrack/score.h"

namespace soundtrack {

// Renders the first `seconds` of the score (its whole length when seconds <= 0) as interleaved
// stereo floats at sample_rate, before mastering.
std::vector<float> render_mix(const score& piece, double seconds = 0.0);

}  // namespace soundtrack
