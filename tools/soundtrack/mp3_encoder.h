// Encodes interleaved stereo floats to an MP3 file with LAME.
#pragma once

#include <string>
#include <vector>

namespace soundtrack {

// Constant bit rate, joint stereo, with a LAME info frame (encoder delay and padding) so that
// decoders can return exactly the encoded samples. Writes through a temporary file and renames it,
// so a failed run never leaves a half-written file under the final name. Returns false with a
// message in `error` on failure.
bool encode_mp3(const std::vector<float>& stereo, int sample_rate_hz, int kbps, const std::string& path,
                std::string& error);

}  // namespace soundtrack
