// Editors built on eight threads at once share the process-wide bitmap cache, while the host's
// audio thread automates an instance whose editor the GUI thread keeps redrawing.
#include "effect/QuorvalentHost.h"
#include "gui/IControl.h"
#include "gui/IGraphicsHeadless.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

TEST(QuorvalentEditorThreads, EditorsBuiltOnEightThreadsWhileAudioAutomates)
{
  std::atomic<bool> go{false};
  std::vector<std::thread> builders;
  std::atomic<int> withoutBackground{0};
  for (int t = 0; t < 8; ++t)
  {
    builders.emplace_back([&] {
      while (!go.load())
        std::this_thread::yield();
      for (int k = 0; k < 2; ++k)
      {
        std::unique_ptr<Quorvalent> plug(new Quorvalent(PluginInstanceInfo{nullptr}));
        IGraphics* pGraphics = plug->GetGUI();
        if (!pGraphics || pGraphics->GetControl(0)->GetRECT()->W() != 664)
          withoutBackground.fetch_add(1);
      }
    });
  }
  go.store(true);

  QuorvalentHost host(32768.0, 256);
  IGraphicsHeadless* pEditor = dynamic_cast<IGraphicsHeadless*>(host.plug().GetGUI());
  ASSERT_NE(pEditor, nullptr);
  std::atomic<bool> done{false};
  std::thread gui([&] {
    while (!done.load())
    {
      host.plug().OnIdle();
      pEditor->Tick();
    }
  });
  AEffect* e = host.effect();
  for (int block = 0; block < 64; ++block)
  {
    e->setParameter(e, block % kNumParams, (float)(block % 5) / 4.0f);
    host.render(testSignal(256, (uint32_t)block + 1), 256);
  }
  for (std::thread& t : builders)
    t.join();
  done.store(true);
  gui.join();
  EXPECT_EQ(withoutBackground.load(), 0);
}
