#pragma once

// A window for a plug-in's editor to live in: effEditOpen takes the parent window's handle.
//
// On Windows this is a top-level window of the host's own class, created on the calling thread,
// whose messages `pumpMessages` dispatches (the editor's timer and painting need them). Other
// targets have no window system to offer here: the handle is null, pumping does nothing, and the
// window primitives below find, send and capture nothing.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vsthost {

// Pixels as 0xAARRGGBB words, row by row from the top; what a window shows is opaque.
struct Picture
{
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  uint32_t at(int x, int y) const
  {
    return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
  }
};

class HostWindow
{
public:
  HostWindow();
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  void* handle() const { return mHandle; }  // HWND, or null

  // Gives the window a client area of w x h pixels near the screen's top-left corner and shows it
  // without activating it. False without a window.
  bool showWithClientSize(int w, int h);

  // Dispatches the messages waiting for the calling thread's windows (10000 at most), without
  // blocking.
  static void pumpMessages();

  // ---- Window primitives (any window of this process; null finds and does nothing) ----------

  // The first child window of wnd, or null.
  static void* firstChild(void* wnd);
  static void post(void* wnd, unsigned msg, uintptr_t wParam, intptr_t lParam);
  // A point of wnd's client area in screen coordinates.
  static void clientToScreen(void* wnd, int* x, int* y);
  // Whether part of wnd waits to be painted.
  static bool paintPending(void* wnd);
  // The client area's pixels as the window shows them, read from its device context. False when
  // they cannot be read.
  static bool capture(void* wnd, Picture* out);

private:
  void* mHandle = nullptr;
};

}  // namespace vsthost
