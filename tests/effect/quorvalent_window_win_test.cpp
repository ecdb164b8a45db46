// Quorvalent.dll's editor in real windows, as a host opens it: a top-level host window in the
// display, the editor inside it, input posted as window messages on this (the editor's) thread,
// pixels read back from the window. Waits are wall-clock with slack: the redraw timer runs every
// 40 ms, give or take the window system's jitter.
#include "framework/vst/abi/host_opcodes.h"
#include "framework/vst/abi/opcodes.h"
#include "raster/px.h"
#include "raster/px_png.h"
#include "tools/editor_picture/png_writer.h"
#include "tools/vsthost/editor_window.h"
#include "tools/vsthost/plugin_instance.h"
#include "tools/vsthost/renderer.h"
#include "tools/vsthost/vst_host.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace vsthost;

namespace {

const int kWidth = 664, kHeight = 472;
const int kSettleMs = 3000;  // the longest wait for something the next ticks must show
const int kTicksMs = 200;    // a few redraw ticks
const char kClassName[] = "PluginEditorWndClass";

// Parameters and where their controls sit.
const int kResonance = 9;  // a 56 x 56 knob at (130, 65), gearing 4, at its minimum
const int kResonanceX = 158, kResonanceY = 93;
const int kFilterType = 17;  // a 24 x 60 selector at (278, 30)
const int kPush = 16;        // an 88 x 88 button at (372, 26)
const int kStep3 = 22;       // a 28 x 32 switch at (87, 420)
const int kPushX = 416, kPushY = 70;
const double kKnobTravel = 56 * 4.0;

// An automation as Edits() shows it: the value to five places (it travels as a float).
std::string Automate(int paramIdx, double value)
{
  char text[64];
  snprintf(text, sizeof(text), "automate %d %.5f", paramIdx, value);
  return text;
}

void Click(EditorWindow& e, int button, int x, int y)
{
  e.press(button, x, y);
  e.release(button, x, y);
}

class QuorvalentWindow : public testing::Test
{
protected:
  std::unique_ptr<PluginInstance> Load()
  {
    std::string error;
    std::unique_ptr<PluginInstance> p = PluginInstance::load(host, QV_QUORVALENT_DLL, &error);
    EXPECT_TRUE(p) << error;
    if (p)
      prepareInstance(*p, 44100.0, BlockPlan());
    return p;
  }

  static bool ClassRegistered(HMODULE module = GetModuleHandleA("Quorvalent.dll"))
  {
    WNDCLASSA wc;
    return GetClassInfoA(module, kClassName, &wc) != 0;
  }

  // Opened and painted once.
  static void Open(EditorWindow& e)
  {
    ASSERT_EQ(e.open(), 1);
    ASSERT_TRUE(e.editor());
    EXPECT_TRUE(
      EditorWindow::pumpUntil([&] { return !HostWindow::paintPending(e.editor()); }, kSettleMs));
  }

  // The editor as its window first shows it, the first step's lamp lit.
  static Picture FirstPaint(PluginInstance& p, EditorWindow& e)
  {
    p.dispatch(effEditIdle);
    Open(e);
    Picture shown;
    EXPECT_TRUE(e.capture(&shown));
    return shown;
  }

  // The host's notifications of edits: "automate 9 0.25000", "beginEdit 9", "endEdit 9".
  std::vector<std::string> Edits()
  {
    std::vector<std::string> v;
    for (const HostLogEntry& entry : host.log().entries())
      if (entry.opcode == audioMasterAutomate)
        v.push_back(Automate(entry.index, entry.opt));
      else if (entry.text.rfind("beginEdit", 0) == 0 || entry.text.rfind("endEdit", 0) == 0)
        v.push_back(entry.text);
    return v;
  }

  VstHost host;
};

std::vector<uint32_t> Region(const Picture& p, int x, int y, int w, int h)
{
  std::vector<uint32_t> v;
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i)
      v.push_back(p.at(i, j));
  return v;
}

TEST_F(QuorvalentWindow, OpensAsAChildOfTheHostWindowAndSharesOneClass)
{
  auto p = Load();
  EditorWindow e(*p);
  EXPECT_EQ(p->dispatch(effEditClose), 1);  // closing what is not open does nothing
  EXPECT_FALSE(ClassRegistered());
  Open(e);
  HWND w = (HWND)e.editor();
  RECT r;
  GetClientRect(w, &r);
  EXPECT_EQ(r.right, kWidth);
  EXPECT_EQ(r.bottom, kHeight);
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_EQ(GetParent(w), (HWND)e.hostWindow());
  EXPECT_TRUE(GetWindowLongA(w, GWL_STYLE) & WS_CHILD);
  char text[64] = "";
  GetClassNameA(w, text, sizeof(text));
  EXPECT_STREQ(text, kClassName);
  GetWindowTextA(w, text, sizeof(text));
  EXPECT_STREQ(text, "PluginEditor");

  // A second instance's editor uses the same class; it goes with the last window.
  auto p2 = Load();
  EditorWindow e2(*p2);
  Open(e2);
  EXPECT_EQ(GetClassLongPtrA(w, GCW_ATOM), GetClassLongPtrA((HWND)e2.editor(), GCW_ATOM));
  EXPECT_EQ(e.close(), 1);
  EXPECT_FALSE(IsWindow(w));
  EXPECT_TRUE(ClassRegistered());
  EXPECT_EQ(e2.close(), 1);
  EXPECT_FALSE(ClassRegistered());

  // Opening an open editor again keeps its place and size in the host window.
  Open(e);
  HWND first = (HWND)e.editor();
  SetWindowPos(first, nullptr, 10, 20, 600, 400, SWP_NOZORDER | SWP_NOACTIVATE);
  Open(e);
  HWND second = (HWND)e.editor();
  EXPECT_FALSE(IsWindow(first));
  GetWindowRect(second, &r);
  POINT origin = {0, 0};
  ClientToScreen((HWND)e.hostWindow(), &origin);
  EXPECT_EQ(r.left - origin.x, 10);
  EXPECT_EQ(r.top - origin.y, 20);
  EXPECT_EQ(r.right - r.left, 600);
  EXPECT_EQ(r.bottom - r.top, 400);
  EXPECT_EQ(e.close(), 1);
  EXPECT_FALSE(ClassRegistered());
}

TEST_F(QuorvalentWindow, SurvivesRepeatedOpeningAndHostsThatDestroyThingsFirst)
{
  auto p = Load();
  {
    EditorWindow e(*p);
    for (int i = 0; i < 200; ++i)
    {
      ASSERT_EQ(e.open(), 1) << i;
      HostWindow::pumpMessages();
      ASSERT_EQ(e.close(), 1) << i;
    }
    EXPECT_FALSE(ClassRegistered());
  }

  enum Gone
  {
    kParentDestroyed,
    kWindowClosed,
    kClosedOnAnotherThread
  };
  for (Gone gone : {kParentDestroyed, kWindowClosed, kClosedOnAnotherThread})
  {
    SCOPED_TRACE(gone);
    EditorWindow e(*p);
    Open(e);
    HWND w = (HWND)e.editor();
    if (gone == kParentDestroyed)
    {
      DestroyWindow((HWND)e.hostWindow());
    }
    else if (gone == kWindowClosed)
    {
      PostMessageA(w, WM_CLOSE, 0, 0);
      EditorWindow::pumpFor(kTicksMs);
    }
    else
    {
      // The window is cut loose at once and destroyed by its own thread, which pumps it.
      std::thread([&] { EXPECT_EQ(e.close(), 1); }).join();
      EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), 0);
      EXPECT_TRUE(EditorWindow::pumpUntil([&] { return !IsWindow(w); }, kSettleMs));
    }
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(p->dispatch(effEditClose), 1);
    EditorWindow::pumpFor(kTicksMs);
    // It opens again, and the class goes with its last window.
    EditorWindow again(*p);
    Open(again);
    EXPECT_EQ(again.close(), 1);
    EXPECT_FALSE(ClassRegistered());
  }

  // effClose with the editor open: the window goes with the instance.
  EditorWindow e(*p);
  Open(e);
  HWND w = (HWND)e.editor();
  p->close();
  EXPECT_FALSE(IsWindow(w));
  EditorWindow::pumpFor(kTicksMs);
}

// A host destroys its own window (the editor's parent) first, then closes the editor, or only the
// plug-in, or opens the editor again: the class goes with the last window all the same. When the
// window still exists at the plug-in's close (closed from another thread, not yet destroyed), the
// class goes when the library is unloaded.
TEST_F(QuorvalentWindow, TheClassGoesWhenTheHostDestroysTheWindowFirst)
{
  enum Then
  {
    kEditorClosed,
    kPlugInClosed,
    kReopened,
    kLibraryUnloaded
  };
  for (Then then : {kEditorClosed, kPlugInClosed, kReopened, kLibraryUnloaded})
  {
    SCOPED_TRACE(then);
    auto p = Load();
    const HMODULE module = GetModuleHandleA("Quorvalent.dll");
    EditorWindow e(*p);
    Open(e);
    HWND w = (HWND)e.editor();
    if (then == kLibraryUnloaded)
    {
      std::thread([&] { EXPECT_EQ(e.close(), 1); }).join();
      p->close();
      EXPECT_TRUE(IsWindow(w));
      EXPECT_TRUE(EditorWindow::pumpUntil([&] { return !IsWindow(w); }, kSettleMs));
      EXPECT_TRUE(ClassRegistered(module));
      p.reset();
      EXPECT_EQ(GetModuleHandleA("Quorvalent.dll"), nullptr);
      EXPECT_FALSE(ClassRegistered(module));
      continue;
    }
    DestroyWindow((HWND)e.hostWindow());
    EXPECT_FALSE(IsWindow(w));
    if (then == kEditorClosed)
    {
      EXPECT_EQ(p->dispatch(effEditClose), 1);
    }
    else if (then == kPlugInClosed)
    {
      p->close();
    }
    else
    {
      EditorWindow again(*p);
      Open(again);
      EXPECT_EQ(again.close(), 1);
    }
    EXPECT_FALSE(ClassRegistered(module));
  }
}

// In a window smaller than the editor, controls reach past its edges; once painted, it goes quiet
// (a window painted over behind its back stays so).
TEST_F(QuorvalentWindow, ASmallerWindowGoesQuietAfterItsFirstPaint)
{
  auto p = Load();
  EditorWindow e(*p);
  Open(e);
  SetWindowPos((HWND)e.editor(), nullptr, 0, 0, 600, 400,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Open(e);  // opened anew at the size it had: every control dirty
  HWND w = (HWND)e.editor();
  EditorWindow::pumpFor(kTicksMs);
  HDC dc = GetDC(w);
  RECT all = {0, 0, 600, 400};
  HBRUSH marker = CreateSolidBrush(RGB(1, 2, 3));
  FillRect(dc, &all, marker);
  DeleteObject(marker);
  ReleaseDC(w, dc);
  EditorWindow::pumpFor(500);
  Picture shown;
  ASSERT_TRUE(e.capture(&shown));
  ASSERT_EQ(shown.width, 600);
  int repainted = 0;
  for (int y = 0; y < shown.height; ++y)
    for (int x = 0; x < shown.width; ++x)
      repainted += (shown.at(x, y) & 0xFFFFFF) != 0x010203;
  EXPECT_EQ(repainted, 0);
}

// The window's first paint shows the editor exactly as the checked-in rendering of a new instance
// (first step lit). A mismatch leaves the window's picture beside the test as
// editor-window-actual.png.
TEST_F(QuorvalentWindow, FirstPaintIsTheGoldenRendering)
{
  auto p = Load();
  EditorWindow e(*p);
  const Picture shown = FirstPaint(*p, e);
  const std::string golden = std::string(QV_TEST_DATA) + "/golden/editor/default.png";
  std::unique_ptr<PX_IBitmap> expected(PX_LoadPNG(golden.c_str()));
  ASSERT_NE(expected, nullptr) << golden;
  ASSERT_EQ(shown.width, expected->getWidth());
  ASSERT_EQ(shown.height, expected->getHeight());
  int differing = 0;
  for (int y = 0; y < shown.height; ++y)
    for (int x = 0; x < shown.width; ++x)
      differing += ((PX_GetPixel(expected.get(), x, y) ^ shown.at(x, y)) & 0xFFFFFF) != 0;
  if (differing)
    WritePNGPixels(shown.pixels.data(), shown.width, shown.height, shown.width,
                   "editor-window-actual.png");
  EXPECT_EQ(differing, 0) << "see editor-window-actual.png";
}

TEST_F(QuorvalentWindow, HostChangesAndTheTransportShowInTheWindow)
{
  auto p = Load();
  EditorWindow e(*p);
  const Picture before = FirstPaint(*p, e);
  ASSERT_EQ(before.width, kWidth);
  const std::vector<uint32_t> selector = Region(before, 278, 30, 24, 60);

  // A host parameter change reaches the control's frame within a couple of ticks, and back.
  for (float value : {1.0f, 0.0f})
  {
    p->setParameter(kFilterType, value);
    Picture now;
    const bool shown = EditorWindow::pumpUntil(
      [&] {
        return e.capture(&now) && (Region(now, 278, 30, 24, 60) != selector) == (value == 1.0f);
      },
      kSettleMs);
    EXPECT_TRUE(shown) << value;
  }

  // The lamps follow the transport, one at a time: the lit lamp of the first step moves to the
  // step the transport reached (5 sixteenths and a half at 120 beats per minute). A lit lamp is
  // green; the panels under the lamps differ from group to group.
  auto greenness = [](const Picture& pic, int i) {
    long sum = 0;
    for (uint32_t px : Region(pic, 23 + 32 * i, 402, 28, 14))
      sum += (long)((px >> 8) & 0xFF) - (long)((px >> 16) & 0xFF);
    return sum;
  };
  const long threshold = (greenness(before, 0) + greenness(before, 1)) / 2;
  auto lamps = [&](const Picture& pic) {
    std::string s;
    for (int i = 0; i < 16; ++i)
      s += greenness(pic, i) > threshold ? '*' : '.';
    return s;
  };
  EXPECT_EQ(lamps(before), "*...............");
  AudioBuffer in(2, 30319), out;
  Renderer renderer(*p);
  std::string error;
  ASSERT_TRUE(renderer.render(in, {}, RenderSettings(), &out, &error)) << error;
  p->dispatch(effEditIdle);
  Picture now;
  EditorWindow::pumpUntil([&] { return e.capture(&now) && lamps(now) == ".....*.........."; },
                          kSettleMs);
  EXPECT_EQ(lamps(now), ".....*..........");
}

TEST_F(QuorvalentWindow, MouseGesturesEditTheParametersThroughTheHost)
{
  // A knob moves by the drag over its height times the gearing (ten times that with shift), in
  // the order the moves come; the wheel by 0.01 a notch.
  const double step = 16 / kKnobTravel, share = 64 / kKnobTravel, fine = 64 / (10 * kKnobTravel);
  struct Case
  {
    const char* what;
    std::function<void(EditorWindow&)> gesture;
    std::vector<std::string> edits;
  };
  const int x = kResonanceX, y = kResonanceY;
  const std::vector<std::string> push = {"beginEdit 16", Automate(kPush, 1), Automate(kPush, 0),
                                         "endEdit 16"};
  // The resonance of the first program, where every knob gesture starts.
  double v0;
  {
    auto p = Load();
    v0 = p->getParameter(kResonance);
  }
  const Case cases[] = {
    {"a knob dragged up 64 pixels in four moves",
     [&](EditorWindow& e) {
       e.press(0, x, y);
       for (int i = 1; i <= 4; ++i)
         e.move(x, y - 16 * i, kMouseLeft);
       e.release(0, x, y - 64);
     },
     {"beginEdit 9", Automate(kResonance, v0 + step), Automate(kResonance, v0 + step + step),
      Automate(kResonance, v0 + step + step + step),
      Automate(kResonance, v0 + step + step + step + step), "endEdit 9"}},
    {"shift drags ten times finer",
     [&](EditorWindow& e) {
       e.press(0, x, y, kMouseShift);
       e.move(x, y - 64, kMouseLeft | kMouseShift);
       e.release(0, x, y - 64, kMouseShift);
     },
     {"beginEdit 9", Automate(kResonance, v0 + fine), "endEdit 9"}},
    {"released outside the editor, the knob still ends its edit",
     [&](EditorWindow& e) {
       e.press(0, x, y);
       e.move(-40, y - 64, kMouseLeft);
       e.release(0, -40, -30);
     },
     {"beginEdit 9", Automate(kResonance, v0 + share), "endEdit 9"}},
    {"a step switch acts on the press",
     [&](EditorWindow& e) {
       e.press(0, 101, 436);
       e.release(0, 101, 436);
     },
     {"beginEdit 22", Automate(kStep3, 1), "endEdit 22"}},
    {"Push!! sends 1, then 0 on release", [&](EditorWindow& e) { Click(e, 0, kPushX, kPushY); },
     push},
    {"the middle button releases Push!! too", [&](EditorWindow& e) { Click(e, 2, kPushX, kPushY); },
     push},
    {"Push!! released where the pointer was when another window took the mouse",
     [&](EditorWindow& e) {
       e.press(0, kPushX, kPushY);
       EditorWindow::pumpFor(kTicksMs);
       SetCapture((HWND)e.hostWindow());
       ReleaseCapture();
       e.release(0, kPushX, kPushY);  // late: its gesture has ended
     },
     push},
    {"Push!! released when the editor closes under the press",
     [&](EditorWindow& e) {
       e.press(2, kPushX, kPushY);
       EditorWindow::pumpFor(kTicksMs);
       e.close();
     },
     push},
    {"a double click on Push!! released outside the window",
     [&](EditorWindow& e) {
       Click(e, 0, kPushX, kPushY);
       e.post(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(kPushX, kPushY));
       e.release(0, -40, -30);
     },
     {"beginEdit 16", Automate(kPush, 1), Automate(kPush, 0), "endEdit 16", "beginEdit 16",
      Automate(kPush, 1), Automate(kPush, 0), "endEdit 16"}},
    {"a double click restores the knob's default (the parameter's, 0); its first click touches",
     [&](EditorWindow& e) {
       e.press(0, x, y);
       e.move(x, y - 64, kMouseLeft);
       e.release(0, x, y - 64);
       e.doubleClick(x, y);
     },
     {"beginEdit 9", Automate(kResonance, v0 + share), "endEdit 9", "beginEdit 9", "endEdit 9",
      "beginEdit 9", Automate(kResonance, 0), "endEdit 9"}},
    {"the wheel: a notch up, a part notch (nothing moves), two up, one down; each a gesture",
     [&](EditorWindow& e) {
       e.wheel(x, y, 120);
       e.wheel(x, y, 60);
       e.wheel(x, y, 240);
       e.wheel(x, y, -120);
     },
     {"beginEdit 9", Automate(kResonance, v0 + 0.01), "endEdit 9", "beginEdit 9",
      Automate(kResonance, v0 + 0.01 + 0.02), "endEdit 9", "beginEdit 9",
      Automate(kResonance, v0 + 0.01 + 0.02 - 0.01), "endEdit 9"}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    auto p = Load();
    EditorWindow e(*p);
    Open(e);
    host.log().clear();
    c.gesture(e);
    EditorWindow::pumpUntil([&] { return Edits().size() >= c.edits.size(); }, kSettleMs);
    EditorWindow::pumpFor(kTicksMs);  // nothing more comes
    EXPECT_EQ(Edits(), c.edits);
    EXPECT_TRUE(!e.editor() || GetCapture() != (HWND)e.editor()) << "the mouse is still held";
  }
}

}  // namespace
