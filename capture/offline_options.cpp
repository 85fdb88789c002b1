// The program's command lines: which kind each is, the offline options read and checked, the usage.
#include "capture/offline_options.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "runtime/frame_clock.h"

namespace {

const std::string fps_range =
    "whole frames per second from " + std::to_string(min_fps) + " to " + std::to_string(max_fps);
const std::string side_range =
    "from " + std::to_string(min_side) + " to " + std::to_string(max_side) + " pixels";
const std::string sheet_limit = "at most " + std::to_string(max_tiles) + " pictures and " +
                                std::to_string(max_sheet_megapixels) + " megapixels";

bool read_number(const char* text, double& value) {
  if (!text || !*text) return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtod(text, &end);
  return errno == 0 && *end == '\0' && std::isfinite(value);
}

bool read_int(const char* text, int lowest, int highest, int& value) {
  double number = 0.0;
  if (!read_number(text, number) || number != std::floor(number)) return false;
  if (number < lowest || number > highest) return false;
  value = static_cast<int>(number);
  return true;
}

bool read_size(const char* text, int& width, int& height) {
  const char* x = text ? std::strchr(text, 'x') : nullptr;
  if (!x) return false;
  const std::string w(text, x);
  return read_int(w.c_str(), min_side, max_side, width) && read_int(x + 1, min_side, max_side, height);
}

// A number for messages: at most three decimals, no trailing zeros.
std::string seconds_text(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", value);
  std::string s = text;
  s.erase(s.find_last_not_of('0') + 1);
  if (s.back() == '.') s.pop_back();
  return s;
}

std::string count_text(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

// Checks that `time`, given as `what`, lies from 0 to `latest`.
bool check_time(const char* what, double time, double latest, std::string& error) {
  if (time >= 0.0 && time <= latest) return true;
  error = std::string(what) + " " + seconds_text(time) + ": outside the show (a time from 0 to " +
          seconds_text(latest) + " s)";
  return false;
}

// The ranges that depend on more than one option, checked once all are read.
bool check_ranges(const offline_options& o, std::string& error) {
  // A frame to be drawn needs a frame step before the show's end, which ends the program.
  const double last_frame = show_end - 1.0 / o.fps;
  switch (o.mode) {
    case offline_mode::capture:
    case offline_mode::frames:
      if (!check_time("--from", o.from, last_frame, error)) return false;
      if (!check_time("--to", o.to, show_end, error)) return false;
      if (o.to < o.from) {
        error = "--to is before --from";
        return false;
      }
      return true;
    case offline_mode::frame:
      return check_time("--frame", o.time, last_frame, error);
    case offline_mode::probe:
      return check_time("--probe", o.time, show_end, error);
    case offline_mode::contact_sheet: {
      const double tiles = contact_sheet_tiles(o.every);
      const double megapixels = tiles * o.width * o.height / (1024.0 * 1024.0);
      if (tiles > max_tiles || megapixels > max_sheet_megapixels) {
        error = "--every " + seconds_text(o.every) + " at " + std::to_string(o.width) + "x" +
                std::to_string(o.height) + ": " + count_text(tiles) + " pictures; a contact sheet holds " +
                sheet_limit;
        return false;
      }
      return true;
    }
  }
  return true;
}

bool is_help(std::string_view argument) { return argument == "--help" || argument == "-h"; }

}  // namespace

std::string program_usage() {
  return "usage: vorteline            the settings dialog, then the show\n"
         "       vorteline --help     this text\n"
         "       vorteline --author [--from S] [--size WxH] [--fullscreen] [--data DIR]\n"
         "                            the show window at once, with the authoring keys\n"
         "offline modes (the data is found beside the program, from any working folder):\n"
         "  --capture OUT.mp4 [--fps N] [--size WxH] [--from S] [--to E]\n"
         "  --frames DIR [--fps N] [--size WxH] [--from S] [--to E]\n"
         "  --frame T OUT.png [--fps N] [--size WxH]\n"
         "  --contact-sheet OUT.png [--every S] [--fps N] [--size WxH]   (default size " +
         std::to_string(default_sheet_width) + "x" + std::to_string(default_sheet_height) +
         ")\n"
         "  --probe T [--fps N]\n"
         "  times: seconds from 0 to the show's end at " +
         seconds_text(show_end) +
         " s\n"
         "  --fps: " +
         fps_range + " (default " + std::to_string(default_fps) +
         ")\n"
         "  --size: each side " +
         side_range +
         ", and at most what the GL context allows\n"
         "  contact sheets: " +
         sheet_limit +
         "\n"
         "environment:\n"
         "  VORTELINE_AUDIO_LATENCY_MS=N   the sound output's latency beyond its device buffer, in ms\n";
}

double contact_sheet_tiles(double every) { return std::ceil(show_end / every); }

bool check_size_limit(const offline_options& options, int gl_limit, std::string& error) {
  if (options.width <= gl_limit && options.height <= gl_limit) return true;
  error = "--size " + std::to_string(options.width) + "x" + std::to_string(options.height) +
          ": larger than the GL context allows (" + std::to_string(gl_limit) + " pixels a side)";
  return false;
}

bool is_offline_command(int argc, const char* const* argv) {
  if (argc < 2) return false;
  const std::string_view first = argv[1];
  for (const char* mode : {"--capture", "--frames", "--frame", "--contact-sheet", "--probe"}) {
    if (first == mode) return true;
  }
  return false;
}

command_kind classify_command_line(int argc, const char* const* argv, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    if (is_help(argv[i])) return command_kind::help;
  }
  if (argc < 2) return command_kind::show;
  if (is_offline_command(argc, argv)) return command_kind::offline;
  if (std::string_view(argv[1]) == "--author") return command_kind::author;
  error = std::string("unknown argument: ") + argv[1];
  return command_kind::refused;
}

bool parse_offline_options(int argc, const char* const* argv, offline_options& options, std::string& error) {
  options = offline_options{};
  if (!is_offline_command(argc, argv)) {
    error = "no offline mode given";
    return false;
  }
  const std::string_view mode = argv[1];
  int next = 2;
  auto operand = [&](const char* what) -> const char* {
    if (next >= argc || !*argv[next]) {
      error = std::string(mode) + " needs " + what;
      return nullptr;
    }
    return argv[next++];
  };

  bool size_given = false;
  if (mode == "--capture" || mode == "--frames" || mode == "--contact-sheet") {
    options.mode = mode == "--capture"  ? offline_mode::capture
                   : mode == "--frames" ? offline_mode::frames
                                        : offline_mode::contact_sheet;
    const char* out = operand(mode == "--frames" ? "an output folder" : "an output file");
    if (!out) return false;
    options.output = out;
  } else {
    options.mode = mode == "--frame" ? offline_mode::frame : offline_mode::probe;
    const char* t = operand("a show time in seconds");
    if (!t) return false;
    if (!read_number(t, options.time)) {
      error = std::string(mode) + ": not a time in seconds: " + t;
      return false;
    }
    if (options.mode == offline_mode::frame) {
      const char* out = operand("an output file");
      if (!out) return false;
      options.output = out;
    }
  }

  while (next < argc) {
    const std::string_view name = argv[next++];
    const char* value = next < argc ? argv[next++] : nullptr;
    if (!value) {
      error = std::string(name) + " needs a value";
      return false;
    }
    bool ok = false;
    std::string range;
    const bool timed = options.mode == offline_mode::capture || options.mode == offline_mode::frames;
    if (name == "--fps") {
      ok = read_int(value, min_fps, max_fps, options.fps);
      range = fps_range;
    } else if (name == "--size" && options.mode != offline_mode::probe) {
      ok = read_size(value, options.width, options.height);
      range = "WxH, each side " + side_range;
      size_given = true;
    } else if (name == "--from" && timed) {
      ok = read_number(value, options.from);
    } else if (name == "--to" && timed) {
      ok = read_number(value, options.to);
    } else if (name == "--every" && options.mode == offline_mode::contact_sheet) {
      ok = read_number(value, options.every) && options.every > 0.0;
      range = "seconds above 0";
    } else {
      error = std::string(mode) + " does not take " + std::string(name);
      return false;
    }
    if (!ok) {
      error = "bad value for " + std::string(name) + ": " + value + (range.empty() ? "" : " (" + range + ")");
      return false;
    }
  }
  if (options.mode == offline_mode::contact_sheet && !size_given) {
    options.width = default_sheet_width;
    options.height = default_sheet_height;
  }
  return check_ranges(options, error);
}

bool parse_author_options(int argc, const char* const* argv, author_options& options, std::string& error) {
  options = author_options{};
  if (argc < 2 || std::string_view(argv[1]) != "--author") {
    error = "not an author command line";
    return false;
  }
  for (int next = 2; next < argc;) {
    const std::string_view name = argv[next++];
    if (name == "--fullscreen") {
      options.fullscreen = true;
      continue;
    }
    const char* value = next < argc ? argv[next++] : nullptr;
    if (!value || !*value) {
      error = std::string(name) + " needs a value";
      return false;
    }
    bool ok = false;
    std::string range;
    if (name == "--from") {
      ok = read_number(value, options.from);
    } else if (name == "--size") {
      ok = read_size(value, options.width, options.height);
      range = "WxH, each side " + side_range;
    } else if (name == "--data") {
      options.data = value;
      ok = true;
    } else {
      error = "--author does not take " + std::string(name);
      return false;
    }
    if (!ok) {
      error = "bad value for " + std::string(name) + ": " + value + (range.empty() ? "" : " (" + range + ")");
      return false;
    }
  }
  return check_time("--from", options.from, author_latest, error);
}
