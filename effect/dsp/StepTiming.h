#pragma once
// The sequencer's bar and step timing, and its decisions on following the host's position, as
// pure functions: the host's time and the sequencer's state in, the new state out. Quorvalent
// keeps the state in its members and copies the results in.
//
// The cycle is the stretch of samples the step index counts through from step 1: the bar, or four
// quarter notes when the bar is longer (the cycle then runs on from there until the bar line).
// Steps are a whole number of samples, so the cycle's last slot may be a remnant shorter than a
// step: a step start there is the next cycle's first step, and the cycle's own start is skipped.

#include <climits>

namespace steptiming {

// The window at the start of each step in which the step start is taken: positions 0 .. 10.
constexpr int kStepStartWindow = 10;
// The note-off comes this many samples before the note length ends.
constexpr int kNoteOffLead = 100;
// No bar line within reach of the cycle's counter (bars of up to four quarter notes).
constexpr int kNoBarLine = INT_MAX;
// No step start remembered (after the step index was taken from the position).
constexpr int kNoSlot = INT_MIN;

// The timing of one block, from the host's time at its start.
struct BlockTiming
{
  bool valid = false;         // false: tempo, position or lengths unusable; the sequencer idles
  double posInBar = 0.0;      // quarter notes into the bar
  int samplesPerBar = 0;      // the cycle: the bar, at most four quarter notes
  int counter = 0;            // sample position in the cycle
  int barLen = kNoBarLine;    // a bar longer than the cycle, in samples
  int toBarLine = kNoBarLine; // samples from the position to that bar's line
  int unit = 0;               // a sixty-fourth note in samples
  int stepLen = 0;            // a step in samples
  int stepPos = 0;            // counter % stepLen
  double noteOffThreshold = 0.0;  // step position (plus the lead) from which the note-off is due
};

// ppq: song position in quarter notes; a denominator below 1 counts as 4; speed: sixty-fourths a
// step; noteLen: the note's fraction of a step.
BlockTiming blockTiming(double ppq, double tempo, int numerator, int denominator, int sampleRate,
                        double speed, double noteLen);

// The step starts taken: one per slot (counter / stepLen); a start in the cycle's remnant takes
// the next cycle's slot 0 as well.
struct SlotMemory
{
  int slot = kNoSlot;
  bool nextCycleTaken = false;

  bool taken(int s) const { return s == slot || (s == 0 && nextCycleTaken); }
};

// Where a sample lies: the cycle's counter, the step position and the samples to a bar line.
struct Position
{
  int counter, stepPos, toBarLine;
};

// Whether the slot holding the position is the cycle's remnant: it ends at the cycle's end or a
// bar line less than a unit (and less than a step) after it starts.
bool inCycleRemnant(const BlockTiming& t, const Position& p);

// A step start at p, with step `current` running of numSteps: the step it starts, or -1 when its
// slot was taken already. Updates the memory.
int stepStart(const BlockTiming& t, const Position& p, int current, int numSteps, SlotMemory& m);

// The sequencer's state that following the position may change.
struct FollowState
{
  int currentStep;
  SlotMemory memory;
  bool stepHandled;
  bool lateStart;  // the block's first sample takes a step start whose window was skipped
};

// At the start of a block in which the sequencer runs: when it did not run in the last block
// (steppedBefore false), or the position in the bar (barPos) moved from where the last block ended
// (endBarPos) by more than half a step, the step index is taken from the position and the memory
// forgotten; a smaller jump forward over a whole step start window starts that step late.
FollowState followPosition(const BlockTiming& t, bool steppedBefore, long long endBarPos,
                           long long barPos, int numSteps, FollowState s);

// The position in the bar that jumps are measured in, and the bar's length: the counter and the
// cycle, or for bars longer than the cycle, the samples into the bar and its length.
long long barPosition(const BlockTiming& t, const Position& p);
long long jumpBarLength(const BlockTiming& t);

}  // namespace steptiming
