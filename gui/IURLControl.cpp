#include "gui/IURLControl.h"

#include "framework/PluginBase.h"
#include "framework/base/StrCopy.h"
#include "gui/IGraphics.h"

IURLControl::IURLControl(PluginBase* pPlug, IRECT rect, const char* url, const char* backupURL,
                         const char* errMsg)
  : IControl(pPlug, rect, -1, IChannelBlend(IChannelBlend::kBlendNone))
{
  StrCopyBounded(mURL, kURLLen, url);
  StrCopyBounded(mBackupURL, kURLLen, backupURL);
  StrCopyBounded(mErrMsg, kMsgLen, errMsg);
}

void IURLControl::OnMouseDown(int /*x*/, int /*y*/, IMouseMod* /*pMod*/)
{
  IGraphics* pGraphics = mPlug ? mPlug->GetGUI() : nullptr;
  if (!pGraphics)
    return;
  bool opened = false;
  if (mURL[0])
    opened = pGraphics->OpenURL(mURL, mErrMsg, nullptr, nullptr);
  if (!opened && mBackupURL[0])
    pGraphics->OpenURL(mBackupURL, mErrMsg, nullptr, nullptr);
}
