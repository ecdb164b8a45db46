#include "tools/vsthost/editor_window.h"

#include <chrono>
#include <thread>

#include "framework/vst/abi/editor.h"
#include "framework/vst/abi/opcodes.h"

namespace vsthost {
namespace {

// The window system's message numbers.
enum : unsigned
{
  kMsgKeyDown = 0x0100,
  kMsgChar = 0x0102,
  kMsgMouseMove = 0x0200,
  kMsgLeftDown = 0x0201,
  kMsgLeftUp = 0x0202,
  kMsgLeftDoubleClick = 0x0203,
  kMsgRightDown = 0x0204,
  kMsgRightUp = 0x0205,
  kMsgMiddleDown = 0x0207,
  kMsgMiddleUp = 0x0208,
  kMsgWheel = 0x020A
};

const int kPumpSliceMs = 2;

// Two signed 16-bit words in one message argument: low first.
intptr_t packWords(int low, int high)
{
  return static_cast<intptr_t>(static_cast<uint32_t>(static_cast<uint16_t>(low)) |
                               (static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16));
}

unsigned buttonFlag(int button)
{
  return button == 1 ? kMouseRight : button == 2 ? kMouseMiddle : kMouseLeft;
}

}  // namespace

EditorWindow::EditorWindow(PluginInstance& plugin)
  : mPlugin(plugin)
{}

EditorWindow::~EditorWindow()
{
  if (mOpen && mPlugin.effect())
    close();
  mHost.reset();
}

VstIntPtr EditorWindow::open()
{
  ERect* rect = nullptr;
  if (!mPlugin.dispatch(effEditGetRect, 0, 0, &rect) || !rect)
    return 0;
  mWidth = rect->right - rect->left;
  mHeight = rect->bottom - rect->top;
  if (!mHost)
    mHost.reset(new HostWindow());
  if (!mHost->showWithClientSize(mWidth, mHeight))
    return 0;
  const VstIntPtr answer = mPlugin.dispatch(effEditOpen, 0, 0, mHost->handle());
  mOpen = mOpen || answer != 0;
  return answer;
}

VstIntPtr EditorWindow::close()
{
  mOpen = false;
  return mPlugin.dispatch(effEditClose);
}

void* EditorWindow::hostWindow() const { return mHost ? mHost->handle() : nullptr; }

void* EditorWindow::editor() const { return HostWindow::firstChild(hostWindow()); }

void EditorWindow::post(unsigned msg, uintptr_t wParam, intptr_t lParam, void* wnd) const
{
  HostWindow::post(wnd ? wnd : editor(), msg, wParam, lParam);
}

void EditorWindow::press(int button, int x, int y, unsigned keys) const
{
  const unsigned msg = button == 1 ? kMsgRightDown : button == 2 ? kMsgMiddleDown : kMsgLeftDown;
  post(msg, keys | buttonFlag(button), packWords(x, y));
}

void EditorWindow::release(int button, int x, int y, unsigned keys) const
{
  const unsigned msg = button == 1 ? kMsgRightUp : button == 2 ? kMsgMiddleUp : kMsgLeftUp;
  post(msg, keys & ~buttonFlag(button), packWords(x, y));
}

void EditorWindow::move(int x, int y, unsigned keys) const
{
  post(kMsgMouseMove, keys, packWords(x, y));
}

void EditorWindow::doubleClick(int x, int y) const
{
  press(0, x, y);
  release(0, x, y);
  post(kMsgLeftDoubleClick, kMouseLeft, packWords(x, y));
  release(0, x, y);
}

void EditorWindow::wheel(int x, int y, int delta, unsigned keys) const
{
  HostWindow::clientToScreen(editor(), &x, &y);
  post(kMsgWheel, static_cast<uintptr_t>(packWords(static_cast<int>(keys), delta)) & 0xFFFFFFFFu,
       packWords(x, y));
}

void EditorWindow::keyDown(unsigned virtualKey) const { post(kMsgKeyDown, virtualKey, 1); }

void EditorWindow::type(void* wnd, const std::string& text) const
{
  for (unsigned char c : text)
    post(kMsgChar, c, 1, wnd);
}

bool EditorWindow::capture(Picture* out) const { return HostWindow::capture(editor(), out); }

void EditorWindow::pumpFor(int ms)
{
  pumpUntil([] { return false; }, ms);
}

bool EditorWindow::pumpUntil(const std::function<bool()>& done, int timeoutMs)
{
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;)
  {
    HostWindow::pumpMessages();
    if (done())
      return true;
    if (std::chrono::steady_clock::now() >= end)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(kPumpSliceMs));
  }
}

}  // namespace vsthost
