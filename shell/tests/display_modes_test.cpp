#include "shell/display_modes.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/platform.h"

namespace {

std::vector<display_mode> list_of(std::initializer_list<display_mode> offered) {
  std::vector<display_mode> modes;
  for (const display_mode& m : offered) add_display_mode(modes, m.width, m.height);
  return modes;
}

TEST(DisplayModes, FilterDropsOversizedPortraitAndUltraWideAndKeepsDriverOrder) {
  const auto modes = list_of({{1280, 1024},
                              {2560, 1440},
                              {2048, 1152},
                              {640, 480},
                              {768, 1366},
                              {2560, 1024},
                              {1366, 768},
                              {1280, 1024},
                              {1680, 1050},
                              {800, 800},
                              {0, 0}});
  const std::vector<display_mode> expected{{1280, 1024}, {640, 480}, {1366, 768}, {1680, 1050}, {800, 800}};
  EXPECT_EQ(modes, expected);
  // Exactly 1.8:1 is still accepted; 2047 is the largest side.
  EXPECT_TRUE(accept_display_mode(1800, 1000));
  EXPECT_TRUE(accept_display_mode(2047, 1152));
  EXPECT_FALSE(accept_display_mode(2048, 1152));
  EXPECT_FALSE(accept_display_mode(1801, 1000));
}

TEST(DisplayModes, LabelsMarkSixteenByNineAndSixteenByTen) {
  EXPECT_EQ(display_mode_label({1366, 768}), " 1366 x 768  (16:9)");
  EXPECT_EQ(display_mode_label({1280, 720}), " 1280 x 720  (16:9)");
  EXPECT_EQ(display_mode_label({1680, 1050}), " 1680 x 1050  (16:10)");
  EXPECT_EQ(display_mode_label({1280, 1024}), " 1280 x 1024       ");
  EXPECT_EQ(display_mode_label({640, 480}), " 640 x 480       ");
}

TEST(DisplayModes, PreselectionPrefers1280x720Then1024x768ThenFirst) {
  EXPECT_EQ(preselected_display_mode({{640, 480}, {1280, 720}, {1024, 768}}), 1);
  EXPECT_EQ(preselected_display_mode({{640, 480}, {800, 600}, {1024, 768}}), 2);
  EXPECT_EQ(preselected_display_mode({{640, 480}, {800, 600}}), 0);
  // 1280 x 720 listed first stays selected even with 1024 x 768 further down.
  EXPECT_EQ(preselected_display_mode({{1280, 720}, {1024, 768}}), 0);
  EXPECT_EQ(preselected_display_mode({}), 0);
}

TEST(DisplayModes, EmptyListFallsBackToTheDesktopSize) {
  std::vector<display_mode> modes;
  ensure_display_mode(modes, 3840, 2160);
  ASSERT_EQ(modes.size(), 1u);
  EXPECT_EQ(modes[0], (display_mode{3840, 2160}));
  ensure_display_mode(modes, 640, 480);
  EXPECT_EQ(modes.size(), 1u);  // a list with entries is left alone

  demo_state state;
  apply_dialog_choice(state, {});
  EXPECT_GT(state.screen_width, 0);
  EXPECT_GT(state.screen_height, 0);
}

TEST(DisplayModes, RunStoresToggleAndSizes) {
  demo_state state;
  state.display_modes = {{640, 480}, {1280, 1024}, {1366, 768}};

  apply_dialog_choice(state, {1, true, false, true});  // Force 16:9 fullscreen at 1280 x 1024
  EXPECT_TRUE(state.fullscreen);
  EXPECT_TRUE(state.antialiasing);
  EXPECT_TRUE(state.force_16_9);
  EXPECT_EQ(state.screen_width, 1280);
  EXPECT_EQ(state.screen_height, 1024);  // the display mode keeps its height
  EXPECT_EQ(state.render_width, 1280);
  EXPECT_EQ(state.render_height, 720);

  apply_dialog_choice(state, {1, false, true, true});  // windowed: the window itself is 16:9
  EXPECT_FALSE(state.fullscreen);
  EXPECT_FALSE(state.antialiasing);
  EXPECT_EQ(state.screen_height, 720);
  EXPECT_EQ(state.render_height, 720);

  apply_dialog_choice(state, {2, true, false, true});
  EXPECT_EQ(state.render_height, 768);  // 768.375 truncated

  apply_dialog_choice(state, {0, true, true, false});
  EXPECT_FALSE(state.force_16_9);
  EXPECT_EQ(state.screen_width, 640);
  EXPECT_EQ(state.screen_height, 480);
  EXPECT_EQ(state.render_height, 480);
}

TEST(DisplayModes, SixteenByNineHeightIsTheTruncatedSinglePrecisionQuotient) {
  EXPECT_EQ(height_16_9(1366), 768);
  EXPECT_EQ(height_16_9(1280), 720);
  EXPECT_EQ(height_16_9(1920), 1080);
  EXPECT_EQ(height_16_9(1024), 576);
  EXPECT_EQ(height_16_9(1), 0);
}

TEST(DisplayModes, ADialogThatCannotBeShownIsReportedWithTheSettingsUsedInstead) {
  static std::string box;
  const platform_hooks saved = platform;
  platform.message_box = [](const char* text, const char* caption, message_box_kind) {
    box = std::string(caption) + "|" + text;
    return message_box_answer::ok;
  };
  demo_state state;
  state.display_modes = list_of({{1680, 1050}, {1280, 720}});
  apply_dialog_choice(state, {1, true, false, true});
  testing::internal::CaptureStderr();
  report_no_dialog("no display", state);
  const std::string printed = testing::internal::GetCapturedStderr();
  platform = saved;
  const std::string text =
      "The settings dialog cannot be shown (no display).\nThe show starts with the preselected settings: "
      "1280 x "
      "720, fullscreen, Force 16:9.";
  EXPECT_EQ(box, "     Vorteline | Quorl vs Vantry - 2010 |" + text);
  EXPECT_EQ(printed, "vorteline: " + text + "\n");
}

}  // namespace
