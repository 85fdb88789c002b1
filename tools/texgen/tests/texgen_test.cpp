// The show's two pictures: the height field tiles without seams, the blob is a soft spot on
// black, and the JPEG files the build wrote decode (with an independent decoder) as baseline
// three-component pictures close to what texgen drew.
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/texgen/pictures.h"

namespace {

using texgen::picture;

// Mean absolute difference between column a and column b (wrapping), or rows when `rows`.
double line_difference(const picture& p, int a, int b, bool rows) {
  double sum = 0;
  for (int i = 0; i < p.width; ++i) {
    int d = rows ? p.at(i, a) - p.at(i, b) : p.at(a, i) - p.at(b, i);
    sum += std::abs(d);
  }
  return sum / p.width;
}

TEST(Texgen, NoiseHeightFieldWrapsWithoutSeams) {
  picture p = texgen::make_noise(512);
  for (bool rows : {false, true}) {
    // The step across the wrap is no bigger than steps inside the picture (which include the
    // joints between stone blocks); unrelated edges would differ by tens of levels.
    double inside = 0;
    for (int i = 0; i + 1 < 512; ++i) inside = std::max(inside, line_difference(p, i, i + 1, rows));
    double seam = line_difference(p, 511, 0, rows);
    EXPECT_LE(seam, inside) << (rows ? "rows" : "columns");
    EXPECT_GT(line_difference(p, 200, 0, rows), 3 * seam) << "distant lines differ";
  }
  int lo = 255, hi = 0;
  for (uint8_t g : p.grey) {
    lo = std::min<int>(lo, g);
    hi = std::max<int>(hi, g);
  }
  EXPECT_GT(hi - lo, 80) << "a flat picture gives a flat normal map";
}

TEST(Texgen, BlobIsASoftSpotOnABlackBorder) {
  picture p = texgen::make_blob(128);
  for (int i = 0; i < 128; ++i) {
    EXPECT_EQ(p.at(i, 0), 0);
    EXPECT_EQ(p.at(i, 127), 0);
    EXPECT_EQ(p.at(0, i), 0);
    EXPECT_EQ(p.at(127, i), 0);
  }
  EXPECT_GT(p.at(64, 64), 220);
  for (int x = 65; x < 127; ++x) EXPECT_LE(p.at(x, 64), p.at(x - 1, 64)) << x;
  EXPECT_GT(p.at(90, 64), 20) << "soft, not a hard disc";
}

std::vector<unsigned char> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

bool has_marker(const std::vector<unsigned char>& f, unsigned char m) {
  for (size_t i = 0; i + 1 < f.size(); ++i) {
    if (f[i] == 0xff && f[i + 1] == m) return true;
  }
  return false;
}

TEST(Texgen, BuiltJpegFilesAreBaselineFullColourResolutionAndFaithful) {
  struct file_case {
    const char* path;
    picture expected;
    int tolerance;
  };
  const file_case files[] = {{"textures/noise.jpg", texgen::make_noise(512), 12},
                             {"textures/blob41b.jpg", texgen::make_blob(128), 6}};
  for (const file_case& f : files) {
    SCOPED_TRACE(f.path);
    auto bytes = read_file(f.path);
    ASSERT_FALSE(bytes.empty());
    EXPECT_TRUE(has_marker(bytes, 0xc0)) << "baseline frame";
    EXPECT_FALSE(has_marker(bytes, 0xc2)) << "no progressive frame";
    tjhandle h = tjInitDecompress();
    int w = 0, ht = 0, sub = 0, space = 0;
    ASSERT_EQ(tjDecompressHeader3(h, bytes.data(), bytes.size(), &w, &ht, &sub, &space), 0);
    EXPECT_EQ(w, f.expected.width);
    EXPECT_EQ(ht, f.expected.height);
    EXPECT_EQ(sub, TJSAMP_444);
    EXPECT_EQ(space, TJCS_YCbCr) << "three components, not greyscale";
    std::vector<unsigned char> rgb(static_cast<size_t>(w) * ht * 3);
    ASSERT_EQ(tjDecompress2(h, bytes.data(), bytes.size(), rgb.data(), w, 0, ht, TJPF_RGB, 0), 0);
    tjDestroy(h);
    int worst = 0;
    double total = 0;
    for (int i = 0; i < w * ht; ++i) {
      int d = std::abs(rgb[3 * i] - f.expected.grey[i]);
      worst = std::max(worst, d);
      total += d;
    }
    EXPECT_LE(worst, f.tolerance);
    EXPECT_LT(total / (w * ht), 1.5);
  }
}

}  // namespace
