#pragma once
// A part's GLSL shaders and programs, kept in three tables addressed by one program slot. Errors
// are never fatal: compile and link logs go to standard output, each line naming its file, and
// drawing carries on. A program that did not link (a shader missing or broken) is never made
// current: its slot draws with the fixed function and its uniforms are not set, so it leaves no
// GL errors behind.
#include <cstdint>
#include <memory>
#include <string>

struct shader_library {
  static constexpr int slot_count = 10128;

  uint32_t fragment_shaders[slot_count] = {};
  uint32_t vertex_shaders[slot_count] = {};
  uint32_t programs[slot_count] = {};
  bool linked[slot_count] = {};

  // Vertex and fragment shader of the slot, linked into its program (not made current).
  void load_program(const char* vertex_path, const char* fragment_path, int slot);
  // A program of the slot's fragment shader only, linked and then made current.
  void load_fragment_program(const char* fragment_path, int slot);
  // Read, create, store in the slot, compile, and print the info log.
  void load_vertex_shader(const char* path, int slot);
  void load_fragment_shader(const char* path, int slot);

  // Builds the slot's program afresh from its files (no vertex shader when `vertex_path` is null)
  // and puts it in place of the old one. When a shader does not compile or the program does not
  // link, the old program stays and `error` gets one line naming the file and the first problem;
  // the whole log goes to standard output as at loading.
  bool reload_program(const char* vertex_path, const char* fragment_path, int slot, std::string& error);

  // The slot's program, or the fixed function when it did not link.
  void use_program(int slot);
  void use_fixed_function();

  // Uniforms are looked up by name in the slot's program but set on the current program, so the
  // slot passed must be the current one. A name the program does not declare is ignored.
  void set_uniform_1f(int slot, const std::string& name, float value);
  void set_uniform_1i(int slot, const std::string& name, int value);
  // Binds `texture` to `target` on unit GL_TEXTURE0 + unit and points the sampler at that unit;
  // the unit stays active.
  void bind_sampler(uint32_t target, int slot, int unit, const std::string& name, uint32_t texture);
};

// The folder shader paths are read from, with a '/' between: empty for the working directory.
// Author mode points it at the shader sources an author edits.
extern std::string shader_source_folder;
// `name` in `folder` (empty: the working directory), as the library opens it.
std::string shader_path_in(const std::string& folder, const std::string& name);

// The whole file plus a terminating zero byte, or null when it cannot be opened (after printing
// "Cannot open shader source file." on standard output and the file with the reason on standard
// error).
std::unique_ptr<char[]> read_shader_source(const char* path);
