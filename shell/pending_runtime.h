#pragma once
// Stand-ins for the demo runtime while it is not part of the build: a frame that clears the window
// and ends on Escape, and the frame-state values the authoring keys touch. Removed once the
// runtime lands.
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
