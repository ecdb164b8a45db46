#pragma once
// Phase-accumulator oscillator with saw, square and sine shapes, used as an LFO.
//
// The phase runs in radians over 0 .. 2 pi. Saw and square pass through one shared smoother, so
// switching between them carries its state over; the sine is not smoothed. A muted oscillator
// outputs 0 and holds its phase. Frequencies that are not finite, negative or above one cycle per
// sample are ignored, and the phase wrap is bounded whatever the increment.

#include "effect/dsp/AvxCode.h"
#include "effect/dsp/ParamSmooth.h"
#include "effect/dsp/Sine.h"

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

  // The value at the current phase, then the phase advances (not while muted). Inline: both
  // LFOs run every sample.
  double nextSample()
  {
    if (!computesSine())
      return nextSampleNotSine();
    const double value = sine(mPhase);
    advancePhase();
    return value;
  }

  // nextSample() of an oscillator that does not compute a sine: the shapes that cost a few
  // operations. Without calls but for the rare phase wrap, so that an oscillator copied into a
  // loop's registers stays there.
  double nextSampleNotSine()
  {
    if (isMuted)
      return 0.0;
    double value = 0.0;
    switch (mOscillatorMode)
    {
      case OSCILLATOR_MODE_SAW:
        value = mSmoother.Process((float)(1.0 - (mPhase + mPhase) / twoPI));
        break;
      case OSCILLATOR_MODE_SQUARE:
        value = mSmoother.Process((float)(mPI >= mPhase ? 1.0 : -1.0));
        break;
      default:
        break;
    }
    advancePhase();
    return value;
  }

  // Whether nextSample() computes a sine: the costly shape, which nextSamples() computes two at
  // a time.
  bool computesSine() const { return !isMuted && mOscillatorMode == OSCILLATOR_MODE_SINE; }

  // n values of nextSample() into values: the shape chosen once, the phase and the smoother held
  // in registers, sines computed eight at a time on SineLanes (StereoSample or FourDoubles: see
  // ascendingSines). (Inline, so that it is compiled with the loop that calls it.)
  template <class SineLanes = StereoSample>
  void nextSamples(double* values, int n);

  // Fills buffer with nFrames unsmoothed values, muted or not; other modes write nothing.
  void generate(double* buffer, int nFrames);

  void setMode(OscillatorMode mode) { mOscillatorMode = mode; }
  void setMuted(bool muted) { isMuted = muted; }
  void setFrequency(double frequency);
  void setSampleRate(double sampleRate);
  void setStartPosition() { mPhase = 0.0; }

private:
  void updateIncrement();
  void advancePhase() { mPhase = advancedPhase(mPhase); }
  double advancedPhase(double phase) const
  {
    phase += mPhaseIncrement;
    return phase < twoPI ? phase : wrappedPhase(phase, twoPI);
  }
  // Past 2 pi: one cycle back; more than one cycle per sample (a rate lowered below the frequency)
  // takes one bounded step, never a loop, and a step too large to be a number restarts the phase.
  // (Static, so that an oscillator copied into a loop's registers stays there.)
  static double wrappedPhase(double phase, double twoPI);
  // values[i] = shape(phase) for n samples, the phase advancing after each.
  template <class Shape>
  void run(double* values, int n, Shape shape);

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

template <class Shape>
QV_ALWAYS_INLINE void Oscillator::run(double* values, int n, Shape shape)
{
  double phase = mPhase;
  for (int i = 0; i < n; ++i)
  {
    values[i] = shape(phase);
    phase = advancedPhase(phase);
  }
  mPhase = phase;
}

template <class SineLanes>
QV_ALWAYS_INLINE void Oscillator::nextSamples(double* values, int n)
{
  if (isMuted)
  {
    for (int i = 0; i < n; ++i)
      values[i] = 0.0;
    return;
  }
  const double pi = mPI;
  const double cycle = twoPI;
  CParamSmooth smoother = mSmoother;
  switch (mOscillatorMode)
  {
    case OSCILLATOR_MODE_SINE:
    {
      // Eight phases at a time, kept in registers; without a wrap among them they ascend, and
      // their sines nearly always share a kernel (ascendingSines). The next eight phases (a
      // chain of additions) are worked out while these sines are.
      double phase = mPhase;
      bool wrapped = false;
      auto next = [&]() {
        const double current = phase;
        phase += mPhaseIncrement;
        if (!(phase < cycle))
        {
          phase = wrappedPhase(phase, cycle);
          wrapped = true;
        }
        return current;
      };
      int i = 0;
      for (; i + kAscendingSines <= n; i += kAscendingSines)
      {
        wrapped = false;
        double x[kAscendingSines];
        for (double& a : x)
          a = next();
        if (wrapped || !ascendingSines<SineLanes>(x, values + i))
          for (int k = 0; k < kAscendingSines; k += 2)
            sinePair(StereoSample(x[k], x[k + 1])).store(values + i + k);
      }
      for (; i + 1 < n; i += 2)
      {
        const double a = next();
        sinePair(StereoSample(a, next())).store(values + i);
      }
      if (i < n)
        values[i] = sine(next());
      mPhase = phase;
      break;
    }
    case OSCILLATOR_MODE_SAW:
      run(values, n, [&](double phase) {
        return (double)smoother.Process((float)(1.0 - (phase + phase) / cycle));
      });
      break;
    case OSCILLATOR_MODE_SQUARE:
      run(values, n, [&](double phase) {
        return (double)smoother.Process((float)(pi >= phase ? 1.0 : -1.0));
      });
      break;
    default:
      run(values, n, [](double) { return 0.0; });
      break;
  }
  mSmoother = smoother;
}
