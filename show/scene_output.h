#pragma once
// Everything the scene drawing sends towards OpenGL goes through this interface: the show draws
// with gl_scene_output, the tests record the calls instead.
#include "engine/vec3.h"

struct obj_mesh;
struct spline_track;

struct scene_output {
  virtual ~scene_output() = default;

  // Viewport (0, 0, w, h), projection = perspective(fov, w/h, near, far), model-view = identity.
  virtual void perspective(int width, int height, double fov, double near_plane, double far_plane) = 0;
  virtual void look_at(const vec3& eye, const vec3& centre, const vec3& up) = 0;
  virtual void clear_color(float r, float g, float b, float a) = 0;
  virtual void clear() = 0;  // colour and depth
  virtual void reset_state() = 0;

  virtual void use_program(int slot) = 0;
  virtual void use_fixed_function() = 0;
  // Uniforms of the program made current by the last use_program.
  virtual void uniform_f(const char* name, double value) = 0;
  virtual void uniform_i(const char* name, int value) = 0;
  // Binds the texture of a texture index on a unit and points the sampler at it; cube selects
  // the cube-map target instead of 2D.
  virtual void sampler(const char* name, int unit, int texture_index, bool cube) = 0;
  // Projective texture matrix from the render context's projector camera.
  virtual void projector_matrix(const char* name, double fov, double aspect, double near_plane,
                                double far_plane) = 0;

  virtual void push() = 0;
  virtual void pop() = 0;
  virtual void translate(double x, double y, double z) = 0;
  virtual void rotate(double degrees, double x, double y, double z) = 0;
  virtual void scale(double x, double y, double z) = 0;
  virtual void color(float r, float g, float b) = 0;
  // Identity texture matrices on units 1 and 0 and face culling off: the start of every element.
  virtual void element_state() = 0;

  virtual void draw_mesh(obj_mesh& mesh, int group) = 0;
  // Sweeps a tube along the track from key 0 to key segments, up vector (0, 0, 1).
  virtual void tube(spline_track& track, int segments, int sides) = 0;

  // The end of the scene: texture matrix of unit 0 reset, fixed function, point smoothing on, an
  // empty point batch, point sprites off, unit 0's texture matrix left selected.
  virtual void finish() = 0;
};
