#pragma once
// The show part: loads every asset of the show once (init) and draws one frame of the show per
// render call: clocks and camera, the scene into render target 0, then the screen-space passes.
#include "assets/obj_mesh.h"
#include "engine/shader_library.h"
#include "engine/spline_track.h"
#include "runtime/frame_state.h"
#include "runtime/parts.h"
#include "show/slots.h"

struct part_start : parts {
  // init is declared first: as the first virtual defined out of line it puts the class's vtable in
  // part_start_init.cpp, beside create_show_part, so that the set-up and the frame's file
  // depend on each other one way only (the vtable names render).
  std::optional<start_failure> init(render_context* context) override;
  void render(double* step, render_context* context, frame_state* state) override;

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

  // Programs of the show's library, by slot (show/slots.h).
  shader_library programs;
  int prog_material = slots::prog_material;
  int prog_combine = slots::prog_combine;
  int prog_blurpass = slots::prog_blurpass;
  int prog_velocities = slots::prog_velocities;
  int prog_highlights = slots::prog_highlights;
  int prog_godrays = slots::prog_godrays;
  int prog_spare = slots::prog_spare;
  int prog_simpleblur = slots::prog_simpleblur;

  // Texture indices in the render context's table: tex_base plus the offsets of show/slots.h.
  int tex_base = 0;
  int tex_color = slots::tex_color;
  int tex_normals = slots::tex_normals;
  int tex_velocity = slots::tex_velocity;
  int tex_half = slots::tex_half;
  int tex_depth = slots::tex_depth;
  int tex_depth2 = slots::tex_depth2;
  int tex_random = slots::tex_random;

  obj_mesh mesh_escher;
  obj_mesh mesh_eschers;
  obj_mesh mesh_transf;
  obj_mesh mesh_wings;
  obj_mesh mesh_credits;
};

// The files of the show's programs, in loading order: a vertex shader (null for a program of a
// fragment shader only) and a fragment shader, and the program's slot.
struct program_files {
  const char* vertex;
  const char* fragment;
  int slot;
};
inline constexpr program_files show_program_files[] = {
    {"Materials//v_material1.cpp", "Materials//f_material1.cpp", slots::prog_material},
    {nullptr, "PostProcessing//f_combineSSAO.cpp", slots::prog_combine},
    {nullptr, "PostProcessing//f_blurpass.cpp", slots::prog_blurpass},
    {nullptr, "PostProcessing//f_simpleblur.cpp", slots::prog_simpleblur},
    {nullptr, "PostProcessing//f_blurhighlights.cpp", slots::prog_highlights},
    {nullptr, "PostProcessing//f_godrays.cpp", slots::prog_godrays},
    {"PostProcessing//v_velocities.cpp", "PostProcessing//f_velocities.cpp", slots::prog_velocities},
};

// Steps of render that come before any drawing: the state copy, the key track, the clocks, the
// warp and the camera. Needs no GL; writes the render context's main camera.
void begin_show_frame(part_start& part, double step, render_context& context, const frame_state& state);
// The last step of render: undo the warp, hand the record back with the running time in it.
void end_show_frame(part_start& part, frame_state& state);
