#pragma once
// What the offline modes need from the show part besides drawing. The show's picture is a function
// of its timeline (clocks, key track, camera), which every frame advances; a frame nobody sees
// only needs that step, not the drawing. The show part's implementation is in
// show_timeline_part_start.cpp.
#include <algorithm>
#include <cstdint>
#include <string>

struct parts;
struct render_context;
struct frame_state;

// Advances `show` (the part create_show_part made) by one frame as its render would, without
// drawing anything.
void step_show_timeline(parts* show, double* step, render_context* context, frame_state* state);

// The show's timeline state of one frame, after its camera step.
struct timeline_probe {
  double fttime = 0.0;
  double ttime = 0.0;
  double sampled_at = 0.0;  // key position the key track was sampled at
  double track_x = 0.0;
  double track_y = 0.0;
  double PositionY = 0.0;
  double dsp_gain = 0.0;
  float eye[3] = {};
  float centre[3] = {};
  float up[3] = {};
  int key_count = 0;
};

// Calls `frame(end)` with the running time at which each frame of a fresh run at `fps` ends, up
// to `time`: frame k ends at k / fps (computed afresh, so that the steps do not pile up rounding),
// the last one at `time` itself.
template <class Frame>
void for_each_frame_end(double time, int fps, Frame&& frame) {
  for (int64_t k = 1;; ++k) {
    const double end = std::min(static_cast<double>(k) / fps, time);
    frame(end);
    if (end >= time) return;
  }
}

// Runs a fresh show timeline from 0 with steps of 1/fps seconds until its running time reaches
// `time` (the last step shortened to land on it) and reports the last frame. Reads the key track
// from the working directory; needs no GL. False, with `error` set, when the linked show part has
// no timeline to probe.
bool probe_show_timeline(double time, int fps, timeline_probe& probe, std::string& error);

// The probe as one line of JSON (no line break).
std::string probe_json(const timeline_probe& probe);
