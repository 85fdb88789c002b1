// The soundtrack through the show's own sound library, on its caller-driven clock: the length and
// rate the frame clock divides, and the spectrum band 1 that becomes the show's "DSP" value.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "fsound/fsound.h"
#include "fsound/fsound_offline.h"
#include "tools/soundtrack/score.h"

namespace soundtrack {
namespace {

TEST(ShowPlayback, SoundLibraryPlaysTheFileAndItsBand1PulsesWithTheKick) {
  fsound_use_manual_clock(1);
  ASSERT_TRUE(FSOUND_Init(44100, 32, FSOUND_INIT_GLOBALFOCUS));
  // The path exactly as the show opens it.
  FSOUND_SAMPLE* music =
      FSOUND_Sample_Load(FSOUND_FREE, "music//Zelmor - Vorteline.mp3", FSOUND_NORMAL, 0, 0);
  ASSERT_NE(music, nullptr);
  const score piece = compose();
  EXPECT_EQ(FSOUND_Sample_GetLength(music), static_cast<unsigned>(std::lround(piece.length_seconds * 44100)));
  ASSERT_EQ(FSOUND_PlaySound(FSOUND_FREE, music), 0);
  FSOUND_SetCurrentPosition(0, 0);
  EXPECT_EQ(FSOUND_GetFrequency(0), 44100);
  // The clock keeps following the music for at least 5 s after the show's end at 215 s.
  EXPECT_GE(FSOUND_Sample_GetLength(music) / 44100.0 - 5.0, 215.0);
  FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), 1);

  unsigned heard = 0;
  auto band1_at = [&](unsigned frame) {
    if (frame > heard) fsound_advance(frame - heard, nullptr);
    heard = std::max(heard, frame);
    return FSOUND_DSP_GetSpectrum()[1];
  };
  int kicks = 0, rising = 0;
  double on_sum = 0.0, before_sum = 0.0;
  for (const note_event& e : piece.notes) {
    if (e.inst != instrument::kick || e.velocity < 0.9f) continue;
    const auto onset = static_cast<unsigned>(std::lround(beat_to_seconds(e.beat) * 44100));
    if (onset < heard) continue;
    // A frame just before the kick against one 60 ms into it.
    const double before = band1_at(onset);
    const double on = band1_at(onset + 2646);
    ++kicks;
    rising += on > 2.0 * before;
    on_sum += on;
    before_sum += before;
  }
  FSOUND_Close();
  std::printf(
      "DSP band 1: %d of %d kicks at least double it; on average %.1f times the level before (%.2f)\n",
      rising, kicks, on_sum / before_sum, on_sum / kicks);
  ASSERT_GT(kicks, 300);
  EXPECT_GE(rising, kicks * 95 / 100);
  EXPECT_GT(on_sum, 4.0 * before_sum);
}

}  // namespace
}  // namespace soundtrack
