// Editors built on eight threads at once share the process-wide bitmap and font caches and draw
// text in one shared font, each in its own colour, while the host's audio thread automates an
// instance whose editor the GUI thread keeps redrawing.
#include "gui/IControl.h"
#include "gui/IGraphics.h"
#include "raster/px.h"
#include "tests/support/QuorvalentHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {
// Text in the given colour on a cleared patch of the editor's bitmap; the patch as drawn.
std::vector<PX_pixel> DrawLabel(IGraphics* pGraphics, IText* pText)
{
  PX_IBitmap* pBitmap = pGraphics->GetDrawBitmap();
  PX_FillRect(pBitmap, 0, 0, 120, 24, 0xFF000000u, 1.0f, PX_MODE_COPY);
  IRECT r(2, 2, 118, 22);
  char label[] = "Gate 16 / 4";
  pGraphics->DrawIText(pText, label, &r);
  std::vector<PX_pixel> patch;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 120; ++x)
      patch.push_back(PX_GetPixel(pBitmap, x, y));
  return patch;
}

IColor LabelColour(int t) { return IColor(255, 40 + 25 * t, 255 - 30 * t, 90 + 20 * t); }
}  // namespace

TEST(QuorvalentEditorThreads, EditorsBuiltOnEightThreadsWhileAudioAutomates)
{
  std::atomic<bool> go{false};
  std::vector<std::thread> builders;
  std::atomic<int> withoutBackground{0};
  std::vector<PX_IFont*> fonts(8);
  std::vector<std::vector<PX_pixel>> labels(8);
  std::atomic<int> built{0}, unsteadyLabels{0};
  for (int t = 0; t < 8; ++t)
  {
    builders.emplace_back([&, t] {
      while (!go.load())
        std::this_thread::yield();
      std::unique_ptr<Quorvalent> plug;
      for (int k = 0; k < 2; ++k)
        plug.reset(new Quorvalent(PluginInstanceInfo{nullptr}));
      IGraphics* pGraphics = plug->GetGUI();
      const bool ok = pGraphics && pGraphics->GetControl(0)->GetRECT()->W() == 664;
      if (!ok)
        withoutBackground.fetch_add(1);
      // Then all draw at once, in one font, each in its own colour.
      built.fetch_add(1);
      while (built.load() < 8)
        std::this_thread::yield();
      if (!ok)
        return;
      const IColor colour = LabelColour(t);
      IText text(16, &colour);
      labels[t] = DrawLabel(pGraphics, &text);
      for (int n = 0; n < 40; ++n)
        if (DrawLabel(pGraphics, &text) != labels[t])
          unsteadyLabels.fetch_add(1);
      fonts[t] = text.mCached;
    });
  }
  go.store(true);

  QuorvalentHost host(32768.0, 256);
  IGraphics* pEditor = host.plug().GetGUI();
  ASSERT_NE(pEditor, nullptr);
  std::atomic<bool> done{false};
  std::thread gui([&] {
    while (!done.load())
    {
      host.plug().OnIdle();
      IRECT dirty;  // a timer tick and the paint it asks for
      if (pEditor->IsDirty(&dirty))
        pEditor->Draw(&dirty);
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
  // One font for all, and every label in its own colour only.
  EXPECT_EQ(unsteadyLabels.load(), 0);
  for (int t = 0; t < 8; ++t)
  {
    EXPECT_NE(fonts[t], nullptr);
    EXPECT_EQ(fonts[t], fonts[0]);
    const IColor colour = LabelColour(t);
    IText text(16, &colour);
    EXPECT_TRUE(DrawLabel(pEditor, &text) == labels[t]) << t;
  }
}
