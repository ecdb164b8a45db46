#include "effect/dsp/StepTiming.h"

#include <cmath>
#include <cstdlib>

namespace steptiming {

namespace {

// The cycle counts at most four quarter notes.
constexpr double kQuartersPerCycle = 4.0;
constexpr double kSixtyFourthsPerQuarter = 16.0;
// Bar counts up to this many are formed in integers; beyond it (decades of music) the position in
// the bar is taken with fmod.
constexpr double kMaxIntegerBars = 2147483647.0;
// A step start this close to the cycle's start (30 samples early to 69 late) restarts the cycle.
constexpr int kCycleStartLead = 30;
constexpr int kCycleStartWindow = 99;

}  // namespace

BlockTiming blockTiming(double ppq, double tempo, int numerator, int denominator, int sampleRate,
                        double speed, double noteLen)
{
  BlockTiming t;
  // Without a finite tempo and position, or with a step or cycle shorter than one sample or
  // longer than a counter holds, the sequencer idles.
  if (!std::isfinite(ppq) || !std::isfinite(tempo) || !(tempo > 0.0) || numerator < 1 ||
      sampleRate < 1)
    return t;

  const double samplesPerBeat = (60.0 / tempo) * (double)sampleRate;
  const double quartersPerBar = numerator * 4.0 / (denominator < 1 ? 4.0 : (double)denominator);
  const double cycleQuarters = quartersPerBar < kQuartersPerCycle ? quartersPerBar : kQuartersPerCycle;
  const double samplesPerCycle = cycleQuarters * samplesPerBeat;
  const double unit = (double)sampleRate * (60.0 / tempo) / kSixtyFourthsPerQuarter;
  if (!(unit >= 1.0 && samplesPerCycle <= (double)INT_MAX && samplesPerCycle >= 1.0))
    return t;
  const int stepLen = (int)(speed * (double)(int)unit);
  if (stepLen < 1)
    return t;

  if (std::fabs(ppq) < kMaxIntegerBars && std::fabs(ppq / quartersPerBar) < kMaxIntegerBars)
  {
    const int bars = (int)(ppq / quartersPerBar);
    t.posInBar = ppq - quartersPerBar * (double)bars;
  }
  else
  {
    t.posInBar = std::fmod(ppq, quartersPerBar);
  }

  t.samplesPerBar = (int)samplesPerCycle;
  const double inBar = std::trunc(t.posInBar * samplesPerBeat);
  // Bars longer than the cycle: the counter runs on from the same place in the cycle instead of
  // restarting at every block in the bar's tail; the bar line restarts it.
  double counter = inBar;
  if (std::fabs(counter) >= (double)t.samplesPerBar)
    counter = std::fmod(counter, (double)t.samplesPerBar);
  t.counter = (int)counter;
  if (quartersPerBar > kQuartersPerCycle)
  {
    const double barLen = std::trunc(quartersPerBar * samplesPerBeat);
    const double toBarLine = barLen - inBar;
    if (barLen < (double)kNoBarLine && toBarLine < (double)kNoBarLine)
    {
      t.barLen = (int)barLen;
      t.toBarLine = toBarLine < 1.0 ? 1 : (int)toBarLine;
    }
  }

  t.unit = (int)unit;
  t.stepLen = stepLen;
  t.stepPos = t.counter % t.stepLen;
  t.noteOffThreshold = (double)t.unit * (speed * noteLen);
  t.valid = true;
  return t;
}

bool inCycleRemnant(const BlockTiming& t, const Position& p)
{
  const long long slotStart = (long long)p.counter - p.stepPos;
  long long rest = (long long)t.samplesPerBar - slotStart;
  if (p.toBarLine != kNoBarLine && (long long)p.toBarLine + p.stepPos < rest)
    rest = (long long)p.toBarLine + p.stepPos;
  return slotStart > 0 && rest < t.unit && rest < t.stepLen;
}

int stepStart(const BlockTiming& t, const Position& p, int current, int numSteps, SlotMemory& m)
{
  const int slot = p.counter / t.stepLen;
  // A host that rounds its song position may step back a few samples at a block boundary, into
  // the window of a step start already taken: that slot does not start again.
  if (m.taken(slot))
    return -1;
  int step;
  if (inCycleRemnant(t, p))
  {
    m = {slot, true};
    step = 0;
  }
  else
  {
    m = {slot, false};
    const bool cycleStart =
      ((long long)p.counter + kCycleStartLead) % t.samplesPerBar <= kCycleStartWindow;
    step = cycleStart ? 0 : current + 1;
  }
  return step >= numSteps ? 0 : step;
}

long long barPosition(const BlockTiming& t, const Position& p)
{
  return t.barLen != kNoBarLine && p.toBarLine != kNoBarLine ? (long long)t.barLen - p.toBarLine
                                                             : p.counter;
}

long long jumpBarLength(const BlockTiming& t)
{
  return t.barLen != kNoBarLine ? t.barLen : t.samplesPerBar;
}

FollowState followPosition(const BlockTiming& t, bool steppedBefore, long long endBarPos,
                           long long barPos, int numSteps, FollowState s)
{
  const Position p = {t.counter, t.stepPos, t.toBarLine};
  const int slot = t.counter / t.stepLen;
  s.lateStart = false;
  if (steppedBefore)
  {
    // The circular distance within the bar: a block that wraps the bar is no jump.
    const long long bar = jumpBarLength(t);
    long long d = (barPos - endBarPos) % bar;
    if (2 * d > bar)
      d -= bar;
    else if (2 * d < -bar)
      d += bar;
    if (2 * std::llabs(d) <= (long long)t.stepLen)
    {
      // A rounded host position that moves on by more than the window can skip a step start
      // whole; that step then starts at the block's first sample.
      if (d > 0 && t.stepPos > kStepStartWindow && t.stepPos - d <= kStepStartWindow &&
          !s.memory.taken(slot))
      {
        s.lateStart = true;
        s.stepHandled = false;
      }
      return s;
    }
  }
  // The step of the position's own slot, counted from the cycle's start; inside a step start's
  // window, the step before it, so that the step start plays the slot's step. Past the window of
  // the cycle's remnant, the next cycle's first step.
  int step;
  if (t.stepPos <= kStepStartWindow)
    step = (slot - 1) % numSteps;
  else
    step = inCycleRemnant(t, p) ? 0 : slot % numSteps;
  if (step < 0)
    step += numSteps;
  s.currentStep = step;
  s.memory = SlotMemory();
  s.stepHandled = false;
  return s;
}

}  // namespace steptiming
