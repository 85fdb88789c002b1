#include "shell/window_procedure.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/demo_state.h"
#include "runtime/frame_state.h"

namespace {

class WindowProcedure : public testing::Test {
 protected:
  void SetUp() override {
    demo = demo_state{};
    global_frame_state = {};
    demo.frame_step = 0.1;
  }
  static window_result send(window_message_kind kind, int32_t a = 0, int32_t b = 0) {
    return window_procedure({kind, a, b});
  }
};

TEST_F(WindowProcedure, KeysActivationCloseAndWheel) {
  EXPECT_EQ(send(window_message_kind::key_down, 'A'), window_result::handled);
  EXPECT_TRUE(demo.keys['A']);
  EXPECT_EQ(send(window_message_kind::key_up, 'A'), window_result::handled);
  EXPECT_FALSE(demo.keys['A']);
  send(window_message_kind::key_down, 300);  // out of range: ignored, not written past the table

  send(window_message_kind::activate, 1);
  EXPECT_FALSE(demo.window_active);
  send(window_message_kind::activate, 0);
  EXPECT_TRUE(demo.window_active);

  EXPECT_EQ(send(window_message_kind::close), window_result::quit);

  send(window_message_kind::mouse_wheel, 240);
  send(window_message_kind::mouse_wheel, -60);
  EXPECT_EQ(demo.wheel_notches, 2);
  send(window_message_kind::mouse_wheel, -360);
  EXPECT_EQ(demo.wheel_notches, -1);

  EXPECT_EQ(send(window_message_kind::system_command, 1), window_result::handled);
  EXPECT_EQ(send(window_message_kind::system_command, 0), window_result::default_processing);
}

TEST_F(WindowProcedure, RightButtonStateReachesTheTail) {
  demo.keys['Q'] = true;
  EXPECT_EQ(send(window_message_kind::right_button_down), window_result::default_processing);
  EXPECT_TRUE(demo.right_button);
  EXPECT_EQ(send(window_message_kind::right_button_up), window_result::default_processing);
  EXPECT_FALSE(demo.right_button);
  EXPECT_DOUBLE_EQ(global_frame_state.limit, 0.2);
}

TEST_F(WindowProcedure, TuningActsOncePerMessageThatReachesTheTail) {
  // Holding Up: its own key messages do not reach the tail, other messages do.
  send(window_message_kind::key_down, 38);
  send(window_message_kind::key_down, 38);
  EXPECT_EQ(global_frame_state.updown, 0.0);
  for (int i = 0; i < 4; ++i) send(window_message_kind::other);
  EXPECT_NEAR(global_frame_state.updown, 4 * 0.15, 1e-12);

  send(window_message_kind::key_up, 38);
  send(window_message_kind::key_down, 'A');
  send(window_message_kind::other);
  send(window_message_kind::other);
  EXPECT_NEAR(global_frame_state.limit, -0.2, 1e-12);
  EXPECT_NEAR(global_frame_state.updown, 0.6, 1e-12);
}

TEST_F(WindowProcedure, ThreeMiddleClicksRecordNineLinesInOrder) {
  for (int click = 1; click <= 3; ++click) {
    global_frame_state.track_x = click;
    global_frame_state.point_z = click * 0.5;
    EXPECT_EQ(send(window_message_kind::middle_button_down), window_result::default_processing);
  }
  ASSERT_EQ(global_frame_state.marks.size(), 3u);
  EXPECT_EQ(global_frame_state.marks[2].kind, 1);
  EXPECT_EQ(global_frame_state.marks[2].z, 1.5f);

  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = demo.clipboard_text.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = demo.clipboard_text.substr(start, end - start);
    if (line != " " && !line.empty()) lines.push_back(line);
  }
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "Cam :1,0,0  ");
  EXPECT_EQ(lines[1], "Pnt :0,0,0.5  ");
  EXPECT_EQ(lines[2], "MCr :0,2,0  ");
  EXPECT_EQ(lines[3], "Cam :2,0,0  ");
  EXPECT_EQ(lines[7], "Pnt :0,0,1.5  ");
  EXPECT_EQ(demo.clipboard_text.substr(0, 30), "Cam :1,0,0  \nPnt :0,0,0.5  \n \n");
}

}  // namespace
