#include "gui/IPlainControls.h"

#include "gui/IGraphics.h"

IPanelControl::IPanelControl(PluginBase* pPlug, IRECT rect, const IColor* pColor)
  : IControl(pPlug, rect, -1, IChannelBlend(IChannelBlend::kBlendNone))
  , mColor(*pColor)
{}

bool IPanelControl::Draw(IGraphics* pGraphics)
{
  pGraphics->FillIRect(&mColor, &mRECT, &mBlend);
  return true;
}

IInvisibleSwitchControl::IInvisibleSwitchControl(PluginBase* pPlug, IRECT rect, int paramIdx)
  : IControl(pPlug, rect, paramIdx, IChannelBlend(IChannelBlend::kBlendClobber))
{
  mDisablePrompt = true;
}

void IInvisibleSwitchControl::OnMouseDown(int /*x*/, int /*y*/, IMouseMod* /*pMod*/)
{
  mValue = mValue < 0.5 ? 1.0 : 0.0;
  SetDirty(true);
}
