// The host's musical clock: positions, bars, flags, loop wrapping and sample-rate changes.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "tools/vsthost/transport.h"

using namespace vsthost;

TEST(HostTransport, ReportsPositionBarAndFlagsAfterAdvancing)
{
  const int valid =
    kVstNanosValid | kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
  const struct
  {
    const char* what;
    TransportSettings settings;
    double rate;
    int64_t advance;
    double samplePos, ppqPos, barStart;
    int flags;
  } cases[] = {
    {"fresh start reports a change",
     {},
     48000,
     0,
     0,
     0,
     0,
     valid | kVstTransportPlaying | kVstTransportChanged},
    {"two seconds at 120", {}, 48000, 96000, 96000, 4, 4, valid | kVstTransportPlaying},
    {"3/4 bars are three quarters",
     {120, 3, 4},
     44100,
     110250,
     110250,
     5,
     3,
     valid | kVstTransportPlaying},
    {"6/8 bars are three quarters",
     {120, 6, 8},
     44100,
     99225,
     99225,
     4.5,
     3,
     valid | kVstTransportPlaying},
    {"7/8 bars are three and a half",
     {60, 7, 8},
     1000,
     8000,
     8000,
     8,
     7,
     valid | kVstTransportPlaying},
    {"start in quarter notes",
     {90, 4, 4, true, 0, 6},
     48000,
     0,
     192000,
     6,
     4,
     valid | kVstTransportPlaying | kVstTransportChanged},
    {"stopped does not move",
     {120, 4, 4, false, 1000},
     48000,
     5000,
     1000,
     1000.0 / 24000,
     0,
     valid},
    {"a loop is reported while set",
     {120, 4, 4, true, 0, -1, true, 2, 6},
     48000,
     48000,
     48000,
     2,
     0,
     valid | kVstTransportPlaying | kVstCyclePosValid | kVstTransportCycleActive},
    {"a tempo that is not positive runs at 120",
     {0},
     48000,
     24000,
     24000,
     1,
     0,
     valid | kVstTransportPlaying},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.what);
    Transport t;
    t.configure(c.settings, c.rate);
    if (c.advance)
      t.advance(c.advance);
    const VstTimeInfo info = t.timeInfo();
    EXPECT_DOUBLE_EQ(info.samplePos, c.samplePos);
    EXPECT_DOUBLE_EQ(info.ppqPos, c.ppqPos);
    EXPECT_DOUBLE_EQ(info.barStartPos, c.barStart);
    EXPECT_EQ(info.sampleRate, c.rate);
    EXPECT_EQ(info.flags, c.flags);
    EXPECT_DOUBLE_EQ(info.nanoSeconds, c.samplePos / c.rate * 1e9);
  }
}

TEST(HostTransport, LoopWrapsAtItsEndOnly)
{
  // Loop from quarter 1 to quarter 2 at 120 bpm and 48 kHz: samples 24000 to 48000.
  const int64_t none = std::numeric_limits<int64_t>::max();
  const struct
  {
    const char* what;
    double start;
    bool playing;
    int64_t step;
    int steps;
    double endPos;
    int64_t toEnd;
  } cases[] = {
    {"before the loop runs into it", 0, true, 30000, 1, 30000, 18000},
    {"reaching the end jumps to the start", 24000, true, 24000, 1, 24000, 24000},
    {"an overshoot carries past the start", 40000, true, 10000, 1, 26000, 22000},
    {"many small steps stay inside", 24000, true, 1000, 250, 24000 + (250000 % 24000),
     24000 - 250000 % 24000},
    {"after the end nothing wraps", 50000, true, 10000, 2, 70000, none},
    {"a stopped transport stays", 30000, false, 10000, 3, 30000, none},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.what);
    TransportSettings s;
    s.playing = c.playing;
    s.startSamples = c.start;
    s.loop = true;
    s.loopStartPpq = 1;
    s.loopEndPpq = 2;
    Transport t;
    t.configure(s, 48000);
    for (int i = 0; i < c.steps; ++i)
      t.advance(c.step);
    EXPECT_DOUBLE_EQ(t.samplePos(), c.endPos);
    EXPECT_EQ(t.framesToLoopEnd(), c.toEnd);
  }
}

TEST(HostTransport, ChangesAreFlaggedOnceAndRateChangesKeepTheBeat)
{
  Transport t;
  t.configure(TransportSettings{}, 48000);
  EXPECT_TRUE(t.timeInfo().flags & kVstTransportChanged);
  t.advance(100);
  EXPECT_FALSE(t.timeInfo().flags & kVstTransportChanged);
  t.setPlaying(true);  // no change
  EXPECT_FALSE(t.timeInfo().flags & kVstTransportChanged);
  t.setPlaying(false);
  EXPECT_TRUE(t.timeInfo().flags & kVstTransportChanged);
  t.advance(100);
  t.locatePpq(3);
  EXPECT_TRUE(t.timeInfo().flags & kVstTransportChanged);
  EXPECT_DOUBLE_EQ(t.samplePos(), 72000);

  t.setSampleRate(96000);
  EXPECT_DOUBLE_EQ(t.ppqPos(), 3);
  EXPECT_DOUBLE_EQ(t.samplePos(), 144000);
}

// A host counting in ticks reports the quarter-note position on the nearest tick and the sample
// position exactly.
TEST(HostTransport, TicksRoundThePositionOnly)
{
  const struct
  {
    int ticks;
    double tempo, rate;
  } cases[] = {{1920, 120, 44100}, {1920, 61, 96000}, {960, 174, 48000}, {4, 100, 44100}};
  for (const auto& c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.ticks << " ticks at " << c.tempo << " BPM, " << c.rate);
    TransportSettings s;
    s.tempo = c.tempo;
    s.ticksPerQuarter = c.ticks;
    Transport t;
    t.configure(s, c.rate);
    double worst = 0.0;
    for (int block = 0; block < 2000; ++block)
    {
      const VstTimeInfo info = t.timeInfo();
      const double exact = t.ppqPos();
      EXPECT_EQ(info.samplePos, 512.0 * block);
      EXPECT_NEAR(info.ppqPos * c.ticks, std::round(info.ppqPos * c.ticks), 1e-6);
      EXPECT_LE(std::fabs(info.ppqPos - exact), 0.5 / c.ticks + 1e-12);
      worst = std::fmax(worst, std::fabs(info.ppqPos - exact));
      t.advance(512);
    }
    EXPECT_GT(worst, 0.4 / c.ticks);  // the rounding shows
  }
}

// A pre-roll holds the transport stopped at its start for the given blocks (no loop split either);
// the first playing block is flagged as a change.
TEST(HostTransport, PreRollHoldsTheStartThenPlays)
{
  TransportSettings s;
  s.startPpq = 2;
  s.preRollBlocks = 3;
  s.loop = true;
  s.loopStartPpq = 2;
  s.loopEndPpq = 3;
  Transport t;
  t.configure(s, 48000);
  const struct
  {
    bool playing, changed;
    double samplePos;
  } blocks[] = {{false, true, 48000}, {false, false, 48000}, {false, false, 48000},
                {true, true, 48000},  {true, false, 48512},  {true, false, 49024}};
  for (size_t i = 0; i < sizeof(blocks) / sizeof(blocks[0]); ++i)
  {
    SCOPED_TRACE(testing::Message() << "block " << i);
    const VstTimeInfo info = t.timeInfo();
    EXPECT_EQ((info.flags & kVstTransportPlaying) != 0, blocks[i].playing);
    EXPECT_EQ((info.flags & kVstTransportChanged) != 0, blocks[i].changed);
    EXPECT_EQ(info.samplePos, blocks[i].samplePos);
    EXPECT_EQ(t.framesToLoopEnd(), blocks[i].playing ? (int64_t)(72000 - info.samplePos)
                                                     : std::numeric_limits<int64_t>::max());
    t.advance(512);
  }
}
