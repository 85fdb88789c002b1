#include "capture/offline_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct parsed {
  bool ok = false;
  offline_options options;
  std::string error;
};

parsed parse(std::vector<const char*> args) {
  args.insert(args.begin(), "vorteline");
  parsed p;
  p.ok = parse_offline_options(static_cast<int>(args.size()), args.data(), p.options, p.error);
  return p;
}

bool offline(std::vector<const char*> args) {
  args.insert(args.begin(), "vorteline");
  return is_offline_command(static_cast<int>(args.size()), args.data());
}

TEST(OfflineOptions, OnlyTheFiveModeNamesSelectTheOfflineModes) {
  EXPECT_TRUE(offline({"--capture", "a.mp4"}));
  EXPECT_TRUE(offline({"--frames", "dir"}));
  EXPECT_TRUE(offline({"--frame", "1", "a.png"}));
  EXPECT_TRUE(offline({"--contact-sheet", "a.png"}));
  EXPECT_TRUE(offline({"--probe", "1"}));
  // Any other command line keeps the usual program (with its console).
  EXPECT_FALSE(offline({}));
  EXPECT_FALSE(offline({"x"}));
  EXPECT_FALSE(offline({"--framez"}));
  EXPECT_FALSE(offline({"-capture", "a.mp4"}));
  EXPECT_FALSE(offline({"console", "--capture", "a.mp4"}));
}

TEST(OfflineOptions, CaptureDefaultsAndOptions) {
  parsed p = parse({"--capture", "out.mp4"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.options.mode, offline_mode::capture);
  EXPECT_EQ(p.options.output, "out.mp4");
  EXPECT_EQ(p.options.fps, 60);
  EXPECT_EQ(p.options.width, 1280);
  EXPECT_EQ(p.options.height, 720);
  EXPECT_EQ(p.options.from, 0.0);
  EXPECT_GE(p.options.to, 215.0);

  p = parse({"--capture", "out.mp4", "--fps", "10", "--size", "320x180", "--from", "12.5", "--to", "20"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.options.fps, 10);
  EXPECT_EQ(p.options.width, 320);
  EXPECT_EQ(p.options.height, 180);
  EXPECT_EQ(p.options.from, 12.5);
  EXPECT_EQ(p.options.to, 20.0);
}

TEST(OfflineOptions, FrameProbeAndContactSheet) {
  parsed p = parse({"--frame", "120.25", "f.png", "--size", "1280x1024"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.options.mode, offline_mode::frame);
  EXPECT_EQ(p.options.time, 120.25);
  EXPECT_EQ(p.options.output, "f.png");
  EXPECT_EQ(p.options.height, 1024);

  p = parse({"--probe", "83.4", "--fps", "30"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.options.mode, offline_mode::probe);
  EXPECT_EQ(p.options.time, 83.4);
  EXPECT_EQ(p.options.fps, 30);

  // A contact sheet's pictures are small unless a size is given.
  p = parse({"--contact-sheet", "s.png"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.options.every, 10.0);
  EXPECT_EQ(p.options.width, 320);
  EXPECT_EQ(p.options.height, 180);
  p = parse({"--contact-sheet", "s.png", "--every", "5", "--size", "640x360"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.options.every, 5.0);
  EXPECT_EQ(p.options.width, 640);
}

TEST(OfflineOptions, MalformedCommandLinesAreRefusedWithAReason) {
  const std::vector<std::vector<const char*>> bad = {
      {"--capture"},                                  // no output
      {"--frame", "10"},                              // no output
      {"--frame", "ten", "f.png"},                    // not a time
      {"--probe", "nan"},                             // not a finite time
      {"--capture", "a.mp4", "--fps"},                // option without value
      {"--capture", "a.mp4", "--fps", "0"},           // no frames
      {"--capture", "a.mp4", "--fps", "29.97"},       // whole frames per second only
      {"--capture", "a.mp4", "--size", "1280"},       // not WxH
      {"--capture", "a.mp4", "--size", "1280x-720"},  // negative
      {"--capture", "a.mp4", "--size", "8x8"},        // too small
      {"--capture", "a.mp4", "--every", "5"},         // not a capture option
      {"--probe", "1", "--size", "320x180"},          // the probe has no picture
      {"--frame", "1", "f.png", "--from", "2"},       // --from belongs to captures
      {"--contact-sheet", "s.png", "--every", "0"},   // no spacing
      {"--capture", "a.mp4", "--from", "30", "--to", "20"},
      {"--capture", "a.mp4", "--colour", "red"},
  };
  for (const auto& args : bad) {
    parsed p = parse(args);
    EXPECT_FALSE(p.ok) << args[0] << " " << (args.size() > 2 ? args[2] : "");
    EXPECT_FALSE(p.error.empty());
  }
}

}  // namespace
