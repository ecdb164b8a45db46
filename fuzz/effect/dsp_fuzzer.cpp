// Drives the DSP blocks and the MIDI receiver with arbitrary settings, inputs and MIDI bytes.
// Invariants: a finite input never gives a non-finite filter output, envelope and oscillator
// values are always finite, whatever was set before, and a filter pair run in lockstep gives
// exactly what its filters give one by one.
#include "effect/MIDIReceiver.h"
#include "effect/dsp/EnvelopeGenerator.h"
#include "effect/dsp/Filter.h"
#include "effect/dsp/FilterPair.h"
#include "effect/dsp/Oscillator.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

struct Rig
{
  Filter filter;
  Filter pairL, pairR;  // pairL mirrors filter; pairR has the same settings and its own input
  EnvelopeGenerator env;
  Oscillator osc;
  MIDIReceiver midi;

  Rig()
  {
    osc.setMuted(false);
    midi.noteOn.Connect(this, &Rig::onNoteOn);
    midi.noteOff.Connect(this, &Rig::onNoteOff);
  }
  void onNoteOn(int, int) { env.enterStage(EnvelopeGenerator::ATTACK); }
  void onNoteOff(int, int) { env.enterStage(EnvelopeGenerator::RELEASE); }

  void run(double input, int samples)
  {
    double mods[256], inL[256], inR[256], outL[256], outR[256], solo[256];
    for (int i = 0; i < samples; ++i)
    {
      midi.advance();
      const double level = env.nextSample();
      const double lfo = osc.nextSample();
      filter.setCutoffMod(level + lfo);
      const double out = filter.process(input);
      if (!std::isfinite(level) || !std::isfinite(lfo) ||
          (std::isfinite(input) && !std::isfinite(out)))
        abort();
      mods[i] = level + lfo;
      inL[i] = input;
      inR[i] = -3.0 * input + lfo;
      solo[i] = out;
    }
    FilterPair::process(pairL, pairR, mods, inL, inR, outL, outR, samples);
    for (int i = 0; i < samples; ++i)
      if (std::memcmp(&outL[i], &solo[i], sizeof(double)) != 0 ||
          (std::isfinite(inR[i]) && !std::isfinite(outR[i])))
        abort();
  }
  template <class Setting>
  void setFilters(Setting setting)
  {
    setting(filter);
    setting(pairL);
    setting(pairR);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  Rig rig;
  // Records of one operation byte, one argument byte and eight bytes of a double.
  while (size >= 10)
  {
    const uint8_t op = data[0], arg = data[1];
    double v;
    std::memcpy(&v, data + 2, sizeof v);
    data += 10;
    size -= 10;
    switch (op % 14)
    {
      case 0:
        rig.setFilters([v](Filter& f) { f.setCutoff(v); });
        break;
      case 1:
        rig.setFilters([v](Filter& f) { f.setResonance(v); });
        break;
      case 2:
        rig.setFilters(
          [arg](Filter& f) { f.setFilterMode(static_cast<Filter::FilterMode>(arg % 5)); });
        break;
      case 3:
        rig.env.setStageValue(static_cast<EnvelopeGenerator::EnvelopeStage>(arg % 6), v);
        break;
      case 4:
        rig.env.enterStage(static_cast<EnvelopeGenerator::EnvelopeStage>(arg % 6));
        break;
      case 5:
        rig.env.setSampleRate(v);
        break;
      case 6:
        rig.osc.setFrequency(v);
        break;
      case 7:
        rig.osc.setSampleRate(v);
        break;
      case 8:
        rig.osc.setMode(static_cast<OscillatorMode>(arg % 4));
        break;
      case 9:
        rig.run(v, arg);
        break;
      case 10:
      {
        IMidiMsg msg((int8_t)data[-8], data[-7], data[-6], data[-5]);
        for (int i = 0; i <= arg; ++i)
          rig.midi.onMessageReceived(&msg);
        break;
      }
      case 11:
        rig.midi.endBlock();
        break;
      case 12:
        rig.midi.dropPending();
        break;
      default:
        rig.osc.setStartPosition();
        break;
    }
  }
  return 0;
}
