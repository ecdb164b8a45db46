#pragma once
// Phase-accumulator oscillator with saw, square and sine shapes, used as an LFO.
//
// The phase runs in radians over 0 .. 2 pi. Saw and square pass through one shared smoother, so
// switching between them carries its state over; the sine is not smoothed. A muted oscillator
// outputs 0 and holds its phase. Frequencies that are not finite, negative or above one cycle per
// sample are ignored, and the phase wrap is bounded whatever the increment.

#include "effect/ParamSmooth.h"

enum OscillatorMode : int
{
  OSCILLATOR_MODE_SAW = 0,
  OSCILLATOR_MODE_SQUARE,
  OSCILLATOR_MODE_SINE,
  kNumOscillatorModes
};

class Oscillator
{
public:
  Oscillator();

  // The value at the current phase, then the phase advances (not while muted).
  double nextSample();

  // Fills buffer with nFrames unsmoothed values, muted or not; other modes write nothing.
  void generate(double* buffer, int nFrames);

  void setMode(OscillatorMode mode) { mOscillatorMode = mode; }
  void setMuted(bool muted) { isMuted = muted; }
  void setFrequency(double frequency);
  void setSampleRate(double sampleRate);
  void setStartPosition() { mPhase = 0.0; }

private:
  void updateIncrement();
  void advancePhase();

  OscillatorMode mOscillatorMode;
  double mPI;
  double mFrequency;
  double mPhase;
  double mSampleRate;
  double mPhaseIncrement;
  double twoPI;
  bool isMuted;
  CParamSmooth mSmoother;
};
