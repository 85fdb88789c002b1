// Author mode's session on the caller-driven clocks: music and picture in step after any sequence
// of requests, seeks that land where a fresh run stands, and the pause's hold on both.
#include "author/author_session.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "capture/show_timeline.h"
#include "engine/render_context.h"
#include "fsound/fsound.h"
#include "fsound/fsound_offline.h"
#include "fsound/mixer.h"
#include "runtime/demo_state.h"
#include "runtime/frame_clock.h"
#include "runtime/frame_state.h"
#include "runtime/stopwatch.h"
#include "show/part_start.h"
#include "show/timeline.h"

namespace {

constexpr int rate = 44100;
constexpr unsigned frame_samples = rate / 60;
constexpr double one_frame = 1.0 / 60.0;

struct AuthorSession : testing::Test {
  std::unique_ptr<part_start> part = std::make_unique<part_start>();
  FSOUND_SAMPLE music;

  void SetUp() override {
    fsound_use_manual_clock(1);
    ASSERT_TRUE(FSOUND_Init(rate, 32, 0));
    music.rate = rate;
    music.length = 220 * rate;
    music.loop = true;
    music.pcm.assign(2 * static_cast<size_t>(music.length), 0);
    ASSERT_EQ(FSOUND_PlaySound(FSOUND_FREE, &music), 0);
    demo.music_sample = &music;
    frame_stopwatch.manual = true;
    frame_stopwatch.manual_frequency = rate;
    frame_stopwatch.manual_counter = 0;
    part->key_track.reset();
    part->key_track.load_keys("misc//piano3.txt");
    demo.show_part = part.get();
    demo.clock_paused = false;
    demo.ending = false;
    demo.sync_to_music = true;
    start_frame_clock();
    author = author_session{};
    start_author_session(author, 0.0);
  }

  void TearDown() override {
    FSOUND_Close();
    fsound_use_manual_clock(0);
    frame_stopwatch.manual = false;
    demo.show_part = nullptr;
    demo.music_sample = nullptr;
    demo.clock_paused = false;
  }

  // One frame as the runtime plays it, the show's timeline without drawing.
  void frame() {
    frame_stopwatch.manual_counter += frame_samples;
    fsound_advance(frame_samples, nullptr);
    author_before_frame(author);
    step_frame_clock();
    demo.show_time += demo.frame_step;
    double step = demo.frame_step;
    step_show_timeline(part.get(), &step, &global_render_context, &global_frame_state);
  }

  static double music_time() { return static_cast<double>(FSOUND_GetCurrentPosition(0)) / rate; }
};

TEST_F(AuthorSession, MusicAndPictureStayInStepAfterAnyRequests) {
  const author_request requests[] = {
      {author_command::pause},          {author_command::seek, 5.0},       {author_command::seek, -5.0},
      {author_command::seek, 30.0},     {author_command::seek, -30.0},     {author_command::restart},
      {author_command::step, 1.0 / 60}, {author_command::step, -1.0 / 60}, {author_command::loop_start},
      {author_command::loop_end},       {author_command::loop_clear},      {author_command::status}};
  std::mt19937 random(20261209);
  apply_author(author, {author_command::seek, 100.0});
  int paused_frames = 0;
  for (int i = 0; i < 4000; ++i) {
    if (random() % 7 == 0) apply_author(author, requests[random() % std::size(requests)]);
    const double before = demo.show_time;
    const double music_before = music_time();
    frame();
    ASSERT_LE(std::abs(music_time() - demo.show_time), one_frame) << "frame " << i;
    ASSERT_NEAR(part->fttime, demo.show_time, 1e-9) << "frame " << i;
    ASSERT_GE(demo.show_time, 0.0);
    ASSERT_LE(demo.show_time, author_latest + 60 * one_frame);
    if (author.controls.paused) {
      ++paused_frames;
      ASSERT_EQ(demo.show_time, before) << "frame " << i;
      ASSERT_EQ(music_time(), music_before) << "frame " << i;
    }
  }
  EXPECT_GT(paused_frames, 100);  // the sequence did pause, for a good while
}

TEST_F(AuthorSession, ASeekLandsWhereAFreshRunStands) {
  for (int i = 0; i < 200; ++i) frame();
  seek_author(author, 150.0);  // forward, then back past where the track had grown
  for (int i = 0; i < 30; ++i) frame();
  seek_author(author, 120.3);
  EXPECT_EQ(global_render_context.current_frame, &global_frame_state);
  const camera eye = global_render_context.main_camera;  // the probe below sets its own
  timeline_probe probe;
  std::string error;
  ASSERT_TRUE(probe_show_timeline(120.3, 60, probe, error)) << error;
  EXPECT_EQ(part->fttime, probe.fttime);
  EXPECT_EQ(warp_time(part->fttime), probe.ttime);
  EXPECT_EQ(part->key_track.key_count, probe.key_count);
  EXPECT_EQ(eye.eye.x, probe.eye[0]);
  EXPECT_EQ(eye.eye.y, probe.eye[1]);
  EXPECT_EQ(eye.center.x, probe.centre[0]);
  EXPECT_EQ(eye.up.z, probe.up[2]);
  EXPECT_EQ(demo.show_time, 120.3);
  EXPECT_NEAR(music_time(), 120.3, 1.0 / rate);
  EXPECT_TRUE(demo.sync_to_music);
}

TEST_F(AuthorSession, EscapeResumesAndTheEndingTakesNoRequests) {
  apply_author(author, {author_command::pause});
  frame();
  EXPECT_TRUE(demo.clock_paused);
  EXPECT_EQ(FSOUND_GetPaused(0), 1);
  author_key_down(author, vk::escape, false);
  EXPECT_FALSE(author.controls.paused);
  EXPECT_FALSE(demo.clock_paused);
  EXPECT_EQ(FSOUND_GetPaused(0), 0);
  frame();
  EXPECT_GT(demo.show_time, 0.0);

  demo.ending = true;
  const double now = demo.show_time;
  apply_author(author, {author_command::seek, 30.0});
  apply_author(author, {author_command::pause});
  EXPECT_EQ(demo.show_time, now);
  EXPECT_FALSE(author.controls.paused);
}

TEST(AuthorFolders, TheSourceTreeIsChosenOnlyFromTheBuildFolder) {
  const auto root = std::filesystem::temp_directory_path() / "author_folders";
  std::filesystem::create_directories(root / "src/data/Materials");
  std::filesystem::create_directories(root / "build/bin");
  std::filesystem::create_directories(root / "release");
  const std::string src = (root / "src/data").string(), bin = (root / "build/bin").string();
  EXPECT_EQ(choose_shader_folder("/given", bin, bin, src), "/given");
  EXPECT_EQ(choose_shader_folder("", bin, bin, src), src);
  EXPECT_EQ(choose_shader_folder("", (root / "release").string(), bin, src), "");
  EXPECT_EQ(choose_shader_folder("", bin, bin, (root / "nowhere").string()), "");

  std::string error;
  EXPECT_FALSE(holds_shaders((root / "nowhere").string(), error));
  EXPECT_EQ(error, (root / "nowhere").string() + ": not a folder");
  EXPECT_FALSE(holds_shaders(src, error));
  EXPECT_NE(error.find("holds no Materials//v_material1.cpp"), std::string::npos) << error;
  // The build folder's copies are complete (the tests run there).
  EXPECT_TRUE(holds_shaders("", error)) << error;
  std::filesystem::remove_all(root);
}

}  // namespace
