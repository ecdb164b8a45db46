// The step sequencer against a scripted host transport: where steps start, when the envelopes
// restart and release, how bars, time signatures, stops, loops and sample rates move the grid,
// and what happens with timing it cannot use.
#include "effect/ParameterTable.h"
#include "tests/support/QuorvalentHost.h"
#include "tests/support/StepGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <map>
#include <vector>

namespace {

constexpr double kRate = 32768.0;  // at 120 BPM: 16384 samples a beat, 1024 a sixty-fourth
constexpr int kQ = 16384;
constexpr int kBar = 4 * kQ;
const char* const kDefaultSteps = "1100010000000000";

// By host position: gate fades starting, envelopes restarting (note-on) and releasing (note-off).
struct Events
{
  std::vector<int> fades, noteOns, noteOffs;
  void append(const Events& e)
  {
    fades.insert(fades.end(), e.fades.begin(), e.fades.end());
    noteOns.insert(noteOns.end(), e.noteOns.begin(), e.noteOns.end());
    noteOffs.insert(noteOffs.end(), e.noteOffs.begin(), e.noteOffs.end());
  }
};

// Renders one frame per block and records what happened at each frame. Steps here are longer than
// the attack, so every note-on enters ATTACK and every note-off RELEASE from another stage.
// `block` (when given) is called before each frame's block.
Events record(QuorvalentHost& host, int frames, const std::function<void()>& block = nullptr)
{
  Events ev;
  Quorvalent& q = host.plug();
  auto last = QuorvalentTestAccess::ampStage(q);
  host.render(
    dcInput((size_t)frames),
    [&] {
      if (block)
        block();
      return 1;
    },
    ProcessCall::Double,
    [&](double pos) {
      const auto stage = QuorvalentTestAccess::ampStage(q);
      if (QuorvalentTestAccess::trigger(q) && QuorvalentTestAccess::gateGain(q) == 0.95f)
        ev.fades.push_back((int)pos);
      if (stage != last && stage == EnvelopeGenerator::ATTACK)
        ev.noteOns.push_back((int)pos);
      if (stage != last && stage == EnvelopeGenerator::RELEASE)
        ev.noteOffs.push_back((int)pos);
      last = stage;
    });
  return ev;
}

// What a grid should do before end. Cycles restart at the given positions (the last at or past
// end) and run in steps of stepLen, the step index counting modulo numSteps from the restart. An
// enabled step fades, retriggers 19 samples later and arms the note-off, which comes noteOffPos
// samples into whatever step is running, unless a new step starts first; a new instance is armed.
Events expected(int stepLen, int numSteps, const char* steps, const std::vector<int>& restarts,
                int noteOffPos, int end)
{
  Events ev;
  bool armed = true;
  for (size_t r = 0; r + 1 < restarts.size(); ++r)
    for (int j = 0, s = restarts[r]; s < restarts[r + 1] && s < end; ++j, s += stepLen)
    {
      if (steps[j % numSteps] == '1')
      {
        ev.fades.push_back(s);
        if (s + 19 < end)
          ev.noteOns.push_back(s + 19);
        armed = true;
      }
      const int off = s + noteOffPos;
      if (armed && off < std::min(s + stepLen, restarts[r + 1]) && off < end)
      {
        ev.noteOffs.push_back(off);
        armed = false;
      }
    }
  return ev;
}

void expectEvents(const Events& got, const Events& want)
{
  EXPECT_EQ(got.fades, want.fades);
  EXPECT_EQ(got.noteOns, want.noteOns);
  EXPECT_EQ(got.noteOffs, want.noteOffs);
}

void setSteps(QuorvalentHost& host, const char* steps)
{
  for (int i = 0; i < kNumSteps; ++i)
    host.setParam(kStep1 + i, steps[i] == '1' ? 1.0 : 0.0);
}

// Renders in blocks of 512, checking the step shown at each block end against a 16-step grid
// restarting at the given positions; block ends just after a step start are skipped (hosts that
// re-base each block may place a start a sample either way).
void expectStepsAtBlockEnds(QuorvalentHost& host, int stepLen, const std::vector<int>& restarts,
                            int frames)
{
  for (int b = 0; b < frames / 512; ++b)
  {
    host.render(dcInput(512), 512);
    const int last = b * 512 + 511;
    const int r = *(std::upper_bound(restarts.begin(), restarts.end(), last) - 1);
    if ((last - r) % stepLen >= 12)
    {
      ASSERT_EQ(host.plug().shownStep(), (last - r) / stepLen % 16) << "block " << b;
    }
  }
}

}  // namespace

// Steps start at whole multiples of the step length; the envelopes restart when the 20-sample gate
// fade ends and release 100 samples before the note length runs out; the bar restarts the cycle.
TEST(QuorvalentSequencer, StepsRetriggersAndNoteOffsFollowTheGrid)
{
  struct Case
  {
    int arpSpeed;
    double noteLen;
    int numSteps;
    const char* steps;
    int stepLen, noteOffPos, frames;
  };
  const Case cases[] = {
    {5, 1.0, 16, kDefaultSteps, 4096, 3996, kBar + 9000},
    {1, 0.5, 16, kDefaultSteps, 8192, 3996, kBar + 9000},
    {2, 1.0, 16, "1000000000000001", 7168, 7068, kBar + 9000},
    {6, 1.0, 16, kDefaultSteps, 3072, 2972, kBar + 9000},  // the bar cuts step 22 short
    {8, 1.0, 16, "1011000000000000", 1024, 924, 20000},
    {9, 1.0, 16, kDefaultSteps, 512, 412, 12000},
    {9, 0.25, 3, "1010000000000000", 512, 28, 12000},
    {5, 1.0, 6, "1000000000000000", 4096, 3996, 2 * kBar},  // steps 7..16 never come
    {5, 0.028, 16, kDefaultSteps, 4096, 15, kBar},          // note-off before the retrigger
    {5, 1.0, 16, "0000000000000000", 4096, 3996, kBar},     // one note-off, then nothing
    {5, 1.0, 2, "0100000000000000", 4096, 3996, kBar},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << "speed " << c.arpSpeed << ", length " << c.noteLen << ", "
                                    << c.numSteps << " steps " << c.steps);
    QuorvalentHost host(kRate);
    host.setParam(kArpSpeed, c.arpSpeed);
    host.setParam(kNoteLength, c.noteLen);
    host.setParam(kNumStepsParam, c.numSteps);
    setSteps(host, c.steps);
    expectEvents(record(host, c.frames),
                 expected(c.stepLen, c.numSteps, c.steps, {0, kBar, 2 * kBar, 3 * kBar},
                          c.noteOffPos, c.frames));
  }
}

// A block whose song position reads back before the step started last (a host's rounding, here
// for one block of a frame, 5 samples into the gate fade or 30 samples after the start) neither
// releases that step nor starts it again: its note-off comes where its note length ends, as with
// exact positions (32768 Hz, 120 BPM, steps of 4096, all on).
TEST(QuorvalentSequencer, APositionReadBackBeforeAStartKeepsThatStepsNoteOff)
{
  const struct
  {
    int after, back;  // the block reading back: samples after the start at 8192, and how far
  } cases[] = {{5, 10}, {5, 40}, {30, 40}, {30, 90}, {30, 20}};
  for (const auto& c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.back << " back, " << c.after << " after the start");
    QuorvalentHost host(kRate);
    host.setParam(kArpSpeed, 5);
    host.setParam(kNoteLength, 1.0);
    setSteps(host, "1111111111111111");
    host.transport.rawTime = true;
    VstTimeInfo& t = host.transport.raw;
    t.flags = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstTimeSigValid;
    t.tempo = 120;
    t.timeSigNumerator = t.timeSigDenominator = 4;
    int frame = 0;
    const Events got = record(host, 4 * 4096, [&] {
      const int readBack = frame == 8192 + c.after ? c.back : 0;
      t.ppqPos = (double)(frame++ - readBack) / kQ;
    });
    expectEvents(got, expected(4096, 16, "1111111111111111", {0, kBar}, 3996, 4 * 4096));
  }
}

// Bars of up to four quarter notes (3/4, 7/8) restart the cycle at every bar line. Longer bars
// (5/4) restart it after four, then carry on from there to the bar line; sample by sample and in
// blocks.
TEST(QuorvalentSequencer, TimeSignaturesRestartTheCycleWhereTheBarDoes)
{
  struct Case
  {
    int numerator, denominator;
    std::vector<int> restarts;
    int frames;
  };
  const Case cases[] = {
    {4, 4, {0, 4 * kQ, 8 * kQ, 12 * kQ}, 8 * kQ + 5000},
    {3, 4, {0, 3 * kQ, 6 * kQ, 9 * kQ}, 8 * kQ + 5000},
    {5, 4, {0, 4 * kQ, 5 * kQ, 9 * kQ, 10 * kQ, 14 * kQ}, 10 * kQ + 5000},
    {7, 8, {0, 7 * kQ / 2, 7 * kQ, 21 * kQ / 2, 14 * kQ}, 10 * kQ + 5000},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.numerator << "/" << c.denominator);
    for (int blockSize : {1, 512})
    {
      QuorvalentHost host(kRate, 512);
      host.loadDefaults();
      host.transport.numerator = c.numerator;
      host.transport.denominator = c.denominator;
      if (blockSize == 1)
        expectEvents(record(host, c.frames),
                     expected(4096, 16, kDefaultSteps, c.restarts, 3996, c.frames));
      else
        expectStepsAtBlockEnds(host, 4096, c.restarts, c.frames);
    }
  }
}

// A stopped transport holds the sequencer where it stands and playing on resumes the grid at the
// host's position; a loop jump back to its start restarts the cycle there.
TEST(QuorvalentSequencer, StopsAndLoopJumpsFollowTheHostPosition)
{
  {
    SCOPED_TRACE("stopped, then played on");
    QuorvalentHost host(kRate);
    host.loadDefaults();
    Events ev = record(host, 6000);
    host.transport.playing = false;
    const Events stopped = record(host, 30000);
    EXPECT_TRUE(stopped.fades.empty() && stopped.noteOns.empty() && stopped.noteOffs.empty());
    host.transport.playing = true;
    ev.append(record(host, kBar - 6000));
    expectEvents(ev, expected(4096, 16, kDefaultSteps, {0, kBar}, 3996, kBar));
  }
  {
    SCOPED_TRACE("a loop over steps 1 to 6, twice");
    QuorvalentHost host(kRate);
    host.loadDefaults();
    host.transport.loop = true;
    host.transport.loopEndPpq = 1.5;
    const Events pass = expected(4096, 16, kDefaultSteps, {0, 6 * 4096}, 3996, 6 * 4096);
    Events twice = pass;
    twice.append(pass);
    expectEvents(record(host, 2 * 6 * 4096), twice);
  }
}

// The step grid and both envelopes run at the host's sample rate, however it changes after the
// host opened the plug-in. (Hosts at these rates re-base the grid every block: the steps must
// neither double nor skip.)
TEST(QuorvalentSequencer, StepsAndEnvelopesFollowTheSampleRate)
{
  struct Case
  {
    double rate;
    int stepLen;    // "Arp Speed" 5 at 120 BPM
    int attackLen;  // 0.01 s
  };
  const Case cases[] = {
    {44100.0, 5512, 441}, {48000.0, 6000, 480}, {96000.0, 12000, 960}, {32768.0, 4096, 327}};
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.rate << " Hz");
    QuorvalentHost host(44100.0, 1024);
    host.loadDefaults();
    host.setSampleRate(c.rate);
    const int bar = (int)(2.0 * c.rate);
    expectStepsAtBlockEnds(host, c.stepLen, {0, bar, 2 * bar, 3 * bar}, 2 * bar);

    // "Push!!" in MIDI mode starts both envelopes; the attack ends after 0.01 s.
    host.setParam(kStepMode, 1.0);
    host.setParam(kPush, 1.0);
    Quorvalent& q = host.plug();
    host.render(dcInput((size_t)c.attackLen), 1024);
    EXPECT_EQ(QuorvalentTestAccess::ampStage(q), EnvelopeGenerator::ATTACK);
    EXPECT_EQ(QuorvalentTestAccess::filterStage(q), EnvelopeGenerator::ATTACK);
    host.render(dcInput(1), 1);
    EXPECT_EQ(QuorvalentTestAccess::ampStage(q), EnvelopeGenerator::DECAY);
    EXPECT_EQ(QuorvalentTestAccess::filterStage(q), EnvelopeGenerator::DECAY);
  }
}

// Timing the sequencer cannot use (a step or bar below one sample, a bar beyond the counter)
// idles it for the block: no step, no retrigger, no note-off. Positions the host gives as infinite
// (not taken) or huge leave the output finite.
TEST(QuorvalentSequencer, UnusableTimingIdlesTheSequencer)
{
  struct Case
  {
    const char* what;
    double tempo, ppq;
    int arpSpeed;
    bool idle;
  };
  const Case cases[] = {
    {"a sixty-fourth below one sample", 1.0e9, 0.0, 5, true},
    {"a step of half a sample", 122880.0, 0.0, 9, true},  // a sixty-fourth is one sample
    {"a bar beyond the counter", 1.0e-6, 0.0, 5, true},
    {"an infinite position", 120.0, INFINITY, 5, false},
    {"a huge position", 120.0, 1.0e300, 5, false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    QuorvalentHost host(kRate, 256);
    host.setParam(kArpSpeed, c.arpSpeed);
    host.transport.rawTime = true;
    VstTimeInfo& t = host.transport.raw;
    t.tempo = c.tempo;
    t.ppqPos = c.ppq;
    t.timeSigNumerator = t.timeSigDenominator = 4;
    t.flags = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstTimeSigValid;
    const Stereo out = host.render(testSignal(4096), 256);
    if (c.idle)
    {
      EXPECT_EQ(QuorvalentTestAccess::ampStage(host.plug()), EnvelopeGenerator::OFF);
      EXPECT_EQ(QuorvalentTestAccess::gateGain(host.plug()), 1.0f);
    }
    for (size_t i = 0; i < out.size(); ++i)
      ASSERT_TRUE(std::isfinite(out.l[i]) && std::isfinite(out.r[i])) << "frame " << i;
  }
}

namespace {

// Hosts that count in ticks report the song position rounded to 1/1920 of a quarter note.
constexpr int kTicks = 1920;

// The step a sequencer shows at the end of a block ending at host position pos (in samples),
// when it follows its grid: bars of `bar` samples (the host's) restart the cycle; steps of
// stepLen run from each bar line, counting modulo numSteps; a step starting within 30 samples of
// the end of the four-quarter counter (counterBar) is taken as the bar's restart. -1 where the
// shown step may lawfully differ: within tol of a step start or a bar line, and for `settle`
// samples after a bar line.
struct Grid
{
  double bar;
  int counterBar, stepLen, numSteps;
  double tol, settle;

  int stepAt(double pos) const
  {
    const double y = std::fmod(pos - 1.0, bar);  // the block's last sample
    if (y < std::max(tol, settle) || bar - y < tol)
      return -1;
    const int slot = (int)(y / stepLen);
    const double into = y - (double)slot * stepLen;
    const double restart = (double)slot * stepLen + 30.0 - counterBar;
    if (into < tol || stepLen - into < tol || std::fabs(restart) < tol)
      return -1;
    return restart >= 0.0 ? 0 : slot % numSteps;
  }
};

// The grid of the host's tempo and time signature at rate, for the plug-in's current speed and
// step count, with the tolerance of a song position rounded to ticks (none: 0).
Grid gridFor(QuorvalentHost& host, double rate, const vsthost::TransportSettings& t, int ticks)
{
  const double beat = 60.0 * rate / t.tempo;
  const int speed = speed_array[host.plug().GetParam(kArpSpeed)->Int()];
  const int unit = (int)(beat / 16.0);
  const int stepLen = speed ? speed * unit : unit / 2;
  // A late step start comes up to a tick after the window's 11 samples.
  const double tol = (ticks ? beat / ticks : 1.0) + 14.0;
  return {beat * t.numerator * 4.0 / t.denominator,
          (int)(4.0 * beat),
          stepLen,
          host.plug().GetParam(kNumStepsParam)->Int(),
          tol,
          0.0};
}

// Renders frames in blocks of blockSize (a loop's end splits one), checking the step shown at
// the end of every block played against the grid; the first mismatch fails.
void expectGridAtBlockEnds(QuorvalentHost& host, vsthost::Transport& clock, const Grid& grid,
                           int64_t frames, int blockSize)
{
  const Stereo in = dcInput((size_t)blockSize);
  for (int64_t done = 0; done < frames; done += blockSize)
  {
    const bool playing = clock.timeInfo().flags & kVstTransportPlaying;
    host.render(in, blockSize);
    const int want = grid.stepAt(clock.samplePos());
    if (playing && want >= 0)
    {
      ASSERT_EQ(host.plug().shownStep(), want) << "at host position " << clock.samplePos();
    }
  }
}

}  // namespace

// Song positions rounded to ticks step back or jump on by up to a tick at block boundaries; every
// factory preset still starts each step once, where the exact position starts it (a step started
// twice or skipped shows a step off by one until the bar restarts). Each program runs at two points
// spread over rates, tempos, block sizes and start bars, with exact positions, ticks of 1/1920 and
// coarse ticks of 1/240 (longer than a step start's window at every rate here).
TEST(QuorvalentSequencer, RoundedSongPositionsStartEveryStepOnce)
{
  const double rates[] = {44100.0, 48000.0, 96000.0};
  const double tempos[] = {60, 67, 71, 77, 85, 97, 108, 120, 128, 133, 141, 157, 166, 174};
  const int blocks[] = {64, 100, 256, 441, 512, 1000, 1024};
  for (int program = 0; program < 27; ++program)
    for (int i = program * 2; i < program * 2 + 2; ++i)
      for (int ticks : {0, kTicks, 240})
      {
        const double rate = rates[i % 3];
        vsthost::TransportSettings t;
        t.tempo = tempos[i * 5 % 14];
        t.startPpq = 4.0 * (i % 7);
        t.ticksPerQuarter = ticks;
        const int block = blocks[i % 7];
        SCOPED_TRACE(testing::Message()
                     << "program " << program << ", " << rate << " Hz, " << t.tempo
                     << " BPM, blocks of " << block << ", ticks " << ticks);
        QuorvalentHost host(rate, 1024);
        host.selectProgram(program);
        vsthost::Transport& clock = host.useClock(t);
        const Grid grid = gridFor(host, rate, t, ticks);
        expectGridAtBlockEnds(host, clock, grid, 40000, block);
      }
}

// Playback that starts anywhere in a bar, at once or after a pre-roll, plays from the first step
// start on the steps that a start at the bar line would play there: sample by sample at the exact
// position, and in blocks at song positions rounded to ticks.
TEST(QuorvalentSequencer, StartsAnywhereInTheBarPlayTheBarsSteps)
{
  const char* const steps = "1101100101110010";
  const struct
  {
    double startPpq;
    int preRoll;
  } cases[] = {{0.5, 0}, {1.0, 0}, {1.3, 0}, {2.0, 0}, {3.75, 0}, {1.3, 3}, {3.75, 2}};
  for (const auto& c : cases)
  {
    SCOPED_TRACE(testing::Message() << "start " << c.startPpq << ", pre-roll " << c.preRoll);
    vsthost::TransportSettings t;
    t.startPpq = c.startPpq;
    t.preRollBlocks = c.preRoll;
    // Into the next bar, past its restart.
    const int start = (int)(c.startPpq * kQ), end = kBar + 9000;
    {
      QuorvalentHost host(kRate);
      host.loadDefaults();
      setSteps(host, steps);
      host.useClock(t);
      const Events want = expected(4096, 16, steps, {0, kBar, 2 * kBar}, 3996, end);
      std::vector<int> fades;
      std::copy_if(want.fades.begin(), want.fades.end(), std::back_inserter(fades),
                   [&](int pos) { return pos >= start; });
      EXPECT_EQ(record(host, end - start + c.preRoll).fades, fades);
    }
    for (int blockSize : {333, 512})
    {
      QuorvalentHost host(kRate, 512);
      host.loadDefaults();
      t.ticksPerQuarter = kTicks;
      vsthost::Transport& clock = host.useClock(t);
      expectGridAtBlockEnds(host, clock, gridFor(host, kRate, t, kTicks), end - start, blockSize);
    }
  }
}

// A loop back to a bar line (its end just inside a step's start window), a locate into the middle
// of a bar, and the bar lines of 3/4, each with exact and rounded song positions: once the block
// that brings the jump has begun, the steps follow the position.
TEST(QuorvalentSequencer, JumpsAndShortBarsRestartTheStepsWhereThePositionIs)
{
  const struct
  {
    const char* what;
    int numerator;
    double loopEndPpq;  // a loop from the bar line at 4 quarters
    int64_t locateAfter;
    double locatePpq;
    int blockSize;
  } cases[] = {
    {"loop back to a bar line", 4, 5.0 + 5.0 / kQ, 0, 0, 512},
    {"locate mid-bar", 4, 0, 3 * 4096, 6.3, 512},
    {"locate mid-bar, odd blocks", 4, 0, 20000, 9.87, 700},
    {"3/4 bar lines inside blocks", 3, 0, 0, 0, 1000},
  };
  for (const auto& c : cases)
    for (int ticks : {0, kTicks})
    {
      SCOPED_TRACE(testing::Message() << c.what << ", ticks " << ticks);
      QuorvalentHost host(kRate, 1024);
      host.loadDefaults();
      vsthost::TransportSettings t;
      t.numerator = c.numerator;
      t.ticksPerQuarter = ticks;
      if (c.loopEndPpq > 0)
      {
        t.startPpq = t.loopStartPpq = 4.0;
        t.loop = true;
        t.loopEndPpq = c.loopEndPpq;
      }
      vsthost::Transport& clock = host.useClock(t);
      Grid grid = gridFor(host, kRate, t, ticks);
      // A short bar's line inside a block is seen at the next block.
      if (c.numerator < 4)
        grid.settle = c.blockSize + grid.tol;
      if (c.locateAfter > 0)
      {
        host.render(dcInput((size_t)c.locateAfter), c.blockSize);
        clock.locatePpq(c.locatePpq);
      }
      expectGridAtBlockEnds(host, clock, grid, 3 * kBar, c.blockSize);
    }
}

// Where a block starts off from where the last one ended (song positions in ticks, locates): what
// the second block leaves of the step index and the gate fade. A window already taken does not
// start again, also over a long bar's line; a window skipped whole starts at the block's first
// sample, unless it merges with a bar tail's shorter than the window, whose start was the bar's
// restart. A start or locate on a window's last sample plays that window's step; a locate more
// than half a step away, on or back, plays the step of the position without a late start.
TEST(QuorvalentSequencer, BlockBoundaryJumpsStartEachStepOnce)
{
  auto faded = [](int samples) {
    float g = 1.0f;
    for (int i = 0; i < samples; ++i)
      g = (float)((double)g - 0.05);
    return g;
  };
  const struct
  {
    const char* what;
    double rate;
    int arpSpeed;
    double startPpq;
    int firstBlock;
    double nextPpq;
    int wantStep, wantFade;  // samples into the running gate fade (0: none)
    int nextBlock = 4, numerator = 4, denominator = 4;
  } cases[] = {
    // Steps of 4096 (steps 1, 2 and 6 on): the start at 4096 taken, the position 8 samples back
    // into its window.
    {"back into a window taken", kRate, 5, 0.0, 4108, 4100.0 / kQ, 1, 16},
    // Steps of 512: a tick back from 9 samples past the start at 512.
    {"a tick back into a window taken, half a sixty-fourth", kRate, 9, 0.0, 521,
     521.0 / kQ - 1.0 / kTicks, 1, 13},
    // The bar line 100 samples on, a block 2 past it, then a tick before it for 16 samples.
    {"5/4, a tick back over its bar line", kRate, 5, 5.0 - 100.0 / kQ, 102, 5.0 - 1.0 / kTicks, 0,
     18, 16, 5},
    {"12/8, a tick back over its bar line", kRate, 5, 6.0 - 100.0 / kQ, 102, 6.0 - 1.0 / kTicks, 0,
     18, 16, 12, 8},
    {"a locate onto a window's last sample", kRate, 5, 0.0, 1000, (5 * 4096 + 10.0) / kQ, 5, 4},
    {"a start on a window's last sample", kRate, 5, (4096 + 10.0) / kQ, 4, (4096 + 14.0) / kQ, 1,
     8},
    {"a locate 3/4 of a step on", kRate, 5, 0.0, 18384, 21456.0 / kQ, 5, 0},
    {"a locate 3/4 of a step back", kRate, 5, 0.0, 21456, 18384.0 / kQ, 4, 0},
    // From 6 before the start to 14 after it.
    {"over a whole window", kRate, 5, 0.0, 4090, 4110.0 / kQ, 1, 4},
    // Bar 88200, steps of 5512: from 87510 to 88196, the tail's start at 88192 restarts the bar;
    // then 21 samples into the next bar.
    {"over the bar line from a short tail", 44100.0, 5, 3.96875, 686, 4.0 + 1.0 / 1024, 0, 8},
    // Steps of 3072: the tail from 64512 is 1024 long, its start plays step 5; then 15 samples
    // into the next bar.
    {"over the bar line from a long tail", kRate, 6, 3.875, 1028, 4.0 + 15.0 / kQ, 0, 4},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.what);
    QuorvalentHost host(c.rate, 4096);
    host.loadDefaults();
    host.setParam(kArpSpeed, c.arpSpeed);
    vsthost::TransportSettings t;
    t.startPpq = c.startPpq;
    t.numerator = c.numerator;
    t.denominator = c.denominator;
    vsthost::Transport& clock = host.useClock(t);
    host.render(dcInput((size_t)c.firstBlock), c.firstBlock);
    clock.locatePpq(c.nextPpq);
    host.render(dcInput((size_t)c.nextBlock), c.nextBlock);
    EXPECT_EQ(host.plug().shownStep(), c.wantStep);
    EXPECT_EQ(QuorvalentTestAccess::gateGain(host.plug()), faded(c.wantFade));
  }
}

namespace {

// The gate fades the sequencer starts, read from the output: with a constant input, the mix all
// wet, no LFO, the cutoff at its top and envelopes of 10 and 15 seconds, the level moves by less
// than 1e-4 a sample but for the gate (0.95, 0.90, ... from a step start) and the envelope restart
// that ends a fade. A start cuts a running fade short. Returns the starts from `from` on, or -1
// at the first sample the gate does not explain.
std::vector<int> gateStarts(const std::vector<double>& out, int from)
{
  std::vector<int> starts;
  float g = 1.0f;
  bool fading = false;
  auto near = [](double q, double want) { return std::fabs(q / want - 1.0) < 5e-4; };
  for (int i = from; i + 1 < (int)out.size(); ++i)
  {
    const double q = out[i] / out[i - 1];
    const float faded = (float)((double)g - 0.05);
    if (fading && 0.0f >= faded)
    {
      // The envelopes restart (the level falls by an unknown factor) and the gain is 1 again,
      // unless a start comes just then: the next sample tells (0.90 / 0.95 after a start).
      if (!near(out[i + 1] / out[i], 0.9f / 0.95f))
      {
        g = 1.0f, fading = false;
        continue;
      }
    }
    else if (near(q, (fading ? faded : g) / g))
    {
      g = fading ? faded : g;
      continue;
    }
    if (!near(q, 0.95f / g))
      return {-1, i};
    starts.push_back(i);
    g = 0.95f, fading = true;
  }
  return starts;
}

// The speed in sixty-fourths of an "Arp Speed" value (the last is half a sixty-fourth), and back.
double speedOf(int arpSpeed) { return speed_array[arpSpeed] ? speed_array[arpSpeed] : 0.5; }
int arpSpeedFor(double speed)
{
  for (int i = 1; i < kNumSpeeds; ++i)
    if (speedOf(i) == speed)
      return i;
  return 0;
}

// Step starts of the grid matched, and those lost (no start there) or extra (a start the grid
// does not hold: a second one, or one off the grid).
struct Tally
{
  long long starts = 0, lost = 0, extra = 0;
  void add(const Tally& t) { starts += t.starts, lost += t.lost, extra += t.extra; }
};

// One play of the sequencer: from song sample `first` on, with the host's position exact or
// rounded to ticks, in blocks of `block`, cut at every speed change; steps 1 and every other
// (odd or even) on, or all (odd < 0).
struct Play
{
  stepgrid::Settings s;
  double first;
  int frames, block, ticks, odd;
  std::vector<stepgrid::Change> changes;
  // Whether the changes lie where the host's rounding blurs them: a start may or may not come on a
  // change's own sample (the old speed's slot just after it, or the new speed's whose window the
  // change is in), and a start within a window (and the rounding) after it may come there, as the
  // same slot's start.
  bool blurred = false;
};

// Every ordered pair of n values once, as one walk from 0 (a circuit through the n(n-1) changes).
std::vector<int> everyPairOnce(int n)
{
  std::vector<int> walk, next((size_t)n, 0), stack = {0};
  while (!stack.empty())
  {
    const int v = stack.back();
    next[v] += next[v] == v;
    if (next[v] < n)
      stack.push_back(next[v]++);
    else
      walk.push_back(v), stack.pop_back();
  }
  return walk;
}

// A constant input, the mix all wet, no LFO, the cutoff at its top and envelopes of 10 and 15
// seconds: the gate fades show in the level (gateStarts).
void setQuietEnvelopes(QuorvalentHost& host)
{
  const std::pair<int, double> params[] = {
    {kDryWet, 1.0},        {kAmpAttack, 10.0},        {kAmpRelease, 15.0},
    {kFilterCutoff, 0.99}, {kFilterEnvAmount, 0.001}, {kAmpLFODepth, 0.0},
    {kFilterLFODepth, 0.0}};
  for (const auto& p : params)
    host.setParam(p.first, p.second);
}

// Renders the play; outputs of the blocks in order.
std::vector<double> render(QuorvalentHost& host, const Play& p)
{
  vsthost::TransportSettings t;
  t.tempo = p.s.tempo;
  t.numerator = p.s.numerator;
  t.denominator = p.s.denominator;
  t.startSamples = p.first;
  t.ticksPerQuarter = p.ticks;
  host.useClock(t);
  std::vector<double> out;
  double at = p.first;
  for (size_t i = 0; i <= p.changes.size(); ++i)
  {
    const double until = i < p.changes.size() ? p.changes[i].at : p.first + p.frames;
    const Stereo o = host.render(dcInput((size_t)(until - at)), p.block);
    out.insert(out.end(), o.l.begin(), o.l.end());
    if (i < p.changes.size())
      host.setParam(kArpSpeed, arpSpeedFor(p.changes[i].speed));
    at = until;
  }
  return out;
}

// The enabled steps' starts read from the output, matched one to one with the grid within the
// host's rounding (at exact positions: on the sample).
Tally play(const Play& p)
{
  QuorvalentHost host(p.s.rate, 4096);
  host.loadDefaults();
  setQuietEnvelopes(host);
  host.setParam(kArpSpeed, arpSpeedFor(p.s.speed));
  host.setParam(kNumStepsParam, p.s.numSteps);
  for (int i = 0; i < kNumSteps; ++i)
    host.setParam(kStep1 + i, i == 0 || p.odd < 0 || i % 2 == p.odd ? 1.0 : 0.0);
  const std::vector<double> out = render(host, p);
  const std::vector<int> got = gateStarts(out, 64);
  Tally tally;
  if (!got.empty() && got[0] < 0)
  {
    ADD_FAILURE() << "unexplained level at " << got[1];
    ++tally.extra;
    return tally;
  }
  const stepgrid::Lengths l = stepgrid::lengths(p.s);
  const double tol = p.ticks ? l.beat / p.ticks + 1.0 : 0.0;
  std::vector<bool> matched(got.size(), false);
  // The first start not matched yet within the tolerance of at or alt.
  auto take = [&](double at, double alt) -> bool {
    for (size_t j = 0; j < got.size(); ++j)
      if (!matched[j] && (std::fabs(got[j] - at) <= tol || std::fabs(got[j] - alt) <= tol))
        return matched[j] = true;
    return false;
  };
  // At a blurred change, the old speed's slot that starts up to a window (and the rounding) after
  // it: its start may come on the change's sample, as its own and the new speed's of that slot.
  std::vector<std::pair<double, stepgrid::Start>> early;
  for (size_t i = 0; p.blurred && i < p.changes.size(); ++i)
  {
    const double c = p.changes[i].at;
    const std::vector<stepgrid::Change> before(p.changes.begin(), p.changes.begin() + i);
    for (const stepgrid::Start& o : stepgrid::expectedStarts(p.s, c, c + 11 + tol, before))
      early.push_back({c, o});
  }
  const std::vector<stepgrid::Start> grid =
    stepgrid::expectedStarts(p.s, p.first, p.first + p.frames, p.changes);
  for (const stepgrid::Start& e : grid)
  {
    double at = e.at - p.first, alt = at;
    if (at < 64 + tol || at > p.frames - 20 || !(e.step == 0 || p.odd < 0 || e.step % 2 == p.odd))
      continue;
    bool onChange = false;
    for (const auto& o : early)
      if (e.cycle == o.second.cycle && e.sixtyFourths == o.second.sixtyFourths)
        alt = o.first - p.first;
    for (const stepgrid::Change& c : p.changes)
      onChange |= p.blurred && e.at == c.at;
    if (onChange)
      continue;
    if (take(at, alt))
      ++tally.starts;
    else if (++tally.lost <= 3)
      ADD_FAILURE() << "no start of step " << e.step + 1 << " at " << at;
  }
  for (const stepgrid::Change& c : p.changes)
    if (p.blurred && take(c.at - p.first, c.at - p.first))
      ++tally.starts;
  for (size_t j = 0; j < got.size(); ++j)
    if (!matched[j] && got[j] < p.frames - 20 && ++tally.extra <= 3)
      ADD_FAILURE() << "a start off the grid at " << got[j];
  return tally;
}

// The first sample of each run of ten equal levels: with the LFO the only thing that moves the
// level, where it restarts (its phase held at 0 for ten samples).
std::vector<int> lfoRestarts(const std::vector<double>& out, int from)
{
  std::vector<int> restarts;
  for (int i = from; i + 10 <= (int)out.size(); ++i)
    if (out[i] != out[i - 1] &&
        std::all_of(&out[i + 1], &out[i + 10], [&](double v) { return v == out[i]; }))
      restarts.push_back(i);
  return restarts;
}

}  // namespace

// Loops shorter than a step or barely longer, each holding one step start 0.3 of the loop after
// its start, with exact and tick-rounded song positions: the step starts once in every pass
// (a pass back is a jump from a sixty-fourth note on, exactly one among them, or from half a step
// where that is shorter, while a host's rounding steps back far less). 48 kHz, 120 BPM, all steps
// on, ten passes.
TEST(QuorvalentSequencer, ShortLoopsStartTheirStepInEveryPass)
{
  // The last six: a sixty-fourth (1500 samples), and a sample more.
  const struct
  {
    double speed, steps;  // the loop's length in steps
    int block;
  } loops[] = {{0.5, 1, 512},         {1, 1, 512},     {4, 1, 512},           {8, 1, 512},
               {0.5, 0.6, 512},       {1, 0.6, 512},   {4, 0.6, 512},         {8, 0.6, 512},
               {4, 0.4, 512},         {8, 0.4, 512},   {8, 0.1875, 512},      {2, 0.5, 512},
               {4, 0.25, 2048},       {8, 0.125, 512}, {2, 1501 / 3e3, 2048}, {4, 1501 / 6e3, 512},
               {8, 1501 / 12e3, 2048}};
  for (const auto& c : loops)
    for (int ticks : {0, kTicks})
    {
      SCOPED_TRACE(testing::Message() << "speed " << c.speed << ", a loop of " << c.steps
                                      << " steps, ticks " << ticks << ", blocks of " << c.block);
      QuorvalentHost host(48000, 4096);
      host.loadDefaults();
      setQuietEnvelopes(host);
      host.setParam(kArpSpeed, arpSpeedFor(c.speed));
      for (int i = 0; i < kNumSteps; ++i)
        host.setParam(kStep1 + i, 1.0);
      const double beat = 24000, stepLen = (int)(c.speed * beat / 16), len = c.steps * stepLen;
      const double start = 4 * beat + 3 * stepLen;  // step 4 of bar 2
      vsthost::TransportSettings t;
      t.loop = true;
      t.startPpq = t.loopStartPpq = (start - 0.3 * len) / beat;
      t.loopEndPpq = (start + 0.7 * len) / beat;
      t.ticksPerQuarter = ticks;
      host.useClock(t);
      const std::vector<int> got =
        gateStarts(host.render(dcInput((size_t)(10 * len)), c.block).l, 64);
      EXPECT_EQ(got.size(), 10u);
      for (int n = 0; n < 10 && n < (int)got.size(); ++n)
        EXPECT_NEAR(got[n], (n + 0.3) * len, ticks ? beat / ticks + 1 : 1) << "pass " << n;
      EXPECT_EQ(host.plug().shownStep(), 3);
    }
}

// Integer tempos 60-200 (every fifth, a different one at each of five sample rates), each with one
// of every speed, step count, meter, block size and exact or tick-rounded positions: around a bar
// line (and the four-quarter line inside longer bars) every enabled step starts once, on the
// grid of tempo, meter, rate and speed (on its sample, at exact positions), and the bar's first
// step plays step 1. Steps 1 and every other are on (odd or even by turn), so that the wrong step
// at a line shows as a missing fade.
TEST(QuorvalentSequencer, EveryStepStartsOnceOnTheGridAtEveryTempoAndMeter)
{
  const double rates[] = {44100.0, 48000.0, 88200.0, 96000.0, 192000.0};
  const int meters[][2] = {{4, 4}, {3, 4}, {2, 4}, {6, 8}, {7, 8}, {5, 4}, {12, 8}};
  const int blocks[] = {64, 100, 256, 441, 512, 777, 1000, 1024};
  Tally all;
  int configs = 0;
  for (int r = 0; r < 5; ++r)
    for (int tempo = 60 + r; tempo <= 200; tempo += 5)
    {
      const int n = tempo * 5 + r;
      const int meter = n % 7, arpSpeed = 1 + n % 9, numSteps = 2 + n * 7 % 15;
      const stepgrid::Settings s = {rates[r],         (double)tempo,     meters[meter][0],
                                    meters[meter][1], speedOf(arpSpeed), numSteps};
      const stepgrid::Lengths l = stepgrid::lengths(s);
      // From the middle of the last whole step before the second bar's line (or the
      // four-quarter line in it) to a step after it.
      const double line = l.bar + (n % 2 && l.bar > l.cycle + l.unit ? l.cycle : 0);
      const double first = (std::floor(line / l.stepLen) - 1.0) * l.stepLen + l.stepLen / 2;
      const Play p = {s,
                      first,
                      (int)(line - first) + l.stepLen + 64,
                      blocks[n * 3 % 8],
                      n / 7 % 2 ? 1920 : 0,
                      n / 14 % 2,
                      {}};
      SCOPED_TRACE(testing::Message()
                   << rates[r] << " Hz, " << tempo << " BPM, " << s.numerator << "/"
                   << s.denominator << ", speed " << s.speed << ", " << numSteps
                   << " steps, blocks of " << p.block << ", ticks " << p.ticks);
      all.add(play(p));
      ++configs;
    }
  printf("%d configurations: %lld step starts, %lld lost, %lld extra\n", configs, all.starts,
         all.lost, all.extra);
}

// A host position that jumps on over a step start's window at a block boundary starts that step
// at the block's first sample; the next step still starts on its sample later in the same block
// (32768 Hz, 120 BPM, steps of 4096, all on).
TEST(QuorvalentSequencer, ALateStartLeavesTheNextStartInItsBlock)
{
  QuorvalentHost host(kRate, 8192);
  host.loadDefaults();
  setQuietEnvelopes(host);
  for (int i = 0; i < kNumSteps; ++i)
    host.setParam(kStep1 + i, 1.0);
  vsthost::Transport& clock = host.useClock({});
  std::vector<double> out = host.render(dcInput(4090), 4090).l;
  clock.locatePpq(4110.0 / kQ);
  const Stereo next = host.render(dcInput(5000), 5000);
  out.insert(out.end(), next.l.begin(), next.l.end());
  EXPECT_EQ(gateStarts(out, 64), (std::vector<int>{4090, 4090 + 8192 - 4110}));
}

// Lines inside blocks that do not line up with the bar: a bar line of 5/4 and 12/8 at a sample
// rate and tempo that put it between two samples, a block that begins on a long bar's
// four-quarter line, and a bar whose last slot is shorter than a step: step 1 starts, and both
// LFOs restart, on the line's own sample.
TEST(QuorvalentSequencer, LinesInsideBlocksStartStepOneAndTheLFOsOnTheirOwnSample)
{
  const struct
  {
    const char* what;
    stepgrid::Settings s;
    double line;  // quarter notes into the song
    int block;
    int before;  // the play's first sample before the line's own one
  } cases[] = {
    {"5/4 bar line", {44100, 133, 5, 4, 4, 16}, 5.0, 1000, 2777},
    {"12/8 bar line", {48000, 137, 12, 8, 5, 16}, 6.0, 777, 3000},
    {"5/4 four-quarter line on a block's start", {48000, 137, 5, 4, 3, 16}, 9.0, 512, 5 * 512},
    {"12/8 four-quarter line inside a block", {44100, 71, 12, 8, 7, 16}, 10.0, 1000, 6500},
    {"a last slot shorter than a step", {44100, 120, 4, 4, 6, 16}, 4.0, 1000, 6000},
    {"steps after a bar line in its block", {48000, 137, 4, 4, 0.5, 16}, 4.0, 4000, 1500},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.what);
    const stepgrid::Lengths l = stepgrid::lengths(c.s);
    const double line = stepgrid::ownSample(c.line, l.beat);
    const Play p = {c.s, line - c.before, c.before + std::max(l.stepLen, 2000) + 64, c.block, 0, 0,
                    {}};
    const Tally t = play(p);
    EXPECT_EQ(t.lost + t.extra, 0);
    EXPECT_GT(t.starts, 0);

    // MIDI mode at full level: the amplitude LFO alone moves the level.
    QuorvalentHost host(c.s.rate, 4096);
    host.loadDefaults();
    const std::pair<int, double> params[] = {{kStepMode, 1.0},    {kAmpAttack, 0.01},
                                             {kAmpDecay, 0.01},   {kAmpSustain, 1.0},
                                             {kAmpLFODepth, 1.0}, {kPush, 1.0}};
    for (const auto& param : params)
      host.setParam(param.first, param.second);
    const std::vector<double> out = render(host, p);
    EXPECT_EQ(lfoRestarts(out, 1200), std::vector<int>{c.before});
  }
}

// Every change between two speeds the parameter allows, each once, in five meters (1/8 at speed 8
// holds one slot a cycle; 2/4 at 137 BPM and 48 kHz ends its cycles in a remnant at speeds 8, 4,
// 2, 1 and 1/2), at exact and tick-rounded positions: the change comes just after a start (inside
// its window or past it), mid-step or just before the next start. Up to the change the steps
// start on the grid of the old speed; from it on, each slot of the new speed starts once, the
// steps counting on: none lost, none twice.
TEST(QuorvalentSequencer, SpeedChangesStartEachSlotOfTheNewSpeedOnce)
{
  const double speeds[] = {8, 7, 6, 5, 4, 3, 2, 1, 0.5};
  const struct
  {
    int numerator, denominator;
    double rate, tempo;
  } meters[] = {{1, 8, 96000, 120},
                {2, 4, 48000, 137},
                {4, 4, 48000, 120},
                {7, 8, 44100, 133},
                {5, 4, 48000, 151}};
  const int blocks[] = {100, 441, 512, 777, 1000};
  const std::vector<int> walk = everyPairOnce(9);
  ASSERT_EQ(walk.size(), 73u);

  Tally all;
  // First the cases users met: 4/4 at 48 kHz and 120 BPM slowed from 4 to 7 in the second step;
  // 7/8 at 44.1 kHz and 133 BPM from 4 to 6 in the third; 2/4 at 48 kHz and 137 BPM from 4 to 1/2
  // shortly before the second step of a bar whose step 1 started early; 1/8 at 8, one slot a cycle.
  const struct
  {
    stepgrid::Settings s;
    double into;  // samples into the second bar
    double speed;
  } reported[] = {{{48000, 120, 4, 4, 4, 16}, 7000, 7},
                  {{44100, 133, 7, 8, 4, 16}, 11000, 6},
                  {{48000, 137, 2, 4, 4, 16}, 5200, 0.5},
                  {{48000, 120, 1, 8, 8, 16}, 0, 8}};
  for (const auto& r : reported)
  {
    SCOPED_TRACE(testing::Message() << r.s.numerator << "/" << r.s.denominator << ", from "
                                    << r.s.speed << " to " << r.speed);
    const stepgrid::Lengths l = stepgrid::lengths(r.s);
    const double line = stepgrid::ownSample(l.quarters, l.beat);
    const Tally t =
      play({r.s, line - 2000, (int)(3 * l.bar), 441, 0, 1, {{line + r.into, r.speed}}});
    EXPECT_EQ(t.lost + t.extra, 0);
    all.add(t);
  }

  int changes = 0, inRemnantBars = 0;
  for (int run = 0; run < 10; ++run)
  {
    const auto& m = meters[run % 5];
    const size_t from = run * 72 / 10, to = (run + 1) * 72 / 10;
    Play p = {
      {m.rate, m.tempo, m.numerator, m.denominator, speeds[walk[from]], 16}, 0, 0, 0, 0, 0, {}};
    const stepgrid::Lengths l = stepgrid::lengths(p.s);
    p.first = std::floor(l.bar + l.stepLen / 2.0);
    p.block = blocks[run % 5];
    p.ticks = run < 5 ? 0 : 1920;
    p.odd = run / 2 % 2;
    SCOPED_TRACE(testing::Message() << m.numerator << "/" << m.denominator << ", " << m.rate
                                    << " Hz, " << m.tempo << " BPM, ticks " << p.ticks);
    // Each change relative to the first start (of any step) after the one before it.
    double after = p.first + 64;
    for (size_t i = from; i < to; ++i)
    {
      const std::vector<stepgrid::Start> starts = stepgrid::expectedStarts(
        {p.s.rate, p.s.tempo, p.s.numerator, p.s.denominator, p.s.speed, 1 << 20}, p.first,
        after + 3 * l.cycle, p.changes);
      size_t k = 0;
      while (starts[k].at < after)
        ++k;
      const double start = starts[k].at, following = starts[k + 1].at;
      // (A rounded position moves the grid by up to a tick: the change keeps clear of that, and
      // of the window before a start, which a rounded change may take for the old speed's.)
      const double clear = p.ticks ? std::ceil(l.beat / p.ticks) : 0.0;
      const double before = p.ticks ? clear + 10 : 0.0;
      const double at[] = {start + clear + 3, start + clear + 12,
                           std::floor((start + following) / 2), following - before - 2};
      p.changes.push_back({at[i % 4], speeds[walk[i + 1]]});
      after = p.changes.back().at + l.cycle / 3;
      // Whether the cycle's step 1 started early, in the last one's remnant.
      while (k > 0 && starts[k].step != 0)
        --k;
      inRemnantBars +=
        starts[k].step == 0 &&
        starts[k].at != stepgrid::ownSample(std::round(starts[k].at / l.beat * 4) / 4, l.beat);
    }
    p.frames = (int)(after - p.first) + 2 * (int)(8 * l.unit) + 64;
    all.add(play(p));
    changes += (int)(to - from);
  }
  EXPECT_EQ(changes, 72);
  EXPECT_GT(inRemnantBars, 0);
  printf("%d speed changes (%d in a cycle whose step 1 started early): %lld step starts, %lld "
         "lost, %lld extra\n",
         changes, inRemnantBars, all.starts, all.lost, all.extra);
}

// Speed changes where a host that rounds its song position to ticks (1/1920 and 1/960 of a quarter
// note, to the nearest) blurs them: each at a block start 1-10 samples after a start of the old
// speed, on it, or 1-10 before it; every ordered pair of speeds once; in 4/4, 7/8 and 1/8; all
// steps on. Each start of the old speed before the change and each slot of the new speed after it
// starts once: none lost, none doubled. First the case users met: 48 kHz, 120 BPM, blocks of 512,
// from half a sixty-fourth to 8 at the block that the host reads as starting on an old start.
TEST(QuorvalentSequencer, RoundedSpeedChangesKeepTheStartsAroundThem)
{
  const double speeds[] = {8, 7, 6, 5, 4, 3, 2, 1, 0.5};
  const struct
  {
    int numerator, denominator;
    double rate, tempo;
    int ticks, block;
  } runs[] = {{4, 4, 48000, 120, 1920, 512},  {7, 8, 44100, 133, 1920, 441},
              {1, 8, 48000, 137, 1920, 1024}, {4, 4, 44100, 133, 960, 777},
              {7, 8, 48000, 120, 960, 64},    {1, 8, 96000, 97, 960, 1000}};
  Tally all = play(
    {{48000, 120, 4, 4, 0.5, 16}, 1252 * 512, 60 * 512, 512, 1920, -1, {{1292 * 512, 8}}, true});
  EXPECT_EQ(all.lost + all.extra, 0);

  const std::vector<int> walk = everyPairOnce(9);
  int changes = 0;
  for (int run = 0; run < 6; ++run)
  {
    const auto& r = runs[run];
    Play p = {{r.rate, r.tempo, r.numerator, r.denominator, speeds[walk[run * 12]], 16},
              0,
              0,
              r.block,
              r.ticks,
              -1,
              {},
              true};
    const stepgrid::Lengths l = stepgrid::lengths(p.s);
    p.first = std::floor(l.bar + l.stepLen / 2.0);
    SCOPED_TRACE(testing::Message() << r.numerator << "/" << r.denominator << ", " << r.rate
                                    << " Hz, " << r.tempo << " BPM, ticks " << r.ticks);
    double after = p.first + 64;
    for (int i = run * 12; i < run * 12 + 12; ++i, ++changes)
    {
      const std::vector<stepgrid::Start> starts = stepgrid::expectedStarts(
        {p.s.rate, p.s.tempo, p.s.numerator, p.s.denominator, p.s.speed, 16}, p.first,
        after + 3 * l.cycle, p.changes);
      size_t k = 0;
      while (starts[k].at < after)
        ++k;
      const double speed = speeds[walk[i + 1]];
      p.changes.push_back({starts[k].at + i % 21 - 10, speed});
      after = p.changes.back().at + std::max(l.cycle / 3, 2.5 * speed * l.unit);
    }
    p.frames = (int)(after - p.first);
    all.add(play(p));
  }
  EXPECT_EQ(changes, 72);
  printf("%d rounded speed changes: %lld step starts, %lld lost, %lld doubled or off the grid\n",
         changes + 1, all.starts, all.lost, all.extra);
}

// A host that ramps the tempo from block to block and reports its song position rounded to ticks:
// every slot (its cycle and its step, read from the song position of the start) starts once, and
// none is lost. All steps are on.
TEST(QuorvalentSequencer, TempoRampsStartEachSlotOnce)
{
  const struct
  {
    int numerator, denominator;
    double rate;
    int arpSpeed;
    double from, to;  // BPM, over three bars
    int block;
  } cases[] = {
    {4, 4, 48000, 5, 90, 150, 512},    // speed 4
    {7, 8, 44100, 9, 160, 100, 300},   // speed 1/2
    {2, 4, 48000, 1, 120, 140, 1000},  // speed 8: the cycles end in a remnant
    {5, 4, 96000, 4, 70, 110, 777},    // speed 5
    {4, 4, 48000, 9, 60, 200, 2048},   // speed 1/2, the tempo a step apart from block to block
  };
  long long starts = 0, doubled = 0, lost = 0;
  for (const auto& c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.numerator << "/" << c.denominator << ", " << c.from
                                    << " to " << c.to << " BPM");
    QuorvalentHost host(c.rate, 4096);
    host.loadDefaults();
    setQuietEnvelopes(host);
    host.setParam(kArpSpeed, c.arpSpeed);
    for (int i = 0; i < kNumSteps; ++i)
      host.setParam(kStep1 + i, 1.0);
    const double speed = speedOf(c.arpSpeed);
    const double quarters = c.numerator * 4.0 / c.denominator;
    host.transport.rawTime = true;
    VstTimeInfo& t = host.transport.raw;
    t.flags = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstTimeSigValid;
    t.timeSigNumerator = c.numerator;
    t.timeSigDenominator = c.denominator;
    const int blocks = (int)(3 * quarters * 60.0 / ((c.from + c.to) / 2) * c.rate) / c.block;
    std::vector<double> out, ppqs, tempos;
    double ppq = 0.37;
    for (int b = 0; b < blocks; ++b)
    {
      t.tempo = c.from + (c.to - c.from) * b / (blocks - 1);
      t.ppqPos = std::round(ppq * kTicks) / kTicks;
      const Stereo o = host.render(dcInput((size_t)c.block), c.block);
      out.insert(out.end(), o.l.begin(), o.l.end());
      ppqs.push_back(ppq);
      tempos.push_back(t.tempo);
      ppq += c.block * t.tempo / (60.0 * c.rate);
    }
    const std::vector<int> got = gateStarts(out, 64);
    ASSERT_TRUE(got.empty() || got[0] >= 0) << "unexplained level at " << got[1];

    // The slot of each start: its cycle (bars, and four quarter notes into a longer one) and its
    // step; one in the last sixty-fourth of a cycle is the next cycle's first.
    const int cyclesPerBar = (int)std::ceil(quarters / 4.0);
    std::map<std::pair<long long, long long>, int> slots;
    for (int j : got)
    {
      const double at = ppqs[j / c.block] + (j % c.block) * tempos[j / c.block] / (60.0 * c.rate);
      const long long bar = (long long)std::floor(at / quarters);
      const int m = (int)((at - bar * quarters) / 4.0);
      const double cycle64 = std::min(4.0, quarters - 4.0 * m) * 16.0;
      const double x = (at - bar * quarters - 4.0 * m) * 16.0;
      long long cycle = bar * cyclesPerBar + m, k = std::llround(x / speed);
      // (Whole-sample steps fall behind the song position by up to a sample each.)
      EXPECT_LT(std::fabs(x / speed - k), 0.4) << "a start off the grid at " << j;
      if (x > cycle64 - 0.5)
        ++cycle, k = 0;
      if (++slots[{cycle, k}] == 2)
        ADD_FAILURE() << "a second start at " << j, ++doubled;
      ++starts;
    }
    // Every slot of the cycles played whole.
    const long long firstCycle = slots.begin()->first.first + 1;
    const long long lastCycle = slots.rbegin()->first.first - 1;
    for (long long cycle = firstCycle; cycle < lastCycle; ++cycle)
    {
      const int m = (int)(cycle % cyclesPerBar);
      const double cycle64 = std::min(4.0, quarters - 4.0 * m) * 16.0;
      for (long long k = 0; k * speed < cycle64 - 0.5; ++k)
        if (!slots.count({cycle, k}))
          ADD_FAILURE() << "no start of slot " << k << " in cycle " << cycle, ++lost;
    }
  }
  printf("tempo ramps: %lld step starts, %lld doubled, %lld lost\n", starts, doubled, lost);
}
