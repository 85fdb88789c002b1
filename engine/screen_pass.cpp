// Full-screen passes into render targets, the shared quad, the plain fixed-function state and the
// projective texture matrix.
#include "engine/screen_pass.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <cmath>

#include "engine/render_context.h"
#include "engine/shader_library.h"

void render_context::screen_pass(shader_library& library, int slot, int target, int passes, int width,
                                 int height, int source, int destination, int second, int third) {
  unbind_target();
  reset_state();
  for (int pass = 0; pass < passes; ++pass) {
    // Callers are in GL_MODELVIEW mode; the pop below restores their modelview.
    glPushMatrix();
    glViewport(0, 0, width, height);
    attach_color(target, 0, destination);
    bind_target(target, 1);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_TEXTURE);
    glActiveTexture(GL_TEXTURE0);
    glLoadIdentity();
    glActiveTexture(GL_TEXTURE1);
    glLoadIdentity();
    glActiveTexture(GL_TEXTURE0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);

    library.use_program(slot);
    library.bind_sampler(GL_TEXTURE_2D, slot, 0, "texture2d_1", textures[source]);
    // From the second pass on, the pass reads the previous pass's result.
    if (pass > 0) library.bind_sampler(GL_TEXTURE_2D, slot, 0, "texture2d_1", textures[destination]);
    if (second >= 0) library.bind_sampler(GL_TEXTURE_2D, slot, 1, "texture2d_2", textures[second]);
    if (third >= 0) library.bind_sampler(GL_TEXTURE_2D, slot, 2, "texture2d_3", textures[third]);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);

    draw_quad(0.0, 1.0, 1.0, true, 1.0f);
    glPopMatrix();
    resolve_target(target, width, height, 1, false);
    unbind_target();
  }
  unbind_target();
}

void draw_quad(const double& angle, const double& scale_x, const double& scale_y, bool billboard,
               float repeat) {
  if (billboard) {
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int column = 0; column < 3; ++column) {
      for (int row = 0; row < 3; ++row) m[column * 4 + row] = column == row ? 1.0f : 0.0f;
    }
    glLoadMatrixf(m);
  }
  glRotated(angle, 0.0, 0.0, 1.0);
  glScaled(std::fabs(scale_x), scale_y, 0.0);

  const float r = repeat;
  const bool mirrored = !(scale_x > 0.0);
  const float s0 = mirrored ? r : 0.0f;
  const float s1 = mirrored ? 0.0f : r;
  glBegin(GL_QUADS);
  glTexCoord2f(s0, 0.0f);
  glVertex3f(-1.0f, -1.0f, 0.0f);
  glTexCoord2f(s1, 0.0f);
  glVertex3f(1.0f, -1.0f, 0.0f);
  glTexCoord2f(s1, r);
  glVertex3f(1.0f, 1.0f, 0.0f);
  glTexCoord2f(s0, r);
  glVertex3f(-1.0f, 1.0f, 0.0f);
  glEnd();
}

void reset_state() {
  glDisable(GL_BLEND);
  glDisable(GL_LIGHTING);
  glDisable(GL_COLOR_MATERIAL);
  glDisable(GL_LIGHT0);
  glDisable(GL_TEXTURE_2D);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glDisable(GL_FOG);
}

void set_projector_matrix(const camera& view) {
  glPushMatrix();
  glMatrixMode(GL_TEXTURE);
  glActiveTexture(GL_TEXTURE2);
  glLoadIdentity();
  glTranslated(0.5, 0.5, 0.5);
  glScaled(0.5, 0.5, 0.5);
  gluPerspective(view.fov, view.aspect, view.near_distance, view.far_distance);
  gluLookAt(view.eye.x, view.eye.y, view.eye.z, view.center.x, view.center.y, view.center.z, view.up.x,
            view.up.y, view.up.z);
  glMatrixMode(GL_TEXTURE);
  glActiveTexture(GL_TEXTURE0);
  glPopMatrix();
}
