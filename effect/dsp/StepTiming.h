#pragma once
// The sequencer's bar and step timing, and its decisions on following the host's position, as
// pure functions: the host's time and the sequencer's state in, the new state out. Quorvalent
// keeps the timing of the running block and the position of the sample about to run.
//
// The cycle is the stretch of samples the step index counts through from step 1: the bar, or four
// quarter notes when the bar is longer (the cycle then runs on from there until the bar line).
// A line (a bar line, or four quarter notes into a longer bar) lies on its own sample, the first
// at or after it, wherever the host's blocks begin. Steps are a whole number of samples, so the
// cycle's last slot may be a remnant shorter than a step: a step start there is the next cycle's
// first step, and the cycle's own start is skipped.

namespace steptiming {

// The window at the start of each step in which the step start is taken: positions 0 .. 10.
constexpr int kStepStartWindow = 10;
// The note-off comes this many samples before the note length ends.
constexpr int kNoteOffLead = 100;

// The timing of one block, from the host's time at its start.
struct BlockTiming
{
  bool valid = false;           // false: tempo, position or lengths unusable; the sequencer idles
  double ppq = 0.0;             // the song position, in quarter notes
  double posInBar = 0.0;        // quarter notes into the bar, from 0 to below quartersPerBar
  double quartersPerBar = 0.0;  // numerator x 4 / denominator
  double samplesPerBeat = 0.0;  // a quarter note in samples
  long long cycleInBar = 0;     // the cycle holding the position: 0, or more in a longer bar
  int counter = 0;              // samples from the cycle's line
  int toCycleEnd = 0;           // samples to the next line: four quarter notes on, or the bar line
  int unit = 0;                 // a sixty-fourth note in samples
  double speed = 0.0;           // sixty-fourths a step
  int stepLen = 0;              // a step in samples
  int stepPos = 0;              // counter % stepLen
  double noteOffThreshold = 0.0;  // step position (plus the lead) from which the note-off is due
};

// ppq: song position in quarter notes; a denominator below 1 counts as 4; speed: sixty-fourths a
// step; noteLen: the note's fraction of a step.
BlockTiming blockTiming(double ppq, double tempo, int numerator, int denominator, int sampleRate,
                        double speed, double noteLen);

// A step start's slot, the same whatever the tempo: the cycle it belongs to and its start in
// sixty-fourths from the cycle's line (slot number x speed). A start in the cycle's remnant is the
// next cycle's first.
struct Slot
{
  long long cycle;
  double sixtyFourths;  // below 0: no slot
};
constexpr Slot kNoSlot = {0, -1.0};
inline bool operator==(const Slot& a, const Slot& b)
{
  return a.cycle == b.cycle && a.sixtyFourths == b.sixtyFourths;
}
// In the order the slots start.
inline bool operator<(const Slot& a, const Slot& b)
{
  return a.cycle < b.cycle || (a.cycle == b.cycle && a.sixtyFourths < b.sixtyFourths);
}

// Where the sample about to run lies.
struct Position
{
  int counter;           // samples from the cycle's line
  int stepPos;           // counter % stepLen
  int toCycleEnd;        // samples to the next line
  long long cycle;       // the cycles counted: tells a cycle from the ones before and after it
  long long barsOn;      // bar lines passed since the block's first sample
  long long cycleInBar;  // the cycle of that bar
  int blockSamples;      // samples run in the block
};

// The position of the block's first sample, in the cycle counted as `cycle`.
inline Position firstPosition(const BlockTiming& t, long long cycle)
{
  return {t.counter, t.stepPos, t.toCycleEnd, cycle, 0, t.cycleInBar, 0};
}

// At the next cycle's line: the counter restarts, the cycle count moves on.
void nextCycle(const BlockTiming& t, Position& p);

// The position moved on by n samples; n reaches the end of the step or the cycle at most.
inline void advance(const BlockTiming& t, Position& p, int n)
{
  p.counter += n;
  p.blockSamples += n;
  p.toCycleEnd -= n;
  if (p.toCycleEnd <= 0)
  {
    nextCycle(t, p);
    return;
  }
  // counter % stepLen, moved on without a division.
  p.stepPos += n;
  if (p.stepPos >= t.stepLen)
    p.stepPos = 0;
}

// Whether the slot holding the position is the cycle's remnant: it ends at the next line less
// than a unit (and less than a step) after it starts.
bool inCycleRemnant(const BlockTiming& t, const Position& p);

// The slot holding the position.
Slot slotAt(const BlockTiming& t, const Position& p);

// A step start at p of `slot`, with step `current` running of numSteps: the step it starts, or -1
// when the slot is the one started last (`last`, updated).
int stepStart(const Position& p, const Slot& slot, int current, int numSteps, Slot& last);
// The same for the slot holding p.
inline int stepStart(const BlockTiming& t, const Position& p, int current, int numSteps, Slot& last)
{
  return stepStart(p, slotAt(t, p), current, numSteps, last);
}

// Where the last block ended (the position of the sample it did not run): the song position and
// quarter notes into its bar (of its meter), the cycle, and in that block's steps the slot and
// whether it was the slot's first sample.
struct End
{
  double ppq, quarters, quartersPerBar;
  long long cycleInBar, cycle;
  double speed;
  Slot slot;
  bool slotAhead;
};
End endOf(const BlockTiming& t, const Position& p);

// How far a host's rounding moves its song position from block to block: the widest move (in
// samples) between where a block ended and where the next one was placed, over the last 64 to 128
// blocks that followed on at a steady speed. A host that rounds to ticks shows its tick here.
struct RoundingWatch
{
  static constexpr int kBlocks = 64;
  double current = 0.0, previous = 0.0;
  int blocks = 0;

  double widest() const { return current > previous ? current : previous; }
  void add(double samples)
  {
    if (samples > current)
      current = samples;
    if (++blocks == kBlocks)
      previous = current, current = 0.0, blocks = 0;
  }
};

// The sequencer's state that following the position may change.
struct FollowState
{
  int currentStep;
  Slot lastStart;
  bool stepHandled;
  bool lateStart;           // the block's first sample takes a step start whose window was skipped
  long long cycle;          // the cycle count of the block's first sample
  Slot lateSlot = kNoSlot;  // the slot the late start is the start of
  // Samples from the block's first sample in which no note-off comes: the block begins before
  // the start of the slot started last (a rounded position read back), whose step is still the
  // one running, up to that start.
  int noteOffHold = 0;
  RoundingWatch rounding = {};
};

// At the start of a block in which the sequencer runs: when it did not run in the last block
// (steppedBefore false), or the position in the bar jumped from where the last block ended, the
// step index is taken from the position and the last start forgotten. A jump is a move (measured
// in quarter notes, so that a tempo change is no move; across a meter change, in the song, where
// the new meter's bar line is the old one's) on by more than half a step, or back by a sixty-fourth
// note or half a step (the shorter) or more: a loop's pass, while a host's rounding steps back far
// less. Otherwise the cycle count follows the lines passed, and a step start the block boundary
// would lose starts late, at the block's first sample: one whose window the boundary skipped whole
// (a rounded host position moving on, or a tempo change moving the steps' samples), and, at a
// speed change, the new speed's slot whose window lies within the host's rounding before the
// block, or else the old speed's slot that the last block did not reach and the block begins on
// or just past (where the host rounds, up to its rounding, and at least a window, before it; not
// one the new speed starts later on its own sample). A block that reads back before the start of
// the slot started last holds the note-off until it reaches that start.
FollowState followPosition(const BlockTiming& t, bool steppedBefore, const End& end, int numSteps,
                           FollowState s);

}  // namespace steptiming
