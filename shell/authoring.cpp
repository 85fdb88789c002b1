#include "shell/authoring.h"

#include <cstdio>

#include "runtime/demo_state.h"

int32_t wheel_notches_of(int32_t delta) { return delta / 120; }

void apply_tuning_keys(const std::array<bool, 256>& keys, double frame_step, double& limit, double& updown) {
  if (keys[vk::up]) updown += 1.5 * frame_step;
  if (keys[vk::down]) updown -= 1.5 * frame_step;
  if (keys['A']) limit -= frame_step;
  if (keys['Q']) limit += frame_step;
}

std::string middle_click_lines(const double track[3], const double point[3], const float eye[3]) {
  char text[512];
  std::snprintf(text, sizeof text,
                "Cam :%g,%g,%g  \n"
                "Pnt :%g,%g,%g  \n \n"
                "MCr :%g,%g,%g  \n \n",
                track[0], track[1], track[2], point[0], point[1], point[2], static_cast<double>(eye[0]),
                static_cast<double>(eye[1]), static_cast<double>(eye[2]));
  return text;
}
