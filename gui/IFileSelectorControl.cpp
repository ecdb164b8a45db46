#include "gui/IFileSelectorControl.h"

#include "framework/PluginBase.h"
#include "gui/IGraphics.h"

IFileSelectorControl::IFileSelectorControl(PluginBase* pPlug, IRECT rect, int paramIdx,
                                           IBitmap* pBitmap, EFileAction action, const char* dir,
                                           const char* extensions)
  : IControl(pPlug, rect, paramIdx, IChannelBlend(IChannelBlend::kBlendNone))
  , mBitmap(*pBitmap)
  , mDir(dir)
  , mFile()
  , mExtensions(extensions)
  , mFileAction(action)
  , mState(kSelectorIdle)
{}

void IFileSelectorControl::OnMouseDown(int /*x*/, int /*y*/, IMouseMod* /*pMod*/)
{
  IGraphics* pGraphics = mPlug ? mPlug->GetGUI() : nullptr;
  if (!pGraphics)
    return;
  mState = kSelectorSelecting;
  SetDirty(false);
  pGraphics->PromptForFile(&mFile, mFileAction, &mDir, mExtensions.Get());
  double v = mValue + 1.0;
  if (!(v <= 1.0))
    v = 0.0;
  mValue = v;
  mState = kSelectorDone;
  SetDirty(true);
}

bool IFileSelectorControl::Draw(IGraphics* pGraphics)
{
  if (mState == kSelectorSelecting)
    pGraphics->DrawBitmap(&mBitmap, &mRECT, 0, 0, nullptr);
  return true;
}

bool IFileSelectorControl::IsDirty()
{
  if (mDirty)
    return true;
  if (mState == kSelectorDone)
  {
    mState = kSelectorIdle;
    return true;
  }
  return false;
}
