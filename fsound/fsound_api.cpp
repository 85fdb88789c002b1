// The FSOUND interface over the mixer, the MP3 decoder and the spectrum; the platform's audio
// output (output.h) plays what the mixer makes and says which frame is heard.
#include <algorithm>
#include <array>
#include <memory>

#include "fsound/decode_mp3.h"
#include "fsound/fsound.h"
#include "fsound/fsound_offline.h"
#include "fsound/library_state.h"
#include "fsound/output.h"

namespace fsound {

library_state& state() {
  static library_state& lib = *new library_state();
  return lib;
}

}  // namespace fsound

namespace {

// A bound on the channel table a caller can ask for (the program asks for 32).
constexpr int max_channels = 256;

// Frames fsound_advance mixes at a time when the caller discards them: the size of its scratch
// buffer on the stack.
constexpr uint32_t advance_block_frames = 4096;

bool manual_clock_requested = false;

struct output_guard {
  output_guard() { fsound::output_lock(); }
  ~output_guard() { fsound::output_unlock(); }
  output_guard(const output_guard&) = delete;
  output_guard& operator=(const output_guard&) = delete;
};

// The output frame the listener hears now (lock held).
uint64_t heard_frame() {
  const fsound::library_state& lib = fsound::state();
  return lib.manual_clock ? lib.mixer.mixed : fsound::output_heard_frame();
}

fsound::channel* find_channel(int index) {
  fsound::library_state& lib = fsound::state();
  if (!lib.initialised || index < 0 || index >= static_cast<int>(lib.mixer.channels.size())) return nullptr;
  return &lib.mixer.channels[static_cast<size_t>(index)];
}

}  // namespace

extern "C" {

void fsound_use_manual_clock(int enabled) { manual_clock_requested = enabled != 0; }

void fsound_advance(unsigned int frames, float* out) {
  fsound::library_state& lib = fsound::state();
  if (!lib.initialised || !lib.manual_clock) return;
  std::array<float, 2 * advance_block_frames> scratch;
  while (frames > 0) {
    const uint32_t block = std::min(frames, advance_block_frames);
    lib.mixer.mix(out ? out : scratch.data(), block);
    if (out) out += 2 * block;
    frames -= block;
  }
}

signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int) {
  fsound::library_state& lib = fsound::state();
  if (lib.initialised) FSOUND_Close();
  if (mixrate <= 0) {
    lib.error = "no mixing rate";
    return 0;
  }
  lib.mixer.reset(mixrate, std::clamp(maxsoftwarechannels, 1, max_channels));
  lib.manual_clock = manual_clock_requested;
  lib.error.clear();
  if (!lib.manual_clock && !fsound::output_open(lib.mixer, mixrate, lib.error)) return 0;
  lib.initialised = true;
  return 1;
}

void FSOUND_Close(void) {
  fsound::output_close();
  fsound::state() = fsound::library_state{};
}

FSOUND_SAMPLE* FSOUND_Sample_Load(int, const char* name, unsigned int mode, int, int) {
  fsound::library_state& lib = fsound::state();
  fsound::decoded_audio audio;
  lib.error.clear();
  if (!fsound::decode_mp3_file(name, audio, lib.error)) return nullptr;
  auto sample = std::make_unique<FSOUND_SAMPLE>();
  sample->length = static_cast<uint32_t>(audio.pcm.size() / 2);
  sample->pcm = std::move(audio.pcm);
  sample->rate = audio.rate;
  sample->loop = (mode & FSOUND_LOOP_NORMAL) != 0;
  lib.samples.push_back(std::move(sample));
  return lib.samples.back().get();
}

signed char FSOUND_Sample_SetMode(FSOUND_SAMPLE* sample, unsigned int mode) {
  if (!sample) return 0;
  output_guard guard;
  if (mode & FSOUND_LOOP_NORMAL) {
    sample->loop = true;
  } else if (mode & FSOUND_LOOP_OFF) {
    sample->loop = false;
  }
  return 1;
}

unsigned int FSOUND_Sample_GetLength(FSOUND_SAMPLE* sample) { return sample ? sample->length : 0; }

int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample) {
  if (!fsound::state().initialised) return -1;
  output_guard guard;
  return fsound::state().mixer.play(channel, sample);
}

signed char FSOUND_SetCurrentPosition(int channel, unsigned int offset) {
  output_guard guard;
  fsound::channel* c = find_channel(channel);
  if (!c || !c->sample) return 0;
  fsound::state().mixer.set_position(*c, offset);
  return 1;
}

signed char FSOUND_SetPaused(int channel, signed char paused) {
  output_guard guard;
  fsound::channel* c = find_channel(channel);
  if (!c || !c->sample) return 0;
  fsound::state().mixer.set_paused(*c, paused != 0);
  return 1;
}

signed char FSOUND_GetPaused(int channel) {
  const fsound::channel* c = find_channel(channel);
  return c && c->sample && c->paused ? 1 : 0;
}

unsigned int FSOUND_GetCurrentPosition(int channel) {
  output_guard guard;
  const fsound::channel* c = find_channel(channel);
  if (!c || !c->sample) return 0;
  return static_cast<unsigned int>(fsound::state().mixer.position_at(*c, heard_frame()));
}

int FSOUND_GetFrequency(int channel) {
  const fsound::channel* c = find_channel(channel);
  return c && c->sample ? c->sample->rate : 0;
}

signed char FSOUND_SetVolume(int channel, int volume) {
  volume = std::clamp(volume, 0, fsound::full_volume);
  output_guard guard;
  fsound::library_state& lib = fsound::state();
  if (channel == FSOUND_ALL) {
    if (!lib.initialised) return 0;
    for (fsound::channel& c : lib.mixer.channels) c.volume = volume;
    return 1;
  }
  fsound::channel* c = find_channel(channel);
  if (!c) return 0;
  c->volume = volume;
  return 1;
}

FSOUND_DSPUNIT* FSOUND_DSP_GetFFTUnit(void) { return &fsound::state().fft_unit; }

signed char FSOUND_DSP_SetActive(FSOUND_DSPUNIT* unit, signed char active) {
  if (!unit) return 0;
  unit->active = active != 0;
  return 1;
}

const char* fsound_error_text(void) { return fsound::state().error.c_str(); }

float* FSOUND_DSP_GetSpectrum(void) {
  fsound::library_state& lib = fsound::state();
  if (!lib.initialised || !lib.fft_unit.active) {
    lib.spectrum.fill(0.0f);
    return lib.spectrum.data();
  }
  std::array<float, fsound::fft_size> recent;
  {
    output_guard guard;
    if (lib.mixer.all_paused()) {
      lib.mixer.paused_mono(recent.data(), fsound::fft_size);
    } else {
      lib.mixer.recent_mono(heard_frame(), recent.data(), fsound::fft_size);
    }
  }
  fsound::magnitude_spectrum(recent.data(), lib.spectrum.data());
  return lib.spectrum.data();
}

}  // extern "C"
