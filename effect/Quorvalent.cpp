// Construction, sample-rate and host changes, MIDI intake and the note handlers of the plug-in.
#include "effect/Quorvalent.h"

#include <climits>

namespace {

constexpr double kLFOStartFrequency = 6.0;

}  // namespace

Quorvalent::Quorvalent(PluginInstanceInfo instanceInfo)
  : PluginVST(instanceInfo, kNumParams, "1-1 2-2", kNumPrograms, "Quorvalent", "", "Orvyn", 0x10001,
              0x49706566, 0x41636D65, 0, true, false, false)
  , mNumSteps(16)
  , mFilters(mFilterL, mFilterR)
  , mFilterLFODepth(0.0)
  , mAmpLFODepth(0.0)
  , mFilterLFOShape(OSCILLATOR_MODE_SINE)
  , mAmpLFOShape(OSCILLATOR_MODE_SINE)
  , mDryWet(1.0)
  , mPush(false)
  , mSampleRate((int)GetSampleRate())
  , mTempo(mTimeInfo.mTempo)
  , mFilterEnvAmount(1.0)
  , mDumpCount(0)
  , mCurrentStep(0)
  , mStepHandled(false)
  , mShownStep(0)
  , mMode(0)
  , mTrigger(false)
  , mNoteOffSent(false)
  , mAmpTriplet(false)
  , mFilterTriplet(false)
  , mAmpRateMul(4)
  , mFilterRateMul(4)
  , mGateGain(1.0f)
  , mNoteLen(1.0)
  , mSpeed(4.0)
  , mPos(steptiming::firstPosition(mTiming, 0))
  , mLastStart(steptiming::kNoSlot)
  , mSteppedLastBlock(false)
  , mLateStepStart(false)
  , mLateSlot(steptiming::kNoSlot)
  , mNoteOffHold(0)
  , mVectorCode(processorVectorCode())
{
  for (int k = 0; k < kNumSteps; ++k)
  {
    mSteps[k] = kDefaultStepOn[k];
    mLedIdx[k] = -1;
    mLeds[k] = nullptr;
  }

  // The presets are made while every parameter is still untyped (MakePreset then reads doubles).
  CreatePresets();
  CreateParams();
  CreateGraphics();

  mMIDIReceiver.noteOn.Connect(this, &Quorvalent::onNoteOn);
  mMIDIReceiver.noteOff.Connect(this, &Quorvalent::onNoteOff);

  mFilterLFO.setFrequency(kLFOStartFrequency);
  mFilterLFO.setMuted(false);
  mAmpLFO.setFrequency(kLFOStartFrequency);
  mAmpLFO.setMuted(false);
}

Quorvalent::~Quorvalent() {}

void Quorvalent::applySampleRate()
{
  const double sampleRate = GetSampleRate();
  // A rate that is no usable whole number of samples per second keeps the last usable one.
  if (!(sampleRate >= 1.0 && sampleRate <= (double)INT_MAX))
    return;
  mSampleRate = (int)sampleRate;
  mAmpEnvelope.setSampleRate(sampleRate);
  mFilterEnvelope.setSampleRate(sampleRate);
  mFilterLFO.setSampleRate(sampleRate);
  mAmpLFO.setSampleRate(sampleRate);
}

void Quorvalent::Reset()
{
  IMutexLock lock(this);
  applySampleRate();
}

void Quorvalent::OnHostIdentified()
{
  applySampleRate();
  GetTime(&mTimeInfo);
  mTempo = mTimeInfo.mTempo;
}

void Quorvalent::ProcessMidiMsg(IMidiMsg* pMsg) { mMIDIReceiver.onMessageReceived(pMsg); }

void Quorvalent::onNoteOn(const int /*noteNumber*/, const int /*velocity*/)
{
  mAmpEnvelope.enterStage(EnvelopeGenerator::ATTACK);
  mFilterEnvelope.enterStage(EnvelopeGenerator::ATTACK);
}

void Quorvalent::onNoteOff(const int /*noteNumber*/, const int /*velocity*/)
{
  mAmpEnvelope.enterStage(EnvelopeGenerator::RELEASE);
  mFilterEnvelope.enterStage(EnvelopeGenerator::RELEASE);
}
