// show_frames OUT_DIR WIDTH HEIGHT TIME...: renders the show part at the given show times
// (seconds of running time, ascending) into a hidden window of WIDTH x HEIGHT and writes each
// final picture as OUT_DIR/frame_TTT.T.ppm. The clock jumps straight to each time; the music's
// spectrum is silent. Needs a display (Xvfb).
#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/render_context.h"
#include "runtime/frame_state.h"
#include "runtime/parts.h"
#include "shell/demo_state.h"
#include "tests/support/gl_test_context.h"

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: show_frames OUT_DIR WIDTH HEIGHT TIME...\n");
    return 2;
  }
  const std::string out_dir = argv[1];
  const int width = std::atoi(argv[2]), height = std::atoi(argv[3]);
  test_gl::ensure_context(width, height);

  demo.screen_width = demo.render_width = width;
  demo.screen_height = demo.render_height = height;
  render_context& context = global_render_context;
  context.create_target(0, width, height, 0);
  context.create_target(1, width / 2, height / 2, 0);
  set_linear_filter();
  context.compressed_upload = false;
  // The window's GL defaults, as the program sets them before the show starts.
  glShadeModel(GL_SMOOTH);
  glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  parts* show = create_show_part();
  show->init(&context);

  frame_state state;
  double now = 0.0;
  for (int i = 4; i < argc; ++i) {
    double target = std::atof(argv[i]);
    double step = target - now;
    now = target;
    show->render(&step, &context, &state);
    glFinish();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    std::vector<uint8_t> px = test_gl::read_rgba(0, 0, width, height);
    char name[64];
    std::snprintf(name, sizeof name, "/frame_%05.1f.ppm", target);
    std::FILE* f = std::fopen((out_dir + name).c_str(), "wb");
    if (!f) {
      std::fprintf(stderr, "show_frames: cannot write into %s\n", out_dir.c_str());
      return 1;
    }
    std::fprintf(f, "P6\n%d %d\n255\n", width, height);
    for (int y = height - 1; y >= 0; --y) {
      for (int x = 0; x < width; ++x) std::fwrite(&px[4 * (static_cast<size_t>(y) * width + x)], 1, 3, f);
    }
    std::fclose(f);
    std::printf("%s\n", name + 1);
  }
  return 0;
}
