// The thirteen scene elements. Random numbers (R) are drawn in a fixed order: per tube instance X,
// Z, the radii key by key, then the rotation; that order is part of the show's look.
#include "engine/random.h"
#include "engine/spline_track.h"
#include "runtime/demo_state.h"
#include "show/scene.h"
#include "show/timeline.h"

namespace {

constexpr int tube_keys = 100;

// Timing of the elements (warped time t unless said otherwise). A rate r runs its ease over 1/r
// seconds; per-instance offsets stagger the instances of one element.
constexpr double escher_rate = 0.5;          // the stack fills in, all eight within 2 s
constexpr double stretch_start = 28.0;       // the wall, swarm and red tubes shorten by 36 %...
constexpr double stretch_rate = 0.4;         // ...within 2.5 s
constexpr double wall_open_start = 9.0;      // the wall tubes widen into walls...
constexpr double wall_noise_start = 3.0;     // ...after their random radii have grown in...
constexpr double wall_rate = 0.1;            // ...each over 10 s
constexpr double wall_leave = 195.0;         // the wall tubes, moved away at the late section, come back
constexpr double prism_thin_start = 16.0;    // the thin prisms lose their base radius...
constexpr double prism_thin_rate = 0.15;     // ...within 6.7 s
constexpr double prism_shrink_start = -4.0;  // and shrink...
constexpr double prism_shrink_rate = 0.1;    // ...over 10 s
constexpr double swarm_fade_start = 190.0;   // the swarm tubes thin out...
constexpr double swarm_rate = 0.1;           // ...over 10 s
constexpr double swarm_calm_start = 253.8;   // running time: their random radii fade...
constexpr double swarm_calm_rate = 0.2;      // ...within 5 s, at the end of the running time
constexpr double wing_close_up = 186.0;      // the wing row closes up and scatters in depth
constexpr double wing_final = 230.0;         // the wing row moves along -z...
constexpr double wing_final_start = 233.0;
constexpr double wing_final_rate = 0.3;       // ...within 3.3 s
constexpr double six_stretch_start = 63.0;    // the six-sided tubes shorten by a third...
constexpr double six_shrink_start = 47.0;     // ...after their radii have shrunk
constexpr double six_rate = 0.1;              // ...each over 10 s
constexpr double three_spread_start = 104.0;  // the three-sided tubes spread out...
constexpr double three_spread_rate = 0.2;     // ...within 5 s
constexpr double three_spread_end = 124.0;    // then settle narrower
// When the elements appear and go are in show/scene.h.

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
  if (!(t < late_section)) return;
  const double n = 8 * clamp01((t - escher_start) * escher_rate);
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
    const double stretch = 1 - 0.36 * ease_window(t, stretch_start + 0.2 * i, stretch_rate);
    for (int k = 0; k < tube_keys; k++) {
      const double radius = -33.8 * ease_window(t, wall_open_start + i, wall_rate) -
                            60 * R() * ease_window(t, wall_noise_start + 0.2 * i, wall_rate);
      add_tube_key(track, x, k * stretch, z, radius);
    }
    out.push();
    out.element_state();
    out.translate(1.5 * response_curve((t - 128) * 0.5), 0, 0);
    if (t > late_section) out.translate(0, 80, 0);
    if (t > wall_leave) out.translate(0, -80, 0);
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
    const double shrink = (1 - ease_window(t, prism_thin_start + i, prism_thin_rate)) *
                          (0.6 - 7.8 * ease_window(t, prism_shrink_start + i, prism_shrink_rate));
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
  if (t < opening_end) out.draw_mesh(part.mesh_transf, -1);
  out.uniform_f("Holes", 1);
  out.pop();
}

void late_mesh(part_start& part, scene_output& out) {
  if (!(part.ttime > late_start)) return;
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
  if (!(t > late_start)) return;
  const double count = 5 * clamp01(t - late_start);
  for (int i = 0; i < count; i++) {
    spline_track track;
    const double x = 2.4 * (R() - 0.5);
    const double z = 2.4 * (R() - 0.5);
    const double stretch = 1 - 0.36 * ease_window(t, stretch_start + 0.2 * i, stretch_rate);
    const double base_radius = 0.1 - 0.1 * ease_window(t, swarm_fade_start - 0.3 * i, swarm_rate);
    const double noise_fade = 1 - ease1((ft - swarm_calm_start + 0.2 * i) * swarm_calm_rate);
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
  if (!(part.ttime > second_section_start)) return;
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
  if (!(t <= first_section_end || t >= second_section_start)) return;
  for (int j = 0; j < 6; j++) {
    out.push();
    out.element_state();
    out.color(0.7f, 0.7f, 0.8f);
    out.translate(0, -13.5, 0);
    out.translate(0.4, 0,
                  t >= wing_final ? -1.48 - 0.7 * ease_window(t, wing_final_start, wing_final_rate) : 0.0);
    const double r = R();
    if (t < first_section_end) {
      out.translate(0, 94 - 13.6 * j, 20 * r);
    } else if (t < wing_close_up) {
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
  if (t > first_section_end) out.translate(-17.8, 0, 0);
  out.color(0, 0.4f, 1);
  beam_draw(part, out);
  out.pop();
}

void six_sided_tubes(part_start& part, scene_output& out) {
  const double t = part.ttime;
  const double stretch = 1 - 0.33 * ease_window(t, six_stretch_start, six_rate);
  for (int i = 0; i < 10; i++) {
    spline_track track;
    const double x = 2.4 * (R() - 0.5);
    const double z = 2.4 * (R() - 0.5);
    const double shrink = 0.6 - 7.8 * ease_window(t, six_shrink_start + i, six_rate);
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
  if (t <= first_section_end) {
    s = 1;
  } else if (t <= three_spread_end) {
    s = 1.2 + 5 * ease_window(t, three_spread_start, three_spread_rate);
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
    out.translate(0, t <= first_section_end ? 45 : 9, 0);
    if (t < three_end) holed_tube(out, track, 100, 3);
    out.pop();
  }
}

void red_tubes(part_start& part, scene_output& out) {
  const double t = part.ttime;
  if (!(t > red_start && t < red_end)) return;
  for (int i = 0; i < 3; i++) {
    spline_track track;
    const double stretch = 1 - 0.36 * ease_window(t, stretch_start + 0.2 * i, stretch_rate);
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
  if (!(t > credits_start)) return;
  out.push();
  out.element_state();
  out.color(0.7f, 0.7f, 0.8f);
  out.clear();
  out.perspective(demo.render_width, demo.render_height, scene_fov, scene_near, scene_far);
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
