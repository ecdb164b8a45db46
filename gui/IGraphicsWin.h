#pragma once
// IGraphicsWin: the editor surface's Windows half.
//
// It creates the editor as a child window ("PluginEditor", class "PluginEditorWndClass") inside the
// window the host hands to effEditOpen, redraws from a timer (id 2, 1000 / fps ms) that asks the
// surface what is dirty and invalidates it, paints by copying the off-screen bitmap, and turns
// mouse, wheel and key messages into the surface's event calls. It hosts the value entry box (a
// subclassed EDIT control whose state machine lives in gui/TextEntry.h) and decodes the PNG
// resources of its module. The window procedures only unpack messages (gui/WindowInput.h) and
// call the surface.
//
// Threads: the window, its timer and its messages belong to the thread that opened it (the host's
// GUI thread). Closing from another thread posts WM_CLOSE to the window instead of destroying it,
// after cutting the window loose from the surface (timer messages and the rest then go to the
// default procedure), so the surface may be deleted at once.
//
// Careful: a window may also be destroyed by others (the host destroying its own window first, a
// WM_CLOSE): its WM_NCDESTROY detaches it from the surface and ends any edit, so nothing keeps a
// stale handle. Its window class, which cannot be unregistered while the window still exists, goes
// at the next editor close, plug-in close or module unload (gui/WindowClassCount.h).
//
// The window procedures are a boundary like the plug-in's entry points: an exception thrown while
// a message is handled (painting, the mouse, the entry box, a dialog's or menu's loop inside a
// press) is stopped there, counted and reported through the log later. The paint is ended all the
// same, and a mouse message that failed lets go of the mouse and ends its edit gesture.

#include "framework/base/QvString.h"
#include "gui/IGraphics.h"
#include "gui/TextEntry.h"

#include <windows.h>

class IGraphicsWin : public IGraphics
{
public:
  // fps below 1 becomes 25.
  IGraphicsWin(PluginBase* pPlug, int w, int h, int fps = 0);
  // Closes the window (an open entry box is cancelled, never committed: the plug-in is going).
  ~IGraphicsWin() override;

  // The module whose resources, window class and edit box the surface uses.
  void SetHInstance(HINSTANCE hInstance) { mHInstance = hInstance; }

  // [GUI] Copies rectangle r of the off-screen bitmap to the window (inside WM_PAINT to the
  // painting context). Nothing while no window is open.
  bool DrawScreen(IRECT* pR) override;
  // [GUI] The open entry box cancels at the next tick.
  void ForceEndUserEdit() override;
  // [GUI] Cancels an open entry box, then resizes the surface (deleting its controls), the window
  // and, unless the host embeds it itself, the host's windows around it by the same amount.
  // The same size does nothing.
  void Resize(int w, int h) override;
  // [GUI] Opens the entry box over pTextRect holding str (see gui/TextEntry.h). Nothing without a
  // window or control, or while a box is open.
  void CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect, const char* str,
                       IParam* pParam) override;
  // [GUI] The editor window inside pParentWnd (an HWND), or null when it cannot be created.
  // Opening again closes the old window and keeps its place and size in the new parent.
  void* OpenWindow(void* pParentWnd) override;
  // Destroys the window (a pending commit of the entry box is done first, any other edit
  // cancelled, a mouse gesture in progress released); nothing when none is open.
  void CloseWindow() override;
  void* GetWindow() override { return mPlugWnd; }
  void HideMouseCursor() override;
  void ShowMouseCursor() override;
  // PNG resources of the module only (by the name's extension); null when missing or undecodable.
  PX_IBitmap* OSLoadBitmap(int id, const char* name) override;

  // ---- Menus, dialogs and paths (modal, GUI thread) ---------------------------------------------

  // The box is owned by the host's top-level window (or by none when it is unknown); the answer is
  // the system's (IDOK, IDYES, ...).
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  // Shows the menu below pTextRect and waits. The menu or submenu the user chose an item in, its
  // chosen index set; null when nothing was chosen, the menu could not be made or the window
  // closed meanwhile.
  IPopupMenu* CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pTextRect) override;
  // The folders of the host's program and of the plug-in's module, each with its trailing
  // backslash; empty when the name cannot be had whole.
  void HostPath(QvString* pPath) override;
  void PluginPath(QvString* pPath) override;
  // Leaves the path as it is: the dialogs then start in their own default folder.
  void DesktopPath(QvString* pPath) override;
  // The system's open or save dialog (a save asks before overwriting; an open takes only existing
  // files) with one filter of the extensions and the first as the default. Names and folders of
  // up to 255 characters.
  bool PromptForFile(QvString* pFilename, EFileAction action, QvString* pDir,
                     char* extensions) override;
  // The colour dialog titled prompt; the colour's alpha is kept. The custom colours the user
  // defines stay for the next colour dialog of this editor.
  bool PromptForColor(IColor* pColor, char* prompt) override;
  // Asks first when confirmMsg is given (yes opens), then opens url; a failure is reported with
  // errorMsg when given. windowTitle captions both boxes.
  bool OpenURL(const char* url, const char* windowTitle, const char* confirmMsg,
               const char* errorMsg) override;

  // What opening a web address does once the user agreed: true when it opened. The default checks
  // that the machine is online and hands the address to the shell; tests put a recorder here so
  // that no browser starts. Null restores the default; answers the one it replaces.
  typedef bool (*URLLauncher)(HWND owner, const char* url);
  static URLLauncher SetURLLauncher(URLLauncher launcher);

  // ---- Windows side ---------------------------------------------------------------------------

  // The host's top-level window (found once, from the parent chain or by its class name among
  // this process's windows), or null: the owner for message boxes.
  HWND GetMainWnd();
  // The editor window's screen rectangle less 6 on the right and 23 at the bottom; empty while
  // closed.
  IRECT GetWindowRECT();
  void SetWindowTitle(const char* title);
  // Buttons, shift and control of a mouse message; alt as held now.
  static IMouseMod GetMouseMod(WPARAM wParam);

  static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ParamEditProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
  // WndProc's work, inside its guard.
  static LRESULT RouteMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static void AfterStoppedMessage(HWND hWnd, UINT msg);
  static LRESULT EditBoxMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Messages of the surface's current window once created (WndProc routes them here).
  LRESULT HandleMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void OnRedrawTick();
  void OnPaint();
  void OnButtonDown(UINT msg, int x, int y, IMouseMod* pMod);
  // Ends a gesture in progress as a release at its last position and gives up the mouse.
  void LetGoOfMouse();
  // A key the controls do not take goes on to the host's top-level window.
  LRESULT OnKeyMessage(HWND hWnd, WPARAM wParam, LPARAM lParam);
  LRESULT OnColorEdit(HDC dc);
  // Closes the window; finishInput (the plug-in stays): a pending commit of the entry box is done
  // first and a mouse gesture in progress ends.
  void CloseEditorWindow(bool finishInput);
  // The window was destroyed under the surface: forget it.
  void OnWindowGone();
  // Closes an open entry box at once, committing its text first when commit is true (and the box
  // lives on this thread); then nothing of it is left: procedure restored, box destroyed, font
  // deleted, state cleared.
  void EndUserEdit(bool commit);
  // The box is gone (destroyed, or with its parent): forget it and delete its font.
  void OnEditBoxGone();
  // Grows the editor window (when editorToo) and, unless the host sizes its own windows, the host's
  // windows it is embedded in by (dw, dh).
  void ResizeWindows(int dw, int dh, bool editorToo);
  // Grows the host's windows when they show less than the whole editor.
  void FitHostWindows();
  // Invalidates and paints the whole editor now.
  void RedrawAll();
  // Whether the calling thread owns the window (only it may destroy it).
  static bool OnOwnThread(HWND wnd);

  HINSTANCE mHInstance;
  HWND mPlugWnd;
  HWND mParamEditWnd;
  IControl* mEdControl;
  IParam* mEdParam;
  WNDPROC mDefEditProc;
  ITextEntryState mParamEditMsg;
  COLORREF* mCustomColorStorage;  // the colour dialog's custom colours (allocated on first use)
  DWORD mPID;
  HWND mParentWnd;
  HWND mMainWnd;
  QvString mMainWndClassName;
  HFONT mEditFont;  // the entry box's font, deleted after the box
  HDC mPaintDC;     // the painting context while WM_PAINT draws
};
