#pragma once
// Records what the scene drawing sends through scene_output, for tests without GL.
#include <map>
#include <string>
#include <vector>

#include "engine/spline_track.h"
#include "show/scene_output.h"

struct recorded_call {
  std::string op;    // "perspective", "uniform", "sampler", "rotate", "mesh", "tube", ...
  std::string name;  // uniform or sampler name
  double a = 0, b = 0, c = 0, d = 0;
  const obj_mesh* mesh = nullptr;
  int group = 0;
  int sides = 0;
  int segments = 0;
  std::vector<vec3> centres;  // tube keys
  std::vector<float> radii;
  std::map<std::string, double> uniforms;  // uniform values in effect at a draw
  float color[3] = {0, 0, 0};              // colour in effect at a draw
  int program = -1;                        // program in effect at a draw
};

struct scene_recorder : scene_output {
  std::vector<recorded_call> calls;
  std::map<std::string, double> uniforms;
  float current_color[3] = {1, 1, 1};
  int program = 0;

  recorded_call& add(const char* op) {
    calls.push_back({});
    calls.back().op = op;
    return calls.back();
  }
  recorded_call& add_draw(const char* op) {
    recorded_call& c = add(op);
    c.uniforms = uniforms;
    c.program = program;
    for (int i = 0; i < 3; i++) c.color[i] = current_color[i];
    return c;
  }

  void perspective(int w, int h, double fov, double n, double f) override {
    recorded_call& c = add("perspective");
    c.a = fov;
    c.b = static_cast<double>(w) / h;
    c.c = n;
    c.d = f;
  }
  void look_at(const vec3& eye, const vec3&, const vec3&) override {
    recorded_call& c = add("look_at");
    c.a = eye.x;
    c.b = eye.y;
    c.c = eye.z;
  }
  void clear_color(float r, float g, float b, float a) override {
    recorded_call& c = add("clear_color");
    c.a = r, c.b = g, c.c = b, c.d = a;
  }
  void clear() override { add("clear"); }
  void reset_state() override { add("reset_state"); }
  void use_program(int slot) override {
    add("use_program").a = slot;
    program = slot;
  }
  void use_fixed_function() override {
    add("use_fixed_function");
    program = 0;
  }
  void uniform_f(const char* name, double value) override { uniform("uniform_f", name, value); }
  void uniform_i(const char* name, int value) override { uniform("uniform_i", name, value); }
  void uniform(const char* op, const char* name, double value) {
    recorded_call& c = add(op);
    c.name = name;
    c.a = value;
    uniforms[name] = value;
  }
  void sampler(const char* name, int unit, int texture_index, bool cube) override {
    recorded_call& c = add("sampler");
    c.name = name;
    c.a = unit;
    c.b = texture_index;
    c.c = cube;
  }
  void projector_matrix(const char* name, double fov, double aspect, double n, double f) override {
    recorded_call& c = add("projector_matrix");
    c.name = name;
    c.a = fov, c.b = aspect, c.c = n, c.d = f;
  }
  void push() override { add("push"); }
  void pop() override { add("pop"); }
  void translate(double x, double y, double z) override {
    recorded_call& c = add("translate");
    c.a = x, c.b = y, c.c = z;
  }
  void rotate(double deg, double x, double y, double z) override {
    recorded_call& c = add("rotate");
    c.a = deg, c.b = x, c.c = y, c.d = z;
  }
  void scale(double x, double y, double z) override {
    recorded_call& c = add("scale");
    c.a = x, c.b = y, c.c = z;
  }
  void color(float r, float g, float b) override {
    current_color[0] = r, current_color[1] = g, current_color[2] = b;
    add("color");
  }
  void element_state() override { add("element_state"); }
  void draw_mesh(obj_mesh& mesh, int group) override {
    recorded_call& c = add_draw("mesh");
    c.mesh = &mesh;
    c.group = group;
  }
  void tube(spline_track& track, int segments, int sides) override {
    recorded_call& c = add_draw("tube");
    c.segments = segments;
    c.sides = sides;
    c.centres = track.channel0;
    for (const vec3& r : track.channel1) c.radii.push_back(r.x);
  }
  void finish() override { add("finish"); }

  int count(const std::string& op) const {
    int n = 0;
    for (const recorded_call& c : calls) n += c.op == op;
    return n;
  }
  std::vector<const recorded_call*> meshes(const obj_mesh& mesh) const {
    std::vector<const recorded_call*> r;
    for (const recorded_call& c : calls)
      if (c.op == "mesh" && c.mesh == &mesh) r.push_back(&c);
    return r;
  }
  std::vector<const recorded_call*> tubes(int sides) const {
    std::vector<const recorded_call*> r;
    for (const recorded_call& c : calls)
      if (c.op == "tube" && c.sides == sides) r.push_back(&c);
    return r;
  }
};
