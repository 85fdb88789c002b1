#pragma once
// The software mixer: channels playing decoded samples, mixed block by block into interleaved
// stereo floats, with a history of the mono mix for the spectrum. Output frames are counted from
// the start; a channel's sample position is a function of the output frame, so the position at
// any frame already mixed (what the listener hears now) can be recomputed exactly.
#include <array>
#include <cstdint>
#include <vector>

struct FSOUND_SAMPLE {
  std::vector<int16_t> pcm;  // interleaved stereo
  uint32_t length = 0;       // frames
  int rate = 0;              // frames per second
  bool loop = false;         // for plays started from now on
};

namespace fsound {

// The FSOUND volume scale: 0 silent, 255 full.
constexpr int full_volume = 255;

struct channel {
  FSOUND_SAMPLE* sample = nullptr;
  int volume = full_volume;
  bool loop = false;             // the sample's loop mode when the play started
  double ratio = 1.0;            // sample frames per output frame
  uint64_t anchor_output = 0;    // output frame at which the sample stands at anchor_position
  double anchor_position = 0.0;  // sample frame
  bool paused = false;           // silent, its position held at anchor_position
};

struct mixer {
  // A power of two; about 1.5 s at 44100 Hz, room for the device buffer and output latency that
  // lie between the newest frame mixed and the frame heard.
  static constexpr int history_frames = 65536;
  int rate = 44100;
  std::vector<channel> channels;
  uint64_t mixed = 0;  // output frames mixed so far
  std::array<float, history_frames> history{};

  void reset(int mix_rate, int channel_count);
  // Starts `sample` on `index` (-1: the lowest free channel) at the next frame to mix. Returns the
  // channel, or -1 when none is free or the index is out of range.
  int play(int index, FSOUND_SAMPLE* sample);
  // Moves the channel to sample frame `position` from the next frame to mix on.
  void set_position(channel& c, uint32_t position) const;
  // Sample frame of the channel at output frame `output`: before its start the start position,
  // wrapped at the end when looping, else held at the end.
  double position_at(const channel& c, uint64_t output) const;
  // Pauses the channel at the position of the newest frame mixed, or resumes it from its held
  // position at the next frame to mix.
  void set_paused(channel& c, bool paused) const;
  // True when some channel has a sample and every such channel is paused.
  bool all_paused() const;
  // The mono mix of the `count` sample frames that end at each paused channel's held position,
  // as the listener would hear them there (zeros before the sample's start).
  void paused_mono(float* out, int count) const;
  bool finished(const channel& c, uint64_t output) const;
  // Mixes `frames` frames into `out` (2 * frames floats) and into the history.
  void mix(float* out, uint32_t frames);
  // Copies the mono mix of the `count` frames ending before output frame `end` (zeros before the
  // start); `end` must lie within the history (mixed - end + count <= history_frames).
  void recent_mono(uint64_t end, float* out, int count) const;
  // The output frame `heard` kept where recent_mono can read `count` frames before it: no later
  // than the newest frame mixed, no earlier than the history holds.
  uint64_t within_history(int64_t heard, int count) const;
};

}  // namespace fsound
