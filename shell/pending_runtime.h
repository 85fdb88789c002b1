#pragma once
// Stand-ins for the demo runtime and the render context while they are not part of the build:
// a frame that clears the window and ends on Escape, and the few show values the authoring keys
// touch. Removed once the runtime lands.
#include <cstdint>
#include <vector>

bool demo_init();
void demo_frame();

struct frame_mark {
  int32_t kind = 0;
  float x = 0, y = 0, z = 0;
};

struct frame_state {
  double track_x = 0, track_y = 0, track_z = 0;
  double limit = 0, updown = 0;
  double point_x = 0, point_y = 0, point_z = 0;
  std::vector<frame_mark> marks;
};
extern frame_state global_frame_state;

struct pending_vec3 {
  int state;
  float x, y, z;
};
struct pending_view_points {
  pending_vec3 eye;
};
struct render_context {
  pending_view_points projector{{1, 0.0f, 2.0f, 0.0f}};
  void* device_context = nullptr;
};
extern render_context global_render_context;
