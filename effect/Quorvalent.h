#pragma once
// Quorvalent: a tempo-synchronised 16-step gate and step filter.
//
// Each channel runs through its own resonant filter and the amplitude envelope; the filter envelope
// and the filter LFO move the cutoff, the amplitude LFO scales the level, and dry/wet mixes the
// result with the input. A 16-step sequencer that follows the host's transport retriggers both
// envelopes; with the sequencer switched off, MIDI notes and the "Push!!" button do.
//
// The class owns the whole engine by value. Its operations are spread over files by concern:
// Quorvalent.cpp (lifecycle, host, MIDI and notes), QuorvalentProcessing.cpp (the per-block loop,
// sequencer and effect stage), QuorvalentParameters.cpp (parameters), FactoryPresets.cpp (programs
// and the preset dump), QuorvalentEditor.cpp (the editor).
//
// Threads: everything runs under the instance mutex: audio blocks, dispatcher calls (the idle
// calls effIdle and effEditIdle among them, so OnIdle too), parameter changes from host and editor.
// The published step is atomic besides, so that an editor may read it without the lock.

#include "effect/MIDIReceiver.h"
#include "effect/ParameterTable.h"
#include "effect/dsp/EnvelopeGenerator.h"
#include "effect/dsp/Filter.h"
#include "effect/dsp/FilterPair.h"
#include "effect/dsp/Oscillator.h"
#include "effect/dsp/StepTiming.h"
#include "framework/vst/PluginVST.h"

#include <atomic>
#include <climits>
#include <cstddef>
#include <utility>

class IBitmapControl;

class Quorvalent : public PluginVST
{
public:
  explicit Quorvalent(PluginInstanceInfo instanceInfo);
  ~Quorvalent() override;

  // [dispatcher] Sample rate or block size changed: the step timing, both envelopes and both
  // LFOs take the host's sample rate.
  void Reset() override;
  // [dispatcher, GUI; never during a block] Maps parameter paramIdx onto the engine.
  void OnParamChange(int paramIdx) override;
  // [audio] One block; channel 0 is left, channel 1 right.
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;
  // [idle thread, under the dispatcher's instance lock] Lights the lamp of the step published by
  // the last block.
  void OnIdle() override;
  // [dispatcher] Queues note-on and note-off messages for the next block; in sequencer mode they
  // are dropped at that block's end.
  void ProcessMidiMsg(IMidiMsg* pMsg) override;
  // [dispatcher] At the first open: takes the host's sample rate and tempo.
  void OnHostIdentified() override;

  // Note handlers of the MIDI receiver, the sequencer and "Push!!"; the arguments are not used.
  void onNoteOn(const int noteNumber, const int velocity);
  void onNoteOff(const int noteNumber, const int velocity);

  // Developer's dump: appends the current values as a preset-making source line to the dump file.
  void SavetheWorld();

  // The step the last block ended on, as the editor's lamps show it.
  int shownStep() const { return mShownStep.load(std::memory_order_relaxed); }

private:
  friend struct QuorvalentTestAccess;

  void CreateParams();
  void CreatePresets();
  void CreateGraphics();

  // The dump's line: "MakePreset(\"Bu <n>\"," then every value with "%f", comma-separated, and
  // ");\n". False when it does not fit.
  static const int kDumpLineSize = 1024;
  bool presetDumpLine(char* line, int size);

  template <std::size_t... I>
  void makeFactoryPreset(const char* name, const double* values, std::index_sequence<I...>);

  // Per block: host time into the bar position and the step timing.
  void beginBlock();
  // Per block in which the sequencer runs: the step index follows the position when the sequencer
  // starts and when the position jumped from where the last block ended (end); see
  // steptiming::followPosition.
  void followPosition(const steptiming::End& end);

  // What a block's samples share: neither the mode nor the transport changes during a block;
  // the host's buffers.
  struct BlockState
  {
    bool midiMode;  // MIDI / push mode
    bool timed;     // the bar position and step timing are usable
    bool stepping;  // the sequencer runs: timed, sequencer mode, transport playing
    double* inL;
    double* inR;
    double* outL;
    double* outR;
    double dry;  // 1 - dry/wet
  };
  // The block is a sequence of single samples at which something happens (a MIDI message, an LFO
  // restart, a step start or note-off, a gate fade, an envelope stage ending) and quiet runs
  // between them, in which only the modulation moves on. quietSamples: the samples from the
  // current one on (at most limit) that form a quiet run; 0 when something happens at the current
  // one.
  int quietSamples(int limit, const BlockState& block) const;
  // Sample s in full: MIDI, LFO restart, sequencer, effect stage, bar position.
  void eventSample(const BlockState& block, int s);
  // [audio] The effect stage of one sample: the LFOs, the gate fade, both envelopes, the filter
  // pair and the dry/wet mix.
  void effectStage(double* inL, double* inR, double* outL, double* outR);
  // Samples s .. s + n - 1, a quiet run: the effect stage in vectorised form, the same operations
  // in the same order on state held in registers, with the LFO values computed ahead; no gate
  // fade and no stage end falls inside. The loops are compiled three times (AvxCode.h):
  // quietRunBaseline, quietRunAvx and quietRunAvx512, the last the processor runs (mVectorCode);
  // all give the same bits.
  void quietRun(const BlockState& block, int s, int n);
  void quietRunBaseline(const BlockState& block, int s, int n);
  void quietRunAvx(const BlockState& block, int s, int n);
  void quietRunAvx512(const BlockState& block, int s, int n);
  // The LFOs' sines come eight at a time on SineLanes (see ascendingSines).
  template <class SineLanes>
  void quietRunLoops(const BlockState& block, int s, int n);
  // Per sample, while stepping: step starts, retriggers and note-offs.
  void sequencer();
  // Per sample: the gate fade of a retrigger, in sequencer mode.
  void gateFade();
  // The bar position moves on by n samples; a quiet run reaches the end of a step, the cycle or
  // the bar at its last sample at most.
  void moveBarPosition(int n);

  // The host's sample rate into the step timing, the envelopes and the LFOs.
  void applySampleRate();
  void updateLFORate(Oscillator& lfo, int rateMul, bool triplet);

  bool mSteps[kNumSteps];
  int mNumSteps;
  Filter mFilterL;  // both always take the same settings: they run as a FilterPair
  Filter mFilterR;
  FilterPair mFilters;  // during a block: both filters, stored back at its end
  EnvelopeGenerator mAmpEnvelope;
  EnvelopeGenerator mFilterEnvelope;
  MIDIReceiver mMIDIReceiver;
  Oscillator mFilterLFO;
  Oscillator mAmpLFO;
  double mFilterLFODepth;
  double mAmpLFODepth;
  int mFilterLFOShape;  // parameter 19: 0 saw, 1 square, 2 sine
  int mAmpLFOShape;     // parameter 18
  double mDryWet;
  bool mPush;
  ITimeInfo mTimeInfo;
  int mSampleRate;  // whole samples per second, for bar and step timing
  double mTempo;
  double mFilterEnvAmount;
  int mDumpCount;
  int mCurrentStep;
  bool mStepHandled;
  int mLedIdx[kNumSteps];
  IBitmapControl* mLeds[kNumSteps];
  std::atomic<int> mShownStep;
  int mMode;      // 0 sequencer, 1 MIDI / push
  bool mTrigger;  // a step asked for a retrigger: the gate is fading out
  bool mNoteOffSent;
  bool mAmpTriplet;
  bool mFilterTriplet;
  int mAmpRateMul;
  int mFilterRateMul;
  float mGateGain;
  double mNoteLen;  // fraction of a step
  double mSpeed;    // step length in sixty-fourth notes

  // Step timing of the running block, fixed at its start, and where the sample about to run lies
  // (in the cycle, the step and the cycle count).
  steptiming::BlockTiming mTiming;
  steptiming::Position mPos;

  // The slot of the step start taken last (each slot starts once), forgotten when the step index
  // is taken from the position.
  steptiming::Slot mLastStart;
  bool mSteppedLastBlock;  // the sequencer ran in the last block
  bool mLateStepStart;     // the block's first sample takes a step start whose window was skipped
  steptiming::Slot mLateSlot;           // the slot that start is the start of
  int mNoteOffHold;                     // samples from the block's start in which no note-off comes
  steptiming::RoundingWatch mRounding;  // how far the host's rounding moves its positions
  VectorCode mVectorCode;               // the version of the quiet runs taken
};
