// Stand-in for the shell's GL half of the window while it is not in the tree: the projection on
// resize and the fixed GL defaults before the demo start-up. Linked only without vt_shell.
#include "capture/pending_shell.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include "runtime/demo_init.h"

void resize_gl_scene(int width, int height) {
  if (height == 0) height = 1;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), 0.10000000149011612, 100.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

bool init_gl() {
  glShadeModel(GL_SMOOTH);
  glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  demo_init();
  return true;
}
