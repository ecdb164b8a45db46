#include "effect/dsp/Filter.h"
#include "effect/dsp/FilterPair.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

using cplx = std::complex<double>;
const Filter::FilterMode kModes[] = {Filter::FILTER_MODE_LOWPASS, Filter::FILTER_MODE_HIGHPASS,
                                     Filter::FILTER_MODE_BANDPASS};

// At z = e^{jw}: each later stage is H1 = c / (1 - (1 - c) z^-1); the first, fed back from the
// first two, is H0 = c / (1 - (1 - c + c f) z^-1 + c f z^-1 H1).
cplx transfer(Filter::FilterMode mode, double c, double f, double w)
{
  const cplx zi = std::polar(1.0, -w);
  const cplx h1 = c / (1.0 - (1.0 - c) * zi);
  const cplx h0 = c / (1.0 - (1.0 - c + c * f) * zi + c * f * zi * h1);
  const cplx h4 = h0 * h1 * h1 * h1;
  return mode == Filter::FILTER_MODE_LOWPASS    ? h0 * h1
         : mode == Filter::FILTER_MODE_HIGHPASS ? 1.0 - h4
                                                : h0 - h4;
}

Filter makeFilter(int mode, double cutoff, double resonance, double mod = 0.0)
{
  Filter f;
  f.setFilterMode(static_cast<Filter::FilterMode>(mode));
  f.setCutoff(cutoff);
  f.setResonance(resonance);
  f.setCutoffMod(mod);
  return f;
}

// Steady-state gain and phase of a cosine match the transfer function.
TEST(Filter, SteadyStateResponseMatchesTransferFunction)
{
  const int kSettle = 16384, kWindow = 1024;
  for (Filter::FilterMode mode : kModes)
    for (double c : {0.05, 0.2, 0.5, 0.9, 0.99})
      for (double r : {0.0, 0.3, 0.7, 0.9})
        for (int k : {3, 40, 200, 480})  // cycles per window
        {
          Filter f = makeFilter(mode, c, r);
          const double w = 2.0 * 3.141592653589793 * k / kWindow;
          cplx measured = 0.0;  // whole cycles: the 2w image sums to 0
          for (int n = 0; n < kSettle + kWindow; ++n)
          {
            const double y = f.process(std::cos(w * n));
            if (n >= kSettle)
              measured += y * std::polar(2.0 / kWindow, -w * n);
          }
          const cplx expected = transfer(mode, c, r + r / (1.0 - c), w);
          EXPECT_LT(std::abs(measured - expected), 1e-9 * (1.0 + std::abs(expected)))
            << "mode " << mode << " cutoff " << c << " res " << r << " bin " << k;
        }
}

TEST(Filter, DcGainPerModeWithClampedCutoff)
{
  struct Case
  {
    int mode;
    double cutoff, resonance, mod, gain;
  };
  const Case cases[] = {
    {0, 0.99, 0.0, 0.0, 1.0}, {0, 0.1, 0.8, 0.0, 1.0}, {0, 0.3, 0.5, -5.0, 1.0},  // to 0.01
    {1, 0.5, 0.3, 0.0, 0.0},  {1, 0.9, 0.0, 4.0, 0.0},                            // to 0.99
    {2, 0.2, 0.6, 0.0, 0.0},  {3, 0.5, 0.0, 0.0, 0.0},                            // no such mode
  };
  for (const Case& c : cases)
  {
    Filter f = makeFilter(c.mode, c.cutoff, c.resonance, c.mod);
    double y = 0.0;
    for (int n = 0; n < 20000; ++n)
      y = f.process(0.75);
    EXPECT_NEAR(y, 0.75 * c.gain, 1e-12) << "mode " << c.mode << " cutoff " << c.cutoff;
  }

  // The clamp holds for the feedback too: far beyond 0.99 at resonance 1 is 0.99 (feedback 101).
  Filter pushed = makeFilter(2, 0.9, 1.0, 10.0), clamped = makeFilter(2, 0.99, 1.0);
  for (int n = 0; n < 200; ++n)
    ASSERT_EQ(pushed.process(std::sin(0.3 * n)), clamped.process(std::sin(0.3 * n)));
}

// A non-finite state clears the stages and gives silence for that sample; the filter then runs
// exactly like a fresh one. Non-finite settings are ignored.
TEST(Filter, NonFiniteStateResetsToSilence)
{
  const double inf = std::numeric_limits<double>::infinity();
  for (Filter::FilterMode mode : kModes)
    for (double x : {std::numeric_limits<double>::quiet_NaN(), inf, -inf})
    {
      Filter f = makeFilter(mode, 0.99, 1.0), fresh = makeFilter(mode, 0.99, 1.0);
      for (int n = 0; n < 10; ++n)
        f.process(0.5);
      EXPECT_EQ(f.process(x), 0.0) << "mode " << mode << " input " << x;
      f.setCutoff(x);
      f.setResonance(x);
      f.setCutoffMod(x);
      for (int n = 0; n < 100; ++n)
        ASSERT_EQ(f.process(std::sin(0.1 * n)), fresh.process(std::sin(0.1 * n)));
    }
}

// Random settings (often unstable) and inputs up to 1e300: never a non-finite output.
TEST(Filter, RandomFiniteInputNeverGivesNonFiniteOutput)
{
  std::mt19937 rng(42);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  int resets = 0;
  for (int trial = 0; trial < 200; ++trial)
  {
    Filter f = makeFilter(trial % 3, 1.5 * unit(rng), 1.5 + unit(rng));
    const double scale = (trial % 4 == 0) ? 1e300 : 1.0;
    for (int n = 0; n < 5000; ++n)
    {
      if (n % 100 == 0)
        f.setCutoffMod(unit(rng));
      const double y = f.process(scale * unit(rng));
      ASSERT_TRUE(std::isfinite(y)) << "trial " << trial << " sample " << n;
      resets += (y == 0.0);
    }
  }
  EXPECT_GT(resets, 0);  // the unstable ones did overflow and restart
}

// Near and at full resonance a cutoff moving every few samples (a fast LFO, envelope steps) pumps
// the filter up without bound: the first stage is held at 64 times full scale (36 dB), so the
// output stays finite and within it (band-pass: two stages apart) and the filter plays on instead
// of restarting.
TEST(Filter, ModulatedFullResonanceStaysWithinTheStateLimit)
{
  const double limit = 64.0;  // 36 dB above full scale
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> unit(-0.5, 0.5);
  for (Filter::FilterMode mode : {Filter::FILTER_MODE_LOWPASS, Filter::FILTER_MODE_BANDPASS})
    for (double r : {0.99, 1.0})
      for (int period : {4, 16, 64})
      {
        Filter f = makeFilter(mode, 0.74, r);
        double loudest = 0.0;
        int zeros = 0;
        for (int n = 0; n < 20000; ++n)
        {
          f.setCutoffMod(0.56 * std::sin(2.0 * 3.141592653589793 * n / period));
          const double y = f.process(unit(rng));
          loudest = std::fmax(loudest, std::fabs(y));
          zeros += (y == 0.0);
        }
        SCOPED_TRACE(testing::Message() << "mode " << mode << " res " << r << " period " << period);
        EXPECT_LE(loudest, mode == Filter::FILTER_MODE_BANDPASS ? 2 * limit : limit);
        if (mode == Filter::FILTER_MODE_LOWPASS)
        {
          EXPECT_GT(loudest, limit / 2);  // it did run away: the limit held it
        }
        EXPECT_EQ(zeros, 0);
      }
}

// A pair run in lockstep gives, bit for bit, what its two filters give run one by one: in every
// mode (an unknown one included), with settings that differ (no lockstep then), with modulations
// that are not numbers (ignored), through infinite inputs that reset one channel while the other
// plays on, at the state limit, and in runs of any length; afterwards both filters carry on alike.
TEST(Filter, PairMatchesTheFiltersRunOneByOne)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double kInf = std::numeric_limits<double>::infinity();
  struct Case
  {
    const char* what;
    int mode;
    double cutoff, resonance, rightResonance, leftScale, rightScale;
    bool nanMods;
    bool zerosL, zerosR;  // outputs of exactly 0 come: resets, or the silent mode
  };
  const Case cases[] = {
    {"low-pass", 0, 0.3, 0.5, 0.5, 1.0, 0.7, false, false, false},
    {"high-pass", 1, 0.6, 0.9, 0.9, 1.0, -1.3, false, false, false},
    {"band-pass", 2, 0.05, 0.2, 0.2, 1.0, 0.5, false, false, false},
    {"no such mode", 3, 0.5, 0.5, 0.5, 1.0, 1.0, false, true, true},
    {"right channel fed infinities alone", 1, 0.99, 1.0, 1.0, 1.0, kInf, false, false, true},
    {"both fed infinities", 2, 0.99, 1.0, 1.0, kInf, -kInf, false, true, true},
    {"both held at the state limit", 0, 0.99, 1.0, 1.0, 1e300, -1e300, false, false, false},
    {"modulations not numbers", 0, 0.4, 0.7, 0.7, 1.0, 0.9, true, false, false},
    {"settings differ", 0, 0.4, 0.7, 0.2, 1.0, 0.9, false, false, false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    Filter pairL = makeFilter(c.mode, c.cutoff, c.resonance);
    Filter pairR = makeFilter(c.mode, c.cutoff, c.rightResonance);
    Filter soloL = pairL, soloR = pairR;
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    int zerosL = 0, zerosR = 0;
    for (int n : {1, 64, 3, 500, 0, 200})
    {
      std::vector<double> mods(n), inL(n), inR(n), outL(n), outR(n);
      for (int i = 0; i < n; ++i)
      {
        mods[i] = (c.nanMods && i % 3 == 0) ? nan : 0.6 * unit(rng);
        inL[i] = c.leftScale * unit(rng);
        inR[i] = c.rightScale * unit(rng);
      }
      FilterPair::process(pairL, pairR, mods.data(), inL.data(), inR.data(), outL.data(),
                          outR.data(), n);
      for (int i = 0; i < n; ++i)
      {
        soloL.setCutoffMod(mods[i]);
        soloR.setCutoffMod(mods[i]);
        const double l = soloL.process(inL[i]), r = soloR.process(inR[i]);
        ASSERT_EQ(std::memcmp(&outL[i], &l, sizeof l), 0) << "left, sample " << i << " of " << n;
        ASSERT_EQ(std::memcmp(&outR[i], &r, sizeof r), 0) << "right, sample " << i << " of " << n;
        zerosL += (l == 0.0);
        zerosR += (r == 0.0);
      }
    }
    EXPECT_EQ(zerosL > 0, c.zerosL);
    EXPECT_EQ(zerosR > 0, c.zerosR);
    for (int i = 0; i < 100; ++i)
    {
      ASSERT_EQ(pairL.process(0.25), soloL.process(0.25));
      ASSERT_EQ(pairR.process(-0.5), soloR.process(-0.5));
    }
  }
}

}  // namespace
