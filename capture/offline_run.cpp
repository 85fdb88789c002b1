// The entry of the offline modes: the command line read and checked, the output's folder checked
// before anything starts, the mode's output made, and the run handed to the offline loop (the
// probe runs without a window).
#include "capture/offline_run.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "capture/offline_exit.h"
#include "capture/offline_loop.h"
#include "capture/offline_options.h"
#include "capture/offline_session.h"
#include "capture/offline_sink.h"

namespace {

// Checks, before the start-up, that the output can be written: its folder exists (a --frames
// folder is made) and takes a new file. False with the path and the reason in `error`.
bool check_output_folder(const offline_options& o, std::string& error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path folder = o.output;
  if (o.mode == offline_mode::frames) {
    fs::create_directories(folder, ec);
    if (ec) {
      error = "cannot make the folder " + o.output + ": " + ec.message();
      return false;
    }
  } else {
    if (fs::is_directory(folder, ec)) {
      error = o.output + " is a folder, not a file";
      return false;
    }
    folder = folder.parent_path();
    if (folder.empty()) folder = ".";
  }
  const fs::file_status status = fs::status(folder, ec);
  if (!fs::exists(status)) {
    error = "cannot write " + o.output + ": the folder " + folder.string() + " does not exist";
    return false;
  }
  if (!fs::is_directory(status)) {
    error = "cannot write " + o.output + ": " + folder.string() + " is not a folder";
    return false;
  }
  // The one sure test of a folder taking new files (permissions, read-only mounts): make one.
  std::string trial = (folder / ".vorteline-write-test-XXXXXX").string();
  const int fd = mkstemp(trial.data());
  if (fd < 0) {
    error = "cannot write " + o.output + ": the folder " + folder.string() +
            " takes no new file: " + std::strerror(errno);
    return false;
  }
  close(fd);
  unlink(trial.c_str());
  return true;
}

// The output of a mode that draws frames (not the probe).
std::unique_ptr<offline_sink> make_sink(const offline_options& o) {
  switch (o.mode) {
    case offline_mode::capture:
      return make_video_sink(o);
    case offline_mode::frames:
      return make_frames_sink(o);
    case offline_mode::frame:
      return make_frame_sink(o);
    case offline_mode::contact_sheet:
      return make_sheet_sink(o);
    case offline_mode::probe:
      break;
  }
  return nullptr;
}

}  // namespace

int run_offline_command(int argc, const char* const* argv) {
  static offline_session s;
  std::string error;
  if (!parse_offline_options(argc, argv, s.options, error)) {
    std::fprintf(stderr, "vorteline: %s\n%s", error.c_str(), program_usage().c_str());
    return 2;
  }
  const offline_options& o = s.options;
  if (o.mode == offline_mode::probe) return run_probe(o);
  if (!check_output_folder(o, error)) {
    std::fprintf(stderr, "vorteline: %s\n", error.c_str());
    return 1;
  }

  s.sink = make_sink(o);
  s.progress.total = s.sink->frames_expected();
  s.progress.terminal = isatty(STDERR_FILENO) != 0;
  // No backend is installed: the program's message boxes (a failed start-up) are lines on standard
  // error, answered with the default.
  install_offline_interrupts();
  return play_offline(s);
}
