// The sound library on real MP3 files: decoding, spectrum, looping and volume on the caller-driven
// clock (exact), and real-time playback on SDL's dummy audio driver.
#include "fsound/fsound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "fsound/fsound_offline.h"
#include "fsound/library_state.h"
#include "fsound/tests/mp3_fixture.h"

namespace {

namespace fs = std::filesystem;

class FsoundTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = test_mp3::scratch_dir();
    // Band 40 is centred at 40 * 44100 / 1024 Hz.
    tone_frames = test_mp3::encode_tone(dir / "tone.mp3", {.frequency = 40 * 44100.0 / 1024, .seconds = 1.0});
    short_frames = test_mp3::encode_tone(dir / "short.mp3", {.frequency = 440, .seconds = 0.3});
    mono_frames = test_mp3::encode_tone(dir / "mono.mp3",
                                        {.frequency = 440, .seconds = 0.5, .rate = 22050, .channels = 1});
  }
  static void TearDownTestSuite() { fs::remove_all(dir); }
  void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
  void TearDown() override {
    FSOUND_Close();
    fsound_use_manual_clock(0);
  }
  static std::string path(const char* name) { return (dir / name).string(); }
  friend uint64_t frames_ahead_of_the_ear(const char* latency_ms);
  void init_manual() {
    fsound_use_manual_clock(1);
    ASSERT_TRUE(FSOUND_Init(44100, 32, FSOUND_INIT_GLOBALFOCUS));
  }

  static fs::path dir;
  static long tone_frames, short_frames, mono_frames;
};

fs::path FsoundTest::dir;
long FsoundTest::tone_frames, FsoundTest::short_frames, FsoundTest::mono_frames;

float peak(const std::vector<float>& v) {
  float p = 0;
  for (float x : v) p = std::max(p, std::abs(x));
  return p;
}

TEST_F(FsoundTest, LoadGivesGaplessLengthAndRateOrNull) {
  init_manual();
  FSOUND_SAMPLE* tone = FSOUND_Sample_Load(FSOUND_FREE, path("tone.mp3").c_str(), FSOUND_NORMAL, 0, 0);
  ASSERT_NE(tone, nullptr);
  EXPECT_EQ(FSOUND_Sample_GetLength(tone), static_cast<unsigned>(tone_frames));
  FSOUND_SAMPLE* mono = FSOUND_Sample_Load(FSOUND_FREE, path("mono.mp3").c_str(), FSOUND_NORMAL, 0, 0);
  ASSERT_NE(mono, nullptr);
  EXPECT_EQ(FSOUND_Sample_GetLength(mono), static_cast<unsigned>(mono_frames));
  ASSERT_EQ(FSOUND_PlaySound(FSOUND_FREE, mono), 0);
  EXPECT_EQ(FSOUND_GetFrequency(0), 22050);
  ASSERT_EQ(FSOUND_PlaySound(FSOUND_FREE, tone), 1);
  EXPECT_EQ(FSOUND_GetFrequency(1), 44100);

  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, path("missing.mp3").c_str(), FSOUND_NORMAL, 0, 0), nullptr);
  std::ofstream(dir / "text.mp3") << "not an mp3 file at all\n";
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, path("text.mp3").c_str(), FSOUND_NORMAL, 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, nullptr, FSOUND_NORMAL, 0, 0), nullptr);
}

TEST_F(FsoundTest, SpectrumPeaksInTheToneBandAndIsZeroBeforePlayback) {
  init_manual();
  FSOUND_SAMPLE* tone = FSOUND_Sample_Load(FSOUND_FREE, path("tone.mp3").c_str(), FSOUND_NORMAL, 0, 0);
  ASSERT_NE(tone, nullptr);
  ASSERT_TRUE(FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), 1));
  const float* bands = FSOUND_DSP_GetSpectrum();
  EXPECT_TRUE(std::all_of(bands, bands + 512, [](float b) { return b == 0.0f; }));

  ASSERT_EQ(FSOUND_PlaySound(FSOUND_FREE, tone), 0);
  fsound_advance(8192, nullptr);
  bands = FSOUND_DSP_GetSpectrum();
  const auto top = std::max_element(bands, bands + 512);
  EXPECT_EQ(top - bands, 40);
  EXPECT_NEAR(*top, 0.5f, 0.05f);  // a half-scale sine
  EXPECT_LT(bands[20], 0.01f);
  EXPECT_LT(bands[60], 0.01f);

  // An inactive FFT unit reads zeros.
  FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), 0);
  bands = FSOUND_DSP_GetSpectrum();
  EXPECT_TRUE(std::all_of(bands, bands + 512, [](float b) { return b == 0.0f; }));
}

TEST_F(FsoundTest, PositionLoopsOnlyInLoopMode) {
  init_manual();
  FSOUND_SAMPLE* s = FSOUND_Sample_Load(FSOUND_FREE, path("short.mp3").c_str(), FSOUND_NORMAL, 0, 0);
  ASSERT_NE(s, nullptr);
  const unsigned length = FSOUND_Sample_GetLength(s);

  // FSOUND_NORMAL does not loop: the channel stops at the end and becomes free again.
  ASSERT_EQ(FSOUND_PlaySound(FSOUND_FREE, s), 0);
  fsound_advance(length + 100, nullptr);
  EXPECT_EQ(FSOUND_GetCurrentPosition(0), length);
  std::vector<float> out(2 * 512);
  fsound_advance(512, out.data());
  EXPECT_EQ(peak(out), 0.0f);

  ASSERT_TRUE(FSOUND_Sample_SetMode(s, FSOUND_LOOP_NORMAL));
  ASSERT_EQ(FSOUND_PlaySound(FSOUND_FREE, s), 0);
  ASSERT_TRUE(FSOUND_SetCurrentPosition(0, 0));
  fsound_advance(1000, nullptr);
  EXPECT_EQ(FSOUND_GetCurrentPosition(0), 1000u);
  fsound_advance(length, nullptr);
  EXPECT_EQ(FSOUND_GetCurrentPosition(0), 1000u);  // one whole loop later
  fsound_advance(512, out.data());
  EXPECT_GT(peak(out), 0.4f);  // still sounding

  ASSERT_TRUE(FSOUND_SetCurrentPosition(0, 0));
  EXPECT_EQ(FSOUND_GetCurrentPosition(0), 0u);
}

TEST_F(FsoundTest, VolumeScalesOneOrAllChannels) {
  init_manual();
  FSOUND_SAMPLE* s = FSOUND_Sample_Load(FSOUND_FREE, path("tone.mp3").c_str(), FSOUND_NORMAL, 0, 0);
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(FSOUND_PlaySound(FSOUND_FREE, s), 0);
  std::vector<float> out(2 * 4096);
  fsound_advance(4096, out.data());
  const float full = peak(out);
  EXPECT_NEAR(full, 0.5f, 0.05f);

  ASSERT_TRUE(FSOUND_SetVolume(0, 128));
  fsound_advance(4096, out.data());
  EXPECT_NEAR(peak(out) / full, 128.0 / 255.0, 0.03);

  ASSERT_EQ(FSOUND_PlaySound(FSOUND_FREE, s), 1);  // a second voice at full volume
  ASSERT_TRUE(FSOUND_SetVolume(FSOUND_ALL, 0));
  fsound_advance(4096, out.data());
  EXPECT_EQ(peak(out), 0.0f);
  ASSERT_TRUE(FSOUND_SetVolume(FSOUND_ALL, 255));
  fsound_advance(4096, out.data());
  EXPECT_GT(peak(out), full * 1.5f);  // both voices
}

TEST_F(FsoundTest, DummyDevicePlaysInRealTimeAndLoops) {
  ASSERT_TRUE(FSOUND_Init(44100, 32, FSOUND_INIT_GLOBALFOCUS));
  FSOUND_SAMPLE* s = FSOUND_Sample_Load(FSOUND_FREE, path("short.mp3").c_str(), FSOUND_NORMAL, 0, 0);
  ASSERT_NE(s, nullptr);
  const unsigned length = FSOUND_Sample_GetLength(s);
  FSOUND_Sample_SetMode(s, FSOUND_LOOP_NORMAL);
  ASSERT_EQ(FSOUND_PlaySound(FSOUND_FREE, s), 0);
  FSOUND_SetCurrentPosition(0, 0);

  // Follow the position for 0.9 s: it grows in steps no larger than real time allows and wraps at
  // the loop point; the wraps and the frames heard add up to the time waited.
  using clock = std::chrono::steady_clock;
  const auto start = clock::now();
  unsigned last = FSOUND_GetCurrentPosition(0);
  uint64_t heard = 0;
  int wraps = 0;
  while (clock::now() - start < std::chrono::milliseconds(900)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const unsigned now = FSOUND_GetCurrentPosition(0);
    ASSERT_LT(now, length);
    if (now < last) {
      ++wraps;
      heard += length - last + now;
    } else {
      heard += now - last;
    }
    last = now;
  }
  const double waited = std::chrono::duration<double>(clock::now() - start).count();
  EXPECT_GE(wraps, 2);
  // Never ahead of real time; behind it only as far as a starved audio thread on a busy machine
  // can fall (the dummy device stops pulling while its thread waits for a core).
  EXPECT_LE(heard / 44100.0, waited + 0.12);
  EXPECT_GE(heard / 44100.0, 0.6 * waited);
}

TEST_F(FsoundTest, InitFailsWithoutDeviceAndReinitialisesAfterClose) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  EXPECT_FALSE(FSOUND_Init(44100, 32, FSOUND_INIT_GLOBALFOCUS));
  FSOUND_Close();

  setenv("SDL_AUDIODRIVER", "dummy", 1);
  ASSERT_TRUE(FSOUND_Init(44100, 32, FSOUND_INIT_GLOBALFOCUS));
  FSOUND_SAMPLE* s = FSOUND_Sample_Load(FSOUND_FREE, path("tone.mp3").c_str(), FSOUND_NORMAL, 0, 0);
  ASSERT_EQ(FSOUND_PlaySound(FSOUND_FREE, s), 0);
  FSOUND_Close();
  // Everything is gone after closing.
  EXPECT_EQ(FSOUND_GetFrequency(0), 0);
  EXPECT_EQ(FSOUND_GetCurrentPosition(0), 0u);
  EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, nullptr), -1);

  ASSERT_TRUE(FSOUND_Init(44100, 32, FSOUND_INIT_GLOBALFOCUS));
  s = FSOUND_Sample_Load(FSOUND_FREE, path("tone.mp3").c_str(), FSOUND_NORMAL, 0, 0);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, s), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_GT(FSOUND_GetCurrentPosition(0), 0u);
}

// The frames mixed but not yet heard on the dummy device: its buffer, and the latency the viewer
// gives behind it.
uint64_t frames_ahead_of_the_ear(const char* latency_ms) {
  if (latency_ms) {
    setenv("VORTELINE_AUDIO_LATENCY_MS", latency_ms, 1);
  } else {
    unsetenv("VORTELINE_AUDIO_LATENCY_MS");
  }
  EXPECT_TRUE(FSOUND_Init(44100, 32, FSOUND_INIT_GLOBALFOCUS));
  unsetenv("VORTELINE_AUDIO_LATENCY_MS");
  FSOUND_SAMPLE* s =
      FSOUND_Sample_Load(FSOUND_FREE, (FsoundTest::dir / "tone.mp3").c_str(), FSOUND_NORMAL, 0, 0);
  EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, s), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  const fsound::mixer& mixer = fsound::state().mixer;
  const uint64_t heard = FSOUND_GetCurrentPosition(0) + mixer.channels[0].anchor_output;
  const uint64_t ahead = mixer.mixed - heard;
  FSOUND_Close();
  return ahead;
}

TEST_F(FsoundTest, ThePositionStaysBehindTheDeviceBufferAndTheGivenLatency) {
  // One device buffer (1024 frames) plus at most the block being played out, and a little for the
  // block mixed since.
  const uint64_t plain = frames_ahead_of_the_ear(nullptr);
  EXPECT_GE(plain, 1024u);
  EXPECT_LE(plain, 3u * 1024u);
  const uint64_t given = frames_ahead_of_the_ear("250");
  EXPECT_GE(given, 1024u + 11025u);
  EXPECT_LE(given, 3u * 1024u + 11025u);
}

}  // namespace
