// The step sequencer against a scripted host transport: where steps start, when the envelopes
// restart and release, how bars, time signatures, stops, loops and sample rates move the grid,
// and what happens with timing it cannot use.
#include "effect/QuorvalentHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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
Events record(QuorvalentHost& host, int frames)
{
  Events ev;
  Quorvalent& q = host.plug();
  auto last = QuorvalentTestAccess::ampStage(q);
  host.render(
    dcInput((size_t)frames), [] { return 1; }, ProcessCall::kDouble,
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

// 3/4 restarts the cycle every three quarter notes. Longer bars (5/4, and 7/8 counted as seven
// quarter notes) restart it after four, then carry on from there, sample by sample and in blocks.
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
    {7, 8, {0, 4 * kQ, 7 * kQ, 11 * kQ, 14 * kQ, 18 * kQ}, 14 * kQ + 5000},
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
