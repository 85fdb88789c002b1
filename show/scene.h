#pragma once
// The scene drawing of the show: the frame set-up and the thirteen scene elements, in drawing
// order. Every element is a function of the show's clocks and of the pseudo-random generator,
// which the set-up reseeds, so a given time always gives the same picture.
#include "show/part_start.h"
#include "show/scene_output.h"

struct render_context;

// The scene's view; the passes' projective texture matrices use the same field of view and near
// plane, so that what they project lines up with the picture.
constexpr double scene_fov = 75.0;  // degrees, vertical
constexpr double scene_near = 0.1;
constexpr double scene_far = 30.0;
constexpr double projector_far = 100.0;  // the projective matrices reach beyond the scene's far plane
// The generator restarts here at every scene drawing, so a given time always gives the same picture.
constexpr int scene_seed = 4234234;

// When elements appear and go (warped time); the status line's element list reads the same bounds.
constexpr double escher_start = 120.0;  // the escher stack fills in (until late_section)
constexpr double opening_end = 13.0;    // the opening mesh is drawn until then
constexpr double late_start = 190.0;    // the late mesh and the swarm appear
// The first section ends at 86 and the second starts at 105 (the warp skips from 83.4 to 108.4):
// the wing row is away in between, beam 4 and the three-sided tubes change, the middle mesh comes.
constexpr double first_section_end = 86.0;
constexpr double second_section_start = 105.0;
constexpr double three_end = 185.0;  // the three-sided tubes are drawn until then
constexpr double red_start = 169.0;  // the red tubes' window
constexpr double red_end = 186.0;
constexpr double credits_start = 1260.0;  // the credits block, beyond any normal run

// Draws the whole scene: with use_projector_camera the look-at uses the render context's
// projector; with velocity the picture is first cleared to grey 0.5 and prog_velocities replaces
// prog_material.
void draw_scene(part_start& part, const render_context& context, bool use_projector_camera, bool velocity,
                scene_output& out);

// The elements, in the order draw_scene calls them.
void escher_stack(part_start& part, scene_output& out);
void wall_tubes(part_start& part, scene_output& out);
void thin_prisms(part_start& part, scene_output& out);
void opening_mesh(part_start& part, scene_output& out);
void late_mesh(part_start& part, scene_output& out);
void swarm_tubes(part_start& part, scene_output& out);
void middle_mesh(part_start& part, scene_output& out);
void wing_row(part_start& part, scene_output& out);
void wing_beams(part_start& part, scene_output& out);
void six_sided_tubes(part_start& part, scene_output& out);
void three_sided_tubes(part_start& part, scene_output& out);
void red_tubes(part_start& part, scene_output& out);
void end_block(part_start& part, scene_output& out);
