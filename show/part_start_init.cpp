// The show's set-up: programs, generated and image textures, render-target attachments, meshes
// and the key track, all loaded once before the first frame.
#include <GL/glew.h>

#include <cstdio>
#include <utility>

#include "assets/image_texture.h"
#include "engine/render_context.h"
#include "runtime/demo_state.h"
#include "show/part_start.h"

parts* create_show_part() { return new part_start; }

namespace {

// A picture that did not load: its name in the box, and with the reason on standard error.
start_failure picture_failure(const image_failure& failure) {
  return {failure.file_name + ": " + failure.reason, failure.file_name, failure.caption};
}

}  // namespace

std::optional<start_failure> part_start::init(render_context* context) {
  ttime = 0.0;
  fttime = 0.0;
  frame_count = 0;
  tex_base = 0;
  prog_material = slots::prog_material;
  prog_combine = slots::prog_combine;
  prog_blurpass = slots::prog_blurpass;
  prog_velocities = slots::prog_velocities;
  prog_highlights = slots::prog_highlights;
  prog_godrays = slots::prog_godrays;
  prog_spare = slots::prog_spare;
  prog_simpleblur = slots::prog_simpleblur;

  for (const program_files& p : show_program_files) {
    if (p.vertex) {
      programs.load_program(p.vertex, p.fragment, p.slot);
    } else {
      programs.load_fragment_program(p.fragment, p.slot);
    }
  }

  tex_color = tex_base + slots::tex_color;
  tex_normals = tex_base + slots::tex_normals;
  tex_velocity = tex_base + slots::tex_velocity;
  tex_half = tex_base + slots::tex_half;
  tex_depth = tex_base + slots::tex_depth;
  tex_depth2 = tex_base + slots::tex_depth2;
  tex_random = tex_base + slots::tex_random;

  const int w = demo.render_width;
  const int h = demo.render_height;
  constexpr int random_size = 1024;  // the passes' random texture, independent of the render size
  context->create_noise_rgb_texture(tex_random, random_size, random_size);
  context->create_color_texture(tex_color, w, h);
  context->create_color_texture(tex_half, w / 2, h / 2);
  context->create_color_texture(tex_normals, w, h);
  context->create_color_texture(tex_velocity, w, h);
  context->create_depth_texture(tex_depth, w, h);
  context->create_depth_texture(tex_depth2, w, h);

  context->attach_color(slots::scene_target, 0, tex_color);
  context->attach_color(slots::scene_target, 1, tex_normals);
  context->attach_depth(slots::scene_target, tex_depth);
  context->attach_color(slots::half_target, 0, tex_half);
  // The attachments leave a resolve framebuffer bound: every frame must start with the window's
  // bound, or the attribute state saved by the first frame names attachments the window lacks.
  context->unbind_target();

  // The show cannot go on without its pictures.
  if (auto failure = load_jpeg_normal_map(context, "textures/noise.jpg", tex_base + slots::tex_noise)) {
    return picture_failure(*failure);
  }
  if (auto failure = load_jpeg_texture(context, "textures/blob41b.jpg", tex_base + slots::tex_blob)) {
    return picture_failure(*failure);
  }
  // The blob is bound now: it must not repeat at its edges.
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);

  // A missing or damaged mesh is left out of the show; the console says which and why.
  const std::pair<obj_mesh*, const char*> meshes[] = {{&mesh_escher, "neomeshes//escher.obj"},
                                                      {&mesh_eschers, "neomeshes//eschers.obj"},
                                                      {&mesh_transf, "neomeshes//transf3.obj"},
                                                      {&mesh_wings, "neomeshes//wings.obj"},
                                                      {&mesh_credits, "neomeshes//credits.obj"}};
  for (const auto& [mesh, file] : meshes) {
    mesh->load(file, false);
    if (!mesh->problem.empty()) std::fprintf(stderr, "%s: %s\n", file, mesh->problem.c_str());
  }

  key_track.reset();
  const std::string keys = key_track.load_keys("misc//piano3.txt");
  if (!keys.empty()) std::fprintf(stderr, "misc//piano3.txt: %s\n", keys.c_str());

  ttime = 0.0;
  return std::nullopt;
}
