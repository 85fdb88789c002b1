// The seam for the show part: author mode's seek, program rebuild and shader file list.
#include <algorithm>

#include "author/author_show.h"
#include "capture/show_timeline.h"
#include "engine/render_context.h"
#include "runtime/frame_state.h"
#include "show/part_start.h"

int show_loaded_keys(parts* show) { return static_cast<part_start*>(show)->key_track.key_count; }

void seek_show_timeline(parts* show, double time, int fps, int loaded_keys) {
  part_start& part = *static_cast<part_start*>(show);
  part.ttime = part.fttime = 0.0;
  part.frame_count = 0;
  part.last_step = 0.0;
  spline_track& keys = part.key_track;
  keys.key_count = std::min(loaded_keys, keys.key_count);
  keys.channel0.resize(static_cast<size_t>(keys.key_count));

  render_context& context = global_render_context;
  frame_state scratch = global_frame_state;
  for_each_frame_end(time, fps, [&](double end) {
    double step = end - part.fttime;
    scratch.track_x = scratch.track_y = scratch.track_z = 0.0;
    step_show_timeline(show, &step, &context, &scratch);
  });
  context.current_frame = &global_frame_state;
}

bool reload_show_programs(parts* show, std::string& error) {
  part_start& part = *static_cast<part_start*>(show);
  bool all = true;
  for (const program_files& p : show_program_files) {
    std::string problem;
    if (part.programs.reload_program(p.vertex, p.fragment, p.slot, problem)) continue;
    if (all) error = problem;
    all = false;
  }
  return all;
}

std::vector<std::string> show_shader_files() {
  std::vector<std::string> files;
  for (const program_files& p : show_program_files) {
    if (p.vertex) files.push_back(p.vertex);
    files.push_back(p.fragment);
  }
  return files;
}
