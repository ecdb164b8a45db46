#pragma once
// The two channels' filters, run in lockstep: one StereoSample holds the same stage of both.
//
// Why: the plug-in's left and right filters always share cutoff, resonance, mode and modulation;
// only their inputs and states differ. Packed arithmetic computes exactly what each filter's
// process() computes (the same operations in the same order, each lane rounded on its own) with
// half the instructions, the shared clamped cutoff and feedback are computed once per sample
// instead of once per channel, and the states stay in registers for as long as the pair lives.
//
// Careful: a FilterPair works on copies of the states; store() writes them back, with the last
// modulation, as if it had been set on each filter. It needs filters with the same settings; the
// run over arrays (process) takes any pair and runs one whose settings differ sample by sample
// through each filter's own setCutoffMod() and process(). A lane that leaves the finite range
// clears its own states and outputs 0, as process() does.

#include "effect/dsp/Filter.h"
#include "effect/dsp/StereoSample.h"

#include <cmath>

class FilterPair
{
public:
  // What one modulation makes of the shared settings.
  struct Coefficients
  {
    double cutoff;  // clamped
    double feedback;
  };

  // Takes both filters' states and the settings they share.
  FilterPair(const Filter& left, const Filter& right)
    : b0(left.buf0, right.buf0)
    , b1(left.buf1, right.buf1)
    , b2(left.buf2, right.buf2)
    , b3(left.buf3, right.buf3)
    , mode(left.mode)
    , cutoff(left.cutoff)
    , resonance(left.resonance)
    , cutoffMod(left.cutoffMod)
  {}

  static bool sharesSettings(const Filter& left, const Filter& right)
  {
    return left.cutoff == right.cutoff && left.resonance == right.resonance &&
           left.mode == right.mode;
  }

  // What setCutoffMod() computes, once for both: the modulation is kept (unless it is not a
  // number), the sum clamped.
  Coefficients modulate(double newCutoffMod)
  {
    if (std::isfinite(newCutoffMod))
      cutoffMod = newCutoffMod;
    const double calculatedCutoff = Filter::clampCutoff(cutoff + cutoffMod);
    return {calculatedCutoff, Filter::feedbackFor(resonance, calculatedCutoff)};
  }

  // One sample of each channel, as Filter::process() computes it.
  StereoSample process(const Coefficients& k, StereoSample input)
  {
    const StereoSample c = StereoSample::both(k.cutoff);
    b0 += c * (input - b0 + k.feedback * (b0 - b1));
    if (b0.anyBeyond(Filter::kStateLimit))  // rare: a branch keeps it off the states' chain
      b0 = b0.limited(Filter::kStateLimit);
    b1 += c * (b0 - b1);
    b2 += c * (b1 - b2);
    b3 += c * (b2 - b3);

    StereoSample output;
    switch (mode)
    {
      case Filter::FILTER_MODE_LOWPASS:
        output = b1;
        break;
      case Filter::FILTER_MODE_HIGHPASS:
        output = input - b3;
        break;
      case Filter::FILTER_MODE_BANDPASS:
        output = b0 - b3;
        break;
      default:
        output = StereoSample::both(0.0);
        break;
    }

    // x - x is 0 exactly when x is finite: a lane whose last stage or output is not finite holds
    // no number here, and clears its states and outputs 0.
    const StereoSample probe = (b3 - b3) + (output - output);
    if (probe.anyNaN())
    {
      b0 = b0.zeroWhereNaN(probe);
      b1 = b1.zeroWhereNaN(probe);
      b2 = b2.zeroWhereNaN(probe);
      b3 = b3.zeroWhereNaN(probe);
      output = output.zeroWhereNaN(probe);
    }
    return output;
  }

  // Writes the states and the last modulation back into both filters.
  void store(Filter& left, Filter& right) const
  {
    left.setCutoffMod(cutoffMod);
    right.setCutoffModFrom(left);
    left.buf0 = b0.left();
    right.buf0 = b0.right();
    left.buf1 = b1.left();
    right.buf1 = b1.right();
    left.buf2 = b2.left();
    right.buf2 = b2.right();
    left.buf3 = b3.left();
    right.buf3 = b3.right();
  }

  // For each of n samples: both filters take cutoffMods[i], then filter inL[i] and inR[i] into
  // outL[i] and outR[i].
  static void process(Filter& left, Filter& right, const double* cutoffMods, const double* inL,
                      const double* inR, double* outL, double* outR, int n)
  {
    if (sharesSettings(left, right))
    {
      FilterPair pair(left, right);
      for (int i = 0; i < n; ++i)
        pair.process(pair.modulate(cutoffMods[i]), StereoSample(inL[i], inR[i]))
          .store(outL + i, outR + i);
      pair.store(left, right);
      return;
    }
    for (int i = 0; i < n; ++i)
    {
      left.setCutoffMod(cutoffMods[i]);
      right.setCutoffMod(cutoffMods[i]);
      outL[i] = left.process(inL[i]);
      outR[i] = right.process(inR[i]);
    }
  }

private:
  StereoSample b0, b1, b2, b3;
  Filter::FilterMode mode;
  double cutoff;
  double resonance;
  double cutoffMod;
};
