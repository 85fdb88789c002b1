#pragma once
// A demo part: loads its assets once (`init`), then draws one frame per `render` call. The runtime
// only knows parts through this interface; parts are never destroyed through it.
#include <optional>
#include <string>

struct render_context;
struct frame_state;

// A start-up that cannot go on, and what the viewer is told before the program ends with exit
// code 1: a line on standard error, then an information box.
struct start_failure {
  std::string log_line;
  std::string text;
  std::string caption;
};

struct parts {
  // Draws one frame. `step` points at the frame step in seconds; `state` is this frame's record.
  // Neither pointer may be kept beyond the call (a part may store `state` in the render context).
  virtual void render(double* step, render_context* context, frame_state* state) = 0;
  // Loads and prepares; called once, before the first `render`, with the GL context current. A
  // failure it cannot go on from is returned; nothing of the part may be drawn then.
  virtual std::optional<start_failure> init(render_context* context) = 0;
};

// Creates the show part (defined by the show library).
parts* create_show_part();
