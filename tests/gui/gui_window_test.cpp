// The window host's portable half: what window messages carry in the surface's terms, the value
// entry box's character filter, commit conversion and state machine, and the count that keeps the
// window class registered while any editor window is open.
#include "framework/IParam.h"
#include "gui/TextEntry.h"
#include "gui/WindowClassCount.h"
#include "gui/WindowInput.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

TEST(WindowInput, VirtualKeysMapToTheControlsKeyCodes)
{
  struct Case
  {
    uintptr_t vk;
    int key;
  };
  const Case cases[] = {
    {32, 0},   {38, 1},   {40, 2},   {37, 3},   {39, 4},   // space, up, down, left, right
    {'0', 5},  {'9', 14}, {'A', 15}, {'Z', 40},            // digits and letters
    {97, 15},  {122, 40},                                  // keypad 1 is 'A', F11 is 'Z'
    {',', -1}, {36, -1},  {47, -1},  {58, -1},  {64, -1},  // comma, home, around the ranges
    {91, -1},  {96, -1},  {123, -1}, {0, -1},   {0x10041, -1}};
  for (const Case& c : cases)
    EXPECT_EQ(KeyCodeOfVirtualKey(c.vk), c.key) << c.vk;
}

TEST(WindowInput, MessagesUnpackAsTheSurfaceTakesThem)
{
  const IMouseMod none = MouseModOf(0, false);
  EXPECT_FALSE(none.L || none.R || none.S || none.C || none.A);
  const IMouseMod all = MouseModOf(kMouseFlagLeft | kMouseFlagRight | kMouseFlagShift |
                                     kMouseFlagControl | kMouseFlagMiddle,
                                   true);
  EXPECT_TRUE(all.L && all.R && all.S && all.C && all.A);
  const IMouseMod shift = MouseModOf(kMouseFlagShift | kMouseFlagLeft, false);
  EXPECT_TRUE(shift.L && shift.S && !shift.R && !shift.C && !shift.A);

  // Wheel: whole notches, truncated toward zero; the low word (the keys) does not count.
  struct Wheel
  {
    int delta;
    int notches;
  };
  for (const Wheel& w : {Wheel{120, 1}, Wheel{-120, -1}, Wheel{60, 0}, Wheel{-60, 0}, Wheel{360, 3},
                         Wheel{-250, -2}, Wheel{32767, 273}})
    EXPECT_EQ(WheelNotches(((uintptr_t)(uint16_t)w.delta << 16) | kMouseFlagShift), w.notches)
      << w.delta;

  // Positions: signed 16-bit words, x low (a pointer dragged past the left or top edge is
  // negative).
  struct Pos
  {
    intptr_t lParam;
    int x, y;
  };
  for (const Pos& p : {Pos{0x00200010, 16, 32}, Pos{0xFFF0FFFF, -1, -16},
                       Pos{(intptr_t)0x7FFF8000, -32768, 32767}})
  {
    int x = 0, y = 0;
    SignedWordsOf(p.lParam, &x, &y);
    EXPECT_EQ(x, p.x);
    EXPECT_EQ(y, p.y);
  }

  // The redraw timer's period, truncated; fps below 1 is the default 25.
  struct Period
  {
    int fps, ms;
  };
  for (const Period& p : {Period{25, 40}, Period{30, 33}, Period{0, 40}, Period{-3, 40},
                          Period{1, 1000}, Period{1000, 1}, Period{2000, 0}})
    EXPECT_EQ(RedrawTimerPeriod(p.fps), p.ms) << p.fps;
}

TEST(TextEntry, CharactersAreFilteredByTheParameterType)
{
  IParam none, boolean, integer, enumeration, real;
  boolean.InitBool("b", false);
  integer.InitInt("i", 0, -10, 10);
  enumeration.InitEnum("e", 0, 3);
  real.InitDouble("d", 0.0, -1.0, 1.0, 0.01);
  const std::string digits = "0123456789+-\b";
  for (int ch = -128; ch < 256; ++ch)
  {
    const bool digit = ch >= 0 && ch < 128 && digits.find((char)ch) != std::string::npos;
    SCOPED_TRACE(ch);
    const bool enter = ch == '\r';  // the key that commits, whatever the box
    EXPECT_EQ(TextEntryAcceptsChar(nullptr, ch), !enter);
    EXPECT_EQ(TextEntryAcceptsChar(&none, ch), !enter);
    EXPECT_EQ(TextEntryAcceptsChar(&boolean, ch), digit);
    EXPECT_EQ(TextEntryAcceptsChar(&integer, ch), digit);
    EXPECT_EQ(TextEntryAcceptsChar(&enumeration, ch), digit);
    EXPECT_EQ(TextEntryAcceptsChar(&real, ch), digit || ch == '.');
  }
}

TEST(TextEntry, CommittedTextBecomesANormalisedValueOrACancel)
{
  IParam real, integer, enumeration;
  real.InitDouble("d", 0.0, -10.0, 10.0, 0.01);
  integer.InitInt("i", 0, 0, 16);
  enumeration.InitEnum("e", 0, 3);
  enumeration.SetDisplayText(0, "Low");
  enumeration.SetDisplayText(1, "Band");
  enumeration.SetDisplayText(2, "High");
  struct Case
  {
    const IParam* param;
    const char* text;
    bool taken;
    double normalized;
  };
  const Case cases[] = {
    {&real, "5", true, 0.75},          {&real, "-2.5", true, 0.375},
    {&real, "", false, 0.0},           {&real, "abc", false, 0.0},  // no number: a cancel
    {&real, "-", false, 0.0},          {&real, "0x", true, 0.5},    // the number it begins with
    {&real, "99", true, 1.0},          {&real, "-99", true, 0.0},   // clamped
    {&real, "nan", false, 0.0},        {&real, "-NaN", false, 0.0},
    {&real, "inf", false, 0.0},        {&real, "1e999", false, 0.0},
    {&integer, "8", true, 0.5},        {&integer, "", false, 0.0},
    {&enumeration, "", false, 0.0},    {&enumeration, "High", true, 1},
    {&enumeration, "Band", true, 0.5}, {&enumeration, "band", true, 0},
    {&enumeration, "nan", true, 0},  // no such text: index 0
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.text);
    double v = -1.0;
    EXPECT_EQ(TextEntryValue(c.param, c.text, &v), c.taken);
    EXPECT_DOUBLE_EQ(v, c.taken ? c.normalized : -1.0);  // a cancel leaves the value alone
  }
  double v = -1.0;
  EXPECT_FALSE(TextEntryValue(nullptr, "1", &v));
  EXPECT_FALSE(TextEntryValue(&real, nullptr, &v));
  EXPECT_EQ(v, -1.0);

  EXPECT_EQ(TextEntryAlignStyle(IText::kAlignNear), 0);
  EXPECT_EQ(TextEntryAlignStyle(IText::kAlignCenter), 1);
  EXPECT_EQ(TextEntryAlignStyle(IText::kAlignFar), 2);
  EXPECT_EQ(TextEntryAlignStyle(7), 1);
}

TEST(TextEntry, StatesMoveWithTheBoxAndTheEditorsMessages)
{
  using S = ITextEntryState;
  enum Event
  {
    kFocus,
    kFocusLost,
    kEnter,
    kCancelAsked,
    kRedrawn,
    kTick,
    kPress,
    kMiddlePress
  };
  // Events from a new box's state; the state after them, and what the last one answered (the
  // tick's or the press's answer, -1 for events without one).
  struct Case
  {
    std::vector<Event> events;
    int state;
    int answer;
  };
  const Case cases[] = {
    {{kFocus}, S::kEditing, -1},
    {{kRedrawn, kFocusLost}, S::kCancel, -1},
    {{kEnter}, S::kCommit, -1},
    {{kFocus, kEnter}, S::kCommit, -1},
    {{kRedrawn, kCancelAsked}, S::kCancel, -1},
    // Ticks: an idle box lets the editor redraw around it; an update rests one tick.
    {{kTick}, S::kNone, S::kTickRedraws},
    {{kRedrawn, kTick}, S::kNone, S::kTickRests},
    {{kEnter, kTick}, S::kCommit, S::kTickCommits},
    {{kCancelAsked, kTick}, S::kCancel, S::kTickCancels},
    // Presses: while typing they only cancel (the middle button is not the box's); otherwise the
    // box closes at once, a pending commit done first.
    {{kFocus, kPress}, S::kCancel, S::kPressSwallowed},
    {{kFocus, kMiddlePress}, S::kEditing, S::kPressIgnored},
    {{kPress}, S::kNone, S::kPressCancelsBox},
    {{kRedrawn, kMiddlePress}, S::kUpdate, S::kPressCancelsBox},
    {{kCancelAsked, kPress}, S::kCancel, S::kPressCancelsBox},
    {{kEnter, kPress}, S::kCommit, S::kPressCommitsBox},
    {{kEnter, kMiddlePress}, S::kCommit, S::kPressCommitsBox},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    S state;
    int answer = -1;
    for (Event e : c.events)
    {
      answer = -1;
      switch (e)
      {
        case kFocus:
          state.OnBoxFocus();
          break;
        case kFocusLost:
          state.OnBoxFocusLost();
          break;
        case kEnter:
          state.OnEnter();
          break;
        case kCancelAsked:
          state.OnCancel();
          break;
        case kRedrawn:
          state.OnRedrawnAroundBox();
          break;
        case kTick:
          answer = state.OnTick();
          break;
        case kPress:
        case kMiddlePress:
          answer = state.OnPress(e == kMiddlePress);
          break;
      }
    }
    EXPECT_EQ(state.Get(), c.state);
    EXPECT_EQ(answer, c.answer);
    EXPECT_EQ(state.Typing(), c.state == S::kEditing);
    EXPECT_EQ(state.CommitPending(), c.state == S::kCommit);
    state.Reset();
    EXPECT_EQ(state.Get(), S::kNone);
  }
}

// Windows opened and closed at once on eight threads: the class is registered exactly while any
// is counted, and registration failing counts nothing.
TEST(WindowClassCount, TheClassIsRegisteredWhileAnyWindowIsOpen)
{
  WindowClassCount count;
  std::atomic<int> registered(0), registrations(0), mismatches(0);
  auto reg = [&] {
    registrations++;
    return registered.exchange(1) == 0;
  };
  auto unreg = [&] {
    if (registered.exchange(0) != 1)
      mismatches++;
    return true;
  };
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 500; ++i)
      {
        if (!count.Acquire(reg))
          mismatches++;
        if (!registered)
          mismatches++;
        count.Release(unreg);
      }
    });
  for (std::thread& t : threads)
    t.join();
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(count.Count(), 0);
  EXPECT_EQ(registered, 0);
  EXPECT_GE(registrations, 1);

  count.Release(unreg);  // nothing counted: nothing happens
  EXPECT_EQ(mismatches, 0);
  EXPECT_FALSE(count.Acquire([] { return false; }));
  EXPECT_EQ(count.Count(), 0);

  // A class its last window still holds when uncounted stays until a retry finds it free; a
  // window opened meanwhile uses it as it is, and a retry while that is open leaves it.
  bool held = true;
  auto unregWhenFree = [&] { return !held && unreg(); };
  ASSERT_TRUE(count.Acquire(reg));
  count.Release(unregWhenFree);
  count.Retry(unregWhenFree);
  EXPECT_TRUE(count.Registered());
  EXPECT_TRUE(count.Acquire([] { return false; }));  // no registration needed
  held = false;
  count.Retry(unregWhenFree);
  EXPECT_TRUE(count.Registered());
  count.Release(unregWhenFree);
  EXPECT_FALSE(count.Registered());
  EXPECT_EQ(registered, 0);
  EXPECT_EQ(mismatches, 0);
}
