#include "effect/dsp/Oscillator.h"
#include "effect/dsp/Sine.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
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

// The sine in the default rounding, whatever the current mode.
double sineNearest(double x)
{
  const int saved = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double s = sine(x);
  std::fesetround(saved);
  return s;
}

// Distance of x from ref in units of ref's last place.
double ulps(double x, double ref)
{
  const double a = std::fabs(ref);
  return std::fabs(x - ref) / (std::nextafter(a, 2.0 * a + 1.0) - a);
}

// The engine's own sine stays within one unit in the last place: against correctly rounded
// values (next to the multiples of pi / 2, where the reduction loses most, in the oscillator's
// phase range and beyond it, negative too), and against the library's sine over a sweep of phases
// where neither is near a zero. Arguments too large to reduce, and infinities and NaN, give what
// the library gives.
TEST(Oscillator, SineIsWithinAnUlp)
{
  const double kReference[][2] = {
    {1.5707963267948963, 1.0},
    {1.5707963267948966, 1.0},
    {3.1415926535897927, 5.66553889764798e-16},
    {3.141592653589793, 1.2246467991473532e-16},
    {3.1415926535897936, -3.216245299353273e-16},
    {4.71238898038469, -1.0},
    {6.283185307179585, -1.133107779529596e-15},
    {6.283185307179586, -2.4492935982947064e-16},
    {6.283185307179587, 6.432490598706546e-16},
    {1e-300, 1e-300},
    {9.313225746154785e-10, 9.313225746154785e-10},
    {0.5, 0.479425538604203},
    {0.7853981633974483, 0.7071067811865475},
    {2.356194490192345, 0.7071067811865476},
    {3.0, 0.1411200080598672},
    {6.0, -0.27941549819892586},
    {-2.5, -0.5984721441039565},
    {1234.5678, 0.07803344920002027},
    {100000.1, -0.06419940098945935},
    {1600000.0, -0.5414010921983009},
  };
  for (const auto& r : kReference)
  {
    EXPECT_LE(ulps(sine(r[0]), r[1]), 1.0) << "sin(" << r[0] << ")";
    EXPECT_EQ(sine(-r[0]), -sine(r[0])) << "sin(" << -r[0] << ")";
  }
  EXPECT_EQ(sine(0.0), 0.0);

  const double step = 0.000123456789;
  for (double x = 0.0; x < 8.0; x += step)
  {
    const double ref = std::sin(x);
    if (std::fabs(ref) > 0.01)
    {
      ASSERT_LE(ulps(sine(x), ref), 1.0) << "sin(" << x << ")";
    }
  }

  // A host may run in another rounding mode: the sine stays within a few units.
  for (int mode : {FE_DOWNWARD, FE_UPWARD, FE_TOWARDZERO})
  {
    const int saved = std::fegetround();
    std::fesetround(mode);
    double worst = 0.0;
    for (double x = 0.001; x < 7.0; x += 0.0123)
      worst = std::fmax(worst, ulps(sine(x), sineNearest(x)));
    std::fesetround(saved);
    EXPECT_LE(worst, 4.0) << "rounding mode " << mode;
  }

  for (double arg : {1e7, -3e9, 1e300})
  {
    volatile double x = arg;  // both at run time, from the same library
    EXPECT_EQ(sine(x), std::sin(x)) << arg;
  }
  for (double x :
       {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
    EXPECT_TRUE(std::isnan(sine(x)));
}

// The bulk forms give nextSample()'s values bit for bit and leave the oscillator where
// nextSample() would: every shape, a phase-only mode, muted, slow and fast (wrapping every few
// samples, or every sample), in chunks of every parity.
TEST(Oscillator, BulkAndStepFormsGiveNextSamplesValues)
{
  const int modes[] = {OSCILLATOR_MODE_SAW, OSCILLATOR_MODE_SQUARE, OSCILLATOR_MODE_SINE,
                       kNumOscillatorModes, -1 /* muted sine */};
  const int chunks[] = {1, 2, 3, 7, 64, 5, 0, 33};
  for (int mode : modes)
    for (double f : {6.0, 15000.0, 44100.0})
    {
      SCOPED_TRACE(testing::Message() << "mode " << mode << ", " << f << " Hz");
      Oscillator plain = makeLfo(mode < 0 ? OSCILLATOR_MODE_SINE : mode, 44100.0, f);
      plain.setMuted(mode < 0);
      Oscillator bulk = plain;
      double values[64];
      for (int round = 0; round < 40; ++round)
      {
        const int n = chunks[round % 8];
        bulk.nextSamples(values, n);
        for (int i = 0; i < n; ++i)
        {
          const double v = plain.nextSample();
          ASSERT_EQ(std::memcmp(&v, &values[i], sizeof v), 0) << "round " << round << ", " << i;
        }
        if (!bulk.computesSine())
        {
          const double v = plain.nextSample(), w = bulk.nextSampleNotSine();
          ASSERT_EQ(std::memcmp(&v, &w, sizeof v), 0) << "round " << round;
        }
      }
    }
}

// Two sines side by side are the two sines: neighbouring phases (sharing or straddling a
// quadrant, next to multiples of pi / 2), negative, huge and non-finite arguments, random bits,
// in every rounding mode.
TEST(Oscillator, SinePairIsTheSineOfEachLane)
{
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> phase(0.0, 6.5);
  const double special[] = {0.0,
                            -0.0,
                            1e-300,
                            -2.5,
                            1.6e6,
                            1e7,
                            1e300,
                            std::numeric_limits<double>::infinity(),
                            std::numeric_limits<double>::quiet_NaN()};
  for (int mode : {FE_TONEAREST, FE_DOWNWARD, FE_UPWARD, FE_TOWARDZERO})
  {
    const int saved = std::fegetround();
    std::fesetround(mode);
    for (int k = 0; k < 100000; ++k)
    {
      double a = phase(rng), b = a + 0.001 * phase(rng);
      if (k % 4 == 1)
        a = (double)(rng() % 5) * 1.5707963267948966 + (double)((int)(rng() % 201) - 100) * 1e-7;
      if (k % 4 == 2)
        b = special[rng() % 9];
      if (k % 4 == 3)
      {
        const uint64_t bits = rng();
        std::memcpy(&a, &bits, sizeof a);
      }
      double l, r;
      sinePair(StereoSample(a, b)).store(&l, &r);
      const double el = sine(a), er = sine(b);
      ASSERT_TRUE(std::memcmp(&l, &el, sizeof l) == 0 || (std::isnan(l) && std::isnan(el))) << a;
      ASSERT_TRUE(std::memcmp(&r, &er, sizeof r) == 0 || (std::isnan(r) && std::isnan(er))) << b;
    }
    std::fesetround(saved);
  }
}

// Ascending arguments side by side are the sine of each, bit for bit, whether they share a kernel
// or not: runs starting at, just before and just after each multiple of pi / 8 up to a cycle and a
// half (quadrant edges, multiples of pi / 2 and between), with steps from a few last bits to past
// a quadrant, in every rounding mode. Each quadrant's kernel is shared at least once, and runs
// across an edge or a multiple are not.
TEST(Oscillator, AscendingSinesAreTheSineOfEachArgument)
{
  const double steps[] = {1e-15, 1e-9, 3e-6, 1e-4, 0.02, 0.4};
  const double offsets[] = {-3e-5, -1e-12, 0.0, 1e-12, 3e-5};
  int shared[4] = {}, notShared = 0;
  for (int mode : {FE_TONEAREST, FE_DOWNWARD, FE_UPWARD, FE_TOWARDZERO})
  {
    const int saved = std::fegetround();
    std::fesetround(mode);
    for (int k = 0; k <= 24; ++k)
      for (double offset : offsets)
        for (double step : steps)
        {
          const double start = std::fmax(0.0, k * 0.39269908169872414 + offset - 4 * step);
          double a[kAscendingSines];
          for (int i = 0; i < kAscendingSines; ++i)
            a[i] = start + i * step;
          double out[kAscendingSines], wide[kAscendingSines];
          const bool isShared = ascendingSines<StereoSample>(a, out);
          ASSERT_EQ(ascendingSines<FourDoubles>(a, wide), isShared);
          if (!isShared)
          {
            ++notShared;
            continue;
          }
          ++shared[(int)(start * 0.6366197723675814 + 0.5) & 3];
          for (int i = 0; i < kAscendingSines; ++i)
          {
            const double expected = sine(a[i]);
            ASSERT_EQ(std::memcmp(&out[i], &expected, sizeof expected), 0)
              << "mode " << mode << ", " << a[i] << " in a run from " << start << " by " << step;
            ASSERT_EQ(std::memcmp(&wide[i], &expected, sizeof expected), 0)
              << "four at a time, mode " << mode << ", " << a[i] << " from " << start;
          }
        }
    std::fesetround(saved);
  }
  for (int q = 0; q < 4; ++q)
    EXPECT_GT(shared[q], 0) << "quadrant " << q;
  EXPECT_GT(notShared, 0);
}
}  // namespace
