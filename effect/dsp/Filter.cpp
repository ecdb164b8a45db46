#include "effect/dsp/Filter.h"

#include <cmath>

Filter::Filter()
  : cutoff(0.99)
  , resonance(0.0)
  , mode(FILTER_MODE_LOWPASS)
  , feedbackAmount(0.0)
  , buf0(0.0)
  , buf1(0.0)
  , buf2(0.0)
  , buf3(0.0)
  , cutoffMod(0.0)
  , calculatedCutoff(0.99)
{
  calculateFeedbackAmount();
}

void Filter::setCutoff(double newCutoff)
{
  if (std::isfinite(newCutoff))
    cutoff = newCutoff;
  calculateFeedbackAmount();
}

void Filter::setResonance(double newResonance)
{
  if (std::isfinite(newResonance))
    resonance = newResonance;
  calculateFeedbackAmount();
}
