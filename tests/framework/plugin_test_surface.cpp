// The surface members the plug-in instance calls, recorded into TestSurface.

#include "framework/plugin_test_surface.h"

IGraphics::IGraphics(PluginBase* pPlug, int w, int h, int fps)
  : mPlug(pPlug)
  , mWidth(w)
  , mHeight(h)
  , mFPS(fps < 1 ? 25 : fps)
{}

IGraphics::~IGraphics() {}

bool IGraphics::MeasureIText(IText*, char*, IRECT*) { return false; }

void IGraphics::Resize(int w, int h)
{
  mWidth = w;
  mHeight = h;
}

void IGraphics::PrepDraw()
{
  if (TestSurface* pSurface = dynamic_cast<TestSurface*>(this))
  {
    if (pSurface->mPrepDraws++ == 0)
      pSurface->mPushesBeforePrepDraw = (int)pSurface->mPushes.size();
  }
}

void IGraphics::SetParameterFromPlug(int paramIdx, double value, bool normalized)
{
  if (TestSurface* pSurface = dynamic_cast<TestSurface*>(this))
    pSurface->mPushes.push_back({paramIdx, value, normalized});
}
