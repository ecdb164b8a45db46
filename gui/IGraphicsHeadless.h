#pragma once
// IGraphicsHeadless: a drawing surface without a window.
//
// It draws into the off-screen bitmap like any surface and decodes the editor's PNG resources, but
// opens no window: OpenWindow answers null, so a host gets no editor from it. It serves where there
// is no window host: natively (tests under the sanitizers, pictures of the editor) and on Windows
// until the window host exists. Tick stands in for the window host's timer and paint messages.

#include "gui/IGraphics.h"

class IGraphicsHeadless : public IGraphics
{
public:
  // module: the module whose resources hold the bitmaps (natively unused: they are linked in).
  IGraphicsHeadless(PluginBase* pPlug, int w, int h, int fps = 0, void* module = nullptr);
  ~IGraphicsHeadless() override;

  // One timer tick and the paint it asks for: the dirty controls' rectangle is redrawn. True when
  // anything was.
  bool Tick();

  bool DrawScreen(IRECT* /*pR*/) override { return true; }
  void ForceEndUserEdit() override {}
  int ShowMessageBox(const char* /*text*/, const char* /*caption*/, int /*type*/) override
  {
    return 0;
  }
  IPopupMenu* CreateIPopupMenu(IPopupMenu* /*pMenu*/, IRECT* /*pTextRect*/) override
  {
    return nullptr;
  }
  void CreateTextEntry(IControl* /*pControl*/, IText* /*pText*/, IRECT* /*pTextRect*/,
                       const char* /*str*/, IParam* /*pParam*/) override
  {}
  void HostPath(QvString* pPath) override;
  void PluginPath(QvString* pPath) override;
  void DesktopPath(QvString* pPath) override;
  // No window: never a file.
  bool PromptForFile(QvString* pFilename, EFileAction action, QvString* pDir,
                     char* extensions) override;
  bool PromptForColor(IColor* /*pColor*/, char* /*prompt*/) override { return false; }
  bool OpenURL(const char* /*url*/, const char* /*windowTitle*/, const char* /*confirmMsg*/,
               const char* /*errorMsg*/) override
  {
    return false;
  }
  void* OpenWindow(void* /*pParentWnd*/) override { return nullptr; }
  void CloseWindow() override {}
  void* GetWindow() override { return nullptr; }
  // PNG resources only (by the name's extension); null when missing or undecodable.
  PX_IBitmap* OSLoadBitmap(int id, const char* name) override;

private:
  void* mModule;
};

// Whether a resource name selects the PNG decoder: the text after its last '.' is "png", any case.
// (A name without a dot is compared from its second character on.)
bool IsPNGResourceName(const char* name);
