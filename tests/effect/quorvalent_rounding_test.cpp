// Song positions a host rounds to ticks against exact ones: the steps that sound are the same. A
// scripted host plays each stretch with its song position exact and rounded to the nearest tick
// (all else it reports exact); which steps sound is read from the output alone.
#include "effect/ParameterTable.h"
#include "tests/support/QuorvalentHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace roundingtest {

// A constant input of 0.5 through a new instance's first program, all wet, both LFOs off, every
// step on, full note length: once the filter has settled, the output is a quarter of the gate gain
// times the amplitude envelope's level.
constexpr double kInput = 0.5;
constexpr double kPeak = 0.25;    // the envelope at the top of its attack
constexpr double kAttack = 0.01;  // seconds, the first program's
constexpr int kFadeLen = 19;      // gate fade samples before the envelopes restart
constexpr int kStartWindow = 10;
constexpr int kNoteOffLead = 100;
// A tempo change from one block to the next moves the step grid (re-based on the song position,
// its lengths whole samples) by up to a sample for each sixty-fourth into the cycle, and two.
constexpr int kMaxMove = 66;

double speedOf(int arpSpeed) { return speed_array[arpSpeed] ? speed_array[arpSpeed] : 0.5; }
int attackLen(double rate) { return (int)(kAttack * rate); }

// One block the host plays: its length; where it begins (quarter notes, exact), tempo and meter;
// the "Arp Speed" set before it (0: unchanged).
struct Block
{
  int len;
  double ppq, tempo;
  int numerator, denominator, arpSpeed;
};

// The left output of the blocks, the host's position rounded to the nearest 1/ticks quarter note
// (0: exact).
std::vector<double> render(double rate, int numSteps, int arpSpeed,
                           const std::vector<Block>& blocks, int ticks)
{
  QuorvalentHost host(rate, 4096);
  const std::pair<int, double> params[] = {{kAmpLFODepth, 0.0},        {kFilterLFODepth, 0.0},
                                           {kStepMode, 0.0},           {kNoteLength, 1.0},
                                           {kNumStepsParam, numSteps}, {kArpSpeed, arpSpeed}};
  for (const auto& p : params)
    host.setParam(p.first, p.second);
  for (int i = 0; i < kNumSteps; ++i)
    host.setParam(kStep1 + i, 1.0);
  host.transport.rawTime = true;
  VstTimeInfo& t = host.transport.raw;
  t.flags = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstTimeSigValid;
  t.sampleRate = rate;
  size_t frames = 0, next = 0;
  for (const Block& b : blocks)
    frames += (size_t)b.len;
  auto nextBlock = [&] {
    const Block& b = blocks[next++];
    if (b.arpSpeed > 0)
      host.setParam(kArpSpeed, b.arpSpeed);
    t.ppqPos = ticks ? std::round(b.ppq * ticks) / ticks : b.ppq;
    t.tempo = b.tempo;
    t.timeSigNumerator = b.numerator;
    t.timeSigDenominator = b.denominator;
    return b.len;
  };
  return host.render(dcInput(frames, kInput), nextBlock).l;
}

// A step start read from the output: the sample its gate fade began, and whether the step sounds.
struct Step
{
  int at;
  bool sounds;
};

// The envelopes restart where the gate fade's last step has halved the level (0.1 to 0.05 of it),
// at their floor, 19 samples after the fade began (nothing else halves the level in a sample).
// The step sounds when its attack then lifts the level to half the peak before the next start; a
// step released right after its start stays near the floor.
std::vector<Step> stepsIn(const std::vector<double>& out)
{
  std::vector<Step> steps;
  for (size_t i = 2; i < out.size(); ++i)
  {
    const double halved = out[i - 1] / out[i - 2];
    if (halved > 0.45 && halved < 0.56 && out[i] < 1e-3 * kPeak)
      steps.push_back({(int)i - kFadeLen, false});
    else if (!steps.empty() && out[i] >= kPeak / 2)
      steps.back().sounds = true;
  }
  return steps;
}

// The step nearest `at` within `within` samples that sounds (or does not), or none.
const Step* nearest(const std::vector<Step>& steps, double at, double within, bool sounds)
{
  const Step* best = nullptr;
  for (const Step& s : steps)
    if (s.sounds == sounds && std::fabs(s.at - at) <= within &&
        (!best || std::fabs(s.at - at) < std::fabs(best->at - at)))
      best = &s;
  return best;
}

// What a play holds besides steady blocks, in samples from its start.
struct Marks
{
  std::vector<int> changes;  // speed changes
  std::vector<int> cuts;     // speed changes and loop jumps: they may cut a running step short
  // Loop jumps: a start within the rounding before one may come or not (the plug-in learns of the
  // jump only from the next block's position, and the rounding blurs which side of it a start is).
  std::vector<int> jumps;
  // Block starts where a tempo change moves the step grid, and by how far.
  std::vector<std::pair<int, double>> moves;
};

// How the steps starting from `from` to `to` are judged: within tol of each other (and of a move
// of the grid at a block start next to them); within `window` of a speed change, only that a step
// sounding exactly sounds rounded within the window; within cutSpan before a cut, that a step
// starts.
struct Judge
{
  int from, to;
  double tol, halfStep, window, cutSpan;
  Marks marks;
};

// Where the rounded render's steps differ from the exact one's.
struct Tally
{
  long long compared = 0, silent = 0, missing = 0, shifted = 0, extra = 0;
  long long differences() const { return silent + missing + shifted + extra; }
  void add(const Tally& t)
  {
    compared += t.compared, silent += t.silent, missing += t.missing, shifted += t.shifted,
      extra += t.extra;
  }
};

// Each step that sounds exactly sounds rounded, within the tolerance (else: shifted, it sounds
// within half a step; silent, its start is there but it does not sound; or missing), and no other
// step sounds rounded (extra). `report` hears of each difference.
Tally compare(const std::vector<Step>& exact, const std::vector<Step>& rounded, const Judge& j,
              const std::function<void(const char*, int)>& report)
{
  auto within = [&](int at, const std::vector<int>& marks, double before, double after) {
    return std::any_of(marks.begin(), marks.end(),
                       [&](int m) { return at >= m - before && at <= m + after; });
  };
  auto tolerance = [&](int at) {
    double move = 0.0;
    for (const auto& m : j.marks.moves)
      if (std::fabs(at - m.first) <= m.second + j.tol)
        move = std::max(move, m.second);
    return j.tol + move;
  };
  Tally t;
  for (const Step& e : exact)
  {
    if (!e.sounds || e.at < j.from || e.at > j.to || within(e.at, j.marks.jumps, j.tol, -1))
      continue;
    const bool blurred = within(e.at, j.marks.changes, j.window, j.window);
    const bool cut = within(e.at, j.marks.cuts, j.cutSpan, -1);
    const double tol = tolerance(e.at) + (blurred ? j.window : 0.0);
    ++t.compared;
    if (nearest(rounded, e.at, tol, true) || (cut && nearest(rounded, e.at, tol, false)))
      continue;
    if (!blurred && nearest(rounded, e.at, j.halfStep, true))
      ++t.shifted, report("shifted", e.at);
    else if (nearest(rounded, e.at, tol, false))
      ++t.silent, report("silent", e.at);
    else
      ++t.missing, report("missing", e.at);
  }
  for (const Step& r : rounded)
  {
    if (!r.sounds || r.at < j.from || r.at > j.to ||
        within(r.at, j.marks.changes, j.window, j.window) || within(r.at, j.marks.jumps, j.tol, -1))
      continue;
    const bool cut = within(r.at, j.marks.cuts, j.cutSpan, -1);
    if (!nearest(exact, r.at, j.halfStep, true) &&
        !(cut && nearest(exact, r.at, tolerance(r.at), false)))
      ++t.extra, report(nearest(exact, r.at, j.tol, false) ? "extra, silent exact" : "extra", r.at);
  }
  return t;
}

// The judge of a play at `rate` with the position rounded to ticks of `tick` samples (at the
// slowest tempo), whose shortest step is shortStep samples.
Judge judge(double rate, int frames, double tick, double shortStep, const Marks& marks)
{
  const double tol = tick + 2;
  const int settle = kFadeLen + attackLen(rate) + (int)tol + kMaxMove + 1;
  // Around a speed change the rounding may read the change's block half a tick early or late
  // (moving a start across the change), the start window may take a start at the change, and a
  // start during another's gate fade merges with it.
  const double window = tol + kStartWindow + kFadeLen + 1;
  return {(int)tol + kStartWindow + 1,
          frames - settle,
          tol,
          shortStep / 2,
          window,
          (double)settle,
          marks};
}

const double kRates[] = {22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000};
const int kMeters[][2] = {{4, 4}, {3, 4}, {2, 4}, {6, 8}, {7, 8}, {5, 4}, {12, 8}};

// A play the host scripts.
struct Scenario
{
  double rate;
  int numSteps, arpSpeed;
  std::vector<Block> blocks;
  Marks marks;
  int frames;
  double slowBeat, shortStep;  // samples: a quarter note at the slowest tempo, the shortest step
  std::string what;
};

// A random play of up to `budget` samples from the seed: sample rate, block size, tempo (held, or
// ramped block by block by up to 30 BPM a second), meter (held, or changed at a bar line both
// meters share), a loop (its ends on ticks of 1/960), step count, speed and up to three speed
// changes at block starts.
Scenario scenario(uint32_t seed, int budget)
{
  std::mt19937 rng(seed);
  auto below = [&](int n) { return (int)(rng() % (uint32_t)n); };
  auto uniform = [&](double a, double b) { return a + (b - a) * ((double)rng() / 4294967296.0); };
  Scenario s;
  s.rate = kRates[below(8)];
  const int block = (int)std::lround(16.0 * std::pow(2.0, uniform(0.0, 8.0)));
  const double from = uniform(60.0, 200.0);
  s.frames = std::min(budget, (int)(uniform(2.0, 6.0) * 60.0 / from * s.rate));
  const double ramp = below(2) ? uniform(-30.0, 30.0) * s.frames / s.rate : 0.0;
  const double to = std::clamp(from + ramp, 60.0, 200.0);
  const int* m0 = kMeters[below(7)];
  const bool meterChange = below(3) == 0, loop = !meterChange && below(3) == 0;
  const int* m1 = meterChange ? kMeters[below(7)] : m0;
  s.numSteps = 2 + below(15);
  // Speeds whose steps hold the attack, the note-off's lead, two coarse ticks and a move of the
  // grid at the fastest tempo (such a step sounds wherever the rounding puts its start), and six
  // steps in the play where that leaves any.
  const double fast = 60.0 / std::max(from, to) * s.rate;
  s.slowBeat = 60.0 / std::min(from, to) * s.rate;
  std::vector<int> speeds;
  for (int a = 9; a >= 1; --a)
  {
    const bool holdsAttack = (int)(speedOf(a) * (int)(fast / 16)) >= attackLen(s.rate) +
                                                                       kNoteOffLead + kFadeLen +
                                                                       2 * fast / 960 + kMaxMove;
    if (holdsAttack && (speeds.empty() || speedOf(a) * s.slowBeat / 16 * 6 <= s.frames))
      speeds.push_back(a);
  }
  s.arpSpeed = speeds[below((int)speeds.size())];
  const double beat = 60.0 / ((from + to) / 2) * s.rate;
  const double span = s.frames / beat;  // quarter notes, about

  // The meter changes on a line of both meters' bars: the plug-in counts bars from song position 0.
  const int halves0 = m0[0] * 8 / m0[1], halves1 = m1[0] * 8 / m1[1];
  const double common = std::lcm(halves0, halves1) / 2.0;
  double line = common * (1 + below(3));
  double start = meterChange ? line - uniform(0.2, 0.8) * span : uniform(0.0, 64.0);
  if (start < 0.0)
  {
    const double shift = common * std::ceil(-start / common);
    line += shift, start += shift;
  }
  const double loopStart = std::ceil((start + uniform(0.0, 0.4) * span) * 960) / 960;
  const double loopEnd =
    loopStart + std::max(1.0, std::round(uniform(0.2, 0.5) * span * 960)) / 960;
  std::vector<int> changeAt;
  for (int n = below(4); n > 0; --n)
    changeAt.push_back((int)uniform(0.1 * s.frames, 0.9 * s.frames));
  std::sort(changeAt.begin(), changeAt.end());

  char what[300];
  int len =
    snprintf(what, sizeof(what), "seed %u: %g Hz, blocks of %d, %.3f", seed, s.rate, block, from);
  if (to != from)
    len += snprintf(what + len, sizeof(what) - len, " to %.3f", to);
  len += snprintf(what + len, sizeof(what) - len, " BPM, %d/%d", m0[0], m0[1]);
  if (meterChange)
    len += snprintf(what + len, sizeof(what) - len, " to %d/%d at quarter %g", m1[0], m1[1], line);
  if (loop)
    len += snprintf(what + len, sizeof(what) - len, ", loop %g to %g", loopStart, loopEnd);
  len += snprintf(what + len, sizeof(what) - len, ", from quarter %.6f, %d steps, speed %g", start,
                  s.numSteps, speedOf(s.arpSpeed));

  double ppq = start, shortest = speedOf(s.arpSpeed), speed = shortest;
  bool changed = false;
  size_t nextChange = 0;
  for (int at = 0; at < s.frames;)
  {
    const double tempo = from + (to - from) * at / s.frames, spb = 60.0 / tempo * s.rate;
    int n = std::min(block, s.frames - at);
    // The host splits the block at the meter's change and at the loop's end.
    if (meterChange && !changed)
    {
      const double toLine = std::ceil((line - ppq) * spb - 1e-6);
      if (toLine <= 0.0)
        changed = true;
      else
        n = (int)std::min<double>(n, toLine);
    }
    if (loop && ppq < loopEnd)
      n = (int)std::min<double>(n, std::max(1.0, std::ceil((loopEnd - ppq) * spb - 1e-6)));
    int arpSpeed = 0;
    if (nextChange < changeAt.size() && changeAt[nextChange] <= at && at > 0 && speeds.size() > 1)
    {
      ++nextChange;
      do
        arpSpeed = speeds[below((int)speeds.size())];
      while (speedOf(arpSpeed) == speed);
      speed = speedOf(arpSpeed);
      shortest = std::min(shortest, speed);
      s.marks.changes.push_back(at);
      s.marks.cuts.push_back(at);
      len += snprintf(what + len, sizeof(what) - len, ", %g at %d", speed, at);
    }
    const int* m = changed ? m1 : m0;
    // From the last block's timing to this one's, the start of the slot nearest the block's first
    // sample moves with the cycle's line and the step length (both whole samples).
    if (!s.blocks.empty() && tempo != s.blocks.back().tempo && !arpSpeed)
    {
      const double last = 60.0 / s.blocks.back().tempo * s.rate;
      const double quarters = m[0] * 4.0 / m[1];
      const double inCycle = std::fmod(std::fmod(ppq, quarters), 4.0);
      const int stepLen = (int)(speed * (int)(spb / 16)), lastLen = (int)(speed * (int)(last / 16));
      const double slot = std::round(inCycle * spb / stepLen);
      s.marks.moves.push_back(
        {at, std::fabs(inCycle * (last - spb) + slot * (stepLen - lastLen)) + 2});
    }
    s.blocks.push_back({n, ppq, tempo, m[0], m[1], arpSpeed});
    ppq += n / spb;
    at += n;
    if (loop && ppq >= loopEnd - 1e-9)
      ppq = loopStart, s.marks.cuts.push_back(at), s.marks.jumps.push_back(at);
  }
  s.shortStep = shortest * (int)(fast / 16);
  s.what = what;
  return s;
}

}  // namespace roundingtest

using namespace roundingtest;

// Random plays from fixed seeds, each rendered with exact song positions and with positions
// rounded to ticks of 1/1920 and 1/960 of a quarter note: the steps that sound are the same, each
// starting within a tick (and two samples) of where it starts at exact positions, and no step
// sounding there is silent rounded. Not compared: a step at the play's first samples (a start
// plays from a step's window only) or whose attack the play does not hold; around a speed change,
// what the window there allows (judge()); a start within the rounding before a loop's jump; a step
// that a speed change or a loop's jump may cut short need only start. At a block start where a
// tempo ramp moves the step grid, a start there may come on either grid.
TEST(QuorvalentRounding, RoundedPositionsPlayTheStepsExactOnesPlay)
{
  constexpr int kScenarios = 96, kBudget = 20000;
  Tally all;
  for (uint32_t seed = 1; seed <= kScenarios; ++seed)
  {
    const Scenario s = scenario(seed, kBudget);
    const std::vector<Step> exact = stepsIn(render(s.rate, s.numSteps, s.arpSpeed, s.blocks, 0));
    for (int ticks : {1920, 960})
    {
      int reported = 0;
      const Judge j = judge(s.rate, s.frames, s.slowBeat / ticks, s.shortStep, s.marks);
      all.add(compare(exact, stepsIn(render(s.rate, s.numSteps, s.arpSpeed, s.blocks, ticks)), j,
                      [&](const char* kind, int at) {
                        if (++reported <= 2)
                          ADD_FAILURE()
                            << kind << " at " << at << ", ticks of 1/" << ticks << "; " << s.what;
                      }));
    }
  }
  printf("%d plays, exact against rounded twice: %lld steps compared, %lld differences (%lld "
         "silent, %lld missing, %lld shifted, %lld extra)\n",
         kScenarios, all.compared, all.differences(), all.silent, all.missing, all.shifted,
         all.extra);
}

// Settings from hosts where rounded song positions changed what plays, each a new instance (its
// first program) with every step on, full note length, both LFOs off, 16 steps, a constant input
// and the transport playing from song position `ppq` at the song's first sample. Rendered: the
// stretch from a quarter note before the named starts (and the speed change) to a quarter note
// after them, on the case's block grid. Where steps were silenced (started, then released at
// once), none is silent rounded that sounds exact; where the old speed's start at the change was
// lost, it plays rounded as it does exact.
TEST(QuorvalentRounding, HostCasesPlayWhatExactPositionsPlay)
{
  const struct
  {
    const char* what;
    double rate;
    int block;
    double tempo;
    int numerator, denominator;
    double ppq;
    int ticks, arpSpeed, laterArpSpeed, changeBlock;  // changeBlock 0: the speed is held
    std::vector<int> starts;                          // samples from the song's first
    bool oldStart;  // the start named is the old speed's at the change
  } cases[] = {
    // clang-format off
    {"silenced steps, 96 kHz", 96000, 256, 93, 4, 4, 0, 1920, 7, 7, 0, {1734132, 1858034}, false},
    {"silenced steps, 192 kHz", 192000, 128, 174, 7, 4, 6.5, 960, 8, 9, 3536,
     {597884, 610292, 622700, 635108}, false},
    {"old start lost, 96 kHz", 96000, 256, 92.99999978582058, 4, 4, 0, 1920, 4, 5, 25025,
     {6406399}, true},
    {"old start lost, 60 BPM", 44100, 256, 60, 4, 4, 0, 1920, 6, 4, 3273, {837888}, true},
    // clang-format on
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.what);
    const double beat = 60.0 / c.tempo * c.rate;
    const int change = c.changeBlock ? c.changeBlock * c.block : c.starts.front();
    const int first = (int)((std::min(c.starts.front(), change) - beat) / c.block);
    const int last = (int)((std::max(c.starts.back(), change) + beat) / c.block);
    std::vector<Block> blocks;
    for (int b = first; b < last; ++b)
      blocks.push_back({c.block, c.ppq + (double)b * c.block / beat, c.tempo, c.numerator,
                        c.denominator, b == c.changeBlock ? c.laterArpSpeed : 0});
    const int arpSpeed = first < c.changeBlock ? c.arpSpeed : c.laterArpSpeed;
    const int origin = first * c.block;
    const std::vector<Step> exact = stepsIn(render(c.rate, 16, arpSpeed, blocks, 0));
    const std::vector<Step> rounded = stepsIn(render(c.rate, 16, arpSpeed, blocks, c.ticks));
    const double tick = beat / c.ticks;
    const double shortStep =
      std::min(speedOf(c.arpSpeed), speedOf(c.laterArpSpeed)) * (int)(beat / 16);
    if (c.oldStart)
    {
      const Step* e = nearest(exact, c.starts[0] - origin, 1, true);
      ASSERT_TRUE(e) << "no start at " << c.starts[0] << " at exact positions";
      const Step* r = nearest(rounded, e->at, tick + 2, true);
      EXPECT_TRUE(r) << "the old speed's start at " << c.starts[0] << " is lost rounded";
      printf("%s: the old speed's start at %d, rounded %s\n", c.what, e->at + origin,
             r ? "plays" : "lost");
      continue;
    }
    Marks marks;
    if (c.changeBlock > first)
      marks.changes = marks.cuts = {change - origin};
    const Judge j = judge(c.rate, (last - first) * c.block, tick, shortStep, marks);
    const Tally t = compare(exact, rounded, j, [&](const char* kind, int at) {
      if (!strcmp(kind, "silent"))
        ADD_FAILURE() << "the step at " << at + origin << " sounds exact, is silent rounded";
    });
    const long long exactSilent = std::count_if(exact.begin(), exact.end(), [&](const Step& s) {
      return !s.sounds && s.at >= j.from && s.at <= j.to;
    });
    EXPECT_EQ(exactSilent, 0);
    printf("%s: %lld steps compared, %lld silent rounded, %lld exact; %lld other differences\n",
           c.what, t.compared, t.silent, exactSilent, t.differences() - t.silent);
  }
}
