#pragma once
// The FSOUND sound interface: plays decoded MP3 samples on software channels through SDL audio,
// reports what the listener hears now (position, spectrum) and accepts a 0..255 volume.
// All functions are called from one thread (the program's main thread).

#ifdef __cplusplus
extern "C" {
#endif

typedef struct FSOUND_SAMPLE FSOUND_SAMPLE;  // a decoded sample, owned by the library
typedef struct FSOUND_DSPUNIT FSOUND_DSPUNIT;

// Channel and sample index arguments.
#define FSOUND_FREE -1  // pick a free channel / sample slot
#define FSOUND_ALL -3   // every channel

// Sample modes.
#define FSOUND_LOOP_OFF 0x00000001
#define FSOUND_LOOP_NORMAL 0x00000002
#define FSOUND_16BITS 0x00000010
#define FSOUND_MONO 0x00000020
#define FSOUND_SIGNED 0x00000100
#define FSOUND_NORMAL (FSOUND_16BITS | FSOUND_SIGNED | FSOUND_MONO)

// Initialisation flags (accepted; the output has no notion of window focus).
#define FSOUND_INIT_GLOBALFOCUS 0x0002

// Opens the output device at `mixrate` with `maxsoftwarechannels` channels. False (0) when no
// audio device can be opened. Calling it again re-initialises from scratch.
signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int flags);
// Stops playback, closes the device and frees every sample.
void FSOUND_Close(void);

// Decodes the whole MP3 file `name` into memory. `index`, `offset` and `length` are accepted for
// interface compatibility (files only, always from the start). Null when the file is missing, is
// not MPEG audio or cannot be decoded. The loop mode is taken from `mode` (FSOUND_LOOP_NORMAL loops).
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* name, unsigned int mode, int offset, int length);
// Loop mode (FSOUND_LOOP_NORMAL or FSOUND_LOOP_OFF) for plays started afterwards.
signed char FSOUND_Sample_SetMode(FSOUND_SAMPLE* sample, unsigned int mode);
// Length in sample frames (encoder delay and padding removed).
unsigned int FSOUND_Sample_GetLength(FSOUND_SAMPLE* sample);

// Starts `sample` on `channel` (FSOUND_FREE: the lowest free channel). Returns the channel index,
// -1 on failure. Volume starts at 255.
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample);
signed char FSOUND_SetCurrentPosition(int channel, unsigned int offset);
// The sample frame of `channel` the listener hears now; wraps at the loop point.
unsigned int FSOUND_GetCurrentPosition(int channel);
// Playback rate of `channel` in frames per second (0 for an unused channel).
int FSOUND_GetFrequency(int channel);
// Volume 0..255 of one channel or of FSOUND_ALL.
signed char FSOUND_SetVolume(int channel, int volume);

FSOUND_DSPUNIT* FSOUND_DSP_GetFFTUnit(void);
signed char FSOUND_DSP_SetActive(FSOUND_DSPUNIT* unit, signed char active);
// 512 magnitudes of the last 1024 frames heard (mono mix, Hann window), band k centred at
// k * mixrate / 1024 Hz; a full-scale sine reads about 1.0 in its band. All zero while the FFT unit
// is inactive or nothing has played. The array belongs to the library and is rewritten by the
// next call.
float* FSOUND_DSP_GetSpectrum(void);

// Beyond the FSOUND interface: why the last FSOUND_Init or FSOUND_Sample_Load failed, as a short
// text ("cannot open: No such file or directory", "not MPEG audio: ..."); empty after a success.
const char* fsound_error_text(void);

#ifdef __cplusplus
}
#endif
