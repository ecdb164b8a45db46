#pragma once

// A plug-in's editor in a real window, opened the way a host opens it: effEditGetRect for its
// size, a shown top-level host window whose client area fits it, effEditOpen with that window as
// parent. The editor is then driven by window messages posted to it, as the window system posts
// real input, and its pixels are read back from its device context in this process.
//
// Everything happens on the calling thread, which owns the windows: it must pump their messages
// (pumpFor, pumpUntil) for the editor's timer, painting and input to run. Waits are wall-clock
// times with slack, never counts of timer ticks (the window system's timers jitter).
//
// Windows only: elsewhere there is no window to open, and `open` answers 0.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/vst/abi/aeffect.h"
#include "tools/vsthost/host_window.h"
#include "tools/vsthost/plugin_instance.h"

namespace vsthost {

// Mouse buttons and keys held, as a mouse message carries them (the window system's values).
enum MouseKeys : unsigned
{
  kMouseLeft = 0x1,
  kMouseRight = 0x2,
  kMouseShift = 0x4,
  kMouseControl = 0x8,
  kMouseMiddle = 0x10
};

class EditorWindow
{
public:
  explicit EditorWindow(PluginInstance& plugin);
  // effEditClose when still open, then the host window goes.
  ~EditorWindow();
  EditorWindow(const EditorWindow&) = delete;
  EditorWindow& operator=(const EditorWindow&) = delete;

  // effEditGetRect, the host window, effEditOpen with it: the answer of effEditOpen (0 when the
  // plug-in reports no rectangle or no window can be made). Opening again reuses the host window.
  VstIntPtr open();
  // effEditClose: its answer.
  VstIntPtr close();

  // The editor's size from effEditGetRect (0 before open).
  int width() const { return mWidth; }
  int height() const { return mHeight; }
  // HWNDs: the host window (null before open), and the editor window the plug-in made in it
  // (its first child), or null.
  void* hostWindow() const;
  void* editor() const;

  // Posts a message to a window (the editor when wnd is null).
  void post(unsigned msg, uintptr_t wParam, intptr_t lParam, void* wnd = nullptr) const;
  // Mouse messages at (x, y) in editor pixels with the buttons and keys held. button: 0 left,
  // 1 right, 2 middle.
  void press(int button, int x, int y, unsigned keys = 0) const;
  void release(int button, int x, int y, unsigned keys = 0) const;
  void move(int x, int y, unsigned keys) const;
  // A left double click as the window system reports one: press, release, double click, release.
  void doubleClick(int x, int y) const;
  // delta in wheel units (120 a notch); the message carries screen coordinates.
  void wheel(int x, int y, int delta, unsigned keys = 0) const;
  void keyDown(unsigned virtualKey) const;
  // Characters to a window (the entry box), as typed.
  void type(void* wnd, const std::string& text) const;

  // The editor's pixels as its window shows them now. False without an editor window.
  bool capture(Picture* out) const;

  // Dispatches the calling thread's messages for ms milliseconds.
  static void pumpFor(int ms);
  // Dispatches them until done() holds (true) or timeoutMs pass (false).
  static bool pumpUntil(const std::function<bool()>& done, int timeoutMs);

private:
  PluginInstance& mPlugin;
  std::unique_ptr<HostWindow> mHost;
  int mWidth = 0;
  int mHeight = 0;
  bool mOpen = false;
};

}  // namespace vsthost
