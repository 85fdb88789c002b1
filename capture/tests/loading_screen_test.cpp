// The loading screen, as the offline window presents it during start-up, is black.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "capture/offline_window.h"
#include "capture/picture.h"
#include "fsound/fsound_offline.h"
#include "runtime/demo_state.h"
#include "runtime/platform.h"

namespace {

std::vector<picture> presented;

TEST(LoadingScreen, EveryPresentDuringStartUpIsBlack) {
  fsound_use_manual_clock(1);
  set_offline_display(320, 240);
  offline_present_observer = [] {
    presented.push_back(read_back_buffer(demo.screen_width, demo.screen_height));
  };
  ASSERT_TRUE(open_offline_window());
  // A start-up that gives up (no soundtrack) fails the test.
  ASSERT_TRUE(start_offline_show());
  offline_present_observer = nullptr;

  ASSERT_GE(presented.size(), 1u);
  for (const picture& p : presented) {
    ASSERT_EQ(p.width, 320);
    ASSERT_EQ(p.height, 240);
    size_t lit = 0;
    for (size_t i = 0; i < p.rgba.size(); i += 4) lit += (p.rgba[i] | p.rgba[i + 1] | p.rgba[i + 2]) != 0;
    EXPECT_EQ(lit, 0u);
  }
  close_offline_window();
}

}  // namespace
