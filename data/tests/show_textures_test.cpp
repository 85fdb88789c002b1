// The show's two pictures through the program's own JPEG decoder (the SIMD path the image
// loaders use): they decode as three-component, non-progressive pictures close to what texgen drew.
#include <gtest/gtest.h>

#include <cstdlib>

#include "assets/jpeg/jpeg_decoder.h"
#include "assets/jpeg/jpeg_decoder_stream.h"
#include "tools/texgen/pictures.h"

namespace {

TEST(ShowTextures, DecodeWithTheProgramsDecoderCloseToThePictures) {
  struct file_case {
    const char* path;
    texgen::picture expected;
    int tolerance;
  };
  const file_case files[] = {{"textures/noise.jpg", texgen::make_noise(512), 12},
                             {"textures/blob41b.jpg", texgen::make_blob(128), 6}};
  for (const file_case& f : files) {
    SCOPED_TRACE(f.path);
    jpeg_decoder_file_stream stream;
    ASSERT_TRUE(stream.open(f.path));
    jpeg_decoder decoder(&stream, true);
    ASSERT_EQ(decoder.error_code(), 0);
    EXPECT_EQ(decoder.component_count(), 3) << "the loaders expect colour lines";
    EXPECT_FALSE(decoder.progressive());
    ASSERT_EQ(decoder.width(), f.expected.width);
    ASSERT_EQ(decoder.height(), f.expected.height);
    ASSERT_EQ(decoder.begin_decoding(), 0);
    int worst = 0, lines = 0;
    const uint8_t* line = nullptr;
    int length = 0;
    while (decoder.decode_line(line, length) == 0) {
      ASSERT_EQ(length, f.expected.width * 4);
      for (int x = 0; x < f.expected.width; ++x) {
        for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(line[4 * x + c] - f.expected.at(x, lines)));
      }
      ++lines;
    }
    EXPECT_EQ(lines, f.expected.height);
    EXPECT_EQ(decoder.error_code(), 0);
    EXPECT_LE(worst, f.tolerance);
  }
}

}  // namespace
