#include "runtime/demo_init.h"

#include <GL/glew.h>

#include <cstdio>
#include <memory>
#include <string>

#include "engine/render_context.h"
#include "fsound/fsound.h"
#include "runtime/demo_state.h"
#include "runtime/frame_clock.h"
#include "runtime/frame_state.h"
#include "runtime/part_loader.h"
#include "runtime/parts.h"
#include "runtime/platform.h"

namespace {

// The loading frame's record; kept for the whole run.
std::unique_ptr<frame_state> loading_frame_state;

// A failed start: the line on standard error, then the box. The caller ends the program.
bool fail(const start_failure& failure) {
  std::fprintf(stderr, "%s\n", failure.log_line.c_str());
  std::fflush(stderr);
  platform.message_box(failure.text.c_str(), failure.caption.c_str(), message_box_kind::ok_information);
  return false;
}

// The sound library's failures: the reason, and the fixed message of its box.
bool fail_sound(const char* text, const std::string& reason) {
  return fail({"vorteline: " + reason, text, "Vorteline"});
}

}  // namespace

bool demo_init() {
  render_context& context = global_render_context;
  glewExperimental = GL_TRUE;
  glewInit();

  // Both targets single-sampled, the second at half size.
  context.create_target(0, demo.render_width, demo.render_height, 0);
  context.create_target(1, demo.render_width / 2, demo.render_height / 2, 0);
  // Creating targets leaves one bound; the loading part's attribute push must see the window's.
  context.unbind_target();
  demo.clipboard_text.clear();
  set_linear_filter();
  // Every image loaded from here on is decoded and uploaded uncompressed.
  context.placeholder_images = false;
  context.compressed_upload = false;

  // Loading screen.
  loading_frame_state = std::make_unique<frame_state>();
  context.current_frame = loading_frame_state.get();
  demo.loader_part = new part_loader();
  demo.loader_part->init(&context);
  double no_step = 0.0;
  demo.loader_part->render(&no_step, &context, loading_frame_state.get());
  platform.swap_buffers();

  // The show, loaded behind the black screen.
  demo.show_part = create_show_part();
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  platform.swap_buffers();
  if (auto failure = demo.show_part->init(&context)) return fail(*failure);
  // The show's set-up attaches textures to targets; its first frame starts on the window, as
  // every later one does.
  context.unbind_target();

  // Soundtrack, looping, with the spectrum on; it must play on channel 0, read from then on.
  if (!FSOUND_Init(music_rate, 32, FSOUND_INIT_GLOBALFOCUS)) {
    return fail_sound("Problem initializing FMod. \nProgram will now exit.", fsound_error_text());
  }
  demo.music_sample = FSOUND_Sample_Load(FSOUND_FREE, soundtrack_path, FSOUND_NORMAL, 0, 0);
  if (!demo.music_sample) {
    const std::string reason = std::string(soundtrack_path) + ": " + fsound_error_text();
    // The output opened: it is closed before the program unwinds to its exit, so that its device
    // thread does not run on while the process ends.
    FSOUND_Close();
    return fail_sound("Problem initializing FMod. \nNo sound file.", reason);
  }
  FSOUND_Sample_SetMode(demo.music_sample, FSOUND_LOOP_NORMAL);
  FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), 1);
  FSOUND_PlaySound(FSOUND_FREE, demo.music_sample);
  FSOUND_SetCurrentPosition(0, 0);
  const int rate = FSOUND_GetFrequency(0);
  const double music_seconds =
      rate > 0 ? static_cast<double>(FSOUND_Sample_GetLength(demo.music_sample)) / rate : 0.0;
  if (music_seconds < show_end) {
    std::fprintf(stderr, "vorteline: %s lasts %.1f s, less than the show's %.0f s: it plays on in a loop\n",
                 soundtrack_path, music_seconds, show_end);
  }

  start_frame_clock();
  frame_state& state = global_frame_state;
  state.point_x = 0.0;
  state.point_y = 0.0;
  state.point_z = 0.0;
  state.updown = 0.0;
  state.requests.fill(false);
  return true;
}
