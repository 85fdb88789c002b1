// One frame of the show: clocks and camera, the scene into render target 0, the ambient-occlusion
// combine, half-size highlights and god rays, and the composition into the window.
//
// The map of one frame, from the main loop to the last pass. Targets: 0 is render size (W x H),
// 1 is half size; each pass draws into a target's renderbuffers and its resolve copies them into
// the textures attached there, so a pass may read the very texture its resolve will overwrite.
// Texture names are the part_start fields (show/slots.h).
//
//   run_main_loop, no message pending (shell/sdl/main_loop.cpp, shell/win32/main_loop.cpp)
//   idle_turn (shell/main_loop.cpp), while the window is active:
//     demo_frame (runtime/demo_frame.cpp)
//       step_frame_clock (runtime/frame_clock.cpp): stopwatch, random reseed, music correction
//       fills frame_state: inputs, show_time += frame_step, the music spectrum, the keys
//       part_start::render (here)
//         begin_show_frame (show/frame_timeline_step.cpp): state copy, key track sampled and
//           grown, advance_running_time, dsp_gain_at, warp_time, main_camera (show/timeline.cpp)
//           into the render context's main camera and PositionY
//         glPushAttrib
//         scene_pass            writes target 0 (two colours, depth) -> tex_color, tex_normals,
//                               tex_depth; reads tex_noise, tex_depth2, tex_unfilled, tex_blob,
//                               tex_cube
//           draw_scene (show/scene.cpp) through gl_scene_output: view, prog_material, projector
//           matrix, then the thirteen elements (show/scene_elements.cpp): obj_mesh::draw and
//           sweep_tube
//         combine_pass          writes target 0 (colour 0) -> tex_color; reads tex_color,
//                               tex_depth, tex_normals, tex_random; combine_limit, and
//                               set_projector_matrix from the main camera
//         highlight_pass        writes target 1 -> tex_half; reads tex_color
//         god_ray_pass          writes target 1 -> tex_half; reads tex_half
//           (both through render_context::screen_pass, engine/screen_pass.cpp)
//         final_composition     writes the window's back buffer, letterboxed; reads tex_color,
//                               tex_half, tex_velocity, tex_random, tex_depth
//         clean_up              plain fixed-function state; binds tex_blob, draws nothing
//         glPopAttrib, glFlush
//         end_show_frame (show/frame_timeline_step.cpp): warp undone, frame_state handed back
//       the show's end, an exit request or the Escape ending's fade: sound closed, window gone,
//       false up to the main loop, which returns the exit code to the entry function
//     the Escape check, then present: platform.swap_buffers
#include <GL/glew.h>

#include "engine/random.h"
#include "engine/render_context.h"
#include "engine/screen_pass.h"
#include "runtime/demo_state.h"
#include "show/frame_passes.h"
#include "show/gl_scene_output.h"
#include "show/part_start.h"
#include "show/scene.h"
#include "show/timeline.h"

namespace {

void identity_matrices() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

}  // namespace

void scene_pass(part_start& part, render_context& context, int w, int h) {
  context.attach_color(slots::scene_target, 0, part.tex_color);
  context.attach_color(slots::scene_target, 1, part.tex_normals);
  context.attach_depth(slots::scene_target, part.tex_depth);
  context.bind_target(slots::scene_target, 2);
  gl_scene_output out(context, part.programs);
  draw_scene(part, context, false, false, out);
  context.resolve_target(slots::scene_target, w, h, 2, true);
}

void combine_pass(part_start& part, render_context& context, int w, int h) {
  shader_library& lib = part.programs;
  const int prog = part.prog_combine;
  context.attach_color(slots::scene_target, 0, part.tex_color);
  context.bind_target(slots::scene_target, 1);
  glActiveTexture(GL_TEXTURE0);
  identity_matrices();
  glDisable(GL_DEPTH_TEST);

  const double limit = combine_limit(part.ttime);
  lib.use_program(prog);
  lib.set_uniform_1f(prog, "Limit", static_cast<float>(limit));
  lib.set_uniform_1f(prog, "fttime", static_cast<float>(part.fttime));
  lib.bind_sampler(GL_TEXTURE_2D, prog, 0, "texture2d_1", context.texture_slot(part.tex_color));
  lib.bind_sampler(GL_TEXTURE_2D, prog, 1, "texture2d_2", context.texture_slot(part.tex_depth));
  lib.bind_sampler(GL_TEXTURE_2D, prog, 2, "texture2d_3", context.texture_slot(part.tex_normals));
  lib.bind_sampler(GL_TEXTURE_2D, prog, 3, "texture2d_random", context.texture_slot(part.tex_random));

  camera view = context.main_camera;
  view.name = "ProjectionMatrix";
  view.fov = scene_fov;
  view.aspect = static_cast<double>(w) / h;
  view.near_distance = scene_near;
  view.far_distance = projector_far;
  glMatrixMode(GL_TEXTURE);
  glActiveTexture(GL_TEXTURE0);
  set_projector_matrix(view);

  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  draw_quad(0.0, 1.0, 1.0, false, 1.0f);
  context.resolve_target(slots::scene_target, w, h, 1, false);
}

void final_composition(part_start& part, render_context& context, int w, int h) {
  shader_library& lib = part.programs;
  const int prog = part.prog_blurpass;
  glMatrixMode(GL_MODELVIEW);
  context.unbind_target();
  glViewport(0, 0, w, h);
  glActiveTexture(GL_TEXTURE0);
  identity_matrices();
  glDisable(GL_DEPTH_TEST);

  lib.use_program(prog);
  lib.bind_sampler(GL_TEXTURE_2D, prog, 0, "texture2d_1", context.texture_slot(part.tex_color));
  lib.bind_sampler(GL_TEXTURE_2D, prog, 4, "texture2d_s", context.texture_slot(part.tex_half));
  lib.bind_sampler(GL_TEXTURE_2D, prog, 1, "texture2d_velocities", context.texture_slot(part.tex_velocity));
  lib.bind_sampler(GL_TEXTURE_2D, prog, 2, "texture2d_random", context.texture_slot(part.tex_random));
  lib.bind_sampler(GL_TEXTURE_2D, prog, 3, "texture2d_2", context.texture_slot(part.tex_depth));
  // The final picture follows the music more gently than the scene does.
  constexpr double final_dsp_share = 0.3;
  const double band = part.state_copy.spectrum[part.dsp_band];
  lib.set_uniform_1f(prog, "Limit", static_cast<float>(part.state_copy.limit));
  lib.set_uniform_1f(prog, "ttime", static_cast<float>(part.ttime));
  lib.set_uniform_1f(prog, "fttime", static_cast<float>(part.fttime));
  lib.set_uniform_1f(prog, "DSP", static_cast<float>(band * final_dsp_share * part.dsp_gain));
  lib.set_uniform_1f(prog, "DSP2", static_cast<float>(band * final_dsp_share));

  glEnable(GL_TEXTURE_2D);
  glLoadIdentity();
  glDisable(GL_BLEND);
  glViewport(0, 0, demo.screen_width, demo.screen_height);
  const double letterbox = static_cast<double>(h) / demo.screen_height;
  draw_quad(0.0, 1.0, letterbox, false, 1.0f);
  lib.use_fixed_function();
}

void highlight_pass(part_start& part, render_context& context, int w, int h) {
  context.screen_pass(part.programs, part.prog_highlights, slots::half_target, 1, w / 2, h / 2,
                      part.tex_color, part.tex_half, -1, -1);
}

void god_ray_pass(part_start& part, render_context& context, int w, int h) {
  context.screen_pass(part.programs, part.prog_godrays, slots::half_target, 1, w / 2, h / 2, part.tex_half,
                      part.tex_half, -1, -1);
}

void clean_up(part_start& part, render_context& context) {
  glMatrixMode(GL_TEXTURE);
  glActiveTexture(GL_TEXTURE1);
  glLoadIdentity();
  glActiveTexture(GL_TEXTURE0);
  glLoadIdentity();
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  reset_state();
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ZERO);
  context.bind_texture(part.tex_base + slots::tex_blob);
  glColor4f(1, 1, 1, 1);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glLoadIdentity();
  glDisable(GL_BLEND);
  glLineWidth(20);
  glColor3f(1, 1, 1);
  glDisable(GL_TEXTURE_2D);
  glBegin(GL_LINES);
  glEnd();
}

void part_start::render(double* step, render_context* context, frame_state* state) {
  context->current_frame = state;
  begin_show_frame(*this, *step, *context, *state);

  const int w = demo.render_width;
  const int h = demo.render_height;
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  scene_pass(*this, *context, w, h);
  combine_pass(*this, *context, w, h);
  highlight_pass(*this, *context, w, h);
  god_ray_pass(*this, *context, w, h);
  final_composition(*this, *context, w, h);
  clean_up(*this, *context);
  glPopAttrib();
  glFlush();
  end_show_frame(*this, *state);
}
