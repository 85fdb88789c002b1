#pragma once
// One frame of the show: clock step, frame record, the show part's render, and the end conditions
// (end of the show, a part's exit request, the Escape ending). The caller presents the frame.
// False once the show has ended: sound closed, window gone, the program to end with exit code 0.

bool demo_frame();

// Ending after Escape: the fade level for the time since the ending began, clamped to [0, 1], and
// the volume 0..255 it gives. The program ends once the level exceeds `ending_exit_level`.
constexpr double ending_exit_level = static_cast<double>(0.999f);
double ending_fade_level(double show_time, double ending_start, double fade_rate);
int ending_volume(double fade_level);
