// How long the audio thread waits while the host hands the plug-in state: one thread applies state
// chunks (effSetChunk) back to back while the benchmark thread processes blocks of 64 frames
// through the shipped library. The counters give the longest and the mean process call, the number
// of calls that took over a millisecond, and the longest effSetChunk call; the first row, without
// state changes, is the baseline (its longest call is the machine's scheduling noise). The chunk is
// copied, read and checked outside the instance lock, so the longest process call should stay
// near the baseline however large the chunk.
//
//   quorvalent_state_bench [--benchmark_filter=...]   (QV_PLUGIN overrides the library path)
#include "framework/vst/abi/opcodes.h"
#include "tools/vsthost/plugin_instance.h"
#include "tools/vsthost/vst_host.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kRate = 48000.0;
constexpr int kBlock = 64;
constexpr int kMaxChunk = 16 * 1024 * 1024;

enum ChunkKind
{
  kNone,           // no state changes: the baseline
  kProgram,        // one program's state
  kBank,           // the whole bank
  kProgramPadded,  // a program's state followed by bytes up to the largest chunk taken
  kBankLongNames,  // a bank of the largest size whose program names take nearly all of it
};

double Micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

void PutInt(std::vector<uint8_t>& out, int32_t v)
{
  const uint8_t* p = (const uint8_t*)&v;
  out.insert(out.end(), p, p + 4);
}

// The bank as the plug-in gives it, with each program's name made `nameBytes` long.
std::vector<uint8_t> BankWithNames(const std::vector<uint8_t>& bank, int nPrograms, int nParams,
                                   size_t nameBytes)
{
  std::vector<uint8_t> out(bank.begin(), bank.begin() + 8);  // the state header
  size_t pos = 8;
  for (int i = 0; i < nPrograms && pos + 4 <= bank.size(); ++i)
  {
    int32_t len = 0;
    memcpy(&len, &bank[pos], 4);
    pos += 4 + (size_t)len;
    PutInt(out, (int32_t)nameBytes);
    out.insert(out.end(), nameBytes, (uint8_t)('a' + i % 26));
    const bool initialized = bank[pos] != 0;
    const size_t slot = 1 + (initialized ? (size_t)nParams * 8 : 0);
    out.insert(out.end(), bank.begin() + (long)pos, bank.begin() + (long)(pos + slot));
    pos += slot;
  }
  return out;
}

void ProcessWhileStateChanges(benchmark::State& state)
{
  const ChunkKind kind = (ChunkKind)state.range(0);
  const char* path = getenv("QV_PLUGIN");
  vsthost::VstHost host;
  std::string error;
  auto plugin = vsthost::PluginInstance::load(host, path ? path : QV_QUORVALENT_PATH, &error);
  if (!plugin)
  {
    state.SkipWithError(error.c_str());
    return;
  }
  plugin->open();
  plugin->setSampleRate(kRate);
  plugin->setBlockSize(kBlock);
  plugin->resume();
  AEffect* effect = plugin->effect();

  const bool isProgram = kind == kProgram || kind == kProgramPadded;
  std::vector<uint8_t> chunk = plugin->getChunk(isProgram);
  if (kind == kProgramPadded)
    chunk.resize(kMaxChunk, 0);
  if (kind == kBankLongNames)
  {
    const size_t fixed = BankWithNames(chunk, effect->numPrograms, effect->numParams, 0).size();
    chunk = BankWithNames(chunk, effect->numPrograms, effect->numParams,
                          (kMaxChunk - fixed) / (size_t)effect->numPrograms);
  }

  std::atomic<bool> stop{false};
  std::atomic<int64_t> applies{0};
  std::atomic<int> refused{0};
  double applyMax = 0.0;
  std::thread setter([&] {
    while (kind != kNone && !stop.load())
    {
      const Clock::time_point t0 = Clock::now();
      const VstIntPtr ok = effect->dispatcher(effect, effSetChunk, isProgram ? 1 : 0,
                                              (VstIntPtr)chunk.size(), chunk.data(), 0.0f);
      applyMax = std::max(applyMax, Micros(Clock::now() - t0));
      refused += ok != 1;
      ++applies;
    }
  });

  std::vector<float> buffer(4 * kBlock, 0.25f);
  float* inputs[2] = {&buffer[0], &buffer[kBlock]};
  float* outputs[2] = {&buffer[2 * kBlock], &buffer[3 * kBlock]};
  double processMax = 0.0, processSum = 0.0;
  int64_t blocks = 0, blocksOver1ms = 0;
  for (auto _ : state)
  {
    const Clock::time_point t0 = Clock::now();
    plugin->processFloat(vsthost::ProcessCall::Replacing, inputs, outputs, kBlock);
    const double us = Micros(Clock::now() - t0);
    processMax = std::max(processMax, us);
    processSum += us;
    blocksOver1ms += us > 1000.0;
    ++blocks;
  }
  stop = true;
  setter.join();
  if (refused.load())
    state.SkipWithError("the plug-in refused the chunk");

  state.counters["chunk_bytes"] = kind == kNone ? 0.0 : (double)chunk.size();
  state.counters["process_max_us"] = processMax;
  state.counters["process_mean_us"] = blocks ? processSum / (double)blocks : 0.0;
  state.counters["process_over_1ms"] = (double)blocksOver1ms;
  state.counters["setchunk_max_us"] = applyMax;
  state.counters["setchunks"] = (double)applies.load();
}

}  // namespace

BENCHMARK(ProcessWhileStateChanges)
  ->ArgName("chunk")
  ->Arg(kNone)
  ->Arg(kProgram)
  ->Arg(kBank)
  ->Arg(kProgramPadded)
  ->Arg(kBankLongNames)
  ->MinTime(2.0)
  ->UseRealTime();

BENCHMARK_MAIN();
