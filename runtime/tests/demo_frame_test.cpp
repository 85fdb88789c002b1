// One frame end to end on a GL context, with the sound library on its caller-driven clock playing a
// tone: the frame record, the show part's call, and the three ways the program ends.
#include "runtime/demo_frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>
#include <vector>

#include "engine/random.h"
#include "engine/render_context.h"
#include "fsound/fsound.h"
#include "fsound/fsound_offline.h"
#include "fsound/tests/mp3_fixture.h"
#include "runtime/demo_state.h"
#include "runtime/stopwatch.h"
#include "runtime/tests/fake_part.h"
#include "tests/support/gl_test_context.h"

namespace {

using runtime_test::events;
using runtime_test::fake_part;
using strings = std::vector<std::string>;

class DemoFrameTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = test_mp3::scratch_dir();
    test_mp3::encode_tone(dir / "tone.mp3", {.frequency = 40 * 44100.0 / 1024, .seconds = 8.0});
  }
  static void TearDownTestSuite() { std::filesystem::remove_all(dir); }

  void SetUp() override {
    test_gl::ensure_context(256, 256);
    runtime_test::install_hooks();
    demo = demo_state{};
    demo.render_width = 200;
    demo.render_height = 100;
    global_frame_state = frame_state{};
    part = new fake_part();
    demo.show_part = part;

    fsound_use_manual_clock(1);
    ASSERT_TRUE(FSOUND_Init(44100, 32, FSOUND_INIT_GLOBALFOCUS));
    demo.music_sample = FSOUND_Sample_Load(FSOUND_FREE, (dir / "tone.mp3").c_str(), FSOUND_NORMAL, 0, 0);
    ASSERT_NE(demo.music_sample, nullptr);
    FSOUND_Sample_SetMode(demo.music_sample, FSOUND_LOOP_NORMAL);
    FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), 1);
    ASSERT_EQ(FSOUND_PlaySound(FSOUND_FREE, demo.music_sample), 0);
    fsound_advance(8192, nullptr);
    frame_stopwatch.reset();
    demo.last_clock = frame_stopwatch.read();
  }

  void TearDown() override {
    FSOUND_Close();
    fsound_use_manual_clock(0);
    delete static_cast<fake_part*>(demo.show_part);  // still there unless the program "ended"
    demo.show_part = nullptr;
    runtime_test::restore_hooks();
  }

  float peak_output() {
    std::vector<float> out(2 * 4096);
    fsound_advance(4096, out.data());
    float p = 0;
    for (float v : out) p = std::max(p, std::abs(v));
    return p;
  }

  static std::filesystem::path dir;
  fake_part* part = nullptr;
};

std::filesystem::path DemoFrameTest::dir;

TEST_F(DemoFrameTest, FillsTheFrameRecordAndRendersTheShow) {
  demo.keys['5'] = demo.keys['0'] = demo.keys[vk::left] = true;
  demo.wheel_notches = -3;
  demo.right_button = true;
  demo.show_time = 1.0;
  global_frame_state.track_x = global_frame_state.track_y = 7.0;
  global_frame_state.limit = 2.5;
  global_frame_state.marks.push_back({1, 1.0f, 2.0f, 3.0f});
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

  demo_frame();

  ASSERT_EQ(part->render_calls, 1);
  EXPECT_EQ(part->step, &demo.frame_step);
  EXPECT_EQ(part->context, &global_render_context);
  // The music (0.19 s) lags the show (1 s): the step is pulled back.
  const double music = FSOUND_GetCurrentPosition(0) / 44100.0;
  EXPECT_NEAR(demo.frame_step, 0.1 * (music - 1.0), 0.01);
  const frame_state& seen = part->seen;
  EXPECT_EQ(seen.scene_time, 1.0 + demo.frame_step);
  EXPECT_EQ(demo.show_time, seen.scene_time);
  EXPECT_EQ(seen.track_x, 0.0);
  EXPECT_EQ(seen.track_y, 0.0);
  EXPECT_EQ(seen.limit, 2.5);
  EXPECT_EQ(seen.marks.size(), 1u);
  EXPECT_EQ(seen.wheel_notches, -3);
  EXPECT_EQ(seen.right_button, 1);
  EXPECT_EQ(seen.key_state['5'], 1);
  EXPECT_EQ(seen.key_state[vk::left], 1);
  EXPECT_EQ(seen.key_state['6'], 0);
  EXPECT_EQ(seen.top_row_key, 6);
  EXPECT_EQ(std::max_element(seen.spectrum.begin(), seen.spectrum.end()) - seen.spectrum.begin(), 40);
  EXPECT_GT(seen.spectrum[40], 0.3f);
  EXPECT_EQ(part->blend_src, GL_ONE);
  EXPECT_EQ(part->blend_dst, GL_ONE);
  EXPECT_TRUE(events == strings{"render"});
}

TEST_F(DemoFrameTest, PartsDrawTheSameNumbersAtTheSameShowTime) {
  static std::vector<int> draws;
  draws.clear();
  part->on_render = [](frame_state*) { draws.push_back(random_next()); };
  demo.show_time = 3.25;
  demo_frame();
  random_next();
  demo.show_time = 3.25;
  demo_frame();
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(draws[0], draws[1]);
}

TEST_F(DemoFrameTest, EndsOnlyOnceTheShowClockIsBeyond215) {
  demo.sync_to_music = false;
  demo.clipboard_text = "Cam :1,2,3  \n";
  demo.show_time = 214.0;
  EXPECT_TRUE(demo_frame());
  EXPECT_TRUE(events == strings{"render"});

  demo.show_time = 215.0;  // the stopwatch adds a little; the clock ends above 215
  EXPECT_FALSE(demo_frame());
  EXPECT_GT(demo.show_time, 215.0);
  // Sound closed before the window goes; no clipboard copy; the part's memory is released.
  EXPECT_TRUE((events == strings{"render", "render", "kill"}));
  EXPECT_EQ(demo.show_part, nullptr);
}

TEST_F(DemoFrameTest, EndsOnAPartRequest) {
  part->on_render = [](frame_state* state) { state->requests[request_exit] = true; };
  demo.clipboard_text = "kept";
  EXPECT_FALSE(demo_frame());
  EXPECT_TRUE((events == strings{"render", "kill"}));
}

TEST_F(DemoFrameTest, EscapeEndingResetsTheViewCopiesTheClipboardAndEnds) {
  demo.sync_to_music = false;
  demo.show_time = 20.0;
  demo.ending = true;
  demo.ending_start = 20.0;
  demo.clipboard_text = "Cam :1,2,3  \n";
  part->on_render = [](frame_state*) {
    global_render_context.bind_target(0, 1);
    glViewport(3, 4, 5, 6);
    glMatrixMode(GL_PROJECTION);
    glTranslatef(1, 2, 3);
    glMatrixMode(GL_TEXTURE);
    glScalef(2, 2, 2);
  };
  global_render_context.create_target(0, 200, 100, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(2));  // well over the 10 us fade
  EXPECT_FALSE(demo_frame());

  EXPECT_TRUE((events == strings{"render", "clipboard:Cam :1,2,3  \n", "kill"}));
  GLint viewport[4], framebuffer = -1, mode = 0;
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[0], 0);
  EXPECT_EQ(viewport[2], 200);
  EXPECT_EQ(viewport[3], 100);
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &framebuffer);
  EXPECT_EQ(framebuffer, 0);
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  for (GLenum matrix : {GL_PROJECTION_MATRIX, GL_TEXTURE_MATRIX, GL_MODELVIEW_MATRIX}) {
    GLfloat m[16];
    glGetFloatv(matrix, m);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m[i], i % 5 == 0 ? 1.0f : 0.0f) << matrix;
  }
}

TEST_F(DemoFrameTest, EndingFadesTheVolumeAndWaitsForTheClock) {
  demo.sync_to_music = false;
  const float full = peak_output();
  ASSERT_GT(full, 0.3f);

  // The ending has not begun on the show clock yet: full volume, no exit.
  demo.show_time = 20.0;
  demo.ending = true;
  demo.ending_start = 30.0;
  demo_frame();
  EXPECT_NEAR(peak_output(), full, 0.01f);

  // A slow fade half-way through: half volume, still running.
  demo.fade_rate = 1.0;
  demo.ending_start = demo.show_time - 0.5;
  demo_frame();
  EXPECT_NEAR(peak_output() / full, 0.5f, 0.03f);
  EXPECT_TRUE((events == strings{"render", "render"}));
}

}  // namespace
