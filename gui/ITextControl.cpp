#include "gui/ITextControl.h"

#include "framework/PluginBase.h"
#include "gui/IGraphics.h"

#include <cstring>

ITextControl::ITextControl(PluginBase* pPlug, IRECT rect, IText* pText, const char* str)
  : IControl(pPlug, rect, -1, IChannelBlend(IChannelBlend::kBlendNone))
  , mStr(str)
{
  mText = *pText;
}

bool ITextControl::Draw(IGraphics* pGraphics)
{
  if (!mStr.GetLength())
    return true;
  return pGraphics->DrawIText(&mText, mStr.Get(), &mRECT, false);
}

void ITextControl::SetTextFromPlug(const char* str)
{
  if (!str || strcmp(str, mStr.Get()) != 0)
  {
    SetDirty(false);
    mStr.Set(str ? str : "");
  }
}

ICaptionControl::ICaptionControl(PluginBase* pPlug, IRECT rect, int paramIdx, IText* pText,
                                 bool showParamLabel)
  : ITextControl(pPlug, rect, pText, "")
  , mShowParamLabel(showParamLabel)
{
  mParamIdx = paramIdx;
}

void ICaptionControl::OnMouseDown(int /*x*/, int /*y*/, IMouseMod* pMod)
{
  if (pMod && (pMod->L || pMod->R))
    PromptUserInput();
}

void ICaptionControl::OnMouseDblClick(int /*x*/, int /*y*/, IMouseMod* /*pMod*/)
{
  PromptUserInput();
}

bool ICaptionControl::Draw(IGraphics* pGraphics)
{
  if (IParam* pParam = mPlug ? mPlug->GetParam(mParamIdx) : nullptr)
  {
    char display[IParam::kTextLen];
    pParam->GetDisplayForHost(display, IParam::kTextLen);
    mStr.Set(display);
    if (mShowParamLabel)
    {
      mStr.Append(" ");
      mStr.Append(pParam->GetLabelForHost());
    }
  }
  return ITextControl::Draw(pGraphics);
}
