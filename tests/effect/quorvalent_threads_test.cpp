// The product under a host's threads (run under ThreadSanitizer as well): the audio thread, a host
// automation thread, the idle thread and the editor's path share one instance; and a host whose
// callback takes a lock of its own never deadlocks with it.
#include "tests/support/QuorvalentHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <mutex>
#include <thread>

VST_EXTERN_C AEffect* VSTPluginMain(audioMasterCallback hostCallback);

namespace {

const int kRounds = 1500;

// Runs body on a thread of its own and waits for it a generous while. A run that does not end by
// then is deadlocked: its threads can never be joined, so the program ends here.
void RunBounded(const std::function<void()>& body)
{
  auto done = std::async(std::launch::async, body);
  if (done.wait_for(std::chrono::seconds(120)) != std::future_status::ready)
  {
    fprintf(stderr, "deadlock: the threads did not finish\n");
    fflush(stderr);
    std::_Exit(1);
  }
  done.get();
}

// One stereo block through processReplacing; false when an output sample is not finite.
bool ProcessBlock(AEffect* e, int round)
{
  float in[2][64], out[2][64];
  float* ins[2] = {in[0], in[1]};
  float* outs[2] = {out[0], out[1]};
  for (int i = 0; i < 64; ++i)
    in[0][i] = in[1][i] = (float)((round * 64 + i) % 97) / 97.0f - 0.5f;
  e->processReplacing(e, ins, outs, 64);
  for (int i = 0; i < 64; ++i)
    if (!std::isfinite(out[0][i]) || !std::isfinite(out[1][i]))
      return false;
  return true;
}

// The host's own lock, taken by its automation handlers and held by its audio thread around each
// block, as many hosts do.
std::recursive_mutex gHostLock;
std::atomic<int> gNotifications{0};

VstIntPtr LockingHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
  switch (opcode)
  {
    case audioMasterVersion:
      return 2400;
    case audioMasterAutomate:
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
    case audioMasterUpdateDisplay:
    {
      std::lock_guard<std::recursive_mutex> hold(gHostLock);
      ++gNotifications;
      return 1;
    }
    default:
      return 0;
  }
}

}  // namespace

TEST(QuorvalentThreads, AudioAutomationIdleAndEditorShareTheInstance)
{
  QuorvalentHost host(32768.0, 64);
  AEffect* e = host.effect();
  Quorvalent& plug = host.plug();
  host.setParam(kStepMode, 1.0);  // MIDI mode: "Push!!" plays notes
  std::atomic<bool> finite{true}, stepsInRange{true};

  RunBounded([&] {
    std::thread audio([&] {
      const Stereo out = host.render(testSignal(kRounds * 64), 64, ProcessCall::Replacing);
      for (size_t i = 0; i < out.size(); ++i)
        if (!std::isfinite(out.l[i]) || !std::isfinite(out.r[i]))
          finite = false;
    });
    std::thread automation([&] {
      for (int r = 0; r < kRounds; ++r)
      {
        // Every parameter but the mode and the editor's three.
        int idx = r % kNumParams;
        if (idx == kStepMode || (idx >= kFilterCutoff && idx <= kFilterCutoff + 2))
          idx = kPush;
        e->setParameter(e, idx, (float)(r % 11) / 10.0f);
        const float v = e->getParameter(e, (r + 7) % kNumParams);
        if (!(v >= 0.0f && v <= 1.0f))
          finite = false;
      }
    });
    std::thread idle([&] {
      char text[64];
      for (int r = 0; r < kRounds; ++r)
      {
        e->dispatcher(e, r % 2 ? effEditIdle : effIdle, 0, 0, nullptr, 0.0f);
        e->dispatcher(e, effGetParamDisplay, r % kNumParams, 0, text, 0.0f);
        const int step = plug.shownStep();
        if (step < 0 || step >= kNumSteps)
          stepsInRange = false;
      }
    });
    std::thread editor([&] {
      for (int r = 0; r < kRounds; ++r)
      {
        const int idx = kFilterCutoff + r % 3;
        plug.BeginInformHostOfParamChange(idx);
        plug.SetParameterFromGUI(idx, (double)(r % 17) / 16.0);
        plug.EndInformHostOfParamChange(idx);
      }
    });
    audio.join();
    automation.join();
    idle.join();
    editor.join();
  });
  EXPECT_TRUE(finite);
  EXPECT_TRUE(stepsInRange);
  // The editor's last edit stands.
  EXPECT_NEAR(e->getParameter(e, kFilterCutoff + (kRounds - 1) % 3), ((kRounds - 1) % 17) / 16.0,
              1e-6);
}

// The host's automation handler takes the host's lock while the host's audio thread holds it and
// waits for the instance in process; the editor sets parameters and loads a bank file meanwhile. The instance never
// calls the host while holding its own lock, so the two locks are never taken in opposite orders.
TEST(QuorvalentThreads, HostLockInTheAutomationHandlerNeverDeadlocks)
{
  AEffect* e = VSTPluginMain(&LockingHost);
  ASSERT_NE(e, nullptr);
  PluginVST* plug = static_cast<PluginVST*>(e->object);
  e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
  e->dispatcher(e, effSetBlockSize, 0, 64, nullptr, 0.0f);
  e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
  ByteChunk bank;
  ASSERT_TRUE(plug->GetBankFXB(&bank));
  gNotifications = 0;
  std::atomic<bool> finite{true}, loaded{true};
  int automations = 0;  // the editor's: only a change of the value held is recorded

  RunBounded([&] {
    std::thread audio([&] {
      for (int r = 0; r < kRounds; ++r)
      {
        std::lock_guard<std::recursive_mutex> hold(gHostLock);
        if (!ProcessBlock(e, r))
          finite = false;
      }
    });
    std::thread editor([&] {
      for (int r = 0; r < kRounds; ++r)
      {
        const int idx = r % kNumParams;
        plug->BeginInformHostOfParamChange(idx);
        const float before = e->getParameter(e, idx);
        plug->SetParameterFromGUI(idx, (double)(r % 5) / 4.0);
        automations += e->getParameter(e, idx) != before;
        plug->EndInformHostOfParamChange(idx);
        if (r % 500 == 0)
        {
          plug->DirtyParameters();
          // A bank file loaded from the editor: the host is told to update its display.
          loaded = plug->SetBankFromFXB(bank.GetBytes(), bank.Size()) && loaded;
        }
      }
    });
    audio.join();
    editor.join();
  });
  EXPECT_TRUE(finite);
  EXPECT_TRUE(loaded);
  EXPECT_EQ(gNotifications, 2 * kRounds + automations + 3 * (kNumParams + 1));
  e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
  e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
}
