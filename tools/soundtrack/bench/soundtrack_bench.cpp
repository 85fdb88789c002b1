// Cost of the expensive parts of a soundtrack render, per second of audio.
#include <benchmark/benchmark.h>

#include <vector>

#include "tools/soundtrack/instruments.h"
#include "tools/soundtrack/master.h"
#include "tools/soundtrack/mix.h"
#include "tools/soundtrack/score.h"

namespace soundtrack {
namespace {

constexpr int block = 256;

// A four-note pad chord (twenty saws), one second.
void BM_PadChordSecond(benchmark::State& state) {
  float l[block], r[block];
  for (auto _ : state) {
    pad_voice voices[4];
    const int tones[4] = {57, 62, 65, 69};
    for (int k = 0; k < 4; ++k) voices[k].start(tones[k], sample_rate, 0.8f, k + 1);
    for (int done = 0; done < sample_rate; done += block)
      for (pad_voice& v : voices) v.render(l, r, block);
    benchmark::DoNotOptimize(l[0]);
  }
}
BENCHMARK(BM_PadChordSecond)->Unit(benchmark::kMillisecond);

// One piano note, its first second.
void BM_PianoNoteSecond(benchmark::State& state) {
  float l[block], r[block];
  for (auto _ : state) {
    piano_voice v;
    v.start(62, sample_rate, 0.8f, 3);
    for (int done = 0; done < sample_rate; done += block) v.render(l, r, block);
    benchmark::DoNotOptimize(l[0]);
  }
}
BENCHMARK(BM_PianoNoteSecond)->Unit(benchmark::kMillisecond);

// The whole mix of the first 40 s (intro, build and the drop).
void BM_RenderFirst40Seconds(benchmark::State& state) {
  const score piece = compose();
  for (auto _ : state) benchmark::DoNotOptimize(render_mix(piece, 40.0));
}
BENCHMARK(BM_RenderFirst40Seconds)->Unit(benchmark::kMillisecond)->Iterations(2);

// Mastering analysis over ten seconds of stereo.
void BM_TruePeakTenSeconds(benchmark::State& state) {
  std::vector<float> audio(10 * sample_rate * 2);
  noise_source noise(5);
  for (float& v : audio) v = 0.5f * noise.next();
  for (auto _ : state) benchmark::DoNotOptimize(true_peak_envelope(audio.data(), audio.size() / 2));
}
BENCHMARK(BM_TruePeakTenSeconds)->Unit(benchmark::kMillisecond);

void BM_LoudnessTenSeconds(benchmark::State& state) {
  std::vector<float> audio(10 * sample_rate * 2);
  noise_source noise(6);
  for (float& v : audio) v = 0.5f * noise.next();
  for (auto _ : state) benchmark::DoNotOptimize(integrated_loudness(audio.data(), audio.size() / 2));
}
BENCHMARK(BM_LoudnessTenSeconds)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace soundtrack

BENCHMARK_MAIN();
