#include "runtime/demo_frame.h"

#include <GL/glew.h>

#include <algorithm>
#include <new>

#include "engine/render_context.h"
#include "fsound/fsound.h"
#include "runtime/demo_state.h"
#include "runtime/frame_clock.h"
#include "runtime/frame_state.h"
#include "runtime/parts.h"
#include "runtime/platform.h"

namespace {

// Ends the show: sound closed, window and GL context gone, show part's memory released without
// its destructor (nothing may touch GL any more). The caller ends the program with exit code 0.
void end_program(bool copy_clipboard) {
  if (copy_clipboard) platform.copy_to_clipboard(demo.clipboard_text);
  FSOUND_Close();
  platform.kill_gl_window();
  ::operator delete(static_cast<void*>(demo.show_part));
  demo.show_part = nullptr;
}

}  // namespace

double ending_fade_level(double show_time, double ending_start, double fade_rate) {
  return std::clamp(fade_rate * (show_time - ending_start), 0.0, 1.0);
}

int ending_volume(double fade_level) { return static_cast<int>(255.0 - 255.0 * fade_level); }

bool demo_frame() {
  frame_state& state = global_frame_state;
  step_frame_clock();

  state.track_x = 0.0;
  state.track_y = 0.0;
  state.track_z = 0.0;
  state.right_button = demo.right_button ? 1 : 0;
  state.wheel_notches = demo.wheel_notches;

  demo.show_time += demo.frame_step;
  state.scene_time = demo.show_time;

  const float* spectrum = FSOUND_DSP_GetSpectrum();
  std::copy(spectrum, spectrum + state.spectrum.size(), state.spectrum.begin());

  glBlendFunc(GL_ONE, GL_ONE);

  for (size_t key = 0; key < state.key_state.size(); ++key) state.key_state[key] = demo.keys[key] ? 1 : 0;
  state.top_row_key = top_row_key(demo.keys);

  demo.show_part->render(&demo.frame_step, &global_render_context, &state);

  if (show_has_ended(demo.show_time) || state.requests[request_exit]) {
    end_program(false);
    return false;
  }

  if (demo.ending) {
    const double level = ending_fade_level(demo.show_time, demo.ending_start, demo.fade_rate);
    FSOUND_SetVolume(FSOUND_ALL, ending_volume(level));
    glViewport(0, 0, demo.render_width, demo.render_height);
    global_render_context.unbind_target();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glFlush();
    if (level > ending_exit_level) {
      end_program(true);
      return false;
    }
  }
  return true;
}
