#pragma once
// Test helpers for the show's shader sources: compile and link them on the GL driver, list their
// active uniforms, and run full-screen passes into a small framebuffer.
#include <GL/glew.h>

#include <map>
#include <string>
#include <vector>

namespace shader_test {

struct compiled {
  GLuint program = 0;
  bool ok = false;  // every stage compiled and the program linked
  std::string log;  // compile and link logs of every stage, concatenated
};

// Builds a program from sources read from the working directory (bin/); an empty vertex path
// keeps the fixed-function vertex stage, as the show's fragment-only programs do.
compiled build_program(const std::string& vertex_path, const std::string& fragment_path);

// Active uniforms of a linked program: name to GL type.
std::map<std::string, GLenum> active_uniforms(GLuint program);

// RGBA float texture of size w x h from pixels (4 floats each, bottom row first).
GLuint float_texture(int w, int h, const std::vector<float>& rgba);
// Depth texture of size w x h from window-space depths (bottom row first).
GLuint depth_texture(int w, int h, const std::vector<float>& depth);

// An RGBA8 framebuffer of w x h with `outputs` colour attachments and a depth buffer.
struct target {
  GLuint fbo = 0, depth = 0;
  std::vector<GLuint> colour;
  int w = 0, h = 0;
};
target make_target(int w, int h, int outputs);
// Reads attachment `index` of the target as floats in 0..1, bottom row first, 4 per pixel.
std::vector<float> read_target(const target& t, int index);

// Draws a quad over the whole viewport with texture coordinates 0..1 and identity matrices.
void full_screen_quad();

}  // namespace shader_test
