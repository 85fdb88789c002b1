// The program's command line, run from build/bin: --help, unknown arguments, values outside their
// ranges, output folders that cannot be written, and start-ups that cannot show anything. Each is
// answered at once, with its reason, instead of reaching the settings dialog or the long start-up.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "capture/tests/program_runner.h"

namespace {

using offline_test::file_bytes;
using offline_test::scratch_dir;

struct outcome {
  int exit_code = -1;  // 124 when it had to be stopped
  std::string out, errors;
  double seconds = 0.0;
};

// Runs ./vorteline with `arguments` (quoted for the shell) after `environment`, stopped after 60 s.
outcome run(const std::string& arguments, const std::string& environment = "") {
  const auto out = scratch_dir() / "stdout.txt", errors = scratch_dir() / "stderr.txt";
  const std::string command = "SDL_AUDIODRIVER=dummy " + environment + " timeout 60 ./vorteline " +
                              arguments + " > '" + out.string() + "' 2> '" + errors.string() + "'";
  const offline_test::timed_status t = offline_test::run_timed(command);
  outcome o;
  o.seconds = t.seconds;
  o.exit_code = t.exit_code;
  o.out = file_bytes(out);
  o.errors = file_bytes(errors);
  return o;
}

std::string quoted(const std::filesystem::path& path) {
  std::string text(1, '\'');
  text += path.string();
  text += '\'';
  return text;
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// No display at all: SDL's offscreen driver shows nothing (the test runs the same under any X server).
const std::string no_display = "env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=offscreen";

TEST(CommandLine, HelpPrintsTheUsageAndEndsWithZero) {
  for (const char* help : {"--help", "-h", "--frame 1 x.png --help"}) {
    const outcome o = run(help, no_display);
    EXPECT_EQ(o.exit_code, 0) << help << ": " << o.errors;
    EXPECT_TRUE(has(o.out, "usage: vorteline")) << help;
    EXPECT_TRUE(has(o.out, "--contact-sheet OUT.png")) << help;
  }
}

TEST(CommandLine, UnknownArgumentsAreRefusedWithTheUsage) {
  for (const char* wrong : {"--frobnicate", "--framez 1 x.png", "-capture x.mp4", "console"}) {
    const outcome o = run(wrong, no_display);
    EXPECT_EQ(o.exit_code, 2) << wrong << ": " << o.errors;
    EXPECT_TRUE(has(o.errors, "vorteline: unknown argument: ")) << o.errors;
    EXPECT_TRUE(has(o.errors, "usage: vorteline")) << o.errors;
    EXPECT_FALSE(has(o.errors, "settings dialog cannot be shown")) << "reached the dialog: " << o.errors;
  }
}

// One value of each class outside its range: a show time, a count of pictures, a frame rate, a size.
TEST(CommandLine, ValuesOutsideTheirRangesEndWithTwo) {
  const std::string picture = quoted(scratch_dir() / "range.png");
  const struct {
    std::string arguments, reason;
  } cases[] = {
      {"--frame -5 " + picture, "--frame -5: outside the show"},
      {"--probe 100000000", "--probe 100000000: outside the show"},
      {"--contact-sheet " + picture + " --every 0.0001", "2.15e+06 pictures"},
      {"--frames '" + (scratch_dir() / "many").string() + "' --fps 100000", "bad value for --fps: 100000"},
      {"--frame 1 " + picture + " --size 9000x9000", "bad value for --size: 9000x9000"},
  };
  for (const auto& c : cases) {
    const outcome o = run(c.arguments, no_display);
    EXPECT_EQ(o.exit_code, 2) << c.arguments << ": " << o.errors;
    EXPECT_TRUE(has(o.errors, c.reason)) << o.errors;
    EXPECT_TRUE(has(o.errors, "usage: vorteline")) << o.errors;
    EXPECT_LT(o.seconds, 10.0) << c.arguments;
  }
  EXPECT_FALSE(std::filesystem::exists(scratch_dir() / "range.png"));
  EXPECT_FALSE(std::filesystem::exists(scratch_dir() / "many"));
}

// Checked before anything starts (no display is needed to find out), naming the path and why.
TEST(CommandLine, OutputFoldersThatCannotBeWrittenFailAtOnce) {
  const auto file = scratch_dir() / "a-file";
  std::ofstream(file) << "not a folder";
  const std::string missing = (scratch_dir() / "missing").string();
  const struct {
    std::string arguments, reason;
  } cases[] = {
      {"--capture '" + missing + "/show.mp4'",
       "cannot write " + missing + "/show.mp4: the folder " + missing + " does not exist"},
      {"--frame 1 '" + file.string() + "/f.png'",
       "cannot write " + file.string() + "/f.png: " + file.string() + " is not a folder"},
      {"--contact-sheet '" + scratch_dir().string() + "'",
       scratch_dir().string() + " is a folder, not a file"},
      {"--frames '" + file.string() + "/frames'", "cannot make the folder " + file.string() + "/frames: "},
      // A folder that takes no new file, even for the superuser.
      {"--frame 1 /proc/f.png", "cannot write /proc/f.png: the folder /proc takes no new file: "},
  };
  for (const auto& c : cases) {
    const outcome o = run(c.arguments, no_display);
    EXPECT_EQ(o.exit_code, 1) << c.arguments << ": " << o.errors;
    EXPECT_TRUE(has(o.errors, "vorteline: " + c.reason)) << o.errors;
    EXPECT_FALSE(has(o.errors, "offline: no video")) << "got as far as the window: " << o.errors;
    EXPECT_LT(o.seconds, 10.0) << c.arguments;
  }
}

// Without a display neither the settings dialog nor the show window can be shown: both say why,
// the show goes on with the preselected settings, and the failed window ends the start with 1.
TEST(CommandLine, AStartThatCannotShowAnythingSaysWhyAndEndsWithOne) {
  const outcome o = run("", no_display);
  EXPECT_EQ(o.exit_code, 1) << o.errors;
  EXPECT_TRUE(has(o.errors,
                  "vorteline: The settings dialog cannot be shown (no display: SDL's video driver is "
                  "\"offscreen\").\nThe show starts with the preselected settings: "))
      << o.errors;
  EXPECT_TRUE(has(o.errors, "vorteline: cannot open the show window: no display")) << o.errors;
  EXPECT_TRUE(has(o.errors, "Failed To Register The Window Class.")) << o.errors;
}

}  // namespace
