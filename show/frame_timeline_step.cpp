// The GL-free steps of the show's render: clocks, warp, key track and camera at the start of a
// frame, and handing the record back at its end.
#include "engine/render_context.h"
#include "show/part_start.h"
#include "show/timeline.h"

void begin_show_frame(part_start& part, double step, render_context& context, const frame_state& state) {
  part.state_copy = state;

  // ttime still holds the previous frame's running time here (end_show_frame undid the warp).
  // A track too short to interpolate (missing key file) leaves the runtime's zeros.
  if (part.key_track.key_count >= 3) {
    vec3 key = part.key_track.sample(static_cast<float>(key_rate * part.ttime));
    part.state_copy.track_x = key.x;
    part.state_copy.track_y = key.y;
  }

  part.last_step = step;
  part.ttime = advance_running_time(part.ttime, step);
  part.fttime = part.ttime;
  part.frame_count++;
  part.dsp_band = 1;
  part.dsp_gain = dsp_gain_at(part.fttime);
  part.ttime = warp_time(part.fttime);
  part.PositionY = 2 * part.ttime - 20;

  if (part.key_track.key_count < spline_track::max_keys) {
    part.key_track.channel0.push_back(make_vec3(part.state_copy.track_x, part.state_copy.track_y, 0));
    part.key_track.key_count++;
  }

  context.main_camera =
      main_camera(part.ttime, part.fttime, part.state_copy.track_x, part.state_copy.track_y, part.PositionY);
}

void end_show_frame(part_start& part, frame_state& state) {
  part.ttime = part.fttime;
  part.state_copy.scene_time = part.fttime;
  state = part.state_copy;
  part.last_track_x = static_cast<float>(part.state_copy.track_x);
  part.last_track_y = static_cast<float>(part.state_copy.track_y);
}
