#pragma once
// Command lines of the program on Linux: the show (no arguments), the usage (--help) and the
// offline modes, which play the show frame by frame on a caller-driven clock, without a screen,
// into a video, pictures, a contact sheet or a timeline probe. Every value has a range; anything
// outside it, and any argument the program does not know, is refused with a reason.
#include <string>

#include "runtime/frame_clock.h"

enum class offline_mode { capture, frames, frame, contact_sheet, probe };

// The frame rate when none is given: the common display rate, the show's pace on a usual screen.
constexpr int default_fps = 60;
// The size of a contact sheet's pictures when none is given: small, so that a whole show's sheet
// stays a picture that fits a screen or two.
constexpr int default_sheet_width = 320;
constexpr int default_sheet_height = 180;

struct offline_options {
  offline_mode mode = offline_mode::capture;
  std::string output;     // video file, picture folder or picture file (not for the probe)
  int fps = default_fps;  // frame steps per second of the offline clock
  int width = 1280;       // window size; the show renders at its 16:9 part (letterboxed)
  int height = 720;
  double from = 0.0;     // capture: first frame at or after this show time
  double to = show_end;  // capture: stop before the first frame beyond this show time
  double time = 0.0;     // --frame and --probe: the show time asked for
  double every = 10.0;   // contact sheet: seconds between pictures
};

// The ranges of the values. Show times lie within the show (0 to its end; a time that must be
// drawn leaves room for one frame step before the end).
constexpr int min_fps = 1;
constexpr int max_fps = 240;
constexpr int min_side = 16;  // pixels
// Pixels; a square frame this size is 256 MiB to read back. The GL context may allow less.
constexpr int max_side = 8192;
// A contact sheet is one picture held whole in memory and in the PNG writer: these keep it within
// what ordinary machines and picture viewers handle.
constexpr int max_tiles = 1000;           // pictures on a contact sheet
constexpr int max_sheet_megapixels = 64;  // all of a contact sheet's pictures together

// What a command line asks for.
enum class command_kind {
  show,     // no arguments: the settings dialog, then the show
  help,     // --help or -h anywhere: the usage on standard output, exit code 0
  offline,  // the first argument names an offline mode (the options are read by parse_offline_options)
  author,   // the first argument is --author (the options are read by parse_author_options)
  refused,  // anything else: `error` says what, the usage follows, exit code 2
};
command_kind classify_command_line(int argc, const char* const* argv, std::string& error);

// True when the first argument selects an offline mode (--capture, --frames, --frame,
// --contact-sheet, --probe).
bool is_offline_command(int argc, const char* const* argv);

// Reads the offline command line into `options`. On a malformed command line or a value outside
// its range returns false with a message in `error`.
bool parse_offline_options(int argc, const char* const* argv, offline_options& options, std::string& error);

// Author mode: the show window opened directly, without the settings dialog, playing from `from`.
struct author_options {
  double from = 0.0;
  int width = 1280;  // a window of this size, the show in its 16:9 part
  int height = 720;
  bool fullscreen = false;
  std::string data;  // the folder holding the shader sources to read; empty: chosen at start
};
// The latest time author mode starts from or seeks to: a seek never ends the show.
constexpr double author_latest = 214.0;

// Reads `--author [--from S] [--size WxH] [--fullscreen] [--data DIR]` into `options`; false with
// a message in `error` for anything else or a value outside its range.
bool parse_author_options(int argc, const char* const* argv, author_options& options, std::string& error);

// Pictures on a contact sheet taken every `every` seconds of the show.
double contact_sheet_tiles(double every);

// The largest side the GL context allows for the window and its render targets, against the
// options' size: false with a message in `error` when the size exceeds it.
bool check_size_limit(const offline_options& options, int gl_limit, std::string& error);

// The program's usage: the show, --help, the offline modes with their ranges, the environment.
std::string program_usage();
