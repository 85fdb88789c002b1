// The thirteen scene elements. Random numbers (R) are drawn in a fixed order: per tube instance X,
// Z, the radii key by key, then the rotation; that order is part of the show's look.
#include "engine/random.h"
#include "engine/spline_track.h"
#include "runtime/demo_state.h"
#include "show/scene.h"
#include "show/timeline.h"

namespace {

constexpr int tube_keys = 100;

double R() { return random_unit(); }

// One key of a tube's track: the centre and the radius (in x of the second channel).
void add_tube_key(spline_track& track, double x, double y, double z, double radius) {
  track.channel0.push_back(make_vec3(x, y, z));
  track.channel1.push_back(make_vec3(radius, 0, 0));
  track.channel2.push_back(make_vec3(0, 0, 0));
  track.key_count++;
}

// A tube drawn with "Holes" = 1 around it, as almost every tube is.
void holed_tube(scene_output& out, spline_track& track, int segments, int sides) {
  out.uniform_f("Holes", 1);
  out.tube(track, segments, sides);
  out.uniform_f("Holes", 1);
}

void y_rotation(scene_output& out, double degrees) { out.rotate(degrees, 0, 1, 0); }

// The fixed orientation and scales shared by the middle mesh and the wing row.
void middle_mesh_frame(scene_output& out) {
  out.translate(4.9, 40, 0);
  out.rotate(90, 0, 0, -1);
  out.rotate(180, 1, 0, 0);
  out.rotate(180, 0, 1, 0);
  out.rotate(90, 0, 0, 1);
  out.rotate(90, 0, 1, 0);
  out.scale(0.2, 0.2, 0.2);
  out.scale(2, 2, 2);
}

// The three quarter turns every wing beam is given.
void beam_turns(scene_output& out) {
  out.rotate(90, 0, 1, 0);
  out.rotate(90, 0, 0, 1);
  out.rotate(90, 1, 0, 0);
}

void beam_draw(part_start& part, scene_output& out) {
  out.uniform_f("Holes", 1);
  out.draw_mesh(part.mesh_wings, -1);
  out.uniform_f("Holes", 1);
}

// Beam 2's colour and transforms, repeated by the set-up before beam 4.
void beam_two_frame(double t, scene_output& out) {
  out.color(1, 0, 0);
  out.translate(0, 90.5, 1.13);
  beam_turns(out);
  out.translate(0, 0, response_curve((t - 45) * 0.5));
  out.scale(-2, -2, 100);
}

}  // namespace

void escher_stack(part_start& part, scene_output& out) {
  const double t = part.ttime;
  if (!(t < 188.5)) return;
  const double n = 8 * clamp01((t - 120) * 0.5);
  for (int i = 0; i < n; i++) {
    out.push();
    out.element_state();
    out.color(0.5f, 0.5f, 0.5f);
    out.translate(0, 18 * i - 130 + 1.3 * response_curve(t - 137), 0);
    y_rotation(out, 126 * R());
    out.uniform_i("Mode", 1);
    out.draw_mesh(part.mesh_escher, -1);
    out.uniform_i("Mode", 0);
    out.pop();
  }
}

void wall_tubes(part_start& part, scene_output& out) {
  const double t = part.ttime;
  for (int i = 0; i < 5; i++) {
    spline_track track;
    const double x = 2.4 * (R() - 0.5);
    const double z = 2.4 * (R() - 0.5);
    const double stretch = 1 - 0.36 * ease_window(t, 28 + 0.2 * i, 0.4);
    for (int k = 0; k < tube_keys; k++) {
      const double radius = -33.8 * ease_window(t, 9 + i, 0.1) - 60 * R() * ease_window(t, 3 + 0.2 * i, 0.1);
      add_tube_key(track, x, k * stretch, z, radius);
    }
    out.push();
    out.element_state();
    out.translate(1.5 * response_curve((t - 128) * 0.5), 0, 0);
    if (t > 188.5) out.translate(0, 80, 0);
    if (t > 195) out.translate(0, -80, 0);
    y_rotation(out, 1000 * R());
    out.color(0.17f, 0.10f, 0.12f);
    out.translate(0, -0.4 * i, 0);
    holed_tube(out, track, 100, 40);
    out.pop();
  }
}

void thin_prisms(part_start& part, scene_output& out) {
  const double t = part.ttime;
  for (int i = 0; i < 10; i++) {
    spline_track track;
    const double x = 2.4 * (R() - 0.5);
    const double z = 2.4 * (R() - 0.5);
    const double shrink = (1 - ease_window(t, 16 + i, 0.15)) * (0.6 - 7.8 * ease_window(t, -4 + i, 0.1));
    for (int k = 0; k < tube_keys; k++) add_tube_key(track, x, k, z, 0.3 * R() + shrink);
    out.push();
    out.element_state();
    y_rotation(out, 1000 * R());
    out.color(0.1f, 0.1f, 0.1f);
    holed_tube(out, track, 50, 3);
    out.pop();
  }
}

void opening_mesh(part_start& part, scene_output& out) {
  const double t = part.ttime;
  out.push();
  out.element_state();
  out.color(0.7f, 0.7f, 0.8f);
  out.translate(0, -13.5, 0);
  out.translate(0, 0, response_curve((t - 6) * 0.5) - 0.116);
  out.scale(0.2, 0.2, 0.2);
  out.scale(1, 0.1, 1);
  out.rotate(90, 1, 0, 0);
  out.uniform_f("Holes", 0);
  out.scale(1, 1, 2);
  out.translate(0, 4.78, 0);
  out.rotate(180, 1, 0, 0);
  out.color(0, 0, 0);
  out.uniform_i("Mode", 0);
  out.uniform_f("Holes", 0);
  if (t < 13) out.draw_mesh(part.mesh_transf, -1);
  out.uniform_f("Holes", 1);
  out.pop();
}

void late_mesh(part_start& part, scene_output& out) {
  if (!(part.ttime > 190)) return;
  out.push();
  out.element_state();
  out.translate(0, -5.5, 0);
  out.rotate(-26, 0, 0, 1);
  out.rotate(180, 1, 0, 0);
  out.rotate(90, 0, 1, 0);
  out.scale(0.2, 0.2, 0.2);
  out.scale(1.3, 1.3, 1.3);
  out.rotate(90, 1, 0, 0);
  out.uniform_f("Holes", 0);
  out.color(0.3f, 0.3f, 0.3f);
  out.translate(0, 4.78, 0);
  out.rotate(180, 1, 0, 0);
  out.uniform_i("Mode", 0);
  out.draw_mesh(part.mesh_transf, -1);
  out.uniform_f("Holes", 1);
  out.pop();
}

void swarm_tubes(part_start& part, scene_output& out) {
  const double t = part.ttime;
  const double ft = part.fttime;
  if (!(t > 190)) return;
  const double count = 5 * clamp01(t - 190);
  for (int i = 0; i < count; i++) {
    spline_track track;
    const double x = 2.4 * (R() - 0.5);
    const double z = 2.4 * (R() - 0.5);
    const double stretch = 1 - 0.36 * ease_window(t, 28 + 0.2 * i, 0.4);
    const double base_radius = 0.1 - 0.1 * ease_window(t, 190 - 0.3 * i, 0.1);
    const double noise_fade = 1 - ease1((ft - 253.8 + 0.2 * i) * 0.2);
    for (int k = 0; k < tube_keys; k++) {
      add_tube_key(track, x, k * stretch - 6, z, base_radius - 60 * R() * noise_fade);
    }
    out.push();
    out.element_state();
    y_rotation(out, 1000 * R());
    out.color(0.2f, 0.2f, 0.2f);
    out.uniform_f("NoBreak", 1);
    holed_tube(out, track, 100, 40);
    out.uniform_f("NoBreak", 0);
    out.pop();
  }
}

void middle_mesh(part_start& part, scene_output& out) {
  if (!(part.ttime > 105)) return;
  out.push();
  out.element_state();
  out.color(0.7f, 0.7f, 0.8f);
  out.translate(0, -13.5, 0);
  middle_mesh_frame(out);
  out.rotate(90, 1, 0, 0);
  out.uniform_f("Holes", 0);
  out.color(1, 1, 1);
  out.scale(3, 3, 3);
  out.translate(0, 4.78, 0);
  out.rotate(180, 1, 0, 0);
  out.uniform_i("Mode", 0);
  out.uniform_f("Holes", 1);
  out.draw_mesh(part.mesh_transf, -1);
  out.uniform_f("Holes", 1);
  out.pop();
}

void wing_row(part_start& part, scene_output& out) {
  const double t = part.ttime;
  if (!(t <= 86 || t >= 105)) return;
  for (int j = 0; j < 6; j++) {
    out.push();
    out.element_state();
    out.color(0.7f, 0.7f, 0.8f);
    out.translate(0, -13.5, 0);
    out.translate(0.4, 0, t >= 230 ? -1.48 - 0.7 * ease_window(t, 233, 0.3) : 0.0);
    const double r = R();
    if (t < 86) {
      out.translate(0, 94 - 13.6 * j, 20 * r);
    } else if (t < 186) {
      out.translate(0, 94 - 13.6 * j, 0);
    } else {
      out.translate(0, 34 - 6 * j, 20 * r);
    }
    middle_mesh_frame(out);
    out.rotate(90, 1, 0, 0);
    out.uniform_f("Holes", 0);
    out.scale(3, 3, 3);
    out.translate(0, 4.78, 0);
    out.rotate(180, 1, 0, 0);
    out.color(1, 1, 0);
    out.uniform_i("Mode", 0);
    out.uniform_f("Holes", 0);
    out.draw_mesh(part.mesh_wings, -1);
    out.uniform_f("Holes", 1);
    out.pop();
  }
}

void wing_beams(part_start& part, scene_output& out) {
  const double t = part.ttime;
  out.uniform_i("Mode", 1);

  out.push();
  out.element_state();
  out.color(0, 1, 1);
  out.translate(0, 78.5, 0.93);
  beam_turns(out);
  out.translate(0, 0, response_curve((t - 43) * 0.5));
  out.scale(-1, -1, 100);
  beam_draw(part, out);
  out.pop();

  // Beams 2 and 3 share one matrix: beam 3 continues from beam 2's transform.
  out.push();
  out.element_state();
  beam_two_frame(t, out);
  beam_draw(part, out);
  out.translate(0, 84.5, -1.07);
  beam_turns(out);
  out.color(0.5f, 1, 0.5f);
  out.translate(0, 0, -3 * response_curve((t - 47) * 0.5));
  out.scale(-2, -2, 4);
  beam_draw(part, out);
  out.pop();

  // Beam 4 continues from a repeat of beam 2's transform, which draws nothing itself.
  out.push();
  out.element_state();
  beam_two_frame(t, out);
  out.uniform_f("Holes", 1);
  out.uniform_f("Holes", 1);
  out.translate(0, 2 * response_curve(t - 120), 0);
  out.translate(0, 84.5, -1.07);
  beam_turns(out);
  out.color(0.5f, 1, 0.5f);
  out.scale(5, 9, 9);
  out.uniform_i("Mode", 2);
  out.translate(16.6, -0.2, -0.0116);
  if (t > 86) out.translate(-17.8, 0, 0);
  out.color(0, 0.4f, 1);
  beam_draw(part, out);
  out.pop();
}

void six_sided_tubes(part_start& part, scene_output& out) {
  const double t = part.ttime;
  const double stretch = 1 - 0.33 * ease_window(t, 63, 0.1);
  for (int i = 0; i < 10; i++) {
    spline_track track;
    const double x = 2.4 * (R() - 0.5);
    const double z = 2.4 * (R() - 0.5);
    const double shrink = 0.6 - 7.8 * ease_window(t, 47 + i, 0.1);
    for (int k = 0; k < tube_keys; k++) add_tube_key(track, x, k * stretch, z, 0.3 * R() + shrink);
    out.push();
    out.element_state();
    out.uniform_i("Mode", 0);
    y_rotation(out, 1000 * R());
    out.color(0.1f, 0.2f, 0.2f);
    out.translate(0, 81, 0);
    holed_tube(out, track, 100, 6);
    out.pop();
  }
}

void three_sided_tubes(part_start& part, scene_output& out) {
  const double t = part.ttime;
  double s = 0.7;
  if (t <= 86) {
    s = 1;
  } else if (t <= 124) {
    s = 1.2 + 5 * ease_window(t, 104, 0.2);
  }
  for (int i = 0; i < 10; i++) {
    spline_track track;
    const double x0 = 0.8 * (R() - 0.5);
    const double z0 = 0.8 * (R() - 0.5);
    for (int k = 0; k < tube_keys; k++) add_tube_key(track, s * s * x0, 0.7 * s * k, s * z0, 0.3 * R());
    out.push();
    out.element_state();
    out.uniform_i("Mode", 0);
    out.translate(0, 18, 0);
    y_rotation(out, -18 * t);
    y_rotation(out, 1000 * R());
    out.color(1, 1, 0);
    out.translate(0, t <= 86 ? 45 : 9, 0);
    if (t < 185) holed_tube(out, track, 100, 3);
    out.pop();
  }
}

void red_tubes(part_start& part, scene_output& out) {
  const double t = part.ttime;
  if (!(t > 169 && t < 186)) return;
  for (int i = 0; i < 3; i++) {
    spline_track track;
    const double stretch = 1 - 0.36 * ease_window(t, 28 + 0.2 * i, 0.4);
    for (int k = 0; k < tube_keys; k++) {
      const double x = 1.2 * (R() - 0.5);
      const double z = 1.2 * (R() - 0.5);
      add_tube_key(track, x, k * stretch, z, 0);
    }
    for (vec3& radius : track.channel1) radius = make_vec3(1, 0, 0);
    out.push();
    out.element_state();
    out.translate(0.6, -60, 0);
    out.color(1, 0.1f, 0);
    holed_tube(out, track, 100, 5);
    out.pop();
  }
}

void end_block(part_start& part, scene_output& out) {
  const double t = part.ttime;
  if (!(t > 1260)) return;
  out.push();
  out.element_state();
  out.color(0.7f, 0.7f, 0.8f);
  out.clear();
  out.perspective(demo.render_width, demo.render_height, 75.0, 0.1, 30.0);
  out.look_at(make_vec3(0, 0, 25), make_vec3(0, 0, 0), make_vec3(0, 1, 0));
  out.use_fixed_function();
  out.color(1, 1, 1);
  out.scale(0.7, 0.7, 0.7);
  out.scale(1, 1, 0.1);
  constexpr int credit_groups[3] = {1, 2, 0};
  for (int m = 0; m < 3; m++) {
    const double b = ease1(clamp01((t - 260 - m) * 0.3) - clamp01((t - 263 - m) * 0.3));
    out.color(static_cast<float>(b), static_cast<float>(b), static_cast<float>(b));
    if (b > 0.01) out.draw_mesh(part.mesh_credits, credit_groups[m]);
    out.translate(0, -2.6, 0);
  }
  out.pop();
}
