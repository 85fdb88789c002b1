// The seam for the show part: its render starts with the GL-free timeline step and ends by
// handing the frame record back; a frame nobody sees runs just those two.
#include <cstdio>
#include <memory>
#include <string>

#include "capture/show_timeline.h"
#include "engine/render_context.h"
#include "show/part_start.h"
#include "show/timeline.h"

void step_show_timeline(parts* show, double* step, render_context* context, frame_state* state) {
  part_start& part = *static_cast<part_start*>(show);
  context->current_frame = state;
  begin_show_frame(part, *step, *context, *state);
  end_show_frame(part, *state);
}

bool probe_show_timeline(double time, int fps, timeline_probe& probe, std::string& error) {
  if (fps <= 0) {
    error = "the probe needs a positive frame rate";
    return false;
  }
  // Only the key track of the show's set-up is needed: the part's meshes and programs stay
  // empty (nothing of them reaches GL, which does not exist here, not even when they go).
  const auto owner = std::make_unique<part_start>();
  part_start& part = *owner;
  part.key_track.reset();
  const std::string keys = part.key_track.load_keys("misc//piano3.txt");
  if (!keys.empty()) std::fprintf(stderr, "misc//piano3.txt: %s\n", keys.c_str());
  render_context& context = global_render_context;
  frame_state state;
  for_each_frame_end(time, fps, [&](double end) {
    double step = end - part.fttime;
    const float sampled_at = static_cast<float>(key_rate * part.ttime);
    state.track_x = state.track_y = state.track_z = 0.0;
    context.current_frame = &state;
    begin_show_frame(part, step, context, state);
    probe.fttime = part.fttime;
    probe.ttime = part.ttime;
    probe.sampled_at = sampled_at;
    probe.track_x = part.state_copy.track_x;
    probe.track_y = part.state_copy.track_y;
    probe.PositionY = part.PositionY;
    probe.dsp_gain = part.dsp_gain;
    const auto& camera = context.main_camera;
    const vec3* vectors[3] = {&camera.eye, &camera.center, &camera.up};
    float* targets[3] = {probe.eye, probe.centre, probe.up};
    for (int i = 0; i < 3; ++i) {
      targets[i][0] = vectors[i]->x;
      targets[i][1] = vectors[i]->y;
      targets[i][2] = vectors[i]->z;
    }
    probe.key_count = part.key_track.key_count;
    end_show_frame(part, state);
  });
  return true;
}
