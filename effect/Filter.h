#pragma once
// Four-stage one-pole cascade with resonance feedback, for one channel, one sample at a time.
//
// The cutoff is a normalised coefficient (0.01 .. 0.99), not a frequency; the modulation is added
// to it and the sum clamped before use. Low-pass taps the second stage, high-pass and band-pass
// subtract the fourth. At high resonance the feedback can drive the states beyond any finite
// value; the filter then clears its states and outputs silence for that sample rather than
// holding inf or NaN for ever.

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

  double process(double input);

  // Each stores the value, then recomputes the feedback. Non-finite values are ignored.
  void setCutoff(double newCutoff);
  void setResonance(double newResonance);
  void setCutoffMod(double newCutoffMod);

  // Any mode outside the three outputs silence.
  void setFilterMode(FilterMode newMode) { mode = newMode; }

  // cutoff + cutoffMod, clamped to 0.01 .. 0.99.
  double getCalculatedCutoff() const;

private:
  void calculateFeedbackAmount();
  void clearStates();

  double cutoff;
  double resonance;
  FilterMode mode;
  double feedbackAmount;
  double buf0;
  double buf1;
  double buf2;
  double buf3;
  double cutoffMod;
};
