#include "gui/IKnobRotaterControls.h"

#include "gui/IGraphics.h"

IKnobRotaterControl::IKnobRotaterControl(PluginBase* pPlug, int x, int y, int paramIdx,
                                         IBitmap* pBitmap, double minAngle, double maxAngle,
                                         int yOffsetZeroDeg, EDirection direction, double gearing)
  : IKnobControl(pPlug, IRECT(x, y, pBitmap), paramIdx, direction, gearing)
  , mBitmap(*pBitmap)
  , mMinAngle(minAngle)
  , mMaxAngle(maxAngle)
  , mYOffset(yOffsetZeroDeg)
{}

bool IKnobRotaterControl::Draw(IGraphics* pGraphics)
{
  return pGraphics->DrawRotatedBitmap(&mBitmap, (mRECT.L + mRECT.R) / 2, (mRECT.T + mRECT.B) / 2,
                                      KnobAngle(mValue, mMinAngle, mMaxAngle), mYOffset, &mBlend);
}

IKnobRotatingMaskControl::IKnobRotatingMaskControl(PluginBase* pPlug, int x, int y, int paramIdx,
                                                   IBitmap* pBase, IBitmap* pMask, IBitmap* pTop,
                                                   double minAngle, double maxAngle,
                                                   EDirection direction, double gearing)
  : IKnobControl(pPlug, IRECT(x, y, pBase), paramIdx, direction, gearing)
  , mBase(*pBase)
  , mMask(*pMask)
  , mTop(*pTop)
  , mMinAngle(minAngle)
  , mMaxAngle(maxAngle)
{}

bool IKnobRotatingMaskControl::Draw(IGraphics* pGraphics)
{
  return pGraphics->DrawRotatedMask(&mBase, &mMask, &mTop, mRECT.L, mRECT.T,
                                    KnobAngle(mValue, mMinAngle, mMaxAngle), &mBlend);
}
