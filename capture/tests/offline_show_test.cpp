// The whole show captured at a small size and rate: it ends by itself at 215 s with exit code 0,
// without GL errors, into a video with an H.264 picture and an AAC sound of the show's length.
#include <gtest/gtest.h>

#include <sstream>

#include "capture/tests/program_runner.h"

namespace {

using namespace offline_test;

TEST(OfflineShow, WholeShowCaptureEndsAt215SecondsWithPictureAndSound) {
  const auto video = scratch_dir() / "show.mp4";
  const run_result r = run_program("--capture '" + video.string() + "' --size 320x180 --fps 10");
  ASSERT_EQ(r.exit_code, 0) << r.errors;
  EXPECT_EQ(r.errors.find("at the end of a frame"), std::string::npos) << r.errors;
  // The last frame is the last one with a show time up to 215 s.
  EXPECT_NE(r.errors.find("to 215.000 s"), std::string::npos) << r.errors;

  const std::string streams = command_output(
      "ffprobe -v error -show_entries stream=codec_type,codec_name,duration,width,height -of csv=p=0 '" +
      video.string() + "'");
  bool picture = false, sound = false;
  std::istringstream lines(streams);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string codec, type, a, b, duration;
    std::getline(fields, codec, ',');
    std::getline(fields, type, ',');
    if (type == "video") {
      std::getline(fields, a, ',');
      std::getline(fields, b, ',');
      std::getline(fields, duration, ',');
      picture = codec == "h264" && a == "320" && b == "180";
      EXPECT_NEAR(std::stod(duration), 215.0, 0.15) << line;
    } else if (type == "audio") {
      std::getline(fields, duration, ',');
      sound = codec == "aac";
      EXPECT_NEAR(std::stod(duration), 215.0, 0.15) << line;
    }
  }
  EXPECT_TRUE(picture) << streams;
  EXPECT_TRUE(sound) << streams;
  std::filesystem::remove(video);
}

}  // namespace
