// The jpeg_decode tool: output files, exit statuses and the benchmark mode.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "assets/tests/image_jpeg_support.h"

namespace {

TEST(jpeg_decode_tool, writes_pnm_and_reports_failures_by_exit_status) {
  std::string dir = jpeg_test::scratch_dir();
  ASSERT_FALSE(dir.empty());
  ASSERT_EQ(jpeg_test::run("convert -size 19x11 -seed 9 plasma:fractal -depth 8 ppm:" + dir + "/s.ppm"), 0);
  ASSERT_EQ(jpeg_test::run("cjpeg -sample 2x2 " + dir + "/s.ppm > " + dir + "/c.jpg"), 0);
  ASSERT_EQ(jpeg_test::run("cjpeg -grayscale " + dir + "/s.ppm > " + dir + "/g.jpg"), 0);
  ASSERT_EQ(jpeg_test::run("cjpeg -arithmetic " + dir + "/s.ppm > " + dir + "/a.jpg"), 0);
  const std::string tool = "./jpeg_decode ";  // tests run in build/bin

  EXPECT_EQ(jpeg_test::run(tool + dir + "/c.jpg " + dir + "/c.ppm"), 0);
  jpeg_test::picture colour = jpeg_test::read_pnm(dir + "/c.ppm");
  EXPECT_EQ(colour.channels, 3);
  EXPECT_EQ(colour.width, 19);
  EXPECT_EQ(colour.height, 11);
  jpeg_test::decode_result ref = jpeg_test::decode(jpeg_test::read_file(dir + "/c.jpg"), true);
  EXPECT_EQ(colour.pixels, ref.image.pixels);

  EXPECT_EQ(jpeg_test::run(tool + "--idct=accurate " + dir + "/g.jpg " + dir + "/g.pgm"), 0);
  EXPECT_EQ(jpeg_test::read_pnm(dir + "/g.pgm").channels, 1);

  EXPECT_EQ(jpeg_test::run(tool + dir + "/a.jpg " + dir + "/a.ppm 2> " + dir + "/err.txt"), 1);
  std::vector<uint8_t> err = jpeg_test::read_file(dir + "/err.txt");
  EXPECT_EQ(std::string(err.begin(), err.end()),
            dir + "/a.jpg: error_code=-215: arithmetic coding, which is not supported\n");
  EXPECT_EQ(jpeg_test::run(tool + dir + "/missing.jpg " + dir + "/m.ppm 2> " + dir + "/err.txt"), 2);
  err = jpeg_test::read_file(dir + "/err.txt");
  EXPECT_EQ(std::string(err.begin(), err.end()),
            dir + "/missing.jpg: cannot open: No such file or directory\n");
  // A file cut short is an error, not a picture filled up with grey.
  std::vector<uint8_t> cut = jpeg_test::read_file(dir + "/c.jpg");
  cut.resize(cut.size() - 40);
  jpeg_test::write_file(dir + "/cut.jpg", cut);
  EXPECT_EQ(jpeg_test::run(tool + dir + "/cut.jpg " + dir + "/cut.ppm 2> " + dir + "/err.txt"), 1);
  err = jpeg_test::read_file(dir + "/err.txt");
  EXPECT_EQ(std::string(err.begin(), err.end()),
            dir + "/cut.jpg: error_code=-234: truncated: the picture's data ends before the picture\n");

  EXPECT_EQ(jpeg_test::run(tool + "--bench 3 " + dir + "/c.jpg > " + dir + "/bench.txt"), 0);
  std::vector<uint8_t> out = jpeg_test::read_file(dir + "/bench.txt");
  EXPECT_EQ(std::string(out.begin(), out.end()).rfind("decode_ms=", 0), 0u);
  std::filesystem::remove_all(dir);
}

}  // namespace
