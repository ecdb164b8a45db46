// The idle thread reads the step the audio thread publishes, without the instance lock.
#include "effect/QuorvalentHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(QuorvalentThreads, IdleThreadReadsThePublishedStepWhileAudioRuns)
{
  QuorvalentHost host(32768.0, 256);
  Quorvalent& plug = host.plug();
  std::atomic<bool> done{false};
  std::atomic<int> outOfRange{0};
  std::thread idle([&] {
    while (!done.load())
    {
      const int step = plug.shownStep();
      if (step < 0 || step >= kNumSteps)
        outOfRange.fetch_add(1);
      plug.OnIdle();
    }
  });
  host.render(testSignal(65536), 256, ProcessCall::kReplacing);  // one bar
  done.store(true);
  idle.join();
  EXPECT_EQ(outOfRange.load(), 0);
  EXPECT_EQ(plug.shownStep(), 15);
}
