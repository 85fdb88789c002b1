#include "tests/support/gl_test_context.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

namespace test_gl {

namespace {
SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
}  // namespace

void ensure_context(int width, int height) {
  if (context) {
    SDL_GL_MakeCurrent(window, context);
    return;
  }
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "test_gl: SDL_Init failed: %s\n", SDL_GetError());
    std::exit(2);
  }
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  window = SDL_CreateWindow("test", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!window) {
    std::fprintf(stderr, "test_gl: no window: %s\n", SDL_GetError());
    std::exit(2);
  }
  context = SDL_GL_CreateContext(window);
  if (!context) {
    std::fprintf(stderr, "test_gl: no GL context: %s\n", SDL_GetError());
    std::exit(2);
  }
  glewExperimental = GL_TRUE;
  if (glewInit() != GLEW_OK) {
    std::fprintf(stderr, "test_gl: glewInit failed\n");
    std::exit(2);
  }
  drain_errors();
}

std::vector<uint8_t> read_rgba(int x, int y, int width, int height) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

GLenum drain_errors() {
  GLenum first = GL_NO_ERROR;
  for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError()) {
    if (first == GL_NO_ERROR) first = e;
  }
  return first;
}

}  // namespace test_gl
