// The drawing surface: redraw bookkeeping against what a window shows, the idle hook, the control
// list and values from the plug-in, the bitmap cache and the drawing guards.
#include "gui/IBitmapControl.h"
#include "raster/px_scaled.h"
#include "tests/support/gui_test_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

bool SameScreen(PX_MemBitmap& a, PX_MemBitmap& b)
{
  for (int y = 0; y < a.getHeight(); ++y)
    if (memcmp(a.getBits() + y * a.getRowSpan(), b.getBits() + y * b.getRowSpan(),
               (size_t)a.getWidth() * sizeof(PX_pixel)))
      return false;
  return true;
}

// Counts its idle hooks and its destruction.
class CountingControl : public IControl
{
public:
  CountingControl(int* pIdles, int* pDeleted = nullptr)
    : IControl(nullptr, IRECT(0, 0, 4, 4))
    , mIdles(pIdles)
    , mDeleted(pDeleted)
  {}
  ~CountingControl() override
  {
    if (mDeleted)
      ++*mDeleted;
  }
  bool Draw(IGraphics*) override { return true; }
  void OnGUIIdle() override { ++*mIdles; }

private:
  int* mIdles;
  int* mDeleted;
};

}  // namespace

// Whatever the host changes between timer ticks, and whatever parts of the window get painted in
// between (uncovered, say), once the ticks have caught up the window shows what a full repaint
// shows.
TEST(Surface, TicksAndPartialPaintsKeepTheWindowEqualToAFullRepaint)
{
  std::mt19937 rng(12345);
  auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto background = Filmstrip(96, 64, 1);
  auto strip = Filmstrip(12, 10, 7);
  auto wide = Filmstrip(30, 8, 3);
  IBitmap bg(background.get(), 96, 64, 1);
  IBitmap frames(strip.get(), 12, 70, 7), wideFrames(wide.get(), 30, 24, 3);
  for (const bool strict : {true, false})
  {
    for (int round = 0; round < 40; ++round)
    {
      SCOPED_TRACE(testing::Message() << (strict ? "strict" : "not strict") << ", round " << round);
      TestPlug plug(6, "1-1");
      plug.InitDoubles();
      TestGraphics g(&plug, 96, 64);
      g.AttachControl(new IBitmapControl(&plug, 0, 0, -1, &bg, IChannelBlend::kBlendClobber));
      // Overlapping controls; several share a parameter, some also follow one as auxiliary.
      for (int k = 0; k < 14; ++k)
      {
        const int x = uniform(-6, 90), y = uniform(-6, 60), p = uniform(-1, 5);
        IControl* pControl = k % 3 ? (IControl*)new IKnobMultiControl(&plug, x, y, p, &frames)
                                   : (IControl*)new IBitmapControl(&plug, x, y, p, &wideFrames);
        if (k % 4 == 1)
          pControl->AddAuxParam(uniform(0, 5));
        g.AttachControl(pControl);
      }
      g.SetStrictDrawing(strict);
      g.FullRepaint();
      for (int step = 0; step < 60; ++step)
      {
        switch (uniform(0, 5))
        {
          case 0:
          case 1:
            g.SetParameterFromPlug(uniform(0, 5), uniform(0, 100) / 100.0, true);
            break;
          case 2:
            g.SetControlFromPlug(uniform(-1, g.NControls()), uniform(0, 6) / 6.0);
            break;
          case 3:
            g.HideControl(uniform(0, 5), uniform(0, 1));
            break;
          case 4:
            g.Tick();
            break;
          case 5:
          {
            IRECT exposed(uniform(-10, 96), uniform(-10, 64), 0, 0);
            exposed.R = exposed.L + uniform(1, 60);
            exposed.B = exposed.T + uniform(1, 40);
            g.Draw(&exposed);
            break;
          }
        }
      }
      // Each change takes two passes; hidden controls in non-strict drawing a third.
      int ticks = 0;
      while (g.Tick() && ticks < 10)
        ++ticks;
      EXPECT_LT(ticks, 10);
      PX_MemBitmap shown(96, 64);
      PX_Copy(&shown, &g.mScreen);
      g.FullRepaint();
      EXPECT_TRUE(SameScreen(shown, g.mScreen));
    }
  }
}

TEST(Surface, IdleHooksRunAfterTwentyOneCleanTicks)
{
  int idles = 0;
  TestGraphics g(nullptr, 8, 8);
  IControl* pControl = new CountingControl(&idles);
  g.AttachControl(pControl);
  g.Tick();  // the first paint: the control was created dirty
  struct Step
  {
    int ticks;
    bool dirtyFirst;
    int idles;  // in all, after these ticks
  };
  const Step steps[] = {{20, false, 0}, {1, false, 1}, {20, false, 1}, {1, false, 2},
                        {10, false, 2}, {11, true, 2}, {10, false, 2}, {1, false, 3}};
  for (const Step& s : steps)
  {
    if (s.dirtyFirst)
      pControl->SetDirty(false);
    for (int t = 0; t < s.ticks; ++t)
      g.Tick();
    EXPECT_EQ(idles, s.idles);
  }
}

TEST(Surface, PlugInValuesReachEveryBoundControl)
{
  TestPlug plug(8, "1-1");
  plug.InitDoubles();
  TestGraphics g(&plug, 8, 8);
  struct Bound
  {
    int main;
    int aux;  // -1: none
  };
  const Bound bound[] = {{5, -1}, {2, 5}, {5, 5}, {3, -1}};
  std::vector<IControl*> controls;
  IBitmap none;
  for (const Bound& b : bound)
  {
    IControl* pControl = new IKnobMultiControl(&plug, 0, 0, b.main, &none);
    if (b.aux >= 0)
      pControl->AddAuxParam(b.aux);
    controls.push_back(pControl);
    g.AttachControl(pControl);
  }
  g.SetParameterFromPlug(5, 0.3, true);
  const double mains[] = {0.3, 0.0, 0.3, 0.0};
  const double auxes[] = {-1, 0.3, 0.3, -1};
  for (size_t i = 0; i < controls.size(); ++i)
  {
    EXPECT_EQ(controls[i]->GetValue(), mains[i]) << i;
    if (auxes[i] >= 0)
    {
      EXPECT_EQ(controls[i]->GetAuxParam(0)->mValue.Get(), auxes[i]) << i;
    }
  }
  // A plain value is normalised by the parameter first.
  plug.GetParam(3)->InitDouble("p", 0.0, 10.0, 20.0, 0.1);
  g.SetParameterFromPlug(3, 15.0, false);
  EXPECT_EQ(controls[3]->GetValue(), 0.5);
  // By control index, inside the list only.
  for (int idx : {-1, 4, 100})
    g.SetControlFromPlug(idx, 0.9);
  g.SetControlFromPlug(1, 0.9);
  EXPECT_EQ(controls[1]->GetValue(), 0.9);
  EXPECT_TRUE(plug.mLog.empty());  // nothing goes back to the plug-in
}

// A window smaller than the surface clips its paints: a control counts as redrawn when the paint
// covered what the window shows of it, so the editor goes quiet and its idle hooks run.
TEST(Surface, APaintCleansWhatTheWindowShowsOfAControl)
{
  struct Case
  {
    int clientW, clientH;  // -1: the surface's size (20 x 20)
    IRECT control, paint;
    bool clean;
  };
  const Case cases[] = {
    {10, 10, IRECT(5, 5, 15, 15), IRECT(0, 0, 10, 10), true},   // straddles the edge
    {10, 10, IRECT(5, 5, 15, 15), IRECT(5, 5, 10, 9), false},   // its visible part half painted
    {10, 10, IRECT(12, 12, 18, 18), IRECT(0, 0, 1, 1), true},   // wholly outside the window
    {-1, -1, IRECT(5, 5, 15, 15), IRECT(0, 0, 10, 10), false},  // the whole surface shows
    {-1, -1, IRECT(-4, 5, 15, 25), IRECT(0, 5, 20, 20), true},  // past the surface's own edges
    {30, 30, IRECT(5, 5, 25, 25), IRECT(0, 0, 20, 20), false},  // a larger window shows it all
  };
  for (const Case& c : cases)
  {
    int idles = 0;
    TestGraphics g(nullptr, 20, 20);
    IControl* pControl = new CountingControl(&idles);
    *pControl->GetRECT() = c.control;
    g.AttachControl(pControl);
    g.SetClientSize(c.clientW, c.clientH);
    IRECT paint = c.paint;
    g.Draw(&paint);
    EXPECT_EQ(pControl->IsDirty(), !c.clean) << c.control.L << "," << c.clientW;
    for (int t = 0; t < 21; ++t)
    {
      IRECT r;
      g.IsDirty(&r);
    }
    EXPECT_EQ(idles, c.clean ? 1 : 0);
  }
}

// A control that logs the calls a parameter change makes on it.
class BoundControl : public IControl
{
public:
  BoundControl(std::vector<std::string>* pLog, int id, int paramIdx)
    : IControl(nullptr, IRECT(0, 0, 4, 4), paramIdx)
    , mLog(pLog)
    , mId(id)
  {}
  bool Draw(IGraphics*) override { return true; }
  void SetValueFromPlug(double) override { mLog->push_back(std::to_string(mId) + " main"); }
  void SetAuxParamValueFromPlug(int aux, double) override
  {
    mLog->push_back(std::to_string(mId) + " aux " + std::to_string(aux));
  }

private:
  std::vector<std::string>* mLog;
  int mId;
};

// Whatever the bindings and wherever the background goes, a change makes the calls of a walk
// through the control list: per control its main value, then its first auxiliary one of the index.
TEST(Surface, AParameterChangeCallsItsBoundControlsInListOrder)
{
  std::mt19937 rng(2024);
  auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 50; ++round)
  {
    std::vector<std::string> log;
    TestGraphics g(nullptr, 8, 8);
    for (int k = 0; k < 12; ++k)
    {
      IControl* pControl = new BoundControl(&log, k, uniform(-1, 4));
      for (int a = uniform(0, 3); a > 0; --a)
        pControl->AddAuxParam(uniform(0, 4));
      g.AttachControl(pControl);
      if (k == 5)
        g.AttachBackground(NewResourceId(), "bg.png");
    }
    for (int p = 0; p <= 5; ++p)
    {
      std::vector<std::string> expected;
      for (int i = 0; i < g.NControls(); ++i)
      {
        IControl* pControl = g.GetControl(i);
        if (i == 0)
          continue;  // the background, inserted under control 0 after control 5 was attached
        const int id = i - 1;
        if (pControl->ParamIdx() == p)
          expected.push_back(std::to_string(id) + " main");
        if (pControl->AuxParamIdx(p) >= 0)
          expected.push_back(std::to_string(id) + " aux " +
                             std::to_string(pControl->AuxParamIdx(p)));
      }
      log.clear();
      g.SetParameterFromPlug(p, 0.5, true);
      EXPECT_EQ(log, expected) << "round " << round << ", parameter " << p;
    }
  }
}

// Controls inserted under the others follow the host as attached ones do, bound to parameter 0
// or only through an auxiliary parameter alike, each from its own insertion on.
TEST(Surface, ControlsInsertedUnderTheOthersFollowTheHost)
{
  struct InsertingGraphics : TestGraphics
  {
    using IGraphics::InsertControl;
    using TestGraphics::TestGraphics;
  };
  std::vector<std::string> log;
  InsertingGraphics g(nullptr, 8, 8);
  g.AttachControl(new BoundControl(&log, 0, 1));
  IControl* pAuxOnly = new BoundControl(&log, 1, -1);
  pAuxOnly->AddAuxParam(1);
  g.InsertControl(0, pAuxOnly);
  g.SetParameterFromPlug(1, 0.5, true);
  g.InsertControl(0, new BoundControl(&log, 2, 0));
  g.SetParameterFromPlug(0, 0.5, true);
  g.SetParameterFromPlug(1, 0.5, true);
  EXPECT_EQ(log, (std::vector<std::string>{"1 aux 0", "0 main", "2 main", "1 aux 0", "0 main"}));
}

// A resize deletes the controls: a host change afterwards reaches only those attached for the new
// size (under the sanitizers: no deleted control is touched).
TEST(Surface, AfterAResizeHostChangesReachOnlyTheNewControls)
{
  std::vector<std::string> log;
  TestGraphics g(nullptr, 8, 8);
  for (int k = 0; k < 3; ++k)
  {
    IControl* pControl = new BoundControl(&log, k, k % 2);
    pControl->AddAuxParam(1 - k % 2);
    g.AttachControl(pControl);
  }
  g.Resize(16, 16);
  EXPECT_EQ(g.NControls(), 0);
  g.AttachControl(new BoundControl(&log, 3, 1));
  g.SetParameterFromPlug(0, 0.5, true);
  g.SetParameterFromPlug(1, 0.5, true);
  EXPECT_EQ(log, (std::vector<std::string>{"3 main"}));
}

TEST(Surface, BackgroundGoesFirstAndKeyCatchersAreReplaced)
{
  int idles = 0, deleted = 0;
  {
    TestGraphics g(nullptr, 8, 8);
    g.mLoader = [](int) { return Filmstrip(8, 8, 1).release(); };
    IControl* pFirst = new CountingControl(&idles);
    EXPECT_EQ(g.AttachControl(pFirst), 0);
    g.AttachBackground(NewResourceId(), "bg.png");
    EXPECT_EQ(g.NControls(), 2);
    EXPECT_EQ(g.GetControl(1), pFirst);
    EXPECT_EQ(g.GetControl(0)->ParamIdx(), -1);
    EXPECT_TRUE(*g.GetControl(0)->GetRECT() == IRECT(0, 0, 8, 8));

    g.AttachKeyCatcher(new CountingControl(&idles, &deleted));
    g.AttachKeyCatcher(new CountingControl(&idles, &deleted));
    EXPECT_EQ(deleted, 1);
  }
  EXPECT_EQ(deleted, 2);
}

TEST(BitmapCache, DecodesEachResourceOnceForEverySurface)
{
  const int id = NewResourceId();
  TestGraphics first(nullptr, 8, 8), second(nullptr, 8, 8);
  first.mLoader = second.mLoader = [](int) { return Filmstrip(16, 4, 6).release(); };
  const IBitmap a = first.LoadIBitmap(id, "strip.png", 6);
  const IBitmap b = second.LoadIBitmap(id, "other.png", 3);
  EXPECT_EQ(first.mLoads + second.mLoads, 1);
  EXPECT_EQ(a.mData, b.mData);
  EXPECT_EQ(a.N, 6);
  EXPECT_EQ(b.N, 3);
  EXPECT_EQ(b.W, 16);
  EXPECT_EQ(b.H, 24);
}

TEST(BitmapCache, AFailedDecodeIsRetriedAndDrawsNothing)
{
  const int id = NewResourceId();
  TestGraphics g(nullptr, 8, 8);
  const IBitmap missing = g.LoadIBitmap(id, "missing.png", 2);
  EXPECT_EQ(missing.mData, nullptr);
  EXPECT_EQ(missing.W, 0);
  EXPECT_EQ(missing.H, 0);
  IBitmap handle = missing;
  PX_Clear(g.GetDrawBitmap(), 0);
  g.AttachControl(new IBitmapControl(nullptr, 1, 1, -1, &handle));
  g.FullRepaint();  // draws nothing, reads nothing
  EXPECT_EQ(g.GetPoint(1, 1).A, 0);

  g.mLoader = [](int) { return Filmstrip(4, 4, 2).release(); };
  const IBitmap found = g.LoadIBitmap(id, "missing.png", 2);
  EXPECT_NE(found.mData, nullptr);
  EXPECT_EQ(g.mLoads, 2);
}

TEST(BitmapCache, ScaledAndCroppedBitmapsAreNewAndStacked)
{
  TestGraphics g(nullptr, 8, 8);
  auto strip = Filmstrip(4, 4, 3, true);
  IBitmap source(strip.get(), 12, 4, 3, true);
  IRECT second(4, 0, 8, 4);
  IBitmap cropped = g.CropBitmap(&source, &second);
  EXPECT_EQ(cropped.W, 4);
  EXPECT_EQ(cropped.H, 4);
  EXPECT_FALSE(cropped.mFramesAreHorizontal);
  EXPECT_EQ(PX_GetPixel(cropped.mData, 0, 0), FrameColour(2));
  EXPECT_EQ(PX_GetPixel(cropped.mData, 3, 3), FrameColour(2));
  IBitmap scaled = g.ScaleBitmap(&cropped, 8, 2);
  EXPECT_EQ(scaled.mData->getWidth(), 8);
  EXPECT_EQ(scaled.mData->getHeight(), 2);
  EXPECT_EQ(PX_GetPixel(scaled.mData, 5, 1), FrameColour(2));
  g.ReleaseBitmap(&scaled);  // deleted now; the cache keeps the cropped one until unload
}

TEST(Drawing, BitmapsDrawOnlyInsideTheRedrawAndPixelsOnlyOnTheSurface)
{
  TestGraphics g(nullptr, 8, 8);
  PX_Clear(g.GetDrawBitmap(), 0);
  auto strip = Filmstrip(8, 8, 1);
  IBitmap bitmap(strip.get(), 8, 8, 1);
  IControl* pControl = new IBitmapControl(nullptr, 0, 0, -1, &bitmap);
  g.AttachControl(pControl);
  IRECT part(2, 3, 5, 6);
  g.Draw(&part);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(g.GetPoint(x, y).A, part.Contains(x, y) ? 255 : 0) << x << "," << y;

  const IColor red(255, 255, 0, 0);
  const int outside[][2] = {{-1, 0}, {0, -1}, {8, 0}, {0, 8}, {100000, 100000}};
  for (const auto& xy : outside)
    g.ForcePixel(&red, xy[0], xy[1]);
  g.ForcePixel(&red, 7, 7);
  EXPECT_TRUE(g.GetPoint(7, 7) == red);
  IGraphicsHeadless unprepared(nullptr, 8, 8);  // no bitmap yet
  unprepared.ForcePixel(&red, 0, 0);
}

TEST(Drawing, RotatedBitmapsTurnAboutTheirCentre)
{
  // Left half red, right half blue; half a turn swaps them.
  PX_MemBitmap halves(8, 8);
  PX_FillRect(&halves, 0, 0, 4, 8, 0xFFFF0000u, 1.0f, PX_MODE_COPY);
  PX_FillRect(&halves, 4, 0, 4, 8, 0xFF0000FFu, 1.0f, PX_MODE_COPY);
  IBitmap bitmap(&halves, 8, 8, 1);
  struct Case
  {
    double angle;
    int leftRed;
  };
  for (const Case& c : {Case{0.0, 255}, Case{3.141592653589793, 0}})
  {
    TestGraphics g(nullptr, 16, 16);
    g.DrawRotatedBitmap(&bitmap, 8, 8, c.angle, 0, nullptr);
    EXPECT_EQ(g.GetPoint(5, 8).R, c.leftRed) << c.angle;
    EXPECT_EQ(g.GetPoint(10, 8).R, 255 - c.leftRed) << c.angle;
  }
}

TEST(HeadlessSurface, OnlyPNGNamesAreDecoded)
{
  struct Case
  {
    const char* name;
    bool png;
  };
  const Case cases[] = {
    {"knob.png", true}, {"Knob.PNG", true},   {"a.b.png", true},    {"xpng", true},
    {"png", false},     {"knob.bmp", false},  {"knob.png.", false}, {"", false},
    {nullptr, false},   {"knob.pngx", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsPNGResourceName(c.name), c.png) << (c.name ? c.name : "(null)");
}
