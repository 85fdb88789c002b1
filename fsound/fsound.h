#pragma once
// The FSOUND sound interface: plays decoded MP3 samples on software channels through the
// platform's audio device (SDL audio, or waveOut on Windows) or, offline, on a caller-driven clock
// (fsound_offline.h); reports what the listener hears now (position, spectrum) and accepts a 0..255
// volume. All functions are called from one thread (the program's main thread); the device's own
// thread mixes beside it.

#ifdef __cplusplus
extern "C" {
#endif

typedef struct FSOUND_SAMPLE FSOUND_SAMPLE;  // a decoded sample, owned by the library
typedef struct FSOUND_DSPUNIT FSOUND_DSPUNIT;

// Channel and sample index arguments.
#define FSOUND_FREE -1  // pick a free channel / sample slot
#define FSOUND_ALL -3   // every channel

// Sample modes. Only the loop bits are read: every sample is decoded to 16-bit stereo whatever the
// format bits say.
#define FSOUND_LOOP_OFF 0x00000001
#define FSOUND_LOOP_NORMAL 0x00000002
#define FSOUND_16BITS 0x00000010
#define FSOUND_MONO 0x00000020
#define FSOUND_SIGNED 0x00000100
#define FSOUND_NORMAL (FSOUND_16BITS | FSOUND_SIGNED | FSOUND_MONO)

// Initialisation flags (accepted; the output has no notion of window focus).
#define FSOUND_INIT_GLOBALFOCUS 0x0002

// Mixes at `mixrate` on `maxsoftwarechannels` channels (kept within 1 to 256) and opens the
// output device, or none with the caller-driven clock. False (0) when the rate is not positive or
// no audio device can be opened. Calling it again after a success closes the library first
// (FSOUND_Close), so the samples loaded before are gone.
signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int flags);
// Stops playback, closes the device, frees every sample and returns the library to its state
// before FSOUND_Init (the FFT unit inactive, no error text); the clock chosen with
// fsound_use_manual_clock stays.
void FSOUND_Close(void);

// Decodes the whole MP3 file `name` into memory (also before FSOUND_Init; FSOUND_Close frees it).
// `index`, `offset` and `length` are accepted for interface compatibility (files only, always
// from the start). Null when the file is missing, is not MPEG audio or cannot be decoded. The loop
// mode is taken from `mode` (FSOUND_LOOP_NORMAL loops).
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* name, unsigned int mode, int offset, int length);
// Loop mode (FSOUND_LOOP_NORMAL or FSOUND_LOOP_OFF) for plays started afterwards.
signed char FSOUND_Sample_SetMode(FSOUND_SAMPLE* sample, unsigned int mode);
// Length in sample frames (encoder delay and padding removed).
unsigned int FSOUND_Sample_GetLength(FSOUND_SAMPLE* sample);

// Starts `sample` on `channel` (FSOUND_FREE: the lowest channel that is unused or has played its
// sample out) from the next frame mixed, with the sample's loop mode. Returns the channel index, -1
// on failure (not initialised, no sample, no free channel). Volume starts at 255.
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample);
// Moves `channel` to sample frame `offset` (at most the sample's length) from the next frame mixed.
// False (0) for a channel that has no sample.
signed char FSOUND_SetCurrentPosition(int channel, unsigned int offset);
// Pauses (`paused` 1) or resumes (0) `channel`: a paused channel is silent and its position stays
// where the newest frame mixed had it; it resumes from there with the next frame mixed. False (0)
// for a channel that has no sample.
signed char FSOUND_SetPaused(int channel, signed char paused);
signed char FSOUND_GetPaused(int channel);
// The sample frame of `channel` the listener hears now; wraps at the loop point, stays at the end
// of a sample that does not loop; 0 for a channel that has no sample.
unsigned int FSOUND_GetCurrentPosition(int channel);
// The sample rate of what `channel` plays, in frames per second (0 for a channel that has no
// sample).
int FSOUND_GetFrequency(int channel);
// Volume of one channel or of FSOUND_ALL (every channel), clamped to 0..255; a later
// FSOUND_PlaySound starts its channel at 255 again.
signed char FSOUND_SetVolume(int channel, int volume);

FSOUND_DSPUNIT* FSOUND_DSP_GetFFTUnit(void);
signed char FSOUND_DSP_SetActive(FSOUND_DSPUNIT* unit, signed char active);
// 512 magnitudes of the last 1024 frames heard (mono mix, Hann window), band k centred at
// k * mixrate / 1024 Hz; a full-scale sine reads about 1.0 in its band. All zero while the FFT unit
// is inactive or nothing has played. While every
// channel that has a sample is paused, the magnitudes of the 1024 frames before the held positions. The array belongs to the library and is rewritten by the
// next call.
float* FSOUND_DSP_GetSpectrum(void);

// Beyond the FSOUND interface: why the last FSOUND_Init or FSOUND_Sample_Load failed, as a short
// text ("cannot open: No such file or directory", "not MPEG audio: ..."); empty after a success
// and after FSOUND_Close.
const char* fsound_error_text(void);

#ifdef __cplusplus
}
#endif
