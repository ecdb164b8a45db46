#pragma once
// The two channels' filters, run in lockstep over a run of samples: one register holds the same
// stage of both.
//
// Why: the plug-in's left and right filters always share cutoff, resonance, mode and modulation;
// only their inputs and states differ. Packed double arithmetic computes exactly what each
// filter's process() computes (the same operations in the same order, each lane rounded on its
// own) with half the instructions, the shared clamped cutoff and feedback are computed once per
// sample instead of once per channel, and the states stay in registers for the whole run.
//
// Careful: a pair whose settings differ runs sample by sample through each filter's own
// setCutoffMod() and process(). A lane that leaves the finite range clears its own filter and
// outputs 0, as process() does. After the run both filters hold the last modulation, as if it had
// been set on each.

#include "effect/Filter.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QV_FILTER_PAIR_SSE2 1
#else
#define QV_FILTER_PAIR_SSE2 0
#endif

class FilterPair
{
public:
  // For each of n samples: both filters take cutoffMods[i], then filter inL[i] and inR[i] into
  // outL[i] and outR[i].
  static void process(Filter& left, Filter& right, const double* cutoffMods, const double* inL,
                      const double* inR, double* outL, double* outR, int n)
  {
#if QV_FILTER_PAIR_SSE2
    if (left.cutoff == right.cutoff && left.resonance == right.resonance && left.mode == right.mode)
    {
      processPacked(left, right, cutoffMods, inL, inR, outL, outR, n);
      return;
    }
#endif
    for (int i = 0; i < n; ++i)
    {
      left.setCutoffMod(cutoffMods[i]);
      right.setCutoffMod(cutoffMods[i]);
      outL[i] = left.process(inL[i]);
      outR[i] = right.process(inR[i]);
    }
  }

private:
#if QV_FILTER_PAIR_SSE2
  // Lane 0 is the left channel, lane 1 the right.
  static void processPacked(Filter& left, Filter& right, const double* cutoffMods,
                            const double* inL, const double* inR, double* outL, double* outR, int n)
  {
    __m128d b0 = _mm_set_pd(right.buf0, left.buf0);
    __m128d b1 = _mm_set_pd(right.buf1, left.buf1);
    __m128d b2 = _mm_set_pd(right.buf2, left.buf2);
    __m128d b3 = _mm_set_pd(right.buf3, left.buf3);
    const Filter::FilterMode mode = left.mode;
    const double cutoff = left.cutoff;
    const double resonance = left.resonance;
    double cutoffMod = left.cutoffMod;

    for (int i = 0; i < n; ++i)
    {
      // What setCutoffMod() computes, once for both.
      if (std::isfinite(cutoffMods[i]))
        cutoffMod = cutoffMods[i];
      const double calculatedCutoff = Filter::clampCutoff(cutoff + cutoffMod);
      const __m128d c = _mm_set1_pd(calculatedCutoff);
      const __m128d feedback = _mm_set1_pd(Filter::feedbackFor(resonance, calculatedCutoff));
      const __m128d input = _mm_set_pd(inR[i], inL[i]);

      b0 = _mm_add_pd(b0, _mm_mul_pd(c, _mm_add_pd(_mm_sub_pd(input, b0),
                                                   _mm_mul_pd(feedback, _mm_sub_pd(b0, b1)))));
      b1 = _mm_add_pd(b1, _mm_mul_pd(c, _mm_sub_pd(b0, b1)));
      b2 = _mm_add_pd(b2, _mm_mul_pd(c, _mm_sub_pd(b1, b2)));
      b3 = _mm_add_pd(b3, _mm_mul_pd(c, _mm_sub_pd(b2, b3)));

      __m128d output;
      switch (mode)
      {
        case Filter::FILTER_MODE_LOWPASS:
          output = b1;
          break;
        case Filter::FILTER_MODE_HIGHPASS:
          output = _mm_sub_pd(input, b3);
          break;
        case Filter::FILTER_MODE_BANDPASS:
          output = _mm_sub_pd(b0, b3);
          break;
        default:
          output = _mm_setzero_pd();
          break;
      }

      // x - x is a number (zero) exactly when x is finite. A lane whose last stage or output is
      // not clears its states and outputs 0.
      const __m128d probe = _mm_add_pd(_mm_sub_pd(b3, b3), _mm_sub_pd(output, output));
      const __m128d nonFinite = _mm_cmpunord_pd(probe, probe);
      if (_mm_movemask_pd(nonFinite) != 0)
      {
        b0 = _mm_andnot_pd(nonFinite, b0);
        b1 = _mm_andnot_pd(nonFinite, b1);
        b2 = _mm_andnot_pd(nonFinite, b2);
        b3 = _mm_andnot_pd(nonFinite, b3);
        output = _mm_andnot_pd(nonFinite, output);
      }
      _mm_storel_pd(outL + i, output);
      _mm_storeh_pd(outR + i, output);
    }

    left.setCutoffMod(cutoffMod);
    right.setCutoffModFrom(left);
    _mm_storel_pd(&left.buf0, b0);
    _mm_storeh_pd(&right.buf0, b0);
    _mm_storel_pd(&left.buf1, b1);
    _mm_storeh_pd(&right.buf1, b1);
    _mm_storel_pd(&left.buf2, b2);
    _mm_storeh_pd(&right.buf2, b2);
    _mm_storel_pd(&left.buf3, b3);
    _mm_storeh_pd(&right.buf3, b3);
  }
#endif
};
