#pragma once
// Stand-ins for the demo runtime and the render context while they are not part of the build:
// a frame that clears the window and ends on Escape, and the few show values the authoring keys
// touch. Removed once the runtime lands.
#include <cstdint>
#include <vector>

bool demo_init();
void demo_frame();

struct pending_mark {
  int32_t kind;
  float x, y, z;
};

struct pending_frame_state {
  double track_x = 0, track_y = 0, track_z = 0;
  double limit = 0, updown = 0;
  double point_x = 0, point_y = 0, point_z = 0;
  std::vector<pending_mark> marks;
};
extern pending_frame_state global_frame_state;

struct pending_vec3 {
  int state;
  float x, y, z;
};
struct pending_render_context {
  pending_vec3 projector_eye{1, 0.0f, 2.0f, 0.0f};
};
extern pending_render_context global_render_context;
