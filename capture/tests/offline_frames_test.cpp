// The program's offline pictures: deterministic frames at any show time, the letterbox, pictures
// across the show, and frames reached by stepping the timeline equal frames drawn all the way.
#include <gtest/gtest.h>

#include <algorithm>

#include "capture/tests/program_runner.h"

namespace {

using namespace offline_test;

image frame_at(const std::string& time, const std::string& size, const std::string& name) {
  const auto path = scratch_dir() / name;
  const run_result r = run_program("--frame " + time + " '" + path.string() + "' --size " + size);
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  EXPECT_EQ(r.errors.find("at the end of a frame"), std::string::npos) << r.errors;
  return read_png(path);
}

TEST(OfflineFrames, TheSameShowTimeGivesIdenticalBytes) {
  frame_at("37.3", "320x180", "a.png");
  frame_at("37.3", "320x180", "b.png");
  const std::string a = file_bytes(scratch_dir() / "a.png");
  ASSERT_FALSE(a.empty());
  EXPECT_EQ(a, file_bytes(scratch_dir() / "b.png"));
}

TEST(OfflineFrames, PicturesAcrossTheShowAreNeitherBlackNorUniform) {
  for (const char* time : {"10", "60", "120", "170", "200"}) {
    const image img = frame_at(time, "320x180", std::string("t") + time + ".png");
    ASSERT_EQ(img.width, 320) << time;
    ASSERT_EQ(img.height, 180) << time;
    const auto [lowest, highest] = std::minmax_element(img.rgb.begin(), img.rgb.end());
    EXPECT_GT(*highest, 16) << "black at " << time;
    EXPECT_GT(*highest - *lowest, 32) << "uniform at " << time;
  }
}

TEST(OfflineFrames, LetterboxBandsAreBlackAt1280x1024) {
  const image img = frame_at("60", "1280x1024", "letterbox.png");
  ASSERT_EQ(img.width, 1280);
  ASSERT_EQ(img.height, 1024);
  // The 16:9 picture (1280 x 720) covers rows 152 to 871; two rows of slack for the edges.
  auto row_is_black = [&](int y) {
    for (int x = 0; x < img.width; ++x) {
      const uint8_t* p = img.at(x, y);
      if (p[0] || p[1] || p[2]) return false;
    }
    return true;
  };
  for (int y = 0; y < 150; ++y) ASSERT_TRUE(row_is_black(y)) << "row " << y;
  for (int y = 874; y < 1024; ++y) ASSERT_TRUE(row_is_black(y)) << "row " << y;
  int lit_rows = 0;
  for (int y = 154; y < 870; ++y) lit_rows += row_is_black(y) ? 0 : 1;
  EXPECT_GT(lit_rows, 360);
}

TEST(OfflineFrames, SteppingTheTimelineGivesTheFrameDrawingEveryFrameGives) {
  // Every frame drawn up to about 3 s, against the same frame reached by timeline steps only.
  const auto dir = scratch_dir() / "all";
  const run_result r = run_program("--frames '" + dir.string() + "' --size 160x90 --to 3.005");
  ASSERT_EQ(r.exit_code, 0) << r.errors;
  std::vector<std::filesystem::path> frames;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) frames.push_back(entry.path());
  std::sort(frames.begin(), frames.end());
  ASSERT_GE(frames.size(), 170u);
  const image drawn = read_png(frames.back());
  const image stepped = frame_at("2.99", "160x90", "stepped.png");
  ASSERT_FALSE(drawn.rgb.empty());
  EXPECT_TRUE(drawn.rgb == stepped.rgb);
}

TEST(OfflineFrames, RefusedCommandsAndTimesBeyondTheShowFail) {
  run_result r = run_program("--frame soon x.png");
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_NE(r.errors.find("--capture OUT.mp4"), std::string::npos) << r.errors;
  // A time beyond the show is refused before anything starts.
  r = run_program("--frame 300 '" + (scratch_dir() / "late.png").string() + "' --size 160x90");
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_NE(r.errors.find("--frame 300: outside the show"), std::string::npos) << r.errors;
  EXPECT_FALSE(std::filesystem::exists(scratch_dir() / "late.png"));
  // The last time a frame can be drawn at: the show ends one frame step later.
  r = run_program("--frame 214.98 '" + (scratch_dir() / "last.png").string() + "' --size 160x90");
  EXPECT_EQ(r.exit_code, 0) << r.errors;
  EXPECT_TRUE(std::filesystem::exists(scratch_dir() / "last.png"));
}

}  // namespace
