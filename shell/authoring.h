#pragma once
// The authoring aids of the show window: tuning keys and the middle-click record, as plain
// functions over the values they touch.
#include <array>
#include <cstdint>
#include <string>

// Mouse-wheel notches of one wheel message: the delta in 1/120 units, truncated toward zero.
int32_t wheel_notches_of(int32_t delta);

// One turn of the tuning keys: Up/Down move `updown` by 1.5 frame steps, A/Q move `limit` by one.
void apply_tuning_keys(const std::array<bool, 256>& keys, double frame_step, double& limit, double& updown);

// The three lines a middle click appends to the recorded text: camera track values, reference
// point and projector eye, each value with 6 significant digits.
std::string middle_click_lines(const double track[3], const double point[3], const float eye[3]);
