#pragma once
// JPEG files into 2D textures of the render context's texture table. Both loaders create a new
// GL texture name at the index (overwriting, not deleting, what was there) and leave it bound to
// GL_TEXTURE_2D. A file that cannot be opened or decoded whole is reported to the caller, and
// nothing of it is uploaded.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct render_context;

// Why a picture did not load, and how the viewer is to be told: a message box whose text is the
// file name, with the caption "Jpg" (a picture that cannot be opened) or "Jpg !" (a normal map's
// height picture that cannot be opened, or any file that cannot be decoded), and the file name
// with the reason on standard error. The program cannot go on without the picture.
struct image_failure {
  std::string file_name;
  const char* caption = "";
  std::string reason;  // "cannot open: No such file or directory", "truncated: ...", "out of memory"
};

// The picture as it is, top line at t = 1.
std::optional<image_failure> load_jpeg_texture(render_context* context, const char* file_name,
                                               int texture_index);
// The normal map of the picture's red channel read as a height field (wrapping 3x3 gradient).
std::optional<image_failure> load_jpeg_normal_map(render_context* context, const char* file_name,
                                                  int texture_index);

// The normal map of a height picture: RGB bytes, rows in decoding order (top first), height =
// red / 255. Writes width * height RGB pixels in the same order.
void compute_normal_map(const uint8_t* height_rgb, int width, int height, uint8_t* normals_rgb);

// A decoded picture: tightly packed RGB rows (3 x width bytes), top line first; greyscale files
// give R = G = B = the sample.
struct rgb_picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rows;
};

enum class jpeg_file_result { decoded, cannot_open, cannot_decode };

// Decodes the whole file. The rows grow as lines arrive, so a header that claims a picture larger
// than the file's data costs no more memory than that data fills. Unless decoded, `reason` says
// why ("cannot open: No such file or directory", "truncated: ...", "out of memory").
jpeg_file_result decode_jpeg_file(const char* file_name, rgb_picture& picture, std::string& reason);
