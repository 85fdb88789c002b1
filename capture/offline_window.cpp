#include "capture/offline_window.h"

#include <GL/glew.h>
#include <SDL.h>

#include <algorithm>
#include <cstdio>

#include "engine/render_context.h"
#include "runtime/demo_state.h"
#include "shell/gl_window.h"
#include "runtime/platform.h"
#include "shell/sdl/sdl_window.h"

void (*offline_present_observer)() = nullptr;

namespace {

// Offline nothing is shown: a present only lets the observer look at the back buffer.
void present() {
  if (offline_present_observer) offline_present_observer();
}

}  // namespace

void set_offline_display(int width, int height) {
  demo.screen_width = width;
  demo.screen_height = height;
  demo.render_width = width;
  demo.render_height = static_cast<int>(static_cast<float>(width / 1.7777777777777777));
  demo.fullscreen = false;
  demo.antialiasing = true;
  demo.force_16_9 = true;
}

bool open_offline_window() {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "offline: no video: %s\n", SDL_GetError());
    return false;
  }
  set_show_pixel_format();
  SDL_Window* window = SDL_CreateWindow("Vorteline (offline)", 0, 0, demo.screen_width, demo.screen_height,
                                        SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!window) {
    std::fprintf(stderr, "offline: no window: %s\n", SDL_GetError());
    close_offline_window();
    return false;
  }
  demo.hwnd = window;
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) {
    std::fprintf(stderr, "offline: no GL context: %s\n", SDL_GetError());
    close_offline_window();
    return false;
  }
  demo.hrc = context;
  SDL_GL_MakeCurrent(window, context);
  glewExperimental = GL_TRUE;
  if (glewInit() != GLEW_OK) {
    std::fprintf(stderr, "offline: the GL extension loader failed\n");
    close_offline_window();
    return false;
  }
  platform.kill_gl_window = close_offline_window;
  platform.swap_buffers = present;
  return true;
}

int offline_gl_size_limit() {
  GLint texture = 0, renderbuffer = 0, viewport[2] = {0, 0};
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE_EXT, &renderbuffer);
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
  return std::min({texture, renderbuffer, viewport[0], viewport[1]});
}

void start_offline_show() {
  resize_gl_scene(demo.screen_width, demo.screen_height);
  init_gl();
  global_render_context.device_context = demo.hwnd;
}

void close_offline_window() {
  if (demo.hrc) {
    SDL_GL_MakeCurrent(static_cast<SDL_Window*>(demo.hwnd), nullptr);
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(demo.hrc));
    demo.hrc = nullptr;
  }
  if (demo.hwnd) {
    SDL_DestroyWindow(static_cast<SDL_Window*>(demo.hwnd));
    demo.hwnd = nullptr;
  }
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
