// The idle turn's policy, the same on every backend.
#include "shell/main_loop.h"

#include "runtime/demo_state.h"

bool idle_turn(const idle_turn_hooks& hooks) {
  if (demo.window_active && !hooks.frame()) return false;
  // A press counts even when its release came before this turn (a tap during a long frame or
  // during loading).
  if ((demo.keys[vk::escape] || demo.escape_pressed) && !demo.ending) {
    demo.ending = true;
    demo.ending_start = demo.show_time;
  }
  demo.escape_pressed = false;
  hooks.present();
  if (demo.keys[vk::f1]) demo.keys[vk::f1] = false;
  return true;
}
