#pragma once
// Where a user expects the sequencer's steps to start, from tempo, meter, sample rate, speed and
// step count alone. Positions are whole samples from song position 0, a bar line; a line (a bar
// line, or four quarter notes into a longer bar) lies on its own sample: the first at or after
// it. A step is a whole number of samples (speed sixty-fourths of a whole-sample sixty-fourth
// note), counted from every line. The last slot before a line, when shorter than a unit (and a
// step), starts that line's step 1 early; the line itself then starts nothing.
//
// The speed may change at given samples (block boundaries). From a change on, the slots of the
// new speed, still counted from the cycle's line, start; a slot whose start the change fell
// within the window of (0 .. 10 samples in) starts at the change. Each slot, told by its cycle and
// its start in sixty-fourths, starts once: a slot of the new speed that starts on the sixty-fourth
// just started does not start again.

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace stepgrid {

struct Settings
{
  double rate, tempo;
  int numerator, denominator;
  double speed;  // sixty-fourths a step
  int numSteps;
};

struct Start
{
  double at;  // a whole sample
  int step;   // 0-based
  // The slot: the cycle counted from song position 0, and its start in sixty-fourths from the
  // cycle's line (a slot in a cycle's remnant is the next cycle's first).
  long long cycle;
  double sixtyFourths;
};

// From sample `at` on, steps of `speed` sixty-fourths.
struct Change
{
  double at;
  double speed;
};

struct Lengths
{
  double beat, quarters;  // samples a quarter note, quarter notes a bar
  double bar;             // samples a bar
  int unit, stepLen;
  double cycle;  // samples, at most four quarter notes
};

inline Lengths lengths(const Settings& s)
{
  Lengths l;
  l.beat = 60.0 / s.tempo * s.rate;
  l.quarters = s.numerator * 4.0 / (s.denominator < 1 ? 4.0 : s.denominator);
  l.bar = l.quarters * l.beat;
  l.unit = (int)(l.beat / 16.0);
  l.stepLen = (int)(s.speed * l.unit);
  l.cycle = std::min(l.quarters, 4.0) * l.beat;
  return l;
}

// The own sample of the point q quarter notes into the song.
inline double ownSample(double q, double beat) { return std::ceil(q * beat - 1e-6); }

// The starts from the bar before the one holding `from` up to `to`, the speed changing as given
// (in order of their samples).
inline std::vector<Start> expectedStarts(const Settings& s, double from, double to,
                                         const std::vector<Change>& changes = {})
{
  constexpr int kWindow = 10;
  const Lengths l = lengths(s);
  std::vector<Change> speeds = {{-1e300, s.speed}};
  speeds.insert(speeds.end(), changes.begin(), changes.end());
  speeds.push_back({1e300, 0.0});

  std::vector<Start> starts;
  // The slot started last: its cycle and its start in sixty-fourths.
  long long lastCycle = LLONG_MIN;
  double lastAt = -1.0;
  int step = 0;
  const double firstBar = std::floor(from / l.bar) - 1.0;
  long long cycle = (long long)firstBar * (long long)std::ceil(l.quarters / 4.0);
  for (double bar = firstBar; ownSample(bar * l.quarters, l.beat) < to; bar += 1.0)
    for (double q = 0.0; q < l.quarters; q += 4.0, ++cycle)
    {
      const double line = ownSample(bar * l.quarters + q, l.beat);
      const double end = ownSample(bar * l.quarters + std::min(q + 4.0, l.quarters), l.beat);
      // Each speed's slots in the stretch it is in force (and the window before it).
      struct Slot
      {
        double at, sixtyFourths;
        bool remnant;
      };
      std::vector<Slot> slots;
      for (size_t i = 0; i + 1 < speeds.size(); ++i)
      {
        const int len = (int)(speeds[i].speed * l.unit);
        for (int k = 0; line + (double)k * len < end; ++k)
        {
          const double p = line + (double)k * len;
          if (p < speeds[i].at - kWindow || p >= speeds[i + 1].at)
            continue;
          const bool remnant = k > 0 && end - p < std::min(l.unit, len);
          slots.push_back({std::max(p, speeds[i].at), k * speeds[i].speed, remnant});
        }
      }
      std::stable_sort(slots.begin(), slots.end(),
                       [](const Slot& a, const Slot& b) { return a.at < b.at; });
      for (const Slot& slot : slots)
      {
        const long long c = slot.remnant ? cycle + 1 : cycle;
        const double at = slot.remnant ? 0.0 : slot.sixtyFourths;
        if (c == lastCycle && at == lastAt)
          continue;
        lastCycle = c, lastAt = at;
        step = at == 0.0 ? 0 : (step + 1) % s.numSteps;
        starts.push_back({slot.at, step, c, at});
      }
    }
  starts.erase(std::remove_if(starts.begin(), starts.end(),
                              [&](const Start& e) { return e.at < from || e.at >= to; }),
               starts.end());
  return starts;
}

}  // namespace stepgrid
