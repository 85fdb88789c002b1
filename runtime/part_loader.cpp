#include "runtime/part_loader.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include "engine/render_context.h"
#include "runtime/demo_state.h"

std::optional<start_failure> part_loader::init(render_context*) {
  texture_offset = 0;
  return std::nullopt;
}

void part_loader::render(double*, render_context* context, frame_state*) {
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glPushMatrix();
  context->unbind_target();
  glViewport(0, 0, demo.render_width, demo.render_height);

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const double aspect = static_cast<double>(demo.render_width) / static_cast<double>(demo.render_height);
  gluPerspective(65.0 + context->fov_offset, aspect, 1.0, 100.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(0.0, 0.0, 10.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);

  // The clear covers the whole window, whatever the viewport.
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_TEXTURE_2D);
  context->bind_texture(10 + texture_offset);
  glDisable(GL_BLEND);
  glColor3f(1.0f, 1.0f, 1.0f);

  // The model-view matrix is current again, so this pops the matrix pushed above; the projection
  // set here stays in effect.
  glPopMatrix();
  glPopAttrib();
  glFlush();
}
