// The FSOUND interface on SDL2 audio (or on a caller-driven clock), over the mixer.
#include "fsound/fsound.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "fsound/decode_mp3.h"
#include "fsound/fsound_offline.h"
#include "fsound/mixer.h"
#include "fsound/spectrum.h"

struct FSOUND_DSPUNIT {
  bool active = false;
};

namespace {

struct library {
  bool initialised = false;
  bool manual_clock = false;
  SDL_AudioDeviceID device = 0;
  int device_frames = 0;  // frames the device holds besides the block being mixed
  fsound::mixer mixer;
  // The last audio callback: the output frame its block started at, when it ran, its size.
  uint64_t callback_start = 0;
  uint64_t callback_counter = 0;
  uint32_t callback_frames = 0;
  uint64_t last_heard = 0;  // keeps the reported position from going backwards
  std::vector<std::unique_ptr<FSOUND_SAMPLE>> samples;
  FSOUND_DSPUNIT fft_unit;
  std::array<float, fsound::band_count> spectrum{};
};

// Never destroyed: when the program ends without FSOUND_Close the audio thread may still be mixing
// while static objects are torn down.
library& lib = *new library();
bool manual_clock_requested = false;

// Holds the audio thread off the shared state while alive.
struct audio_lock {
  audio_lock() {
    if (lib.device) SDL_LockAudioDevice(lib.device);
  }
  ~audio_lock() {
    if (lib.device) SDL_UnlockAudioDevice(lib.device);
  }
  audio_lock(const audio_lock&) = delete;
  audio_lock& operator=(const audio_lock&) = delete;
};

void SDLCALL audio_callback(void*, Uint8* stream, int bytes) {
  const auto frames = static_cast<uint32_t>(bytes / static_cast<int>(2 * sizeof(float)));
  lib.callback_start = lib.mixer.mixed;
  lib.callback_counter = SDL_GetPerformanceCounter();
  lib.callback_frames = frames;
  lib.mixer.mix(reinterpret_cast<float*>(stream), frames);
}

// The output frame the listener hears now (call with the audio lock held). The block of the last
// callback starts sounding once the device's own buffer has played out, then advances in real time
// until the block is used up.
uint64_t heard_frame() {
  if (lib.manual_clock) return lib.mixer.mixed;
  if (lib.callback_frames == 0) return 0;
  const double since = static_cast<double>(SDL_GetPerformanceCounter() - lib.callback_counter) /
                       static_cast<double>(SDL_GetPerformanceFrequency());
  const auto start = static_cast<int64_t>(lib.callback_start) - lib.device_frames;
  const auto played = static_cast<int64_t>(since * lib.mixer.rate);
  const int64_t heard = start + std::clamp<int64_t>(played, 0, lib.callback_frames);
  lib.last_heard = std::max(lib.last_heard, static_cast<uint64_t>(std::max<int64_t>(heard, 0)));
  return lib.last_heard;
}

fsound::channel* find_channel(int index) {
  if (!lib.initialised || index < 0 || index >= static_cast<int>(lib.mixer.channels.size())) return nullptr;
  return &lib.mixer.channels[static_cast<size_t>(index)];
}

}  // namespace

extern "C" {

void fsound_use_manual_clock(int enabled) { manual_clock_requested = enabled != 0; }

void fsound_advance(unsigned int frames, float* out) {
  if (!lib.initialised || !lib.manual_clock) return;
  std::array<float, 2 * 4096> scratch;
  while (frames > 0) {
    const uint32_t block = std::min(frames, 4096u);
    float* target = out ? out : scratch.data();
    lib.mixer.mix(target, block);
    if (out) out += 2 * block;
    frames -= block;
  }
}

signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int) {
  if (lib.initialised) FSOUND_Close();
  if (mixrate <= 0) return 0;
  lib.mixer.reset(mixrate, std::clamp(maxsoftwarechannels, 1, 256));
  lib.manual_clock = manual_clock_requested;
  if (!lib.manual_clock) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
    SDL_AudioSpec want{};
    want.freq = mixrate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = audio_callback;
    SDL_AudioSpec have{};
    lib.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (lib.device == 0) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return 0;
    }
    lib.device_frames = have.samples;
    SDL_PauseAudioDevice(lib.device, 0);
  }
  lib.initialised = true;
  return 1;
}

void FSOUND_Close(void) {
  if (lib.device) {
    SDL_CloseAudioDevice(lib.device);  // waits for a running callback and stops further ones
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  lib = library{};
}

FSOUND_SAMPLE* FSOUND_Sample_Load(int, const char* name, unsigned int mode, int, int) {
  fsound::decoded_audio audio;
  if (!fsound::decode_mp3_file(name, audio)) return nullptr;
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
  audio_lock lock;
  if (mode & FSOUND_LOOP_NORMAL) {
    sample->loop = true;
  } else if (mode & FSOUND_LOOP_OFF) {
    sample->loop = false;
  }
  return 1;
}

unsigned int FSOUND_Sample_GetLength(FSOUND_SAMPLE* sample) { return sample ? sample->length : 0; }

int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample) {
  if (!lib.initialised) return -1;
  audio_lock lock;
  return lib.mixer.play(channel, sample);
}

signed char FSOUND_SetCurrentPosition(int channel, unsigned int offset) {
  audio_lock lock;
  fsound::channel* c = find_channel(channel);
  if (!c || !c->sample) return 0;
  lib.mixer.set_position(*c, offset);
  return 1;
}

unsigned int FSOUND_GetCurrentPosition(int channel) {
  audio_lock lock;
  const fsound::channel* c = find_channel(channel);
  if (!c || !c->sample) return 0;
  return static_cast<unsigned int>(lib.mixer.position_at(*c, heard_frame()));
}

int FSOUND_GetFrequency(int channel) {
  const fsound::channel* c = find_channel(channel);
  return c && c->sample ? c->sample->rate : 0;
}

signed char FSOUND_SetVolume(int channel, int volume) {
  volume = std::clamp(volume, 0, 255);
  audio_lock lock;
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

FSOUND_DSPUNIT* FSOUND_DSP_GetFFTUnit(void) { return &lib.fft_unit; }

signed char FSOUND_DSP_SetActive(FSOUND_DSPUNIT* unit, signed char active) {
  if (!unit) return 0;
  unit->active = active != 0;
  return 1;
}

float* FSOUND_DSP_GetSpectrum(void) {
  if (!lib.initialised || !lib.fft_unit.active) {
    lib.spectrum.fill(0.0f);
    return lib.spectrum.data();
  }
  std::array<float, fsound::fft_size> recent;
  {
    audio_lock lock;
    lib.mixer.recent_mono(heard_frame(), recent.data(), fsound::fft_size);
  }
  fsound::magnitude_spectrum(recent.data(), lib.spectrum.data());
  return lib.spectrum.data();
}

}  // extern "C"
