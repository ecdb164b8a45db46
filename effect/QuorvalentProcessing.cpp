// The processing path of the plug-in: per block, the host's time into the bar position and step
// timing; then, chunk by chunk, the control stage of each sample (MIDI, the step sequencer, which
// turns the bar position into step starts, retriggers and note-offs, and the modulation: LFOs,
// gate fade, envelopes) and the effect stage over the chunk (filters and dry/wet mix). (One file,
// so that the per-sample operations inline into the loops.)
#include "effect/Quorvalent.h"

#include "effect/DenormalGuard.h"
#include "effect/FilterPair.h"

#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

// Both LFOs restart at phase 0 during the first ten samples of every bar.
constexpr int kLFORestartWindow = 9;
// A bar counts four quarter notes, whatever the host's time signature.
constexpr double kQuartersPerBar = 4.0;
constexpr double kSixtyFourthsPerQuarter = 16.0;
// Bar counts up to this many quarter notes are formed in integers; beyond it (decades of music)
// the position in the bar is taken with fmod.
constexpr double kMaxIntegerBars = 2147483647.0;

// The window at the start of each step in which the step start is taken: positions 0 .. 10.
constexpr int kStepStartWindow = 10;
// The note-off comes this many samples before the note length ends.
constexpr int kNoteOffLead = 100;
// A step start this close to the bar start (30 samples early to 69 late) restarts the cycle.
constexpr int kBarStartLead = 30;
constexpr int kBarStartWindow = 99;
// The gate fades out over 20 samples before the envelopes restart.
constexpr double kGateFadeStep = 0.05;

}  // namespace

void Quorvalent::sequencer()
{
  const int pos = mStepPos;

  if ((double)(pos + kNoteOffLead) >= mNoteOffThreshold && !mNoteOffSent)
  {
    onNoteOff(1, 1);
    mNoteOffSent = true;
  }

  if (pos <= kStepStartWindow || mLateStepStart)
  {
    mLateStepStart = false;
    if (mStepHandled)
      return;
    mStepHandled = true;
    // A host that rounds its song position may step back a few samples at a block boundary,
    // into the window of a step start already taken: that slot does not start again.
    const int slot = mCounter / mStepLen;
    if (slot == mStartSlot)
      return;
    mStartSlot = slot;
    if (((long long)mCounter + kBarStartLead) % mSamplesPerBar <= kBarStartWindow)
      mCurrentStep = 0;
    else
      mCurrentStep += 1;
    if (mCurrentStep >= mNumSteps)
      mCurrentStep = 0;
    // Only an enabled step retriggers, and only it re-arms the note-off.
    if (mSteps[mCurrentStep])
    {
      mTrigger = true;
      mNoteOffSent = false;
      mGateGain = 1.0f;
    }
  }
  else
  {
    mStepHandled = false;
  }
}

void Quorvalent::modulationStage(ChunkValues& v, int s, bool midiMode)
{
  const double filterMod = mFilterLFO.nextSample() * mFilterLFODepth;
  const double ampMod = mAmpLFO.nextSample() * mAmpLFODepth;

  if (!midiMode)
  {
    if (mTrigger)
    {
      // Fade the gate out in single precision; the sample that reaches 0 restarts the envelopes
      // and already plays at full gain.
      mGateGain = (float)((double)mGateGain - kGateFadeStep);
      if (0.0f >= mGateGain)
      {
        mTrigger = false;
        onNoteOn(1, 1);
        mGateGain = 1.0f;
      }
    }
  }
  else
  {
    mGateGain = 1.0f;
  }

  v.cutoffMod[s] = mFilterEnvAmount * mFilterEnvelope.nextSample() + filterMod;
  const double g = (double)mGateGain;
  // The amplitude envelope is applied at single precision.
  v.amp[s] = (double)(float)mAmpEnvelope.nextSample();
  v.wetGain[s] = mDryWet * g * (ampMod + 1.0);
}

void Quorvalent::controlStage(ChunkValues& v, int s, const BlockState& block)
{
  if (block.midiMode)
    mMIDIReceiver.advance();
  if (block.timed)
  {
    if (mCounter <= kLFORestartWindow)
    {
      mFilterLFO.setStartPosition();
      mAmpLFO.setStartPosition();
    }
    if (block.stepping)
      sequencer();
  }
  modulationStage(v, s, block.midiMode);
  if (block.timed)
  {
    if (++mCounter >= mSamplesPerBar)
      mCounter = 0;
    // mCounter % mStepLen, moved on without a division per sample.
    if (mCounter > 0)
    {
      if (++mStepPos >= mStepLen)
        mStepPos = 0;
    }
    else
    {
      mStepPos = mCounter % mStepLen;
    }
  }
}

void Quorvalent::effectStage(const ChunkValues& v, double dry, const double* inL, const double* inR,
                             double* outL, double* outR, int n)
{
  double wetL[kChunk];
  double wetR[kChunk];
  FilterPair::process(mFilterL, mFilterR, v.cutoffMod, inL, inR, wetL, wetR, n);
  for (int s = 0; s < n; ++s)
  {
    // The amplitude envelope scales the filtered signal; the wet path is halved.
    outL[s] = inL[s] * dry + v.wetGain[s] * (wetL[s] * v.amp[s]) / 2.0;
    outR[s] = inR[s] * dry + v.wetGain[s] * (wetR[s] * v.amp[s]) / 2.0;
  }
}

void Quorvalent::beginBlock()
{
  GetTime(&mTimeInfo);
  mTempo = mTimeInfo.mTempo;
  mTimingValid = false;

  const double ppq = mTimeInfo.mPPQPos;
  const int numerator = mTimeInfo.mNumerator;
  // Without a finite tempo and position, or with a step or bar shorter than one sample or longer
  // than a counter holds, the sequencer idles for this block.
  if (!std::isfinite(ppq) || !std::isfinite(mTempo) || !(mTempo > 0.0) || numerator < 1 ||
      mSampleRate < 1)
    return;

  const double samplesPerBeat = (60.0 / mTempo) * (double)mSampleRate;
  const double samplesPerBar = kQuartersPerBar * samplesPerBeat;
  const double unit = (double)mSampleRate * (60.0 / mTempo) / kSixtyFourthsPerQuarter;
  if (!(unit >= 1.0 && samplesPerBar <= (double)INT_MAX))
    return;
  const int stepLen = (int)(mSpeed * (double)(int)unit);
  if (stepLen < 1)
    return;

  // The position inside the bar follows the host's numerator; the bar length always counts four
  // quarter notes.
  if (std::fabs(ppq) < kMaxIntegerBars)
  {
    const int bars = (int)(ppq / (double)numerator);
    mPosInBar = ppq - (double)((long long)numerator * bars);
  }
  else
  {
    mPosInBar = std::fmod(ppq, (double)numerator);
  }

  mSamplesPerBar = (int)samplesPerBar;
  double counter = std::trunc(mPosInBar * samplesPerBeat);
  // Bars longer than four quarter notes: the counter runs on from the same place in the
  // four-quarter cycle instead of restarting at every block in the bar's tail.
  if (std::fabs(counter) >= (double)mSamplesPerBar)
    counter = std::fmod(counter, (double)mSamplesPerBar);
  mCounter = (int)counter;

  mUnit = (int)unit;
  mStepLen = stepLen;
  mStepPos = mCounter % mStepLen;
  mNoteOffThreshold = (double)mUnit * (mSpeed * mNoteLen);
  mTimingValid = true;
}

void Quorvalent::followPosition(int endCounter)
{
  const int slot = mCounter / mStepLen;
  mLateStepStart = false;
  if (mSteppedLastBlock)
  {
    // The circular distance within the bar: a block that wraps the bar is no jump.
    const long long bar = mSamplesPerBar;
    long long d = ((long long)mCounter - endCounter) % bar;
    if (2 * d > bar)
      d -= bar;
    else if (2 * d < -bar)
      d += bar;
    if (2 * std::llabs(d) <= (long long)mStepLen)
    {
      // A rounded host position that moves on by more than the window can skip a step start
      // whole; that step then starts at the block's first sample. Not the bar's first step when
      // the samples skipped were all inside the windows of it and of a bar tail shorter than
      // the window: run sample by sample, that step start would have been the tail's.
      const bool merged =
        mStepHandled && slot == 0 && (mSamplesPerBar - 1) % mStepLen <= kStepStartWindow;
      if (d > 0 && mStepPos > kStepStartWindow && mStepPos - d <= kStepStartWindow &&
          slot != mStartSlot && !merged)
      {
        mLateStepStart = true;
        mStepHandled = false;
      }
      return;
    }
  }
  // The step of the position's own slot, counted from the bar's start; inside a step start's
  // window, the step before it, so that the step start plays the slot's step.
  int step = (mStepPos <= kStepStartWindow ? slot - 1 : slot) % mNumSteps;
  if (step < 0)
    step += mNumSteps;
  mCurrentStep = step;
  mStartSlot = kNoSlot;
  mStepHandled = false;
}

void Quorvalent::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  DenormalGuard flushDenormals;

  // Where the last block left the bar position, before the host's time replaces it.
  const int endCounter = mCounter;
  beginBlock();

  const double* inL = inputs[0];
  const double* inR = inputs[1];
  double* outL = outputs[0];
  double* outR = outputs[1];
  const double dry = 1.0 - mDryWet;
  // Neither the mode nor the transport changes during a block.
  BlockState block;
  block.midiMode = mMode == 1;
  block.timed = mTimingValid;
  block.stepping = mTimingValid && !block.midiMode && mTimeInfo.mTransportIsRunning;
  // The step index follows the position when the sequencer starts and when the position jumps
  // (a locate, a loop, the bar line of a bar shorter than four quarter notes).
  if (block.stepping)
    followPosition(endCounter);
  mSteppedLastBlock = block.stepping;

  // The block runs in chunks: the control stage for each sample of the chunk, then the effect
  // stage over the chunk. Nothing the control stage does depends on the filters, so the split
  // changes no result; it lets the filters run in a tight loop of their own.
  ChunkValues values;
  for (int start = 0; start < nFrames; start += kChunk)
  {
    const int n = nFrames - start < kChunk ? nFrames - start : kChunk;
    for (int s = 0; s < n; ++s)
      controlStage(values, s, block);
    effectStage(values, dry, inL + start, inR + start, outL + start, outR + start, n);
  }

  // Notes belong to the block they arrived for: in MIDI mode any left (offsets past the block's
  // end) are taken now; in sequencer mode they are dropped rather than kept for later.
  if (mMode == 1)
    mMIDIReceiver.endBlock();
  else
    mMIDIReceiver.dropPending();

  mShownStep.store(mCurrentStep, std::memory_order_relaxed);
}
