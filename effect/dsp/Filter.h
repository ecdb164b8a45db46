#pragma once
// Four-stage one-pole cascade with resonance feedback, for one channel, one sample at a time.
//
// The cutoff is a normalised coefficient (0.01 .. 0.99), not a frequency; the modulation is added
// to it and the sum clamped before use. Low-pass taps the second stage, high-pass and band-pass
// subtract the fourth. Near full resonance the filter sits on the edge of stability, and a cutoff
// that moves every few samples (a fast LFO, envelope steps) pumps it up without bound: the first
// stage is held within +-kStateLimit (36 dB above full scale), so a runaway whistles loud but
// finite instead of climbing to infinity; every stage follows the first, so that bounds them all.
// An infinite or NaN input clears the stages and gives silence for that sample.

#include <cmath>

class Filter
{
public:
  enum FilterMode : int
  {
    FILTER_MODE_LOWPASS = 0,
    FILTER_MODE_HIGHPASS,
    FILTER_MODE_BANDPASS,
    kNumFilterModes
  };

  Filter();

  // One sample. (A pair of filters with the same settings runs faster as a FilterPair.)
  double process(double input)
  {
    const double c = calculatedCutoff;
    buf0 += c * (input - buf0 + feedbackAmount * (buf0 - buf1));
    if (std::fabs(buf0) > kStateLimit)  // rare (a runaway, an infinite input): off the hot path
      buf0 = limitState(buf0);
    buf1 += c * (buf0 - buf1);
    buf2 += c * (buf1 - buf2);
    buf3 += c * (buf2 - buf3);

    double output;
    switch (mode)
    {
      case FILTER_MODE_LOWPASS:
        output = buf1;
        break;
      case FILTER_MODE_HIGHPASS:
        output = input - buf3;
        break;
      case FILTER_MODE_BANDPASS:
        output = buf0 - buf3;
        break;
      default:
        output = 0.0;
        break;
    }

    // Each stage feeds the next within the sample, so an overflow or NaN anywhere reaches buf3.
    if (!std::isfinite(buf3) || !std::isfinite(output))
    {
      clearStates();
      return 0.0;
    }
    return output;
  }

  // Each stores the value, then recomputes the feedback. Non-finite values are ignored.
  void setCutoff(double newCutoff);
  void setResonance(double newResonance);
  void setCutoffMod(double newCutoffMod)
  {
    if (std::isfinite(newCutoffMod))
      cutoffMod = newCutoffMod;
    calculateFeedbackAmount();
  }

  // Takes the modulation of a filter with the same cutoff and resonance (the other channel of a
  // pair): the same clamped cutoff and feedback, without computing them again.
  void setCutoffModFrom(const Filter& same)
  {
    cutoffMod = same.cutoffMod;
    calculatedCutoff = same.calculatedCutoff;
    feedbackAmount = same.feedbackAmount;
  }

  // Any mode outside the three outputs silence.
  void setFilterMode(FilterMode newMode) { mode = newMode; }

  // cutoff + cutoffMod, clamped to 0.01 .. 0.99.
  double getCalculatedCutoff() const { return clampCutoff(cutoff + cutoffMod); }

  // The bound of the first stage's state.
  static constexpr double kStateLimit = 64.0;

private:
  friend class FilterPair;

  // Held within +-kStateLimit. An infinity or no number becomes no number (x - x), so that it is
  // caught and cleared; x - 0 keeps every finite value, the sign of a zero included.
  static double limitState(double x)
  {
    const double atMost = x > kStateLimit ? kStateLimit : x;
    return (atMost < -kStateLimit ? -kStateLimit : atMost) - (x - x);
  }

  // Written as a maximum then a minimum (maxsd, minsd: no branch), no number giving 0.01.
  static double clampCutoff(double c)
  {
    const double atLeast = c > 0.01 ? c : 0.01;
    return atLeast < 0.99 ? atLeast : 0.99;
  }
  // The clamped cutoff keeps the divisor at 0.01 or more.
  static double feedbackFor(double resonance, double calculatedCutoff)
  {
    return resonance + resonance / (1.0 - calculatedCutoff);
  }
  // Every setting passes here, so the clamped cutoff is kept for process() too.
  void calculateFeedbackAmount()
  {
    calculatedCutoff = getCalculatedCutoff();
    feedbackAmount = feedbackFor(resonance, calculatedCutoff);
  }
  void clearStates() { buf0 = buf1 = buf2 = buf3 = 0.0; }

  double cutoff;
  double resonance;
  FilterMode mode;
  double feedbackAmount;
  double buf0;
  double buf1;
  double buf2;
  double buf3;
  double cutoffMod;
  double calculatedCutoff;  // getCalculatedCutoff() as of the last setting
};
