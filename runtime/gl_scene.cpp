// The shared GL half of the window: projection on resize and the fixed defaults at start-up.
#include "runtime/gl_scene.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include "runtime/demo_init.h"

bool (*demo_start)() = demo_init;

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
  return demo_start();
}
