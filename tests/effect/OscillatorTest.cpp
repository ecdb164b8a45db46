#include "effect/Oscillator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

Oscillator makeLfo(int mode, double rate, double frequency)
{
  Oscillator o;
  o.setMode(static_cast<OscillatorMode>(mode));
  o.setSampleRate(rate);
  o.setFrequency(frequency);
  o.setMuted(false);
  return o;
}

// Samples where the output rises through 0: the (smoothed) jump of saw and square at the wrap, the
// wrap itself for the sine.
std::vector<long> risingCrossings(Oscillator& o, long samples)
{
  std::vector<long> at;
  double prev = o.nextSample();
  for (long n = 1; n < samples; ++n)
  {
    const double y = o.nextSample();
    if (prev < 0.0 && y >= 0.0)
      at.push_back(n);
    prev = y;
  }
  return at;
}

TEST(Oscillator, PeriodFollowsFrequencyAndSampleRate)
{
  for (int mode : {OSCILLATOR_MODE_SAW, OSCILLATOR_MODE_SQUARE, OSCILLATOR_MODE_SINE})
    for (double rate : {44100.0, 48000.0, 96000.0})
      for (double f : {2.0, 6.0, 7.0, 48.0})
      {
        Oscillator o = makeLfo(mode, 22050.0, f);
        o.setSampleRate(rate);  // the frequency stays, the step follows
        const double period = rate / f;
        const auto at = risingCrossings(o, (long)(period * 7));
        ASSERT_GE(at.size(), 6u);
        EXPECT_NEAR((double)(at[5] - at[0]), 5 * period, 1.0) << mode << " " << rate << " " << f;
      }
}

// Saw and square approach a step from 0 as 1 - 0.99^n, computed in single precision.
TEST(Oscillator, SmootherApproachesStepAsOnePole)
{
  for (int mode : {OSCILLATOR_MODE_SAW, OSCILLATOR_MODE_SQUARE, kNumOscillatorModes})
  {
    CParamSmooth s;
    Oscillator o = makeLfo(mode, 44100.0, 0.0);  // phase 0: both shapes give +1
    for (int n = 1; n <= 2000; ++n)
    {
      const double y = (mode == kNumOscillatorModes) ? s.Process(-0.5f) : o.nextSample();
      const double step = (mode == kNumOscillatorModes) ? -0.5 : 1.0;
      ASSERT_NEAR(y, step * (1.0 - std::pow((double)0.99f, n)), 1e-5) << mode << " n " << n;
      ASSERT_EQ(y, (double)(float)y);
    }
  }
}

// Muting outputs 0 and holds the phase. Frequencies that are not finite, negative or beyond one
// cycle per sample, and rates that are not positive, are ignored.
TEST(Oscillator, MutingAndIgnoredSettingsKeepThePhase)
{
  const double inf = std::numeric_limits<double>::infinity();
  for (double bad : {std::numeric_limits<double>::quiet_NaN(), inf, -inf, -6.0, 44100.5, 0.0})
  {
    Oscillator o = makeLfo(OSCILLATOR_MODE_SINE, 44100.0, 6.0);
    Oscillator reference = makeLfo(OSCILLATOR_MODE_SINE, 44100.0, 6.0);
    for (int n = 0; n < 100; ++n)
      o.nextSample(), reference.nextSample();
    o.setMuted(true);
    for (int n = 0; n < 100; ++n)
      ASSERT_EQ(o.nextSample(), 0.0);
    o.setMuted(false);
    if (bad != 0.0)
      o.setFrequency(bad);
    o.setSampleRate(bad > 0.0 ? -bad : bad);
    for (int n = 0; n < 1000; ++n)
      ASSERT_EQ(o.nextSample(), reference.nextSample()) << "setting " << bad;
  }
}

// A rate lowered far below the frequency (up to an infinite step) neither hangs the phase wrap nor
// yields non-finite values.
TEST(Oscillator, HugeStepsStayFinite)
{
  for (double rate : {1.0, 1e-9, 1e-300})
    for (int mode = 0; mode < 3; ++mode)
    {
      Oscillator o = makeLfo(mode, 1e300, 1e300);
      o.setSampleRate(rate);
      for (int n = 0; n < 1000; ++n)
        ASSERT_TRUE(std::isfinite(o.nextSample())) << "rate " << rate << " mode " << mode;
    }
}

}  // namespace
