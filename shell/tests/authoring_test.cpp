#include "shell/authoring.h"

#include <gtest/gtest.h>

#include "runtime/demo_state.h"

namespace {

TEST(Authoring, WheelDeltaTruncatesTowardZero) {
  EXPECT_EQ(wheel_notches_of(240), 2);
  EXPECT_EQ(wheel_notches_of(-60), 0);
  EXPECT_EQ(wheel_notches_of(-120), -1);
  EXPECT_EQ(wheel_notches_of(-359), -2);
  EXPECT_EQ(wheel_notches_of(119), 0);
}

TEST(Authoring, TuningKeysStepByFrameStep) {
  std::array<bool, 256> keys{};
  double limit = 1.0, updown = 0.0;
  apply_tuning_keys(keys, 0.02, limit, updown);
  EXPECT_EQ(limit, 1.0);
  EXPECT_EQ(updown, 0.0);

  keys[vk::up] = true;
  keys['A'] = true;
  apply_tuning_keys(keys, 0.02, limit, updown);
  EXPECT_DOUBLE_EQ(updown, 0.03);
  EXPECT_DOUBLE_EQ(limit, 0.98);

  keys = {};
  keys[vk::down] = true;
  keys['Q'] = true;
  apply_tuning_keys(keys, 0.5, limit, updown);
  EXPECT_DOUBLE_EQ(updown, 0.03 - 0.75);
  EXPECT_DOUBLE_EQ(limit, 1.48);

  // Opposite keys together cancel out.
  keys[vk::up] = true;
  keys['A'] = true;
  apply_tuning_keys(keys, 0.25, limit, updown);
  EXPECT_DOUBLE_EQ(updown, 0.03 - 0.75);
  EXPECT_DOUBLE_EQ(limit, 1.48);
}

TEST(Authoring, MiddleClickLinesUseSixSignificantDigits) {
  const double track[3] = {1.23456789, -0.5, 100.0};
  const double point[3] = {1e-7, 123456789.0, 0.0};
  const float eye[3] = {0.0f, 2.0f, 0.0f};
  EXPECT_EQ(middle_click_lines(track, point, eye),
            "Cam :1.23457,-0.5,100  \n"
            "Pnt :1e-07,1.23457e+08,0  \n \n"
            "MCr :0,2,0  \n \n");
}

}  // namespace
