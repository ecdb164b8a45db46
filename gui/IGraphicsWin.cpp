// The editor window: its class, opening and closing, the redraw timer, painting, mouse, wheel and
// keys, resizing, the cursor and the module's PNG resources. The entry box is in
// IGraphicsWinEdit.cpp.
#include "gui/IGraphicsWin.h"

#include "framework/PluginBase.h"
#include "framework/vst/BoundaryGuard.h"
#include "gui/IControl.h"
#include "gui/IGraphicsHeadless.h"
#include "gui/WindowClassCount.h"
#include "gui/WindowInput.h"
#include "raster/px.h"
#include "raster/px_png.h"

#include <cstdlib>
#include <cstring>

namespace {

const char kWndClassName[] = "PluginEditorWndClass";
const char kWndProcWhere[] = "editor window";  // where the guard counts what it stopped
const char kWndTitle[] = "PluginEditor";
const UINT_PTR kRedrawTimerId = 2;
const int kClassNameLen = 128;

// Open editor windows of the process; the class is registered while there is any, and until a
// retry finds it free after its last window.
WindowClassCount sWindowClasses;
// The module the class is registered for (read and written under the count's lock).
HINSTANCE sClassModule = nullptr;

bool RegisterEditorClass(HINSTANCE hInstance)
{
  WNDCLASSA wc;
  memset(&wc, 0, sizeof(wc));
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = IGraphicsWin::WndProc;
  wc.hInstance = hInstance;
  wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
  wc.lpszClassName = kWndClassName;
  sClassModule = hInstance;
  if (RegisterClassA(&wc))
    return true;
  if (GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    return false;
  // Reuse this module's own class; replace one an earlier load of the module left behind.
  WNDCLASSA existing;
  if (GetClassInfoA(hInstance, kWndClassName, &existing) &&
      existing.lpfnWndProc == IGraphicsWin::WndProc)
    return true;
  return UnregisterClassA(kWndClassName, hInstance) && RegisterClassA(&wc);
}

// Fails while a window of the class still exists.
bool UnregisterEditorClass() { return UnregisterClassA(kWndClassName, sClassModule) != 0; }

void ReleaseEditorClass() { sWindowClasses.Release(UnregisterEditorClass); }

// At the module's unload (static destruction): a class whose last window outlived every retry goes
// before the window procedure it names does.
struct EditorClassAtUnload
{
  ~EditorClassAtUnload() { sWindowClasses.Retry(UnregisterEditorClass); }
} sEditorClassAtUnload;

// A child window that is not an MDI child: resizing it resizes what the host embeds it in.
bool IsEmbeddedChild(HWND wnd)
{
  return wnd && (GetWindowLongA(wnd, GWL_STYLE) & WS_CHILD) &&
         !(GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_MDICHILD);
}

// Window width and height; 0 x 0 for no window.
SIZE Measure(HWND wnd)
{
  SIZE s = {0, 0};
  RECT r;
  if (wnd && GetWindowRect(wnd, &r))
  {
    s.cx = r.right - r.left;
    s.cy = r.bottom - r.top;
  }
  return s;
}

struct MainWindowSearch
{
  DWORD pid;
  const char* className;
  HWND found;
};

BOOL CALLBACK FindMainWindow(HWND wnd, LPARAM lParam)
{
  MainWindowSearch* pSearch = (MainWindowSearch*)lParam;
  DWORD pid = 0;
  GetWindowThreadProcessId(wnd, &pid);
  char name[kClassNameLen + 1];
  if (pid == pSearch->pid && GetClassNameA(wnd, name, sizeof(name)) &&
      !strcmp(name, pSearch->className))
  {
    pSearch->found = wnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

bool IGraphicsWin::OnOwnThread(HWND wnd)
{
  return GetWindowThreadProcessId(wnd, nullptr) == GetCurrentThreadId();
}

IGraphicsWin::IGraphicsWin(PluginBase* pPlug, int w, int h, int fps)
  : IGraphics(pPlug, w, h, fps)
  , mHInstance(nullptr)
  , mPlugWnd(nullptr)
  , mParamEditWnd(nullptr)
  , mEdControl(nullptr)
  , mEdParam(nullptr)
  , mDefEditProc(nullptr)
  , mParamEditMsg()
  , mCustomColorStorage(nullptr)
  , mPID(0)
  , mParentWnd(nullptr)
  , mMainWnd(nullptr)
  , mMainWndClassName()
  , mEditFont(nullptr)
  , mPaintDC(nullptr)
{}

IGraphicsWin::~IGraphicsWin()
{
  CloseEditorWindow(false);
  free(mCustomColorStorage);
}

// ---- Opening and closing ------------------------------------------------------------------------

void* IGraphicsWin::OpenWindow(void* pParentWnd)
{
  HWND parent = (HWND)pParentWnd;
  int x = 0, y = 0, w = Width(), h = Height();
  mParentWnd = parent;
  if (mPlugWnd)
  {
    // The old place in the new parent's client area, where a child window's position counts
    // from (the parent's frame and caption, if it has any, lie outside it).
    RECT wr;
    POINT origin = {0, 0};
    const bool placed = GetWindowRect(mPlugWnd, &wr) && ClientToScreen(parent, &origin);
    CloseWindow();
    if (placed)
    {
      x = wr.left - origin.x;
      y = wr.top - origin.y;
      w = wr.right - wr.left;
      h = wr.bottom - wr.top;
    }
  }
  const HINSTANCE hInstance = mHInstance;
  if (!sWindowClasses.Acquire([hInstance] { return RegisterEditorClass(hInstance); }))
    return nullptr;
  // The surface (and with it the frame rate) reaches the window through its creation message.
  mPlugWnd = CreateWindowExA(0, kWndClassName, kWndTitle, WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
                             nullptr, mHInstance, this);
  if (!mPlugWnd)
  {
    ReleaseEditorClass();
    return nullptr;
  }
  FitHostWindows();
  SetAllControlsDirty();
  return mPlugWnd;
}

void IGraphicsWin::CloseWindow() { CloseEditorWindow(true); }

void IGraphicsWin::CloseEditorWindow(bool finishInput)
{
  if (!mPlugWnd)
  {
    // The window went by others' hands, its class perhaps still held by it then.
    sWindowClasses.Retry(UnregisterEditorClass);
    return;
  }
  HWND wnd = mPlugWnd;
  const bool own = OnOwnThread(wnd);
  EndUserEdit(finishInput && mParamEditMsg.CommitPending());
  if (finishInput && own)
    LetGoOfMouse();  // a gesture in progress ends here, not never
  if (!mPlugWnd)
    return;  // the commit or the release closed the editor already
  // Cut the window loose first: from now on nothing of it reaches the surface.
  if (own)
    KillTimer(wnd, kRedrawTimerId);
  SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
  mPlugWnd = nullptr;
  if (own)
    DestroyWindow(wnd);
  else
    PostMessageA(wnd, WM_CLOSE, 0, 0);  // its own thread destroys it
  ReleaseEditorClass();
}

// The window is forgotten first: what the release of a press then sets off (a control's handler,
// even one that throws) finds no window.
void IGraphicsWin::OnWindowGone()
{
  mPlugWnd = nullptr;
  ReleaseEditorClass();
  EndUserEdit(false);
  OnMouseCaptureLost();
}

// ---- Window procedure ---------------------------------------------------------------------------

LRESULT CALLBACK IGraphicsWin::WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  LRESULT result = 0;
  if (!BoundaryGuard::Completed(kWndProcWhere,
                                [&] { result = RouteMessage(hWnd, msg, wParam, lParam); }))
    AfterStoppedMessage(hWnd, msg);
  return result;
}

// A press or release that failed halfway leaves no capture held and no edit gesture open; its
// control is not called again.
void IGraphicsWin::AfterStoppedMessage(HWND hWnd, UINT msg)
{
  const bool mouse = (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || msg == WM_CAPTURECHANGED;
  IGraphicsWin* pGraphics = (IGraphicsWin*)GetWindowLongPtrA(hWnd, GWLP_USERDATA);
  if (!mouse || !pGraphics || pGraphics->mPlugWnd != hWnd)
    return;
  BoundaryGuard::Completed(kWndProcWhere, [&] {
    pGraphics->AbandonMouseGesture();
    if (GetCapture() == hWnd)
      ReleaseCapture();
  });
}

LRESULT IGraphicsWin::RouteMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_CREATE)
  {
    IGraphicsWin* pGraphics = (IGraphicsWin*)((CREATESTRUCTA*)lParam)->lpCreateParams;
    SetWindowLongPtrA(hWnd, GWLP_USERDATA, (LONG_PTR)pGraphics);
    SetTimer(hWnd, kRedrawTimerId, (UINT)RedrawTimerPeriod(pGraphics->FPS()), nullptr);
    SetFocus(hWnd);
    return 0;
  }
  IGraphicsWin* pGraphics = (IGraphicsWin*)GetWindowLongPtrA(hWnd, GWLP_USERDATA);
  if (msg == WM_NCDESTROY)
  {
    SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
    if (pGraphics && pGraphics->mPlugWnd == hWnd)
      pGraphics->OnWindowGone();
    return DefWindowProcA(hWnd, msg, wParam, lParam);
  }
  if (!pGraphics || pGraphics->mPlugWnd != hWnd)
    return DefWindowProcA(hWnd, msg, wParam, lParam);
  return pGraphics->HandleMessage(hWnd, msg, wParam, lParam);
}

LRESULT IGraphicsWin::HandleMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (mParamEditWnd && mParamEditMsg.Typing())
  {
    const bool press = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN;
    if (press && mParamEditMsg.OnPress(msg == WM_MBUTTONDOWN) == ITextEntryState::kPressSwallowed)
      return 0;
    return DefWindowProcA(hWnd, msg, wParam, lParam);
  }
  int x, y;
  SignedWordsOf(lParam, &x, &y);
  IMouseMod mod = GetMouseMod(wParam);
  switch (msg)
  {
    case WM_TIMER:
      if (wParam == kRedrawTimerId)
        OnRedrawTick();
      return 0;

    case WM_PAINT:
      OnPaint();
      return 0;

    case WM_MOUSEMOVE:
      if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)))
      {
        if (OnMouseOver(x, y, &mod))
        {
          TRACKMOUSEEVENT track = {sizeof(TRACKMOUSEEVENT), TME_LEAVE, hWnd, HOVER_DEFAULT};
          TrackMouseEvent(&track);
        }
      }
      else if (GetCapture() == hWnd && !mParamEditWnd)
      {
        OnMouseDrag(x, y, &mod);
      }
      return 0;

    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      OnButtonDown(msg, x, y, &mod);
      return 0;

    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      // Only the release of a press made here: a gesture whose capture was lost ended then. The
      // surface lets go first, so that losing the capture then ends nothing more.
      if (GetCapture() == hWnd)
      {
        OnMouseUp(x, y, &mod);
        ReleaseCapture();
      }
      return 0;

    case WM_LBUTTONDBLCLK:
      OnMouseDblClick(x, y, &mod);
      if (HasMouseCapture())
        SetCapture(hWnd);
      return 0;

    case WM_CAPTURECHANGED:
      if ((HWND)lParam != hWnd)
        OnMouseCaptureLost();
      return 0;

    case WM_SHOWWINDOW:
      if (!wParam)
        LetGoOfMouse();
      return DefWindowProcA(hWnd, msg, wParam, lParam);

    case WM_MOUSEWHEEL:
      if (mParamEditWnd)
      {
        mParamEditMsg.OnCancel();
      }
      else
      {
        RECT r;  // the position comes in screen coordinates
        GetWindowRect(hWnd, &r);
        OnMouseWheel(x - r.left, y - r.top, &mod, WheelNotches(wParam));
      }
      return 0;

    case WM_MOUSELEAVE:
      OnMouseOut();
      return 0;

    case WM_KEYDOWN:
      return OnKeyMessage(hWnd, wParam, lParam);

    case WM_CTLCOLOREDIT:
      return OnColorEdit((HDC)wParam);

    case WM_CLOSE:
      CloseWindow();
      return 0;

    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      return 0;

    default:
      return DefWindowProcA(hWnd, msg, wParam, lParam);
  }
}

// ---- Redrawing ----------------------------------------------------------------------------------

void IGraphicsWin::OnRedrawTick()
{
  if (mParamEditWnd)
  {
    switch (mParamEditMsg.OnTick())
    {
      case ITextEntryState::kTickCommits:
        EndUserEdit(true);
        return;
      case ITextEntryState::kTickCancels:
        EndUserEdit(false);
        return;
      case ITextEntryState::kTickRests:
        return;
      case ITextEntryState::kTickRedraws:
        break;
    }
  }
  IRECT r;
  if (!IsDirty(&r))
    return;
  RECT dirty = {r.L, r.T, r.R, r.B};
  InvalidateRect(mPlugWnd, &dirty, FALSE);
  if (mParamEditWnd && mEdControl)
  {
    // The box is not painted over: its control waits until the box is gone.
    const IRECT* e = mEdControl->GetRECT();
    RECT edited = {e->L, e->T, e->R, e->B};
    ValidateRect(mPlugWnd, &edited);
    UpdateWindow(mPlugWnd);
    mParamEditMsg.OnRedrawnAroundBox();
  }
  else
  {
    UpdateWindow(mPlugWnd);
  }
}

// The paint is ended (its region validated, its context given back) whatever is drawn, even when a
// control throws while it draws. A surface without controls draws nothing: the window shows its
// off-screen bitmap as it stands (blank after a resize), as a new window of that surface does.
void IGraphicsWin::OnPaint()
{
  struct Painting
  {
    IGraphicsWin* pGraphics;
    HWND wnd;
    PAINTSTRUCT ps;
    ~Painting()
    {
      pGraphics->mPaintDC = nullptr;
      EndPaint(wnd, &ps);
    }
  } painting = {this, mPlugWnd, {}};
  HDC dc = BeginPaint(mPlugWnd, &painting.ps);
  const RECT& p = painting.ps.rcPaint;
  IRECT r(p.left, p.top, p.right, p.bottom);
  RECT client;
  if (dc && r.R > r.L && r.B > r.T && GetClientRect(mPlugWnd, &client))
  {
    // The paint is clipped to the window, which may show less than the surface.
    SetClientSize(client.right, client.bottom);
    mPaintDC = dc;
    if (NControls())
      Draw(&r);
    else
      DrawScreen(&r);
  }
}

bool IGraphicsWin::DrawScreen(IRECT* pR)
{
  if (!mPlugWnd || !mDrawBitmap)
    return true;
  HDC dc = mPaintDC ? mPaintDC : GetDC(mPlugWnd);
  if (!dc)
    return true;
  BitBlt(dc, pR->L, pR->T, pR->W(), pR->H(), mDrawBitmap->getDC(), pR->L, pR->T, SRCCOPY);
  if (!mPaintDC)
    ReleaseDC(mPlugWnd, dc);
  return true;
}

void IGraphicsWin::RedrawAll()
{
  RECT all = {0, 0, Width(), Height()};
  InvalidateRect(mPlugWnd, &all, FALSE);
  UpdateWindow(mPlugWnd);
}

// ---- Mouse and keys -----------------------------------------------------------------------------

IMouseMod IGraphicsWin::GetMouseMod(WPARAM wParam)
{
  return MouseModOf(wParam, GetKeyState(VK_MENU) < 0);
}

void IGraphicsWin::OnButtonDown(UINT msg, int x, int y, IMouseMod* pMod)
{
  if (mParamEditWnd)
  {
    // Not typing: the box closes now (a pending commit done first) and the press acts.
    const bool commit =
      mParamEditMsg.OnPress(msg == WM_MBUTTONDOWN) == ITextEntryState::kPressCommitsBox;
    EndUserEdit(commit);
    if (!mPlugWnd)
      return;
    RedrawAll();
  }
  SetFocus(mPlugWnd);
  SetCapture(mPlugWnd);
  OnMouseDown(x, y, pMod);
}

void IGraphicsWin::LetGoOfMouse()
{
  OnMouseCaptureLost();
  if (mPlugWnd && GetCapture() == mPlugWnd)
    ReleaseCapture();
}

LRESULT IGraphicsWin::OnKeyMessage(HWND hWnd, WPARAM wParam, LPARAM lParam)
{
  const int key = KeyCodeOfVirtualKey(wParam);
  if (key >= 0)
  {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(hWnd, &p);
    if (OnKeyDown(p.x, p.y, key))
      return 0;
  }
  // Keys the editor does not take belong to the host.
  HWND root = GetAncestor(hWnd, GA_ROOT);
  if (root && root != hWnd)
    SendMessageA(root, WM_KEYDOWN, wParam, lParam);
  return DefWindowProcA(hWnd, WM_KEYDOWN, wParam, lParam);
}

LRESULT IGraphicsWin::OnColorEdit(HDC dc)
{
  if (!mEdControl)
    return 0;
  const IText* pText = mEdControl->GetText();
  const IColor& bg = pText->mTextEntryBGColor;
  const IColor& fg = pText->mTextEntryFGColor;
  SetBkColor(dc, RGB(bg.R, bg.G, bg.B));
  SetTextColor(dc, RGB(fg.R, fg.G, fg.B));
  SetBkMode(dc, OPAQUE);
  SetDCBrushColor(dc, RGB(bg.R, bg.G, bg.B));  // the box's background beyond the text
  return (LRESULT)GetStockObject(DC_BRUSH);
}

// ---- Resizing -----------------------------------------------------------------------------------

void IGraphicsWin::Resize(int w, int h)
{
  if (w == Width() && h == Height())
    return;
  EndUserEdit(false);  // its control is about to be deleted
  const int dw = w - Width(), dh = h - Height();
  IGraphics::Resize(w, h);
  if (!WindowIsOpen())
    return;
  ResizeWindows(dw, dh, true);
  RECT all = {0, 0, Width(), Height()};
  InvalidateRect(mPlugWnd, &all, FALSE);
}

void IGraphicsWin::ResizeWindows(int dw, int dh, bool editorToo)
{
  HWND wnds[3] = {mPlugWnd, nullptr, nullptr};
  if (IsEmbeddedChild(wnds[0]))
  {
    wnds[1] = GetParent(wnds[0]);
    if (IsEmbeddedChild(wnds[1]))
      wnds[2] = GetParent(wnds[1]);
  }
  SIZE sizes[3];
  for (int i = 0; i < 3; ++i)
    sizes[i] = Measure(wnds[i]);
  const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  const EAPI api = mPlug ? mPlug->GetAPI() : kAPIVST2;
  // Hosts of these interfaces size their own windows around the editor.
  const int n = api == kAPIVST3 || api == kAPIRTAS ? 1 : 3;
  for (int i = editorToo ? 0 : 1; i < n; ++i)
    if (wnds[i])
      SetWindowPos(wnds[i], nullptr, 0, 0, sizes[i].cx + dw, sizes[i].cy + dh, flags);
}

// A host window sized before the editor's size changed (while it was closed) would cut the editor
// off: it grows as a resize while open would have grown it.
void IGraphicsWin::FitHostWindows()
{
  HWND parent = IsEmbeddedChild(mPlugWnd) ? GetParent(mPlugWnd) : nullptr;
  RECT client, editor;
  if (!parent || !GetClientRect(parent, &client) || !GetWindowRect(mPlugWnd, &editor))
    return;
  MapWindowPoints(nullptr, parent, (POINT*)&editor, 2);
  const int dw = editor.right - client.right, dh = editor.bottom - client.bottom;
  if (dw > 0 || dh > 0)
    ResizeWindows(dw > 0 ? dw : 0, dh > 0 ? dh : 0, false);
}

// ---- Cursor, resources, host windows ------------------------------------------------------------

void IGraphicsWin::HideMouseCursor()
{
  if (mCursorHidden)
    return;
  POINT p;
  GetCursorPos(&p);
  mHiddenCursorX = p.x;
  mHiddenCursorY = p.y;
  ShowCursor(FALSE);
  mCursorHidden = true;
}

void IGraphicsWin::ShowMouseCursor()
{
  if (!mCursorHidden)
    return;
  SetCursorPos(mHiddenCursorX, mHiddenCursorY);
  ShowCursor(TRUE);
  mCursorHidden = false;
}

PX_IBitmap* IGraphicsWin::OSLoadBitmap(int id, const char* name)
{
  if (!IsPNGResourceName(name))
    return nullptr;
  return PX_LoadPNGFromResource(mHInstance, id, nullptr);
}

HWND IGraphicsWin::GetMainWnd()
{
  if (mMainWnd)
    return mMainWnd;
  if (mParentWnd)
  {
    HWND wnd = mParentWnd;
    while (HWND parent = GetParent(wnd))
      wnd = parent;
    mMainWnd = wnd;
    char name[kClassNameLen + 1] = "";
    GetClassNameA(wnd, name, sizeof(name));
    mMainWndClassName.Set(name);
  }
  else if (mMainWndClassName.GetLength())
  {
    mPID = GetCurrentProcessId();
    MainWindowSearch search = {mPID, mMainWndClassName.Get(), nullptr};
    EnumWindows(FindMainWindow, (LPARAM)&search);
    mMainWnd = search.found;
  }
  return mMainWnd;
}

IRECT IGraphicsWin::GetWindowRECT()
{
  RECT r;
  if (!mPlugWnd || !GetWindowRect(mPlugWnd, &r))
    return IRECT();
  return IRECT(r.left, r.top, r.right - 6, r.bottom - 23);
}

void IGraphicsWin::SetWindowTitle(const char* title)
{
  if (mPlugWnd)
    SetWindowTextA(mPlugWnd, title);
}
