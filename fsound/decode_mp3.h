#pragma once
// Whole-file MP3 decoding into 16-bit interleaved stereo frames, for files that are MPEG audio.
#include <cstdint>
#include <string>
#include <vector>

namespace fsound {

struct decoded_audio {
  std::vector<int16_t> pcm;  // interleaved left, right
  int rate = 0;              // frames per second
};

// Decodes every frame of the file with the encoder delay and padding removed (gapless). Mono
// files come out as two equal channels. False, with the reason in `error`, when the file cannot be
// opened, is not MPEG audio (see check_mpeg_audio) or yields no audio.
bool decode_mp3_file(const char* path, decoded_audio& out, std::string& error);

// Frames in a row that the start of a file must hold (fewer only where the file ends) to count as
// MPEG audio: one frame header can turn up by chance in any data, a run of them does not.
constexpr int frames_in_a_row = 4;

// True when `head`, the first bytes of a file of `file_size` bytes, is MPEG audio: after an
// optional ID3v2 tag (and zero padding), `frames_in_a_row` frame headers of one MPEG version,
// layer and sampling rate, each where the previous frame's length puts it. False, with the reason
// in `error`, otherwise. `head` must hold the tag and those frames where the file has them.
bool check_mpeg_audio(const std::vector<uint8_t>& head, uint64_t file_size, std::string& error);

// Bytes of the file check_mpeg_audio needs beyond an ID3v2 tag.
constexpr size_t mpeg_check_bytes = 16 * 1024;

}  // namespace fsound
