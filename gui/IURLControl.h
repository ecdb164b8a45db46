#pragma once
// An invisible link: a press opens its web address in the user's browser, or its backup address
// when the first could not be opened. The message is handed to the surface's OpenURL as the title
// of its message boxes; no confirmation or failure message is asked for.

#include "gui/IControl.h"

class IURLControl : public IControl
{
public:
  // Addresses up to kURLLen - 1 characters and a message up to kMsgLen - 1 are kept; longer ones
  // are cut. Null or empty texts leave the field empty.
  IURLControl(PluginBase* pPlug, IRECT rect, const char* url, const char* backupURL = nullptr,
              const char* errMsg = nullptr);
  ~IURLControl() override {}

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics* /*pGraphics*/) override { return true; }

  static const int kURLLen = 256;
  static const int kMsgLen = 1024;

protected:
  char mURL[kURLLen];
  char mBackupURL[kURLLen];
  char mErrMsg[kMsgLen];
};
