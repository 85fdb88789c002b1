#pragma once
// The per-frame record handed to every part's `render`: track and tuning values, inputs, recorded
// marks, the frame's time, the music spectrum and the key states.
#include <array>
#include <cstdint>
#include <vector>

struct frame_mark {
  int32_t kind = 0;
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

struct frame_state {
  double track_x = 0.0;  // set by the show during render; reset every frame
  double track_y = 0.0;
  double track_z = 0.0;
  int32_t wheel_notches = 0;  // copied from the shell every frame
  double limit = 0.0;         // tuning value (keys A and Q)
  double updown = 0.0;        // tuning value (Up and Down)
  int32_t right_button = 0;   // 1 while the right mouse button is held
  double point_x = 0.0;       // reference point recorded by a middle click
  double point_y = 0.0;
  double point_z = 0.0;
  std::array<bool, 32> requests{};  // set by a part; element 9 ends the program after the frame
  double scene_time = 0.0;          // the show time of this frame
  std::vector<frame_mark> marks;    // recorded points
  int32_t top_row_key = 0;          // see top_row_key()
  std::array<float, 512> spectrum{};
  std::array<int32_t, 256> key_state{};  // 1 while the key with that virtual-key code is down
};

// The runtime's record, handed to the show part every frame.
extern frame_state global_frame_state;

// Index of the request that asks the program to end.
constexpr int request_exit = 9;

// The held key of the keyboard's top row, first match in this order, else 0: 0xDF -> 1, digits 1..9
// -> 2..10, digit 0 -> 11, minus (0xBD) -> 12, plus/equals (0xBB) -> 13, Backspace -> 14.
int32_t top_row_key(const std::array<bool, 256>& keys);
