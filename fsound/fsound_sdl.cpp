// Audio output through SDL2: the audio callback mixes each block the device asks for; what the
// listener hears is worked out from the last callback and the device's buffer size.
#include <SDL.h>

#include <algorithm>
#include <cstdint>

#include "fsound/output.h"

namespace {

struct sdl_output {
  SDL_AudioDeviceID device = 0;
  int device_frames = 0;  // frames the device holds besides the block being mixed
  // The last audio callback: the output frame its block started at, when it ran, its size.
  uint64_t callback_start = 0;
  uint64_t callback_counter = 0;
  uint32_t callback_frames = 0;
  uint64_t last_heard = 0;  // keeps the reported position from going backwards
};

// Never destroyed, like the library state the callback mixes from.
sdl_output& out = *new sdl_output();

void SDLCALL audio_callback(void*, Uint8* stream, int bytes) {
  fsound::mixer& mixer = fsound::state().mixer;
  const auto frames = static_cast<uint32_t>(bytes / static_cast<int>(2 * sizeof(float)));
  out.callback_start = mixer.mixed;
  out.callback_counter = SDL_GetPerformanceCounter();
  out.callback_frames = frames;
  mixer.mix(reinterpret_cast<float*>(stream), frames);
}

}  // namespace

namespace fsound {

bool output_open(int mixrate, std::string& error) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    error = std::string("no sound: ") + SDL_GetError();
    return false;
  }
  SDL_AudioSpec want{};
  want.freq = mixrate;
  want.format = AUDIO_F32SYS;
  want.channels = 2;
  want.samples = 1024;
  want.callback = audio_callback;
  SDL_AudioSpec have{};
  out.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (out.device == 0) {
    error = std::string("no sound device: ") + SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  out.device_frames = have.samples;
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

// The block of the last callback starts sounding once the device's own buffer has played out,
// then advances in real time until the block is used up.
uint64_t output_heard_frame() {
  if (out.callback_frames == 0) return 0;
  const double since = static_cast<double>(SDL_GetPerformanceCounter() - out.callback_counter) /
                       static_cast<double>(SDL_GetPerformanceFrequency());
  const auto start = static_cast<int64_t>(out.callback_start) - out.device_frames;
  const auto played = static_cast<int64_t>(since * state().mixer.rate);
  const int64_t heard = start + std::clamp<int64_t>(played, 0, out.callback_frames);
  out.last_heard = std::max(out.last_heard, static_cast<uint64_t>(std::max<int64_t>(heard, 0)));
  return out.last_heard;
}

}  // namespace fsound
