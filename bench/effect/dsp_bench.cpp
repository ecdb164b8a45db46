// Per-sample cost of the DSP blocks as the effect stage runs them: two LFOs, two envelopes, the
// cutoff modulation and two filters per stereo sample.
#include "effect/EnvelopeGenerator.h"
#include "effect/Filter.h"
#include "effect/Oscillator.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

void BM_EffectChainPerSample(benchmark::State& state)
{
  Oscillator filterLfo, ampLfo;
  for (Oscillator* o : {&filterLfo, &ampLfo})
  {
    o->setSampleRate(48000.0);
    o->setFrequency(6.0);
    o->setMuted(false);
  }
  ampLfo.setMode(OSCILLATOR_MODE_SQUARE);
  EnvelopeGenerator ampEnv, filterEnv;
  Filter left, right;
  left.setResonance(0.7);
  right.setResonance(0.7);
  left.setCutoff(0.4);
  right.setCutoff(0.4);

  std::vector<double> in(512);
  for (size_t i = 0; i < in.size(); ++i)
    in[i] = std::sin(0.01 * (double)i);
  double sink = 0.0;
  int n = 0;
  for (auto _ : state)
  {
    for (double x : in)
    {
      if ((n++ & 16383) == 0)
      {
        ampEnv.enterStage(EnvelopeGenerator::ATTACK);
        filterEnv.enterStage(EnvelopeGenerator::ATTACK);
      }
      const double filterMod = filterLfo.nextSample() * 0.3;
      const double ampMod = ampLfo.nextSample() * 0.5;
      const double cutoffMod = filterEnv.nextSample() + filterMod;
      left.setCutoffMod(cutoffMod);
      right.setCutoffMod(cutoffMod);
      const double amp = (double)(float)ampEnv.nextSample();
      sink += (left.process(x) * amp + right.process(-x) * amp) * (ampMod + 1.0);
    }
  }
  benchmark::DoNotOptimize(sink);
  state.SetItemsProcessed(state.iterations() * (int64_t)in.size());
}
BENCHMARK(BM_EffectChainPerSample);

}  // namespace

BENCHMARK_MAIN();
