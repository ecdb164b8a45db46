// Audio blocks, host parameter changes and idle calls from three threads at once: the instance
// mutex must serialise them (run under ThreadSanitizer).

#include "tests/support/InProcessHost.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(PlugInThreads, AudioParametersAndIdleRunConcurrently)
{
  const int kRounds = 2000;
  InProcessHost host;
  AEffect* e = host.Create("stereo");
  ASSERT_TRUE(e);
  host.Dispatch(effOpen);
  host.Dispatch(effSetBlockSize, 0, 64);
  host.Dispatch(effMainsChanged, 0, 1);

  std::thread audio([&] {
    float in[2][96], out[2][96];
    float* ins[2] = {in[0], in[1]};
    float* outs[2] = {out[0], out[1]};
    for (int r = 0; r < kRounds; ++r)
    {
      for (int i = 0; i < 96; ++i)
        in[0][i] = in[1][i] = (float)(r + i);
      // Now and then a block longer than announced: the buffers grow under the lock.
      const int n = r % 97 == 0 ? 96 : 64;
      e->processReplacing(e, ins, outs, n);
      ASSERT_EQ(out[1][n - 1], in[1][n - 1]);
    }
  });
  std::thread params([&] {
    for (int r = 0; r < kRounds; ++r)
    {
      e->setParameter(e, r % PassThroughPlug::kNumParams, (float)(r % 11) / 10.0f);
      const float v = e->getParameter(e, (r + 1) % PassThroughPlug::kNumParams);
      ASSERT_TRUE(v >= 0.0f && v <= 1.0f);
    }
  });
  std::thread idle([&] {
    char text[64];
    for (int r = 0; r < kRounds; ++r)
    {
      e->dispatcher(e, effEditIdle, 0, 0, nullptr, 0.0f);
      e->dispatcher(e, effGetParamDisplay, r % PassThroughPlug::kNumParams, 0, text, 0.0f);
      if (r % 100 == 0)
        e->dispatcher(e, effSetBlockSize, 0, 64 + r % 2, nullptr, 0.0f);
    }
  });
  audio.join();
  params.join();
  idle.join();
  EXPECT_EQ(host.Plug()->mIdleCalls, kRounds);
  EXPECT_EQ(host.Count(audioMasterWantMidi), kRounds);
}

}  // namespace
