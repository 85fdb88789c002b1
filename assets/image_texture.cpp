// Image loaders: decode a JPEG file into tightly packed RGB rows, turn them bottom line first (GL
// takes the first row as t = 0) and upload them, plain or as a normal map.
#include "assets/image_texture.h"

#include <GL/glew.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "assets/jpeg/jpeg_decoder.h"
#include "engine/random.h"
#include "engine/render_context.h"

namespace {

void create_placeholder(render_context* context, int texture_index) {
  unsigned char pixels[8 * 8 * 3];
  for (int i = 0; i < 192; ++i) {
    pixels[i] = static_cast<unsigned char>(50 + random_next() % 200);
    if (i < 8 || i > 184 || i % 8 == 0) pixels[i] = 255;
  }
  uint32_t& slot = context->texture_slot(texture_index);
  glGenTextures(1, &slot);
  glBindTexture(GL_TEXTURE_2D, slot);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, 8, 8, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

// Decodes the file for a loader; the failure when it cannot be decoded whole. `open_caption` is
// the box's caption when the file cannot be opened.
std::optional<image_failure> decode_for_texture(const char* file_name, const char* open_caption,
                                                rgb_picture& picture) {
  std::string reason;
  const jpeg_file_result result = decode_jpeg_file(file_name, picture, reason);
  if (result == jpeg_file_result::decoded) return std::nullopt;
  return image_failure{file_name, result == jpeg_file_result::cannot_open ? open_caption : "Jpg !", reason};
}

// Reverses the order of the rows in place: GL takes the first row as t = 0, so the top line of
// the picture goes last.
void flip_rows(std::vector<uint8_t>& rows, int width, int height) {
  const size_t row_bytes = size_t(width) * 3;
  for (int y = 0; y < height / 2; ++y)
    std::swap_ranges(rows.begin() + long(size_t(y) * row_bytes),
                     rows.begin() + long(size_t(y + 1) * row_bytes),
                     rows.begin() + long(size_t(height - 1 - y) * row_bytes));
}

void generate_texture(render_context* context, int texture_index) {
  uint32_t& slot = context->texture_slot(texture_index);
  glGenTextures(1, &slot);
  glBindTexture(GL_TEXTURE_2D, slot);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  if (context->generate_mipmaps) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
  }
}

// Uploads level 0 from rows of exactly 3 x width bytes (no row padding, whatever the width).
void upload(render_context* context, int texture_index, const rgb_picture& p, bool compressed) {
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  if (!compressed) {
    glTexImage2D(GL_TEXTURE_2D, 0, 3, p.width, p.height, 0, GL_RGB, GL_UNSIGNED_BYTE, p.rows.data());
  } else {
    // Let the driver compress, read the compressed image back and upload it as such.
    const uint32_t name = context->texture_slot(texture_index);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_COMPRESSED_RGB_ARB, p.width, p.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 p.rows.data());
    GLint is_compressed = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_COMPRESSED_ARB, &is_compressed);
    if (is_compressed && glGetCompressedTexImageARB && glCompressedTexImage2DARB) {
      GLint format = 0, size = 0;
      glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
      glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_COMPRESSED_IMAGE_SIZE_ARB, &size);
      if (size > 0) {
        std::vector<unsigned char> image(static_cast<size_t>(size));
        glGetCompressedTexImageARB(GL_TEXTURE_2D, 0, image.data());
        glBindTexture(GL_TEXTURE_2D, name);
        glCompressedTexImage2DARB(GL_TEXTURE_2D, 0, static_cast<GLenum>(format), p.width, p.height, 0, size,
                                  image.data());
      }
    }
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

}  // namespace

void compute_normal_map(const uint8_t* height_rgb, int width, int height, uint8_t* normals_rgb) {
  auto h = [&](int x, int y) { return height_rgb[(size_t(y) * size_t(width) + size_t(x)) * 3] / 255.0f; };
  auto to_byte = [](float v) { return static_cast<uint8_t>(static_cast<int>((v + 1.0f) * 0.5f * 255.0f)); };
  for (int y = 0; y < height; ++y) {
    const int yu = (y - 1 + height) % height, yd = (y + 1) % height;
    for (int x = 0; x < width; ++x) {
      const int xl = (x - 1 + width) % width, xr = (x + 1) % width;
      float gx = h(xl, yu) + 2 * h(xl, y) + h(xl, yd) - h(xr, yu) - 2 * h(xr, y) - h(xr, yd);
      float gy = h(xl, yd) + 2 * h(x, yd) + h(xr, yd) - h(xl, yu) - 2 * h(x, yu) - h(xr, yu);
      float s = 1.0f / std::sqrt(gx * gx + gy * gy + 1.0f);
      uint8_t* out = normals_rgb + (size_t(y) * size_t(width) + size_t(x)) * 3;
      out[0] = to_byte(gx * s);
      out[1] = to_byte(gy * s);
      out[2] = to_byte(s);
    }
  }
}

jpeg_file_result decode_jpeg_file(const char* file_name, rgb_picture& out, std::string& reason) {
  out = rgb_picture{};
  jpeg_decoder_file_stream stream;
  if (!stream.open(file_name)) {
    reason = std::string("cannot open: ") + std::strerror(errno);
    return jpeg_file_result::cannot_open;
  }
  jpeg_decoder decoder(&stream, true);
  try {
    if (decoder.error_code() == 0 && decoder.begin_decoding() == 0) {
      const int w = decoder.width(), h = decoder.height(), bytes_per_pixel = decoder.bytes_per_pixel();
      for (int k = 0; k < h; ++k) {
        const uint8_t* line = nullptr;
        int length = 0;
        if (decoder.decode_line(line, length) != 0) break;
        const size_t at = out.rows.size();
        out.rows.resize(at + size_t(w) * 3);
        uint8_t* row = out.rows.data() + at;
        for (int x = 0; x < w; ++x) {
          const uint8_t* px = line + size_t(x) * bytes_per_pixel;
          row[3 * x + 0] = px[0];
          row[3 * x + 1] = bytes_per_pixel == 1 ? px[0] : px[1];
          row[3 * x + 2] = bytes_per_pixel == 1 ? px[0] : px[2];
        }
      }
      out.width = w;
      out.height = h;
    }
  } catch (const std::bad_alloc&) {
    out = rgb_picture{};
    reason = "out of memory";
    return jpeg_file_result::cannot_decode;
  }
  if (decoder.error_code() != 0) {
    out = rgb_picture{};
    reason = jpeg_error_text(decoder.error());
    return jpeg_file_result::cannot_decode;
  }
  return jpeg_file_result::decoded;
}

std::optional<image_failure> load_jpeg_texture(render_context* context, const char* file_name,
                                               int texture_index) {
  if (context->placeholder_images) {
    create_placeholder(context, texture_index);
    return std::nullopt;
  }
  rgb_picture picture;
  if (auto failure = decode_for_texture(file_name, "Jpg", picture)) return failure;
  flip_rows(picture.rows, picture.width, picture.height);
  generate_texture(context, texture_index);
  upload(context, texture_index, picture, context->compressed_upload && picture.width > 32);
  return std::nullopt;
}

std::optional<image_failure> load_jpeg_normal_map(render_context* context, const char* file_name,
                                                  int texture_index) {
  if (context->placeholder_images) {
    create_placeholder(context, texture_index);
    return std::nullopt;
  }
  rgb_picture picture;
  if (auto failure = decode_for_texture(file_name, "Jpg !", picture)) return failure;
  // The decoded rows are the height picture in decoding order; the normals are computed in the
  // same order and then flipped for GL.
  rgb_picture normals{picture.width, picture.height, std::vector<uint8_t>(picture.rows.size())};
  compute_normal_map(picture.rows.data(), picture.width, picture.height, normals.rows.data());
  picture = rgb_picture{};
  flip_rows(normals.rows, normals.width, normals.height);
  generate_texture(context, texture_index);
  upload(context, texture_index, normals, context->compressed_upload);
  return std::nullopt;
}
