// The validator's audio checks: processing formats, host time and MIDI.

#include <cmath>

#include "tools/vsthost/text_util.h"
#include "tools/vsthost/validator_context.h"

namespace vsthost {
namespace validation {
namespace {

constexpr double kRates[] = {22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0};
constexpr int kBlocks[] = {0, 1, 7, 64, 511, 1024, 8192};
constexpr ProcessCall kCalls[] = {ProcessCall::Replacing, ProcessCall::Accumulating,
                                  ProcessCall::Double};

SignalSpec noise(double amplitude = 0.5)
{
  SignalSpec s;
  s.kind = SignalSpec::Kind::Noise;
  s.amplitude = amplitude;
  return s;
}

// Gathers the sample findings of many runs under one heading each.
struct SampleFindings
{
  Findings nonFinite, denormals, inputs;

  void add(const RunResult& r, const std::string& run)
  {
    if (r.nonFinite.any())
      nonFinite.note(run + ": " + r.nonFinite.text());
    if (r.denormals.any())
      denormals.note(run + ": " + r.denormals.text());
    if (r.inputsChanged.any())
      inputs.note(run + ": " + r.inputsChanged.text());
  }
};

// The non-finite and denormal samples of a run, as one check's findings.
Findings badSamples(const RunResult& r)
{
  Findings f;
  if (r.nonFinite.any())
    f.note(r.nonFinite.text());
  if (r.denormals.any())
    f.note(r.denormals.text());
  return f;
}

// A host-time scenario: what the transport does before each block of a 44.1 kHz run.
struct TimeScenario
{
  const char* id;
  std::function<void(VstHost&, int64_t block)> step;
};

}  // namespace

void checkProcessing(Context& c)
{
  SampleFindings sweep;
  for (double rate : kRates)
  {
    auto p = c.instance(rate, 8192, false);
    if (!p)
      return;
    for (int block : kBlocks)
    {
      p->setBlockSize(block > 0 ? block : 512);
      p->resume();
      for (ProcessCall call : kCalls)
        for (bool inPlace : {false, true})
        {
          if (inPlace && call == ProcessCall::Accumulating)
            continue;  // adds the output to itself: no host does that
          RunSpec spec;
          spec.call = call;
          spec.inPlace = inPlace;
          spec.blocks = {block};
          spec.frames = block == 0 ? 0 : std::max(2 * block, 256);
          if (block == 0)
          {
            spec.blocks = {0, 0, 0, 64};  // empty calls between real ones
            spec.frames = 64;
          }
          spec.signal = noise();
          spec.signalFrames = spec.frames / 2;
          RunResult r;
          if (runBlocks(*p, spec, &r))
            sweep.add(r, formatFloat(rate) + " Hz, blocks of " + std::to_string(block) + ", " +
                           processCallName(call) + (inPlace ? " in place" : ""));
        }
      p->suspend();
    }
  }

  // A long decay after a burst is where denormals breed.
  for (ProcessCall call : {ProcessCall::Replacing, ProcessCall::Double})
  {
    auto p = c.instance(44100.0, 512);
    RunSpec spec;
    spec.call = call;
    spec.blocks = {512};
    spec.frames = 44100;
    spec.signal = noise(0.9);
    spec.signalFrames = 4410;
    RunResult r;
    if (p && runBlocks(*p, spec, &r))
      sweep.add(r, std::string("decay, ") + processCallName(call));
  }
  c.record("process.finite", sweep.nonFinite);
  c.record("process.denormals", sweep.denormals);
  c.record("process.inputs-untouched", sweep.inputs);

  // The same input through fresh instances: separate buffers twice (is the plug-in repeatable at
  // all?), in place, accumulating onto a prefilled output, and variable block sizes.
  auto run = [&](ProcessCall call, bool inPlace, double prefill, std::vector<int> blocks,
                 RunResult* r) {
    auto p = c.instance(44100.0, 512);
    RunSpec spec;
    spec.call = call;
    spec.inPlace = inPlace;
    spec.prefill = prefill;
    spec.blocks = std::move(blocks);
    spec.frames = 16384;
    spec.signal = noise();
    return p && runBlocks(*p, spec, r);
  };
  RunResult first, second, inPlace, accumulated, varied;
  run(ProcessCall::Replacing, false, 0.0, {512}, &first);
  run(ProcessCall::Replacing, false, 0.0, {512}, &second);
  std::string where;
  if (!sameOutput(first.output, second.output, 0.0, &where))
  {
    const std::string why = "the output differs between identical runs (" + where + ")";
    for (const char* id : {"process.in-place", "process.accumulating", "process.variable-blocks"})
      c.report().add(id, CheckStatus::Skip, why);
  }
  else
  {
    Findings f;
    if (run(ProcessCall::Replacing, true, 0.0, {512}, &inPlace) &&
        !sameOutput(first.output, inPlace.output, 0.0, &where))
      f.note("in place differs from separate buffers at " + where);
    RunResult dSep, dIn;
    if (run(ProcessCall::Double, false, 0.0, {512}, &dSep) &&
        run(ProcessCall::Double, true, 0.0, {512}, &dIn) &&
        !sameOutput(dSep.output, dIn.output, 0.0, &where))
      f.note("double in place differs from separate buffers at " + where);
    c.record("process.in-place", f);

    Findings acc;
    if (run(ProcessCall::Accumulating, false, 0.25, {512}, &accumulated))
    {
      for (int ch = 0; ch < accumulated.output.channels(); ++ch)
        for (size_t i = 0; i < accumulated.output.frames(); ++i)
          accumulated.output.channel(ch)[i] -= 0.25;
      if (!sameOutput(first.output, accumulated.output, 1e-6, &where))
        acc.note("0.25 in the output plus the replacing output expected, at " + where);
      c.record("process.accumulating", acc);
    }
    else
    {
      c.report().add("process.accumulating", CheckStatus::Skip, "no accumulating callback");
    }

    Findings var;
    run(ProcessCall::Replacing, false, 0.0, {1, 511, 64, 7, 300, 512, 2, 129}, &varied);
    if (varied.nonFinite.any())
      var.note(varied.nonFinite.text());
    else if (!sameOutput(first.output, varied.output, 1e-5, &where))
      var.note("blocks of varying size give other output than blocks of 512, at " + where);
    c.record("process.variable-blocks", var, CheckStatus::Warn);
  }
}

void checkHostTime(Context& c)
{
  // Ardour reports its song position in 1/1920 of a beat; MrsWatson starts at 1.0 with a first
  // block that is not playing; hosts roll in after stopped pre-roll blocks, loop, locate, and
  // change tempo and metre mid-song.
  const TimeScenario scenarios[] = {
    {"time.stopped",
     [](VstHost& h, int64_t b) {
       h.transport().setPlaying(false);
       (void)b;
     }},
    {"time.pre-roll", [](VstHost& h, int64_t b) { h.transport().setPlaying(b >= 6); }},
    {"time.start-1.0",
     [](VstHost& h, int64_t b) {
       if (b == 0)
         h.transport().locatePpq(1.0);
       h.transport().setPlaying(b > 0);
     }},
    {"time.rounded",
     [](VstHost& h, int64_t) {
       const double ppq = h.transport().ppqPos();
       h.timeOverrides().set(TimeOverrides::PpqPos, std::round(ppq * 1920.0) / 1920.0);
     }},
    {"time.loop",
     [](VstHost& h, int64_t b) {
       if (b == 0)
       {
         TransportSettings s = h.transport().settings();
         s.loop = true;
         s.loopStartPpq = 1.5;
         s.loopEndPpq = 3.25;
         h.transport().configure(s, h.transport().sampleRate());
       }
     }},
    {"time.locate",
     [](VstHost& h, int64_t b) {
       if (b % 9 == 8)
         h.transport().locatePpq(static_cast<double>((b * 7919) % 61) * 0.37);
     }},
    {"time.tempo",
     [](VstHost& h, int64_t b) {
       if (b % 10 == 0)
       {
         static const double tempos[] = {120.0, 60.0, 174.0, 97.3, 240.0, 30.0};
         TransportSettings s = h.transport().settings();
         const double ppq = h.transport().ppqPos();
         s.tempo = tempos[(b / 10) % 6];
         s.startPpq = ppq;
         h.transport().configure(s, h.transport().sampleRate());
       }
     }},
    {"time.time-signature",
     [](VstHost& h, int64_t b) {
       if (b % 10 == 0)
       {
         static const int sigs[][2] = {{3, 4}, {7, 8}, {5, 4}, {6, 8}, {4, 4}, {12, 16}};
         TransportSettings s = h.transport().settings();
         const double ppq = h.transport().ppqPos();
         s.numerator = sigs[(b / 10) % 6][0];
         s.denominator = sigs[(b / 10) % 6][1];
         s.startPpq = ppq;
         h.transport().configure(s, h.transport().sampleRate());
       }
     }},
    {"time.none", [](VstHost& h, int64_t) { h.timeOverrides().setAnswerNull(true); }},
  };
  for (const TimeScenario& scenario : scenarios)
  {
    auto p = c.instance(44100.0, 512);
    if (!p)
      return;
    VstHost& host = c.host();
    RunSpec spec;
    spec.blocks = {512, 300, 512, 1};
    spec.frames = 44100;
    spec.signal = noise();
    spec.beforeBlock = [&](int64_t block, int64_t, int, std::vector<TimedEvent>&) {
      host.timeOverrides().clear();
      scenario.step(host, block);
    };
    RunResult r;
    runBlocks(*p, spec, &r);
    c.record(scenario.id, badSamples(r));
  }
}

void checkMidi(Context& c)
{
  auto p = c.instance(44100.0, 64);
  if (!p)
    return;
  // In block k: a note on at offset k, its note off at 63 - k, a burst of eight at the last
  // offset, a controller and a pitch bend in between.
  RunSpec spec;
  spec.blocks = {64};
  spec.frames = 64 * 64 * 2;
  spec.signal = noise();
  spec.beforeBlock = [](int64_t block, int64_t, int frames, std::vector<TimedEvent>& events) {
    const int k = static_cast<int>(block % frames);
    const uint8_t key = static_cast<uint8_t>(36 + block % 48);
    events.push_back({std::min(k, 63 - k), {0x90, key, 100}, false});
    events.push_back(
      {std::min(k, 63 - k) + 1, {0xB0, 1, static_cast<uint8_t>(block % 128)}, false});
    events.push_back({std::max(k, 63 - k), {0x80, key, 0}, false});
    events.push_back({32, {0xE0, 0, static_cast<uint8_t>(block % 128)}, false});
    for (int i = 0; i < 8; ++i)
      events.push_back({frames - 1, {static_cast<uint8_t>(i % 2 ? 0x80 : 0x90), 60, 90}, false});
  };
  RunResult r;
  runBlocks(*p, spec, &r);
  c.record("midi.offsets", badSamples(r));
}

}  // namespace validation
}  // namespace vsthost
