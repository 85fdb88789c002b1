#include "engine/shader_library.h"

#include <GL/glew.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

std::string shader_source_folder;

std::string shader_path_in(const std::string& folder, const std::string& name) {
  return folder.empty() ? name : folder + "/" + name;
}

std::unique_ptr<char[]> read_shader_source(const char* name) {
  const std::string full = shader_path_in(shader_source_folder, name);
  const char* path = full.c_str();
  std::FILE* file = std::fopen(path, "rb");
  if (!file) {
    const int error = errno;
    std::printf("Cannot open shader source file.\n");
    std::fflush(stdout);
    std::fprintf(stderr, "%s: cannot open shader source file: %s\n", path, std::strerror(error));
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

// The source line a log line refers to, in the drivers' usual spellings: "0:12(5): error: ..."
// (Mesa), "0(12) : error C1008: ..." (NVIDIA), "ERROR: 0:12: ..." (AMD, Intel); 0 when none.
long source_line(std::string_view line) {
  for (std::string_view prefix : {"ERROR: ", "WARNING: "})
    if (line.substr(0, prefix.size()) == prefix) line.remove_prefix(prefix.size());
  size_t i = 0;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
  if (i == 0 || i == line.size() || (line[i] != ':' && line[i] != '(')) return 0;
  const char close = line[i] == '(' ? ')' : 0;
  long number = 0;
  size_t digits = 0;
  for (++i; i < line.size() && line[i] >= '0' && line[i] <= '9' && digits < 9; ++i, ++digits)
    number = number * 10 + (line[i] - '0');
  if (digits == 0 || i == line.size()) return 0;
  if (close ? line[i] != close : line[i] != ':' && line[i] != '(') return 0;
  return number;
}

// Prints a compile or link log to standard output with every line naming `what` (and the source
// line where the log gives one). An empty log prints an empty line, as every compile prints its log.
void print_log(const std::string& what, const char* log) {
  std::string_view text(log);
  if (text.empty()) std::printf("\n");
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty()) continue;
    const long number = source_line(line);
    if (number > 0)
      std::printf("%s:%ld: %.*s\n", what.c_str(), number, int(line.size()), line.data());
    else
      std::printf("%s: %.*s\n", what.c_str(), int(line.size()), line.data());
  }
  std::fflush(stdout);
}

constexpr int log_size = 1000;

// Creates a shader of `type` from `source`, compiles it and prints its info log naming `shown`;
// the log stays in `log`.
uint32_t compile_source(GLenum type, const GLchar* source, const std::string& shown, char (&log)[log_size]) {
  const uint32_t shader = glCreateShader(type);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  glGetShaderInfoLog(shader, log_size, nullptr, log);
  print_log(shown, log);
  return shader;
}

// Creates a shader of `type` into `slot_entry`, compiles `path` and prints the info log. A file
// that cannot be read compiles as an empty string.
void compile_shader(GLenum type, const char* path, uint32_t& slot_entry) {
  const std::unique_ptr<char[]> text = read_shader_source(path);
  char log[log_size] = {};
  slot_entry = compile_source(type, text ? text.get() : "", path, log);
}

// Links the slot's program; true when it linked. A failed link prints its log naming the files.
bool link(uint32_t program, const std::string& files) {
  glLinkProgram(program);
  GLint status = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &status);
  if (status == GL_TRUE) return true;
  char log[log_size] = {};
  glGetProgramInfoLog(program, sizeof log, nullptr, log);
  print_log(files + ": link failed", log[0] ? log : "no log");
  return false;
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
  linked[slot] = link(programs[slot], std::string(vertex_path) + " + " + fragment_path);
}

void shader_library::load_fragment_program(const char* fragment_path, int slot) {
  load_fragment_shader(fragment_path, slot);
  programs[slot] = glCreateProgram();
  glAttachShader(programs[slot], fragment_shaders[slot]);
  linked[slot] = link(programs[slot], fragment_path);
  use_program(slot);
}

namespace {

// The first line of a log, for a one-line report.
std::string first_line(const char* log) {
  std::string_view text(log);
  while (!text.empty() && (text.front() == '\n' || text.front() == ' ')) text.remove_prefix(1);
  return std::string(text.substr(0, text.find('\n')));
}

// Compiles a fresh shader; 0 with `error` set when the file cannot be read or does not compile.
uint32_t compile_fresh(GLenum type, const char* name, std::string& error) {
  const std::unique_ptr<char[]> text = read_shader_source(name);
  const std::string path = shader_path_in(shader_source_folder, name);
  if (!text) {
    error = path + ": cannot open shader source file";
    return 0;
  }
  char log[log_size] = {};
  const uint32_t shader = compile_source(type, text.get(), path, log);
  GLint status = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
  if (status == GL_TRUE) return shader;
  error = path + ": " + (log[0] ? first_line(log) : "does not compile");
  glDeleteShader(shader);
  return 0;
}

}  // namespace

bool shader_library::reload_program(const char* vertex_path, const char* fragment_path, int slot,
                                    std::string& error) {
  const uint32_t fragment = compile_fresh(GL_FRAGMENT_SHADER, fragment_path, error);
  if (!fragment) return false;
  uint32_t vertex = 0;
  if (vertex_path && !(vertex = compile_fresh(GL_VERTEX_SHADER, vertex_path, error))) {
    glDeleteShader(fragment);
    return false;
  }
  const uint32_t program = glCreateProgram();
  glAttachShader(program, fragment);
  if (vertex) glAttachShader(program, vertex);
  const std::string files = vertex_path ? std::string(vertex_path) + " + " + fragment_path : fragment_path;
  if (!link(program, files)) {
    char log[log_size] = {};
    glGetProgramInfoLog(program, sizeof log, nullptr, log);
    error = files + ": link failed" + (log[0] ? ": " + first_line(log) : "");
    glDeleteProgram(program);
    glDeleteShader(fragment);
    if (vertex) glDeleteShader(vertex);
    return false;
  }
  // The old objects go; a program still current stays usable until another one is made current.
  if (programs[slot]) glDeleteProgram(programs[slot]);
  if (fragment_shaders[slot]) glDeleteShader(fragment_shaders[slot]);
  if (vertex_shaders[slot]) glDeleteShader(vertex_shaders[slot]);
  programs[slot] = program;
  fragment_shaders[slot] = fragment;
  vertex_shaders[slot] = vertex;
  linked[slot] = true;
  return true;
}

void shader_library::use_program(int slot) { glUseProgram(linked[slot] ? programs[slot] : 0); }

void shader_library::use_fixed_function() { glUseProgram(0); }

void shader_library::set_uniform_1f(int slot, const std::string& name, float value) {
  if (linked[slot]) glUniform1f(glGetUniformLocation(programs[slot], name.c_str()), value);
}

void shader_library::set_uniform_1i(int slot, const std::string& name, int value) {
  if (linked[slot]) glUniform1i(glGetUniformLocation(programs[slot], name.c_str()), value);
}

void shader_library::bind_sampler(uint32_t target, int slot, int unit, const std::string& name,
                                  uint32_t texture) {
  glActiveTexture(GL_TEXTURE0 + unit);
  glBindTexture(target, texture);
  if (linked[slot]) glUniform1i(glGetUniformLocation(programs[slot], name.c_str()), unit);
}
