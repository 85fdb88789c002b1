#pragma once
// The engine object: owns the GL names of every texture and render target the show draws into or
// samples from, addressed by small integers (texture index 0..9999, render-target index 0..15).
// One global instance; used only while the program's GL context is current on the main thread.
// Nothing here deletes a GL object: they all end with the GL context.
#include <cstdint>
#include <string>

#include "engine/vec3.h"

struct frame_state;
struct shader_library;

// A camera: eye, centre (the point looked at) and up of a look-at view, and the perspective that
// a projective texture matrix is built with (set_projector_matrix reads all but the name). The
// look-at points alone serve the scene's view; the passes add the perspective when they need it.
struct camera {
  std::string name;  // what the camera is for, for whoever reads it in a debugger
  vec3 eye;
  vec3 center;
  vec3 up;
  double fov = 0.0;  // vertical field of view, degrees
  double aspect = 1.0;
  double near_distance = 0.1;
  double far_distance = 100.0;
};

struct render_context {
  static constexpr int texture_count = 10000;
  static constexpr int target_count = 16;

  // Texture table: 0 until a texture is created at that index (0 binds GL's default texture).
  uint32_t textures[texture_count] = {};

  // Render-target tables, per render-target index.
  uint32_t target_color0[target_count] = {};   // colour renderbuffer 0 of the drawing framebuffer
  uint32_t target_color1[target_count] = {};   // colour renderbuffer 1 of the drawing framebuffer
  uint32_t target_color2[target_count] = {};   // reserved, never filled
  uint32_t target_depth[target_count] = {};    // depth renderbuffer of the drawing framebuffer
  uint32_t target_draw[target_count] = {};     // the drawing framebuffer (rendered into)
  uint32_t target_resolve[target_count] = {};  // the resolve framebuffer (textures attached)

  // The projector: fixed at (0, 2, 0) looking at the origin with +z up.
  camera projector{"projector", {1, 0.0f, 2.0f, 0.0f}, {1, 0.0f, 0.0f, 0.0f}, {1, 0.0f, 0.0f, 1.0f}};
  // The main camera, written by the show every frame before anything reads it.
  camera main_camera;

  frame_state* current_frame = nullptr;  // the frame_state of the frame being drawn
  void* device_context = nullptr;        // copy of the window's device-context handle
  double fov_offset = 0.0;               // added to the loading part's field of view

  // Image-loading options. Start-up clears compressed_upload before any image is loaded.
  bool generate_mipmaps = false;
  bool placeholder_images = false;
  bool compressed_upload = true;

  // Texture table entry, read or written by the caller; no range check.
  uint32_t& texture_slot(int index) { return textures[index]; }
  // Binds the entry to GL_TEXTURE_2D on the active unit.
  void bind_texture(int index);

  // Render targets. create_target and bind_target clamp the target index to 0..15; the counts
  // are clamped to 1..3 and the attachment to 0..2.
  void create_target(int target, int width, int height, int samples);
  void attach_color(int target, int attachment, int texture_index);
  void attach_depth(int target, int texture_index);
  void bind_target(int target, int count);
  void resolve_target(int target, int width, int height, int count, bool depth);
  void unbind_target();

  // Generated textures; each leaves its new texture bound to GL_TEXTURE_2D.
  void create_depth_texture(int index, int width, int height);
  void create_noise_rgb_texture(int index, int width, int height);
  void create_color_texture(int index, int width, int height);

  // A full-screen pass of `slot` into `target`, run `passes` times, each pass reading the
  // previous one's result. Second and third inputs below 0 are not used.
  void screen_pass(shader_library& library, int slot, int target, int passes, int width, int height,
                   int source, int destination, int second, int third);
};

extern render_context global_render_context;

// Sets the mag and min filters of the bound 2D texture to GL_LINEAR.
void set_linear_filter();
