// The show window on SDL: an OpenGL compatibility context (the engine draws with fixed-function
// GL), RGBA8 with alpha, 24-bit depth, no stencil, double buffered.
#include <GL/glew.h>
#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/render_context.h"
#include "runtime/demo_state.h"
#include "runtime/gl_scene.h"
#include "runtime/platform.h"
#include "shell/sdl/backend.h"
#include "shell/texts.h"

sdl_backend_state sdl_backend;

namespace {

void report(const char* text) {
  platform.message_box(text, texts::error_caption, message_box_kind::ok_exclamation);
}

// A failed creation: SDL's reason on standard error, then the teardown and the fixed message.
bool fail(const char* text) {
  std::fprintf(stderr, "vorteline: cannot open the show window: %s\n", SDL_GetError());
  kill_gl_window();
  report(text);
  return false;
}

// True when the primary display offers exactly width x height.
bool display_offers(int width, int height) {
  const int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode mode;
    if (SDL_GetDisplayMode(0, i, &mode) == 0 && mode.w == width && mode.h == height) return true;
  }
  return false;
}

// The context must be double buffered with a depth buffer; anything less is a format we cannot use.
bool pixel_format_usable() {
  int double_buffer = 0, depth = 0;
  SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &double_buffer);
  SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depth);
  return double_buffer == 1 && depth >= 16;
}

}  // namespace

bool video_shows_nothing() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0)) return false;
  SDL_SetError("no display: SDL's video driver is \"%s\"", driver);
  return true;
}

bool set_show_pixel_format() {
  bool ok = SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY) == 0;
  ok = ok && SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8) == 0;
  ok = ok && SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8) == 0;
  ok = ok && SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8) == 0;
  ok = ok && SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8) == 0;
  ok = ok && SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24) == 0;
  ok = ok && SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0) == 0;
  ok = ok && SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, 0) == 0;
  ok = ok && SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1) == 0;
  return ok;
}

bool create_gl_window(const char* title, int width, int height, int bits, bool fullscreen) {
  (void)bits;  // SDL keeps the display's colour depth; the frame buffer is RGBA8 either way.
  demo.fullscreen = fullscreen;

  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "vorteline: cannot open the show window: no video: %s\n", SDL_GetError());
    report(texts::register_class_failed);
    return false;
  }
  sdl_backend.video_started = true;
  if (video_shows_nothing()) {
    std::fprintf(stderr, "vorteline: cannot open the show window: %s\n", SDL_GetError());
    kill_gl_window();
    report(texts::register_class_failed);
    return false;
  }

  if (demo.fullscreen && !display_offers(width, height)) {
    const message_box_answer answer = platform.message_box(
        texts::fullscreen_unsupported, texts::fullscreen_caption, message_box_kind::yes_no_exclamation);
    if (answer != message_box_answer::yes) {
      std::fprintf(stderr, "vorteline: the display offers no %d x %d mode, and no window was wanted\n", width,
                   height);
      platform.message_box(texts::program_will_close, texts::error_caption, message_box_kind::ok_stop);
      kill_gl_window();
      return false;
    }
    demo.fullscreen = false;
  }

  if (!set_show_pixel_format()) return fail(texts::pixel_format_not_found);

  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
  int x = 50, y = 50;
  if (demo.fullscreen) {
    flags |= SDL_WINDOW_FULLSCREEN;
    x = y = 0;
  }
  SDL_Window* window = SDL_CreateWindow(title, x, y, width, height, flags);
  if (!window) return fail(texts::window_creation_error);
  sdl_backend.window = window;
  if (demo.fullscreen) {
    SDL_DisplayMode mode{};
    mode.w = width;
    mode.h = height;
    SDL_SetWindowDisplayMode(window, &mode);
    SDL_ShowCursor(SDL_DISABLE);
  }

  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) return fail(texts::rendering_context_failed);
  sdl_backend.context = context;
  if (SDL_GL_MakeCurrent(window, context) != 0) return fail(texts::rendering_context_not_activated);
  if (!pixel_format_usable()) {
    SDL_SetError("the context is not double buffered with a depth buffer");
    return fail(texts::pixel_format_not_set);
  }
  glewExperimental = GL_TRUE;
  if (glewInit() != GLEW_OK) {
    SDL_SetError("the GL extension loader failed");
    return fail(texts::rendering_context_not_activated);
  }

  SDL_DisableScreenSaver();
  SDL_RaiseWindow(window);
  SDL_SetWindowInputFocus(window);

  resize_gl_scene(width, height);
  // SDL has no device context: the window, which is what gets presented, stands in for it.
  global_render_context.device_context = window;
  if (!init_gl()) {
    kill_gl_window();
    return false;
  }
  return true;
}

bool open_hidden_gl_window(int width, int height, std::string& error) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    error = std::string("no video: ") + SDL_GetError();
    return false;
  }
  sdl_backend.video_started = true;
  set_show_pixel_format();
  sdl_backend.window =
      SDL_CreateWindow("Vorteline (offline)", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!sdl_backend.window) {
    error = std::string("no window: ") + SDL_GetError();
    kill_gl_window();
    return false;
  }
  sdl_backend.context = SDL_GL_CreateContext(sdl_backend.window);
  if (!sdl_backend.context) {
    error = std::string("no GL context: ") + SDL_GetError();
    kill_gl_window();
    return false;
  }
  SDL_GL_MakeCurrent(sdl_backend.window, sdl_backend.context);
  glewExperimental = GL_TRUE;
  if (glewInit() != GLEW_OK) {
    error = "the GL extension loader failed";
    kill_gl_window();
    return false;
  }
  global_render_context.device_context = sdl_backend.window;
  return true;
}

void kill_gl_window() {
  SDL_Window* window = sdl_backend.window;
  if (demo.fullscreen) {
    if (window) SDL_SetWindowFullscreen(window, 0);
    SDL_ShowCursor(SDL_ENABLE);
  }
  if (sdl_backend.context) {
    if (window && SDL_GL_MakeCurrent(window, nullptr) != 0) {
      platform.message_box(texts::release_dc_rc_failed, texts::shutdown_caption,
                           message_box_kind::ok_information);
    }
    SDL_GL_DeleteContext(sdl_backend.context);
    sdl_backend.context = nullptr;
  }
  if (window) {
    SDL_DestroyWindow(window);
    sdl_backend.window = nullptr;
  }
  if (sdl_backend.video_started) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    sdl_backend.video_started = false;
  }
}
