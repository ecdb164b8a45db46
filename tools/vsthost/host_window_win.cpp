#include "tools/vsthost/host_window.h"

#include <windows.h>

#include <cstring>

namespace vsthost {
namespace {

const wchar_t kClassName[] = L"QvHostWindow";

bool registerClass()
{
  static const bool registered = [] {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
  }();
  return registered;
}

}  // namespace

HostWindow::HostWindow()
{
  if (!registerClass())
    return;
  HWND wnd =
    CreateWindowExW(0, kClassName, L"vsthost", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                    CW_USEDEFAULT, 800, 600, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!wnd)
    return;
  mHandle = wnd;
}

HostWindow::~HostWindow()
{
  if (mHandle)
    DestroyWindow(static_cast<HWND>(mHandle));
}

bool HostWindow::showWithClientSize(int w, int h)
{
  HWND wnd = static_cast<HWND>(mHandle);
  if (!wnd)
    return false;
  RECT r = {0, 0, w, h};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(wnd, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(wnd, GWL_EXSTYLE)));
  // On the screen as a whole: what lies beyond it is never drawn.
  const int kMargin = 16;
  SetWindowPos(wnd, nullptr, kMargin, kMargin, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(wnd, SW_SHOWNOACTIVATE);
  return true;
}

void HostWindow::pumpMessages()
{
  // Bounded: a window that keeps asking to be painted does not hold the caller forever.
  const int kMaxMessages = 10000;
  MSG msg;
  for (int n = 0; n < kMaxMessages && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++n)
  {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void* HostWindow::firstChild(void* wnd)
{
  return wnd ? GetWindow(static_cast<HWND>(wnd), GW_CHILD) : nullptr;
}

void HostWindow::post(void* wnd, unsigned msg, uintptr_t wParam, intptr_t lParam)
{
  if (wnd)
    PostMessageW(static_cast<HWND>(wnd), msg, wParam, lParam);
}

void HostWindow::clientToScreen(void* wnd, int* x, int* y)
{
  POINT p = {*x, *y};
  if (wnd && ClientToScreen(static_cast<HWND>(wnd), &p))
  {
    *x = p.x;
    *y = p.y;
  }
}

bool HostWindow::paintPending(void* wnd)
{
  return wnd && GetUpdateRect(static_cast<HWND>(wnd), nullptr, FALSE);
}

bool HostWindow::capture(void* wnd, Picture* out)
{
  HWND w = static_cast<HWND>(wnd);
  RECT r;
  if (!w || !GetClientRect(w, &r) || r.right <= 0 || r.bottom <= 0)
    return false;
  const int width = r.right, height = r.bottom;
  BITMAPINFO bmi;
  memset(&bmi, 0, sizeof(bmi));
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = -height;  // top-down rows
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  HDC windowDC = GetDC(w);
  HDC memDC = CreateCompatibleDC(windowDC);
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(memDC, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (windowDC && memDC && section && bits)
  {
    HGDIOBJ old = SelectObject(memDC, section);
    ok = BitBlt(memDC, 0, 0, width, height, windowDC, 0, 0, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memDC, old);
    if (ok)
    {
      out->width = width;
      out->height = height;
      out->pixels.assign(static_cast<const uint32_t*>(bits),
                         static_cast<const uint32_t*>(bits) + static_cast<size_t>(width) * height);
      for (uint32_t& p : out->pixels)
        p |= 0xFF000000u;  // the screen has no alpha
    }
  }
  if (section)
    DeleteObject(section);
  if (memDC)
    DeleteDC(memDC);
  if (windowDC)
    ReleaseDC(w, windowDC);
  return ok;
}

}  // namespace vsthost
