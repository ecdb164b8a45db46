// The value entry box in real windows: the GUI test plug-in's knobs prompt for a typed value on a
// right click. Keys and characters are posted to the box, clicks to the editor, all on this (the
// editor's) thread; the box finishes on a later redraw tick, so every check waits (wall-clock,
// with slack) for what the tick must bring. Besides, the first page's window without controls and
// with a control that throws.
#include "framework/vst/abi/opcodes.h"
#include "tools/vsthost/editor_window.h"
#include "tools/vsthost/plugin_instance.h"
#include "tools/vsthost/renderer.h"
#include "tools/vsthost/vst_host.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <vector>

using namespace vsthost;

namespace {

const int kSettleMs = 3000;  // the longest wait for what the next ticks must bring
const int kTicksMs = 200;    // a few redraw ticks
const int kEditBoxId = 99;

// The GUI test plug-in's parameters and controls (right-click points).
const int kLevel = 0;  // double -10..10
const int kCount = 1;  // int 0..16
const int kSize = 2;   // 0: 300 x 200, 1: 400 x 300, 2: 200 x 100 without controls
const int kThrow = 8;  // bool: the thrower throws
const int kLevelX = 52, kLevelY = 52, kCountX = 152, kCountY = 52, kNameX = 60, kNameY = 130;
const int kThrowerX = 250, kThrowerY = 50;

// The plug-in's log lines (they end in CR LF; a failing test's messages go there too, without
// the CR): OutputDebugString raises each as an exception that a handler of the process sees first.
std::vector<std::string> gDebugLines;
LONG CALLBACK CatchDebugLine(EXCEPTION_POINTERS* pInfo)
{
  const EXCEPTION_RECORD* r = pInfo->ExceptionRecord;
  if (r->ExceptionCode == DBG_PRINTEXCEPTION_C && r->NumberParameters >= 2)
  {
    const std::string line = (const char*)r->ExceptionInformation[1];
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0)
      gDebugLines.push_back(line);
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

bool SamePicture(const Picture& a, const Picture& b)
{
  if (a.width != b.width || a.height != b.height)
    return false;
  for (size_t i = 0; i < a.pixels.size(); ++i)
    if ((a.pixels[i] ^ b.pixels[i]) & 0xFFFFFF)
      return false;
  return true;
}

class EntryBox : public testing::Test
{
protected:
  void SetUp() override
  {
    std::string error;
    plugin = PluginInstance::load(host, QV_GUITEST_PLUGIN, &error);
    ASSERT_TRUE(plugin) << error;
    prepareInstance(*plugin, 44100.0, BlockPlan());
    editor.reset(new EditorWindow(*plugin));
    Open();
  }
  void TearDown() override
  {
    editor.reset();
    plugin.reset();
  }

  void Open()
  {
    ASSERT_EQ(editor->open(), 1);
    EXPECT_TRUE(EditorWindow::pumpUntil([&] { return !HostWindow::paintPending(editor->editor()); },
                                        kSettleMs));
  }

  HWND Box() const
  {
    HWND e = (HWND)editor->editor();
    return e ? GetDlgItem(e, kEditBoxId) : nullptr;
  }
  std::string BoxText() const
  {
    char text[64] = "";
    GetWindowTextA(Box(), text, sizeof(text));
    return text;
  }

  // A right click on a control: its box opens.
  void Prompt(int x, int y)
  {
    editor->press(1, x, y);
    editor->release(1, x, y);
    ASSERT_TRUE(EditorWindow::pumpUntil([&] { return Box() != nullptr; }, kSettleMs));
  }
  void Key(unsigned vk) const { editor->post(WM_KEYDOWN, vk, 1, Box()); }
  // Waits for the box to go (false when it stays).
  bool Finished() const
  {
    return EditorWindow::pumpUntil([&] { return Box() == nullptr; }, kSettleMs);
  }

  double Param(int idx) { return plugin->getParameter(idx); }
  // The edits the host was told of: "beginEdit 1", "automate 1" (values left out), "endEdit 1".
  std::vector<std::string> Edits()
  {
    std::vector<std::string> v;
    for (const std::string& line : host.log().lines())
      if (line.rfind("beginEdit", 0) == 0 || line.rfind("endEdit", 0) == 0)
        v.push_back(line);
      else if (line.rfind("automate", 0) == 0)
        v.push_back(line.substr(0, line.find(' ', 9)));
    return v;
  }

  VstHost host;
  std::unique_ptr<PluginInstance> plugin;
  std::unique_ptr<EditorWindow> editor;
};

TEST_F(EntryBox, TypedValuesCommitOnEnterAndCancelOtherwise)
{
  const double level0 = 0.25, count0 = Param(kCount);  // level -5: a cancel is no commit of 0
  enum Finish
  {
    kEnter,
    kEscape,
    kFocusLost,
    kWheel,
    kPasteThenEnter
  };
  // What a paste does: the text replaces the selection, whatever the filter takes.
  auto paste = [](HWND box, const char* text) {
    SendMessageA(box, EM_REPLACESEL, TRUE, (LPARAM)text);
  };
  struct Case
  {
    const char* what;
    int x, y;
    const char* typed;
    const char* shown;  // the box's text before it finishes
    Finish finish;
    double level, count;  // normalised values afterwards
  };
  const Case cases[] = {
    {"digits, then Enter", kLevelX, kLevelY, "5.5", "5.5", kEnter, 0.775, count0},
    {"the point is refused for an int", kCountX, kCountY, "1.2", "12", kEnter, level0, 12 / 16.0},
    {"letters and control characters are refused", kLevelX, kLevelY, "-a2\x01\x1b", "-2", kEnter,
     0.4, count0},
    {"Escape cancels", kLevelX, kLevelY, "3", "3", kEscape, level0, count0},
    {"losing the focus cancels", kLevelX, kLevelY, "3", "3", kFocusLost, level0, count0},
    {"the wheel over the editor cancels", kCountX, kCountY, "9", "9", kWheel, level0, count0},
    {"pasted nan passes the filter and cancels", kLevelX, kLevelY, "nan", "nan", kPasteThenEnter,
     level0, count0},
    {"so does pasted inf", kLevelX, kLevelY, "inf", "inf", kPasteThenEnter, level0, count0},
    {"an emptied box cancels", kCountX, kCountY, "\b", "", kEnter, level0, count0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    plugin->setParameter(kLevel, (float)level0);
    plugin->setParameter(kCount, (float)count0);
    host.log().clear();
    Prompt(c.x, c.y);
    HWND box = Box();
    if (c.finish == kPasteThenEnter)
      paste(box, c.typed);
    else
      editor->type(box, c.typed);
    EditorWindow::pumpUntil([&] { return BoxText() == c.shown; }, kSettleMs);
    EXPECT_EQ(BoxText(), c.shown);
    switch (c.finish)
    {
      case kEnter:
      case kPasteThenEnter:
        Key(VK_RETURN);
        break;
      case kEscape:
        Key(VK_ESCAPE);
        break;
      case kFocusLost:
        SetFocus((HWND)editor->editor());
        break;
      case kWheel:
        editor->wheel(c.x, c.y, 120);
        break;
    }
    EXPECT_TRUE(Finished());
    EXPECT_FALSE(IsWindow(box));
    EXPECT_NEAR(Param(kLevel), c.level, 1e-6);
    EXPECT_NEAR(Param(kCount), c.count, 1e-6);
    // The box opening is no edit; its commit is one whole gesture.
    const bool changed = c.level != level0 || c.count != count0;
    const std::string p = std::to_string(c.x == kLevelX ? kLevel : kCount);
    const std::vector<std::string> gesture = {"beginEdit " + p, "automate " + p, "endEdit " + p};
    EXPECT_EQ(Edits(), changed ? gesture : std::vector<std::string>());
  }
}

TEST_F(EntryBox, BoxesSitOverTheirControlsAlignedAsTheirText)
{
  struct Case
  {
    int x, y;
    const char* initial;
    LONG align;
    RECT at;  // in the editor
  };
  const Case cases[] = {
    {kLevelX, kLevelY, "0.00", ES_CENTER, {37, 44, 68, 61}},  // a 30 x 16 box at the centre, + 1
    {kCountX, kCountY, "4", ES_RIGHT, {137, 44, 168, 61}},
    {kNameX, kNameY, "name", ES_LEFT, {20, 120, 221, 145}},  // the field itself, + 1
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.initial);
    Prompt(c.x, c.y);
    HWND box = Box();
    EXPECT_EQ(BoxText(), c.initial);
    EXPECT_EQ(GetWindowLongA(box, GWL_STYLE) & (ES_CENTER | ES_RIGHT), c.align);
    RECT r;
    GetWindowRect(box, &r);
    MapWindowPoints(nullptr, (HWND)editor->editor(), (POINT*)&r, 2);
    EXPECT_EQ(r.left, c.at.left);
    EXPECT_EQ(r.top, c.at.top);
    EXPECT_EQ(r.right, c.at.right);
    EXPECT_EQ(r.bottom, c.at.bottom);
    Key(VK_ESCAPE);
    EXPECT_TRUE(Finished());
  }
  // Without a parameter, nothing is filtered (but the Enter that commits) and the text goes to the
  // control; seven characters at most.
  Prompt(kNameX, kNameY);
  editor->type(Box(), "Take 2!?");
  Key(VK_RETURN);
  EXPECT_TRUE(Finished());
  char name[64] = "";
  plugin->dispatch(effGetProgramName, 0, 0, name);
  EXPECT_STREQ(name, "Take 2!");
}

TEST_F(EntryBox, ClicksCancelOrFinishAPendingCommitBeforeActing)
{
  const double level0 = Param(kLevel);
  // A click elsewhere closes the box at once, uncommitted, and acts (on the Count knob, whose left
  // press changes nothing: the host hears a touch).
  Prompt(kLevelX, kLevelY);
  editor->type(Box(), "7");
  host.log().clear();
  editor->press(0, kCountX, kCountY);
  editor->release(0, kCountX, kCountY);
  EXPECT_TRUE(Finished());
  EditorWindow::pumpFor(kTicksMs);
  EXPECT_NEAR(Param(kLevel), level0, 1e-6);
  EXPECT_EQ(Edits(), (std::vector<std::string>{"beginEdit 1", "endEdit 1"}));

  // Enter, then a click before the tick: the commit is done first.
  Prompt(kLevelX, kLevelY);
  editor->type(Box(), "7");
  Key(VK_RETURN);
  editor->press(0, kCountX, kCountY);
  editor->release(0, kCountX, kCountY);
  EXPECT_TRUE(Finished());
  EXPECT_NEAR(Param(kLevel), 0.85, 1e-6);
}

// Closing, resizing or deleting the editor under an open box leaves nothing of it behind.
TEST_F(EntryBox, ClosingOrResizingTheEditorEndsTheBox)
{
  const double level0 = 0.25;
  enum Way
  {
    kEditorClosed,
    kEditorClosedAfterEnter,
    kResized,
    kHostWindowDestroyed,
    kEditorWindowClosed
  };
  struct Case
  {
    const char* what;
    Way way;
    double level;
  };
  const Case cases[] = {
    {"effEditClose cancels", kEditorClosed, level0},
    {"effEditClose finishes a pending commit", kEditorClosedAfterEnter, 0.75},
    {"a resize cancels", kResized, level0},
    {"the host destroys its window", kHostWindowDestroyed, level0},
    {"WM_CLOSE to the editor", kEditorWindowClosed, level0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    plugin->setParameter(kLevel, (float)level0);
    Prompt(kLevelX, kLevelY);
    HWND box = Box();
    editor->type(box, "5");
    EditorWindow::pumpUntil([&] { return BoxText() == "5"; }, kSettleMs);
    switch (c.way)
    {
      case kEditorClosedAfterEnter:
        SendMessageA(box, WM_KEYDOWN, VK_RETURN, 1);  // no tick comes between
        // fall through
      case kEditorClosed:
        EXPECT_EQ(editor->close(), 1);
        break;
      case kResized:
        plugin->setParameter(kSize, 0.5f);
        break;
      case kHostWindowDestroyed:
        DestroyWindow((HWND)editor->hostWindow());
        break;
      case kEditorWindowClosed:
        PostMessageA((HWND)editor->editor(), WM_CLOSE, 0, 0);
        break;
    }
    EXPECT_TRUE(EditorWindow::pumpUntil([&] { return !IsWindow(box); }, kSettleMs));
    EditorWindow::pumpFor(kTicksMs);
    EXPECT_NEAR(Param(kLevel), c.level, 1e-6);
    // Reopened (or still open), the editor shows no box and commits nothing later.
    plugin->setParameter(kSize, 0.0f);
    if (c.way != kResized)
    {
      editor.reset(new EditorWindow(*plugin));
      Open();
    }
    EditorWindow::pumpFor(kTicksMs);
    EXPECT_EQ(Box(), nullptr);
    EXPECT_NEAR(Param(kLevel), c.level, 1e-6);
    // Nothing stale keeps a new box from opening.
    Prompt(kLevelX, kLevelY);
    Key(VK_ESCAPE);
    EXPECT_TRUE(Finished());
  }

  // Deleting the instance (and with it the surface) under an open box.
  Prompt(kLevelX, kLevelY);
  HWND box = Box(), wnd = (HWND)editor->editor();
  plugin->close();
  EXPECT_FALSE(IsWindow(box));
  EXPECT_FALSE(IsWindow(wnd));
  EditorWindow::pumpFor(kTicksMs);
}

// An editor left without controls by a resize paints its window as a new editor of that size
// does, and validates it like any other: no paint stays pending.
TEST_F(EntryBox, AnEditorLeftWithoutControlsPaintsAsANewOne)
{
  Picture fresh;
  {
    std::string error;
    auto other = PluginInstance::load(host, QV_GUITEST_PLUGIN, &error);
    ASSERT_TRUE(other) << error;
    prepareInstance(*other, 44100.0, BlockPlan());
    other->setParameter(kSize, 1.0f);
    EditorWindow window(*other);
    ASSERT_EQ(window.open(), 1);
    EditorWindow::pumpFor(kTicksMs);
    ASSERT_TRUE(window.capture(&fresh));
  }
  plugin->setParameter(kSize, 1.0f);
  RECT r;
  GetClientRect((HWND)editor->editor(), &r);
  EXPECT_EQ(r.right, 200);
  EXPECT_EQ(r.bottom, 100);
  EXPECT_TRUE(EditorWindow::pumpUntil([&] { return !HostWindow::paintPending(editor->editor()); },
                                      kSettleMs));
  Picture shown;
  ASSERT_TRUE(editor->capture(&shown));
  EXPECT_TRUE(SamePicture(shown, fresh));
  InvalidateRect((HWND)editor->editor(), nullptr, FALSE);
  EXPECT_TRUE(EditorWindow::pumpUntil([&] { return !HostWindow::paintPending(editor->editor()); },
                                      kSettleMs));
}

// A control that throws while it draws and while it is pressed: the window stops each exception,
// which the log reports at the host's next request; the paint ends and the mouse is let go all
// the same. Once the control stops throwing, the editor draws and edits as before.
TEST_F(EntryBox, AThrowingControlLeavesTheWindowUsable)
{
  EditorWindow::pumpFor(kTicksMs);
  Picture before;
  ASSERT_TRUE(editor->capture(&before));
  PVOID handler = AddVectoredExceptionHandler(1, CatchDebugLine);
  gDebugLines.clear();
  host.log().clear();
  plugin->setParameter(kThrow, 1.0f);
  EditorWindow::pumpFor(kTicksMs);  // its paints throw
  EXPECT_TRUE(EditorWindow::pumpUntil([&] { return !HostWindow::paintPending(editor->editor()); },
                                      kSettleMs));
  editor->press(0, kThrowerX, kThrowerY);
  editor->release(0, kThrowerX, kThrowerY);
  EditorWindow::pumpFor(kTicksMs);
  EXPECT_NE(GetCapture(), (HWND)editor->editor());
  EXPECT_TRUE(gDebugLines.empty());  // nothing is written where it was stopped
  plugin->dispatch(effEditIdle);
  RemoveVectoredExceptionHandler(handler);
  ASSERT_EQ(gDebugLines.size(), 1u);
  EXPECT_TRUE(std::regex_match(
    gDebugLines[0],
    std::regex("[0-9]+ exceptions stopped at the host boundary, the last in editor window\r\n")))
    << gDebugLines[0];

  // The level block's shade follows its value: 40 + 180 x 0.51, blue the rest to 255.
  plugin->setParameter(kThrow, 0.0f);
  editor->wheel(kLevelX, kLevelY, 120);
  EXPECT_TRUE(
    EditorWindow::pumpUntil([&] { return std::abs(Param(kLevel) - 0.51) < 1e-6; }, kSettleMs));
  EXPECT_EQ(Edits(), (std::vector<std::string>{"beginEdit 0", "automate 0", "endEdit 0"}));
  Picture now;
  EXPECT_TRUE(EditorWindow::pumpUntil(
    [&] { return editor->capture(&now) && (now.at(kLevelX, kLevelY) & 0xFFFFFF) == 0x83837C; },
    kSettleMs));
  EXPECT_EQ(now.at(kThrowerX, kThrowerY), before.at(kThrowerX, kThrowerY));
}

// A paint that throws while a press is held ends only the paint: the press keeps the mouse and
// its gesture, a drag still edits, and the release ends the gesture.
TEST_F(EntryBox, AThrowingPaintLeavesThePressHeld)
{
  PVOID handler = AddVectoredExceptionHandler(1, CatchDebugLine);
  gDebugLines.clear();
  host.log().clear();
  HWND wnd = (HWND)editor->editor();
  editor->press(0, kLevelX, kLevelY);
  ASSERT_TRUE(EditorWindow::pumpUntil([&] { return GetCapture() == wnd; }, kSettleMs));
  plugin->setParameter(kThrow, 1.0f);
  EditorWindow::pumpFor(kTicksMs);  // its paints throw
  plugin->setParameter(kThrow, 0.0f);
  plugin->dispatch(effEditIdle);
  RemoveVectoredExceptionHandler(handler);
  EXPECT_EQ(gDebugLines.size(), 1u);  // the report of the paints stopped
  EXPECT_EQ(GetCapture(), wnd);
  EXPECT_EQ(Edits(), (std::vector<std::string>{"beginEdit 0"}));
  editor->move(kLevelX, kLevelY - 10, kMouseLeft);
  EXPECT_TRUE(
    EditorWindow::pumpUntil([&] { return std::abs(Param(kLevel) - 0.6) < 1e-6; }, kSettleMs));
  editor->release(0, kLevelX, kLevelY - 10);
  EXPECT_TRUE(EditorWindow::pumpUntil([&] { return GetCapture() != wnd; }, kSettleMs));
  EXPECT_EQ(Edits(), (std::vector<std::string>{"beginEdit 0", "automate 0", "endEdit 0"}));
}

}  // namespace
