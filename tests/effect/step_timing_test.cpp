// The sequencer's bar and step timing and its position-following decisions, as pure functions.
#include "effect/dsp/StepTiming.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace steptiming;

// The position in the bar counts the host's meter: a bar is numerator x 4 / denominator quarter
// notes (a denominator below 1 counts as 4); bars longer than four quarter notes hold a second
// cycle from there; a position on a line's own sample is that line's.
TEST(StepTiming, PositionInTheBarFollowsTheMeter)
{
  const struct
  {
    double ppq;
    int numerator, denominator;
    double posInBar;
    int cycleInBar, counter, toCycleEnd;  // at 44.1 kHz, 120 BPM: a quarter note is 22050 samples
  } cases[] = {
    {5.5, 4, 4, 1.5, 0, 33075, 55125},   {7.0, 3, 4, 1.0, 0, 22050, 44100},
    {3.5, 7, 8, 0.0, 0, 0, 77175},       {5.0, 7, 8, 1.5, 0, 33075, 44100},
    {4.5, 6, 8, 1.5, 0, 33075, 33075},   {3.0, 2, 4, 1.0, 0, 22050, 22050},
    {13.0, 12, 8, 1.0, 0, 22050, 66150}, {11.0, 5, 4, 1.0, 0, 22050, 66150},
    {14.5, 5, 4, 4.5, 1, 11025, 11025},  {22.0, 12, 8, 4.0, 1, 0, 44100},
    {6.75, 4, 0, 2.75, 0, 60637, 27563}, {1e12 + 1.0, 7, 8, 2.0, 0, 44100, 33075},
    {-0.5, 4, 4, 3.5, 0, 77175, 11025},  {8.0 - 1e-12, 4, 4, 0.0, 0, 0, 88200},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.ppq << " in " << c.numerator << "/" << c.denominator);
    const BlockTiming t = blockTiming(c.ppq, 120.0, c.numerator, c.denominator, 44100, 4.0, 1.0);
    ASSERT_TRUE(t.valid);
    EXPECT_NEAR(t.posInBar, c.posInBar, 1e-9);
    EXPECT_EQ(t.cycleInBar, c.cycleInBar);
    EXPECT_EQ(t.counter, c.counter);
    EXPECT_EQ(t.toCycleEnd, c.toCycleEnd);
  }
}

// Over tempos, rates, speeds and meters, with exact and tick-rounded positions: the counter sits
// where the position is in the cycle, and the starts of one cycle, taken in turn, play steps 2, 3,
// ... and exactly one step 1: at the cycle's line, or in the last slot when that is a remnant
// shorter than a unit (and the next cycle's line then starts nothing).
TEST(StepTiming, EachCycleStartsStepOneOnceAtItsLine)
{
  const int rates[] = {44100, 48000, 88200, 96000, 192000};
  const double speeds[] = {16, 8, 7, 6, 5, 4, 3, 2, 1, 0.5};
  const int meters[][2] = {{4, 4}, {3, 4}, {2, 4}, {6, 8}, {7, 8}, {5, 4}, {12, 8}};
  int cycles = 0, remnants = 0;
  for (int tempo = 60; tempo <= 200; tempo += 7)
    for (int r = 0; r < 5; ++r)
      for (int m = 0; m < 7; ++m)
      {
        const double speed = speeds[(tempo + r + m) % 10];
        const int rate = rates[r];
        const double quarters = meters[m][0] * 4.0 / meters[m][1];
        SCOPED_TRACE(testing::Message() << tempo << " BPM, " << rate << " Hz, speed " << speed
                                        << ", " << meters[m][0] << "/" << meters[m][1]);
        // A bar in, 1/3 of a quarter note on, exact and rounded to 1/1920.
        const double beat = (60.0 / tempo) * rate;
        for (double ppq : {quarters + 1.0 / 3.0, std::round((quarters + 1.0 / 3.0) * 1920) / 1920})
        {
          const BlockTiming t = blockTiming(ppq, tempo, meters[m][0], meters[m][1], rate, speed, 1);
          ASSERT_TRUE(t.valid);
          EXPECT_NEAR(t.counter, (ppq - quarters) * beat, 1.0);
        }
        const BlockTiming t = blockTiming(0.0, tempo, meters[m][0], meters[m][1], rate, speed, 1);
        const int cycle = t.toCycleEnd;
        ASSERT_EQ(cycle, (int)std::ceil(std::fmin(quarters, 4.0) * beat - 1e-6));
        Slot last = kNoSlot;
        int current = -1, ones = 0, lastStep = -1;
        bool early = false;
        for (int start = 0; start < cycle; start += t.stepLen)
        {
          const Position p = {start, 0, cycle - start, 0, 0, 0, 0};
          const int step = stepStart(t, p, current, 1 << 20, last);
          ASSERT_GE(step, 0) << "at " << start;
          if (step == 0)
          {
            ++ones;
            early = start > 0;
            EXPECT_TRUE(start == 0 || (cycle - start < t.unit && cycle - start < t.stepLen))
              << "at " << start;
            remnants += early;
          }
          else
            EXPECT_EQ(step, lastStep + 1) << "at " << start;
          current = lastStep = step;
        }
        EXPECT_EQ(ones, early ? 2 : 1);
        EXPECT_EQ(stepStart(t, {0, 0, cycle, 1, 0, 0, 0}, current, 16, last) < 0, early);
        ++cycles;
      }
  RecordProperty("cycles", cycles);
  EXPECT_GT(remnants, cycles / 4);
}

// Following the position at a block's start (16 steps of 4096 at 32768 Hz, 120 BPM unless
// given; the last block ended in cycle 7): a move of up to half a step, measured in quarter notes,
// keeps the last start and counts the cycles passed; a larger one takes the step from the
// position.
TEST(StepTiming, FollowingThePosition)
{
  const double q = 1.0 / 16384;  // a sample, in quarter notes at 120 BPM
  const struct
  {
    const char* what;
    double ppq;  // the new block's position
    int numerator;
    double tempo;
    double endPpq, endTempo;  // where the last block ended
    Slot lastStart;
    bool handled;
    int wantStep;
    bool wantLate, wantForgotten;
    long long wantCycle;
  } cases[] = {
    {"back into a window taken",
     4100 * q,
     4,
     120,
     4108 * q,
     120,
     {7, 4},
     false,
     7,
     false,
     false,
     7},
    {"on over a whole window", 4110 * q, 4, 120, 4090 * q, 120, {7, 0}, false, 7, true, false, 7},
    {"on over the line after a remnant start",
     3.0 + 15 * q,
     3,
     120,
     3.0 - 2 * q,
     120,
     {8, 0},
     true,
     7,
     false,
     false,
     8},
    {"on over the line", 4.0 + 15 * q, 4, 120, 4.0 - 6 * q, 120, {7, 60}, false, 7, true, false, 8},
    {"back over the line", 4.0 - 6 * q, 4, 120, 4.0 + 4 * q, 120, {7, 0}, true, 7, false, false, 6},
    {"a locate into slot 5", 1.3, 4, 120, 100 * q, 120, {7, 0}, true, 5, false, true, 7},
    {"a locate into a window", 1.0 + 3 * q, 4, 120, 100 * q, 120, {7, 0}, true, 3, false, true, 7},
    {"5/4, just before the line after it",
     5.0 - 4 * q,
     5,
     120,
     5.0 + 2 * q,
     120,
     {7, 0},
     true,
     7,
     false,
     false,
     6},
    {"5/4, on over its four-quarter line",
     4.0 + 20 * q,
     5,
     120,
     4.0 - 2 * q,
     120,
     {7, 60},
     false,
     7,
     true,
     false,
     8},
    {"5/4, a locate into the fifth quarter",
     9.3,
     5,
     120,
     100 * q,
     120,
     {7, 0},
     true,
     1,
     false,
     true,
     7},
    // At 126 BPM a step is 3900 samples and 3.0 quarter notes lie 11 samples into slot 12; at
    // 120 BPM slot 12 starts there.
    {"a tempo change is no move",
     3.0 + 3 * q,
     4,
     126,
     3.0 + 3 * q,
     120,
     {7, 48},
     true,
     7,
     false,
     false,
     7},
    {"a tempo change moves a start behind",
     3.0 + 1 * q,
     4,
     126,
     3.0 - 3 * q,
     120,
     {7, 44},
     false,
     7,
     true,
     false,
     7},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.what);
    const BlockTiming t = blockTiming(c.ppq, c.tempo, c.numerator, 4, 32768, 4.0, 1.0);
    const BlockTiming e = blockTiming(c.endPpq, c.endTempo, c.numerator, 4, 32768, 4.0, 1.0);
    ASSERT_TRUE(t.valid && e.valid);
    const End end = endOf(e, firstPosition(e, 7));
    const FollowState s = followPosition(t, true, end, 16, {7, c.lastStart, c.handled, false, 7});
    EXPECT_EQ(s.currentStep, c.wantStep);
    EXPECT_EQ(s.lateStart, c.wantLate);
    EXPECT_EQ(s.lastStart == kNoSlot, c.wantForgotten);
    EXPECT_EQ(s.cycle, c.wantCycle);
  }
}

// After a speed change (from steps of 4096 to 5120 samples here), the old speed's slot that the
// last block did not reach starts late, at the block's first sample, as its own slot's start: where
// the block begins on it or past it, or, where the host rounds its position (the block does not
// begin where the last one ended), up to its rounding (as its moves at the old speed showed it, not
// the change's own, and at least a window) before it. Not where it started already, past it after a locate into its step,
// on the next cycle's line (that step starts on its sample), nor where the block moved on over a
// window of the new speed (that slot starts).
TEST(StepTiming, ASpeedChangeStartsTheOldSlotABlockWouldLose)
{
  const double q = 1.0 / 16384;  // a sample, in quarter notes at 120 BPM and 32768 Hz
  const Slot slot3 = {7, 12.0};  // the old speed's fourth slot, at 12288
  const struct
  {
    const char* what;
    double endPpq, ppq;  // where the last block ended, and the new block's position
    Slot lastStart;
    Slot wantLate;    // kNoSlot: none
    double rounding;  // the widest move seen before the change, in samples
  } cases[] = {
    {"a rounded block on an old start not reached", 12287.5 * q, 12288 * q, {7, 8}, slot3, 0},
    {"an exact block on an old start", 12288 * q, 12288 * q, {7, 8}, slot3, 0},
    {"a rounded block 5 before an old start", 12284 * q, 12283 * q, {7, 8}, slot3, 0},
    {"an exact block 5 before an old start", 12283 * q, 12283 * q, {7, 8}, kNoSlot, 0},
    {"a rounded block 12 before an old start", 12277 * q, 12276 * q, {7, 8}, kNoSlot, 0},
    {"14 before an old start, rounding by 16", 12274 * q, 12274 * q, {7, 8}, slot3, 16},
    {"14 before an old start, rounding by 5", 12275 * q, 12274 * q, {7, 8}, kNoSlot, 5},
    {"14 before an old start, moved on by 14", 12260 * q, 12274 * q, {7, 8}, kNoSlot, 0},
    {"a rounded move on over an old start", 12280 * q, 12300 * q, {7, 8}, slot3, 0},
    {"a rounded block past an old start taken", 12300 * q, 12295 * q, slot3, kNoSlot, 0},
    {"past an old start, after a locate into its step", 12500 * q, 12505 * q, kNoSlot, kNoSlot, 0},
    {"a rounded block 5 before the line", 4.0 - 4 * q, 4.0 - 5 * q, {7, 60}, kNoSlot, 0},
    {"on over a new speed's window and an old start", 15355 * q, 16390 * q, {7, 12}, {7, 15}, 0},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.what);
    const BlockTiming e = blockTiming(c.endPpq, 120, 4, 4, 32768, 4.0, 1.0);
    const BlockTiming t = blockTiming(c.ppq, 120, 4, 4, 32768, 5.0, 1.0);
    FollowState before = {2, c.lastStart, true, false, 7};
    before.rounding.add(c.rounding);
    const FollowState s = followPosition(t, true, endOf(e, firstPosition(e, 7)), 16, before);
    const bool wantLate = !(c.wantLate == kNoSlot);
    EXPECT_EQ(s.lateStart, wantLate);
    EXPECT_TRUE(s.lateSlot == c.wantLate);
    EXPECT_EQ(s.stepHandled, !wantLate);
  }

  // At 48 kHz, 137 BPM and 2/4 the old speed's last slot is a remnant 28 samples before the line
  // (at 42016): 16 samples ahead, where the host rounds by 20, it is left to the new speed, whose
  // next cycle starts on the line.
  const double beat = 48000 * 60 / 137.0;
  const BlockTiming e = blockTiming(42000 / beat, 137, 2, 4, 48000, 4.0, 1.0);
  const BlockTiming t = blockTiming(42000 / beat, 137, 2, 4, 48000, 5.0, 1.0);
  FollowState before = {2, {7, 24}, true, false, 7};
  before.rounding.add(20);
  EXPECT_FALSE(followPosition(t, true, endOf(e, firstPosition(e, 7)), 16, before).lateStart);
}

// Across a meter change on a bar line both meters share, a move (a host's rounding) is measured in
// the song: on over the line, the cycles of the old bar are passed; back over it, those of the new
// bar before. Where the new meter's bar lines are not the old one's, the position moved in the bar:
// the step is taken from it (32768 Hz, 120 BPM, the last block ended in cycle 7).
TEST(StepTiming, AMeterChangeOnASharedLineCountsTheBarsPassed)
{
  const double q = 1.0 / 16384;
  const struct
  {
    const char* what;
    double endPpq;
    int endNumerator;
    double ppq;
    int numerator;
    long long wantCycle;  // -1: the last start forgotten
  } cases[] = {
    {"4/4 to 2/4, on over the line", 8.0 - 5 * q, 4, 8.0 + 5 * q, 2, 8},
    {"4/4 to 2/4, back over the line", 8.0 + 5 * q, 4, 8.0 - 5 * q, 2, 6},
    {"5/4 to 4/4, on over the line", 20.0 - 5 * q, 5, 20.0 + 5 * q, 4, 8},
    {"4/4 to 5/4, back over the line", 20.0 + 5 * q, 4, 20.0 - 5 * q, 5, 6},
    {"3/4 to 4/4, on a line of 3/4 only", 6.0 - 5 * q, 3, 6.0 + 5 * q, 4, -1},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.what);
    const BlockTiming e = blockTiming(c.endPpq, 120, c.endNumerator, 4, 32768, 4.0, 1.0);
    const BlockTiming t = blockTiming(c.ppq, 120, c.numerator, 4, 32768, 4.0, 1.0);
    const FollowState s =
      followPosition(t, true, endOf(e, firstPosition(e, 7)), 16, {2, {7, 4}, true, false, 7});
    if (c.wantCycle < 0)
      EXPECT_TRUE(s.lastStart == kNoSlot);
    else
      EXPECT_EQ(s.cycle, c.wantCycle);
  }
}

// A block whose position reads back before the start of the slot started last (a rounded host
// position) holds the note-off for the samples up to that start, in the last block's steps (4096
// samples at 32768 Hz and 120 BPM; 5120 after a change): the step started is the one running.
TEST(StepTiming, ABlockReadBackBeforeAStartHoldsTheNoteOffUpToIt)
{
  const double q = 1.0 / 16384;
  const struct
  {
    const char* what;
    double endPpq, ppq;
    double speed;  // of the new block
    Slot lastStart;
    int wantHold;
  } cases[] = {
    {"back before the start taken", 4100 * q, 4090 * q, 4, {7, 4}, 6},
    {"back inside the step started", 4200 * q, 4190 * q, 4, {7, 4}, 0},
    {"on from the start taken", 4100 * q, 4105 * q, 4, {7, 4}, 0},
    {"back over the line started", 4.0 + 4 * q, 4.0 - 6 * q, 4, {7, 0}, 6},
    {"back before the start, no start taken", 4100 * q, 4090 * q, 4, kNoSlot, 0},
    {"a locate back", 1.3, 100 * q, 4, {7, 20}, 0},
    {"back before an old start at a speed change", 12290 * q, 12285 * q, 5, {7, 12}, 3},
    {"back inside an old step at a speed change", 12390 * q, 12385 * q, 5, {7, 12}, 0},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.what);
    const BlockTiming e = blockTiming(c.endPpq, 120, 4, 4, 32768, 4.0, 1.0);
    const BlockTiming t = blockTiming(c.ppq, 120, 4, 4, 32768, c.speed, 1.0);
    const FollowState s =
      followPosition(t, true, endOf(e, firstPosition(e, 7)), 16, {2, c.lastStart, true, false, 7});
    EXPECT_EQ(s.noteOffHold, c.wantHold);
  }
}
