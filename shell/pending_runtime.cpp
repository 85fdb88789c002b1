#include "shell/pending_runtime.h"

#include <GL/glew.h>

#include "shell/demo_state.h"
#include "shell/platform.h"

frame_state global_frame_state;

bool demo_init() {
  glewExperimental = GL_TRUE;
  glewInit();
  demo.clipboard_text.clear();
  return true;
}

void demo_frame() {
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (demo.ending) {
    platform.copy_to_clipboard(demo.clipboard_text);
    platform.kill_gl_window();
    platform.exit_process(0);
  }
}
