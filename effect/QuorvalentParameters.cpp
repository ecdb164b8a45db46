// The parameter set the host sees, and how each parameter's value reaches the engine.
#include "effect/Quorvalent.h"

#include <cmath>

namespace {

// A parameter value used as a table index: truncated like IParam::Int, then held inside lo..hi so
// that no value a host or stored state can produce reaches past the table.
int clampedIndex(double value, int lo, int hi)
{
  if (!(value >= (double)lo))
    return lo;
  if (value >= (double)hi)
    return hi;
  return (int)value;
}

constexpr int kMaxLFORate = 7;  // multipliers 1 .. 128

// An oscillator mode outside the shapes: the oscillator outputs 0 and its phase moves on as in any
// other mode. An unheard sine LFO runs in it, which spares a sine per sample; saw and square keep
// their shape even when unheard, since their smoother's state carries into what is heard later.
constexpr OscillatorMode kPhaseOnly = kNumOscillatorModes;

OscillatorMode lfoMode(int shape, double depth)
{
  return shape == OSCILLATOR_MODE_SINE && depth == 0.0 ? kPhaseOnly : (OscillatorMode)shape;
}

}  // namespace

void Quorvalent::CreateParams()
{
  for (int i = 0; i < kNumParams; ++i)
  {
    const ParameterProperties& p = parameterProperties[i];
    IParam* param = GetParam(i);
    if (i >= kStep1 && i <= kStep16)
    {
      // A step's default is the new instance's step flag, not the table's 0.
      param->InitBool(p.name, mSteps[i - kStep1], "", "");
      continue;
    }
    switch (i)
    {
      case kAmpLFORate:
      case kFilterLFORate:
      case kNumStepsParam:
      case kArpSpeed:
        param->InitInt(p.name, (int)p.defaultVal, (int)p.minVal, (int)p.maxVal, "", "");
        break;
      case kAmpLFOTriplet:
      case kFilterLFOTriplet:
      case kPush:
      case kStepMode:
        param->InitBool(p.name, p.defaultVal != 0.0, "", "");
        break;
      case kFilterType:
      case kAmpLFOType:
      case kFilterLFOType:
        // Three values; value 0 shows the parameter's own name.
        param->InitEnum(p.name, (int)p.defaultVal, (int)p.maxVal, "", "");
        param->SetDisplayText(0, p.name);
        break;
      default:
        param->InitDouble(p.name, p.defaultVal, p.minVal, p.maxVal, 0.001, "", "");
        break;
    }
  }

  // Envelope times get finer resolution at the short end, levels and depths likewise.
  static const int kCubic[] = {kAmpAttack,    kAmpDecay,    kAmpRelease,
                               kFilterAttack, kFilterDecay, kFilterRelease};
  static const int kSquare[] = {kAmpSustain,  kFilterSustain,  kFilterEnvAmount,
                                kAmpLFODepth, kFilterLFODepth, kFilterResonance};
  for (int i : kCubic)
    GetParam(i)->SetShape(3.0);
  for (int i : kSquare)
    GetParam(i)->SetShape(2.0);
  GetParam(kDryWet)->SetShape(0.5);
}

// The LFO runs at a tempo multiple, taken from the host's tempo as it stands now: half the rate
// multiplier per beat, three quarters in triplets.
void Quorvalent::updateLFORate(Oscillator& lfo, int rateMul, bool triplet)
{
  const double factor = triplet ? 0.75 : 0.5;
  lfo.setFrequency(factor * ((double)rateMul * mTimeInfo.mTempo) / 60.0);
}

void Quorvalent::OnParamChange(int paramIdx)
{
  IMutexLock lock(this);

  IParam* param = GetParam(paramIdx);
  if (!param)
    return;
  const double value = param->Value();

  switch (paramIdx)
  {
    case kAmpAttack:
      mAmpEnvelope.setStageValue(EnvelopeGenerator::ATTACK, value);
      break;
    case kAmpDecay:
      mAmpEnvelope.setStageValue(EnvelopeGenerator::DECAY, value);
      break;
    case kAmpSustain:
      mAmpEnvelope.setStageValue(EnvelopeGenerator::SUSTAIN, value);
      break;
    case kAmpRelease:
      mAmpEnvelope.setStageValue(EnvelopeGenerator::RELEASE, value);
      break;
    case kFilterAttack:
      mFilterEnvelope.setStageValue(EnvelopeGenerator::ATTACK, value);
      break;
    case kFilterDecay:
      mFilterEnvelope.setStageValue(EnvelopeGenerator::DECAY, value);
      break;
    case kFilterSustain:
      mFilterEnvelope.setStageValue(EnvelopeGenerator::SUSTAIN, value);
      break;
    case kFilterRelease:
      mFilterEnvelope.setStageValue(EnvelopeGenerator::RELEASE, value);
      break;
    case kFilterCutoff:
      mFilterL.setCutoff(value);
      mFilterR.setCutoff(value);
      break;
    case kFilterResonance:
      mFilterL.setResonance(value);
      mFilterR.setResonance(value);
      break;
    case kAmpLFODepth:
      mAmpLFODepth = value;
      mAmpLFO.setMode(lfoMode(mAmpLFOShape, mAmpLFODepth));
      break;
    case kAmpLFORate:
      mAmpRateMul = 1 << clampedIndex(value, 0, kMaxLFORate);
      updateLFORate(mAmpLFO, mAmpRateMul, mAmpTriplet);
      break;
    case kAmpLFOTriplet:
      mAmpTriplet = param->Bool();
      updateLFORate(mAmpLFO, mAmpRateMul, mAmpTriplet);
      break;
    case kFilterLFODepth:
      mFilterLFODepth = value;
      mFilterLFO.setMode(lfoMode(mFilterLFOShape, mFilterLFODepth));
      break;
    case kFilterLFORate:
      mFilterRateMul = 1 << clampedIndex(value, 0, kMaxLFORate);
      updateLFORate(mFilterLFO, mFilterRateMul, mFilterTriplet);
      break;
    case kFilterLFOTriplet:
      mFilterTriplet = param->Bool();
      updateLFORate(mFilterLFO, mFilterRateMul, mFilterTriplet);
      break;
    case kPush:
      // The button plays only in MIDI / push mode; in sequencer mode it is ignored entirely.
      if (mMode != 0)
      {
        mPush = param->Bool();
        if (mPush)
          onNoteOn(1, 1);
        else
          onNoteOff(1, 1);
      }
      break;
    case kFilterType:
      mFilterL.setFilterMode((Filter::FilterMode)param->Int());
      mFilterR.setFilterMode((Filter::FilterMode)param->Int());
      break;
    case kAmpLFOType:
      mAmpLFOShape = param->Int();
      mAmpLFO.setMode(lfoMode(mAmpLFOShape, mAmpLFODepth));
      break;
    case kFilterLFOType:
      mFilterLFOShape = param->Int();
      mFilterLFO.setMode(lfoMode(mFilterLFOShape, mFilterLFODepth));
      break;
    case kStepMode:
      mMode = param->Bool() ? 1 : 0;
      break;
    case kNoteLength:
      mNoteLen = value;
      break;
    case kNumStepsParam:
      mNumSteps = clampedIndex(value, 1, kNumSteps);
      break;
    case kArpSpeed:
    {
      const int speed = speed_array[clampedIndex(value, 0, kNumSpeeds - 1)];
      mSpeed = speed == 0 ? 0.5 : (double)speed;
      break;
    }
    case kFilterEnvAmount:
      mFilterEnvAmount = value;
      break;
    case kDryWet:
      mDryWet = value;
      break;
    default:
      if (paramIdx >= kStep1 && paramIdx <= kStep16)
        mSteps[paramIdx - kStep1] = param->Bool();
      break;
  }
}
