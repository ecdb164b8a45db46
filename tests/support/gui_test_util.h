#pragma once
// Helpers of the GUI tests: a headless surface with a bitmap loader the test chooses and a screen
// that receives what the surface paints, and filmstrips whose frames are told apart by colour.

#include "gui/IGraphicsHeadless.h"
#include "raster/px.h"
#include "tests/support/plugin_test_plug.h"

#include <functional>
#include <memory>

// The colour of frame k (from 1) of a test filmstrip.
inline PX_pixel FrameColour(int k) { return 0xFF000000u | (PX_pixel)k; }

// n frames of w x frameH pixels, stacked (or side by side), frame k filled with FrameColour(k).
inline std::unique_ptr<PX_MemBitmap> Filmstrip(int w, int frameH, int n, bool horizontal = false)
{
  std::unique_ptr<PX_MemBitmap> bm(
    new PX_MemBitmap(horizontal ? w * n : w, horizontal ? frameH : frameH * n));
  for (int k = 0; k < n; ++k)
    PX_FillRect(bm.get(), horizontal ? k * w : 0, horizontal ? 0 : k * frameH, w, frameH,
                FrameColour(k + 1), 1.0f, PX_MODE_COPY);
  return bm;
}

class TestGraphics : public IGraphicsHeadless
{
public:
  TestGraphics(PluginBase* pPlug, int w, int h)
    : IGraphicsHeadless(pPlug, w, h)
    , mScreen(w, h)
  {
    PrepDraw();
    PX_Clear(&mScreen, 0);
  }

  // Decodes bitmap resources: null unless set.
  std::function<PX_IBitmap*(int id)> mLoader;
  int mLoads = 0;
  PX_IBitmap* OSLoadBitmap(int id, const char*) override
  {
    ++mLoads;
    return mLoader ? mLoader(id) : nullptr;
  }

  // What a window would show: each paint copies its rectangle here.
  PX_MemBitmap mScreen;
  bool DrawScreen(IRECT* pR) override
  {
    PX_Blit(&mScreen, GetDrawBitmap(), pR->L, pR->T, pR->L, pR->T, pR->W(), pR->H(), 1.0f,
            PX_MODE_COPY);
    return true;
  }

  // The whole surface drawn anew, as after the window opened.
  void FullRepaint()
  {
    IRECT all(0, 0, Width(), Height());
    Draw(&all);
  }
};

// Whether two bitmaps show the same pixels over the first one's size.
inline bool SamePixels(PX_IBitmap* a, PX_IBitmap* b)
{
  for (int y = 0; y < a->getHeight(); ++y)
    for (int x = 0; x < a->getWidth(); ++x)
      if (PX_GetPixel(a, x, y) != PX_GetPixel(b, x, y))
        return false;
  return true;
}

// A fresh resource id for each use: the bitmap cache lives as long as the test program.
inline int NewResourceId()
{
  static int next = 20000;
  return next++;
}
