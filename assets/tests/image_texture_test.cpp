// The image loaders under a real GL context: uploaded rows, greyscale files, normal maps, the
// placeholder, compressed upload and the failures they report.
#include "assets/image_texture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "assets/tests/image_jpeg_support.h"
#include "engine/random.h"
#include "engine/render_context.h"
#include "tests/support/gl_test_context.h"

namespace {

std::string dir;

class image_texture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = jpeg_test::scratch_dir();
    ASSERT_FALSE(dir.empty());
    auto make = [](const std::string& name, const std::string& picture, const std::string& options) {
      std::string ppm = dir + "/" + name + ".ppm";
      ASSERT_EQ(jpeg_test::run("convert " + picture + " -depth 8 ppm:" + ppm), 0) << picture;
      ASSERT_EQ(jpeg_test::run("cjpeg " + options + " " + ppm + " > " + dir + "/" + name + ".jpg"), 0);
    };
    make("odd", "-size 37x23 -seed 5 plasma:fractal", "-quality 90");
    make("grey", "-size 21x10 -seed 6 plasma:fractal", "-grayscale");
    make("flat", "-size 24x16 xc:gray50", "-quality 100");
    make("ramp_x", "-size 32x32 gradient:black-white -rotate -90", "-quality 100 -sample 1x1");
    make("ramp_y", "-size 32x32 gradient:black-white", "-quality 100 -sample 1x1");
    make("column", "-size 1x16 gradient:black-white", "-quality 100");
    make("wide", "-size 64x32 -seed 7 plasma:fractal", "-quality 90");
    make("narrow", "-size 16x16 -seed 8 plasma:fractal", "-quality 90");
    std::vector<uint8_t> garbage = jpeg_test::read_file(dir + "/wide.jpg");
    garbage.resize(garbage.size() / 2);  // keep the headers, then corrupt the entropy data
    for (size_t i = garbage.size() - 200; i < garbage.size(); ++i) garbage[i] = 0xFF;
    garbage.insert(garbage.end(), {0xD0, 0xFF, 0xD9});
    jpeg_test::write_file(dir + "/late_error.jpg", garbage);
    jpeg_test::write_file(dir + "/not_a.jpg", std::vector<uint8_t>(100, 'x'));
    // Cut inside the entropy data, and a progressive file cut before its last scans.
    std::vector<uint8_t> wide = jpeg_test::read_file(dir + "/wide.jpg");
    wide.resize(wide.size() * 3 / 4);
    jpeg_test::write_file(dir + "/truncated.jpg", wide);
    make("progressive", "-size 64x32 -seed 9 plasma:fractal", "-progressive");
    std::vector<uint8_t> progressive = jpeg_test::read_file(dir + "/progressive.jpg");
    progressive.resize(progressive.size() / 2);
    jpeg_test::write_file(dir + "/progressive_cut.jpg", progressive);
  }
  static void TearDownTestSuite() { std::filesystem::remove_all(dir); }

  void SetUp() override {
    test_gl::ensure_context();
    context_.compressed_upload = false;
  }

  std::string path(const char* name) { return dir + "/" + name; }

  // Level 0 of the bound texture as tight RGB rows, first row first.
  std::vector<uint8_t> read_back(int& w, int& h) {
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    std::vector<uint8_t> rgb(size_t(w) * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
  }

  GLint bound() {
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
  }

  render_context context_;
};

TEST_F(image_texture, picture_is_uploaded_bottom_line_first_at_its_own_size) {
  context_.texture_slot(5) = 12345;  // overwritten, not deleted
  EXPECT_FALSE(load_jpeg_texture(&context_, path("odd.jpg").c_str(), 5).has_value());
  ASSERT_NE(context_.texture_slot(5), 12345u);
  EXPECT_EQ(bound(), GLint(context_.texture_slot(5)));
  int w = 0, h = 0;
  std::vector<uint8_t> got = read_back(w, h);
  ASSERT_EQ(w, 37);  // 3 x 37 bytes per row: not a multiple of 4
  ASSERT_EQ(h, 23);
  jpeg_test::decode_result ref = jpeg_test::decode(jpeg_test::read_file(path("odd.jpg")), true);
  ASSERT_EQ(ref.stage, 3);
  for (int y = 0; y < h; ++y)
    for (int i = 0; i < w * 3; ++i)
      ASSERT_EQ(got[size_t(y) * w * 3 + i], ref.image.pixels[size_t(h - 1 - y) * w * 3 + i]) << "row " << y;
  EXPECT_EQ(test_gl::drain_errors(), GLenum(GL_NO_ERROR));
}

TEST_F(image_texture, greyscale_files_become_grey_rgb) {
  load_jpeg_texture(&context_, path("grey.jpg").c_str(), 1);
  int w = 0, h = 0;
  std::vector<uint8_t> got = read_back(w, h);
  ASSERT_EQ(w, 21);
  jpeg_test::decode_result ref = jpeg_test::decode(jpeg_test::read_file(path("grey.jpg")), true);
  ASSERT_EQ(ref.image.channels, 1);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c)
        ASSERT_EQ(got[(size_t(y) * w + x) * 3 + c], ref.image.pixels[size_t(h - 1 - y) * w + x]);
}

TEST_F(image_texture, normal_maps_of_flat_ramps_and_thin_pictures) {
  int w = 0, h = 0;
  load_jpeg_normal_map(&context_, path("flat.jpg").c_str(), 2);
  std::vector<uint8_t> flat = read_back(w, h);
  ASSERT_EQ(w * h, 24 * 16);
  for (size_t i = 0; i < flat.size(); i += 3) {
    ASSERT_EQ(flat[i], 127);
    ASSERT_EQ(flat[i + 1], 127);
    ASSERT_EQ(flat[i + 2], 255);
  }
  // Rising to the right: negative x component. Rising towards the bottom lines (white at the
  // bottom of the picture, which is GL's first row): positive y component. Interior pixels only,
  // the wrap-around edges see the jump back.
  load_jpeg_normal_map(&context_, path("ramp_x.jpg").c_str(), 3);
  std::vector<uint8_t> rx = read_back(w, h);
  load_jpeg_normal_map(&context_, path("ramp_y.jpg").c_str(), 4);
  std::vector<uint8_t> ry = read_back(w, h);
  for (int y = 2; y < 30; ++y)
    for (int x = 2; x < 30; ++x) {
      size_t i = (size_t(y) * 32 + x) * 3;
      EXPECT_LT(rx[i], 127) << x << "," << y;
      EXPECT_GT(ry[i + 1], 127) << x << "," << y;
    }
  // One pixel wide: the wrapped neighbours are the pixel itself, so x has no gradient.
  load_jpeg_normal_map(&context_, path("column.jpg").c_str(), 6);
  std::vector<uint8_t> col = read_back(w, h);
  ASSERT_EQ(w, 1);
  for (int y = 0; y < h; ++y) EXPECT_EQ(col[size_t(y) * 3], 127);
}

TEST_F(image_texture, placeholder_replaces_decoding) {
  context_.placeholder_images = true;
  random_seed(77);
  // The file is not even opened.
  EXPECT_FALSE(load_jpeg_texture(&context_, path("missing.jpg").c_str(), 7).has_value());
  int w = 0, h = 0;
  std::vector<uint8_t> got = read_back(w, h);
  ASSERT_EQ(w, 8);
  ASSERT_EQ(h, 8);
  random_seed(77);
  for (int i = 0; i < 192; ++i) {
    int expected = 50 + random_next() % 200;
    if (i < 8 || i > 184 || i % 8 == 0) expected = 255;
    ASSERT_EQ(got[i], expected) << "byte " << i;
  }
  EXPECT_FALSE(load_jpeg_normal_map(&context_, path("missing.jpg").c_str(), 8).has_value());
  EXPECT_NE(context_.texture_slot(8), 0u);
}

TEST_F(image_texture, compressed_upload_skips_narrow_plain_textures_only) {
  context_.compressed_upload = true;
  GLint compressed = 0;
  load_jpeg_texture(&context_, path("wide.jpg").c_str(), 9);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_COMPRESSED_ARB, &compressed);
  int w = 0, h = 0;
  read_back(w, h);
  EXPECT_EQ(w, 64);
  if (!compressed) GTEST_SKIP() << "the driver does not compress GL_COMPRESSED_RGB_ARB";
  load_jpeg_texture(&context_, path("narrow.jpg").c_str(), 10);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_COMPRESSED_ARB, &compressed);
  EXPECT_FALSE(compressed);
  load_jpeg_normal_map(&context_, path("narrow.jpg").c_str(), 11);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_COMPRESSED_ARB, &compressed);
  EXPECT_TRUE(compressed);
  EXPECT_EQ(test_gl::drain_errors(), GLenum(GL_NO_ERROR));
}

TEST_F(image_texture, failures_name_the_file_the_caption_and_the_reason_and_upload_nothing) {
  struct failure {
    bool normal_map;
    std::string file;
    const char* caption;
    std::string reason;
  };
  const std::string truncated = "truncated: the picture's data ends before the picture";
  const failure failures[] = {
      {false, path("missing.jpg"), "Jpg", "cannot open: No such file or directory"},
      {true, path("missing.jpg"), "Jpg !", "cannot open: No such file or directory"},
      {false, path("not_a.jpg"), "Jpg !", "not a JPEG file (no start-of-image marker)"},
      {true, path("not_a.jpg"), "Jpg !", "not a JPEG file (no start-of-image marker)"},
      {false, path("late_error.jpg"), "Jpg !", ""},
      {false, path("truncated.jpg"), "Jpg !", truncated},
      {true, path("truncated.jpg"), "Jpg !", truncated},
      {false, path("progressive_cut.jpg"), "Jpg !", truncated},
  };
  for (const failure& f : failures) {
    context_.texture_slot(20) = 0;
    testing::internal::CaptureStderr();
    const std::optional<image_failure> failure = f.normal_map
                                                     ? load_jpeg_normal_map(&context_, f.file.c_str(), 20)
                                                     : load_jpeg_texture(&context_, f.file.c_str(), 20);
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(failure.has_value()) << f.file;
    EXPECT_EQ(failure->file_name, f.file);
    EXPECT_STREQ(failure->caption, f.caption) << f.file;
    EXPECT_EQ(context_.texture_slot(20), 0u) << "nothing is uploaded for " << f.file;
    // The caller tells the viewer and ends the program: the loader prints nothing.
    EXPECT_EQ(err, "") << f.file;
    // A damaged scan has a reason of its own.
    EXPECT_FALSE(failure->reason.empty()) << f.file;
    if (!f.reason.empty()) {
      EXPECT_EQ(failure->reason, f.reason) << f.file;
    }
  }
}

TEST_F(image_texture, decode_jpeg_file_gives_rows_top_line_first) {
  rgb_picture picture;
  std::string reason;
  ASSERT_EQ(decode_jpeg_file(path("odd.jpg").c_str(), picture, reason), jpeg_file_result::decoded);
  jpeg_test::decode_result ref = jpeg_test::decode(jpeg_test::read_file(path("odd.jpg")), true);
  EXPECT_EQ(picture.width, 37);
  EXPECT_EQ(picture.height, 23);
  EXPECT_EQ(picture.rows, ref.image.pixels);
  EXPECT_EQ(decode_jpeg_file(path("truncated.jpg").c_str(), picture, reason),
            jpeg_file_result::cannot_decode);
  EXPECT_TRUE(picture.rows.empty());
  EXPECT_EQ(reason, "truncated: the picture's data ends before the picture");
}

}  // namespace
