#include "effect/dsp/StepTiming.h"

#include <algorithm>
#include <climits>
#include <cmath>

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
constexpr int kCycleStartLate = 69;
// A position this close before a line (a millionth of a sample: the host's arithmetic) is on it.
constexpr double kOnTheLine = 1e-6;
// A block that begins this far or farther from where the last one ended (in samples) was placed by
// a host that rounds its song position: its first sample may lie a little after the position read.
constexpr double kRoundedMove = 1e-3;
// A millionth of a quarter note: what a host's arithmetic may lose of a loop's length.
constexpr double kQuarterHair = 1e-6;

// Samples from the position (x samples into the bar) to the own sample of the point `quarters`
// into the bar: 0 or less when the position is at or after it.
double samplesTo(double quarters, double x, double samplesPerBeat)
{
  return std::ceil(quarters * samplesPerBeat - x - kOnTheLine);
}

int clampedSamples(double n) { return n < 1.0 ? 1 : n > (double)INT_MAX ? INT_MAX : (int)n; }

// A move of the position by `samples` from where the last block ended is a jump (a locate, a
// loop's pass): on by more than half a step, or back by a sixty-fourth note or half a step (the
// shorter) or more. A loop of exactly a sixty-fourth may come out a hair short of it in the host's
// arithmetic: a millionth of a quarter note less counts. A host's rounding moves it by far less.
bool isJump(const BlockTiming& t, double samples)
{
  const double halfStep = 0.5 * (double)t.stepLen;
  if (samples >= 0.0)
    return samples > halfStep;
  const double sixtyFourth = t.samplesPerBeat * (1.0 / kSixtyFourthsPerQuarter - kQuarterHair);
  return -samples >= (sixtyFourth < halfStep ? sixtyFourth : halfStep);
}

// At a speed change, the slot of the old speed (`speed`) that starts last at or before `ahead`
// samples past the block's first sample, in the cycle counted as `cycle`; kNoSlot where none does
// in the cycle before its line.
Slot oldSpeedSlot(const BlockTiming& t, double speed, long long cycle, int ahead)
{
  BlockTiming old = t;
  old.speed = speed;
  old.stepLen = (int)(speed * (double)t.unit);
  if (old.stepLen < 1)
    return kNoSlot;
  const int start = (t.counter + ahead) / old.stepLen * old.stepLen;
  const int at = start - t.counter;
  if (at >= t.toCycleEnd)
    return kNoSlot;
  return slotAt(old, {start, 0, t.toCycleEnd - at, cycle, 0, t.cycleInBar, 0});
}

// Whether the new speed has a slot on the sixty-fourth of `slot` that starts after the block's first
// sample: that start comes on its own sample. (Steps are whole samples, so the two speeds' starts
// on one sixty-fourth may lie apart: at half a sixty-fourth, by up to a sample a sixty-fourth.)
bool newSpeedStartsAhead(const BlockTiming& t, const Slot& slot, long long cycle)
{
  if (slot.cycle > cycle)
    return true;  // the next cycle's first step
  const double k = slot.sixtyFourths / t.speed;
  return k == std::floor(k) && k * (double)t.stepLen > (double)t.counter;
}

// The line that ends cycle m of a bar, in quarter notes into that bar.
double cycleEndIn(double quartersPerBar, long long m)
{
  const double next = kQuartersPerCycle * (double)(m + 1);
  return next < quartersPerBar ? next : quartersPerBar;
}

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
  const double cycleQuarters =
    quartersPerBar < kQuartersPerCycle ? quartersPerBar : kQuartersPerCycle;
  const double samplesPerCycle = cycleQuarters * samplesPerBeat;
  const double unit = (double)sampleRate * (60.0 / tempo) / kSixtyFourthsPerQuarter;
  if (!(unit >= 1.0 && samplesPerCycle <= (double)INT_MAX && samplesPerCycle >= 1.0))
    return t;
  const int stepLen = (int)(speed * (double)(int)unit);
  if (stepLen < 1)
    return t;

  double posInBar;
  if (std::fabs(ppq) < kMaxIntegerBars && std::fabs(ppq / quartersPerBar) < kMaxIntegerBars)
  {
    const int bars = (int)(ppq / quartersPerBar);
    posInBar = ppq - quartersPerBar * (double)bars;
  }
  else
  {
    posInBar = std::fmod(ppq, quartersPerBar);
  }
  // Before song position 0 the bars count on backwards.
  if (posInBar < 0.0)
    posInBar += quartersPerBar;
  // A position on the next bar's line is that bar's first sample.
  if (samplesTo(quartersPerBar, posInBar * samplesPerBeat, samplesPerBeat) <= 0.0)
    posInBar -= quartersPerBar;

  // The cycle holding the position: the last line at or before it.
  const double x = posInBar * samplesPerBeat;
  long long m = (long long)std::floor((x + kOnTheLine) / (kQuartersPerCycle * samplesPerBeat));
  if (m < 0)
    m = 0;
  while (m > 0 && samplesTo(kQuartersPerCycle * (double)m, x, samplesPerBeat) > 0.0)
    --m;
  while (kQuartersPerCycle * (double)(m + 1) < quartersPerBar &&
         samplesTo(kQuartersPerCycle * (double)(m + 1), x, samplesPerBeat) <= 0.0)
    ++m;
  const double fromLine =
    std::floor(x - kQuartersPerCycle * (double)m * samplesPerBeat + kOnTheLine);

  t.ppq = ppq;
  t.posInBar = posInBar;
  t.quartersPerBar = quartersPerBar;
  t.samplesPerBeat = samplesPerBeat;
  t.cycleInBar = m;
  t.counter = fromLine < 0.0               ? 0
              : fromLine > samplesPerCycle ? (int)samplesPerCycle
                                           : (int)fromLine;
  t.toCycleEnd = clampedSamples(samplesTo(cycleEndIn(quartersPerBar, m), x, samplesPerBeat));
  t.unit = (int)unit;
  t.speed = speed;
  t.stepLen = stepLen;
  t.stepPos = t.counter % t.stepLen;
  t.noteOffThreshold = (double)t.unit * (speed * noteLen);
  t.valid = true;
  return t;
}

void nextCycle(const BlockTiming& t, Position& p)
{
  ++p.cycle;
  p.counter = 0;
  p.stepPos = 0;
  if (kQuartersPerCycle * (double)(p.cycleInBar + 1) < t.quartersPerBar)
  {
    ++p.cycleInBar;
  }
  else
  {
    ++p.barsOn;
    p.cycleInBar = 0;
  }
  // From the block's first sample to the line that ends the new cycle.
  const double line =
    t.quartersPerBar * (double)p.barsOn + cycleEndIn(t.quartersPerBar, p.cycleInBar);
  p.toCycleEnd = clampedSamples(samplesTo(line, t.posInBar * t.samplesPerBeat, t.samplesPerBeat) -
                                (double)p.blockSamples);
}

bool inCycleRemnant(const BlockTiming& t, const Position& p)
{
  const long long rest = (long long)p.toCycleEnd + p.stepPos;
  return p.counter > p.stepPos && rest < t.unit && rest < t.stepLen;
}

Slot slotAt(const BlockTiming& t, const Position& p)
{
  if (inCycleRemnant(t, p))
    return {p.cycle + 1, 0.0};
  return {p.cycle, (double)(p.counter / t.stepLen) * t.speed};
}

int stepStart(const Position& p, const Slot& slot, int current, int numSteps, Slot& last)
{
  // A host that rounds its song position may step back a few samples at a block boundary, into
  // the window of a step start already taken; a new speed's slot may start on the sixty-fourth
  // just started: neither starts again.
  if (slot == last)
    return -1;
  last = slot;
  const bool cycleStart =
    slot.sixtyFourths == 0.0 || p.counter <= kCycleStartLate || p.toCycleEnd <= kCycleStartLead;
  const int step = cycleStart ? 0 : current + 1;
  return step >= numSteps ? 0 : step;
}

End endOf(const BlockTiming& t, const Position& p)
{
  if (!t.valid)
    return {0.0, 0.0, 0.0, 0, p.cycle, 0.0, kNoSlot, false};
  End e;
  const double run = (double)p.blockSamples / t.samplesPerBeat;
  e.ppq = t.ppq + run;
  e.quarters = t.posInBar + run - t.quartersPerBar * (double)p.barsOn;
  e.quartersPerBar = t.quartersPerBar;
  e.cycleInBar = p.cycleInBar;
  e.cycle = p.cycle;
  e.speed = t.speed;
  e.slot = slotAt(t, p);
  e.slotAhead = p.stepPos == 0;
  return e;
}

FollowState followPosition(const BlockTiming& t, bool steppedBefore, const End& end, int numSteps,
                           FollowState s)
{
  s.lateStart = false;
  s.lateSlot = kNoSlot;
  s.noteOffHold = 0;
  if (steppedBefore)
  {
    // The circular distance within the bar: a block that wraps the bar is no jump.
    const double bar = t.quartersPerBar;
    double d = t.posInBar - end.quarters;
    int barsPassed = 0;
    bool lineMoved = false;
    if (end.quartersPerBar != bar)
    {
      // The meter changed: the distance in the song, where the new bar's line is the old one's
      // (the position as far into the old bar, the next one, or the new bar before), else a jump.
      d = t.ppq - end.ppq;
      const double at = end.quarters + d, near = 0.5 / t.samplesPerBeat;
      if (std::fabs(t.posInBar - (at - end.quartersPerBar)) < near)
        barsPassed = 1;
      else if (std::fabs(t.posInBar - (at + bar)) < near)
        barsPassed = -1;
      else
        lineMoved = std::fabs(t.posInBar - at) >= near;
    }
    else if (2.0 * d > bar)
      d -= bar, barsPassed = -1;
    else if (2.0 * d < -bar)
      d += bar, barsPassed = 1;
    const double samples = d * t.samplesPerBeat;
    if (!lineMoved && !isJump(t, samples))
    {
      const double barPassed = barsPassed > 0 ? end.quartersPerBar : bar;
      s.cycle = end.cycle + (t.cycleInBar - end.cycleInBar) +
                barsPassed * (long long)std::ceil(barPassed / kQuartersPerCycle);
      const bool sameSpeed = end.speed == t.speed;
      // The rounding the host shows, in its moves at a steady speed.
      if (sameSpeed)
        s.rounding.add(std::fabs(samples));
      // A block that begins before the start of the slot started last (in the last block's
      // steps: `here`) holds the note-off up to that start: the step running is the one started.
      const Slot own = slotAt(t, firstPosition(t, s.cycle));
      const Slot here = sameSpeed ? own : oldSpeedSlot(t, end.speed, s.cycle, 0);
      if (!(here == kNoSlot) && !(s.lastStart == kNoSlot) && here < s.lastStart)
      {
        const int stepLen = sameSpeed ? t.stepLen : (int)(end.speed * (double)t.unit);
        s.noteOffHold = std::min(stepLen - t.counter % stepLen, t.toCycleEnd);
      }
      if (t.stepPos <= kStepStartWindow)
        return s;  // the block begins in a window: its first sample takes that start
      // A step start whose window lies between the last block's end and this block's first
      // sample was skipped whole (a rounded host position that moved on more than the window):
      // it starts at the block's first sample. At the same speed, the slots tell (a tempo change
      // moves the steps' samples: the last block's steps had not reached this slot yet); after a
      // speed change, the distance moved.
      // Where the host rounds, the block's first sample may lie up to its rounding (the widest
      // move seen at a steady speed) from the position read, either way.
      const bool rounded =
        s.rounding.widest() >= kRoundedMove || std::fabs(samples) >= kRoundedMove;
      const int rounding =
        rounded ? (int)std::min((double)t.toCycleEnd, std::ceil(s.rounding.widest())) : 0;
      Slot late = own;
      const long long moved = std::llround(samples);
      // After a speed change, a window of the new speed that the block moved on over, or that
      // lies within the rounding before the block's first sample.
      bool skipped = sameSpeed ? end.slot < late || (late == end.slot && end.slotAhead)
                               : (moved > 0 && t.stepPos - moved <= kStepStartWindow) ||
                                   t.stepPos - rounding <= kStepStartWindow;
      // After a speed change, the old speed's slot the last block did not reach, where the block
      // begins on it or past it, has no slot of the new speed to start it. So has one starting
      // up to the host's rounding (and at least a window) after the block's first sample, where
      // the host rounds: the block may begin after it. Counted as that slot's start, a new speed's
      // slot on its sixty-fourth does not start again.
      if (!skipped && !sameSpeed)
      {
        const int ahead =
          rounded ? std::min(t.toCycleEnd, std::max(kStepStartWindow, rounding)) : 0;
        Slot old = oldSpeedSlot(t, end.speed, s.cycle, ahead);
        if (!(old == kNoSlot) && newSpeedStartsAhead(t, old, s.cycle))
          old = here;
        skipped = !(old == kNoSlot) && (end.slot < old || (old == end.slot && end.slotAhead));
        if (skipped)
          late = old;
      }
      if (skipped && !(late == s.lastStart))
      {
        s.lateStart = true;
        s.lateSlot = late;
        s.stepHandled = false;
      }
      return s;
    }
  }
  // The step of the position's own slot, counted from the cycle's start; inside a step start's
  // window, the step before it, so that the step start plays the slot's step. Past the window of
  // the cycle's remnant, the next cycle's first step.
  const int slot = t.counter / t.stepLen;
  int step;
  if (t.stepPos <= kStepStartWindow)
    step = (slot - 1) % numSteps;
  else
    step = inCycleRemnant(t, firstPosition(t, s.cycle)) ? 0 : slot % numSteps;
  if (step < 0)
    step += numSteps;
  s.currentStep = step;
  s.lastStart = kNoSlot;
  s.stepHandled = false;
  return s;
}

}  // namespace steptiming
