#include "effect/dsp/EnvelopeGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

using Env = EnvelopeGenerator;
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// Samples produced in `stage` from now on; *last is the last of them.
unsigned long long runStage(Env& env, Env::EnvelopeStage stage, double* last)
{
  for (unsigned long long n = 0;; ++n)
  {
    const double level = env.nextSample();
    if (env.getCurrentStage() != stage)
      return n;
    *last = level;
  }
}

// The level after n samples of the segment's constant factor.
double segmentEnd(double start, double end, unsigned long long n)
{
  return start * std::pow(1.0 + (std::log(end) - std::log(start)) / (double)n, (double)n);
}

TEST(EnvelopeGenerator, StagesRunTheirLengthAtTheHostRate)
{
  struct Case
  {
    double rate, attack, decay, sustain, release;
  };
  const Case cases[] = {{44100, 0.01, 0.5, 0.1, 1.0},
                        {48000, 0.01, 0.5, 0.1, 1.0},
                        {96000, 0.01, 0.5, 0.1, 1.0},
                        {96000, 2.5, 0.013, 0.7, 0.1}};
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << "rate " << c.rate << " attack " << c.attack);
    Env env;
    env.setSampleRate(c.rate);
    env.setStageValue(Env::ATTACK, c.attack);
    env.setStageValue(Env::DECAY, c.decay);
    env.setStageValue(Env::SUSTAIN, c.sustain);
    env.setStageValue(Env::RELEASE, c.release);
    const auto len = [&](double t) { return (unsigned long long)(t * c.rate); };
    double last = 0.0;
    env.enterStage(Env::ATTACK);
    EXPECT_EQ(runStage(env, Env::ATTACK, &last), len(c.attack));
    EXPECT_NEAR(last, segmentEnd(0.0001, 1.0, len(c.attack)), 1e-9);
    // That sample was the decay's first: 1.0 times the decay factor.
    EXPECT_EQ(runStage(env, Env::DECAY, &last), len(c.decay) - 1);
    EXPECT_NEAR(last, segmentEnd(1.0, c.sustain, len(c.decay)), 1e-9);
    EXPECT_EQ(env.nextSample(), c.sustain);
    env.enterStage(Env::RELEASE);
    EXPECT_EQ(runStage(env, Env::RELEASE, &last), len(c.release));
    EXPECT_NEAR(last, segmentEnd(c.sustain, 0.0001, len(c.release)), 1e-9);
    EXPECT_EQ(env.nextSample(), 0.0);
  }
}

TEST(EnvelopeGenerator, RetriggerAndTimeChangesMidStage)
{
  struct Case
  {
    Env::EnvelopeStage stage;
    int samplesIn;
    double newAttack;
    unsigned long long attack;
  };
  const Case cases[] = {
    {Env::DECAY, 1000, 0.0, 441},  // note-on: the attack restarts in full
    {Env::RELEASE, 300, 0.0, 441},        {Env::ATTACK, 220, 0.0, 441},
    {Env::ATTACK, 220, 0.021, 220 + 464},  // unelapsed 221/441 of 926.1 samples
    {Env::ATTACK, 220, 0.002, 220 + 44},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << "stage " << c.stage << " new attack " << c.newAttack);
    Env env;
    double level = 0.0;
    env.enterStage(Env::ATTACK);
    if (c.stage != Env::ATTACK)
      runStage(env, Env::ATTACK, &level);
    if (c.stage == Env::RELEASE)
      env.enterStage(Env::RELEASE);
    for (int i = 0; i < c.samplesIn; ++i)
      level = env.nextSample();
    ASSERT_EQ(env.getCurrentStage(), c.stage);
    unsigned long long n = c.samplesIn;
    if (c.newAttack == 0.0)
    {
      env.enterStage(Env::ATTACK);
      n = 0;
    }
    else
      env.setStageValue(Env::ATTACK, c.newAttack);
    double last = 0.0;
    EXPECT_EQ(n + runStage(env, Env::ATTACK, &last), c.attack);
    if (c.newAttack != 0.0)
    {
      EXPECT_NEAR(last, segmentEnd(level, 1.0, c.attack - n), 1e-9);
    }
  }
}

// Stages shorter than a sample are passed through, a release from level 0 stays at 0, a fall too
// short for its factor stops at 0, and non-finite settings are ignored.
TEST(EnvelopeGenerator, DegenerateStagesKeepTheLevelFinite)
{
  struct Case
  {
    double attack, decay, sustain;
    std::initializer_list<double> expect;
  };
  const Case cases[] = {
    {0.0, 20.5 / 44100, 0.1, {1.0 + std::log(0.1) / 20}},  // no attack: starts in the decay
    {0.0, 0.0, 0.1, {0.1, 0.1}},
    {1e-6, 1e-9, 0.1, {0.1}},
    {-1.0, -5.0, 0.1, {0.1}},
    {0.0, 2.5 / 44100, 0.1, {0.0, 0.0, 0.1}},  // 1 - ln(10) / 2 < 0
    {kNaN, kInf, kNaN, {}},                    // ignored: the defaults stay
  };
  for (const Case& c : cases)
  {
    Env env;
    env.setStageValue(Env::ATTACK, c.attack);
    env.setStageValue(Env::DECAY, c.decay);
    env.setStageValue(Env::SUSTAIN, c.sustain);
    env.enterStage(Env::ATTACK);
    for (double want : c.expect)
      EXPECT_DOUBLE_EQ(env.nextSample(), want) << "attack " << c.attack << " decay " << c.decay;
    env.setStageValue(Env::SUSTAIN, 0.6);  // moves a held sustain
    for (int i = 0; i < 30000; ++i)
      ASSERT_TRUE(std::isfinite(env.nextSample()));
    EXPECT_EQ(env.nextSample(), 0.6);

    env.setStageValue(Env::RELEASE, 0.001);
    for (int i = 0; i < 2; ++i)  // the second release starts from 0 after a completed one
    {
      env.enterStage(Env::RELEASE);
      for (int s = 0; s < 100; ++s)
      {
        const double y = env.nextSample();
        ASSERT_TRUE(i == 0 || y == 0.0) << "sample " << s;
      }
      ASSERT_EQ(env.nextSample(), 0.0);
    }
  }
}

TEST(EnvelopeGenerator, RandomSettingsNeverGiveNonFiniteLevels)
{
  const double special[] = {0.0, 1e-300, -1.0, 1e300, kInf, -kInf, kNaN, 1.0 / 44100};
  std::mt19937 rng(1234);
  std::uniform_real_distribution<double> seconds(0.0, 0.05);
  std::uniform_int_distribution<int> pick(0, 15);
  Env env;
  for (int i = 0; i < 200000; ++i)
  {
    const int op = pick(rng);
    const double value = (op & 1) ? special[pick(rng) % 8] : seconds(rng);
    const auto stage = static_cast<Env::EnvelopeStage>(pick(rng) % 5);
    if (op < 4)
      env.setStageValue(stage, value);
    else if (op == 4)
      env.enterStage(stage);
    else if (op == 5)
      env.setSampleRate(value * 1e6);
    ASSERT_TRUE(std::isfinite(env.nextSample())) << "step " << i;
  }
}

// A course stepped in a loop gives the envelope's own next samples, bit for bit, for as many
// samples as the stage has left, and the stage ends right after them; the envelope then carries
// on from where the course left it. Random settings reach every stage, zero-length ones too.
TEST(EnvelopeGenerator, CourseStepsAreTheNextSamplesOfTheStage)
{
  std::mt19937 rng(99);
  std::uniform_real_distribution<double> seconds(0.0, 0.004);
  std::uniform_int_distribution<int> pick(0, 63);
  Env plain, stepped;
  for (int i = 0; i < 20000; ++i)
  {
    const int op = pick(rng) % 8;
    const double value = op == 7 ? 0.0 : seconds(rng);
    const auto stage = static_cast<Env::EnvelopeStage>(pick(rng) % 5);
    for (Env* env : {&plain, &stepped})
    {
      if (op < 3)
        env->setStageValue(stage, op == 2 ? value * 100.0 : value);
      else if (op < 5)
        env->enterStage(stage);
    }

    const unsigned long long left = stepped.samplesLeftInStage();
    const int n = (int)std::min<unsigned long long>(left, (unsigned long long)pick(rng));
    Env::Course course = stepped.course();
    for (int k = 0; k < n; ++k)
    {
      const double a = plain.nextSample(), b = course.step();
      ASSERT_EQ(std::memcmp(&a, &b, sizeof a), 0) << "step " << i << ", sample " << k;
    }
    stepped.followed(course, (unsigned long long)n);
    const Env::EnvelopeStage before = plain.getCurrentStage();
    const double a = plain.nextSample(), b = stepped.nextSample();
    ASSERT_EQ(std::memcmp(&a, &b, sizeof a), 0) << "step " << i;
    if ((unsigned long long)n == left && left != Env::kNoStageEnd)
    {
      ASSERT_NE(plain.getCurrentStage(), before) << "step " << i;
    }
  }
}

}  // namespace
