#pragma once
// The main loop: the idle turn's policy, shared by every backend, and the message loop each
// backend's main_loop.cpp implements around it.

struct idle_turn_hooks {
  bool (*frame)();    // draws one frame into the back buffer; false once the show has ended
  void (*present)();  // swaps the buffers
  // Author mode only: a key went down (its virtual-key code, Shift held), before the window
  // procedure sees it. Null in the show as designed.
  void (*key_down)(int vk, bool shift) = nullptr;
};

// One idle turn: draw while the window is not minimised, start the ending on Escape, present, forget
// F1. False once the frame said the show has ended (nothing is presented then).
bool idle_turn(const idle_turn_hooks& hooks);

// Handles every waiting message before each idle turn. Returns the exit code once the window's
// quit request arrives (0) or the show has ended (0).
int run_main_loop(const idle_turn_hooks& hooks);
