#pragma once
// Knobs drawn by turning a picture: a bitmap rotated about the control's centre, and a base whose
// visible part is a rotated mask, with a rotated top layer over it. Both turn from the minimum angle
// at value 0 to the maximum angle at value 1 (0 points up, angles grow clockwise) and take the drag
// of every knob.

#include "gui/IBitmapControl.h"

static const double kKnobDefaultAngleRad = 0.75 * 3.141592653589793;  // 135 degrees either way

class IKnobRotaterControl : public IKnobControl
{
public:
  // The control covers the bitmap at (x, y). Angles in radians; yOffsetZeroDeg shifts the bitmap
  // along its own axis before it turns.
  IKnobRotaterControl(PluginBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                      double minAngle = -kKnobDefaultAngleRad,
                      double maxAngle = kKnobDefaultAngleRad, int yOffsetZeroDeg = 0,
                      EDirection direction = kVertical, double gearing = DEFAULT_GEARING);
  ~IKnobRotaterControl() override {}

  bool Draw(IGraphics* pGraphics) override;

protected:
  IBitmap mBitmap;
  double mMinAngle, mMaxAngle;
  int mYOffset;
};

class IKnobRotatingMaskControl : public IKnobControl
{
public:
  // The control covers the base at (x, y); mask and top are the base's size. Angles in degrees.
  IKnobRotatingMaskControl(PluginBase* pPlug, int x, int y, int paramIdx, IBitmap* pBase,
                           IBitmap* pMask, IBitmap* pTop, double minAngle = -135.0,
                           double maxAngle = 135.0, EDirection direction = kVertical,
                           double gearing = DEFAULT_GEARING);
  ~IKnobRotatingMaskControl() override {}

  bool Draw(IGraphics* pGraphics) override;

protected:
  IBitmap mBase, mMask, mTop;
  double mMinAngle, mMaxAngle;
};

// The angle value v selects between minAngle and maxAngle (v held in 0..1 first).
inline double KnobAngle(double v, double minAngle, double maxAngle)
{
  return minAngle + ClampUnit(v) * (maxAngle - minAngle);
}
