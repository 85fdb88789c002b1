#pragma once
// The fixed-function helpers the screen passes and the scenes share. screen_pass itself is a
// member of render_context.

struct camera;  // engine/render_context.h

// One textured quad from (-1, -1) to (1, 1) at z = 0 in the current matrices. Billboard drops the
// modelview's rotation and scale; the quad is rotated by `angle` degrees about z and scaled by
// (|scale_x|, scale_y); scale_x of 0 or below (or not a number) mirrors the texture in s. The
// matrix changes stay in the current matrix: callers push and pop around the call.
void draw_quad(const double& angle, const double& scale_x, const double& scale_y, bool billboard,
               float repeat);

// Back to plain textured-white fixed-function state: blending, lighting, colour material, light 0,
// 2D texturing and fog off, colour opaque white.
void reset_state();

// Loads bias(0.5) * perspective * look-at of the camera into texture unit 2's texture matrix.
// Returns in GL_TEXTURE mode with unit 0 active; the push and pop of the caller's matrix pair up
// when the caller is in GL_TEXTURE mode on unit 0.
void set_projector_matrix(const camera& view);
