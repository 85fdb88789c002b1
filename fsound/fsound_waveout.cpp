// Audio output through the Windows waveOut device (winmm). A feeder thread keeps a ring of device
// buffers filled from the mixer; what the listener hears now is the device's own playback position
// (waveOutGetPosition).
#include <windows.h>
// After windows.h, which it builds on.
#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fsound/mixer.h"
#include "fsound/output.h"
#include "fsound/output_latency.h"
#include "fsound/spectrum.h"

namespace {

// A ring of about 280 ms at 44100 Hz: enough to ride out a busy machine, and short enough that what
// is heard stays within the mixer's history (the spectrum reads it from there).
constexpr int buffer_count = 3;
constexpr uint32_t buffer_frames = 4096;
// The feeder looks at its stop flag at least this often, in milliseconds, when no buffer returns.
constexpr DWORD feeder_poll_ms = 50;

struct waveout_output {
  HWAVEOUT device = nullptr;
  fsound::mixer* source = nullptr;  // the mixer the feeder pulls from
  HANDLE buffer_done = nullptr;     // signalled by the device whenever a buffer has played
  std::thread feeder;
  std::array<std::vector<int16_t>, buffer_count> pcm;
  std::array<WAVEHDR, buffer_count> headers{};
  int next_buffer = 0;  // the buffer the device returns next
  std::vector<float> block;
  // The device position counts 32-bit samples since opening; wraps are folded into 64 bits.
  uint32_t last_device_position = 0;
  uint64_t heard = 0;
  int64_t latency_frames = 0;  // behind the device's position, as the viewer gives it
};

// Never destroyed: a program that leaves without FSOUND_Close keeps the device and its feeder
// thread running into the process exit, and static destruction must not pull the state from under
// that thread.
waveout_output& lib = *new waveout_output;
std::mutex& lib_mutex = *new std::mutex;  // the feeder thread against the caller's thread
std::atomic<bool> feeder_stop{false};

// Mixes the next block into buffer `index` and queues it on the device (mutex held).
void queue_buffer(int index) {
  lib.source->mix(lib.block.data(), buffer_frames);
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
    WaitForSingleObject(lib.buffer_done, feeder_poll_ms);
    std::lock_guard<std::mutex> guard(lib_mutex);
    while (!feeder_stop.load() && (lib.headers[static_cast<size_t>(lib.next_buffer)].dwFlags & WHDR_DONE)) {
      queue_buffer(lib.next_buffer);
      lib.next_buffer = (lib.next_buffer + 1) % buffer_count;
    }
  }
}

bool open_device(fsound::mixer& source, int mixrate, std::string& error) {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = static_cast<DWORD>(mixrate);
  format.wBitsPerSample = 16;
  format.nBlockAlign = static_cast<WORD>(format.nChannels * format.wBitsPerSample / 8);
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  lib.buffer_done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!lib.buffer_done) {
    error = "no event for the sound device";
    return false;
  }
  const MMRESULT opened = waveOutOpen(&lib.device, WAVE_MAPPER, &format,
                                      reinterpret_cast<DWORD_PTR>(lib.buffer_done), 0, CALLBACK_EVENT);
  if (opened != MMSYSERR_NOERROR) {
    lib.device = nullptr;
    CloseHandle(lib.buffer_done);
    lib.buffer_done = nullptr;
    char text[MAXERRORLENGTH] = "";
    waveOutGetErrorTextA(opened, text, sizeof text);
    error = std::string("no sound device: ") + text;
    return false;
  }
  lib.source = &source;
  lib.latency_frames = fsound::configured_latency_frames(mixrate);
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

namespace fsound {

bool output_open(mixer& source, int mixrate, std::string& error) {
  std::lock_guard<std::mutex> guard(lib_mutex);
  return open_device(source, mixrate, error);
}

void output_close() {
  close_device();
  lib = waveout_output{};
}

void output_lock() { lib_mutex.lock(); }

void output_unlock() { lib_mutex.unlock(); }

// The output frame the listener hears now (mutex held): the device's playback position less the
// latency the viewer gives, never ahead of what was mixed and never so far behind that the
// spectrum history no longer holds it.
uint64_t output_heard_frame() {
  const fsound::mixer& mixer = *lib.source;
  MMTIME time{};
  time.wType = TIME_SAMPLES;
  if (waveOutGetPosition(lib.device, &time, sizeof(time)) == MMSYSERR_NOERROR) {
    const uint32_t position = time.wType == TIME_BYTES ? time.u.cb / (2 * sizeof(int16_t)) : time.u.sample;
    lib.heard += position - lib.last_device_position;  // unsigned difference: wraps fold in
    lib.last_device_position = position;
  }
  return mixer.within_history(static_cast<int64_t>(lib.heard) - lib.latency_frames, fsound::fft_size);
}

}  // namespace fsound
