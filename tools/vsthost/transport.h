#pragma once

// The host's musical clock: turns a configured tempo, time signature, start position, play state
// and loop into the `VstTimeInfo` of each block, and advances it as blocks are rendered.
//
// Tempo is constant, so quarter-note position and sample position map linearly onto each other.
// A stopped transport stays where it is. A loop wraps when the position reaches its end; the
// renderer splits blocks there (`framesToLoopEnd`) so that every block lies inside the loop.
//
// Like some hosts, the transport can report its quarter-note position rounded to whole ticks (the
// sample position stays exact), and can hold still for a few blocks before it starts playing
// (pre-roll).

#include <cstdint>

#include "framework/vst/abi/time_info.h"

namespace vsthost {

struct TransportSettings
{
  double tempo = 120.0;
  int numerator = 4;
  int denominator = 4;
  bool playing = true;
  double startSamples = 0.0;
  double startPpq = -1.0;  // when >= 0, the start position in quarter notes (wins over samples)
  bool loop = false;
  double loopStartPpq = 0.0;
  double loopEndPpq = 0.0;
  int ticksPerQuarter = 0;  // when > 0, ppqPos (and the bar start) rounded to whole ticks
  int preRollBlocks = 0;    // blocks reported stopped at the start before playing
};

class Transport
{
public:
  // Resets the position to the configured start; the next block is reported as a change.
  // A tempo that is not positive is replaced by 120 (the clock needs one to run).
  void configure(const TransportSettings& settings, double sampleRate);
  // Keeps the musical position across a sample-rate change.
  void setSampleRate(double sampleRate);
  void setPlaying(bool playing);
  // Moves to a position given in samples, or in quarter notes.
  void locateSamples(double samples);
  void locatePpq(double ppq);

  const TransportSettings& settings() const { return mSettings; }
  double sampleRate() const { return mSampleRate; }
  double samplePos() const { return mSamplePos; }
  double ppqPos() const;

  // The time information of the block starting at the current position.
  VstTimeInfo timeInfo() const;

  // Frames before the loop end, when a loop is running and the position lies before its end;
  // otherwise INT64_MAX.
  int64_t framesToLoopEnd() const;

  // Moves the position on by a block (not while stopped or in pre-roll) and clears the change
  // flag; the block that ends the pre-roll flags the start.
  void advance(int64_t frames);

private:
  double ppqToSamples(double ppq) const;
  bool running() const { return mSettings.playing && mPreRollLeft == 0; }
  bool loopRunning() const;

  TransportSettings mSettings;
  double mSampleRate = 44100.0;
  double mSamplePos = 0.0;
  bool mChanged = true;
  int mPreRollLeft = 0;
};

}  // namespace vsthost
