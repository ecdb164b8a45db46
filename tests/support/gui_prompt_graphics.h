#pragma once
// A headless surface that answers the modal services the way a user would: menus get the item the
// test chose (the checked ones recorded with a '*'), edit boxes, file prompts and opened addresses
// are recorded.

#include "gui/IControl.h"
#include "gui/IPopupMenu.h"
#include "tests/support/gui_test_util.h"

#include <string>
#include <vector>

class PromptGraphics : public TestGraphics
{
public:
  using TestGraphics::TestGraphics;

  int mChoose = -1;  // the item of the top menu chosen; -1 dismisses the menu
  std::vector<std::string> mMenuShown;
  IRECT mMenuRECT;
  IPopupMenu* CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pTextRect) override
  {
    mMenuRECT = *pTextRect;
    for (int i = 0; i < pMenu->GetNItems(); ++i)
      mMenuShown.push_back(std::string(pMenu->GetItemText(i)) +
                           (pMenu->IsItemChecked(i) ? "*" : ""));
    if (mChoose < 0)
      return nullptr;
    pMenu->SetChosenItemIdx(mChoose);
    return pMenu;
  }

  // "text @ L,T,R,B"
  std::vector<std::string> mTextEntries;
  void CreateTextEntry(IControl*, IText*, IRECT* pR, const char* str, IParam*) override
  {
    mTextEntries.push_back(std::string(str) + " @ " + std::to_string(pR->L) + "," +
                           std::to_string(pR->T) + "," + std::to_string(pR->R) + "," +
                           std::to_string(pR->B));
  }

  // Each file prompt: the action, folder and extensions; mChosenFile becomes the file name when set. mDuring
  // runs while the dialog is up.
  std::vector<std::string> mFilePrompts;
  const char* mChosenFile = nullptr;
  std::function<void()> mDuring;
  bool PromptForFile(QvString* pFile, EFileAction action, QvString* pDir, char* ext) override
  {
    mFilePrompts.push_back(std::string(action == kFileSave ? "save " : "open ") + pDir->Get() +
                           " " + ext);
    if (mDuring)
      mDuring();
    if (mChosenFile)
      pFile->Set(mChosenFile);
    return mChosenFile != nullptr;
  }

  // Each address opened, "url|title"; answers whether it opened (mOpens).
  std::vector<std::string> mURLs;
  std::vector<bool> mOpens;
  bool OpenURL(const char* url, const char* title, const char* confirm, const char* err) override
  {
    mURLs.push_back(std::string(url) + "|" + title + (confirm ? "|confirm" : "") +
                    (err ? "|error" : ""));
    const size_t k = mURLs.size() - 1;
    return k < mOpens.size() && mOpens[k];
  }
};

// A bare control whose prompts are enabled.
class PromptingControl : public IControl
{
public:
  PromptingControl(PluginBase* pPlug, IRECT rect, int paramIdx)
    : IControl(pPlug, rect, paramIdx)
  {
    mDisablePrompt = false;
  }
  bool Draw(IGraphics*) override { return true; }
};

// Enables the prompts of any control class.
template <class T>
class Prompting : public T
{
public:
  template <class... A>
  Prompting(A&&... args)
    : T(std::forward<A>(args)...)
  {
    this->mDisablePrompt = false;
  }
};
