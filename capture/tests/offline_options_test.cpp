// The command lines: their kinds, the offline values read, ranges refused with a reason.
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

std::string refusal(std::vector<const char*> args) {
  const parsed p = parse(std::move(args));
  return p.ok ? "accepted" : p.error;
}

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

TEST(OfflineOptions, ShowTimesLieWithinTheShow) {
  EXPECT_TRUE(contains(refusal({"--frame", "-5", "f.png"}), "--frame -5: outside the show"));
  // A drawn frame needs one frame step before the end: 214.983 s at 60 frames/s, 214.9 s at 10.
  EXPECT_EQ(refusal({"--frame", "214.98", "f.png"}), "accepted");
  EXPECT_TRUE(contains(refusal({"--frame", "214.99", "f.png"}), "from 0 to 214.983 s"));
  EXPECT_TRUE(contains(refusal({"--frame", "214.95", "f.png", "--fps", "10"}), "from 0 to 214.9 s"));
  EXPECT_EQ(refusal({"--probe", "0"}), "accepted");
  EXPECT_EQ(refusal({"--probe", "215"}), "accepted");
  EXPECT_TRUE(contains(refusal({"--probe", "1e9"}), "outside the show"));
  EXPECT_TRUE(contains(refusal({"--probe", "-0.001"}), "outside the show"));
  EXPECT_TRUE(contains(refusal({"--capture", "a.mp4", "--from", "-1"}), "--from -1"));
  EXPECT_TRUE(contains(refusal({"--frames", "d", "--from", "215"}), "--from 215"));
  EXPECT_TRUE(contains(refusal({"--capture", "a.mp4", "--to", "300"}), "--to 300"));
  EXPECT_EQ(refusal({"--capture", "a.mp4", "--from", "0", "--to", "215"}), "accepted");
}

TEST(OfflineOptions, FrameRatesSizesAndContactSheetsHaveLimits) {
  EXPECT_EQ(refusal({"--capture", "a.mp4", "--fps", "240"}), "accepted");
  EXPECT_TRUE(contains(refusal({"--capture", "a.mp4", "--fps", "241"}), "from 1 to 240"));
  EXPECT_TRUE(contains(refusal({"--probe", "10", "--fps", "100000"}), "--fps"));
  EXPECT_EQ(refusal({"--frame", "1", "f.png", "--size", "8192x16"}), "accepted");
  EXPECT_TRUE(contains(refusal({"--frame", "1", "f.png", "--size", "8193x720"}), "from 16 to 8192 pixels"));
  EXPECT_TRUE(contains(refusal({"--frame", "1", "f.png", "--size", "1280x99999999999"}), "--size"));

  // 215 s every 0.215 s: 1000 pictures, the most a sheet holds; a tiny spacing is refused at once
  // instead of growing a list of pictures without end.
  EXPECT_EQ(contact_sheet_tiles(10.0), 22.0);
  EXPECT_EQ(contact_sheet_tiles(5.0), 43.0);
  EXPECT_EQ(refusal({"--contact-sheet", "s.png", "--every", "0.215", "--size", "64x36"}), "accepted");
  EXPECT_TRUE(contains(refusal({"--contact-sheet", "s.png", "--every", "0.2", "--size", "64x36"}),
                       "1075 pictures; a contact sheet holds at most 1000 pictures"));
  EXPECT_TRUE(contains(refusal({"--contact-sheet", "s.png", "--every", "1e-300"}), "at most 1000 pictures"));
  // Fewer but larger pictures: 215 of 1280 x 720 are 189 megapixels.
  EXPECT_TRUE(
      contains(refusal({"--contact-sheet", "s.png", "--every", "1", "--size", "1280x720"}), "64 megapixels"));
  EXPECT_EQ(refusal({"--contact-sheet", "s.png", "--every", "1"}), "accepted");

  // The GL context's own limit, checked once it exists.
  parsed p = parse({"--frame", "1", "f.png", "--size", "4096x2304"});
  ASSERT_TRUE(p.ok) << p.error;
  std::string error;
  EXPECT_TRUE(check_size_limit(p.options, 4096, error));
  EXPECT_FALSE(check_size_limit(p.options, 4095, error));
  EXPECT_EQ(error, "--size 4096x2304: larger than the GL context allows (4095 pixels a side)");
}

TEST(OfflineOptions, EmptyOutputsAreRefused) {
  EXPECT_TRUE(contains(refusal({"--capture", ""}), "--capture needs an output file"));
  EXPECT_TRUE(contains(refusal({"--frame", "1", ""}), "--frame needs an output file"));
}

command_kind classify(std::vector<const char*> args, std::string* error = nullptr) {
  args.insert(args.begin(), "vorteline");
  std::string ignored;
  return classify_command_line(static_cast<int>(args.size()), args.data(), error ? *error : ignored);
}

TEST(CommandLine, TheShowHelpOfflineModesAndNothingElse) {
  EXPECT_EQ(classify({}), command_kind::show);
  EXPECT_EQ(classify({"--help"}), command_kind::help);
  EXPECT_EQ(classify({"-h"}), command_kind::help);
  EXPECT_EQ(classify({"--capture", "a.mp4", "--help"}), command_kind::help);
  EXPECT_EQ(classify({"--probe", "1"}), command_kind::offline);
  std::string error;
  EXPECT_EQ(classify({"--framez", "1", "a.png"}, &error), command_kind::refused);
  EXPECT_EQ(error, "unknown argument: --framez");
  EXPECT_EQ(classify({"console"}), command_kind::refused);
  EXPECT_EQ(classify({"-capture", "a.mp4"}), command_kind::refused);
  EXPECT_NE(program_usage().find("--contact-sheet OUT.png"), std::string::npos);
  EXPECT_NE(program_usage().find("VORTELINE_AUDIO_LATENCY_MS"), std::string::npos);
}

}  // namespace

namespace {

struct parsed_author {
  bool ok = false;
  author_options options;
  std::string error;
};

parsed_author parse_author(std::vector<const char*> args) {
  args.insert(args.begin(), "vorteline");
  args.insert(args.begin() + 1, "--author");
  parsed_author p;
  p.ok = parse_author_options(static_cast<int>(args.size()), args.data(), p.options, p.error);
  return p;
}

TEST(AuthorOptions, DefaultsOptionsAndRefusals) {
  const char* argv[] = {"vorteline", "--author", "--from", "12"};
  std::string error;
  EXPECT_EQ(classify_command_line(4, argv, error), command_kind::author);

  parsed_author p = parse_author({});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.options.from, 0.0);
  EXPECT_EQ(p.options.width, 1280);
  EXPECT_EQ(p.options.height, 720);
  EXPECT_FALSE(p.options.fullscreen);
  EXPECT_TRUE(p.options.data.empty());

  p = parse_author({"--fullscreen", "--from", "95.5", "--size", "640x360", "--data", "/src/data"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.options.from, 95.5);
  EXPECT_EQ(p.options.width, 640);
  EXPECT_EQ(p.options.height, 360);
  EXPECT_TRUE(p.options.fullscreen);
  EXPECT_EQ(p.options.data, "/src/data");

  EXPECT_EQ(parse_author({"--from", "214.5"}).error,
            "--from 214.5: outside the show (a time from 0 to 214 s)");
  EXPECT_EQ(parse_author({"--from", "-1"}).ok, false);
  EXPECT_EQ(parse_author({"--fps", "30"}).error, "--author does not take --fps");
  EXPECT_EQ(parse_author({"--data"}).error, "--data needs a value");
  EXPECT_EQ(parse_author({"--size", "10x10"}).ok, false);
}

}  // namespace
