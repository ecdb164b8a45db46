#pragma once

// Test signals. Every sample is a function of its absolute frame index, so a signal rendered in
// pieces (a script's successive `process` calls) equals the same signal rendered at once, and the
// noise is the same on every target.

#include <cstdint>
#include <string>

#include "tools/vsthost/audio_buffer.h"

namespace vsthost {

struct SignalSpec
{
  enum class Kind
  {
    Silence,
    Impulse,
    Dc,
    Sine,
    Noise
  };
  Kind kind = Kind::Sine;
  double frequency = 440.0;  // sine only
  double amplitude = 0.5;
  uint64_t seed = 1;  // noise only; each channel draws from its own stream
};

// "silence", "impulse[:AMP]", "dc[:AMP]", "sine[:FREQ[:AMP]]", "noise[:AMP[:SEED]]".
bool parseSignalSpec(const std::string& text, SignalSpec* out);
std::string describeSignal(const SignalSpec& spec);

// Fills `out` (its channel count and length as they are) with the frames firstFrame onwards.
void generateSignal(const SignalSpec& spec, double sampleRate, uint64_t firstFrame,
                    AudioBuffer* out);

}  // namespace vsthost
