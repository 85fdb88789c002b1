#pragma once
// A demo part: loads its assets once (`init`), then draws one frame per `render` call. The runtime
// only knows parts through this interface; parts are never destroyed through it.
struct render_context;
struct frame_state;

struct parts {
  // Draws one frame. `step` points at the frame step in seconds; `state` is this frame's record.
  // Neither pointer may be kept beyond the call (a part may store `state` in the render context).
  virtual void render(double* step, render_context* context, frame_state* state) = 0;
  // Loads and prepares; called once, before the first `render`, with the GL context current.
  virtual void init(render_context* context) = 0;
};

// Creates the show part (defined by the show library).
parts* create_show_part();
