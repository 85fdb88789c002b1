#include "capture/offline_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

const char* const offline_usage =
    "offline modes (run from the folder holding the program and its data):\n"
    "  --capture OUT.mp4 [--fps N] [--size WxH] [--from S] [--to E]\n"
    "  --frames DIR [--fps N] [--size WxH] [--from S] [--to E]\n"
    "  --frame T OUT.png [--fps N] [--size WxH]\n"
    "  --contact-sheet OUT.png [--every S] [--fps N] [--size WxH]   (default size 320x180)\n"
    "  --probe T [--fps N]\n";

namespace {

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
  return read_int(w.c_str(), 16, 8192, width) && read_int(x + 1, 16, 8192, height);
}

}  // namespace

bool is_offline_command(int argc, const char* const* argv) {
  if (argc < 2) return false;
  const std::string_view first = argv[1];
  for (const char* mode : {"--capture", "--frames", "--frame", "--contact-sheet", "--probe"}) {
    if (first == mode) return true;
  }
  return false;
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
    if (next >= argc) {
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
    const bool timed = options.mode == offline_mode::capture || options.mode == offline_mode::frames;
    if (name == "--fps") {
      ok = read_int(value, 1, 1000, options.fps);
    } else if (name == "--size" && options.mode != offline_mode::probe) {
      ok = read_size(value, options.width, options.height);
      size_given = true;
    } else if (name == "--from" && timed) {
      ok = read_number(value, options.from);
    } else if (name == "--to" && timed) {
      ok = read_number(value, options.to);
    } else if (name == "--every" && options.mode == offline_mode::contact_sheet) {
      ok = read_number(value, options.every) && options.every > 0.0;
    } else {
      error = std::string(mode) + " does not take " + std::string(name);
      return false;
    }
    if (!ok) {
      error = "bad value for " + std::string(name) + ": " + value;
      return false;
    }
  }
  if (options.mode == offline_mode::contact_sheet && !size_given) {
    options.width = 320;
    options.height = 180;
  }
  if (options.to < options.from) {
    error = "--to is before --from";
    return false;
  }
  return true;
}
