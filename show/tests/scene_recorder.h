#pragma once
// Records what the scene drawing sends through scene_output, for tests without GL.
#include <array>
#include <map>
#include <string>
#include <vector>

#include "engine/spline_track.h"
#include "show/scene_output.h"

struct recorded_call {
  std::string op;         // the scene_output operation
  std::string name;       // uniform, sampler or matrix name
  std::vector<double> v;  // its numeric arguments, in order
  const obj_mesh* mesh = nullptr;
  std::vector<vec3> centres;  // tube keys
  std::vector<float> radii;
  // State in effect at a draw (mesh or tube).
  std::map<std::string, double> uniforms;
  std::array<float, 3> color{};
  int program = 0;
};

struct scene_recorder : scene_output {
  std::vector<recorded_call> calls;
  std::map<std::string, double> uniforms;
  std::array<float, 3> current_color{1, 1, 1};
  int program = 0;

  recorded_call& add(const char* op, std::vector<double> v = {}, const char* name = "") {
    recorded_call& c = calls.emplace_back();
    c.op = op;
    c.name = name;
    c.v = std::move(v);
    return c;
  }
  recorded_call& add_draw(const char* op) {
    recorded_call& c = add(op);
    c.uniforms = uniforms;
    c.color = current_color;
    c.program = program;
    return c;
  }

  void perspective(int w, int h, double fov, double n, double f) override {
    add("perspective", {fov, static_cast<double>(w) / h, n, f});
  }
  void look_at(const vec3& eye, const vec3&, const vec3&) override { add("look_at", {eye.x, eye.y, eye.z}); }
  void clear_color(float r, float g, float b, float a) override { add("clear_color", {r, g, b, a}); }
  void clear() override { add("clear"); }
  void reset_state() override { add("reset_state"); }
  void use_program(int slot) override {
    add("use_program", {static_cast<double>(slot)});
    program = slot;
  }
  void use_fixed_function() override {
    add("use_fixed_function");
    program = 0;
  }
  void uniform_f(const char* name, double value) override { uniform(name, value); }
  void uniform_i(const char* name, int value) override { uniform(name, value); }
  void uniform(const char* name, double value) {
    add("uniform", {value}, name);
    uniforms[name] = value;
  }
  void sampler(const char* name, int unit, int texture_index, bool cube) override {
    add("sampler", {static_cast<double>(unit), static_cast<double>(texture_index), cube ? 1.0 : 0.0}, name);
  }
  void projector_matrix(const char* name, double fov, double aspect, double n, double f) override {
    add("projector_matrix", {fov, aspect, n, f}, name);
  }
  void push() override { add("push"); }
  void pop() override { add("pop"); }
  void translate(double x, double y, double z) override { add("translate", {x, y, z}); }
  void rotate(double deg, double x, double y, double z) override { add("rotate", {deg, x, y, z}); }
  void scale(double x, double y, double z) override { add("scale", {x, y, z}); }
  void color(float r, float g, float b) override {
    current_color = {r, g, b};
    add("color", {r, g, b});
  }
  void element_state() override { add("element_state"); }
  void draw_mesh(obj_mesh& mesh, int group) override {
    recorded_call& c = add_draw("mesh");
    c.mesh = &mesh;
    c.v = {static_cast<double>(group)};
  }
  void tube(spline_track& track, int segments, int sides) override {
    recorded_call& c = add_draw("tube");
    c.v = {static_cast<double>(segments), static_cast<double>(sides)};
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
  // Tubes with the given number of sides (and of segments, when given).
  std::vector<const recorded_call*> tubes(int sides, int segments = 0) const {
    std::vector<const recorded_call*> r;
    for (const recorded_call& c : calls)
      if (c.op == "tube" && c.v[1] == sides && (segments == 0 || c.v[0] == segments)) r.push_back(&c);
    return r;
  }
};
