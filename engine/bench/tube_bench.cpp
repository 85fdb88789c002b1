// CPU cost of one frame's tubes: the show's mix of tube sizes (count x segments/sides), swept into
// the recording sink (geometry only) and into immediate-mode GL on the current driver.
#include <GL/glew.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "engine/random.h"
#include "engine/render_context.h"
#include "engine/sweep_tube.h"
#include "tests/support/gl_test_context.h"

namespace {

struct tube_job {
  spline_track track;
  int segments;
  int sides;
};

// One frame's tubes: 5 x 100/40, 10 x 50/3, 5 x 100/40, 10 x 100/6, 10 x 100/3, 3 x 100/5, each on
// a 100-key track winding around the view with random radii.
std::vector<tube_job> frame_tubes() {
  const int mix[][3] = {{5, 100, 40}, {10, 50, 3}, {5, 100, 40}, {10, 100, 6}, {10, 100, 3}, {3, 100, 5}};
  std::vector<tube_job> jobs;
  random_seed(42);
  for (const auto& [count, segments, sides] : mix) {
    for (int c = 0; c < count; ++c) {
      tube_job job{{}, segments, sides};
      const float x = float(random_unit() * 8 - 4), z = float(random_unit() * 4 - 2);
      for (int k = 0; k < 100; ++k) {
        job.track.channel0.push_back({1, x + std::sin(k * 0.2f), k * 0.4f - 20.0f, z + std::cos(k * 0.13f)});
        job.track.channel1.push_back({1, float(0.05 + 0.2 * random_unit()), 0, 0});
        job.track.channel2.push_back({1, 0, 0, 0});
        ++job.track.key_count;
      }
      jobs.push_back(std::move(job));
    }
  }
  return jobs;
}

template <class Sink>
void sweep_frame(Sink& sink, std::vector<tube_job>& jobs) {
  const vec3 up{1, 0, 0, 1};
  const double start = 0.0;
  for (tube_job& job : jobs) {
    const double end = job.segments;
    sweep_tube(sink, job.track, up, start, end, job.segments, job.sides);
  }
}

void BM_TubeFrameRecording(benchmark::State& state) {
  std::vector<tube_job> jobs = frame_tubes();
  tube_recording sink;
  for (auto _ : state) {
    sink.clear();
    sweep_frame(sink, jobs);
    benchmark::DoNotOptimize(sink.vertices.data());
  }
  state.counters["quads"] = double(sink.normals.size());
}
BENCHMARK(BM_TubeFrameRecording)->Unit(benchmark::kMillisecond);

// Renders into a 1280 x 720 render target with depth test and one light, looking down the tubes.
void prepare_gl() {
  test_gl::ensure_context();
  static render_context context;
  static bool made = false;
  if (!made) {
    context.create_target(0, 1280, 720, 0);
    made = true;
  }
  context.bind_target(0, 1);
  glViewport(0, 0, 1280, 720);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(75, 1280.0 / 720.0, 0.1, 100);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(0, -24, 0, 0, 0, 0, 0, 0, 1);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// The calls only: the time to issue one frame's tubes.
void BM_TubeFrameImmediateGL(benchmark::State& state) {
  std::vector<tube_job> jobs = frame_tubes();
  prepare_gl();
  tube_gl_sink sink;
  for (auto _ : state) {
    sweep_frame(sink, jobs);
    state.PauseTiming();
    glFinish();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFinish();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_TubeFrameImmediateGL)->Unit(benchmark::kMillisecond);

// Calls plus waiting for the driver to finish drawing them (llvmpipe rasterises on the CPU).
void BM_TubeFrameImmediateGLFinish(benchmark::State& state) {
  std::vector<tube_job> jobs = frame_tubes();
  prepare_gl();
  tube_gl_sink sink;
  for (auto _ : state) {
    sweep_frame(sink, jobs);
    glFinish();
    state.PauseTiming();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFinish();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_TubeFrameImmediateGLFinish)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
