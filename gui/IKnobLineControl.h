#pragma once
// A knob drawn as an anti-aliased line from the centre outwards, pointing from the minimum angle at
// value 0 to the maximum angle at value 1 (radians, 0 up, growing clockwise).

#include "gui/IBitmapControl.h"
#include "gui/IKnobRotaterControls.h"

class IKnobLineControl : public IKnobControl
{
public:
  // The line runs from innerRadius to outerRadius off the rectangle's centre; an outer radius of
  // 0 reaches half the rectangle's width.
  IKnobLineControl(PluginBase* pPlug, IRECT rect, int paramIdx, const IColor* pColor,
                   double innerRadius = 0.0, double outerRadius = 0.0,
                   double minAngle = -kKnobDefaultAngleRad, double maxAngle = kKnobDefaultAngleRad,
                   EDirection direction = kVertical, double gearing = DEFAULT_GEARING);
  ~IKnobLineControl() override {}

  bool Draw(IGraphics* pGraphics) override;

protected:
  IColor mColor;
  float mMinAngle, mMaxAngle, mInnerRadius, mOuterRadius;
};
