// Author mode on SDL: the show window opened at once with the given size, the show from the given
// time, the authoring keys and the status line, until the show ends or the window closes.
#include "shell/sdl/author_main.h"

#include <SDL.h>

#include <cstdio>
#include <string>

#include "author/author_overlay.h"
#include "author/author_session.h"
#include "capture/offline_options.h"
#include "capture/offline_window.h"
#include "engine/shader_library.h"
#include "runtime/demo_frame.h"
#include "runtime/demo_state.h"
#include "runtime/platform.h"
#include "shell/main_loop.h"
#include "shell/sdl/backend.h"
#include "shell/texts.h"

namespace {

bool author_frame() {
  author_before_frame(author);
  if (!demo_frame()) return false;
  const std::string line = author.controls.status_shown ? author_status_text(author) : "";
  draw_author_overlay(author.controls.status_shown ? line.c_str() : nullptr,
                      author.shader_error.empty() ? nullptr : author.shader_error.c_str(), demo.screen_width,
                      demo.screen_height);
  return true;
}

void author_key(int vk, bool shift) { author_key_down(author, vk, shift); }

}  // namespace

int run_author_mode(int argc, char** argv) {
  author_options options;
  std::string error;
  if (!parse_author_options(argc, argv, options, error)) {
    std::fprintf(stderr, "vorteline: %s\n%s", error.c_str(), program_usage().c_str());
    return 2;
  }
  const std::string folder = choose_shader_folder(options.data, program_folder(), VORTELINE_BUILD_BIN_DIR,
                                                  VORTELINE_SOURCE_DATA_DIR);
  if (!holds_shaders(folder, error)) {
    std::fprintf(stderr, "vorteline: --data %s\n", error.c_str());
    return 2;
  }
  shader_source_folder = folder;
  std::printf("author: shaders from %s\n", shown_folder(folder).c_str());
  std::fflush(stdout);

  install_platform();
  set_offline_display(options.width, options.height);
  if (!create_gl_window(texts::window_title, demo.screen_width, demo.screen_height, 32, options.fullscreen)) {
    SDL_Quit();
    return 1;
  }
  start_author_session(author, options.from);
  if (!open_author_overlay()) std::fputs("author: the status line cannot be drawn\n", stderr);
  idle_turn_hooks hooks{author_frame, [] { platform.swap_buffers(); }};
  hooks.key_down = author_key;
  const int exit_code = run_main_loop(hooks);
  // The show's end has already taken the window and its GL context; a closed window has not.
  if (demo.show_part) close_author_overlay();
  kill_gl_window();
  SDL_Quit();
  return exit_code;
}
