// Per-sample cost of the DSP blocks as the effect stage runs them: two LFOs, two envelopes, the
// cutoff modulation and two filters per stereo sample; and the stereo filter chain alone.
#include "bench/effect/CoreClock.h"
#include "effect/dsp/EnvelopeGenerator.h"
#include "effect/dsp/Filter.h"
#include "effect/dsp/FilterPair.h"
#include "effect/dsp/Oscillator.h"

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
BENCHMARK(BM_EffectChainPerSample)->UseRealTime();  // wine counts CPU time in 10-ms ticks

// Both channels' filters on fixed coefficients: each sample's first two stages wait for the last
// sample's, so this is the floor of the engine's cost per stereo frame, in nanoseconds and cycles.
void BM_FilterChain(benchmark::State& state)
{
  static const double clockHz = coreClockHz();
  Filter left, right;
  for (Filter* f : {&left, &right})
  {
    f->setResonance(0.7);
    f->setCutoff(0.4);
  }
  FilterPair pair(left, right);
  const FilterPair::Coefficients k = pair.modulate(0.05);
  std::vector<double> inL(512), inR(512), outL(512), outR(512);
  for (size_t i = 0; i < inL.size(); ++i)
  {
    inL[i] = std::sin(0.01 * (double)i);
    inR[i] = -inL[i];
  }
  for (auto _ : state)
  {
    for (size_t i = 0; i < inL.size(); ++i)
      pair.process(k, StereoSample(inL[i], inR[i])).store(&outL[i], &outR[i]);
    benchmark::DoNotOptimize(outL.data());
    benchmark::DoNotOptimize(outR.data());
  }
  const double frames = (double)state.iterations() * (double)inL.size();
  state.counters["ns_per_frame"] =
    benchmark::Counter(frames * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  if (clockHz > 0.0)
    state.counters["cycles_per_frame"] = benchmark::Counter(
      frames / clockHz, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FilterChain)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
