#pragma once
// A stand-in editor surface for the instance base's tests: it records what the plug-in pushes into
// it and counts its own destruction. It supplies the surface members the plug-in calls until the
// real surface exists, so a test binary links either this or the real surface, never both.

#include "gui/IGraphics.h"

#include <vector>

class TestSurface : public IGraphics
{
public:
  struct ParamPush
  {
    int paramIdx;
    double value;
    bool normalized;
  };

  // deleted: set to true when the surface is destroyed (may be null).
  TestSurface(PluginBase* pPlug, int w, int h, bool* pDeleted = nullptr)
    : IGraphics(pPlug, w, h)
    , mDeleted(pDeleted)
  {}
  ~TestSurface() override
  {
    if (mDeleted)
      *mDeleted = true;
  }

  std::vector<ParamPush> mPushes;
  int mPrepDraws = 0;
  int mPushesBeforePrepDraw = -1;

  bool DrawScreen(IRECT*) override { return true; }
  void ForceEndUserEdit() override {}
  int ShowMessageBox(const char*, const char*, int) override { return 0; }
  IPopupMenu* CreateIPopupMenu(IPopupMenu*, IRECT*) override { return nullptr; }
  void CreateTextEntry(IControl*, IText*, IRECT*, const char*, IParam*) override {}
  void HostPath(QvString*) override {}
  void PluginPath(QvString*) override {}
  void DesktopPath(QvString*) override {}
  void PromptForFile(QvString*, EFileAction, QvString*, char*) override {}
  bool PromptForColor(IColor*, char*) override { return false; }
  bool OpenURL(const char*, const char*, const char*, const char*) override { return false; }
  void* OpenWindow(void*) override { return nullptr; }
  void CloseWindow() override {}
  void* GetWindow() override { return nullptr; }
  PX_IBitmap* OSLoadBitmap(int, const char*) override { return nullptr; }

private:
  bool* mDeleted;
};
