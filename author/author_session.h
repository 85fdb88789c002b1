#pragma once
// An author mode session: the controls applied to the show clock, the music and the show's
// timeline together, the shaders rebuilt on request or when their files change, and the status
// line. Runs on the main thread between the window's messages and its frames.
#include <filesystem>
#include <string>
#include <vector>

#include "author/author_controls.h"

struct parts;

struct author_session {
  author_controls controls;
  parts* show = nullptr;
  int loaded_keys = 0;
  // The shader files watched for changes, with the change time last seen (empty: not there).
  std::vector<std::string> shader_paths;
  std::vector<std::filesystem::file_time_type> shader_times;
  double next_watch = 0.0;   // stopwatch seconds of the next look at the files
  std::string shader_error;  // the last failed rebuild's one-line report; empty once one works
  double last_frame_at = -1.0;
  double ms_per_frame = 0.0;  // smoothed
};

extern author_session author;

// The folder the shaders are read from: the one given with --data; else the source tree's data
// folder when the program runs from the build folder it was built into (`exe_folder` equal to
// `build_bin` and `source_data` holding the shader folders); else empty, the working directory.
std::string choose_shader_folder(const std::string& given, const std::string& exe_folder,
                                 const std::string& build_bin, const std::string& source_data);
// The folder as messages name it: empty is "the working directory".
std::string shown_folder(const std::string& folder);
// True when `folder` (empty: the working directory) holds the show's shader folders; else false
// with the reason in `error`.
bool holds_shaders(const std::string& folder, std::string& error);

// After the show's start-up: takes the show part and its key track, notes the shaders' change
// times, and moves clock, music and show to `from`.
void start_author_session(author_session& s, double from);

// A key went down in the show window (before the window procedure sees it). Escape resumes a
// paused show: the ending needs the clock to move.
void author_key_down(author_session& s, int vk, bool shift);

// Carries out a request now (keys call it; tests drive it directly).
void apply_author(author_session& s, const author_request& request);

// Moves clock, music and show to `time` at once and arms the music correction again.
void seek_author(author_session& s, double time);

// Before each frame: the loop's jump back and the look at the shader files (every half second).
void author_before_frame(author_session& s);

// Rebuilds the show's programs now; the result is in s.shader_error.
void reload_author_shaders(author_session& s);

// The status line of the frame just drawn.
std::string author_status_text(const author_session& s);
