#include "effect/dsp/Oscillator.h"

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
