#include "gui/IBitmapControl.h"

#include "gui/IGraphics.h"

#include <cmath>

int IBitmapControl::FrameFor(double value, int n)
{
  if (n < 2)
    return 1;
  return 1 + (int)(0.5 + ClampUnit(value) * (double)(n - 1));
}

IBitmapControl::IBitmapControl(PluginBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                               IChannelBlend::EBlendMethod blendMethod)
  : IControl(pPlug, IRECT(x, y, pBitmap), paramIdx, IChannelBlend(blendMethod))
  , mBitmap(*pBitmap)
{}

bool IBitmapControl::Draw(IGraphics* pGraphics)
{
  return pGraphics->DrawBitmap(&mBitmap, &mRECT, FrameFor(mValue, mBitmap.N), &mBlend);
}

ISwitchControl::ISwitchControl(PluginBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                               IChannelBlend::EBlendMethod blendMethod)
  : IBitmapControl(pPlug, x, y, paramIdx, pBitmap, blendMethod)
{}

void ISwitchControl::OnMouseDown(int /*x*/, int /*y*/, IMouseMod* /*pMod*/)
{
  const int n = mBitmap.N;
  double v = mValue + (n < 2 ? 1.0 : 1.0 / (double)(n - 1));
  if (v > 1.001)
    v = 0.0;
  mValue = v;
  SetDirty(true);
}

void ISwitchControl::OnMouseDblClick(int x, int y, IMouseMod* pMod) { OnMouseDown(x, y, pMod); }

IContactControl::IContactControl(PluginBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap)
  : ISwitchControl(pPlug, x, y, paramIdx, pBitmap, IChannelBlend::kBlendNone)
{}

void IContactControl::OnMouseUp(int /*x*/, int /*y*/, IMouseMod* /*pMod*/)
{
  mValue = 0.0;
  SetDirty(true);
}

IKnobControl::IKnobControl(PluginBase* pPlug, IRECT rect, int paramIdx, EDirection direction,
                           double gearing)
  : IControl(pPlug, rect, paramIdx, IChannelBlend(IChannelBlend::kBlendNone))
  , mDirection(direction)
  , mGearing(gearing)
{}

void IKnobControl::OnMouseDrag(int /*x*/, int /*y*/, int dX, int dY, IMouseMod* pMod)
{
  double gearing = mGearing;
  if (pMod && (pMod->C || pMod->S))
    gearing *= 10.0;
  // Up and right raise the value: the vertical extent is taken negative.
  const bool vertical = mDirection == kVertical;
  const double extent = vertical ? (double)(mRECT.T - mRECT.B) : (double)(mRECT.R - mRECT.L);
  const double travel = extent * gearing;
  if (travel == 0.0 || !std::isfinite(travel))
    return;  // no travel to move along
  mValue += (double)(vertical ? dY : dX) / travel;
  SetDirty(true);
}

IKnobMultiControl::IKnobMultiControl(PluginBase* pPlug, int x, int y, int paramIdx,
                                     IBitmap* pBitmap, EDirection direction, double gearing)
  : IKnobControl(pPlug, IRECT(x, y, pBitmap), paramIdx, direction, gearing)
  , mBitmap(*pBitmap)
{}

bool IKnobMultiControl::Draw(IGraphics* pGraphics)
{
  return pGraphics->DrawBitmap(&mBitmap, &mRECT, IBitmapControl::FrameFor(mValue, mBitmap.N),
                               &mBlend);
}
