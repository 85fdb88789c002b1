// Loading time of obj_mesh against tinyobjloader on one generated file of about a million
// triangles (a height field of quads with positions, texture coordinates and normals), and the
// welding's worst case: many faces on three positions, every corner a record of its own.
#include <benchmark/benchmark.h>
#include <tiny_obj_loader.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "assets/obj_mesh.h"
#include "assets/tests/obj_tinyobj.h"

namespace {

const int grid = 708;  // 708 x 708 quads: 1,002,528 triangles

std::string generate_file() {
  std::string path = "/tmp/obj_bench_" + std::to_string(grid) + ".obj";
  if (std::FILE* existing = std::fopen(path.c_str(), "rb")) {
    std::fclose(existing);
    return path;
  }
  std::string temporary = path + ".part";
  std::FILE* out = std::fopen(temporary.c_str(), "wb");
  for (int y = 0; y <= grid; ++y)
    for (int x = 0; x <= grid; ++x) {
      double h = std::sin(x * 0.05) * std::cos(y * 0.07);
      double nx = -std::cos(x * 0.05) * std::cos(y * 0.07) * 0.05,
             nz = std::sin(x * 0.05) * std::sin(y * 0.07) * 0.07;
      double length = std::sqrt(nx * nx + 1 + nz * nz);
      std::fprintf(out, "v %.6f %.6f %.6f\nvt %.6f %.6f\nvn %.6f %.6f %.6f\n", x * 0.01 - 3.54, h,
                   y * 0.01 - 3.54, x / double(grid), y / double(grid), nx / length, 1 / length, nz / length);
    }
  for (int y = 0; y < grid; ++y)
    for (int x = 0; x < grid; ++x) {
      int a = y * (grid + 1) + x + 1, b = a + 1, c = a + grid + 2, d = a + grid + 1;
      std::fprintf(out, "f %d/%d/%d %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, d, d, d, c, c, c, b, b, b);
    }
  std::fclose(out);
  std::rename(temporary.c_str(), path.c_str());
  return path;
}

const std::string& bench_file() {
  static const std::string path = generate_file();
  return path;
}

void obj_mesh_load(benchmark::State& state) {
  for (auto _ : state) {
    obj_mesh mesh;
    if (!mesh.load(bench_file().c_str(), false)) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(mesh.vertices.data());
    state.counters["triangles"] = mesh.triangle_count;
  }
}

void tinyobj_load(benchmark::State& state) {
  for (auto _ : state) {
    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string warnings, errors;
    if (!tinyobj::LoadObj(&attrib, &shapes, &materials, &warnings, &errors, bench_file().c_str(), nullptr,
                          false))
      state.SkipWithError("load failed");
    benchmark::DoNotOptimize(attrib.vertices.data());
  }
}

// Not timed: both loaders must give the same corners for the comparison to be fair.
void identical_results(benchmark::State& state) {
  obj_mesh mesh;
  mesh.load(bench_file().c_str(), false);
  std::vector<obj_corner> expected;
  tinyobj_corners(bench_file().c_str(), expected);
  std::vector<obj_corner> actual = mesh_corners(mesh);
  size_t differences = actual.size() == expected.size() ? 0 : actual.size() + expected.size();
  for (size_t i = 0; i < actual.size() && i < expected.size(); ++i) differences += actual[i] != expected[i];
  for (auto _ : state) benchmark::DoNotOptimize(differences);
  state.counters["corners"] = double(actual.size());
  state.counters["differing_corners"] = double(differences);
}

// Three positions and state.range(0) faces whose corners all differ in their texture coordinate,
// read from memory.
void obj_weld_three_positions(benchmark::State& state) {
  const int faces = int(state.range(0));
  std::string text = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
  for (int i = 1; i <= faces; ++i) text += "vt " + std::to_string(i) + " 0.5\n";
  for (int i = 1; i <= faces; ++i) {
    const std::string n = std::to_string(i);
    text += "f 1/" + n + " 2/" + n + " 3/" + n + "\n";
  }
  for (auto _ : state) {
    obj_mesh mesh;
    if (!mesh.load_text(text, false)) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(mesh.vertices.data());
    state.counters["records"] = double(mesh.vertices.size());
  }
}

}  // namespace

BENCHMARK(obj_weld_three_positions)->Arg(15000)->Arg(150000)->Unit(benchmark::kMillisecond);
BENCHMARK(identical_results)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(obj_mesh_load)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(tinyobj_load)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
