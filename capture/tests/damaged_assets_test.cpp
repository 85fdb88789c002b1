// The program against damaged data: each asset in turn missing, empty, cut short, replaced by
// random bytes, or holding hostile values that still fit its format, in a scratch copy of the
// data folders. Every run must end by itself within a time limit and under a memory limit, with
// the exit status the asset calls for (1 where the show cannot start, 0 where it plays on without
// the asset) and a console message naming the file and what was wrong with it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "capture/tests/program_runner.h"

namespace {

namespace fs = std::filesystem;
using offline_test::file_bytes;
using offline_test::scratch_dir;

// A run may take this long; a healthy one takes a few seconds.
constexpr int time_limit_s = 60;
// Address space for the program, in KiB. With two rasteriser threads and two malloc arenas a
// healthy run needs about 600 MB; a loader that allocates for a whole 8192 x 8192 picture (or
// a thousand times the text it reads) runs out.
constexpr long memory_limit_kib = 1000000;

const char* const data_folders[] = {"Materials", "PostProcessing", "misc", "music", "neomeshes", "textures"};

struct outcome {
  int exit_code = -1;   // -1: ended by a signal
  std::string console;  // standard output and standard error
  double seconds = 0.0;
  bool picture = false;  // the contact sheet was written
};

// The data folders copied once; each case damages one file and puts it back afterwards.
fs::path data_copy() {
  static const fs::path root = [] {
    const fs::path r = scratch_dir() / "data";
    fs::create_directories(r);
    for (const char* folder : data_folders) fs::copy(folder, r / folder, fs::copy_options::recursive);
    return r;
  }();
  return root;
}

outcome run_show() {
  const fs::path root = data_copy();
  const fs::path sheet = scratch_dir() / "sheet.png", console = scratch_dir() / "console.txt";
  fs::remove(sheet);
  // A short contact sheet draws every part of the show once at a tiny size.
  const std::string command =
      "cd '" + root.string() + "' && ulimit -v " + std::to_string(memory_limit_kib) +
      " && SDL_AUDIODRIVER=dummy LP_NUM_THREADS=2 MALLOC_ARENA_MAX=2 timeout -s KILL " +
      std::to_string(time_limit_s) + " '" + (fs::current_path() / "vorteline").string() +
      "' --contact-sheet '" + sheet.string() + "' --every 30 --fps 10 --size 64x36 > '" + console.string() +
      "' 2>&1";
  const offline_test::timed_status t = offline_test::run_timed(command);
  outcome o;
  o.seconds = t.seconds;
  o.exit_code = t.exit_code;
  o.console = file_bytes(console);
  o.picture = fs::exists(sheet);
  return o;
}

void write(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string random_bytes(size_t count, unsigned seed) {
  std::mt19937 generator(seed);
  std::string bytes(count, '\0');
  for (char& c : bytes) c = static_cast<char>(generator() & 0xff);
  return bytes;
}

// One way of damaging a file: its new bytes from the original ones; an absent result removes it.
struct damage {
  const char* name;
  std::function<std::optional<std::string>(const std::string&)> apply;
};

const damage missing{"missing", [](const std::string&) { return std::optional<std::string>(); }};
const damage empty{"empty", [](const std::string&) { return std::optional<std::string>(""); }};
const damage truncated{"cut to a third",
                       [](const std::string& b) { return std::optional(b.substr(0, b.size() / 3)); }};
const damage random{"random bytes",
                    [](const std::string& b) { return std::optional(random_bytes(b.size(), 17)); }};

struct expectation {
  int exit_code;
  std::vector<std::string> messages;  // each must appear on the console
};

// Damages `file` (relative to the data folders) as `d`, runs the show, checks the outcome, and
// puts the file back.
void check(const std::string& file, const damage& d, const expectation& expected) {
  SCOPED_TRACE(file + ", " + d.name);
  const fs::path path = data_copy() / file;
  const std::string original = file_bytes(path);
  const std::optional<std::string> damaged = d.apply(original);
  if (damaged) {
    write(path, *damaged);
  } else {
    fs::remove(path);
  }
  const outcome o = run_show();
  write(path, original);

  EXPECT_EQ(o.exit_code, expected.exit_code) << o.console;
  EXPECT_LT(o.seconds, time_limit_s);
  for (const std::string& message : expected.messages) {
    EXPECT_NE(o.console.find(message), std::string::npos) << "no \"" << message << "\" in:\n" << o.console;
  }
  EXPECT_EQ(o.console.find("bad_alloc"), std::string::npos) << o.console;
  if (expected.exit_code == 0) {
    EXPECT_TRUE(o.picture);
    // Whatever was dropped, nothing reached GL in a state it rejects.
    EXPECT_NE(o.console.find("GL errors: 0"), std::string::npos) << o.console;
  } else {
    EXPECT_FALSE(o.picture);
  }
}

TEST(DamagedAssets, TheUndamagedDataPlaysWithinTheLimits) {
  const outcome o = run_show();
  EXPECT_EQ(o.exit_code, 0) << o.console;
  EXPECT_TRUE(o.picture);
  EXPECT_NE(o.console.find("GL errors: 0"), std::string::npos) << o.console;
}

// The soundtrack is the one asset the show cannot start without: "No sound file." and status 1.
TEST(DamagedAssets, ASoundtrackThatIsNotMpegAudioStopsTheStart) {
  const std::string file = "music/Zelmor - Vorteline.mp3", named = "music//Zelmor - Vorteline.mp3";
  const std::string no_sound = "No sound file.";
  check(file, missing, {1, {named + ": cannot open", no_sound}});
  check(file, empty, {1, {named + ": the file is empty", no_sound}});
  check(file, random, {1, {named + ": not MPEG audio", no_sound}});
  // A WAV file renamed, and one valid-looking MPEG frame header in front of random bytes.
  const damage wav{"a WAV file", [](const std::string&) {
                     std::string riff(
                         "RIFF\x24\x00\x10\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x02\x00"
                         "\x44\xac\x00\x00\x10\xb1\x02\x00\x04\x00\x10\x00data\x00\x00\x10\x00",
                         44);
                     return std::optional(riff + random_bytes(1 << 20, 3));
                   }};
  const damage one_frame{"one frame header, then noise", [](const std::string& b) {
                           // The first frame header of the real file (after its ID3 tag, if any).
                           const size_t at = b.find("\xff\xfb");
                           return std::optional(b.substr(at, 4) + random_bytes(1 << 20, 5));
                         }};
  check(file, wav, {1, {named + ": not MPEG audio", no_sound}});
  check(file, one_frame, {1, {named + ": not MPEG audio", no_sound}});
  // Cut short, it is still MPEG audio: the show plays, the soundtrack loops, and says so.
  check(file, truncated, {0, {named + " lasts ", "less than the show's 215 s"}});
}

// Pictures must decode whole: anything else ends the start with the "Jpg" box and status 1.
TEST(DamagedAssets, APictureNotDecodedWholeStopsTheStart) {
  // A frame header claiming 8192 x 8192 over the small picture's data.
  const damage huge{"8192 x 8192 claimed", [](const std::string& b) {
                      std::string d = b;
                      for (size_t i = 2; i + 9 < d.size(); ++i) {
                        const auto marker = static_cast<unsigned char>(d[i + 1]);
                        if (static_cast<unsigned char>(d[i]) == 0xff && (marker == 0xc0 || marker == 0xc2)) {
                          d[i + 5] = d[i + 7] = '\x20';
                          d[i + 6] = d[i + 8] = '\x00';
                          break;
                        }
                      }
                      return std::optional(d);
                    }};
  for (const std::string file : {"textures/noise.jpg", "textures/blob41b.jpg"}) {
    check(file, missing, {1, {file + ": cannot open", "[Jpg"}});
    check(file, empty, {1, {file + ": not a JPEG file", "[Jpg !]"}});
    check(file, truncated, {1, {file + ": truncated", "[Jpg !]"}});
    check(file, random, {1, {file + ": not a JPEG file", "[Jpg !]"}});
    check(file, huge, {1, {file + ": ", "[Jpg !]"}});
  }
}

// A mesh that cannot be read is left out and named; the show plays on.
TEST(DamagedAssets, ADamagedMeshIsLeftOutAndNamed) {
  const damage bad_faces{
      "faces out of range", [](const std::string& b) {
        return std::optional(b + "f 1 2 4000000000\nf -99999999 1 2\nv nan inf -inf\nf 1 2\n");
      }};
  // Statements the reader skips, thousands of times over: its memory must follow the text.
  const damage statements{"8 MB of unknown statements", [](const std::string&) {
                            std::string text;
                            for (int i = 0; i < (4 << 20); ++i) text += "m\n";
                            return std::optional(text);
                          }};
  for (const std::string file : {"neomeshes/escher.obj", "neomeshes/credits.obj"}) {
    const std::string named = "neomeshes//" + file.substr(10);
    check(file, missing, {0, {named + ": cannot open"}});
    check(file, empty, {0, {named + ": empty"}});
    check(file, truncated, {0, {named + ": "}});
    check(file, random, {0, {named + ": "}});
    check(file, bad_faces, {0, {named + ": line "}});
  }
  check("neomeshes/wings.obj", statements, {0, {"neomeshes//wings.obj: "}});
}

// The piano's key track is optional: the show plays on with what could be read, and says why.
TEST(DamagedAssets, ADamagedKeyTrackIsReportedAndThePianoFallsStill) {
  const std::string file = "misc/piano3.txt", named = "misc//piano3.txt: ";
  const damage hostile{"a key count of two billion", [](const std::string&) {
                         return std::optional(std::string("2000000000\n1 2 3\nnan inf -inf\n"));
                       }};
  check(file, missing, {0, {named + "cannot open"}});
  check(file, empty, {0, {named + "empty"}});
  check(file, truncated, {0, {named + "the file ends after "}});
  check(file, random, {0, {named}});
  check(file, hostile, {0, {named}});
}

// A shader that cannot be read or compiled is named with its line; the show draws on without it.
TEST(DamagedAssets, ADamagedShaderIsNamedWithItsLine) {
  for (const std::string folder : {"Materials/f_material1.cpp", "PostProcessing/f_godrays.cpp"}) {
    const std::string named = std::regex_replace(folder, std::regex("/"), "//");
    check(folder, missing, {0, {named + ": cannot open shader source file"}});
    check(folder, empty, {0, {named + ":1: ", "error"}});
    check(folder, truncated, {0, {named + ":", "error"}});
    check(folder, random, {0, {named + ":", "error"}});
  }
}

}  // namespace
