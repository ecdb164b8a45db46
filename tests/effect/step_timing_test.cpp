// The sequencer's bar and step timing and its position-following decisions, as pure functions.
#include "effect/dsp/StepTiming.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace steptiming;

// The position in the bar counts the host's meter: a bar is numerator x 4 / denominator quarter
// notes (a denominator below 1 counts as 4).
TEST(StepTiming, PositionInTheBarFollowsTheMeter)
{
  const struct
  {
    double ppq;
    int numerator, denominator;
    double posInBar;
    int samplesPerBar, barLen;  // at 44.1 kHz, 120 BPM: a quarter note is 22050 samples
  } cases[] = {
    {5.5, 4, 4, 1.5, 88200, kNoBarLine},  {7.0, 3, 4, 1.0, 66150, kNoBarLine},
    {3.5, 7, 8, 0.0, 77175, kNoBarLine},  {5.0, 7, 8, 1.5, 77175, kNoBarLine},
    {4.5, 6, 8, 1.5, 66150, kNoBarLine},  {3.0, 2, 4, 1.0, 44100, kNoBarLine},
    {13.0, 12, 8, 1.0, 88200, 132300},    {11.0, 5, 4, 1.0, 88200, 110250},
    {6.75, 4, 0, 2.75, 88200, kNoBarLine}, {1e12 + 1.0, 7, 8, 2.0, 77175, kNoBarLine},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.ppq << " in " << c.numerator << "/" << c.denominator);
    const BlockTiming t = blockTiming(c.ppq, 120.0, c.numerator, c.denominator, 44100, 4.0, 1.0);
    ASSERT_TRUE(t.valid);
    EXPECT_DOUBLE_EQ(t.posInBar, c.posInBar);
    EXPECT_EQ(t.samplesPerBar, c.samplesPerBar);
    EXPECT_EQ(t.barLen, c.barLen);
    const double inBar = c.posInBar * 22050.0;
    EXPECT_EQ(t.counter, (int)std::fmod(inBar, (double)c.samplesPerBar));
    if (c.barLen != kNoBarLine)
    {
      EXPECT_EQ(t.toBarLine, c.barLen - (int)inBar);
    }
  }
}

// Over tempos, rates, speeds and meters, with exact and tick-rounded positions: the counter sits
// where the position is in the cycle, and the starts of one cycle, taken in turn, play steps 2, 3,
// ... and exactly one step 1: at the cycle's line, or in the last slot when that is a remnant
// shorter than a unit (and the line's own start is then skipped).
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
        ASSERT_EQ(t.samplesPerBar, (int)(std::fmin(quarters, 4.0) * beat));
        SlotMemory memory;
        int current = -1, ones = 0, lastStep = -1;
        for (int start = 0; start < t.samplesPerBar; start += t.stepLen)
        {
          const Position p = {start, 0, kNoBarLine};
          const int step = stepStart(t, p, current, 1 << 20, memory);
          ASSERT_GE(step, 0) << "at " << start;
          if (step == 0)
          {
            ++ones;
            const int early = t.samplesPerBar - start;
            EXPECT_TRUE(start == 0 || (early < t.unit && early < t.stepLen)) << "at " << start;
            remnants += start > 0;
          }
          else
            EXPECT_EQ(step, lastStep + 1) << "at " << start;
          current = lastStep = step;
        }
        EXPECT_EQ(ones, memory.nextCycleTaken ? 2 : 1);
        EXPECT_EQ(stepStart(t, {0, 0, kNoBarLine}, current, 16, memory) < 0,
                  memory.nextCycleTaken);
        ++cycles;
      }
  RecordProperty("cycles", cycles);
  EXPECT_GT(remnants, cycles / 4);
}

// Following the position at a block's start (16 steps of 4096 at 32768 Hz, 120 BPM).
TEST(StepTiming, FollowingThePosition)
{
  const struct
  {
    const char* what;
    double ppq;  // the new block's position
    int numerator;
    long long endBarPos;
    SlotMemory memory;
    bool handled;
    int wantStep;
    bool wantLate, wantForgotten;
  } cases[] = {
    {"back into a window taken", 4100.0 / 16384, 4, 4108, {1, false}, false, 1, false, false},
    {"on over a whole window", 4110.0 / 16384, 4, 4090, {0, false}, false, 0, true, false},
    {"on over the line after a remnant start", 3.0 + 15.0 / 16384, 3, 49150, {12, true}, true, 0,
     false, false},
    {"on over the line", 4.0 + 15.0 / 16384, 4, 65530, {15, false}, false, 0, true, false},
    {"a locate into slot 5", 1.3, 4, 100, {0, false}, true, 5, false, true},
    {"a locate into a window", 1.0 + 3.0 / 16384, 4, 100, {0, false}, true, 3, false, true},
    {"5/4, just before the line after it", 5.0 - 4.0 / 16384, 5, 2, {0, false}, true, 7, false,
     false},
    {"5/4, a locate into the fifth quarter", 9.3, 5, 100, {0, false}, true, 1, false, true},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.what);
    const BlockTiming t = blockTiming(c.ppq, 120.0, c.numerator, 4, 32768, 4.0, 1.0);
    ASSERT_TRUE(t.valid);
    const FollowState s = followPosition(
      t, true, c.endBarPos, barPosition(t, {t.counter, t.stepPos, t.toBarLine}), 16,
      {7, c.memory, c.handled, false});
    EXPECT_EQ(s.currentStep, c.wantForgotten ? c.wantStep : 7);
    EXPECT_EQ(s.lateStart, c.wantLate);
    EXPECT_EQ(s.memory.slot == kNoSlot, c.wantForgotten);
  }
}
