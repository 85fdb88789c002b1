#include "runtime/frame_state.h"

frame_state global_frame_state;

int32_t top_row_key(const std::array<bool, 256>& keys) {
  if (keys[0xDF]) return 1;
  for (int digit = 1; digit <= 9; ++digit) {
    if (keys['0' + digit]) return digit + 1;
  }
  if (keys['0']) return 11;
  if (keys[0xBD]) return 12;
  if (keys[0xBB]) return 13;
  if (keys[8]) return 14;
  return 0;
}
