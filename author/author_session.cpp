// Author mode's session: pause, seeks, loop and frame steps on clock, music and show together;
// shader rebuilds; the status line.
#include "author/author_session.h"

#include <cmath>
#include <cstdio>
#include <system_error>

#include "author/author_show.h"
#include "engine/shader_library.h"
#include "fsound/fsound.h"
#include "runtime/demo_state.h"
#include "runtime/frame_state.h"
#include "runtime/stopwatch.h"
#include "show/segments.h"
#include "show/timeline.h"

author_session author;

namespace {

// How often the shader files are looked at, in seconds.
constexpr double watch_interval = 0.5;
// The share of a new frame's time in the status line's smoothed figure.
constexpr double frame_time_smoothing = 0.1;

std::filesystem::file_time_type change_time(const std::string& path) {
  std::error_code error;
  const auto time = std::filesystem::last_write_time(path, error);
  return error ? std::filesystem::file_time_type{} : time;
}

// The music at show time `time`: the sample frame there, wrapped where the music loops.
void place_music(double time) {
  const int rate = FSOUND_GetFrequency(0);
  const unsigned length = FSOUND_Sample_GetLength(demo.music_sample);
  if (rate <= 0 || length == 0) return;
  const auto frame = static_cast<uint64_t>(std::llround(time * rate)) % length;
  FSOUND_SetCurrentPosition(0, static_cast<unsigned>(frame));
}

void set_paused(author_session& s, bool paused) {
  s.controls.paused = paused;
  demo.clock_paused = paused;
  FSOUND_SetPaused(0, paused ? 1 : 0);
  // The music stands where the picture stands, and the pause's length is no frame's step.
  place_music(demo.show_time);
  demo.last_clock = frame_stopwatch.read();
}

}  // namespace

std::string choose_shader_folder(const std::string& given, const std::string& exe_folder,
                                 const std::string& build_bin, const std::string& source_data) {
  if (!given.empty()) return given;
  std::error_code error;
  if (!exe_folder.empty() && std::filesystem::equivalent(exe_folder, build_bin, error) &&
      std::filesystem::is_directory(source_data + "/Materials", error)) {
    return source_data;
  }
  return "";
}

std::string shown_folder(const std::string& folder) {
  return folder.empty() ? "the working directory" : folder;
}

bool holds_shaders(const std::string& folder, std::string& error) {
  const std::string shown = shown_folder(folder);
  std::error_code code;
  if (!folder.empty() && !std::filesystem::is_directory(folder, code)) {
    error = shown + ": not a folder";
    return false;
  }
  for (const std::string& file : show_shader_files()) {
    if (!std::filesystem::is_regular_file(shader_path_in(folder, file), code)) {
      error = shown + ": holds no " + file + " (a folder with the show's Materials/ and PostProcessing/)";
      return false;
    }
  }
  return true;
}

void start_author_session(author_session& s, double from) {
  s.show = demo.show_part;
  s.loaded_keys = show_loaded_keys(s.show);
  s.shader_paths.clear();
  s.shader_times.clear();
  for (const std::string& file : show_shader_files()) {
    s.shader_paths.push_back(shader_path_in(shader_source_folder, file));
    s.shader_times.push_back(change_time(s.shader_paths.back()));
  }
  s.next_watch = frame_stopwatch.read() + watch_interval;
  seek_author(s, from);
}

void seek_author(author_session& s, double time) {
  seek_show_timeline(s.show, time, static_cast<int>(std::lround(1.0 / author_step)), s.loaded_keys);
  demo.show_time = time;
  global_frame_state.scene_time = time;
  demo.sync_to_music = true;
  place_music(time);
  demo.last_clock = frame_stopwatch.read();
}

void apply_author(author_session& s, const author_request& request) {
  // The Escape ending runs on the clock to its end; nothing moves it any more.
  if (demo.ending || request.command == author_command::none) return;
  if (request.command == author_command::reload) {
    reload_author_shaders(s);
    return;
  }
  const bool was_paused = s.controls.paused;
  const author_move move = apply_author_request(s.controls, request, demo.show_time);
  if (s.controls.paused != was_paused) set_paused(s, s.controls.paused);
  if (move.seek) seek_author(s, move.target);
}

void author_key_down(author_session& s, int vk, bool shift) {
  if (vk == vk::escape) {
    if (s.controls.paused && !demo.ending) set_paused(s, false);
    return;
  }
  apply_author(s, author_request_for_key(vk, shift));
}

void author_before_frame(author_session& s) {
  const double now = frame_stopwatch.read();
  if (s.last_frame_at >= 0.0) {
    const double ms = 1000.0 * (now - s.last_frame_at);
    s.ms_per_frame =
        s.ms_per_frame <= 0.0 ? ms : s.ms_per_frame + frame_time_smoothing * (ms - s.ms_per_frame);
  }
  s.last_frame_at = now;

  if (!demo.ending) {
    const author_move move = loop_move(s.controls, demo.show_time);
    if (move.seek) seek_author(s, move.target);
  }
  if (now < s.next_watch) return;
  s.next_watch = now + watch_interval;
  bool changed = false;
  for (size_t i = 0; i < s.shader_paths.size(); ++i) {
    const auto time = change_time(s.shader_paths[i]);
    if (time != s.shader_times[i]) changed = true;
    s.shader_times[i] = time;
  }
  if (changed) reload_author_shaders(s);
}

void reload_author_shaders(author_session& s) {
  std::string error;
  if (reload_show_programs(s.show, error)) {
    s.shader_error.clear();
    std::printf("author: shaders rebuilt from %s\n", shown_folder(shader_source_folder).c_str());
  } else {
    s.shader_error = error;
    std::printf("author: %s (the previous program stays)\n", error.c_str());
  }
  std::fflush(stdout);
}

std::string author_status_text(const author_session& s) {
  author_status status;
  status.running_time = demo.show_time;
  status.scene_time = warp_time(demo.show_time);
  status.elements = scene_elements_at(status.scene_time);
  status.ms_per_frame = s.ms_per_frame;
  status.frames_per_second = s.ms_per_frame > 0.0 ? 1000.0 / s.ms_per_frame : 0.0;
  status.limit = global_frame_state.limit;
  status.updown = global_frame_state.updown;
  status.paused = s.controls.paused;
  status.loop_start = s.controls.loop_start;
  status.loop_end = s.controls.loop_end;
  return author_status_line(status);
}
