#include "effect/Oscillator.h"

#include <cmath>

Oscillator::Oscillator()
  : mOscillatorMode(OSCILLATOR_MODE_SINE)
  , mPI(3.141592653589793)
  , mFrequency(440.0)
  , mPhase(0.0)
  , mSampleRate(44100.0)
  , mPhaseIncrement(0.0)
  , twoPI(mPI + mPI)
  , isMuted(true)
{
  updateIncrement();
}

void Oscillator::updateIncrement()
{
  mPhaseIncrement = (mFrequency * mPI + mFrequency * mPI) / mSampleRate;
}

void Oscillator::setFrequency(double frequency)
{
  if (!(frequency >= 0.0 && frequency <= mSampleRate))
    return;
  mFrequency = frequency;
  updateIncrement();
}

// Called whenever the host's rate changes; the frequency stays, the increment follows.
void Oscillator::setSampleRate(double sampleRate)
{
  if (!(std::isfinite(sampleRate) && sampleRate > 0.0))
    return;
  mSampleRate = sampleRate;
  updateIncrement();
}

double Oscillator::wrappedPhase(double phase, double twoPI)
{
  phase -= twoPI;
  if (!(phase < twoPI))
    phase = std::isfinite(phase) ? std::fmod(phase, twoPI) : 0.0;
  return phase;
}

template <class Shape>
void Oscillator::run(double* values, int n, Shape shape)
{
  double phase = mPhase;
  for (int i = 0; i < n; ++i)
  {
    values[i] = shape(phase);
    phase = advancedPhase(phase);
  }
  mPhase = phase;
}

void Oscillator::nextSamples(double* values, int n)
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
      // Two phases at a time: sinePair() computes both sines side by side.
      int i = 0;
      double phase = mPhase;
      for (; i + 1 < n; i += 2)
      {
        const double first = phase;
        phase = advancedPhase(phase);
        const double second = phase;
        phase = advancedPhase(phase);
        sinePair(StereoSample(first, second)).store(values + i, values + i + 1);
      }
      mPhase = phase;
      run(values + i, n - i, [](double phase) { return sine(phase); });
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

void Oscillator::generate(double* buffer, int nFrames)
{
  if (!buffer)
    return;
  for (int i = 0; i < nFrames; ++i)
  {
    switch (mOscillatorMode)
    {
      case OSCILLATOR_MODE_SINE:
        buffer[i] = sine(mPhase);
        break;
      case OSCILLATOR_MODE_SAW:
        buffer[i] = 1.0 - 2.0 * mPhase / twoPI;
        break;
      case OSCILLATOR_MODE_SQUARE:
        buffer[i] = (mPI >= mPhase) ? 1.0 : -1.0;
        break;
      default:
        break;
    }
    advancePhase();
  }
}
