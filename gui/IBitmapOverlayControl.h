#pragma once
// A bitmap shown over the editor while switched on. Off (value below 0.5) it draws nothing and
// takes the mouse only in its target area, so a click there switches it on; on, it shows its frame
// and takes the mouse over its whole bitmap, so a click anywhere on it steps it on like a switch.

#include "gui/IBitmapControl.h"

class IBitmapOverlayControl : public ISwitchControl
{
public:
  // The control covers one frame of the bitmap at (x, y); pTargetArea is where it takes the mouse
  // while off.
  IBitmapOverlayControl(PluginBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                        IRECT* pTargetArea);
  ~IBitmapOverlayControl() override {}

  bool Draw(IGraphics* pGraphics) override;

protected:
  IRECT mTargetArea;
};
