#pragma once

// A window for a plug-in's editor to live in: effEditOpen takes the parent window's handle.
//
// On Windows this is a top-level window of the host's own class, created on the calling thread,
// whose messages `pumpMessages` dispatches (the editor's timer and painting need them). Other
// targets have no window system to offer here: the handle is null and pumping does nothing.

namespace vsthost {

class HostWindow
{
public:
  HostWindow();
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  void* handle() const { return mHandle; }  // HWND, or null

  // Dispatches the messages waiting for the calling thread's windows, without blocking.
  static void pumpMessages();

private:
  void* mHandle = nullptr;
};

}  // namespace vsthost
