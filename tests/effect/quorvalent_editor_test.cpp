// The plug-in's editor: its layout, what moves its controls, the gestures it reports to the host,
// and a golden rendering of the whole editor.
#include "gui/IBitmapControl.h"
#include "gui/IGraphics.h"
#include "raster/px_blur_halve_cmp.h"
#include "raster/px_png.h"
#include "resources/resource.h"
#include "tests/support/QuorvalentHost.h"
#include "tools/editor_picture/png_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

constexpr int kFirstLamp = 1;  // control indexes
constexpr int kFirstParam = 17;

IGraphics& Editor(QuorvalentHost& host)
{
  IGraphics* pGraphics = host.plug().GetGUI();
  EXPECT_NE(pGraphics, nullptr);
  return *pGraphics;
}

bool Overlap(const IRECT& a, const IRECT& b)
{
  return a.L < b.R && b.L < a.R && a.T < b.B && b.T < a.B;
}

// The controls' bitmaps and gearing, read through pointers to their protected members.
struct ShownBitmap : IBitmapControl
{
  static constexpr IBitmap IBitmapControl::*kMember = &ShownBitmap::mBitmap;
};
struct KnobBitmap : IKnobMultiControl
{
  static constexpr IBitmap IKnobMultiControl::*kMember = &KnobBitmap::mBitmap;
};
struct KnobGearing : IKnobControl
{
  static constexpr double IKnobControl::*kMember = &KnobGearing::mGearing;
};

// A bitmap resource: id, file and the frames stacked in it.
struct Resource
{
  int id;
  const char* name;
  int frames;
};

}  // namespace

TEST(QuorvalentEditor, ControlsSitAtTheTablePositions)
{
  QuorvalentHost host;
  IGraphics& g = Editor(host);
  ASSERT_EQ(g.NControls(), 59);
  EXPECT_TRUE(*g.GetControl(0)->GetRECT() == IRECT(0, 0, 664, 472));
  EXPECT_EQ(g.GetControl(0)->ParamIdx(), -1);

  struct Expected
  {
    int x, y, paramIdx;
    const std::type_info* kind;
  };
  std::vector<Expected> expected;
  for (int i = 0; i < kNumSteps; ++i)
    expected.push_back({23 + 32 * i, 402, kNumParams + i, &typeid(IBitmapControl)});
  for (int p = 0; p < kNumParams; ++p)
  {
    const std::type_info* kind = &typeid(IKnobMultiControl);
    if ((p >= kStep1 && p <= kStep16) || p == kAmpLFOTriplet || p == kFilterLFOTriplet ||
        p == kStepMode)
      kind = &typeid(ISwitchControl);
    else if (p == kPush)
      kind = &typeid(IContactControl);
    expected.push_back({parameterProperties[p].x, parameterProperties[p].y, p, kind});
  }
  for (int i = 1; i < g.NControls(); ++i)
  {
    SCOPED_TRACE(testing::Message() << "control " << i);
    IControl* pControl = g.GetControl(i);
    const Expected& e = expected[(size_t)i - 1];
    EXPECT_EQ(pControl->GetRECT()->L, e.x);
    EXPECT_EQ(pControl->GetRECT()->T, e.y);
    EXPECT_EQ(pControl->ParamIdx(), e.paramIdx);
    EXPECT_TRUE(typeid(*pControl) == *e.kind) << typeid(*pControl).name();
    // The artwork fits: every control inside the editor, none over another.
    const IRECT* r = pControl->GetRECT();
    EXPECT_TRUE(r->W() > 0 && r->H() > 0 && r->L >= 0 && r->T >= 0 && r->R <= 664 && r->B <= 472);
    for (int j = 1; j < i; ++j)
      EXPECT_FALSE(Overlap(*r, *g.GetControl(j)->GetRECT())) << "over control " << j;
  }
}

TEST(QuorvalentEditor, ControlsShowTheirBitmapsWithTheirGearing)
{
  QuorvalentHost host;
  IGraphics& g = Editor(host);
  ASSERT_EQ(g.NControls(), 59);
  const Resource knob = {KNOB_ID, KNOB_FN, 30}, rate = {KNOB8_ID, KNOB8_FN, 8},
                 type = {TYPESELECTOR_ID, TYPESELECTOR_FN, 3}, toggle = {SBUTTON_ID, SBUTTON_FN, 2},
                 step = {STEPBUTTON_ID, STEPBUTTON_FN, 2}, push = {BIGBUTTON_ID, BIGBUTTON_FN, 2},
                 lamp = {LED_ID, LED_FN, 2};
  struct Expected
  {
    Resource bitmap;
    double gearing;  // 0 for controls that are not knobs
  };
  std::vector<Expected> expected(59, Expected{knob, 4.0});
  expected[0] = {{BG_ID, BG_FN, 1}, 0.0};
  for (int i = 0; i < kNumSteps; ++i)
  {
    expected[(size_t)(kFirstLamp + i)] = {lamp, 0.0};
    expected[(size_t)(kFirstParam + kStep1 + i)] = {step, 0.0};
  }
  auto param = [&](int p) -> Expected& { return expected[(size_t)(kFirstParam + p)]; };
  param(kAmpLFORate) = param(kFilterLFORate) = {rate, 4.0};
  param(kAmpLFOTriplet) = param(kFilterLFOTriplet) = param(kStepMode) = {toggle, 0.0};
  param(kPush) = {push, 0.0};
  param(kFilterType) = param(kAmpLFOType) = param(kFilterLFOType) = {type, 1.0};
  param(kNoteLength) = {{MIXERCONT_ID, MIXERCONT_FN, 64}, 4.0};
  param(kNumStepsParam) = {{MIXER15_ID, MIXER15_FN, 15}, 4.0};
  param(kArpSpeed) = {{MIXER9_ID, MIXER9_FN, 9}, 4.0};

  for (int i = 0; i < g.NControls(); ++i)
  {
    SCOPED_TRACE(testing::Message() << "control " << i);
    IControl* pControl = g.GetControl(i);
    const Expected& e = expected[(size_t)i];
    auto* pKnob = dynamic_cast<IKnobMultiControl*>(pControl);
    ASSERT_EQ(pKnob != nullptr, e.gearing != 0.0);
    const IBitmap& shown = pKnob ? pKnob->*KnobBitmap::kMember
                                 : dynamic_cast<IBitmapControl&>(*pControl).*ShownBitmap::kMember;
    // The bitmap cache hands out one decoded bitmap per resource id.
    EXPECT_EQ(shown.mData, g.LoadIBitmap(e.bitmap.id, e.bitmap.name).mData) << e.bitmap.name;
    EXPECT_EQ(shown.N, e.bitmap.frames);
    EXPECT_FALSE(shown.mFramesAreHorizontal);
    if (pKnob)
    {
      EXPECT_EQ(pKnob->*KnobGearing::kMember, e.gearing);
    }
  }
}

// Every bitmap resource of the library, the editor's and the spare ones, decodes from the plug-in
// library (the linked-in table natively) under its id to the picture checked in under its name, a
// whole number of frames high.
TEST(QuorvalentEditor, EveryBitmapResourceDecodes)
{
  const Resource resources[] = {
    {101, KNOB_FN, 30},        {104, BIGBUTTON_FN, 2},    {105, BG_FN, 1},
    {106, TYPESELECTOR_FN, 3}, {107, KNOBRING_FN, 30},    {108, LEVER_FN, 2},
    {109, SBUTTON_FN, 2},      {110, SBUTTONLABEL_FN, 2}, {111, STEPBUTTON_FN, 2},
    {112, LED_FN, 2},          {113, KNOB8_FN, 8},        {114, KNOB4_FN, 4},
    {115, MIXER5_FN, 5},       {116, FADER_FN, 1},        {117, REDLED_FN, 2},
    {118, MIXER9_FN, 9},       {119, MIXER15_FN, 15},     {120, MIXERCONT_FN, 64},
  };
#ifdef _WIN32
  const PX_ModuleHandle module =
    LoadLibraryExA(QV_QUORVALENT_DLL, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr) << QV_QUORVALENT_DLL;
#else
  const PX_ModuleHandle module = nullptr;
#endif
  for (const Resource& r : resources)
  {
    SCOPED_TRACE(r.name);
    std::unique_ptr<PX_IBitmap> decoded(PX_LoadPNGFromResource(module, r.id));
    ASSERT_NE(decoded, nullptr);
    const std::string file = std::string(QV_TEST_DATA) + "/../../resources/" + r.name;
    std::unique_ptr<PX_IBitmap> drawn(PX_LoadPNG(file.c_str()));
    ASSERT_NE(drawn, nullptr) << file;
    EXPECT_EQ(PX_BitmapCmp(decoded.get(), drawn.get(), nullptr), 0);
    EXPECT_GT(decoded->getWidth(), 0);
    EXPECT_EQ(decoded->getHeight() % r.frames, 0);
  }
#ifdef _WIN32
  FreeLibrary(module);
#endif
}

TEST(QuorvalentEditor, HostAutomationAndTheSequencerMoveTheControls)
{
  QuorvalentHost host(32768.0, 256);
  IGraphics& g = Editor(host);
  struct Case
  {
    int paramIdx;
    double value;  // plain
  };
  const Case cases[] = {
    {kFilterCutoff, 0.5}, {kStep1 + 2, 1}, {kFilterType, 2}, {kNumStepsParam, 9}};
  for (const Case& c : cases)
  {
    host.setParam(c.paramIdx, c.value);
    EXPECT_EQ(g.GetControl(kFirstParam + c.paramIdx)->GetValue(),
              host.plug().GetParam(c.paramIdx)->GetNormalized())
      << c.paramIdx;
  }
  EXPECT_TRUE(host.edits().empty());  // nothing echoed to the host

  // The lamps show the step the last block ended on, one at a time.
  for (int blocks : {3, 17, 40})
  {
    host.render(testSignal((size_t)blocks * 256), 256);
    host.dispatch(effEditIdle);
    const int shown = host.plug().shownStep();
    for (int i = 0; i < kNumSteps; ++i)
      EXPECT_EQ(g.GetControl(kFirstLamp + i)->GetValue(), i == shown ? 1.0 : 0.0) << i;
  }
}

TEST(QuorvalentEditor, MouseEditsReachTheHostAsGestures)
{
  struct Case
  {
    const char* what;
    int x, y;  // press here
    int dy;    // then drag by this, and release
    std::vector<std::string> edits;
  };
  const Case cases[] = {
    {"a switch's change is bracketed",
     23 + 32 * 2 + 5,
     425,
     0,
     {"begin 22", "automate 22 1", "end 22"}},
    {"Push!! sends 1, then 0 on release",
     400,
     60,
     0,
     {"begin 16", "automate 16 1", "automate 16 0", "end 16"}},
    {"a knob drag", 140, 80, -112, {"begin 9", "automate 9 0.5", "end 9"}},
    {"a lamp sends nothing", 23 + 32 * 4 + 14, 409, 0, {}},
    {"the background sends nothing", 5, 5, 0, {}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    QuorvalentHost host;
    host.setParam(kFilterResonance, 0.01);  // resonance at its minimum
    IGraphics& g = Editor(host);
    IMouseMod left(true);
    g.OnMouseDown(c.x, c.y, &left);
    if (c.dy)
      g.OnMouseDrag(c.x, c.y + c.dy, &left);
    g.OnMouseUp(c.x, c.y + c.dy, &left);
    EXPECT_EQ(host.edits(), c.edits);
  }
}

// The host hears the values the plug-in holds: a parameter with steps (switches, selectors, the
// rate, step-count and speed knobs) moved by a drag, the wheel or clicks, event by event, records
// what getParameter answers right after it, and nothing when the value held stays as it was.
TEST(QuorvalentEditor, TheHostHearsTheSteppedValuesHeld)
{
  struct Example
  {
    const char* what;
    int paramIdx;
    double start;      // plain
    double dragShare;  // of the knob's travel upwards; 0: one wheel notch down instead
    std::vector<std::string> edits;
  };
  const Example examples[] = {
    {"filter LFO rate 0 dragged up 3/8 of its travel: rate 3 of 7",
     kFilterLFORate,
     0,
     0.375,
     {"begin 14", "automate 14 0.428571", "end 14"}},
    {"a notch down on a step that is on: still on", kStep1, 1, 0.0, {}},
    {"a notch down on Arp Speed 5: still 5", kArpSpeed, 5, 0.0, {}},
  };
  IMouseMod left(true), none;
  for (const Example& c : examples)
  {
    SCOPED_TRACE(c.what);
    QuorvalentHost host;
    host.setParam(c.paramIdx, c.start);
    IGraphics& g = Editor(host);
    const IRECT r = *g.GetControl(kFirstParam + c.paramIdx)->GetRECT();
    const int x = (r.L + r.R) / 2, y = (r.T + r.B) / 2;
    if (c.dragShare)
    {
      g.OnMouseDown(x, y, &left);
      g.OnMouseDrag(x, y - (int)(c.dragShare * r.H() * DEFAULT_GEARING), &left);
      g.OnMouseUp(x, y, &left);
    }
    else
    {
      g.OnMouseWheel(x, y, &none, -1);
    }
    EXPECT_EQ(host.edits(), c.edits);
  }

  const int stepped[] = {kAmpLFORate, kAmpLFOTriplet, kFilterLFORate, kFilterLFOTriplet,
                         kPush,       kFilterType,    kAmpLFOType,    kFilterLFOType,
                         kStep1,      kStep16,        kStepMode,      kNumStepsParam,
                         kArpSpeed};
  for (int p : stepped)
    for (const char* kind : {"drag", "wheel", "click"})
    {
      SCOPED_TRACE(testing::Message() << "parameter " << p << ", " << kind);
      QuorvalentHost host;
      IGraphics& g = Editor(host);
      const IRECT r = *g.GetControl(kFirstParam + p)->GetRECT();
      const int x = (r.L + r.R) / 2, y = (r.T + r.B) / 2;
      std::vector<std::function<void()>> events;
      if (kind[0] == 'd')
      {
        events.push_back([&] { g.OnMouseDown(x, y, &left); });
        for (int dy : {-9, -18, -27, -36, -45, -54, -63, -72, -81, -90, -77, -64, -51, -38})
          events.push_back([&, dy] { g.OnMouseDrag(x, y + dy, &left); });
        events.push_back([&] { g.OnMouseUp(x, y - 38, &left); });
      }
      else if (kind[0] == 'w')
      {
        for (int d : {-1, -1, -30, -30, 5, 60, -2, 1})
          events.push_back([&, d] { g.OnMouseWheel(x, y, &none, d); });
      }
      else
      {
        for (int i = 0; i < 2; ++i)
        {
          events.push_back([&] { g.OnMouseDown(x, y, &left); });
          events.push_back([&] { g.OnMouseUp(x, y, &left); });
        }
      }
      AEffect* e = host.effect();
      const std::string automate = "automate " + std::to_string(p) + " ";
      for (size_t i = 0; i < events.size(); ++i)
      {
        const float before = e->getParameter(e, p);
        const size_t seen = host.edits().size();
        events[i]();
        const float held = e->getParameter(e, p);
        std::vector<std::string> recorded, expected;
        for (size_t k = seen; k < host.edits().size(); ++k)
          if (host.edits()[k].rfind(automate, 0) == 0)
            recorded.push_back(host.edits()[k]);
        char text[64];
        snprintf(text, sizeof(text), "%s%g", automate.c_str(), held);
        if (held != before)
          expected.push_back(text);
        EXPECT_EQ(recorded, expected) << "event " << i;
      }
    }
}

// In every program, a drag across a continuous knob (it turns up and down only) moves nothing the
// host can read: the host hears the press as a touch, no automation, and reads the value as before.
TEST(QuorvalentEditor, ADragAcrossAKnobAfterAProgramChangeAutomatesNothing)
{
  IMouseMod left(true);
  for (int program = 0; program < kNumPrograms; ++program)
  {
    QuorvalentHost host;
    IGraphics& g = Editor(host);
    AEffect* e = host.effect();
    host.selectProgram(program);
    for (int p = 0; p < kNumParams; ++p)
    {
      if (host.plug().GetParam(p)->Type() != IParam::kTypeDouble)
        continue;
      SCOPED_TRACE(testing::Message() << "program " << program << ", parameter " << p);
      const IRECT r = *g.GetControl(kFirstParam + p)->GetRECT();
      const int x = (r.L + r.R) / 2, y = (r.T + r.B) / 2;
      const float before = e->getParameter(e, p);
      const size_t seen = host.edits().size();
      g.OnMouseDown(x, y, &left);
      g.OnMouseDrag(x + 20, y, &left);
      g.OnMouseUp(x + 20, y, &left);
      const std::vector<std::string> all = host.edits();
      const std::vector<std::string> touch = {"begin " + std::to_string(p),
                                              "end " + std::to_string(p)};
      EXPECT_EQ(std::vector<std::string>(all.begin() + (long)seen, all.end()), touch);
      EXPECT_EQ(e->getParameter(e, p), before);
    }
  }
}

// The editor of a new instance (steps 1, 2 and 6 on) with the first step's lamp lit, pixel for
// pixel. QV_UPDATE_GOLDEN=1 writes the file anew; a mismatch leaves the rendering beside the test
// as editor-actual.png.
TEST(QuorvalentEditor, RendersAsItsGoldenPicture)
{
  QuorvalentHost host;
  IGraphics& g = Editor(host);
  host.dispatch(effEditIdle);
  IRECT all(0, 0, g.Width(), g.Height());
  g.Draw(&all);
  const std::string golden = std::string(QV_TEST_DATA) + "/golden/editor/default.png";
  if (getenv("QV_UPDATE_GOLDEN"))
  {
    ASSERT_TRUE(WritePNG(g.GetDrawBitmap(), golden.c_str()));
  }
  std::unique_ptr<PX_IBitmap> expected(PX_LoadPNG(golden.c_str()));
  ASSERT_NE(expected, nullptr) << golden;
  ASSERT_EQ(expected->getWidth(), 664);
  ASSERT_EQ(expected->getHeight(), 472);
  int differing = 0;
  for (int y = 0; y < 472; ++y)
    for (int x = 0; x < 664; ++x)
      differing += PX_GetPixel(expected.get(), x, y) != PX_GetPixel(g.GetDrawBitmap(), x, y);
  if (differing)
    WritePNG(g.GetDrawBitmap(), "editor-actual.png");
  EXPECT_EQ(differing, 0) << "see editor-actual.png";
}
