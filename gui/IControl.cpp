#include "gui/IControl.h"

#include "framework/PluginBase.h"
#include "gui/IGraphics.h"
#include "gui/ITextControl.h"

IControl::IControl(PluginBase* pPlug, IRECT rect, int paramIdx, IChannelBlend blend)
  : mTextEntryLength(7)
  , mText()
  , mPlug(pPlug)
  , mRECT(rect)
  , mTargetRECT(rect)
  , mParamIdx(paramIdx)
  , mAuxParams(4096)
  , mValue(0.0)
  , mDefaultValue(-1.0)
  , mClampLo(0.0)
  , mClampHi(1.0)
  , mDirty(true)
  , mHide(false)
  , mGrayed(false)
  , mRedraw(false)
  , mDisablePrompt(true)
  , mDblAsSingleClick(false)
  , mMOWhenGrayed(false)
  , mBlend(blend)
  , mValDisplayControl(nullptr)
  , mNameDisplayControl(nullptr)
{}

void IControl::OnMouseDown(int /*x*/, int /*y*/, IMouseMod* pMod)
{
  if (pMod && pMod->R)
    PromptUserInput();
}

void IControl::OnMouseDblClick(int /*x*/, int /*y*/, IMouseMod* /*pMod*/)
{
  const double def = mDefaultValue;
  if (def >= 0.0)
  {
    mValue = def;
    SetDirty(true);
  }
}

void IControl::OnMouseWheel(int /*x*/, int /*y*/, IMouseMod* pMod, int d)
{
  const bool fine = pMod && (pMod->C || pMod->S);
  mValue += (fine ? 0.001 : 0.01) * d;
  SetDirty(true);
}

// The first value also becomes the default. It is drawn like any other change: a control that
// first hears from the plug-in while the editor shows (a step lamp) must not keep showing its
// initial value.
void IControl::SetValueFromPlug(double value)
{
  if (mDefaultValue < 0.0)
    mDefaultValue = value;
  if (mValue == value)
    return;
  mValue = value;
  SetDirty(false);
  Redraw();
}

void IControl::Hide(bool hide)
{
  mHide = hide;
  mRedraw = true;
  SetDirty(false);
}

void IControl::GrayOut(bool gray)
{
  mGrayed = gray;
  mBlend.mWeight = gray ? GRAYED_ALPHA : 1.0f;
  SetDirty(false);
}

void IControl::SetDirty(bool pushParamToPlug)
{
  const double v = mValue;
  if (mClampLo > v)
    mValue = mClampLo;
  else if (v > mClampHi)
    mValue = mClampHi;
  mDirty = true;
  if (!pushParamToPlug || !mPlug || mParamIdx < 0 || mParamIdx >= mPlug->NParams())
    return;
  // Through the surface when this control is on the plug-in's editor: it brackets the change in an
  // edit gesture and shows it on the other controls of the parameter.
  if (IGraphics* pGraphics = mPlug->GetGUI())
    pGraphics->SetParameterFromControl(this, mValue);
  else
    mPlug->SetParameterFromGUI(mParamIdx, mValue);
  IParam* pParam = mPlug->GetParam(mParamIdx);
  if (mValDisplayControl)
  {
    char display[IParam::kTextLen];
    pParam->GetDisplayForHost(display, IParam::kTextLen);
    mValDisplayControl->SetTextFromPlug(display);
  }
  if (mNameDisplayControl)
    mNameDisplayControl->SetTextFromPlug(pParam->GetNameForHost());
}

void IControl::SetClean()
{
  mDirty = mRedraw.Get();
  mRedraw = false;
}

void IControl::SetAuxParamValueFromPlug(int auxParamIdx, double value)
{
  AuxParam* pAux = GetAuxParam(auxParamIdx);
  if (pAux->mValue != value)
  {
    pAux->mValue = value;
    SetDirty(false);
    Redraw();
  }
}

void IControl::SetValueFromUserInput(double value)
{
  if (mValue != value)
  {
    mValue = value;
    SetDirty(true);
    Redraw();
  }
}

void IControl::PromptUserInput()
{
  if (mParamIdx < 0 || mDisablePrompt || !mPlug)
    return;
  IParam* pParam = mPlug->GetParam(mParamIdx);
  IGraphics* pGraphics = mPlug->GetGUI();
  if (!pParam || !pGraphics)
    return;
  if (pParam->GetNDisplayTexts())
  {
    pGraphics->PromptUserInput(this, pParam, &mRECT);
  }
  else
  {
    const int cx = (int)mRECT.MW(), cy = (int)mRECT.MH();
    IRECT box(cx - 15, cy - 8, cx + 15, cy + 8);
    pGraphics->PromptUserInput(this, pParam, &box);
  }
  Redraw();
}

void IControl::PromptUserInput(IRECT* pTextRect)
{
  if (mParamIdx < 0 || mDisablePrompt || !mPlug)
    return;
  if (IGraphics* pGraphics = mPlug->GetGUI())
  {
    pGraphics->PromptUserInput(this, mPlug->GetParam(mParamIdx), pTextRect);
    Redraw();
  }
}

int IControl::AuxParamIdx(int paramIdx)
{
  for (int i = 0, n = mAuxParams.GetSize(); i < n; ++i)
    if (GetAuxParam(i)->mParamIdx == paramIdx)
      return i;
  return -1;
}

void IControl::SetAllAuxParamsFromGUI()
{
  if (!mPlug)
    return;
  for (int i = 0, n = mAuxParams.GetSize(); i < n; ++i)
  {
    AuxParam* pAux = GetAuxParam(i);
    mPlug->SetParameterFromGUI(pAux->mParamIdx, pAux->mValue);
  }
}
