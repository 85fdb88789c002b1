// Per-frame costs of the sound library: the spectrum the runtime reads every frame, and mixing one
// device block of the soundtrack in the audio callback.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "fsound/mixer.h"
#include "fsound/spectrum.h"

namespace {

void BM_Spectrum(benchmark::State& state) {
  std::vector<float> samples(fsound::fft_size);
  for (int i = 0; i < fsound::fft_size; ++i) samples[i] = std::sin(0.1f * i);
  std::vector<float> bands(fsound::band_count);
  for (auto _ : state) {
    fsound::magnitude_spectrum(samples.data(), bands.data());
    benchmark::DoNotOptimize(bands.data());
  }
}
BENCHMARK(BM_Spectrum);

void BM_MixBlock(benchmark::State& state) {
  FSOUND_SAMPLE sample;
  sample.length = 44100 * 10;
  sample.rate = static_cast<int>(state.range(0));
  sample.loop = true;
  sample.pcm.assign(2 * static_cast<size_t>(sample.length), 1000);
  fsound::mixer m;
  m.reset(44100, 32);
  m.play(-1, &sample);
  std::vector<float> out(2 * 1024);
  for (auto _ : state) {
    m.mix(out.data(), 1024);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * 1024);
}
BENCHMARK(BM_MixBlock)->Arg(44100)->Arg(22050);

}  // namespace

BENCHMARK_MAIN();
