#pragma once
// Where a user expects the sequencer's steps to start, from tempo, meter, sample rate, speed and
// step count alone: a step is a whole number of samples (speed sixty-fourths of a whole-sample
// sixty-fourth note), counted from every bar line, and from every four quarter notes inside a
// longer bar. The last slot before a line, when shorter than a unit (and a step), starts that
// line's step 1 early; the line itself then starts nothing. Positions in samples from song
// position 0, a bar line.

#include <algorithm>
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
  double at;
  int step;  // 0-based
};

struct Lengths
{
  double beat, bar;
  int unit, stepLen, cycle;
};

inline Lengths lengths(const Settings& s)
{
  Lengths l;
  l.beat = 60.0 / s.tempo * s.rate;
  l.bar = s.numerator * 4.0 / (s.denominator < 1 ? 4.0 : s.denominator) * l.beat;
  l.unit = (int)(l.beat / 16.0);
  l.stepLen = (int)(s.speed * l.unit);
  l.cycle = (int)std::min(l.bar, 4.0 * l.beat);
  return l;
}

// The starts from the bar holding `from` up to `to`.
inline std::vector<Start> expectedStarts(const Settings& s, double from, double to)
{
  const Lengths l = lengths(s);
  const int remnant = std::min(l.unit, l.stepLen);
  std::vector<Start> starts;
  bool lineTaken = false;
  for (double bar = std::floor(from / l.bar) * l.bar; bar < to; bar += l.bar)
    for (double line = bar; line < bar + l.bar - l.unit; line += l.cycle)
    {
      const double end = std::min(line + l.cycle, bar + l.bar);
      for (int k = lineTaken ? 1 : 0; line + (double)k * l.stepLen < end; ++k)
      {
        const double at = line + (double)k * l.stepLen;
        lineTaken = k > 0 && end - at < remnant;
        starts.push_back({at, lineTaken ? 0 : k % s.numSteps});
      }
    }
  return starts;
}

}  // namespace stepgrid
