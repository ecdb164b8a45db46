// Mouse and key dispatch, the edit gestures reported to the host, and value prompts.
#include "framework/PluginBase.h"
#include "gui/IControl.h"
#include "gui/IGraphics.h"
#include "gui/IPopupMenu.h"
#include "gui/TextEntry.h"

#include <cstring>

int IGraphics::GetMouseControlIdx(int x, int y, bool mo)
{
  if (mMouseCapture >= 0)
    return mMouseCapture;
  for (int i = mControls.GetSize() - 1; i >= 0; --i)
  {
    IControl* pControl = mControls.Get(i);
    const bool usable = !pControl->IsGrayed() || (mo && pControl->GetMOWhenGrayed());
    if (!pControl->IsHidden() && usable && pControl->IsHit(x, y))
      return i;
  }
  return -1;
}

void IGraphics::ReleaseMouseCapture()
{
  mMouseCapture = -1;
  mMouseX = mMouseY = -1;
}

void IGraphics::EndEditGesture()
{
  mInGesture = false;
  if (mEditParamIdx < 0)
    return;
  const int paramIdx = mEditParamIdx;
  mEditParamIdx = -1;
  mPlug->EndInformHostOfParamChange(paramIdx);
}

// Begin-edit goes out before the first change a press makes, or after a press that changed nothing
// (hosts take it as the user touching the control); a press that only opened the entry box or a
// menu sends nothing (the box's commit is a gesture of its own). A value the host reads as it reads
// the one held now (a step not reached, a move below its resolution) is no change: nothing is sent.
void IGraphics::SetParameterFromControl(IControl* pControl, double value)
{
  const int paramIdx = pControl->ParamIdx();
  IParam* pParam = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
  if (!pParam)
    return;
  {
    PluginBase::IMutexLock lock(mPlug);
    if (pParam->KeepsHostValue(value))
      return;
  }
  const bool ownGesture = !mInGesture || (mEditParamIdx >= 0 && mEditParamIdx != paramIdx);
  if (ownGesture || mEditParamIdx < 0)
    mPlug->BeginInformHostOfParamChange(paramIdx);
  if (!ownGesture)
    mEditParamIdx = paramIdx;
  try
  {
    mPlug->SetParameterFromGUI(paramIdx, value);
    // The bindings change under this lock (a parameter change may rebuild the editor). The other
    // controls show what the parameter holds.
    PluginBase::IMutexLock lock(mPlug);
    ShowParameter(paramIdx, pParam->GetNormalized(), pControl);
  }
  catch (...)
  {
    if (ownGesture)
      mPlug->EndInformHostOfParamChange(paramIdx);  // the host's gesture stays whole
    throw;
  }
  if (ownGesture)
    mPlug->EndInformHostOfParamChange(paramIdx);
}

void IGraphics::OnMouseDown(int x, int y, IMouseMod* pMod)
{
  OnMouseCaptureLost();  // a press whose release never came: released where it was last
  ReleaseMouseCapture();
  const int c = GetMouseControlIdx(x, y);
  if (c < 0)
    return;
  mMouseCapture = c;
  mMouseX = x;
  mMouseY = y;
  IControl* pControl = mControls.Get(c);
  const int paramIdx = pControl->ParamIdx();
  if (mPlug && mPlug->GetAPI() == kAPIVST3 && pMod && pMod->R && paramIdx >= 0)
  {
    ReleaseMouseCapture();
    mPlug->PopupHostContextMenuForParam(paramIdx, x, y);
    return;
  }
  mInGesture = true;
  mPrompted = false;
  pControl->OnMouseDown(x, y, pMod);
  BeginTouchGesture(c);
}

// After a press: the control still held and bound to a parameter, no change made and no prompt
// opened, the host hears that the user touched it.
void IGraphics::BeginTouchGesture(int c)
{
  if (!mPlug || mPrompted || !mInGesture || mEditParamIdx >= 0 || mMouseCapture != c)
    return;
  const int paramIdx = mControls.Get(c)->ParamIdx();
  if (paramIdx < 0 || paramIdx >= mPlug->NParams())
    return;
  mEditParamIdx = paramIdx;
  mPlug->BeginInformHostOfParamChange(paramIdx);
}

void IGraphics::OnMouseUp(int x, int y, IMouseMod* pMod)
{
  const int c = GetMouseControlIdx(x, y);
  ReleaseMouseCapture();
  if (c >= 0)
    mControls.Get(c)->OnMouseUp(x, y, pMod);
  EndEditGesture();
}

void IGraphics::OnMouseCaptureLost()
{
  if (mMouseCapture < 0)
  {
    EndEditGesture();  // a menu took the capture before the change it made
    return;
  }
  IMouseMod none;
  OnMouseUp(mMouseX, mMouseY, &none);
}

void IGraphics::AbandonMouseGesture()
{
  ReleaseMouseCapture();
  EndEditGesture();
}

void IGraphics::OnMouseDrag(int x, int y, IMouseMod* pMod)
{
  if (mMouseCapture < 0)
    return;
  const int dX = x - mMouseX, dY = y - mMouseY;
  if (!dX && !dY)
    return;
  mMouseX = x;
  mMouseY = y;
  mControls.Get(mMouseCapture)->OnMouseDrag(x, y, dX, dY, pMod);
}

// Either way the control holds the capture until the release that follows, which ends the gesture
// (and may change the value again).
bool IGraphics::OnMouseDblClick(int x, int y, IMouseMod* pMod)
{
  OnMouseCaptureLost();
  ReleaseMouseCapture();
  const int c = GetMouseControlIdx(x, y);
  if (c < 0)
    return false;
  IControl* pControl = mControls.Get(c);
  mMouseCapture = c;
  mMouseX = x;
  mMouseY = y;
  mInGesture = true;
  mPrompted = false;
  if (pControl->MouseDblAsSingleClick())
  {
    pControl->OnMouseDown(x, y, pMod);
    BeginTouchGesture(c);
    return true;
  }
  pControl->OnMouseDblClick(x, y, pMod);
  BeginTouchGesture(c);
  return false;
}

// A part notch (d 0) moves nothing and is no gesture.
void IGraphics::OnMouseWheel(int x, int y, IMouseMod* pMod, int d)
{
  const int c = d ? GetMouseControlIdx(x, y) : -1;
  if (c >= 0)
    mControls.Get(c)->OnMouseWheel(x, y, pMod, d);
}

bool IGraphics::OnMouseOver(int x, int y, IMouseMod* pMod)
{
  if (!mHandleMouseOver)
    return false;
  const int c = GetMouseControlIdx(x, y, true);
  if (c >= 0)
  {
    mMouseX = x;
    mMouseY = y;
    mControls.Get(c)->OnMouseOver(x, y, pMod);
    if (mMouseOver >= 0 && mMouseOver != c)
    {
      if (IControl* pOut = mControls.Get(mMouseOver))
        pOut->OnMouseOut();
    }
    mMouseOver = c;
  }
  return mHandleMouseOver;
}

void IGraphics::OnMouseOut()
{
  for (int i = 0, n = mControls.GetSize(); i < n; ++i)
    mControls.Get(i)->OnMouseOut();
  mMouseOver = -1;
}

bool IGraphics::OnKeyDown(int x, int y, int key)
{
  const int c = GetMouseControlIdx(x, y);
  if (c > 0)
    return mControls.Get(c)->OnKeyDown(x, y, key);
  return mKeyCatcher ? mKeyCatcher->OnKeyDown(x, y, key) : false;
}

// ---- Prompts ------------------------------------------------------------------------------------

void IGraphics::PromptUserInput(IControl* pControl, IParam* pParam, IRECT* pTextRect)
{
  if (!pControl || !pParam || !pTextRect)
    return;
  mPrompted = true;
  const IParam::EParamType type = pParam->Type();
  const bool named =
    type == IParam::kTypeEnum || (type == IParam::kTypeBool && pParam->GetNDisplayTexts() > 0);
  char current[IParam::kTextLen];
  if (!named)
  {
    pParam->GetDisplayForHostNoDisplayText(current, IParam::kTextLen);
    CreateTextEntry(pControl, pControl->GetText(), pTextRect, current, pParam);
    return;
  }
  // Named values are chosen from a menu of the display texts, the current one checked.
  pParam->GetDisplayForHost(current, IParam::kTextLen);
  IPopupMenu menu;
  for (int i = 0, n = pParam->GetNDisplayTexts(); i < n; ++i)
  {
    const char* text = pParam->GetDisplayText(i);
    menu.AddItem(text, -1, strcmp(text, current) ? 0 : IPopupMenuItem::kChecked);
  }
  if (IPopupMenu* pChosen = CreateIPopupMenu(&menu, pTextRect))
    pControl->SetValueFromUserInput(pParam->GetNormalized((double)pChosen->GetChosenItemIdx()));
}

void IGraphics::SetFromStringAfterPrompt(IControl* pControl, IParam* pParam, const char* txt)
{
  double value;
  if (pControl && TextEntryValue(pParam, txt, &value))
    pControl->SetValueFromUserInput(value);
}
