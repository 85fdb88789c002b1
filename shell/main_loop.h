#pragma once
// The main loop's idle turn, shared by every backend: draw while the window is not minimised,
// start the ending on Escape, present every turn, forget F1.

struct idle_turn_hooks {
  void (*frame)();    // draws one frame into the back buffer
  void (*present)();  // swaps the buffers
};

void idle_turn(const idle_turn_hooks& hooks);
