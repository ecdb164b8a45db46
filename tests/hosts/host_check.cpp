// hostcheck: compares what a real host made of the product with what the test host makes of it.
//
//   hostcheck source OUT.wav --rate HZ --frames N
//       the constant input the real hosts play (0.5 on both channels, 16-bit)
//   hostcheck compare PLUGIN RENDER.wav (--grid TOL | --steps TOL | --restarts | --samples TOL)
//                     [REFERENCE]
//       --grid       every bar's step starts within TOL samples of the grid that tempo, meter,
//                    rate and the program's speed, step count and steps give (tests/support/
//                    StepGrid.h): each enabled step starts once, nothing else starts
//       renders the reference with the test host's exact transport and compares:
//       --steps      every bar's step starts within TOL samples of the reference's
//       --restarts   the envelopes restart at exactly the reference's samples
//       --samples    every sample within TOL
//   hostcheck same A.wav B.wav
//       the two renders hold the same samples
//   hostcheck midi OUT.mid --notes FIRST:SPACING --frames N
//       a standard MIDI file of the notes --notes gives the reference (below), one tick a frame
//       at 44.1 kHz and 120 BPM
//
// REFERENCE options: --rate HZ (the render's) --block N (512) --tempo BPM (120) --meter N/D (4/4)
// --program N
// --param INDEX=VALUE --start-ppq X --idle-blocks N (the first N blocks report a transport that
// is not playing while the position moves on, as MrsWatson's first block does) --lead-in N (the
// reference starts N frames earlier and drops them: a render started mid-bar against the transport
// that ran from the bar line) --signal SPEC (dc:0.5) --notes FIRST:SPACING (note 60 on at FIRST and
// every SPACING frames, off half-way); --from N: marks before frame N are not compared;
// --keep FILE.wav: the reference is written there too (float), to look at.
//
// Exit status 0 when the renders agree, 1 when they do not, 2 on bad arguments or files.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/hosts/render_marks.h"
#include "tests/support/StepGrid.h"
#include "tools/vsthost/text_util.h"
#include "tools/vsthost/validator_context.h"
#include "tools/vsthost/wav_file.h"

using namespace vsthost;
using hostcheck::findRestarts;
using hostcheck::findStepStarts;
using hostcheck::restartNear;
using hostcheck::stepStartNear;

namespace {

int fail(const std::string& why)
{
  std::cerr << "hostcheck: " << why << "\n";
  return 2;
}

struct Reference
{
  double rate = 0.0;
  int block = 512;
  double tempo = 120.0;
  int numerator = 4, denominator = 4;
  int program = -1;
  std::vector<std::pair<int, float>> params;
  double startPpq = 0.0;
  int idleBlocks = 0;
  int64_t leadIn = 0;
  int64_t from = 0;
  std::string keep;
  SignalSpec signal;
  int64_t noteFirst = -1, noteSpacing = 0;
};

bool parseReference(const std::vector<std::string>& args, size_t from, Reference* r,
                    std::vector<std::string>* rest)
{
  parseSignalSpec("dc:0.5", &r->signal);
  for (size_t i = from; i < args.size(); ++i)
  {
    const std::string& o = args[i];
    const bool hasValue = i + 1 < args.size();
    const std::string v = hasValue ? args[i + 1] : "";
    int64_t n = 0, m = 0;
    double d = 0.0;
    if (o == "--rate" && hasValue && parseDouble(v, &r->rate))
      ++i;
    else if (o == "--block" && hasValue && parseInt(v, &n) && n > 0 && n <= 65536)
      r->block = static_cast<int>(n), ++i;
    else if (o == "--tempo" && hasValue && parseDouble(v, &r->tempo) && r->tempo > 0)
      ++i;
    else if (o == "--meter" && hasValue && split(v, '/').size() == 2 &&
             parseInt(split(v, '/')[0], &n) && n > 0 && parseInt(split(v, '/')[1], &m) && m > 0)
      r->numerator = static_cast<int>(n), r->denominator = static_cast<int>(m), ++i;
    else if (o == "--program" && hasValue && parseInt(v, &n))
      r->program = static_cast<int>(n), ++i;
    else if (o == "--param" && hasValue && v.find('=') != std::string::npos &&
             parseInt(v.substr(0, v.find('=')), &n) && parseDouble(v.substr(v.find('=') + 1), &d))
      r->params.emplace_back(static_cast<int>(n), static_cast<float>(d)), ++i;
    else if (o == "--start-ppq" && hasValue && parseDouble(v, &r->startPpq))
      ++i;
    else if (o == "--idle-blocks" && hasValue && parseInt(v, &n) && n >= 0)
      r->idleBlocks = static_cast<int>(n), ++i;
    else if (o == "--lead-in" && hasValue && parseInt(v, &r->leadIn) && r->leadIn >= 0)
      ++i;
    else if (o == "--from" && hasValue && parseInt(v, &r->from) && r->from >= 0)
      ++i;
    else if (o == "--keep" && hasValue)
      r->keep = v, ++i;
    else if (o == "--signal" && hasValue && parseSignalSpec(v, &r->signal))
      ++i;
    else if (o == "--notes" && hasValue && split(v, ':').size() == 2 &&
             parseInt(split(v, ':')[0], &r->noteFirst) &&
             parseInt(split(v, ':')[1], &r->noteSpacing) && r->noteSpacing > 1)
      ++i;
    else
      rest->push_back(o);
  }
  return true;
}

// An instance of the plug-in with the reference's program and parameters.
std::unique_ptr<PluginInstance> referenceInstance(validation::Context& context,
                                                  const Reference& ref)
{
  auto p = context.instance(ref.rate, ref.block, false);
  if (!p)
    return p;
  if (ref.program >= 0)
    p->setProgram(ref.program);
  for (const auto& param : ref.params)
    p->setParameter(param.first, param.second);
  return p;
}

// The test host's render of the reference, `frames` long.
bool renderReference(const std::string& plugin, const Reference& ref, int64_t frames,
                     AudioBuffer* out)
{
  ValidationReport unused;
  validation::Context context(plugin, unused);
  auto p = referenceInstance(context, ref);
  if (!p)
    return false;
  p->resume();
  TransportSettings t;
  t.tempo = ref.tempo;
  t.numerator = ref.numerator;
  t.denominator = ref.denominator;
  t.startPpq = ref.startPpq;  // where the reference starts, the lead-in included
  VstHost& host = context.host();
  host.transport().configure(t, ref.rate);
  validation::RunSpec spec;
  spec.blocks = {ref.block};
  spec.frames = frames + ref.leadIn;
  spec.signal = ref.signal;
  spec.beforeBlock = [&](int64_t block, int64_t pos, int n, std::vector<TimedEvent>& events) {
    // The position as hosts count it: the start plus the frames played, in this order of
    // operations (MrsWatson's, bit for bit; the transport's own sum rounds differently).
    host.timeOverrides().clear();
    host.timeOverrides().set(TimeOverrides::SamplePos, static_cast<double>(pos));
    host.timeOverrides().set(TimeOverrides::PpqPos,
                             ref.startPpq + static_cast<double>(pos) / ref.rate * ref.tempo / 60.0);
    if (block < ref.idleBlocks)
      host.timeOverrides().set(TimeOverrides::Flags,
                               host.transport().timeInfo().flags & ~kVstTransportPlaying);
    if (ref.noteFirst < 0)
      return;
    for (int i = 0; i < n; ++i)
    {
      const int64_t t = pos + i - ref.noteFirst;
      if (t >= 0 && t % ref.noteSpacing == 0)
        events.push_back({i, {0x90, 60, 100}, false});
      else if (t >= 0 && t % ref.noteSpacing == ref.noteSpacing / 2)
        events.push_back({i, {0x80, 60, 0}, false});
    }
  };
  validation::RunResult result;
  if (!validation::runBlocks(*p, spec, &result))
    return false;
  out->resize(result.output.channels(), static_cast<size_t>(frames));
  for (int c = 0; c < out->channels(); ++c)
    std::copy(result.output.channel(c) + ref.leadIn, result.output.channel(c) + ref.leadIn + frames,
              out->channel(c));
  return true;
}

std::vector<double> channel0(const AudioBuffer& b)
{
  return std::vector<double>(b.channel(0), b.channel(0) + b.frames());
}

// Every mark found in the reference shows in the render within `tolerance` samples, and every mark
// found in the render shows in the reference: marks are found strictly and confirmed loosely, so
// that a shape at the edge of the strict test is not taken for a missing or an extra one. Prints
// one line per bar.
using Near = bool (*)(const std::vector<double>&, int64_t, int64_t);

// `known`: whether a mark found in the render is one of the reference's.
bool compareMarks(const std::vector<int64_t>& refMarks, const std::vector<int64_t>& gotMarks,
                  const std::vector<double>& got, Near near, int64_t tolerance, double barFrames,
                  int64_t from, const std::function<bool(int64_t)>& known)
{
  bool ok = true;
  const int64_t frames = static_cast<int64_t>(got.size());
  // (A bar begun by less than a sample is none.)
  const int64_t bars =
    static_cast<int64_t>(std::ceil(static_cast<double>(frames) / barFrames - 1e-3));
  for (int64_t bar = 0; bar < bars; ++bar)
  {
    const auto inBar = [&](int64_t f) {
      return f >= from && f >= std::llround(bar * barFrames) &&
             f < std::llround((bar + 1) * barFrames);
    };
    int count = 0;
    int64_t worst = 0;
    std::string problems;
    for (int64_t f : refMarks)
    {
      if (!inBar(f))
        continue;
      ++count;
      int64_t offset = 0;
      while (offset <= tolerance && !near(got, f, offset))
        ++offset;
      if (offset > tolerance)
        problems += " missing mark at " + std::to_string(f);
      worst = std::max(worst, offset);
    }
    for (int64_t f : gotMarks)
      if (inBar(f) && !known(f))
        problems += " extra mark at " + std::to_string(f);
    if (count == 0 && problems.empty())
      problems = " no mark in the reference";
    std::cout << "bar " << bar + 1 << ": " << count << " marks, largest offset " << worst
              << (problems.empty() ? "" : ";" + problems) << "\n";
    ok = ok && problems.empty();
  }
  return ok;
}

// The starts of the enabled steps on the grid of the reference's tempo, meter and rate and the
// instance's speed ("Arp Speed" 1-9: 8 .. 1 sixty-fourths, then one half), step count ("Arp
// Intervall") and steps (parameters 20-35).
bool gridStarts(const std::string& plugin, const Reference& ref, int64_t frames,
                std::vector<int64_t>* out)
{
  ValidationReport unused;
  validation::Context context(plugin, unused);
  auto p = referenceInstance(context, ref);
  int64_t arpSpeed = 0, numSteps = 0;
  if (!p || !parseInt(p->paramDisplay(39), &arpSpeed) || arpSpeed < 1 || arpSpeed > 9 ||
      !parseInt(p->paramDisplay(38), &numSteps) || numSteps < 1)
    return false;
  const double speeds[] = {16, 8, 7, 6, 5, 4, 3, 2, 1, 0.5};
  const stepgrid::Settings s = {ref.rate,        ref.tempo,        ref.numerator,
                                ref.denominator, speeds[arpSpeed], static_cast<int>(numSteps)};
  for (const stepgrid::Start& e : stepgrid::expectedStarts(s, 0.0, static_cast<double>(frames)))
    if (p->getParameter(20 + e.step) >= 0.5f && e.at < static_cast<double>(frames) - 20.0)
      out->push_back(std::llround(e.at));
  return true;
}

bool readRender(const std::string& path, WavData* out)
{
  std::string error;
  if (readWavFile(path, out, &error))
    return true;
  std::cerr << "hostcheck: " << path << ": " << error << "\n";
  return false;
}

int runCompare(const std::vector<std::string>& args)
{
  if (args.size() < 4)
    return fail("compare needs PLUGIN RENDER.wav and a mode");
  WavData render;
  if (!readRender(args[2], &render))
    return 2;
  Reference ref;
  std::vector<std::string> mode;
  parseReference(args, 3, &ref, &mode);
  if (ref.rate <= 0)
    ref.rate = render.sampleRate;
  const double barFrames = ref.numerator * 4.0 / ref.denominator * 60.0 / ref.tempo * ref.rate;
  const std::vector<double> got0 = channel0(render.audio);
  int64_t n = 0;
  if (mode.size() == 2 && mode[0] == "--grid" && parseInt(mode[1], &n))
  {
    std::vector<int64_t> grid;
    if (!gridStarts(args[1], ref, static_cast<int64_t>(got0.size()), &grid))
      return fail("cannot read the program's step settings from " + args[1]);
    const auto onGrid = [&](int64_t f) {
      return std::any_of(grid.begin(), grid.end(),
                         [&](int64_t g) { return std::llabs(f - g) <= n; });
    };
    // A fade shows only on a level (findStepStarts: 0.01 or more): none is required at the
    // render's start or in near silence.
    std::vector<int64_t> shown;
    std::copy_if(grid.begin(), grid.end(), std::back_inserter(shown),
                 [&](int64_t g) { return g > n && std::fabs(got0[g - n - 1]) >= 0.012; });
    bool ok = compareMarks(shown, findStepStarts(got0), got0, stepStartNear, n, barFrames, ref.from,
                           onGrid);
    // The envelopes restart where a fade ends, 19 samples after its start: a second start soon
    // after another shows as a restart off the grid, its own fade being too low to see.
    for (int64_t r : findRestarts(got0))
      if (r >= ref.from && !onGrid(r - 19))
      {
        std::cout << "envelope restart off the grid at " << r << "\n";
        ok = false;
      }
    std::cout << (ok ? "the render is on the grid\n" : "the render is off the grid\n");
    return ok ? 0 : 1;
  }
  AudioBuffer reference;
  if (!renderReference(args[1], ref, static_cast<int64_t>(render.audio.frames()), &reference))
    return fail("the reference render failed: cannot load " + args[1]);
  std::string error;
  if (!ref.keep.empty() &&
      !writeWavFile(ref.keep, reference, static_cast<int>(ref.rate), WavFormat::Float32, &error))
    return fail(ref.keep + ": " + error);
  double tol = 0.0;
  bool ok = false;
  const std::vector<double> ref0 = channel0(reference);
  if (mode.size() == 2 && mode[0] == "--steps" && parseInt(mode[1], &n))
    ok = compareMarks(findStepStarts(ref0), findStepStarts(got0), got0, stepStartNear, n, barFrames,
                      ref.from, [&](int64_t f) { return stepStartNear(ref0, f, n); });
  else if (mode.size() == 1 && mode[0] == "--restarts")
    ok = compareMarks(findRestarts(ref0), findRestarts(got0), got0, restartNear, 0, barFrames,
                      ref.from, [&](int64_t f) { return restartNear(ref0, f, 0); });
  else if (mode.size() == 2 && mode[0] == "--samples" && parseDouble(mode[1], &tol))
  {
    std::string where;
    ok = validation::sameOutput(reference, render.audio, tol, &where);
    std::cout << (ok ? "every sample within " + formatFloat(tol) : "first difference: " + where)
              << "\n";
  }
  else
    return fail("unknown mode or option: " + (mode.empty() ? std::string("none") : mode[0]));
  std::cout << (ok ? "the renders agree\n" : "the renders differ\n");
  return ok ? 0 : 1;
}

int runSame(const std::vector<std::string>& args)
{
  WavData a, b;
  if (args.size() != 3 || !readRender(args[1], &a) || !readRender(args[2], &b))
    return fail("same needs two readable renders");
  double peak = 0.0;
  for (int c = 0; c < a.audio.channels(); ++c)
    for (size_t i = 0; i < a.audio.frames(); ++i)
      peak = std::max(peak, std::fabs(a.audio.channel(c)[i]));
  if (peak < 1e-3)
  {
    std::cout << "the renders are silent: that proves nothing\n";
    return 1;
  }
  std::string where;
  const bool ok = validation::sameOutput(a.audio, b.audio, 0.0, &where);
  std::cout << (ok ? "the renders are the same\n" : "the renders differ: " + where + "\n");
  return ok ? 0 : 1;
}

// A type-0 file at 22050 ticks a quarter note (120 BPM, no tempo event): a tick is a frame at
// 44.1 kHz. Note 60 on at FIRST and every SPACING ticks, off half-way, up to `frames`.
int runMidi(const std::vector<std::string>& args)
{
  int64_t first = 0, spacing = 0, frames = 0;
  const std::vector<std::string> notes =
    args.size() == 6 ? split(args[3], ':') : std::vector<std::string>();
  if (args.size() != 6 || args[2] != "--notes" || notes.size() != 2 ||
      !parseInt(notes[0], &first) || !parseInt(notes[1], &spacing) || first < 0 || spacing < 2 ||
      args[4] != "--frames" || !parseInt(args[5], &frames))
    return fail("midi needs OUT.mid --notes FIRST:SPACING --frames N");
  std::vector<uint8_t> track;
  int64_t last = 0;
  const auto event = [&](int64_t tick, uint8_t status, uint8_t velocity) {
    int64_t delta = tick - last;
    last = tick;
    uint8_t vlq[5];
    int n = 0;
    do
    {
      vlq[n++] = static_cast<uint8_t>(delta & 0x7F);
      delta >>= 7;
    } while (delta > 0);
    while (n > 0)
    {
      --n;
      track.push_back(static_cast<uint8_t>(vlq[n] | (n > 0 ? 0x80 : 0)));
    }
    track.insert(track.end(), {status, 60, velocity});
  };
  for (int64_t t = first; t < frames; t += spacing)
  {
    event(t, 0x90, 100);
    if (t + spacing / 2 < frames)
      event(t + spacing / 2, 0x80, 0);
  }
  track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
  std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x56, 0x22};
  const uint32_t size = static_cast<uint32_t>(track.size());
  file.insert(file.end(), {'M', 'T', 'r', 'k', static_cast<uint8_t>(size >> 24),
                           static_cast<uint8_t>(size >> 16), static_cast<uint8_t>(size >> 8),
                           static_cast<uint8_t>(size)});
  file.insert(file.end(), track.begin(), track.end());
  std::string error;
  if (!writeFileBytes(args[1], file, &error))
    return fail(args[1] + ": " + error);
  return 0;
}

int runSource(const std::vector<std::string>& args)
{
  double rate = 0.0;
  int64_t frames = 0;
  if (args.size() != 6 || args[2] != "--rate" || !parseDouble(args[3], &rate) ||
      args[4] != "--frames" || !parseInt(args[5], &frames) || frames < 0)
    return fail("source needs OUT.wav --rate HZ --frames N");
  AudioBuffer audio(2, static_cast<size_t>(frames));
  SignalSpec dc;
  parseSignalSpec("dc:0.5", &dc);
  generateSignal(dc, rate, 0, &audio);
  std::string error;
  if (!writeWavFile(args[1], audio, static_cast<int>(rate), WavFormat::Pcm16, &error))
    return fail(args[1] + ": " + error);
  return 0;
}

}  // namespace

int main(int argc, char** argv)
{
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty())
    return fail("usage: hostcheck source|compare|same ...");
  if (args[0] == "compare")
    return runCompare(args);
  if (args[0] == "same")
    return runSame(args);
  if (args[0] == "source")
    return runSource(args);
  if (args[0] == "midi")
    return runMidi(args);
  return fail("unknown command " + args[0]);
}
