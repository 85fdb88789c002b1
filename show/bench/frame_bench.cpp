// Cost of one frame of the show: the scene's CPU side (tracks rebuilt, tubes swept into memory, no
// GL) and whole frames of render on the current GL driver. Whole frames use the real data files
// when the working directory has them (build/bin), else small stand-ins.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "engine/render_context.h"
#include "engine/sweep_tube.h"
#include "runtime/demo_state.h"
#include "show/frame_passes.h"
#include "show/part_start.h"
#include "show/scene.h"
#include "show/tests/show_test_support.h"
#include "tests/support/gl_test_context.h"

namespace {

namespace fs = std::filesystem;

// Sweeps every tube into memory and ignores everything else.
struct sweep_only_output : scene_output {
  tube_recording geometry;
  size_t quads = 0;
  void perspective(int, int, double, double, double) override {}
  void look_at(const vec3&, const vec3&, const vec3&) override {}
  void clear_color(float, float, float, float) override {}
  void clear() override {}
  void reset_state() override {}
  void use_program(int) override {}
  void use_fixed_function() override {}
  void uniform_f(const char*, double) override {}
  void uniform_i(const char*, int) override {}
  void sampler(const char*, int, int, bool) override {}
  void projector_matrix(const char*, double, double, double, double) override {}
  void push() override {}
  void pop() override {}
  void translate(double, double, double) override {}
  void rotate(double, double, double, double) override {}
  void scale(double, double, double) override {}
  void color(float, float, float) override {}
  void element_state() override {}
  void draw_mesh(obj_mesh&, int) override {}
  void tube(spline_track& track, int segments, int sides) override {
    geometry.clear();
    vec3 up{1, 0, 0, 1};
    const double start = 0, end = segments;
    sweep_tube(geometry, track, up, start, end, segments, sides);
    quads += geometry.normals.size();
  }
  void finish() override {}
};

void BM_scene_cpu(benchmark::State& state) {
  demo.render_width = 1280;
  demo.render_height = 720;
  part_start part;
  render_context context;
  part.ttime = part.fttime = static_cast<double>(state.range(0));
  sweep_only_output out;
  for (auto _ : state) draw_scene(part, context, false, false, out);
  state.counters["quads_per_frame"] =
      benchmark::Counter(static_cast<double>(out.quads) / state.iterations(), benchmark::Counter::kDefaults);
}
BENCHMARK(BM_scene_cpu)->Arg(50)->Arg(175)->Arg(191)->Unit(benchmark::kMillisecond);

part_start* gl_part = nullptr;

// One show part for all GL runs, initialised at 1280 x 720 on first use.
part_start& shared_gl_part() {
  if (gl_part) return *gl_part;
  test_gl::ensure_context(1280, 720);
  window_gl_defaults();
  demo.screen_width = demo.render_width = 1280;
  demo.screen_height = demo.render_height = 720;
  if (!fs::exists("Materials/v_material1.cpp") || !fs::exists("textures/noise.jpg")) {
    char scratch[] = "/tmp/show_bench_XXXXXX";
    fs::path dir = mkdtemp(scratch);
    write_stand_in_assets(dir);
    fs::current_path(dir);
    global_render_context.placeholder_images = true;
  }
  global_render_context.compressed_upload = false;
  global_render_context.create_target(0, 1280, 720, 0);
  global_render_context.create_target(1, 640, 360, 0);
  gl_part = new part_start;
  gl_part->init(&global_render_context);
  return *gl_part;
}

void BM_frame_gl(benchmark::State& state) {
  part_start& part = shared_gl_part();
  frame_state record{};
  const double t = static_cast<double>(state.range(0));
  for (auto _ : state) {
    part.ttime = part.fttime = t;
    double step = 0.0;
    part.render(&step, &global_render_context, &record);
    glFinish();
  }
}
BENCHMARK(BM_frame_gl)->Arg(50)->Arg(175)->Arg(191)->Unit(benchmark::kMillisecond)->UseRealTime();

// Each pass of the frame on its own, bracketed by glFinish, at show times across the show: the
// counters are milliseconds per pass; their sum is a little above BM_frame_gl's time (the
// pipeline drains between passes).
void BM_passes_gl(benchmark::State& state) {
  part_start& part = shared_gl_part();
  render_context& context = global_render_context;
  frame_state record{};
  const double t = static_cast<double>(state.range(0));
  const int w = demo.render_width, h = demo.render_height;
  using clock = std::chrono::steady_clock;
  double scene = 0, combine = 0, highlights = 0, god_rays = 0, final = 0;
  auto timed = [](double& total, auto&& pass) {
    const auto start = clock::now();
    pass();
    glFinish();
    total += std::chrono::duration<double, std::milli>(clock::now() - start).count();
  };
  for (auto _ : state) {
    part.ttime = part.fttime = t;
    record.scene_time = t;
    begin_show_frame(part, 0.0, context, record);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glFinish();
    timed(scene, [&] { scene_pass(part, context, w, h); });
    timed(combine, [&] { combine_pass(part, context, w, h); });
    timed(highlights, [&] { highlight_pass(part, context, w, h); });
    timed(god_rays, [&] { god_ray_pass(part, context, w, h); });
    timed(final, [&] { final_composition(part, context, w, h); });
    clean_up(part, context);
    glPopAttrib();
    end_show_frame(part, record);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["scene_ms"] = scene / n;
  state.counters["combine_ms"] = combine / n;
  state.counters["highlights_ms"] = highlights / n;
  state.counters["godrays_ms"] = god_rays / n;
  state.counters["final_ms"] = final / n;
}
BENCHMARK(BM_passes_gl)->DenseRange(10, 210, 25)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
