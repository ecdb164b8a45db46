#include "effect/Filter.h"

#include <cmath>

Filter::Filter()
  : cutoff(0.99),
    resonance(0.0),
    mode(FILTER_MODE_LOWPASS),
    feedbackAmount(0.0),
    buf0(0.0),
    buf1(0.0),
    buf2(0.0),
    buf3(0.0),
    cutoffMod(0.0)
{
  calculateFeedbackAmount();
}

double Filter::getCalculatedCutoff() const
{
  const double c = cutoff + cutoffMod;
  if (c > 0.99)
    return 0.99;
  if (!(c >= 0.01))
    return 0.01;
  return c;
}

// The clamped cutoff keeps the divisor at 0.01 or more.
void Filter::calculateFeedbackAmount()
{
  feedbackAmount = resonance + resonance / (1.0 - getCalculatedCutoff());
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

void Filter::setCutoffMod(double newCutoffMod)
{
  if (std::isfinite(newCutoffMod))
    cutoffMod = newCutoffMod;
  calculateFeedbackAmount();
}

void Filter::clearStates()
{
  buf0 = buf1 = buf2 = buf3 = 0.0;
}

double Filter::process(double input)
{
  const double c = getCalculatedCutoff();
  buf0 += c * (input - buf0 + feedbackAmount * (buf0 - buf1));
  buf1 += c * (buf0 - buf1);
  buf2 += c * (buf1 - buf2);
  buf3 += c * (buf2 - buf3);

  double output;
  switch (mode)
  {
    case FILTER_MODE_LOWPASS: output = buf1; break;
    case FILTER_MODE_HIGHPASS: output = input - buf3; break;
    case FILTER_MODE_BANDPASS: output = buf0 - buf3; break;
    default: output = 0.0; break;
  }

  // Each stage feeds the next within the sample, so an overflow or NaN anywhere reaches buf3.
  if (!std::isfinite(buf3) || !std::isfinite(output))
  {
    clearStates();
    return 0.0;
  }
  return output;
}
