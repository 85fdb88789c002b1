// The FSOUND interface on the Windows waveOut device (winmm), over the same mixer, MP3 decoder and
// spectrum as the SDL output. A feeder thread keeps a ring of device buffers filled; what the
// listener hears now is the device's own playback position (waveOutGetPosition).
#include <windows.h>
// After windows.h, which it builds on.
#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "fsound/decode_mp3.h"
#include "fsound/fsound.h"
#include "fsound/fsound_offline.h"
#include "fsound/mixer.h"
#include "fsound/spectrum.h"

struct FSOUND_DSPUNIT {
  bool active = false;
};

namespace {

// A ring of about 280 ms at 44100 Hz: enough to ride out a busy machine, and short enough that what
// is heard stays within the mixer's history (the spectrum reads it from there).
constexpr int buffer_count = 3;
constexpr uint32_t buffer_frames = 4096;

struct library {
  bool initialised = false;
  bool manual_clock = false;
  HWAVEOUT device = nullptr;
  HANDLE buffer_done = nullptr;  // signalled by the device whenever a buffer has played
  std::thread feeder;
  std::array<std::vector<int16_t>, buffer_count> pcm;
  std::array<WAVEHDR, buffer_count> headers{};
  int next_buffer = 0;  // the buffer the device returns next
  std::vector<float> block;
  fsound::mixer mixer;
  // The device position counts 32-bit samples since opening; wraps are folded into 64 bits.
  uint32_t last_device_position = 0;
  uint64_t heard = 0;
  std::vector<std::unique_ptr<FSOUND_SAMPLE>> samples;
  FSOUND_DSPUNIT fft_unit;
  std::array<float, fsound::band_count> spectrum{};
};

// The library state lives until the process ends and is never destroyed: a program that leaves
// without FSOUND_Close keeps the device and its feeder thread running into the process exit, and
// static destruction must not pull the state from under that thread.
library& lib = *new library;
std::mutex& lib_mutex = *new std::mutex;  // the feeder thread against the caller's thread
std::atomic<bool> feeder_stop{false};
bool manual_clock_requested = false;

// Mixes the next block into buffer `index` and queues it on the device (mutex held).
void queue_buffer(int index) {
  lib.mixer.mix(lib.block.data(), buffer_frames);
  std::vector<int16_t>& out = lib.pcm[static_cast<size_t>(index)];
  for (size_t i = 0; i < out.size(); ++i) {
    const float v = std::clamp(lib.block[i], -1.0f, 1.0f);
    out[i] = static_cast<int16_t>(v * 32767.0f);
  }
  waveOutWrite(lib.device, &lib.headers[static_cast<size_t>(index)], sizeof(WAVEHDR));
}

// Refills, in playing order, every buffer the device has handed back.
void feed() {
  // Audio must not wait behind rendering threads: a late refill is a gap the listener hears and a
  // stall of the music position the show clock follows.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  while (!feeder_stop.load()) {
    WaitForSingleObject(lib.buffer_done, 50);
    std::lock_guard<std::mutex> guard(lib_mutex);
    while (!feeder_stop.load() && (lib.headers[static_cast<size_t>(lib.next_buffer)].dwFlags & WHDR_DONE)) {
      queue_buffer(lib.next_buffer);
      lib.next_buffer = (lib.next_buffer + 1) % buffer_count;
    }
  }
}

// The output frame the listener hears now (mutex held): the device's playback position, never
// ahead of what was mixed and never so far behind that the spectrum history no longer holds it.
uint64_t heard_frame() {
  if (lib.manual_clock) return lib.mixer.mixed;
  MMTIME time{};
  time.wType = TIME_SAMPLES;
  if (waveOutGetPosition(lib.device, &time, sizeof(time)) == MMSYSERR_NOERROR) {
    const uint32_t position = time.wType == TIME_BYTES ? time.u.cb / (2 * sizeof(int16_t)) : time.u.sample;
    lib.heard += position - lib.last_device_position;  // unsigned difference: wraps fold in
    lib.last_device_position = position;
  }
  const uint64_t oldest = lib.mixer.mixed > fsound::mixer::history_frames - fsound::fft_size
                              ? lib.mixer.mixed - (fsound::mixer::history_frames - fsound::fft_size)
                              : 0;
  return std::clamp(lib.heard, oldest, lib.mixer.mixed);
}

fsound::channel* find_channel(int index) {
  if (!lib.initialised || index < 0 || index >= static_cast<int>(lib.mixer.channels.size())) return nullptr;
  return &lib.mixer.channels[static_cast<size_t>(index)];
}

bool open_device(int mixrate) {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = static_cast<DWORD>(mixrate);
  format.wBitsPerSample = 16;
  format.nBlockAlign = static_cast<WORD>(format.nChannels * format.wBitsPerSample / 8);
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  lib.buffer_done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!lib.buffer_done) return false;
  if (waveOutOpen(&lib.device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(lib.buffer_done), 0,
                  CALLBACK_EVENT) != MMSYSERR_NOERROR) {
    lib.device = nullptr;
    CloseHandle(lib.buffer_done);
    lib.buffer_done = nullptr;
    return false;
  }
  lib.block.assign(2 * buffer_frames, 0.0f);
  for (int i = 0; i < buffer_count; ++i) {
    auto& pcm = lib.pcm[static_cast<size_t>(i)];
    pcm.assign(2 * buffer_frames, 0);
    WAVEHDR& header = lib.headers[static_cast<size_t>(i)];
    header = WAVEHDR{};
    header.lpData = reinterpret_cast<LPSTR>(pcm.data());
    header.dwBufferLength = static_cast<DWORD>(pcm.size() * sizeof(int16_t));
    waveOutPrepareHeader(lib.device, &header, sizeof(WAVEHDR));
  }
  // Start playing silence-led mixes at once; from here on the feeder keeps the ring full.
  for (int i = 0; i < buffer_count; ++i) queue_buffer(i);
  feeder_stop = false;
  lib.feeder = std::thread(feed);
  return true;
}

void close_device() {
  if (lib.feeder.joinable()) {
    feeder_stop = true;
    SetEvent(lib.buffer_done);
    lib.feeder.join();
  }
  if (lib.device) {
    waveOutReset(lib.device);  // hands every queued buffer back
    for (WAVEHDR& header : lib.headers) waveOutUnprepareHeader(lib.device, &header, sizeof(WAVEHDR));
    waveOutClose(lib.device);
  }
  if (lib.buffer_done) CloseHandle(lib.buffer_done);
}

}  // namespace

extern "C" {

void fsound_use_manual_clock(int enabled) { manual_clock_requested = enabled != 0; }

void fsound_advance(unsigned int frames, float* out) {
  if (!lib.initialised || !lib.manual_clock) return;
  std::array<float, 2 * 4096> scratch;
  while (frames > 0) {
    const uint32_t block = std::min(frames, 4096u);
    lib.mixer.mix(out ? out : scratch.data(), block);
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
    std::lock_guard<std::mutex> guard(lib_mutex);
    if (!open_device(mixrate)) return 0;
  }
  lib.initialised = true;
  return 1;
}

void FSOUND_Close(void) {
  close_device();
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
  std::lock_guard<std::mutex> guard(lib_mutex);
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
  std::lock_guard<std::mutex> guard(lib_mutex);
  return lib.mixer.play(channel, sample);
}

signed char FSOUND_SetCurrentPosition(int channel, unsigned int offset) {
  std::lock_guard<std::mutex> guard(lib_mutex);
  fsound::channel* c = find_channel(channel);
  if (!c || !c->sample) return 0;
  lib.mixer.set_position(*c, offset);
  return 1;
}

unsigned int FSOUND_GetCurrentPosition(int channel) {
  std::lock_guard<std::mutex> guard(lib_mutex);
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
  std::lock_guard<std::mutex> guard(lib_mutex);
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
    std::lock_guard<std::mutex> guard(lib_mutex);
    lib.mixer.recent_mono(heard_frame(), recent.data(), fsound::fft_size);
  }
  fsound::magnitude_spectrum(recent.data(), lib.spectrum.data());
  return lib.spectrum.data();
}

}  // extern "C"
