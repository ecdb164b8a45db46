#pragma once
// A file selector: a press asks for a file with the system's open or save dialog (modal), starting
// in its folder and offering its extensions. While the dialog is up the control shows its bitmap.
//
// Each prompt, chosen or cancelled, flips the value between 1 and 0 and pushes it, so the plug-in
// hears of every prompt; it then reads the file with GetLastSelectedFileForPlug. After a prompt the
// control reports itself dirty once more by itself, so that the bitmap is taken away.

#include "framework/base/QvString.h"
#include "gui/IControl.h"

class IFileSelectorControl : public IControl
{
public:
  enum EFileSelectorState
  {
    kSelectorIdle = 0,
    kSelectorSelecting = 1,
    kSelectorDone = 2
  };

  // extensions: separated by single spaces, such as "fxp fxb"; dir: where the dialog starts
  // (empty: its own default).
  IFileSelectorControl(PluginBase* pPlug, IRECT rect, int paramIdx, IBitmap* pBitmap,
                       EFileAction action, const char* dir = "", const char* extensions = "");
  ~IFileSelectorControl() override {}

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics* pGraphics) override;
  bool IsDirty() override;

  void GetLastSelectedFileForPlug(QvString* pOut) { pOut->Set(mFile.Get()); }
  void SetLastSelectedFileFromPlug(const char* file) { mFile.Set(file); }
  EFileSelectorState GetState() const { return mState; }

protected:
  IBitmap mBitmap;
  QvString mDir, mFile, mExtensions;
  EFileAction mFileAction;
  EFileSelectorState mState;
};
