// Decoding speed of our JPEG decoder against libjpeg-turbo (TurboJPEG) and stb_image on the same
// files: a ~3-megapixel 4:2:0 baseline, the same picture 4:4:4, and progressive 4:2:0. The files
// are made at start-up with ImageMagick and cjpeg. Every decoder decodes from memory to
// 4 bytes per pixel (stb_image: 3, its cheapest colour output).
#include <benchmark/benchmark.h>
#include <stb/stb_image.h>
#include <turbojpeg.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/jpeg/jpeg_decoder.h"
#include "assets/tests/image_jpeg_support.h"

namespace {

struct bench_file {
  const char* name;
  const char* options;
  std::vector<uint8_t> data;
};
bench_file files[] = {{"baseline_420", "-sample 2x2", {}},
                      {"baseline_444", "-sample 1x1", {}},
                      {"progressive_420", "-sample 2x2 -progressive", {}}};

bool make_files() {
  std::string dir = jpeg_test::scratch_dir();
  std::string src = dir + "/src.ppm";
  if (jpeg_test::run(
          "convert -size 2048x1536 -seed 11 plasma:fractal -attenuate 0.3 +noise Gaussian -depth 8 ppm:" +
          src) != 0)
    return false;
  for (bench_file& f : files) {
    std::string out = dir + "/" + f.name + ".jpg";
    if (jpeg_test::run(std::string("cjpeg -quality 85 ") + f.options + " " + src + " > " + out) != 0)
      return false;
    f.data = jpeg_test::read_file(out);
  }
  std::filesystem::remove_all(dir);
  return true;
}

void ours(benchmark::State& state, int index, bool simd) {
  const std::vector<uint8_t>& data = files[index].data;
  for (auto _ : state) {
    jpeg_test::memory_stream stream(data);
    jpeg_decoder d(&stream, simd);
    if (d.begin_decoding() != 0) state.SkipWithError("decode failed");
    const uint8_t* line = nullptr;
    int length = 0;
    while (d.decode_line(line, length) == 0) benchmark::DoNotOptimize(line);
  }
}

void turbo(benchmark::State& state, int index, int flags) {
  const std::vector<uint8_t>& data = files[index].data;
  tjhandle h = tjInitDecompress();
  int w = 0, hgt = 0, sub = 0, cs = 0;
  tjDecompressHeader3(h, data.data(), data.size(), &w, &hgt, &sub, &cs);
  std::vector<uint8_t> out(size_t(w) * hgt * 4);
  for (auto _ : state) {
    if (tjDecompress2(h, data.data(), data.size(), out.data(), w, 0, hgt, TJPF_RGBX, flags) != 0)
      state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(out.data());
  }
  tjDestroy(h);
}

void stb(benchmark::State& state, int index) {
  const std::vector<uint8_t>& data = files[index].data;
  for (auto _ : state) {
    int w, h, n;
    unsigned char* p = stbi_load_from_memory(data.data(), int(data.size()), &w, &h, &n, 3);
    if (!p) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(p);
    stbi_image_free(p);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (!make_files()) {
    std::fprintf(stderr, "cannot make the benchmark files (convert, cjpeg)\n");
    return 1;
  }
  for (int i = 0; i < 3; ++i) {
    std::string n = files[i].name;
    benchmark::RegisterBenchmark((n + "/ours_fast").c_str(), ours, i, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((n + "/ours_accurate").c_str(), ours, i, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((n + "/turbojpeg_fast").c_str(), turbo, i,
                                 TJFLAG_FASTDCT | TJFLAG_FASTUPSAMPLE)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((n + "/turbojpeg_default").c_str(), turbo, i, 0)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((n + "/stb_image").c_str(), stb, i)->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
