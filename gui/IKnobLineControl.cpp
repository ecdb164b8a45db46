#include "gui/IKnobLineControl.h"

#include "gui/IGraphics.h"

#include <cmath>

IKnobLineControl::IKnobLineControl(PluginBase* pPlug, IRECT rect, int paramIdx,
                                   const IColor* pColor, double innerRadius, double outerRadius,
                                   double minAngle, double maxAngle, EDirection direction,
                                   double gearing)
  : IKnobControl(pPlug, rect, paramIdx, direction, gearing)
  , mColor(*pColor)
  , mMinAngle((float)minAngle)
  , mMaxAngle((float)maxAngle)
  , mInnerRadius((float)innerRadius)
  , mOuterRadius(outerRadius == 0.0 ? 0.5f * (float)rect.W() : (float)outerRadius)
{
  mBlend = IChannelBlend(IChannelBlend::kBlendClobber);
}

bool IKnobLineControl::Draw(IGraphics* pGraphics)
{
  const double angle = KnobAngle(mValue, mMinAngle, mMaxAngle);
  const double s = sin(angle), c = cos(angle);
  const double cx = mRECT.MW(), cy = mRECT.MH();
  return pGraphics->DrawLine(&mColor, (float)(cx + mInnerRadius * s),
                             (float)(cy - mInnerRadius * c), (float)(cx + mOuterRadius * s),
                             (float)(cy - mOuterRadius * c), &mBlend, true);
}
