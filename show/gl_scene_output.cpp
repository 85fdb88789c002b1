// The scene drawing's calls carried out in OpenGL: fixed-function matrices and colours, the show's
// programs and samplers, meshes and swept tubes.
#include "show/gl_scene_output.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include "assets/obj_mesh.h"
#include "engine/render_context.h"
#include "engine/screen_pass.h"
#include "engine/shader_library.h"
#include "engine/sweep_tube.h"

void gl_scene_output::perspective(int width, int height, double fov, double near_plane, double far_plane) {
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(fov, static_cast<double>(width) / height, near_plane, far_plane);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void gl_scene_output::look_at(const vec3& eye, const vec3& centre, const vec3& up) {
  gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
}

void gl_scene_output::clear_color(float r, float g, float b, float a) { glClearColor(r, g, b, a); }

void gl_scene_output::clear() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }

void gl_scene_output::reset_state() { ::reset_state(); }

void gl_scene_output::use_program(int slot) {
  programs.use_program(slot);
  current_program = slot;
}

void gl_scene_output::use_fixed_function() { programs.use_fixed_function(); }

void gl_scene_output::uniform_f(const char* name, double value) {
  programs.set_uniform_1f(current_program, name, static_cast<float>(value));
}

void gl_scene_output::uniform_i(const char* name, int value) {
  programs.set_uniform_1i(current_program, name, value);
}

void gl_scene_output::sampler(const char* name, int unit, int texture_index, bool cube) {
  programs.bind_sampler(cube ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D, current_program, unit, name,
                        context.texture_slot(texture_index));
}

void gl_scene_output::projector_matrix(const char* name, double fov, double aspect, double near_plane,
                                       double far_plane) {
  camera view = context.projector;
  view.name = name;
  view.fov = fov;
  view.aspect = aspect;
  view.near_distance = near_plane;
  view.far_distance = far_plane;
  // The projector matrix is loaded in texture mode on unit 0 and leaves that mode selected.
  glMatrixMode(GL_TEXTURE);
  glActiveTexture(GL_TEXTURE0);
  set_projector_matrix(view);
  glMatrixMode(GL_MODELVIEW);
}

void gl_scene_output::push() { glPushMatrix(); }

void gl_scene_output::pop() { glPopMatrix(); }

void gl_scene_output::translate(double x, double y, double z) { glTranslated(x, y, z); }

void gl_scene_output::rotate(double degrees, double x, double y, double z) { glRotated(degrees, x, y, z); }

void gl_scene_output::scale(double x, double y, double z) { glScaled(x, y, z); }

void gl_scene_output::color(float r, float g, float b) { glColor3f(r, g, b); }

void gl_scene_output::element_state() {
  glMatrixMode(GL_TEXTURE);
  glActiveTexture(GL_TEXTURE1);
  glLoadIdentity();
  glActiveTexture(GL_TEXTURE0);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glDisable(GL_CULL_FACE);
}

void gl_scene_output::draw_mesh(obj_mesh& mesh, int group) { mesh.draw(group); }

void gl_scene_output::tube(spline_track& track, int segments, int sides) {
  vec3 up;
  up.state = 1;
  up.z = 1.0f;
  const double start = 0.0;
  const double end = segments;
  sweep_tube(track, up, start, end, segments, sides);
}

void gl_scene_output::finish() {
  glMatrixMode(GL_TEXTURE);
  glActiveTexture(GL_TEXTURE0);
  glLoadIdentity();
  programs.use_fixed_function();
  glEnable(GL_POINT_SMOOTH);
  glBegin(GL_POINTS);
  glEnd();
  glDisable(GL_POINT_SPRITE);
}
