#include "shell/window_procedure.h"

#include "engine/render_context.h"
#include "runtime/demo_state.h"
#include "runtime/frame_state.h"
#include "runtime/gl_scene.h"
#include "shell/authoring.h"

void record_middle_click() {
  auto& fs = global_frame_state;
  fs.marks.push_back(
      {1, static_cast<float>(fs.point_x), static_cast<float>(fs.point_y), static_cast<float>(fs.point_z)});
  const double track[3] = {fs.track_x, fs.track_y, fs.track_z};
  const double point[3] = {fs.point_x, fs.point_y, fs.point_z};
  const auto& eye = global_render_context.projector.eye;
  const float eye_xyz[3] = {eye.x, eye.y, eye.z};
  demo.clipboard_text += middle_click_lines(track, point, eye_xyz);
}

window_result window_procedure(const window_message& message) {
  switch (message.kind) {
    case window_message_kind::activate:
      demo.window_active = message.a == 0;
      return window_result::handled;
    case window_message_kind::system_command:
      // Screen saver and display power-off are suppressed; other commands take the default path.
      if (message.a != 0) return window_result::handled;
      break;
    case window_message_kind::close:
      return window_result::quit;
    case window_message_kind::key_down:
      if (message.a >= 0 && message.a < 256) demo.keys[message.a] = true;
      if (message.a == vk::escape) demo.escape_pressed = true;
      return window_result::handled;
    case window_message_kind::key_up:
      if (message.a >= 0 && message.a < 256) demo.keys[message.a] = false;
      return window_result::handled;
    case window_message_kind::size:
      resize_gl_scene(message.a, message.b);
      return window_result::handled;
    case window_message_kind::mouse_wheel:
      demo.wheel_notches += wheel_notches_of(message.a);
      return window_result::handled;
    case window_message_kind::right_button_down:
      demo.right_button = true;
      break;
    case window_message_kind::right_button_up:
      demo.right_button = false;
      break;
    case window_message_kind::middle_button_down:
      record_middle_click();
      break;
    case window_message_kind::other:
      break;
  }
  // Common tail: the tuning keys act once per message that reaches it.
  apply_tuning_keys(demo.keys, demo.frame_step, global_frame_state.limit, global_frame_state.updown);
  return window_result::default_processing;
}
