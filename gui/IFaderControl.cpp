#include "gui/IFaderControl.h"

#include "gui/IGraphics.h"

namespace {
IRECT FaderRECT(int x, int y, int len, const IBitmap* pBitmap, EDirection direction)
{
  if (direction == kVertical)
    return IRECT(x, y, x + pBitmap->W, y + len);
  return IRECT(x, y, x + len, y + pBitmap->H);
}
}  // namespace

IFaderControl::IFaderControl(PluginBase* pPlug, int x, int y, int len, int paramIdx,
                             IBitmap* pBitmap, EDirection direction, bool onlyHandle)
  : IControl(pPlug, FaderRECT(x, y, len, pBitmap, direction), paramIdx,
             IChannelBlend(IChannelBlend::kBlendNone))
  , mLen(len)
  , mHandleHeadroom(direction == kVertical ? pBitmap->H : pBitmap->W)
  , mBitmap(*pBitmap)
  , mDirection(direction)
  , mOnlyHandle(onlyHandle)
{}

IRECT IFaderControl::GetHandleRECT(double value) const
{
  if (value < 0.0)
    value = mValue;
  value = ClampUnit(value);
  IRECT r(mRECT.L, mRECT.T, mRECT.L + mBitmap.W, mRECT.T + mBitmap.H);
  if (mDirection == kHorizontal)
  {
    const int offset = (int)((double)Travel() * value);
    r.L += offset;
    r.R += offset;
  }
  else
  {
    const int offset = (int)((1.0 - value) * (double)Travel());
    r.T += offset;
    r.B += offset;
  }
  return r;
}

void IFaderControl::SnapToMouse(int x, int y)
{
  const int travel = Travel();
  if (travel <= 0)
    return;
  const int half = mHandleHeadroom / 2;
  if (mDirection == kHorizontal)
    mValue = (double)(x - mRECT.L - half) / (double)travel;
  else
    mValue = 1.0 - (double)(y - mRECT.T - half) / (double)travel;
  SetDirty(true);
}

void IFaderControl::OnMouseDown(int x, int y, IMouseMod* pMod)
{
  if (pMod && pMod->R)
    PromptUserInput();
  else
    SnapToMouse(x, y);
}

void IFaderControl::OnMouseDrag(int x, int y, int /*dX*/, int /*dY*/, IMouseMod* /*pMod*/)
{
  SnapToMouse(x, y);
}

bool IFaderControl::Draw(IGraphics* pGraphics)
{
  IRECT r = GetHandleRECT();
  return pGraphics->DrawBitmap(&mBitmap, &r, 1, &mBlend);
}

bool IFaderControl::IsHit(int x, int y)
{
  if (mOnlyHandle)
    return GetHandleRECT().Contains(x, y);
  return mTargetRECT.Contains(x, y);
}
