// The scene drawing's frame set-up (view, material program, projector matrix, seed) and the
// thirteen elements in drawing order.
#include "show/scene.h"

#include "engine/random.h"
#include "engine/render_context.h"
#include "runtime/demo_state.h"

void draw_scene(part_start& part, const render_context& context, bool use_projector_camera, bool velocity,
                scene_output& out) {
  const int w = demo.render_width;
  const int h = demo.render_height;
  const double aspect = static_cast<double>(w) / h;

  out.perspective(w, h, scene_fov, scene_near, scene_far);
  if (velocity) out.clear_color(0.5f, 0.5f, 0.5f, 0.5f);
  out.clear();
  const camera& view = use_projector_camera ? context.projector : context.main_camera;
  out.look_at(view.eye, view.center, view.up);
  out.reset_state();

  const int base = part.tex_base;
  const double track_y = part.state_copy.track_y;
  out.use_program(part.prog_material);
  out.uniform_f("PosY", track_y);
  out.uniform_f("PP", track_y);
  out.sampler("texture2d_1", 0, base + slots::tex_noise, false);
  out.sampler("texture2d_2", 1, part.tex_depth2, false);
  out.sampler("texture2d_3", 2, base + slots::tex_unfilled, false);
  out.sampler("texture2d_blob", 3, base + slots::tex_blob, false);
  out.sampler("texture2d_cube", 4, base + slots::tex_cube, true);
  out.uniform_f("ttime", part.ttime);
  out.uniform_f("Holes", 1);
  out.uniform_f("PositionY", part.PositionY);
  out.uniform_i("Mode", 0);
  out.uniform_f("ttime", part.ttime);
  out.uniform_f("fttime", part.fttime);
  out.uniform_f("NoBreak", 0);
  out.uniform_f("DSP", part.state_copy.spectrum[part.dsp_band] * part.dsp_gain);
  out.projector_matrix("ProjectionMatrix", scene_fov, aspect, scene_near, projector_far);

  random_seed(scene_seed);
  if (velocity) out.use_program(part.prog_velocities);

  out.push();
  out.color(1, 1, 1);
  escher_stack(part, out);
  wall_tubes(part, out);
  thin_prisms(part, out);
  opening_mesh(part, out);
  late_mesh(part, out);
  swarm_tubes(part, out);
  middle_mesh(part, out);
  wing_row(part, out);
  wing_beams(part, out);
  six_sided_tubes(part, out);
  three_sided_tubes(part, out);
  red_tubes(part, out);
  end_block(part, out);
  out.pop();
  out.finish();
}
