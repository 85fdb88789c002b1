// The offline modes' hidden window, through the windowing backend's contract.
#include "capture/offline_window.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "runtime/demo_state.h"
#include "runtime/gl_scene.h"
#include "runtime/platform.h"

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
  std::string error;
  if (!open_hidden_gl_window(demo.screen_width, demo.screen_height, error)) {
    std::fprintf(stderr, "offline: %s\n", error.c_str());
    return false;
  }
  platform.kill_gl_window = kill_gl_window;
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

bool start_offline_show() {
  resize_gl_scene(demo.screen_width, demo.screen_height);
  return init_gl();
}

void close_offline_window() { kill_gl_window(); }
