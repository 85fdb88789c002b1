#pragma once
// The show part: loads every asset of the show once (init) and draws one frame of the show per
// render call: clocks and camera, the scene into render target 0, then the screen-space passes.
#include "assets/obj_mesh.h"
#include "engine/shader_library.h"
#include "engine/spline_track.h"
#include "runtime/frame_state.h"
#include "runtime/parts.h"

struct part_start : parts {
  void render(double* step, render_context* context, frame_state* state) override;
  std::optional<start_failure> init(render_context* context) override;

  // Clock and counters.
  double ttime = 0.0;   // show time as the scenes see it (after the warp)
  double fttime = 0.0;  // running time: the accumulated steps, never below -2
  int frame_count = 0;
  double last_step = 0.0;
  double PositionY = 0.0;  // camera travel along world Y
  double dsp_gain = 0.0;   // envelope of the music spectrum
  int dsp_band = 1;

  // This frame's copy of the runtime's record; handed back at the end of render.
  frame_state state_copy{};
  float last_track_x = 0.0f;
  float last_track_y = 0.0f;

  spline_track key_track;

  // Programs of the show's library, by slot.
  shader_library programs;
  int prog_material = 1;
  int prog_combine = 3;
  int prog_blurpass = 4;
  int prog_velocities = 5;
  int prog_highlights = 6;
  int prog_godrays = 7;
  int prog_spare = 10;
  int prog_simpleblur = 13;

  // Texture indices in the render context's table; the noise image sits at tex_base + 10 and the
  // blob image at tex_base + 12.
  int tex_base = 0;
  int tex_color = 0;
  int tex_normals = 11;
  int tex_velocity = 32;
  int tex_half = 28;
  int tex_depth = 26;
  int tex_depth2 = 29;
  int tex_random = 27;

  obj_mesh mesh_escher;
  obj_mesh mesh_eschers;
  obj_mesh mesh_transf;
  obj_mesh mesh_wings;
  obj_mesh mesh_credits;
};

// Steps of render that come before any drawing: the state copy, the key track, the clocks, the
// warp and the camera. Needs no GL; writes the render context's main camera.
void begin_show_frame(part_start& part, double step, render_context& context, const frame_state& state);
// The last step of render: undo the warp, hand the record back with the running time in it.
void end_show_frame(part_start& part, frame_state& state);
