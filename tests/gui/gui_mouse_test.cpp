// Mouse and key dispatch: which control gets an event, the capture, and the edit gestures the host
// sees (whole: begin-edit, the changes, end-edit; for the plug-in's parameters only).
#include "gui/IBitmapControl.h"
#include "tests/support/gui_test_util.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Logs what reaches it ("c2 down", "c2 drag 3 -4", ...) and changes its value on press, release,
// double click and wheel like the editor's buttons do.
class LoggingControl : public IControl
{
public:
  LoggingControl(std::vector<std::string>* pLog, PluginBase* pPlug, IRECT r, int paramIdx,
                 const char* name, bool dblAsSingle = false)
    : IControl(pPlug, r, paramIdx)
    , mLog(pLog)
    , mName(name)
  {
    mDblAsSingleClick = dblAsSingle;
  }
  bool Draw(IGraphics*) override { return true; }
  void OnMouseDown(int, int, IMouseMod*) override { Act("down", 1.0); }
  void OnMouseUp(int, int, IMouseMod*) override { Act("up", 0.0); }
  void OnMouseDblClick(int, int, IMouseMod*) override { Act("dbl", 0.5); }
  void OnMouseDrag(int, int, int dX, int dY, IMouseMod*) override
  {
    mLog->push_back(mName + " drag " + std::to_string(dX) + " " + std::to_string(dY));
  }
  void OnMouseWheel(int, int, IMouseMod*, int d) override
  {
    Act(("wheel " + std::to_string(d)).c_str(), 0.25);
  }
  bool OnKeyDown(int, int, int key) override
  {
    mLog->push_back(mName + " key " + std::to_string(key));
    return true;
  }
  void OnMouseOver(int, int, IMouseMod*) override { mLog->push_back(mName + " over"); }
  void OnMouseOut() override { mLog->push_back(mName + " out"); }
  void TakeMouseOverWhenGrayed() { mMOWhenGrayed = true; }

protected:
  void Act(const char* what, double value)
  {
    mLog->push_back(mName + " " + what);
    mValue = value;
    SetDirty(true);
  }

private:
  std::vector<std::string>* mLog;
  std::string mName;
};

// The test surface with mouse-over dispatch to switch on (nothing in the editor does).
class MouseOverGraphics : public TestGraphics
{
public:
  using TestGraphics::TestGraphics;
  void HandleMouseOver() { mHandleMouseOver = true; }
};

// A surface of 100 x 100 holding the controls of a case, the editor of a plug-in with 4 parameters:
// three doubles 0..1 and an int 0..4.
struct Editor
{
  TestPlug plug{4, "1-1"};
  std::vector<std::string> log;                                    // what the controls received
  MouseOverGraphics& g = *new MouseOverGraphics(&plug, 100, 100);  // the plug-in's
  IBitmap whole{nullptr, 100, 100, 1};
  Editor()
  {
    for (int i = 0; i < 3; ++i)
      plug.GetParam(i)->InitDouble("p", 0.0, 0.0, 1.0, 0.001);
    plug.GetParam(3)->InitInt("i", 0, 0, 4);
    for (int i = 0; i < plug.NParams(); ++i)
      plug.GetParam(i)->SetNormalized(0.75);  // no control sets it: each first change is one
    plug.AttachGraphics(&g);
  }
  void AddBackground() { g.AttachControl(new IBitmapControl(&plug, 0, 0, -1, &whole)); }
  LoggingControl* Add(IRECT r, int paramIdx, const char* name, bool dblAsSingle = false)
  {
    LoggingControl* pControl = new LoggingControl(&log, &plug, r, paramIdx, name, dblAsSingle);
    g.AttachControl(pControl);
    return pControl;
  }
  // The edits the host saw: "begin 0", "set 0" (an automation of parameter 0), "end 0".
  std::vector<std::string> Gestures() const
  {
    std::vector<std::string> v;
    for (const std::string& s : plug.mLog)
      if (s.rfind("begin", 0) == 0 || s.rfind("end", 0) == 0)
        v.push_back(s);
      else if (s.rfind("automate", 0) == 0)
        v.push_back("set" + s.substr(8, s.find(' ', 9) - 8));
    return v;
  }
};

}  // namespace

TEST(MouseDispatch, GesturesReachTheControlsAndTheHostAsExpected)
{
  enum Kind
  {
    kDown,
    kUp,
    kDrag,
    kDbl,
    kWheel,
    kPartWheel,  // less than a notch
    kLost        // the window lost the mouse
  };
  struct Event
  {
    Kind kind;
    int x, y;
  };
  struct Case
  {
    const char* what;
    bool background;  // a background (no parameter) under everything
    std::vector<Event> events;
    std::vector<std::string> received;
    std::vector<std::string> gestures;
  };
  // Controls: a (10..30, param 0), b (20..40 overlapping a, later, param 1), lamp (60..70, index
  // 7: beyond the parameters), single (80..90, param 2, double click taken as a press).
  const std::vector<std::string> press0 = {"begin 0", "set 0", "set 0", "end 0"};
  const Case cases[] = {
    {"press, drag out of the editor, release",
     false,
     {{kDown, 15, 15}, {kDrag, 15, 5}, {kDrag, -50, 200}, {kUp, -50, 200}},
     {"a down", "a drag 0 -10", "a drag -65 195", "a up"},
     press0},
    {"the later of two overlapping controls takes the press",
     false,
     {{kDown, 25, 25}, {kUp, 25, 25}},
     {"b down", "b up"},
     {"begin 1", "set 1", "set 1", "end 1"}},
    {"a drag to the same place is not delivered",
     false,
     {{kDown, 15, 15}, {kDrag, 15, 15}, {kDrag, 16, 15}, {kUp, 16, 15}},
     {"a down", "a drag 1 0", "a up"},
     press0},
    {"a press on nothing captures nothing; its release is a gesture of its own",
     false,
     {{kDown, 50, 50}, {kDrag, 15, 15}, {kUp, 15, 15}},
     {"a up"},
     {"begin 0", "set 0", "end 0"}},
    {"the background takes presses but has no parameter",
     true,
     {{kDown, 50, 50}, {kUp, 50, 50}},
     {},
     {}},
    {"lamps beyond the parameter list send no gesture",
     false,
     {{kDown, 65, 65}, {kUp, 65, 65}},
     {"lamp down", "lamp up"},
     {}},
    {"a double click is a gesture of its own, ended by its release",
     false,
     {{kDown, 15, 15}, {kUp, 15, 15}, {kDbl, 15, 15}, {kDrag, 16, 15}, {kUp, -5, 200}},
     {"a down", "a up", "a dbl", "a drag 1 0", "a up"},
     {"begin 0", "set 0", "set 0", "end 0", "begin 0", "set 0", "set 0", "end 0"}},
    {"a double click taken as a press captures, and its release ends it",
     false,
     {{kDown, 85, 85}, {kUp, 85, 85}, {kDbl, 85, 85}, {kDrag, 86, 85}, {kUp, 0, 0}},
     {"single down", "single up", "single down", "single drag 1 0", "single up"},
     {"begin 2", "set 2", "set 2", "end 2", "begin 2", "set 2", "set 2", "end 2"}},
    {"a press without its release is released by the next press",
     false,
     {{kDown, 15, 15}, {kDrag, 16, 15}, {kDown, 35, 35}, {kUp, 35, 35}},
     {"a down", "a drag 1 0", "a up", "b down", "b up"},
     {"begin 0", "set 0", "set 0", "end 0", "begin 1", "set 1", "set 1", "end 1"}},
    {"a lost capture releases where the pointer was last; the late release finds nothing",
     false,
     {{kDown, 15, 15}, {kDrag, 12, 5}, {kLost, 0, 0}, {kUp, 50, 50}, {kLost, 0, 0}},
     {"a down", "a drag -3 -10", "a up"},
     press0},
    {"a wheel step is a gesture of its own",
     false,
     {{kWheel, 15, 15}, {kWheel, 35, 35}},
     {"a wheel 2", "b wheel 2"},
     {"begin 0", "set 0", "end 0", "begin 1", "set 1", "end 1"}},
    {"less than a wheel notch reaches nothing", false, {{kPartWheel, 15, 15}}, {}, {}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    Editor e;
    if (c.background)
      e.AddBackground();
    e.Add(IRECT(10, 10, 30, 30), 0, "a");
    e.Add(IRECT(20, 20, 40, 40), 1, "b");
    e.Add(IRECT(60, 60, 70, 70), 7, "lamp");
    e.Add(IRECT(80, 80, 90, 90), 2, "single", true);
    IMouseMod left(true);
    for (const Event& ev : c.events)
    {
      switch (ev.kind)
      {
        case kDown:
          e.g.OnMouseDown(ev.x, ev.y, &left);
          break;
        case kUp:
          e.g.OnMouseUp(ev.x, ev.y, &left);
          break;
        case kDrag:
          e.g.OnMouseDrag(ev.x, ev.y, &left);
          break;
        case kDbl:
          e.g.OnMouseDblClick(ev.x, ev.y, &left);
          break;
        case kWheel:
          e.g.OnMouseWheel(ev.x, ev.y, &left, 2);
          break;
        case kPartWheel:
          e.g.OnMouseWheel(ev.x, ev.y, &left, 0);
          break;
        case kLost:
          e.g.OnMouseCaptureLost();
          break;
      }
    }
    EXPECT_EQ(e.log, c.received);
    EXPECT_EQ(e.Gestures(), c.gestures);
  }
}

// A change made on one control shows on every other control of its parameter, as main or
// auxiliary value and as the parameter holds it, and the next gesture on another of them goes on
// from it.
TEST(MouseDispatch, ControlsSharingAParameterFollowEachOther)
{
  Editor e;
  IBitmap face(nullptr, 20, 20, 1);
  IKnobMultiControl* a = new IKnobMultiControl(&e.plug, 0, 0, 1, &face);
  IKnobMultiControl* b = new IKnobMultiControl(&e.plug, 40, 0, 1, &face);
  IKnobMultiControl* follower = new IKnobMultiControl(&e.plug, 70, 0, 2, &face);
  follower->AddAuxParam(1);
  for (IControl* pControl : {(IControl*)a, (IControl*)b, (IControl*)follower})
    e.g.AttachControl(pControl);
  IMouseMod left(true), none;
  e.g.OnMouseDown(10, 10, &left);
  e.g.OnMouseDrag(10, -30, &left);  // up by twice the height: half the travel at gearing 4
  e.g.OnMouseUp(10, -30, &left);
  EXPECT_EQ(a->GetValue(), 0.5);
  EXPECT_EQ(b->GetValue(), 0.5);
  EXPECT_EQ(follower->GetAuxParam(0)->mValue.Get(), 0.5);
  EXPECT_EQ(follower->GetValue(), 0.0);
  e.g.OnMouseWheel(50, 10, &none, 2);
  EXPECT_DOUBLE_EQ(b->GetValue(), 0.52);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.52);
  EXPECT_DOUBLE_EQ(e.plug.GetParam(1)->GetNormalized(), 0.52);
  EXPECT_EQ(e.Gestures(),
            (std::vector<std::string>{"begin 1", "set 1", "end 1", "begin 1", "set 1", "end 1"}));

  // A parameter with steps: the others show the step held, the knob dragged keeps its own value.
  IKnobMultiControl* dragged = new IKnobMultiControl(&e.plug, 0, 40, 3, &face);
  IKnobMultiControl* other = new IKnobMultiControl(&e.plug, 40, 40, 3, &face);
  e.g.AttachControl(dragged);
  e.g.AttachControl(other);
  e.g.OnMouseDown(10, 50, &left);
  e.g.OnMouseDrag(10, 24, &left);  // 26 of the 80 pixels of travel: step 1.3, held at 1
  e.g.OnMouseUp(10, 24, &left);
  EXPECT_EQ(dragged->GetValue(), 0.325);
  EXPECT_EQ(other->GetValue(), 0.25);
}

// A press that changes nothing still tells the host the user touched the control, and so does a
// double click that restores the value held already; a press that opens the entry box does not
// (the box's commit is a gesture of its own).
TEST(MouseDispatch, APressWithoutAChangeIsATouchUnlessItPrompts)
{
  struct PromptingControl : IControl  // a right press opens the entry box
  {
    PromptingControl(PluginBase* pPlug)
      : IControl(pPlug, IRECT(0, 0, 20, 20), 1)
    {
      mDisablePrompt = false;
    }
    bool Draw(IGraphics*) override { return true; }
  };
  enum How
  {
    kLeft,
    kRight,
    kDouble
  };
  const struct
  {
    How how;
    std::vector<std::string> gestures;
  } cases[] = {{kLeft, {"begin 1", "end 1"}}, {kRight, {}}, {kDouble, {"begin 1", "end 1"}}};
  for (const auto& c : cases)
  {
    Editor e;
    PromptingControl* pControl = new PromptingControl(&e.plug);
    e.g.AttachControl(pControl);
    pControl->SetValueFromPlug(e.plug.GetParam(1)->GetNormalized());  // also its default
    IMouseMod mod(c.how != kRight, c.how == kRight);
    if (c.how == kDouble)
      e.g.OnMouseDblClick(10, 10, &mod);
    else
      e.g.OnMouseDown(10, 10, &mod);
    e.g.OnMouseUp(10, 10, &mod);
    EXPECT_EQ(e.Gestures(), c.gestures) << c.how;
  }
}

// Hidden and grayed controls take no press, not even a grayed one that shows mouse-over: the
// control beneath gets it.
TEST(MouseDispatch, HiddenAndGrayedControlsLetThePressThrough)
{
  enum How
  {
    kHidden,
    kGrayed,
    kGrayedShowingMouseOver
  };
  for (How how : {kHidden, kGrayed, kGrayedShowingMouseOver})
  {
    Editor e;
    e.Add(IRECT(10, 10, 30, 30), 0, "under");
    LoggingControl* pTop = e.Add(IRECT(10, 10, 30, 30), 1, "top");
    if (how == kHidden)
      pTop->Hide(true);
    else
      pTop->GrayOut(true);
    if (how == kGrayedShowingMouseOver)
      pTop->TakeMouseOverWhenGrayed();
    IMouseMod left(true);
    e.g.OnMouseDown(15, 15, &left);
    e.g.OnMouseUp(15, 15, &left);
    EXPECT_EQ(e.log, (std::vector<std::string>{"under down", "under up"})) << how;
  }
}

// With mouse-over on, the control under the pointer hears each move over it, and its mouse-out
// comes only when the pointer reaches another control or leaves the editor. A grayed control
// that shows mouse-over gets it.
TEST(MouseDispatch, MouseOverFollowsThePointerFromControlToControl)
{
  Editor e;
  e.g.HandleMouseOver();
  e.Add(IRECT(10, 10, 50, 50), 0, "under");
  LoggingControl* pTop = e.Add(IRECT(10, 10, 30, 30), 1, "top");
  pTop->GrayOut(true);
  pTop->TakeMouseOverWhenGrayed();
  IMouseMod none;
  for (int x : {15, 16, 40, 41, 42})
    EXPECT_TRUE(e.g.OnMouseOver(x, x, &none));
  e.g.OnMouseOut();
  EXPECT_EQ(e.log, (std::vector<std::string>{"top over", "top over", "under over", "top out",
                                             "under over", "under over", "under out", "top out"}));
}

// A press that changes a second parameter besides its own: that change is a gesture of its own,
// and the first parameter's gesture still ends with the release.
TEST(MouseDispatch, APressThatChangesTwoParametersKeepsBothGesturesWhole)
{
  struct Pair : LoggingControl
  {
    using LoggingControl::LoggingControl;
    IControl* mPartner = nullptr;
    void OnMouseDown(int x, int y, IMouseMod* pMod) override
    {
      LoggingControl::OnMouseDown(x, y, pMod);
      mPartner->SetValueFromUserInput(0.5);
    }
  };
  Editor e;
  Pair* pPair = new Pair(&e.log, &e.plug, IRECT(10, 10, 30, 30), 0, "pair");
  e.g.AttachControl(pPair);
  pPair->mPartner = e.Add(IRECT(60, 60, 70, 70), 1, "partner");
  IMouseMod left(true);
  e.g.OnMouseDown(15, 15, &left);
  e.g.OnMouseUp(15, 15, &left);
  EXPECT_EQ(e.Gestures(), (std::vector<std::string>{"begin 0", "set 0", "begin 1", "set 1", "end 1",
                                                    "set 0", "end 0"}));
}

// A change the plug-in throws on: the exception goes on to the window's guard, and the host's
// gesture is whole all the same: a change of its own is ended at once, a press's when the window
// gives the press up.
TEST(MouseDispatch, AChangeThatThrowsLeavesNoGestureOpen)
{
  struct ThrowingPlug : TestPlug
  {
    using TestPlug::TestPlug;
    void OnParamChange(int) override { throw std::runtime_error("no change"); }
  };
  ThrowingPlug plug(1, "1-1");
  plug.InitDoubles();
  TestGraphics* g = new TestGraphics(&plug, 50, 50);
  plug.AttachGraphics(g);
  std::vector<std::string> log;
  g->AttachControl(new LoggingControl(&log, &plug, IRECT(10, 10, 30, 30), 0, "c"));
  IMouseMod left(true);
  EXPECT_THROW(g->OnMouseWheel(15, 15, &left, 1), std::runtime_error);
  EXPECT_EQ(plug.mLog, (std::vector<std::string>{"begin 0", "end 0"}));
  EXPECT_THROW(g->OnMouseDown(15, 15, &left), std::runtime_error);
  g->AbandonMouseGesture();
  EXPECT_EQ(plug.mLog, (std::vector<std::string>{"begin 0", "end 0", "begin 0", "end 0"}));
  EXPECT_FALSE(g->HasMouseCapture());
}

TEST(KeyDispatch, KeysGoToTheControlUnderThePointerElseTheCatcher)
{
  struct Case
  {
    bool catcher;
    int x, y;
    bool handled;
    std::vector<std::string> received;
  };
  const Case cases[] = {
    {true, 15, 15, true, {"a key 7"}},
    {true, 50, 50, true, {"catcher key 7"}},  // over the background
    {false, 50, 50, false, {}},
    {true, 200, 200, true, {"catcher key 7"}},  // over nothing
  };
  for (const Case& c : cases)
  {
    Editor e;
    e.AddBackground();
    e.Add(IRECT(10, 10, 30, 30), 0, "a");
    if (c.catcher)
      e.g.AttachKeyCatcher(new LoggingControl(&e.log, &e.plug, IRECT(), -1, "catcher"));
    EXPECT_EQ(e.g.OnKeyDown(c.x, c.y, 7), c.handled);
    EXPECT_EQ(e.log, c.received);
  }
}

// Random mouse traffic over controls of every kind: every change the host sees lies inside a
// begin-edit and end-edit of its parameter, a parameter's gestures never nest, and a release or a
// lost capture leaves nothing open or captured.
TEST(MouseDispatch, RandomTrafficKeepsGesturesWholeAndInRange)
{
  std::mt19937 rng(777);
  auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 200; ++round)
  {
    SCOPED_TRACE(testing::Message() << "round " << round);
    Editor e;
    e.AddBackground();
    for (int k = 0; k < 8; ++k)
    {
      const int x = uniform(0, 90), y = uniform(0, 90);
      LoggingControl* pControl = e.Add(IRECT(x, y, x + uniform(4, 30), y + uniform(4, 30)),
                                       uniform(-1, 6), "c", uniform(0, 3) == 0);
      if (uniform(0, 7) == 0)
        pControl->GrayOut(true);
    }
    std::set<int> open;  // the parameters whose gestures the host saw begin
    size_t seen = 0;
    for (int step = 0; step < 60; ++step)
    {
      const int x = uniform(-20, 120), y = uniform(-20, 120), kind = uniform(0, 5);
      IMouseMod mod(uniform(0, 1), uniform(0, 1), uniform(0, 1), uniform(0, 1));
      switch (kind)
      {
        case 0:
          e.g.OnMouseDown(x, y, &mod);
          break;
        case 1:
          e.g.OnMouseUp(x, y, &mod);
          break;
        case 2:
          e.g.OnMouseDrag(x, y, &mod);
          break;
        case 3:
          e.g.OnMouseDblClick(x, y, &mod);
          break;
        case 4:
          e.g.OnMouseWheel(x, y, &mod, uniform(-3, 3));
          break;
        case 5:
          e.g.OnMouseCaptureLost();
          break;
      }
      for (; seen < e.plug.mLog.size(); ++seen)
      {
        const std::string& s = e.plug.mLog[seen];
        int p = -1;
        if (sscanf(s.c_str(), "begin %d", &p) == 1)
        {
          EXPECT_TRUE(open.insert(p).second) << "nested " << s;
          EXPECT_TRUE(p >= 0 && p < e.plug.NParams()) << s;
        }
        else if (sscanf(s.c_str(), "end %d", &p) == 1)
        {
          EXPECT_EQ(open.erase(p), 1u) << s << " without its begin";
        }
        else if (sscanf(s.c_str(), "automate %d", &p) == 1)
        {
          EXPECT_EQ(open.count(p), 1u) << s << " outside its gesture";
        }
      }
      if (kind == 1 || kind == 5)
      {
        EXPECT_TRUE(open.empty()) << "a gesture left open";
        EXPECT_FALSE(e.g.HasMouseCapture());
      }
    }
  }
}
