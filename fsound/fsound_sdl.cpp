// Audio output through SDL2: the audio callback mixes each block the device asks for; what the
// listener hears is worked out from the last callback, the device's buffer size and the output
// latency behind it. SDL2 does not report a sound server's latency: the viewer may give it
// (output_latency.h).
#include <SDL.h>

#include <cstdint>

#include "fsound/callback_clock.h"
#include "fsound/mixer.h"
#include "fsound/output.h"
#include "fsound/output_latency.h"
#include "fsound/spectrum.h"

namespace {

// The device buffer: about 23 ms at 44100 Hz, short enough for the position and the spectrum to
// follow the ear closely, long enough for SDL's audio thread to keep it filled.
constexpr Uint16 device_buffer_frames = 1024;

struct sdl_output {
  SDL_AudioDeviceID device = 0;
  fsound::mixer* source = nullptr;  // the mixer the callback pulls from
  fsound::callback_clock clock;
};

// Never destroyed, like the library state the callback mixes from.
sdl_output& out = *new sdl_output();

double seconds_now() {
  return static_cast<double>(SDL_GetPerformanceCounter()) /
         static_cast<double>(SDL_GetPerformanceFrequency());
}

void SDLCALL audio_callback(void*, Uint8* stream, int bytes) {
  fsound::mixer& mixer = *out.source;
  const auto frames = static_cast<uint32_t>(bytes / static_cast<int>(2 * sizeof(float)));
  out.clock.on_block(mixer.mixed, frames, seconds_now());
  mixer.mix(reinterpret_cast<float*>(stream), frames);
}

}  // namespace

namespace fsound {

bool output_open(mixer& source, int mixrate, std::string& error) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    error = std::string("no sound: ") + SDL_GetError();
    return false;
  }
  SDL_AudioSpec want{};
  want.freq = mixrate;
  want.format = AUDIO_F32SYS;
  want.channels = 2;
  want.samples = device_buffer_frames;
  want.callback = audio_callback;
  SDL_AudioSpec have{};
  out.source = &source;
  out.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (out.device == 0) {
    error = std::string("no sound device: ") + SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  out.clock = callback_clock{};
  out.clock.rate = mixrate;
  // The device holds one buffer besides the block being mixed; the latency lies behind both.
  out.clock.behind = have.samples + configured_latency_frames(mixrate);
  SDL_PauseAudioDevice(out.device, 0);
  return true;
}

void output_close() {
  if (out.device) {
    SDL_CloseAudioDevice(out.device);  // waits for a running callback and stops further ones
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  out = sdl_output{};
}

void output_lock() {
  if (out.device) SDL_LockAudioDevice(out.device);
}

void output_unlock() {
  if (out.device) SDL_UnlockAudioDevice(out.device);
}

uint64_t output_heard_frame() {
  const mixer& m = *out.source;
  return m.within_history(static_cast<int64_t>(out.clock.heard(seconds_now())), fft_size);
}

}  // namespace fsound
