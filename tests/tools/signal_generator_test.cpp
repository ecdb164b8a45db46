// Test signals: rendering in pieces gives the same samples as rendering at once (scripts process
// in pieces), and each kind has the shape its name promises.

#include <gtest/gtest.h>

#include <cmath>

#include "tools/vsthost/signal_generator.h"

using namespace vsthost;

namespace {

SignalSpec spec(const char* text)
{
  SignalSpec s;
  EXPECT_TRUE(parseSignalSpec(text, &s)) << text;
  return s;
}

}  // namespace

TEST(HostSignalGenerator, PiecesEqualTheWhole)
{
  for (const char* text : {"silence", "impulse:0.7", "dc:0.5", "sine:997:0.5", "noise:0.3:5"})
  {
    SCOPED_TRACE(text);
    const SignalSpec s = spec(text);
    AudioBuffer whole(2, 1000);
    generateSignal(s, 44100.0, 0, &whole);
    size_t at = 0;
    for (size_t piece : {1u, 332u, 667u})
    {
      AudioBuffer part(2, piece);
      generateSignal(s, 44100.0, at, &part);
      for (int c = 0; c < 2; ++c)
        for (size_t i = 0; i < piece; ++i)
          ASSERT_EQ(part.channel(c)[i], whole.channel(c)[at + i]) << at + i;
      at += piece;
    }
  }
}

TEST(HostSignalGenerator, EachKindHasItsShape)
{
  AudioBuffer b(2, 4800);
  const double rate = 48000.0;

  generateSignal(spec("impulse:0.7"), rate, 0, &b);
  for (int c = 0; c < 2; ++c)
  {
    EXPECT_EQ(b.channel(c)[0], 0.7);
    for (size_t i = 1; i < b.frames(); ++i)
      ASSERT_EQ(b.channel(c)[i], 0.0);
  }

  generateSignal(spec("dc:-0.25"), rate, 0, &b);
  for (int c = 0; c < 2; ++c)
    for (size_t i = 0; i < b.frames(); ++i)
      ASSERT_EQ(b.channel(c)[i], -0.25);

  // A quarter of the sample rate: 0, A, 0, -A, ...
  generateSignal(spec("sine:12000:0.5"), rate, 0, &b);
  const double quarter[4] = {0.0, 0.5, 0.0, -0.5};
  for (size_t i = 0; i < b.frames(); ++i)
    ASSERT_NEAR(b.channel(1)[i], quarter[i % 4], 1e-12) << i;
  // Far into a render the phase is still exact.
  AudioBuffer late(1, 4);
  generateSignal(spec("sine:12000:0.5"), rate, 4000000000ull, &late);
  for (size_t i = 0; i < 4; ++i)
    EXPECT_NEAR(late.channel(0)[i], quarter[i % 4], 1e-9);

  generateSignal(spec("noise:0.25:3"), rate, 0, &b);
  double sum = 0.0, peak = 0.0;
  size_t same = 0;
  for (size_t i = 0; i < b.frames(); ++i)
  {
    sum += b.channel(0)[i];
    peak = std::max(peak, std::fabs(b.channel(0)[i]));
    same += b.channel(0)[i] == b.channel(1)[i];
  }
  EXPECT_LE(peak, 0.25);
  EXPECT_GT(peak, 0.24);
  EXPECT_NEAR(sum / static_cast<double>(b.frames()), 0.0, 0.01);
  EXPECT_EQ(same, 0u);  // channels draw from streams of their own

  AudioBuffer other(2, 4800);
  generateSignal(spec("noise:0.25:4"), rate, 0, &other);
  EXPECT_NE(other.channel(0)[10], b.channel(0)[10]);  // another seed, another stream
}
