#pragma once
// JPEG files into 2D textures of the render context's texture table. Both loaders create a new
// GL texture name at the index (overwriting, not deleting, what was there) and leave it bound to
// GL_TEXTURE_2D. A file that cannot be opened or decoded shows a message box with the file name
// and ends the process (exit status 0).
#include <cstdint>

struct render_context;

// The picture as it is, top line at t = 1.
void load_jpeg_texture(render_context* context, const char* file_name, int texture_index);
// The normal map of the picture's red channel read as a height field (wrapping 3x3 gradient).
void load_jpeg_normal_map(render_context* context, const char* file_name, int texture_index);

// The normal map of a height picture: RGB bytes, rows in decoding order (top first), height =
// red / 255. Writes width * height RGB pixels in the same order.
void compute_normal_map(const uint8_t* height_rgb, int width, int height, uint8_t* normals_rgb);
