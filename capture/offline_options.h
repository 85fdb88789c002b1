#pragma once
// Command lines of the offline modes: the show played frame by frame on a caller-driven clock,
// without a screen, into a video, pictures, a contact sheet or a timeline probe.
#include <string>

enum class offline_mode { capture, frames, frame, contact_sheet, probe };

struct offline_options {
  offline_mode mode = offline_mode::capture;
  std::string output;  // video file, picture folder or picture file (not for the probe)
  int fps = 60;        // frame steps per second of the offline clock
  int width = 1280;    // window size; the show renders at its 16:9 part (letterboxed)
  int height = 720;
  double from = 0.0;    // capture: first frame at or after this show time
  double to = 1.0e9;    // capture: stop before the first frame beyond this show time
  double time = 0.0;    // --frame and --probe: the show time asked for
  double every = 10.0;  // contact sheet: seconds between pictures
};

// True when the first argument selects an offline mode (--capture, --frames, --frame,
// --contact-sheet, --probe); any other command line keeps the program's usual behaviour.
bool is_offline_command(int argc, const char* const* argv);

// Reads the offline command line into `options`. On a malformed command line returns false with
// a message in `error`.
bool parse_offline_options(int argc, const char* const* argv, offline_options& options, std::string& error);

// What the offline modes accept, for error messages.
extern const char* const offline_usage;
