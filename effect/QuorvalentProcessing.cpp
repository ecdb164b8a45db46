// The processing path of the plug-in: per block, the host's time into the bar position and step
// timing; then the block's samples, each as the engine describes it: MIDI, the step sequencer
// (which turns the bar position into step starts, retriggers and note-offs) and the effect stage
// (LFOs, gate fade, envelopes, both filters and the dry/wet mix).
//
// Most samples only move the modulation on. The block is therefore cut into single samples at
// which something happens, run in full through effectStage, and quiet runs between them: the same
// effect stage in vectorised form, which keeps the engine's state in registers and computes the
// LFOs ahead in short chunks. In a quiet run the filter chain sets the
// pace (each sample's first two stages depend on the last sample's); the loop is arranged so that
// everything else is ready before the chain needs it. Every sample comes out as it would one at a
// time. (One file, so that the per-sample operations inline into the loops.)
#include "effect/Quorvalent.h"

#include "effect/dsp/DenormalGuard.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

// Both LFOs restart at phase 0 during the first ten samples of every cycle.
constexpr int kLFORestartWindow = 9;
// The gate fades out over 20 samples before the envelopes restart.
constexpr double kGateFadeStep = 0.05;

using steptiming::kNoteOffLead;
using steptiming::kStepStartWindow;

}  // namespace

void Quorvalent::sequencer()
{
  const int pos = mPos.stepPos;

  if ((double)(pos + kNoteOffLead) >= mTiming.noteOffThreshold && !mNoteOffSent &&
      mPos.blockSamples >= mNoteOffHold)
  {
    onNoteOff(1, 1);
    mNoteOffSent = true;
  }

  if (pos <= kStepStartWindow || mLateStepStart)
  {
    const bool late = mLateStepStart;
    mLateStepStart = false;
    if (mStepHandled)
      return;
    mStepHandled = true;
    const steptiming::Slot slot = late ? mLateSlot : steptiming::slotAt(mTiming, mPos);
    const int step = steptiming::stepStart(mPos, slot, mCurrentStep, mNumSteps, mLastStart);
    if (step < 0)
      return;
    mCurrentStep = step;
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

void Quorvalent::gateFade()
{
  // Fade the gate out in single precision; the sample that reaches 0 restarts the envelopes and
  // already plays at full gain.
  mGateGain = (float)((double)mGateGain - kGateFadeStep);
  if (0.0f >= mGateGain)
  {
    mTrigger = false;
    onNoteOn(1, 1);
    mGateGain = 1.0f;
  }
}

void Quorvalent::moveBarPosition(int n) { steptiming::advance(mTiming, mPos, n); }

void Quorvalent::eventSample(const BlockState& block, int s)
{
  if (block.midiMode)
    mMIDIReceiver.advance();
  if (block.timed)
  {
    if (mPos.counter <= kLFORestartWindow)
    {
      mFilterLFO.setStartPosition();
      mAmpLFO.setStartPosition();
    }
    if (block.stepping)
      sequencer();
  }
  effectStage(block.inL + s, block.inR + s, block.outL + s, block.outR + s);
  if (block.timed)
    moveBarPosition(1);
}

void Quorvalent::effectStage(double* inL, double* inR, double* outL, double* outR)
{
  const double filterMod = mFilterLFO.nextSample() * mFilterLFODepth;
  const double ampMod = mAmpLFO.nextSample() * mAmpLFODepth;
  if (mMode == 1)
    mGateGain = 1.0f;
  else if (mTrigger)
    gateFade();
  const double cutoffMod = mFilterEnvAmount * mFilterEnvelope.nextSample() + filterMod;
  const double g = (double)mGateGain;
  // The amplitude envelope is applied at single precision.
  const double amp = (double)(float)mAmpEnvelope.nextSample();
  const double wetGain = mDryWet * g * (ampMod + 1.0);

  // The amplitude envelope scales the filtered signal; the wet path is halved.
  const StereoSample in(*inL, *inR);
  const StereoSample wet = mFilters.process(mFilters.modulate(cutoffMod), in);
  (in * (1.0 - mDryWet) + wetGain * (wet * amp) / 2.0).store(outL, outR);
}

namespace {

// The LFO values computed ahead of the sample loop, at most.
constexpr int kLFOChunk = 64;

int atMost(int limit, unsigned long long n)
{
  return n < (unsigned long long)limit ? (int)n : limit;
}

}  // namespace

int Quorvalent::quietSamples(int limit, const BlockState& block) const
{
  // The gate fades sample by sample.
  if (!block.midiMode && mTrigger)
    return 0;
  int quiet = atMost(limit, mAmpEnvelope.samplesLeftInStage());
  quiet = atMost(quiet, mFilterEnvelope.samplesLeftInStage());
  if (block.midiMode)
    quiet = atMost(quiet, (unsigned long long)mMIDIReceiver.samplesBeforeNextMessage());
  if (!block.timed)
    return quiet;

  // The LFOs restart during the first samples of a cycle; a run ends where the cycle, the bar and
  // the step end (with their last sample).
  if (mPos.counter <= kLFORestartWindow)
    return 0;
  quiet = atMost(quiet, (unsigned long long)mPos.toCycleEnd);
  quiet = atMost(quiet, (unsigned long long)(mTiming.stepLen - mPos.stepPos));
  if (!block.stepping)
    return quiet;

  // Step starts: the window at the start of each step, and a step start the block begins with.
  if (mLateStepStart || mPos.stepPos <= kStepStartWindow)
    return 0;
  // The note-off comes at the first position p with p + lead >= the threshold; the positions
  // before it are the integers below ceil(threshold) - lead.
  const double threshold = mTiming.noteOffThreshold;
  if (!mNoteOffSent && threshold == threshold)
  {
    // Not before a hold on it ends.
    const double before =
      std::max(std::ceil(threshold) - (double)kNoteOffLead - (double)mPos.stepPos,
               (double)(mNoteOffHold - mPos.blockSamples));
    if (!(before > 0.0))
      return 0;
    if (before < (double)quiet)
      quiet = (int)before;
  }
  return quiet;
}

template <class SineLanes>
QV_ALWAYS_INLINE void Quorvalent::quietRunLoops(const BlockState& block, int s, int n)
{
  // effectStage for n samples at once. Copies of the engine's state, kept in registers for the run
  // and written back at its end.
  // Nothing in the sample loop calls out of it.
  EnvelopeGenerator::Course filterEnvelope = mFilterEnvelope.course();
  EnvelopeGenerator::Course ampEnvelope = mAmpEnvelope.course();
  Oscillator ampLFO = mAmpLFO;
  FilterPair pair = mFilters;
  const double filterLFODepth = mFilterLFODepth;
  const double ampLFODepth = mAmpLFODepth;
  const double filterEnvAmount = mFilterEnvAmount;
  const double dryWet = mDryWet;
  const double dry = block.dry;
  // In MIDI mode the gain is held at 1; in sequencer mode no fade runs.
  if (block.midiMode)
    mGateGain = 1.0f;
  const double g = (double)mGateGain;
  const double* inL = block.inL;
  const double* inR = block.inR;
  double* outL = block.outL;
  double* outR = block.outR;

  // The filter LFO's values are computed a chunk ahead, as is a sine on the amplitude LFO (two
  // at a time); an amplitude LFO of another shape steps along with the samples: its value only
  // scales the filtered signal, nothing waits for it.
  const bool ampLFOAhead = ampLFO.computesSine();
  double filterLFOValues[kLFOChunk];
  double ampLFOValues[kLFOChunk];
  for (int start = s; start < s + n; start += kLFOChunk)
  {
    const int m = s + n - start < kLFOChunk ? s + n - start : kLFOChunk;
    mFilterLFO.nextSamples<SineLanes>(filterLFOValues, m);
    if (ampLFOAhead)
      ampLFO.nextSamples<SineLanes>(ampLFOValues, m);

    // The filters' cutoff and feedback for sample j of the chunk.
    auto coefficients = [&](int j) {
      const double filterMod = filterLFOValues[j] * filterLFODepth;
      return pair.modulate(filterEnvAmount * filterEnvelope.step() + filterMod);
    };
    FilterPair::Coefficients next = coefficients(0);
    for (int j = 0; j < m; ++j)
    {
      const int i = start + j;
      // The next sample's coefficients (a division among them) are worked out while this
      // sample's filter chain runs, so that the chain never waits for them.
      const FilterPair::Coefficients k = next;
      if (j + 1 < m)
        next = coefficients(j + 1);
      const double ampMod =
        (ampLFOAhead ? ampLFOValues[j] : ampLFO.nextSampleNotSine()) * ampLFODepth;
      // The amplitude envelope is applied at single precision.
      const double amp = (double)(float)ampEnvelope.step();
      const double wetGain = dryWet * g * (ampMod + 1.0);

      // The amplitude envelope scales the filtered signal; the wet path is halved.
      const StereoSample in(inL[i], inR[i]);
      const StereoSample wet = pair.process(k, in);
      (in * dry + wetGain * (wet * amp) / 2.0).store(outL + i, outR + i);
    }
  }

  mFilterEnvelope.followed(filterEnvelope, (unsigned long long)n);
  mAmpEnvelope.followed(ampEnvelope, (unsigned long long)n);
  mAmpLFO = ampLFO;
  mFilters = pair;
  if (block.midiMode)
    mMIDIReceiver.skip(n);
  if (block.timed)
    moveBarPosition(n);
  // Every position of the run lies past the step start window.
  if (block.stepping)
    mStepHandled = false;
}

void Quorvalent::quietRun(const BlockState& block, int s, int n)
{
  switch (mVectorCode)
  {
    case VectorCode::kAvx512:
      quietRunAvx512(block, s, n);
      break;
    case VectorCode::kAvx:
      quietRunAvx(block, s, n);
      break;
    default:
      quietRunBaseline(block, s, n);
      break;
  }
}

void Quorvalent::quietRunBaseline(const BlockState& block, int s, int n)
{
  quietRunLoops<StereoSample>(block, s, n);
}

QV_TARGET_AVX void Quorvalent::quietRunAvx(const BlockState& block, int s, int n)
{
  quietRunLoops<FourDoubles>(block, s, n);
}

QV_TARGET_AVX512 void Quorvalent::quietRunAvx512(const BlockState& block, int s, int n)
{
  quietRunLoops<FourDoubles>(block, s, n);
}

void Quorvalent::beginBlock()
{
  GetTime(&mTimeInfo);
  mTempo = mTimeInfo.mTempo;
  mTiming = steptiming::blockTiming(mTimeInfo.mPPQPos, mTempo, mTimeInfo.mNumerator,
                                    mTimeInfo.mDenominator, mSampleRate, mSpeed, mNoteLen);
  if (mTiming.valid)
    mPos = steptiming::firstPosition(mTiming, mPos.cycle);
}

void Quorvalent::followPosition(const steptiming::End& end)
{
  steptiming::FollowState s = {mCurrentStep, mLastStart, mStepHandled, mLateStepStart, end.cycle};
  s.rounding = mRounding;
  s = steptiming::followPosition(mTiming, mSteppedLastBlock, end, mNumSteps, s);
  mCurrentStep = s.currentStep;
  mLastStart = s.lastStart;
  mStepHandled = s.stepHandled;
  mLateStepStart = s.lateStart;
  mLateSlot = s.lateSlot;
  mNoteOffHold = s.noteOffHold;
  mRounding = s.rounding;
  mPos.cycle = s.cycle;
}

void Quorvalent::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  DenormalGuard flushDenormals;

  // Where the last block left the bar position, before the host's time replaces it.
  const steptiming::End end = steptiming::endOf(mTiming, mPos);
  beginBlock();

  // Neither the mode nor the transport changes during a block.
  BlockState block;
  block.midiMode = mMode == 1;
  block.timed = mTiming.valid;
  block.stepping = mTiming.valid && !block.midiMode && mTimeInfo.mTransportIsRunning;
  block.inL = inputs[0];
  block.inR = inputs[1];
  block.outL = outputs[0];
  block.outR = outputs[1];
  block.dry = 1.0 - mDryWet;
  // The step index follows the position when the sequencer starts and when the position jumps
  // (a locate, a loop).
  if (block.stepping)
    followPosition(end);
  mSteppedLastBlock = block.stepping;

  // The parameter changes set both filters alike, so they run as a pair.
  mFilters = FilterPair(mFilterL, mFilterR);
  for (int s = 0; s < nFrames;)
  {
    const int quiet = quietSamples(nFrames - s, block);
    if (quiet > 0)
    {
      quietRun(block, s, quiet);
      s += quiet;
    }
    else
    {
      eventSample(block, s);
      s += 1;
    }
  }
  mFilters.store(mFilterL, mFilterR);

  // Notes belong to the block they arrived for: in MIDI mode any left (offsets past the block's
  // end) are taken now; in sequencer mode they are dropped rather than kept for later.
  if (mMode == 1)
    mMIDIReceiver.endBlock();
  else
    mMIDIReceiver.dropPending();

  mShownStep.store(mCurrentStep, std::memory_order_relaxed);
}
