// The further controls on the headless surface, for what the GUI test plug-in's page does not show:
// radio button layouts, faders in both directions and without travel, values outside the range,
// knob pointers, the link's backup address, the file selector's value and dirty flag, and the panel
// background.
#include "gui/IFaderControl.h"
#include "gui/IFileSelectorControl.h"
#include "gui/IKnobLineControl.h"
#include "gui/IKnobRotaterControls.h"
#include "gui/IPlainControls.h"
#include "gui/IRadioButtonsControl.h"
#include "gui/IURLControl.h"
#include "tests/support/gui_prompt_graphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// A plug-in with one parameter (0..1) and a prompting surface attached to it.
struct Editor
{
  TestPlug plug{1, "1-1"};
  PromptGraphics* g;
  explicit Editor(int w = 100, int h = 100)
  {
    plug.GetParam(0)->InitDouble("gain", 0.0, 0.0, 1.0, 0.01, "dB");
    g = new PromptGraphics(&plug, w, h);
    plug.AttachGraphics(g);
  }
  template <class T>
  T* Attach(T* pControl)
  {
    g->AttachControl(pControl);
    return pControl;
  }
  void Click(int x, int y, IMouseMod mod = IMouseMod(true))
  {
    g->OnMouseDown(x, y, &mod);
    g->OnMouseUp(x, y, &mod);
  }
};

// A bitmap of one colour, w x h, alpha included.
std::unique_ptr<PX_MemBitmap> Solid(int w, int h, PX_pixel colour)
{
  std::unique_ptr<PX_MemBitmap> bm(new PX_MemBitmap(w, h));
  PX_FillRect(bm.get(), 0, 0, w, h, colour, 1.0f, PX_MODE_COPY);
  return bm;
}

}  // namespace

TEST(RadioButtons, ButtonsSpanTheRectangleInEitherOrder)
{
  struct Case
  {
    const char* what;
    IRECT rect;
    int n;
    EDirection direction;
    bool reverse;
    std::vector<int> starts;  // tops (vertical) or lefts (horizontal)
  };
  // Buttons of 10 x 20 (a 10 x 40 bitmap of two frames).
  const Case cases[] = {
    {"vertical", IRECT(0, 0, 10, 100), 3, kVertical, false, {0, 40, 80}},
    {"vertical reversed", IRECT(0, 0, 10, 100), 3, kVertical, true, {80, 40, 0}},
    {"vertical, gap truncated", IRECT(5, 7, 15, 100), 4, kVertical, false, {7, 31, 55, 79}},
    {"horizontal", IRECT(3, 0, 53, 20), 3, kHorizontal, false, {3, 23, 43}},
    {"horizontal reversed", IRECT(3, 0, 53, 20), 3, kHorizontal, true, {43, 23, 3}},
    {"one button", IRECT(0, 0, 10, 100), 1, kVertical, false, {0}},
    {"one button reversed", IRECT(0, 0, 10, 100), 1, kVertical, true, {80}},
    {"no button", IRECT(0, 0, 10, 100), 0, kVertical, false, {}},
  };
  auto strip = Filmstrip(10, 20, 2);
  IBitmap bitmap(strip.get(), 10, 40, 2);
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    IRadioButtonsControl radio(nullptr, c.rect, -1, c.n, &bitmap, c.direction, c.reverse);
    ASSERT_EQ(radio.NButtons(), (int)c.starts.size());
    for (int i = 0; i < radio.NButtons(); ++i)
    {
      const IRECT& r = radio.GetButtonRECT(i);
      EXPECT_EQ(c.direction == kHorizontal ? r.L : r.T, c.starts[(size_t)i]) << i;
      EXPECT_EQ(c.direction == kHorizontal ? r.T : r.L, c.direction == kHorizontal ? 0 : c.rect.L);
      EXPECT_EQ(r.W(), 10);
      EXPECT_EQ(r.H(), 20);
    }
  }
}

TEST(RadioButtons, AClickSelectsTheButtonUnderItAndTheActiveOneShowsFrameTwo)
{
  struct Case
  {
    int n;
    double start;
    int clickY;
    double value;  // the plug-in's afterwards
  };
  const Case cases[] = {
    {3, 0.0, 45, 0.5}, {3, 0.0, 95, 1.0},
    {3, 0.5, 5, 0.0},  {3, 0.5, 30, 0.5},  // between buttons: unchanged, nothing recorded
    {1, 0.7, 5, 0.0},                      // a single button stands for 0
  };
  auto strip = Filmstrip(10, 20, 2);
  IBitmap bitmap(strip.get(), 10, 40, 2);
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.n << " buttons, click at " << c.clickY);
    Editor e(10, 100);
    IRadioButtonsControl* pRadio =
      e.Attach(new IRadioButtonsControl(&e.plug, IRECT(0, 0, 10, 100), 0, c.n, &bitmap));
    e.plug.GetParam(0)->SetNormalized(c.start);
    pRadio->SetValueFromPlug(c.start);
    e.Click(5, c.clickY);
    EXPECT_EQ(pRadio->GetValue(), c.value);
    const std::vector<std::string>& log = e.plug.mLog;
    EXPECT_EQ(std::count(log.begin(), log.end(), "automate 0 " + TestPlug::Num(c.value)),
              c.value != c.start);
    e.g->FullRepaint();
    for (int i = 0; i < c.n; ++i)
    {
      const bool active = c.n == 1 || i == (int)(0.5 + c.value * (c.n - 1));
      EXPECT_EQ(e.g->GetPoint(5, pRadio->GetButtonRECT(i).T + 1).B, active ? 2 : 1) << i;
    }
  }
}

TEST(RadioButtons, AValueOutsideTheRangeShowsAnEndButton)
{
  auto strip = Filmstrip(10, 20, 2);
  IBitmap bitmap(strip.get(), 10, 40, 2);
  const double values[] = {kNaN, -5.0, 1e300};
  const int active[] = {0, 0, 2};
  for (int k = 0; k < 3; ++k)
  {
    Editor e(10, 100);
    IRadioButtonsControl* pRadio =
      e.Attach(new IRadioButtonsControl(&e.plug, IRECT(0, 0, 10, 100), -1, 3, &bitmap));
    pRadio->Clamp(-2e300, 2e300);
    pRadio->SetValueFromPlug(values[k]);
    e.g->FullRepaint();
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(e.g->GetPoint(5, pRadio->GetButtonRECT(i).T).B, i == active[k] ? 2 : 1);
  }
}

TEST(Faders, TheHandleSnapsToThePointerAndFollowsADrag)
{
  struct Case
  {
    const char* what;
    EDirection direction;
    std::vector<int> along;  // press, then drags, along the travel from the rectangle's start
    double value;
    int handleStart;  // top (vertical) or left (horizontal) of the handle afterwards
  };
  // A 200-pixel track, handle 20 along it, placed at (10, 10).
  const Case cases[] = {
    {"top end", kVertical, {10}, 1.0, 10},
    {"bottom end", kVertical, {190}, 0.0, 190},
    {"below the track", kVertical, {250}, 0.0, 190},
    {"middle", kVertical, {100}, 0.5, 100},
    {"dragged absolutely", kVertical, {190, 150, 55}, 0.75, 55},
    {"dragged past the top", kVertical, {100, -40}, 1.0, 10},
    {"horizontal left end", kHorizontal, {10}, 0.0, 10},
    {"horizontal, dragged", kHorizontal, {10, 55, 145}, 0.75, 145},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    auto handle = Filmstrip(20, 20, 1);
    IBitmap bitmap(handle.get(), 20, 20, 1);
    Editor e(300, 300);
    IFaderControl* pFader =
      e.Attach(new IFaderControl(&e.plug, 10, 10, 200, 0, &bitmap, c.direction));
    const bool vertical = c.direction == kVertical;
    EXPECT_EQ(*pFader->GetRECT(), vertical ? IRECT(10, 10, 30, 210) : IRECT(10, 10, 210, 30));
    IMouseMod left(true);
    auto at = [&](int a, int* x, int* y) {
      *x = vertical ? 15 : 10 + a;
      *y = vertical ? 10 + a : 15;
    };
    int x, y;
    at(c.along[0], &x, &y);
    e.g->OnMouseDown(x, y, &left);
    for (size_t k = 1; k < c.along.size(); ++k)
    {
      at(c.along[k], &x, &y);
      e.g->OnMouseDrag(x, y, &left);
    }
    e.g->OnMouseUp(x, y, &left);
    EXPECT_NEAR(pFader->GetValue(), c.value, 1e-12);
    EXPECT_NEAR(e.plug.GetParam(0)->Value(), c.value, 0.005);
    const IRECT h = pFader->GetHandleRECT();
    EXPECT_EQ(vertical ? h.T : h.L, c.handleStart);
    EXPECT_EQ(h.W(), 20);
    EXPECT_EQ(h.H(), 20);
    e.g->FullRepaint();
    EXPECT_EQ(e.g->GetPoint(h.L + 1, h.T + 1).B, 1);
  }
}

TEST(Faders, WithoutTravelTheValueStaysAndOnlyTheHandleMayTakeTheMouse)
{
  auto handle = Filmstrip(20, 20, 1);
  IBitmap bitmap(handle.get(), 20, 20, 1);
  for (int len : {20, 5, 0})
  {
    IFaderControl fader(nullptr, 0, 0, len, -1, &bitmap, kVertical);
    fader.SetValueFromPlug(0.3);
    IMouseMod left(true);
    fader.OnMouseDown(10, 2, &left);
    fader.OnMouseDrag(10, 200, 0, 198, &left);
    EXPECT_EQ(fader.GetValue(), 0.3) << len;
    EXPECT_EQ(fader.GetHandleRECT(), IRECT(0, 0, 20, 20)) << len;
  }

  IFaderControl onlyHandle(nullptr, 0, 0, 100, -1, &bitmap, kVertical, true);
  IFaderControl wholeTrack(nullptr, 0, 0, 100, -1, &bitmap, kVertical, false);
  for (IFaderControl* pFader : {&onlyHandle, &wholeTrack})
    pFader->SetValueFromPlug(1.0);  // the handle at the top
  EXPECT_TRUE(onlyHandle.IsHit(5, 5));
  EXPECT_FALSE(onlyHandle.IsHit(5, 50));
  EXPECT_TRUE(wholeTrack.IsHit(5, 50));
  for (double v : {kNaN, -1e300, 1e300})
  {
    onlyHandle.Clamp(-2e300, 2e300);
    onlyHandle.SetValueFromPlug(v);
    const IRECT r = onlyHandle.GetHandleRECT();
    EXPECT_TRUE(r.T == 0 || r.T == 80) << v;
  }
}

TEST(RotatingKnobs, ThePointerTurnsFromTheMinimumToTheMaximumAngle)
{
  // A white bar from the centre of a 21 x 21 picture upwards, and a white line knob; both turn 0 to
  // 90 degrees.
  std::unique_ptr<PX_MemBitmap> bar(new PX_MemBitmap(21, 21));
  PX_Clear(bar.get(), 0);
  PX_FillRect(bar.get(), 9, 0, 3, 10, 0xFFFFFFFF, 1.0f, PX_MODE_COPY);
  IBitmap bitmap(bar.get(), 21, 21, 1);
  const double quarter = 1.5707963267948966;
  struct Case
  {
    double value;
    bool up, right;
  };
  const Case cases[] = {{0.0, true, false}, {1.0, false, true}, {kNaN, true, false}};
  for (int kind = 0; kind < 2; ++kind)
  {
    for (const Case& c : cases)
    {
      SCOPED_TRACE(testing::Message() << (kind ? "line knob " : "rotater ") << c.value);
      Editor e(21, 21);
      e.Attach(new IPanelControl(&e.plug, IRECT(0, 0, 21, 21), &COLOR_BLACK));
      IControl* pKnob = kind ? (IControl*)new IKnobLineControl(&e.plug, IRECT(0, 0, 21, 21), -1,
                                                               &COLOR_WHITE, 0.0, 0.0, 0.0, quarter)
                             : new IKnobRotaterControl(&e.plug, 0, 0, -1, &bitmap, 0.0, quarter);
      e.Attach(pKnob);
      pKnob->Clamp(-1.0, 2.0);
      pKnob->SetValueFromPlug(c.value);
      e.g->FullRepaint();
      EXPECT_EQ(e.g->GetPoint(10, 3).G > 128, c.up);
      EXPECT_EQ(e.g->GetPoint(17, 10).G > 128, c.right);
      EXPECT_EQ(e.g->GetPoint(20, 10).G > 128, c.right);  // an outer radius 0 reaches the edge
    }
  }
}

TEST(RotatingKnobs, TheMaskDecidesWhatOfTheBaseShows)
{
  // A red base; the mask lets its upper half through; the knob turns the mask 0 to 180 degrees.
  auto base = Solid(20, 20, 0xFFFF0000);
  std::unique_ptr<PX_MemBitmap> mask(new PX_MemBitmap(20, 20));
  PX_Clear(mask.get(), 0);
  PX_FillRect(mask.get(), 0, 0, 20, 10, 0xFF000000, 1.0f, PX_MODE_COPY);
  auto top = Solid(20, 20, 0);
  IBitmap b(base.get(), 20, 20, 1), m(mask.get(), 20, 20, 1), t(top.get(), 20, 20, 1);
  for (double value : {0.0, 1.0})
  {
    Editor e(20, 20);
    e.Attach(new IPanelControl(&e.plug, IRECT(0, 0, 20, 20), &COLOR_BLUE));
    IControl* pKnob =
      e.Attach(new IKnobRotatingMaskControl(&e.plug, 0, 0, -1, &b, &m, &t, 0.0, 180.0));
    pKnob->SetValueFromPlug(value);
    e.g->FullRepaint();
    const IColor upper = e.g->GetPoint(10, 3), lower = e.g->GetPoint(10, 16);
    EXPECT_EQ(value == 0.0 ? upper.R : lower.R, 255) << value;
    EXPECT_EQ(value == 0.0 ? lower.B : upper.B, 255) << value;
  }
}

// A panel background lies under the controls attached before it and covers the whole surface.
TEST(PanelBackground, CoversTheSurfaceUnderTheControlsAttachedBefore)
{
  for (IRECT size : {IRECT(0, 0, 30, 20), IRECT(0, 0, 20, 30)})
  {
    SCOPED_TRACE(testing::Message() << size.R << " x " << size.B);
    Editor e(size.R, size.B);
    e.Attach(new IPanelControl(&e.plug, IRECT(5, 5, 15, 15), &COLOR_RED));
    e.g->AttachPanelBackground(&COLOR_BLUE);
    ASSERT_EQ(e.g->NControls(), 2);
    EXPECT_TRUE(*e.g->GetControl(0)->GetRECT() == size);
    EXPECT_EQ(e.g->GetControl(0)->ParamIdx(), -1);
    EXPECT_TRUE(*e.g->GetControl(1)->GetRECT() == IRECT(5, 5, 15, 15));
    e.g->FullRepaint();
    for (int x : {0, size.R - 1})
      for (int y : {0, size.B - 1})
        EXPECT_EQ(PX_GetPixel(&e.g->mScreen, x, y), 0xFF0000FFu) << x << ", " << y;
    EXPECT_EQ(PX_GetPixel(&e.g->mScreen, 10, 10), 0xFFFF0000u);
  }
}

TEST(URLControl, TheBackupAddressIsTriedWhenTheFirstDoesNotOpen)
{
  struct Case
  {
    const char* what;
    const char* url;
    const char* backup;
    std::vector<bool> opens;
    std::vector<std::string> calls;
  };
  const std::string longURL = "http://" + std::string(400, 'u');
  const Case cases[] = {
    {"opens", "http://a", "http://b", {true}, {"http://a|msg"}},
    {"falls back", "http://a", "http://b", {false, true}, {"http://a|msg", "http://b|msg"}},
    {"no main address", "", "http://b", {}, {"http://b|msg"}},
    {"no backup", "http://a", nullptr, {false}, {"http://a|msg"}},
    {"nothing", nullptr, nullptr, {}, {}},
    {"cut to the field", longURL.c_str(), nullptr, {true}, {longURL.substr(0, 255) + "|msg"}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    Editor e;
    e.g->mOpens = c.opens;
    e.Attach(new IURLControl(&e.plug, IRECT(0, 0, 10, 10), c.url, c.backup, "msg"));
    e.Click(5, 5);
    EXPECT_EQ(e.g->mURLs, c.calls);
  }
  IURLControl noGUI(nullptr, IRECT(0, 0, 10, 10), "http://a", nullptr,
                    std::string(2000, 'm').c_str());
  IMouseMod left(true);
  noGUI.OnMouseDown(5, 5, &left);  // nothing to open with, nothing happens
}

TEST(FileSelector, EachPromptFlipsTheValueAndShowsTheBitmapWhileUp)
{
  auto picture = Solid(10, 10, 0xFF000007);
  IBitmap bitmap(picture.get(), 10, 10, 1);
  Editor e(20, 20);
  e.Attach(new IPanelControl(&e.plug, IRECT(0, 0, 20, 20), &COLOR_BLACK));
  IFileSelectorControl* pSelector = e.Attach(new IFileSelectorControl(
    &e.plug, IRECT(0, 0, 10, 10), 0, &bitmap, kFileSave, "C:\\presets", "fxp fxb"));
  std::vector<int> shownWhileUp;
  e.g->mDuring = [&] {
    e.g->FullRepaint();
    shownWhileUp.push_back(e.g->GetPoint(5, 5).B);
  };
  struct Step
  {
    const char* chosen;  // null: cancelled
    double value;
    const char* file;
  };
  const Step steps[] = {
    {"C:\\a.fxp", 1.0, "C:\\a.fxp"}, {nullptr, 0.0, "C:\\a.fxp"}, {"C:\\b.fxp", 1.0, "C:\\b.fxp"}};
  for (const Step& s : steps)
  {
    e.g->mChosenFile = s.chosen;
    e.Click(5, 5);
    EXPECT_EQ(pSelector->GetValue(), s.value);
    EXPECT_EQ(e.plug.GetParam(0)->Value(), s.value);
    QvString file;
    pSelector->GetLastSelectedFileForPlug(&file);
    EXPECT_STREQ(file.Get(), s.file);
    // Done: drawn once more by itself, then idle and clean.
    e.g->FullRepaint();
    EXPECT_EQ(e.g->GetPoint(5, 5).B, 0);
    EXPECT_EQ(pSelector->GetState(), IFileSelectorControl::kSelectorDone);
    EXPECT_TRUE(pSelector->IsDirty());
    EXPECT_FALSE(pSelector->IsDirty());
    EXPECT_EQ(pSelector->GetState(), IFileSelectorControl::kSelectorIdle);
  }
  EXPECT_EQ(shownWhileUp, std::vector<int>(3, 7));
  EXPECT_EQ(e.g->mFilePrompts, std::vector<std::string>(3, "save C:\\presets fxp fxb"));

  IFileSelectorControl noGUI(nullptr, IRECT(0, 0, 10, 10), 0, &bitmap, kFileOpen);
  IMouseMod left(true);
  noGUI.OnMouseDown(5, 5, &left);
  EXPECT_EQ(noGUI.GetValue(), 0.0);
  EXPECT_EQ(noGUI.GetState(), IFileSelectorControl::kSelectorIdle);
}
