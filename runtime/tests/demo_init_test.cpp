// Start-up on a GL context with SDL's dummy audio device: the designed order, render targets of
// the render size, the state it leaves, and the sound failures.
#include "runtime/demo_init.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "engine/render_context.h"
#include "fsound/fsound.h"
#include "fsound/tests/mp3_fixture.h"
#include "runtime/demo_frame.h"
#include "runtime/demo_state.h"
#include "runtime/part_loader.h"
#include "runtime/platform.h"
#include "runtime/tests/fake_part.h"
#include "tests/support/gl_test_context.h"

namespace {

namespace fs = std::filesystem;
using runtime_test::events;
using strings = std::vector<std::string>;

// Size of the colour renderbuffer of a render target's drawing framebuffer.
std::pair<int, int> target_size(int target) {
  global_render_context.bind_target(target, 1);
  GLint name = 0, width = 0, height = 0;
  glGetFramebufferAttachmentParameterivEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT,
                                           GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME_EXT, &name);
  glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, static_cast<GLuint>(name));
  glGetRenderbufferParameterivEXT(GL_RENDERBUFFER_EXT, GL_RENDERBUFFER_WIDTH_EXT, &width);
  glGetRenderbufferParameterivEXT(GL_RENDERBUFFER_EXT, GL_RENDERBUFFER_HEIGHT_EXT, &height);
  global_render_context.unbind_target();
  return {width, height};
}

class DemoInitTest : public testing::Test {
 protected:
  void SetUp() override {
    test_gl::ensure_context(256, 256);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    home = fs::current_path();
    dir = test_mp3::scratch_dir();
    fs::create_directories(dir / "music");
    test_mp3::encode_tone(dir / "music" / "Zelmor - Vorteline.mp3", {.frequency = 440, .seconds = 8.0});
    fs::current_path(dir);
    runtime_test::install_hooks();
    demo = demo_state{};
    demo.render_width = 1366;
    demo.render_height = 767;
    demo.clipboard_text = "left over";
    global_frame_state = frame_state{};
    global_frame_state.point_x = global_frame_state.updown = global_frame_state.limit = 3.0;
    global_frame_state.requests[9] = global_frame_state.requests[31] = true;
    global_render_context.compressed_upload = true;
  }

  void TearDown() override {
    FSOUND_Close();
    runtime_test::restore_hooks();
    delete static_cast<part_loader*>(demo.loader_part);
    delete static_cast<runtime_test::fake_part*>(demo.show_part);
    demo = demo_state{};
    fs::current_path(home);
    fs::remove_all(dir);
  }

  fs::path home, dir;
};

TEST_F(DemoInitTest, BringsTheDemoUpInOrder) {
  testing::internal::CaptureStderr();
  ASSERT_TRUE(demo_init());
  // The 8-second soundtrack is shorter than the show: it loops, and start-up says so.
  EXPECT_NE(testing::internal::GetCapturedStderr().find(
                "vorteline: music//Zelmor - Vorteline.mp3 lasts 8.0 s, less than the show's 215 s: it plays "
                "on in a loop\n"),
            std::string::npos);
  // Loading frame presented, then a second present before the show loads; nothing rendered yet.
  EXPECT_TRUE((events == strings{"swap", "swap", "init"}));
  EXPECT_EQ(target_size(0), std::make_pair(1366, 767));
  EXPECT_EQ(target_size(1), std::make_pair(683, 383));
  EXPECT_TRUE(demo.clipboard_text.empty());
  EXPECT_FALSE(global_render_context.compressed_upload);
  EXPECT_FALSE(global_render_context.placeholder_images);
  ASSERT_NE(demo.loader_part, nullptr);
  EXPECT_NE(global_render_context.current_frame, nullptr);
  EXPECT_NE(global_render_context.current_frame, &global_frame_state);
  ASSERT_EQ(demo.show_part, runtime_test::created_show_part);
  EXPECT_EQ(runtime_test::created_show_part->context, &global_render_context);

  // The soundtrack plays on channel 0 from its start; the show clock starts at 0.
  ASSERT_NE(demo.music_sample, nullptr);
  EXPECT_EQ(FSOUND_Sample_GetLength(demo.music_sample), 8u * 44100u);
  EXPECT_EQ(FSOUND_GetFrequency(0), 44100);
  EXPECT_LT(FSOUND_GetCurrentPosition(0), 44100u / 2);
  EXPECT_EQ(demo.show_time, 0.0);
  EXPECT_LT(demo.last_clock, 0.1);
  EXPECT_TRUE(demo.sync_to_music);
  const frame_state& state = global_frame_state;
  EXPECT_EQ(state.point_x, 0.0);
  EXPECT_EQ(state.updown, 0.0);
  EXPECT_EQ(state.limit, 3.0);  // not a start-up value
  EXPECT_EQ(std::count(state.requests.begin(), state.requests.end(), true), 0);

  // The first frame follows and renders the show with the runtime's record.
  demo_frame();
  EXPECT_EQ(runtime_test::created_show_part->render_calls, 1);
  EXPECT_GE(demo.show_time, 0.0);
  EXPECT_LT(demo.show_time, 0.5);
}

TEST_F(DemoInitTest, NoAudioDeviceEndsWithCodeOne) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(demo_init());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("vorteline: no sound"), std::string::npos);
  EXPECT_TRUE((events == strings{"swap", "swap", "init",
                                 "box:Vorteline|Problem initializing FMod. \nProgram will now exit.|2"}));
}

// A show that cannot load (a picture missing) is a failed start: its line on standard error, its
// box, and no soundtrack started.
TEST_F(DemoInitTest, AShowThatCannotLoadEndsWithCodeOneBeforeTheSound) {
  runtime_test::show_init_failure =
      start_failure{"textures/noise.jpg: cannot open: gone", "textures/noise.jpg", "Jpg !"};
  testing::internal::CaptureStderr();
  const bool started = demo_init();
  runtime_test::show_init_failure.reset();
  EXPECT_FALSE(started);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "textures/noise.jpg: cannot open: gone\n");
  EXPECT_TRUE((events == strings{"swap", "swap", "init", "box:Jpg !|textures/noise.jpg|2"}));
  EXPECT_EQ(demo.music_sample, nullptr);
}

// A missing or unusable soundtrack is a failed start: the designed message, the reason on
// standard error, exit code 1.
TEST_F(DemoInitTest, MissingSoundtrackEndsWithCodeOneAfterLoading) {
  fs::remove_all(dir / "music");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(demo_init());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "vorteline: music//Zelmor - Vorteline.mp3: cannot open: No such file or directory\n");
  EXPECT_TRUE((events == strings{"swap", "swap", "init",
                                 "box:Vorteline|Problem initializing FMod. \nNo sound file.|2"}));
  EXPECT_EQ(demo.music_sample, nullptr);
}

// Random bytes whose start looks like three MPEG audio frames would otherwise loop as a buzz.
TEST_F(DemoInitTest, ASoundtrackThatIsNotMpegAudioIsNoSoundFile) {
  test_mp3::write_false_frames(dir / "music" / "Zelmor - Vorteline.mp3", 3, 500000, 5);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(demo_init());
  EXPECT_EQ(
      testing::internal::GetCapturedStderr(),
      "vorteline: music//Zelmor - Vorteline.mp3: not MPEG audio: the frame at byte 0 is not followed by "
      "another at byte 1251\n");
  EXPECT_TRUE((events == strings{"swap", "swap", "init",
                                 "box:Vorteline|Problem initializing FMod. \nNo sound file.|2"}));
  EXPECT_EQ(demo.music_sample, nullptr);
}

}  // namespace
