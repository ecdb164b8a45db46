#include "tools/vsthost/signal_generator.h"

#include <cmath>

#include "tools/vsthost/text_util.h"

namespace vsthost {
namespace {

// A counter-based generator (the splitmix64 finaliser): any frame's value without the ones before.
uint64_t mix(uint64_t z)
{
  z += 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

double noiseAt(uint64_t seed, int channel, uint64_t frame)
{
  const uint64_t bits = mix(mix(seed * 0x100000001B3ull + static_cast<uint64_t>(channel)) ^ frame);
  return static_cast<double>(bits >> 11) * (2.0 / 9007199254740992.0) - 1.0;  // uniform in [-1, 1)
}

}  // namespace

bool parseSignalSpec(const std::string& text, SignalSpec* out)
{
  const std::vector<std::string> parts = split(text, ':');
  SignalSpec spec;
  const std::string& kind = parts[0];
  size_t maxParts = 1;
  if (kind == "silence")
  {
    spec.kind = SignalSpec::Kind::Silence;
  }
  else if (kind == "impulse")
  {
    spec.kind = SignalSpec::Kind::Impulse;
    spec.amplitude = 1.0;
    maxParts = 2;
    if (parts.size() > 1 && !parseDouble(parts[1], &spec.amplitude))
      return false;
  }
  else if (kind == "dc")
  {
    spec.kind = SignalSpec::Kind::Dc;
    maxParts = 2;
    if (parts.size() > 1 && !parseDouble(parts[1], &spec.amplitude))
      return false;
  }
  else if (kind == "sine")
  {
    spec.kind = SignalSpec::Kind::Sine;
    maxParts = 3;
    if (parts.size() > 1 && !parseDouble(parts[1], &spec.frequency))
      return false;
    if (parts.size() > 2 && !parseDouble(parts[2], &spec.amplitude))
      return false;
  }
  else if (kind == "noise")
  {
    spec.kind = SignalSpec::Kind::Noise;
    maxParts = 3;
    int64_t seed = 1;
    if (parts.size() > 1 && !parseDouble(parts[1], &spec.amplitude))
      return false;
    if (parts.size() > 2 && !parseInt(parts[2], &seed))
      return false;
    spec.seed = static_cast<uint64_t>(seed);
  }
  else
  {
    return false;
  }
  if (parts.size() > maxParts || !std::isfinite(spec.amplitude) || !std::isfinite(spec.frequency))
    return false;
  *out = spec;
  return true;
}

std::string describeSignal(const SignalSpec& spec)
{
  switch (spec.kind)
  {
    case SignalSpec::Kind::Silence:
      return "silence";
    case SignalSpec::Kind::Impulse:
      return "impulse:" + formatFloat(spec.amplitude);
    case SignalSpec::Kind::Dc:
      return "dc:" + formatFloat(spec.amplitude);
    case SignalSpec::Kind::Sine:
      return "sine:" + formatFloat(spec.frequency) + ":" + formatFloat(spec.amplitude);
    case SignalSpec::Kind::Noise:
      return "noise:" + formatFloat(spec.amplitude) + ":" + std::to_string(spec.seed);
  }
  return "";
}

void generateSignal(const SignalSpec& spec, double sampleRate, uint64_t firstFrame,
                    AudioBuffer* out)
{
  const double twoPi = 6.283185307179586476925286766559;
  for (int c = 0; c < out->channels(); ++c)
  {
    double* dst = out->channel(c);
    for (size_t i = 0; i < out->frames(); ++i)
    {
      const uint64_t frame = firstFrame + i;
      double v = 0.0;
      switch (spec.kind)
      {
        case SignalSpec::Kind::Silence:
          break;
        case SignalSpec::Kind::Impulse:
          v = frame == 0 ? spec.amplitude : 0.0;
          break;
        case SignalSpec::Kind::Dc:
          v = spec.amplitude;
          break;
        case SignalSpec::Kind::Sine:
        {
          // The phase is reduced in whole cycles first so long renders keep their precision.
          const double cycles = spec.frequency * static_cast<double>(frame) / sampleRate;
          v = spec.amplitude * std::sin(twoPi * (cycles - std::floor(cycles)));
          break;
        }
        case SignalSpec::Kind::Noise:
          v = spec.amplitude * noiseAt(spec.seed, c, frame);
          break;
      }
      dst[i] = v;
    }
  }
}

}  // namespace vsthost
