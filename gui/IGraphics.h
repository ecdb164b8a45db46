#pragma once
// The editor surface: the platform-neutral half of the editor, owned by the plug-in instance.
//
// It keeps the controls, the off-screen bitmap they draw into and the redraw bookkeeping; the
// platform half derives from it and owns the window. Values travel between surface and plug-in in
// normalised form (0..1).
//
// Threads: the window, timer, painting, mouse and keys run on the host's GUI thread.
// SetParameterFromPlug is called on host threads that hold the instance mutex; the surface takes no
// lock of its own (a control may show a value one timer tick late).
//
// This declares the surface's interface as the plug-in instance uses it; the control list, the
// bitmaps, drawing and input dispatch are declared with the surface's implementation.

class PluginBase;
class IControl;
class IParam;
class IPopupMenu;
class QvString;
class PX_IBitmap;
struct IRECT;
struct IText;
struct IColor;

// What a file dialog is for.
enum EFileAction
{
  kFileOpen = 0,
  kFileSave = 1
};

class IGraphics
{
public:
  // fps below 1 becomes 25. Builds no bitmap (PrepDraw does).
  IGraphics(PluginBase* pPlug, int w, int h, int fps = 0);

  // ---- Virtual operations, in their fixed order -------------------------------------------------

  // [GUI] Copies rectangle r of the off-screen bitmap to the window.
  virtual bool DrawScreen(IRECT* pR) = 0;
  virtual bool MeasureIText(IText* pTxt, char* str, IRECT* pR);
  // [GUI] Abandons an open value entry box.
  virtual void ForceEndUserEdit() = 0;
  virtual void Resize(int w, int h);
  virtual bool WindowIsOpen() { return GetWindow() != nullptr; }
  virtual const char* GetGUIAPI() { return ""; }
  virtual int ShowMessageBox(const char* text, const char* caption, int type) = 0;
  virtual IPopupMenu* CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pTextRect) = 0;
  virtual void CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect, const char* str,
                               IParam* pParam) = 0;
  virtual void HostPath(QvString* pPath) = 0;
  virtual void PluginPath(QvString* pPath) = 0;
  virtual void DesktopPath(QvString* pPath) = 0;
  virtual void PromptForFile(QvString* pFilename, EFileAction action, QvString* pDir,
                             char* extensions) = 0;
  virtual bool PromptForColor(IColor* pColor, char* prompt) = 0;
  virtual bool OpenURL(const char* url, const char* windowTitle, const char* confirmMsg,
                       const char* errorMsg) = 0;
  // [GUI] Creates the editor window inside the host's window; null when it could not be made.
  virtual void* OpenWindow(void* pParentWnd) = 0;
  virtual void* OpenWindow(void* /*pWindow*/, void* /*pControl*/, short /*x*/, short /*y*/)
  {
    return nullptr;
  }
  virtual void AttachSubWindow(void* /*pWindow*/) {}
  virtual void RemoveSubWindow() {}
  // [GUI] Destroys the editor window; controls and values stay.
  virtual void CloseWindow() = 0;
  virtual void* GetWindow() = 0;
  virtual ~IGraphics();
  virtual void HideMouseCursor() {}
  virtual void ShowMouseCursor() {}
  virtual PX_IBitmap* OSLoadBitmap(int id, const char* name) = 0;

  // ---- Used by the plug-in instance -----------------------------------------------------------

  // Builds the off-screen bitmaps at the surface's size.
  void PrepDraw();
  // [host threads, instance mutex held] Pushes a parameter's value into every control bound to it
  // (as main or auxiliary parameter); a plain value (normalized false) is normalised first.
  void SetParameterFromPlug(int paramIdx, double value, bool normalized);

  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  int FPS() const { return mFPS; }
  PluginBase* GetPlug() { return mPlug; }

protected:
  PluginBase* mPlug;
  int mWidth;
  int mHeight;
  int mFPS;

private:
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;
};
