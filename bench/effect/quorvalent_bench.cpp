// Cost of the plug-in per stereo frame at 48 kHz in blocks of 512, driven through the test host
// as a host's audio thread would (transport running at 120 BPM, replacing callback): the default
// state, each factory preset, and silence against noise, in nanoseconds and in core cycles. The
// stereo gate of lsp-plugins, when installed, runs through the same host for comparison.
//
//   quorvalent_bench [--benchmark_filter=...]        (QV_PLUGIN overrides the library path)
#include "bench/effect/CoreClock.h"
#include "tools/vsthost/plugin_instance.h"
#include "tools/vsthost/signal_generator.h"
#include "tools/vsthost/transport.h"
#include "tools/vsthost/vst_host.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
const char* const kGatePath = "/usr/lib/vst/lsp-plugins/gate-stereo.so";

std::string quorvalentPath()
{
  const char* path = getenv("QV_PLUGIN");
  return path ? path : QV_QUORVALENT_PATH;
}

// One loaded instance with a second of input, rendered block by block.
class Rig
{
public:
  Rig(const std::string& path, int program, bool silence)
  {
    vsthost::TransportSettings transport;
    transport.tempo = 120.0;
    mHost.transport().configure(transport, kRate);
    std::string error;
    mPlugin = vsthost::PluginInstance::load(mHost, path, &error);
    if (!mPlugin)
    {
      mError = error;
      return;
    }
    mPlugin->open();
    mPlugin->setSampleRate(kRate);
    mPlugin->setBlockSize(kBlock);
    if (program >= 0)
      mPlugin->setProgram(program);
    mPlugin->resume();

    vsthost::SignalSpec spec;
    spec.kind = silence ? vsthost::SignalSpec::Kind::Silence : vsthost::SignalSpec::Kind::Noise;
    spec.amplitude = 0.5;
    mInput.resize(2, (size_t)kRate);
    vsthost::generateSignal(spec, kRate, 0, &mInput);
    for (int c = 0; c < 2; ++c)
    {
      mIn[c].resize(mInput.frames());
      for (size_t i = 0; i < mInput.frames(); ++i)
        mIn[c][i] = (float)mInput.channel(c)[i];
      mOut[c].resize(kBlock);
    }
  }

  const std::string& error() const { return mError; }
  bool ok() const { return mPlugin != nullptr; }

  void block()
  {
    const size_t at = mPos;
    float* in[2] = {&mIn[0][at], &mIn[1][at]};
    float* out[2] = {mOut[0].data(), mOut[1].data()};
    mPlugin->processFloat(vsthost::ProcessCall::Replacing, in, out, kBlock);
    mHost.transport().advance(kBlock);
    mPos += kBlock;
    if (mPos + kBlock > mInput.frames())
      mPos = 0;
    benchmark::DoNotOptimize(mOut[0][0]);
  }

private:
  vsthost::VstHost mHost;
  std::unique_ptr<vsthost::PluginInstance> mPlugin;
  vsthost::AudioBuffer mInput;
  std::vector<float> mIn[2], mOut[2];
  size_t mPos = 0;
  std::string mError;
};

double gClockHz = 0.0;

void run(benchmark::State& state, const std::string& path, int program, bool silence)
{
  Rig rig(path, program, silence);
  if (!rig.ok())
  {
    state.SkipWithError(rig.error().c_str());
    return;
  }
  for (int i = 0; i < 200; ++i)  // past the first bars' envelopes and filter settling
    rig.block();
  for (auto _ : state)
    rig.block();
  state.SetItemsProcessed(state.iterations() * kBlock);
  const double frames = (double)state.iterations() * kBlock;
  state.counters["ns_per_frame"] =
    benchmark::Counter(frames * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  if (gClockHz > 0.0)
    state.counters["cycles_per_frame"] = benchmark::Counter(
      frames / gClockHz, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

int main(int argc, char** argv)
{
  gClockHz = coreClockHz();
  if (gClockHz > 0.0)
    printf("core clock %.3f GHz\n", gClockHz * 1e-9);
  const std::string plugin = quorvalentPath();
  for (const bool silence : {false, true})
  {
    const char* input = silence ? "silence" : "noise";
    // Rates per wall-clock time: under wine the process's CPU time counts in ticks of 10 ms.
    benchmark::RegisterBenchmark((std::string("Quorvalent/defaults/") + input).c_str(),
                                 [=](benchmark::State& s) { run(s, plugin, 29, silence); })
      ->UseRealTime();
    for (int p = 0; p < 27; ++p)
    {
      char name[64];
      snprintf(name, sizeof(name), "Quorvalent/program%02d/%s", p, input);
      benchmark::RegisterBenchmark(name, [=](benchmark::State& s) {
        run(s, plugin, p, silence);
      })->UseRealTime();
    }
    FILE* gate = fopen(kGatePath, "rb");
    if (gate)
    {
      fclose(gate);
      benchmark::RegisterBenchmark((std::string("LspGateStereo/") + input).c_str(),
                                   [=](benchmark::State& s) { run(s, kGatePath, -1, silence); })
        ->UseRealTime();
    }
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
