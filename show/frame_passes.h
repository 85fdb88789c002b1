#pragma once
// The passes of one frame of the show, in the order render runs them, each at render size w x h
// (the half-size passes at w/2 x h/2). Exposed so that a benchmark can time them one by one.
#include "engine/render_context.h"
#include "show/part_start.h"

// The scene into render target 0: colour and normals/depth, resolved into tex_color, tex_normals
// and tex_depth.
void scene_pass(part_start& part, render_context& context, int w, int h);
// Ambient occlusion combined with the scene colour, written back into tex_color.
void combine_pass(part_start& part, render_context& context, int w, int h);
// Blurred highlights of tex_color into tex_half (render target 1).
void highlight_pass(part_start& part, render_context& context, int w, int h);
// God rays from the highlights in tex_half, resolved back into tex_half.
void god_ray_pass(part_start& part, render_context& context, int w, int h);
// The picture and its god rays into the window, letterboxed to the render height.
void final_composition(part_start& part, render_context& context, int w, int h);
// Leaves the fixed-function state plain for whatever draws next.
void clean_up(part_start& part, render_context& context);
