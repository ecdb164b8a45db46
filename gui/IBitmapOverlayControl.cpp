#include "gui/IBitmapOverlayControl.h"

IBitmapOverlayControl::IBitmapOverlayControl(PluginBase* pPlug, int x, int y, int paramIdx,
                                             IBitmap* pBitmap, IRECT* pTargetArea)
  : ISwitchControl(pPlug, x, y, paramIdx, pBitmap)
  , mTargetArea(*pTargetArea)
{
  mTargetRECT = mTargetArea;  // off until a value says otherwise
}

// The area that takes the mouse follows what was last drawn.
bool IBitmapOverlayControl::Draw(IGraphics* pGraphics)
{
  if (mValue < 0.5)
  {
    mTargetRECT = mTargetArea;
    return true;
  }
  mTargetRECT = mRECT;
  return IBitmapControl::Draw(pGraphics);
}
