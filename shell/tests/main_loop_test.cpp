#include "shell/main_loop.h"

#include <gtest/gtest.h>

#include "runtime/demo_state.h"

namespace {

int frames = 0;
int presents = 0;
int last_frame = -1;  // the frame after which the show ends; -1: never
bool count_frame() {
  ++frames;
  demo.show_time += 0.25;
  return frames != last_frame;
}
void count_present() { ++presents; }
const idle_turn_hooks hooks{count_frame, count_present};

class IdleTurn : public testing::Test {
 protected:
  void SetUp() override {
    demo = demo_state{};
    frames = presents = 0;
    last_frame = -1;
  }
};

TEST_F(IdleTurn, MinimisedWindowPresentsWithoutDrawing) {
  idle_turn(hooks);
  demo.window_active = false;
  idle_turn(hooks);
  idle_turn(hooks);
  EXPECT_EQ(frames, 1);
  EXPECT_EQ(presents, 3);
  demo.window_active = true;
  idle_turn(hooks);
  EXPECT_EQ(frames, 2);
}

TEST_F(IdleTurn, EscapeStartsTheEndingOnceAfterTheFrame) {
  idle_turn(hooks);
  EXPECT_FALSE(demo.ending);
  demo.keys[vk::escape] = true;
  idle_turn(hooks);
  EXPECT_TRUE(demo.ending);
  EXPECT_EQ(demo.ending_start, 0.5);  // the show time after this turn's frame
  idle_turn(hooks);
  demo.keys[vk::escape] = false;
  idle_turn(hooks);
  demo.keys[vk::escape] = true;
  idle_turn(hooks);
  EXPECT_EQ(demo.ending_start, 0.5);
}

TEST_F(IdleTurn, AnEndedShowIsNotPresented) {
  last_frame = 2;
  EXPECT_TRUE(idle_turn(hooks));
  EXPECT_FALSE(idle_turn(hooks));
  EXPECT_EQ(frames, 2);
  EXPECT_EQ(presents, 1);
}

TEST_F(IdleTurn, F1IsForgottenAfterTheTurn) {
  demo.keys[vk::f1] = true;
  demo.keys['A'] = true;
  idle_turn(hooks);
  EXPECT_FALSE(demo.keys[vk::f1]);
  EXPECT_TRUE(demo.keys['A']);
}

}  // namespace
