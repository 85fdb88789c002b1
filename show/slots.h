#pragma once
// The show's small integers, each defined here once: program slots of its shader library, texture
// indices of the render context's table (offsets from part_start::tex_base) and the render targets
// it draws into.

namespace slots {

// Program slots of the show's shader library.
constexpr int prog_material = 1;     // the scene material: every scene element
constexpr int prog_combine = 3;      // ambient occlusion combined with the scene colour
constexpr int prog_blurpass = 4;     // the final composition into the window
constexpr int prog_velocities = 5;   // velocity variant of the scene; the show never asks for it
constexpr int prog_highlights = 6;   // half-size blurred highlights
constexpr int prog_godrays = 7;      // half-size god rays from the highlights
constexpr int prog_spare = 10;       // reserved: never loaded or bound
constexpr int prog_simpleblur = 13;  // loaded (its compile log shows at start-up), never bound

// Texture indices, as offsets from tex_base.
constexpr int tex_color = 0;       // scene colour, then the combined picture
constexpr int tex_noise = 10;      // "textures/noise.jpg", the scene material's first sampler
constexpr int tex_normals = 11;    // second colour output of the scene
constexpr int tex_blob = 12;       // "textures/blob41b.jpg", the scene material's blob sampler
constexpr int tex_depth = 26;      // depth of the scene
constexpr int tex_random = 27;     // 1024 x 1024 random RGB for the passes' sampling
constexpr int tex_half = 28;       // half-size highlights, then the god rays
constexpr int tex_depth2 = 29;     // a depth texture nothing renders into, sampled by the scene
constexpr int tex_velocity = 32;   // never drawn into: the final pass samples its random bytes
constexpr int tex_unfilled = 111;  // sampled by the scene as "texture2d_3", never created here
constexpr int tex_cube = 200;      // sampled by the scene as its cube map, never created here

// Render targets of the render context, created by the runtime's start-up.
constexpr int scene_target = 0;  // render size: the scene and the combine pass
constexpr int half_target = 1;   // half size: highlights and god rays

}  // namespace slots
