#pragma once
// Caller-driven clock for offline rendering: no audio device is opened and time moves only when
// the caller advances it, so position and spectrum follow exact frame steps.

#ifdef __cplusplus
extern "C" {
#endif

// Selects the caller-driven clock (non-zero) or the audio device (0) for the next FSOUND_Init.
void fsound_use_manual_clock(int enabled);

// With the caller-driven clock: mixes `frames` output frames, which then count as heard. When `out`
// is not null it receives them as interleaved stereo floats (2 * frames values) at the mix rate.
void fsound_advance(unsigned int frames, float* out);

#ifdef __cplusplus
}
#endif
