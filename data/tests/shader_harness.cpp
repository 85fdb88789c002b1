#include "data/tests/shader_harness.h"

#include <fstream>
#include <sstream>

namespace shader_test {

namespace {

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool compile(GLuint program, GLenum type, const std::string& path, std::string& log) {
  std::string text = read_file(path);
  if (text.empty()) {
    log += path + ": missing or empty\n";
    return false;
  }
  GLuint shader = glCreateShader(type);
  const char* source = text.c_str();
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint status = 0, length = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
  glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
  if (length > 1) {
    std::string text_log(length, '\0');
    glGetShaderInfoLog(shader, length, nullptr, text_log.data());
    log += path + ": " + text_log.c_str();
  }
  glAttachShader(program, shader);
  return status == GL_TRUE;
}

}  // namespace

compiled build_program(const std::string& vertex_path, const std::string& fragment_path) {
  compiled c;
  c.program = glCreateProgram();
  bool ok = compile(c.program, GL_FRAGMENT_SHADER, fragment_path, c.log);
  if (!vertex_path.empty()) ok = compile(c.program, GL_VERTEX_SHADER, vertex_path, c.log) && ok;
  glLinkProgram(c.program);
  GLint status = 0, length = 0;
  glGetProgramiv(c.program, GL_LINK_STATUS, &status);
  glGetProgramiv(c.program, GL_INFO_LOG_LENGTH, &length);
  if (length > 1) {
    std::string text_log(length, '\0');
    glGetProgramInfoLog(c.program, length, nullptr, text_log.data());
    c.log += std::string("link: ") + text_log.c_str();
  }
  c.ok = ok && status == GL_TRUE;
  return c;
}

std::map<std::string, GLenum> active_uniforms(GLuint program) {
  std::map<std::string, GLenum> result;
  GLint count = 0;
  glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
  for (GLint i = 0; i < count; ++i) {
    char name[256];
    GLint size = 0;
    GLenum type = 0;
    glGetActiveUniform(program, i, sizeof name, nullptr, &size, &type, name);
    result[name] = type;
  }
  return result;
}

GLuint float_texture(int w, int h, const std::vector<float>& rgba) {
  GLuint t = 0;
  glGenTextures(1, &t);
  glBindTexture(GL_TEXTURE_2D, t);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_FLOAT, rgba.data());
  return t;
}

GLuint depth_texture(int w, int h, const std::vector<float>& depth) {
  GLuint t = 0;
  glGenTextures(1, &t);
  glBindTexture(GL_TEXTURE_2D, t);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE, GL_LUMINANCE);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, w, h, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
  return t;
}

target make_target(int w, int h, int outputs) {
  target t;
  t.w = w;
  t.h = h;
  glGenFramebuffers(1, &t.fbo);
  glBindFramebuffer(GL_FRAMEBUFFER, t.fbo);
  std::vector<GLenum> buffers;
  for (int i = 0; i < outputs; ++i) {
    GLuint rb = 0;
    glGenRenderbuffers(1, &rb);
    glBindRenderbuffer(GL_RENDERBUFFER, rb);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, GL_RENDERBUFFER, rb);
    t.colour.push_back(rb);
    buffers.push_back(GL_COLOR_ATTACHMENT0 + i);
  }
  glGenRenderbuffers(1, &t.depth);
  glBindRenderbuffer(GL_RENDERBUFFER, t.depth);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, w, h);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, t.depth);
  glDrawBuffers(static_cast<GLsizei>(buffers.size()), buffers.data());
  glViewport(0, 0, w, h);
  return t;
}

std::vector<float> read_target(const target& t, int index) {
  std::vector<float> pixels(static_cast<size_t>(t.w) * t.h * 4);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, t.fbo);
  glReadBuffer(GL_COLOR_ATTACHMENT0 + index);
  glReadPixels(0, 0, t.w, t.h, GL_RGBA, GL_FLOAT, pixels.data());
  return pixels;
}

void full_screen_quad() {
  for (GLenum mode : {GL_PROJECTION, GL_MODELVIEW, GL_TEXTURE}) {
    glMatrixMode(mode);
    glLoadIdentity();
  }
  glMatrixMode(GL_MODELVIEW);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(-1, -1);
  glTexCoord2f(1, 0);
  glVertex2f(1, -1);
  glTexCoord2f(1, 1);
  glVertex2f(1, 1);
  glTexCoord2f(0, 1);
  glVertex2f(-1, 1);
  glEnd();
}

}  // namespace shader_test
