// Costs that the audio path and the state code rely on: queueing one block of MIDI in offset
// order (one comparison per message, no allocation once warm), the worst case of reversed offsets,
// and appending values to a state chunk.
#include "framework/IMidiQueue.h"
#include "framework/base/ByteChunk.h"

#include <benchmark/benchmark.h>

namespace {

void BM_MidiQueueBlock(benchmark::State& state, bool reversed)
{
  const int n = (int)state.range(0);
  IMidiQueue q(1024);
  for (auto _ : state)
  {
    for (int i = 0; i < n; ++i)
    {
      const IMidiMsg m(reversed ? n - i : i, 0x90, 60, 100);
      q.Add(&m);
    }
    while (!q.Empty())
    {
      benchmark::DoNotOptimize(q.Peek()->mOffset);
      q.Remove();
    }
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_MidiQueueInOrder(benchmark::State& state) { BM_MidiQueueBlock(state, false); }
void BM_MidiQueueReversed(benchmark::State& state) { BM_MidiQueueBlock(state, true); }

void BM_ByteChunkParams(benchmark::State& state)
{
  const int n = (int)state.range(0);
  ByteChunk c;
  for (auto _ : state)
  {
    c.Clear();
    for (int i = 0; i < n; ++i)
    {
      const double v = i * 0.5;
      c.Put(&v);
    }
    double sum = 0, v = 0;
    for (int pos = 0; pos >= 0 && pos < c.Size();)
    {
      pos = c.Get(&v, pos);
      sum += v;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * n);
}

}  // namespace

BENCHMARK(BM_MidiQueueInOrder)->Arg(16)->Arg(512);
BENCHMARK(BM_MidiQueueReversed)->Arg(16)->Arg(512);
BENCHMARK(BM_ByteChunkParams)->Arg(42)->Arg(42 * 30);
BENCHMARK_MAIN();
