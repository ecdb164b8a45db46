// The validator's real-time checks: automation from another thread while audio runs, and no
// allocation inside the processing callbacks.

#include <atomic>
#include <thread>

#include "tools/vsthost/alloc_probe.h"
#include "tools/vsthost/validator_context.h"

namespace vsthost {
namespace validation {

void checkThreads(Context& c)
{
  auto p = c.instance(44100.0, 256);
  if (!p)
    return;
  if (p->numParams() == 0)
  {
    c.report().add("threads.automation", CheckStatus::Skip, "no parameters");
    return;
  }
  // The automation thread sweeps every parameter while the audio thread plays, as a host's
  // automation lane or a control surface would.
  std::atomic<bool> done{false};
  std::atomic<long> moves{0};
  PluginInstance& plugin = *p;
  std::thread automation([&] {
    uint32_t state = 12345;
    while (!done.load(std::memory_order_relaxed))
    {
      state = state * 1664525u + 1013904223u;
      const int index = static_cast<int>((state >> 8) % static_cast<uint32_t>(plugin.numParams()));
      plugin.setParameter(index, static_cast<float>((state >> 12) % 1001) / 1000.0f);
      (void)plugin.getParameter(index);
      moves.fetch_add(1, std::memory_order_relaxed);
      if (moves.load(std::memory_order_relaxed) % 64 == 0)
        std::this_thread::yield();
    }
  });
  RunSpec spec;
  spec.blocks = {256};
  spec.frames = 256 * 200;
  spec.signal.kind = SignalSpec::Kind::Noise;
  spec.beforeBlock = [&](int64_t block, int64_t, int, std::vector<TimedEvent>&) {
    // Let the automation thread get going, then keep both running side by side.
    while (block == 0 && moves.load(std::memory_order_relaxed) == 0)
      std::this_thread::yield();
  };
  RunResult r;
  runBlocks(plugin, spec, &r);
  done = true;
  automation.join();
  Findings f;
  if (r.nonFinite.any())
    f.note(r.nonFinite.text());
  c.record("threads.automation", f);
}

void checkRealtime(Context& c)
{
  if (!AllocProbe::available())
  {
    c.report().add("realtime.no-allocation", CheckStatus::Skip,
                   "no allocation probe in this build (sanitizer builds have one)");
    return;
  }
  Findings f;
  for (ProcessCall call : {ProcessCall::Replacing, ProcessCall::Accumulating, ProcessCall::Double})
  {
    auto p = c.instance(48000.0, 512);
    if (!p)
      return;
    RunSpec spec;
    spec.call = call;
    spec.blocks = {512, 17, 512, 1};
    spec.frames = 48000;
    spec.signal.kind = SignalSpec::Kind::Noise;
    spec.countAllocations = true;
    spec.beforeBlock = [](int64_t block, int64_t, int frames, std::vector<TimedEvent>& events) {
      if (frames > 1)
        events.push_back(
          {frames / 2, {static_cast<uint8_t>(block % 2 ? 0x80 : 0x90), 60, 100}, false});
    };
    RunResult r;
    if (!runBlocks(*p, spec, &r))
      continue;
    if (r.allocations > 0)
      f.note(std::string(processCallName(call)) + ": " + std::to_string(r.allocations) +
             " allocations in " + std::to_string(r.allocatingBlocks) + " blocks, the first in " +
             r.firstAllocation);
  }
  c.record("realtime.no-allocation", f);
}

}  // namespace validation
}  // namespace vsthost
