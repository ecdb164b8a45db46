#include "tools/vsthost/host_window.h"

#include <windows.h>

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

void HostWindow::pumpMessages()
{
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
  {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace vsthost
