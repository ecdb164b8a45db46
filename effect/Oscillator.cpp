#include "effect/Oscillator.h"

#include <cmath>

Oscillator::Oscillator()
  : mOscillatorMode(OSCILLATOR_MODE_SINE),
    mPI(3.141592653589793),
    mFrequency(440.0),
    mPhase(0.0),
    mSampleRate(44100.0),
    mPhaseIncrement(0.0),
    twoPI(mPI + mPI),
    isMuted(true)
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

void Oscillator::advancePhase()
{
  mPhase += mPhaseIncrement;
  if (!(mPhase < twoPI))
  {
    mPhase -= twoPI;
    // More than one cycle per sample (a rate lowered below the frequency): one bounded step,
    // never a loop; a step too large to be a number restarts the phase.
    if (!(mPhase < twoPI))
      mPhase = std::isfinite(mPhase) ? std::fmod(mPhase, twoPI) : 0.0;
  }
}

double Oscillator::nextSample()
{
  if (isMuted)
    return 0.0;

  double value = 0.0;
  switch (mOscillatorMode)
  {
    case OSCILLATOR_MODE_SINE:
      value = std::sin(mPhase);
      break;
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

void Oscillator::generate(double* buffer, int nFrames)
{
  if (!buffer)
    return;
  for (int i = 0; i < nFrames; ++i)
  {
    switch (mOscillatorMode)
    {
      case OSCILLATOR_MODE_SINE: buffer[i] = std::sin(mPhase); break;
      case OSCILLATOR_MODE_SAW: buffer[i] = 1.0 - 2.0 * mPhase / twoPI; break;
      case OSCILLATOR_MODE_SQUARE: buffer[i] = (mPI >= mPhase) ? 1.0 : -1.0; break;
      default: break;
    }
    advancePhase();
  }
}
