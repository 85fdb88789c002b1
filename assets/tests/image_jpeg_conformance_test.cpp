// Decodes a matrix of files made by libjpeg-turbo's cjpeg and compares every pixel with djpeg's
// output (-nosmooth: chroma is replicated, as our decoder does). The accurate transform must stay
// within 1 of djpeg's accurate integer transform, the fast one within 3 of djpeg's fast one.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/tests/image_jpeg_support.h"

namespace {

using jpeg_test::picture;

struct error_stats {
  int max = 0;
  double sum = 0;
  size_t samples = 0;
  void add(int diff) {
    max = std::max(max, diff);
    sum += diff;
    ++samples;
  }
  double mean() const { return samples ? sum / double(samples) : 0.0; }
};

// Largest per-sample difference between two pictures (-1 when their shapes differ).
int compare(const picture& ours, const picture& ref, error_stats& stats) {
  if (ours.width != ref.width || ours.height != ref.height || ours.channels != ref.channels ||
      ours.pixels.size() != ref.pixels.size())
    return -1;
  int worst = 0;
  for (size_t i = 0; i < ours.pixels.size(); ++i) {
    int d = std::abs(int(ours.pixels[i]) - int(ref.pixels[i]));
    worst = std::max(worst, d);
    stats.add(d);
  }
  return worst;
}

struct source {
  const char* name;
  const char* generator;  // ImageMagick arguments before the size
};

const source sources[] = {
    {"plasma", "-seed 7 plasma:fractal"},
    {"noise", "gradient:yellow-navy -seed 5 -attenuate 0.7 +noise Uniform"},
    {"bricks", "pattern:bricks -fill orange -colorize 40%"},
};

const char* const samplings[] = {"-sample 1x1", "-sample 2x1", "-sample 1x2", "-sample 2x2", "-grayscale"};

const char* const small_modes[] = {
    "", "-progressive", "-optimize", "-restart 3B", "-progressive -restart 2B", "-optimize -restart 1"};
const char* const large_modes[] = {"", "-progressive", "-optimize -restart 1"};
const int qualities[] = {5, 20, 50, 75, 90, 100};

class conformance : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = jpeg_test::scratch_dir();
    ASSERT_FALSE(dir_.empty());
    ASSERT_EQ(jpeg_test::run("command -v cjpeg djpeg convert >/dev/null"), 0)
        << "cjpeg, djpeg (libjpeg-turbo-progs) and convert (imagemagick) are needed";
  }
  void TearDown() override {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }

  std::string make_source(const source& s, int w, int h) {
    std::string path = dir_ + "/" + s.name + "_" + std::to_string(w) + "x" + std::to_string(h) + ".ppm";
    std::string cmd = std::string("convert -size ") + std::to_string(w) + "x" + std::to_string(h) + " " +
                      s.generator + " -depth 8 ppm:" + path + " 2>/dev/null";
    EXPECT_EQ(jpeg_test::run(cmd), 0) << cmd;
    return path;
  }

  // Encodes src with the options, decodes with both transforms and compares with djpeg.
  void check(const std::string& src, const std::string& options, int quality, const std::string& label) {
    std::string jpg = dir_ + "/t.jpg";
    std::string enc = "cjpeg -quality " + std::to_string(quality) + " " + options + " " + src + " > " + jpg +
                      " 2>/dev/null";
    ASSERT_EQ(jpeg_test::run(enc), 0) << enc;
    check_bytes(jpeg_test::read_file(jpg), label + " q" + std::to_string(quality) + " " + options);
  }

  // Decodes a file with both transforms and compares with djpeg.
  void check_bytes(const std::vector<uint8_t>& data, const std::string& label) {
    std::string jpg = dir_ + "/c.jpg", ref = dir_ + "/ref.pnm";
    jpeg_test::write_file(jpg, data);
    ++cases_;
    for (int fast = 0; fast < 2; ++fast) {
      std::string dec =
          std::string("djpeg -nosmooth -dct ") + (fast ? "fast" : "int") + " -pnm " + jpg + " > " + ref;
      ASSERT_EQ(jpeg_test::run(dec), 0) << dec;
      picture expected = jpeg_test::read_pnm(ref);
      jpeg_test::decode_result got = jpeg_test::decode(data, fast == 1);
      ASSERT_EQ(got.error_code, 0) << label;
      error_stats& stats = fast ? fast_ : accurate_;
      int worst = compare(got.image, expected, stats);
      EXPECT_GE(worst, 0) << label << ": picture shape differs";
      EXPECT_LE(worst, fast ? 3 : 1) << label << (fast ? " (fast)" : " (accurate)");
    }
  }

  std::string dir_;
  int cases_ = 0;
  error_stats accurate_, fast_;
};

TEST_F(conformance, matches_djpeg_over_sizes_samplings_modes_and_qualities) {
  const int small_sizes[][2] = {{1, 1}, {7, 9}, {17, 13}};
  int q = 0;
  for (auto& size : small_sizes)
    for (const source& s : sources) {
      std::string src = make_source(s, size[0], size[1]);
      for (const char* sampling : samplings)
        for (const char* mode : small_modes) {
          std::string label =
              std::string(s.name) + " " + std::to_string(size[0]) + "x" + std::to_string(size[1]);
          check(src, std::string(sampling) + " " + mode, qualities[q++ % 6], label);
        }
    }
  // Scan scripts: sequential with one component per scan (decoded through the coefficient
  // buffers), and progressive with successive approximation of DC and AC.
  const std::string scripts[] = {"0;\n1;\n2;\n",
                                 "0,1,2: 0-0, 0, 2;\n0: 1-5, 0, 1;\n1: 1-63, 0, 0;\n2: 1-63, 0, 0;\n"
                                 "0: 6-63, 0, 1;\n0,1,2: 0-0, 2, 1;\n0,1,2: 0-0, 1, 0;\n0: 1-63, 1, 0;\n"};
  for (int i = 0; i < 2; ++i) {
    std::string file = dir_ + "/scans" + std::to_string(i) + ".txt";
    jpeg_test::write_file(file, std::vector<uint8_t>(scripts[i].begin(), scripts[i].end()));
    std::string src = make_source(sources[i], 17, 13);
    for (int sampling = 0; sampling < 4; ++sampling)
      check(src, std::string(samplings[sampling]) + " -scans " + file, qualities[q++ % 6], "scan script");
  }

  std::string large = make_source(sources[0], 1023, 767);
  const int large_qualities[] = {85, 95, 30};
  for (const char* sampling : samplings)
    for (int m = 0; m < 3; ++m)
      check(large, std::string(sampling) + " " + large_modes[m], large_qualities[m], "plasma 1023x767");

  std::printf("conformance: %d files; accurate: max %d mean %.4f; fast: max %d mean %.4f\n", cases_,
              accurate_.max, accurate_.mean(), fast_.max, fast_.mean());
  RecordProperty("accurate_mean_error", std::to_string(accurate_.mean()));
  RecordProperty("fast_mean_error", std::to_string(fast_.mean()));
}

// Offset of the first segment with the given marker code before the first scan, -1 if none.
long segment_at(const std::vector<uint8_t>& d, int code) {
  for (size_t pos = 2; pos + 4 <= d.size() && d[pos] == 0xFF;
       pos += 2 + (size_t(d[pos + 2]) << 8 | d[pos + 3])) {
    if (d[pos + 1] == code) return long(pos);
    if (d[pos + 1] == 0xDA) break;
  }
  return -1;
}

// Three components stored as RGB, as cjpeg -rgb writes them (an Adobe marker with transform 0,
// components named 'R', 'G', 'B'), and the other ways the reference decoders decide the colour
// space: the names alone, an Adobe marker saying YCbCr, a JFIF marker overruling Adobe's.
TEST_F(conformance, colour_space_is_decided_as_the_reference_decoders_do) {
  std::string src = make_source(sources[0], 37, 21);
  for (const char* options : {"-rgb", "-rgb -sample 2x2", "-rgb -sample 2x1 -progressive", "-rgb -restart 1"})
    check(src, options, 90, "rgb");

  std::string jpg = dir_ + "/rgb.jpg";
  ASSERT_EQ(jpeg_test::run("cjpeg -rgb -quality 90 " + src + " > " + jpg), 0);
  const std::vector<uint8_t> rgb = jpeg_test::read_file(jpg);
  const long adobe = segment_at(rgb, 0xEE);
  ASSERT_GT(adobe, 0) << "cjpeg -rgb writes an Adobe marker";
  ASSERT_EQ(rgb[size_t(adobe) + 15], 0) << "with transform 0";
  {
    jpeg_test::memory_stream stream(rgb);
    jpeg_decoder d(&stream, true);
    ASSERT_EQ(d.begin_decoding(), 0);
    EXPECT_TRUE(d.rgb());
  }
  std::vector<uint8_t> names_only = rgb;
  names_only.erase(names_only.begin() + adobe, names_only.begin() + adobe + 16);
  check_bytes(names_only, "rgb names without an Adobe marker");
  std::vector<uint8_t> adobe_ycc = rgb;
  adobe_ycc[size_t(adobe) + 15] = 1;
  check_bytes(adobe_ycc, "rgb data with an Adobe marker saying YCbCr");
  const std::vector<uint8_t> jfif = {0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
  std::vector<uint8_t> jfif_and_adobe = rgb;
  jfif_and_adobe.insert(jfif_and_adobe.begin() + 2, jfif.begin(), jfif.end());
  check_bytes(jfif_and_adobe, "rgb data with JFIF and Adobe markers");
}

}  // namespace
