#pragma once
// The scene drawing's output into OpenGL: fixed-function matrices and colours, the show's shader
// library for programs and uniforms, the engine's tube sweep and the meshes' own draw.
#include "show/scene_output.h"

struct render_context;
struct shader_library;

struct gl_scene_output : scene_output {
  gl_scene_output(render_context& context, shader_library& programs) : context(context), programs(programs) {}

  void perspective(int width, int height, double fov, double near_plane, double far_plane) override;
  void look_at(const vec3& eye, const vec3& centre, const vec3& up) override;
  void clear_color(float r, float g, float b, float a) override;
  void clear() override;
  void reset_state() override;
  void use_program(int slot) override;
  void use_fixed_function() override;
  void uniform_f(const char* name, double value) override;
  void uniform_i(const char* name, int value) override;
  void sampler(const char* name, int unit, int texture_index, bool cube) override;
  void projector_matrix(const char* name, double fov, double aspect, double near_plane,
                        double far_plane) override;
  void push() override;
  void pop() override;
  void translate(double x, double y, double z) override;
  void rotate(double degrees, double x, double y, double z) override;
  void scale(double x, double y, double z) override;
  void color(float r, float g, float b) override;
  void element_state() override;
  void draw_mesh(obj_mesh& mesh, int group) override;
  void tube(spline_track& track, int segments, int sides) override;
  void finish() override;

 private:
  render_context& context;
  shader_library& programs;
  int current_program = 0;  // uniforms go to the program made current last
};
