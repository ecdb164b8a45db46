// The editor's bitmap controls and the control base as the user and the plug-in drive them: frame
// selection, knob drags, switch steps, the contact button, double click, wheel, values from the
// plug-in.
#include "gui/IBitmapControl.h"
#include "tests/support/gui_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// The host-visible part of the plug-in's log: automation and edit gestures.
std::vector<std::string> HostCalls(const TestPlug& plug)
{
  std::vector<std::string> calls;
  for (const std::string& s : plug.mLog)
    if (s.rfind("paramchange", 0) != 0)
      calls.push_back(s);
  return calls;
}

// A knob without a picture, for extents no bitmap gives.
class BareKnob : public IKnobControl
{
public:
  using IKnobControl::IKnobControl;
  bool Draw(IGraphics*) override { return true; }
};

}  // namespace

TEST(BitmapControls, ShowTheFrameTheirValueSelects)
{
  struct Case
  {
    int frames;  // in the bitmap handle (the strip has at least one)
    double value;
    int frame;
  };
  const Case cases[] = {
    {30, 0.0, 1},  {30, 1.0, 30}, {30, 0.5, 16},   {2, 0.49, 1},    {2, 0.5, 2},
    {8, 0.93, 8},  {8, 0.92, 7},  {1, 0.7, 1},     {0, 0.7, 1},     {30, kNaN, 1},
    {30, -2.0, 1}, {30, 7.0, 30}, {30, 1e300, 30}, {30, -1e300, 1}, {3, 0.25, 2},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.frames << " frames, value " << c.value);
    auto strip = Filmstrip(8, 4, c.frames < 1 ? 1 : c.frames);
    IBitmap bitmap(strip.get(), 8, 4 * (c.frames < 1 ? 1 : c.frames), c.frames);
    TestGraphics g(nullptr, 20, 10);
    IControl* controls[] = {new IBitmapControl(nullptr, 0, 0, -1, &bitmap),
                            new IKnobMultiControl(nullptr, 10, 0, -1, &bitmap)};
    for (IControl* pControl : controls)
    {
      g.AttachControl(pControl);
      pControl->Clamp(-2e300, 2e300);  // let values outside 0..1 through to drawing
      pControl->SetValueFromPlug(c.value);
    }
    g.FullRepaint();
    EXPECT_EQ(g.GetPoint(0, 0).B, c.frame);
    EXPECT_EQ(g.GetPoint(10, 0).B, c.frame);
  }
}

TEST(BitmapControls, SideBySideFramesAreChosenAlongTheWidth)
{
  auto strip = Filmstrip(4, 6, 3, true);
  IBitmap bitmap(strip.get(), 12, 6, 3, true);
  for (int frame = 1; frame <= 3; ++frame)
  {
    TestGraphics g(nullptr, 12, 6);
    IControl* pControl = new IBitmapControl(nullptr, 0, 0, -1, &bitmap);
    g.AttachControl(pControl);
    pControl->SetValueFromPlug((frame - 1) / 2.0);
    g.FullRepaint();
    EXPECT_EQ(g.GetPoint(0, 0).B, frame);
  }
}

TEST(KnobControls, DragOverTheExtentTimesTheGearingMovesTheWholeRange)
{
  struct Case
  {
    const char* what;
    EDirection direction;
    double gearing;
    IMouseMod mod;
    double start;
    std::vector<std::pair<int, int>> moves;  // (dX, dY) per drag event
    double expected;
  };
  const IMouseMod none, shift(true, false, true), control(true, false, false, true);
  const Case cases[] = {
    {"up 256 at gearing 4", kVertical, 4.0, none, 0.0, {{0, -256}}, 1.0},
    {"up 128 in steps", kVertical, 4.0, none, 0.0, {{0, -64}, {3, -64}}, 0.5},
    {"shift: ten times finer", kVertical, 4.0, shift, 0.0, {{0, -256}}, 0.1},
    {"shift: 2560 for the range", kVertical, 4.0, shift, 0.0, {{0, -2560}}, 1.0},
    {"control: ten times finer", kVertical, 4.0, control, 0.0, {{0, -256}}, 0.1},
    {"gearing 1: the height", kVertical, 1.0, none, 0.0, {{0, -64}}, 1.0},
    {"down lowers", kVertical, 1.0, none, 1.0, {{0, 16}}, 0.75},
    {"horizontal: right raises", kHorizontal, 4.0, none, 0.0, {{128, -500}}, 0.5},
    {"horizontal: left lowers", kHorizontal, 1.0, none, 0.5, {{-16, 0}}, 0.25},
    {"past the end, then back", kVertical, 1.0, none, 0.9, {{0, -100}, {0, 32}}, 0.5},
    {"below 0, then back", kVertical, 1.0, none, 0.1, {{0, 100}, {0, -16}}, 0.25},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    TestPlug plug(1, "1-1");
    plug.InitDoubles();
    auto strip = Filmstrip(64, 64, 30);
    IBitmap bitmap(strip.get(), 64, 64 * 30, 30);
    TestGraphics g(&plug, 100, 100);
    IControl* pKnob = new IKnobMultiControl(&plug, 10, 10, 0, &bitmap, c.direction, c.gearing);
    g.AttachControl(pKnob);
    pKnob->SetValueFromPlug(c.start);
    IMouseMod mod = c.mod;
    int x = 20, y = 20;
    g.OnMouseDown(x, y, &mod);
    for (const auto& m : c.moves)
      g.OnMouseDrag(x += m.first, y += m.second, &mod);
    g.OnMouseUp(x, y, &mod);
    EXPECT_NEAR(pKnob->GetValue(), c.expected, 1e-12);
    EXPECT_NEAR(plug.GetParam(0)->Value(), c.expected, 1e-12);
  }
}

TEST(KnobControls, NoTravelLeavesTheValueAlone)
{
  struct Case
  {
    IRECT rect;
    EDirection direction;
    double gearing;
  };
  const Case cases[] = {
    {{0, 0, 64, 0}, kVertical, 4.0},
    {{0, 0, 0, 64}, kHorizontal, 4.0},
    {{0, 0, 64, 64}, kVertical, 0.0},
  };
  for (const Case& c : cases)
  {
    BareKnob knob(nullptr, c.rect, -1, c.direction, c.gearing);
    knob.SetValueFromPlug(0.4);
    IMouseMod mod;
    knob.OnMouseDrag(0, 0, 5, -7, &mod);
    EXPECT_EQ(knob.GetValue(), 0.4);
  }
}

TEST(SwitchControls, ClicksStepThroughTheFramesAndWrap)
{
  struct Case
  {
    int frames;
    std::vector<double> values;  // after each click from 0
  };
  const Case cases[] = {
    {2, {1.0, 0.0, 1.0}},
    {3, {0.5, 1.0, 0.0, 0.5}},
    {5, {0.25, 0.5, 0.75, 1.0, 0.0}},
    {16, std::vector<double>()},  // filled below: 15 clicks to 1, the 16th back to 0
    {1, {1.0, 0.0}},
    {0, {1.0, 0.0}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.frames << " frames");
    std::vector<double> expected = c.values;
    if (expected.empty())
    {
      for (int k = 1; k < c.frames; ++k)
        expected.push_back(k / (double)(c.frames - 1));
      expected.push_back(0.0);
    }
    TestPlug plug(1, "1-1");
    plug.InitDoubles();
    auto strip = Filmstrip(4, 4, c.frames < 1 ? 1 : c.frames);
    IBitmap bitmap(strip.get(), 4, 4 * (c.frames < 1 ? 1 : c.frames), c.frames);
    TestGraphics g(&plug, 8, 8);
    IControl* pSwitch = new ISwitchControl(&plug, 0, 0, 0, &bitmap);
    g.AttachControl(pSwitch);
    IMouseMod right(false, true);  // any button steps
    for (size_t k = 0; k < expected.size(); ++k)
    {
      if (k % 2)
      {
        g.OnMouseDown(1, 1, &right);
        g.OnMouseUp(1, 1, &right);
      }
      else
      {
        // A double click counts as one more click.
        g.OnMouseDblClick(1, 1, &right);
        g.OnMouseUp(1, 1, &right);
      }
      EXPECT_NEAR(pSwitch->GetValue(), expected[k], 1e-9) << "click " << k + 1;
      EXPECT_NEAR(plug.GetParam(0)->GetNormalized(), expected[k], 1e-9) << "click " << k + 1;
    }
  }
}

TEST(ContactControls, PressSendsOneAndTheReleaseZero)
{
  TestPlug plug(1, "1-1");
  plug.GetParam(0)->InitBool("push", false);
  auto strip = Filmstrip(8, 8, 2);
  IBitmap bitmap(strip.get(), 8, 16, 2);
  TestGraphics& g = *new TestGraphics(&plug, 8, 8);
  plug.AttachGraphics(&g);
  g.AttachControl(new IContactControl(&plug, 0, 0, 0, &bitmap));
  IMouseMod left(true);
  g.OnMouseDown(2, 2, &left);
  g.OnMouseUp(2, 2, &left);
  g.OnMouseDblClick(2, 2, &left);
  g.OnMouseUp(9, 9, &left);  // outside
  g.OnMouseDown(2, 2, &left);
  g.OnMouseCaptureLost();  // the window lost the mouse before the release
  std::vector<std::string> expected;
  for (int gesture = 0; gesture < 3; ++gesture)
    expected.insert(expected.end(), {"begin 0", "automate 0 1", "automate 0 0", "end 0"});
  EXPECT_EQ(HostCalls(plug), expected);
  EXPECT_EQ(plug.GetParam(0)->Value(), 0.0);
}

TEST(ControlBase, DoubleClickRestoresTheFirstValueFromThePlugIn)
{
  struct Case
  {
    const char* what;
    double fromPlug;  // negative: the plug-in never set the control
    double dragged;
    double expected;
  };
  const Case cases[] = {
    {"no value from the plug-in yet", -1.0, 0.8, 0.8},
    {"first value from the plug-in", 0.3, 0.8, 0.3},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    TestPlug plug(1, "1-1");
    plug.InitDoubles();
    BareKnob* pKnob = new BareKnob(&plug, IRECT(0, 0, 10, 10), 0);
    TestGraphics g(&plug, 10, 10);
    g.AttachControl(pKnob);
    if (c.fromPlug >= 0.0)
    {
      pKnob->SetValueFromPlug(c.fromPlug);
      pKnob->SetValueFromPlug(0.6);  // later values do not move the default
    }
    pKnob->SetValueFromUserInput(c.dragged);
    IMouseMod left(true);
    g.OnMouseDblClick(5, 5, &left);
    g.OnMouseUp(5, 5, &left);
    EXPECT_EQ(pKnob->GetValue(), c.expected);
    EXPECT_NEAR(plug.GetParam(0)->Value(), c.expected, 1e-12);
  }
}

TEST(ControlBase, WheelStepsAHundredthOrAThousandthWithModifiers)
{
  struct Case
  {
    IMouseMod mod;
    int d;
    double start, expected;
  };
  const Case cases[] = {
    {IMouseMod(), 3, 0.5, 0.53},
    {IMouseMod(false, false, true), 3, 0.5, 0.503},
    {IMouseMod(false, false, false, true), -2, 0.5, 0.498},
    {IMouseMod(), 80, 0.5, 1.0},
    {IMouseMod(), -80, 0.5, 0.0},
  };
  for (const Case& c : cases)
  {
    TestPlug plug(1, "1-1");
    plug.InitDoubles();
    BareKnob* pKnob = new BareKnob(&plug, IRECT(0, 0, 10, 10), 0);
    TestGraphics g(&plug, 10, 10);
    g.AttachControl(pKnob);
    plug.GetParam(0)->SetNormalized(c.start);
    pKnob->SetValueFromPlug(c.start);
    IMouseMod mod = c.mod;
    g.OnMouseWheel(5, 5, &mod, c.d);
    EXPECT_NEAR(pKnob->GetValue(), c.expected, 1e-12) << c.d;
    EXPECT_NEAR(plug.GetParam(0)->Value(), c.expected, 1e-12) << c.d;
    // The wheel is no edit gesture.
    EXPECT_EQ(HostCalls(plug).size(), 1u);
  }
}

TEST(ControlBase, ValuesFromThePlugInAreDrawnTwiceAndNeverEchoed)
{
  TestPlug plug(1, "1-1");
  plug.InitDoubles();
  BareKnob knob(&plug, IRECT(0, 0, 10, 10), 0);
  knob.SetClean();
  struct Step
  {
    double value;
    bool dirtyPasses[2];  // dirty before the next two drawing passes
    double value_after, default_after;
  };
  const Step steps[] = {
    {0.5, {true, true}, 0.5, 0.5},    // the first value: drawn, and the default
    {0.5, {false, false}, 0.5, 0.5},  // the same again: nothing
    {0.7, {true, true}, 0.7, 0.5},    // a change: drawn, and once more
    {3.0, {true, true}, 1.0, 0.5},    // clamped
  };
  for (const Step& s : steps)
  {
    knob.SetValueFromPlug(s.value);
    for (bool dirty : s.dirtyPasses)
    {
      EXPECT_EQ(knob.IsDirty(), dirty) << s.value;
      knob.SetClean();
    }
    EXPECT_FALSE(knob.IsDirty());
    EXPECT_EQ(knob.GetValue(), s.value_after);
    EXPECT_EQ(knob.GetDefaultValue(), s.default_after);
  }
  EXPECT_TRUE(plug.mLog.empty());
}

TEST(ControlBase, OnlyParametersOfThePlugInArePushed)
{
  struct Case
  {
    int paramIdx;
    size_t automations;
  };
  const Case cases[] = {{0, 1}, {1, 1}, {2, 0}, {57, 0}, {-1, 0}};
  for (const Case& c : cases)
  {
    TestPlug plug(2, "1-1");
    plug.InitDoubles();
    BareKnob knob(&plug, IRECT(0, 0, 10, 10), c.paramIdx);
    knob.SetValueFromUserInput(0.75);
    EXPECT_EQ(knob.GetValue(), 0.75);
    EXPECT_EQ(HostCalls(plug).size(), c.automations) << c.paramIdx;
  }
}
