#include "engine/shader_library.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstring>

std::unique_ptr<char[]> read_shader_source(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (!file) {
    std::printf("Cannot open shader source file.\n");
    std::fflush(stdout);
    return nullptr;
  }
  // Read to the end rather than trusting the length the file reports: a directory or a special
  // file opens but reports a length that is no byte count.
  std::string bytes;
  char chunk[16384];
  for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.append(chunk, got);
  std::fclose(file);
  std::unique_ptr<char[]> text(new char[bytes.size() + 1]);
  std::memcpy(text.get(), bytes.data(), bytes.size());
  text[bytes.size()] = '\0';
  return text;
}

namespace {

// Creates a shader of `type` into `slot_entry`, compiles `path` and prints the info log. A file
// that cannot be read compiles as an empty string.
void compile_shader(GLenum type, const char* path, uint32_t& slot_entry) {
  const std::unique_ptr<char[]> text = read_shader_source(path);
  slot_entry = glCreateShader(type);
  const GLchar* source = text ? text.get() : "";
  glShaderSource(slot_entry, 1, &source, nullptr);
  glCompileShader(slot_entry);
  char log[1000] = {};
  glGetShaderInfoLog(slot_entry, sizeof log, nullptr, log);
  std::printf("%s\n", log);
  std::fflush(stdout);
}

}  // namespace

void shader_library::load_vertex_shader(const char* path, int slot) {
  compile_shader(GL_VERTEX_SHADER, path, vertex_shaders[slot]);
}

void shader_library::load_fragment_shader(const char* path, int slot) {
  compile_shader(GL_FRAGMENT_SHADER, path, fragment_shaders[slot]);
}

void shader_library::load_program(const char* vertex_path, const char* fragment_path, int slot) {
  load_vertex_shader(vertex_path, slot);
  load_fragment_shader(fragment_path, slot);
  programs[slot] = glCreateProgram();
  glAttachShader(programs[slot], fragment_shaders[slot]);
  glAttachShader(programs[slot], vertex_shaders[slot]);
  glLinkProgram(programs[slot]);
}

void shader_library::load_fragment_program(const char* fragment_path, int slot) {
  load_fragment_shader(fragment_path, slot);
  programs[slot] = glCreateProgram();
  glAttachShader(programs[slot], fragment_shaders[slot]);
  glLinkProgram(programs[slot]);
  use_program(slot);
}

void shader_library::use_program(int slot) { glUseProgram(programs[slot]); }

void shader_library::use_fixed_function() { glUseProgram(0); }

void shader_library::set_uniform_1f(int slot, const std::string& name, float value) {
  glUniform1f(glGetUniformLocation(programs[slot], name.c_str()), value);
}

void shader_library::set_uniform_1i(int slot, const std::string& name, int value) {
  glUniform1i(glGetUniformLocation(programs[slot], name.c_str()), value);
}

void shader_library::bind_sampler(uint32_t target, int slot, int unit, const std::string& name,
                                  uint32_t texture) {
  const GLint location = glGetUniformLocation(programs[slot], name.c_str());
  glActiveTexture(GL_TEXTURE0 + unit);
  glBindTexture(target, texture);
  glUniform1i(location, unit);
}
