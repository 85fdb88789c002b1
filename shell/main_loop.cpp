#include "shell/main_loop.h"

#include "shell/demo_state.h"

void idle_turn(const idle_turn_hooks& hooks) {
  if (demo.window_active) hooks.frame();
  if (demo.keys[vk::escape] && !demo.ending) {
    demo.ending = true;
    demo.ending_start = demo.show_time;
  }
  hooks.present();
  if (demo.keys[vk::f1]) demo.keys[vk::f1] = false;
}
