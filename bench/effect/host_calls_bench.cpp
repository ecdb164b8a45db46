// What a host's parameter and program changes cost, through the test host: setParameter on the
// plug-in (its editor surface built, as every instance has one) against the stereo gate of
// lsp-plugins when installed, and effSetProgram over the factory programs.
//
//   quorvalent_host_calls_bench [--benchmark_filter=...]    (QV_PLUGIN overrides the library path)
#include "framework/vst/abi/opcodes.h"
#include "tools/vsthost/plugin_instance.h"
#include "tools/vsthost/vst_host.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

const char* const kGatePath = "/usr/lib/vst/lsp-plugins/gate-stereo.so";

std::string quorvalentPath()
{
  const char* path = getenv("QV_PLUGIN");
  return path ? path : QV_QUORVALENT_PATH;
}

std::unique_ptr<vsthost::PluginInstance> Load(vsthost::VstHost& host, const std::string& path,
                                              benchmark::State& state)
{
  std::string error;
  auto plugin = vsthost::PluginInstance::load(host, path, &error);
  if (!plugin)
  {
    state.SkipWithError(error.c_str());
    return nullptr;
  }
  plugin->open();
  plugin->setSampleRate(48000.0);
  plugin->setBlockSize(512);
  return plugin;
}

// Every parameter in turn, to one of two values, so that each call changes something.
void SetParameter(benchmark::State& state, const std::string& path)
{
  vsthost::VstHost host;
  auto plugin = Load(host, path, state);
  if (!plugin)
    return;
  const int n = plugin->effect()->numParams;
  int i = 0;
  float value = 0.25f;
  for (auto _ : state)
  {
    plugin->setParameter(i, value);
    if (++i == n)
    {
      i = 0;
      value = value == 0.25f ? 0.75f : 0.25f;
    }
  }
}

void SetProgram(benchmark::State& state)
{
  vsthost::VstHost host;
  auto plugin = Load(host, quorvalentPath(), state);
  if (!plugin)
    return;
  const int n = plugin->effect()->numPrograms;
  int p = 0;
  for (auto _ : state)
  {
    plugin->setProgram(p);
    p = (p + 1) % n;
  }
}

}  // namespace

int main(int argc, char** argv)
{
  const std::string plugin = quorvalentPath();
  benchmark::RegisterBenchmark("Quorvalent/setParameter",
                               [=](benchmark::State& s) { SetParameter(s, plugin); });
  if (FILE* gate = fopen(kGatePath, "rb"))
  {
    fclose(gate);
    benchmark::RegisterBenchmark("LspGateStereo/setParameter",
                                 [](benchmark::State& s) { SetParameter(s, kGatePath); });
  }
  benchmark::RegisterBenchmark("Quorvalent/effSetProgram", SetProgram);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
