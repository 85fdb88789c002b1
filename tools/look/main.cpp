// look_stats A.png B.png [A.png B.png ...]: for each pair of consecutive frames, one row of a
// Markdown table: the folder of A as its label, then mean luma, 5th and 95th percentile, the
// share of flat strong colour (of A), and the flicker of fine detail where the picture is still.
// scripts/look-stats.sh renders such pairs for the whole show and calls this.
#include <stb_image.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/look/look_stats.h"

namespace {

struct loaded {
  int width = 0, height = 0;
  unsigned char* pixels = nullptr;
  explicit loaded(const char* path) {
    int channels = 0;
    pixels = stbi_load(path, &width, &height, &channels, 3);
  }
  ~loaded() { stbi_image_free(pixels); }
  loaded(const loaded&) = delete;
  loaded& operator=(const loaded&) = delete;
  look::image_view view() const { return {pixels, width, height, 3}; }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || (argc - 1) % 2 != 0) {
    std::fprintf(stderr, "usage: look_stats A.png B.png [A.png B.png ...]\n");
    return 2;
  }
  std::printf("| frame | mean | p05 | p95 | flat colour | flicker (1/255) | still |\n");
  std::printf("|---|---|---|---|---|---|---|\n");
  for (int i = 1; i + 1 < argc; i += 2) {
    loaded a(argv[i]), b(argv[i + 1]);
    if (!a.pixels || !b.pixels) {
      std::fprintf(stderr, "look_stats: cannot read %s: %s\n", a.pixels ? argv[i + 1] : argv[i],
                   stbi_failure_reason());
      return 1;
    }
    if (a.width != b.width || a.height != b.height) {
      std::fprintf(stderr, "look_stats: %s and %s differ in size\n", argv[i], argv[i + 1]);
      return 1;
    }
    const look::frame_light light = look::measure_light(a.view());
    const look::frame_flicker flicker = look::measure_flicker(a.view(), b.view());
    const std::string label = std::filesystem::path(argv[i]).parent_path().filename().string();
    std::printf("| %s | %.3f | %.3f | %.3f | %.3f | %.2f | %.2f |\n", label.c_str(), light.mean, light.p05,
                light.p95, light.flat_colour_share, flicker.noise, flicker.still_share);
  }
  return 0;
}
