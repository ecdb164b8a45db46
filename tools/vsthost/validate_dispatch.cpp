// The validator's dispatcher-side checks: lifecycle, texts, parameters, programs and state.

#include <cmath>
#include <cstring>
#include <limits>

#include "framework/vst/abi/opcodes.h"
#include "framework/vst/abi/pins.h"
#include "framework/vst/abi/string_limits.h"
#include "tools/vsthost/text_util.h"
#include "tools/vsthost/validator_context.h"

namespace vsthost {
namespace validation {
namespace {

constexpr double kRates[] = {22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0};
constexpr int kBlocks[] = {1, 7, 64, 511, 1024, 4096, 8192};

// Runs a few blocks of noise through the replacing callback; notes non-finite output.
void playBriefly(PluginInstance& plugin, int blockSize, Findings& findings, const std::string& when)
{
  RunSpec spec;
  spec.blocks = {blockSize};
  spec.frames = std::max(4 * blockSize, 256);
  spec.signal.kind = SignalSpec::Kind::Noise;
  RunResult r;
  runBlocks(plugin, spec, &r);
  if (r.nonFinite.any())
    findings.note(when + ": " + r.nonFinite.text());
}

std::vector<float> readParams(PluginInstance& p)
{
  std::vector<float> v;
  for (int i = 0; i < p.numParams(); ++i)
    v.push_back(p.getParameter(i));
  return v;
}

// A text a plug-in writes, read out of a buffer pre-filled with guard bytes. The plug-in's share
// of the buffer is everything up to the last byte it changed.
class GuardedText
{
public:
  static constexpr size_t kSize = 1024;
  static constexpr unsigned char kGuard = 0xA5;

  GuardedText() { std::memset(mBuf, kGuard, sizeof mBuf); }
  char* data() { return reinterpret_cast<char*>(mBuf); }

  // Bytes the plug-in wrote (0 when it wrote nothing).
  size_t written() const
  {
    for (size_t i = kSize; i > 0; --i)
      if (mBuf[i - 1] != kGuard)
        return i;
    return 0;
  }
  bool terminated() const { return std::memchr(mBuf, 0, written()) != nullptr || written() == 0; }
  std::string text() const { return fromBuffer(reinterpret_cast<const char*>(mBuf), written()); }

private:
  unsigned char mBuf[kSize];
};

// Hosts allocate more than the interface's lengths, but rarely more than this.
constexpr size_t kHostBuffer = 64;

// Checks one text answer against its interface length; a longer one warns, one beyond what hosts
// allocate, or unterminated, fails.
void judgeText(const GuardedText& t, size_t limit, const std::string& what, Findings& fails,
               Findings& warns)
{
  const size_t n = t.written();
  if (!t.terminated())
    fails.note(what + " is not terminated within the " + std::to_string(n) + " bytes written");
  else if (n > std::max(limit, kHostBuffer))
    fails.note(what + " writes " + std::to_string(n) + " bytes, the interface allows " +
               std::to_string(limit));
  else if (n > limit)
    warns.note(what + " writes " + std::to_string(n) + " bytes (" + quote(t.text()) +
               "), the interface allows " + std::to_string(limit));
}

void recordText(Context& c, const std::string& id, const Findings& fails, const Findings& warns)
{
  if (fails.any())
    c.record(id, fails);
  else
    c.record(id, warns, CheckStatus::Warn);
}

// "N bytes become M, the first change at byte K".
std::string describeChange(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after)
{
  size_t k = 0;
  while (k < before.size() && k < after.size() && before[k] == after[k])
    ++k;
  return std::to_string(before.size()) + " bytes become " + std::to_string(after.size()) +
         ", the first change at byte " + std::to_string(k);
}

}  // namespace

bool checkLifecycle(Context& c, bool everything)
{
  Findings record;
  {
    std::string error;
    std::unique_ptr<PluginInstance> p = PluginInstance::load(c.host(), c.path(), &error);
    if (!p)
    {
      c.report().add("lifecycle.load", CheckStatus::Fail, error);
      return false;
    }
    const AEffect* e = p->effect();
    if (!e->dispatcher)
    {
      c.report().add("lifecycle.load", CheckStatus::Fail, "the record has no dispatcher");
      return false;
    }
    if (e->numInputs < 0 || e->numInputs > 64 || e->numOutputs < 0 || e->numOutputs > 64)
      record.note("channel counts " + std::to_string(e->numInputs) + "/" +
                  std::to_string(e->numOutputs));
    if (e->numParams < 0 || e->numPrograms < 0)
      record.note("negative parameter or program count");
    if (e->numParams > 0 && (!e->getParameter || !e->setParameter))
      record.note("parameters without getParameter and setParameter");
    if (!e->processReplacing || !(e->flags & effFlagsCanReplacing))
      record.note("no processReplacing (required since 2.4)");
    if ((e->flags & effFlagsCanDoubleReplacing) && !e->processDoubleReplacing)
      record.note("double precision flagged without its callback");
  }
  c.record("lifecycle.load", record);
  if (!everything)
    return true;

  Findings openClose;
  for (int round = 0; round < 16; ++round)
  {
    auto p = c.instance(kRates[round % 7], 256);
    if (!p)
    {
      openClose.note("round " + std::to_string(round) + ": the instance was not created");
      continue;
    }
    playBriefly(*p, 256, openClose, "round " + std::to_string(round));
  }
  c.record("lifecycle.open-close", openClose);

  // Several instances at once keep their own state and play interleaved.
  Findings instances;
  std::vector<std::unique_ptr<PluginInstance>> all;
  for (int i = 0; i < 4; ++i)
    if (auto p = c.instance())
      all.push_back(std::move(p));
  if (all.size() == 4 && all[0]->numParams() > 0)
  {
    all[0]->setParameter(0, 0.0f);
    const float a = all[0]->getParameter(0);
    all[1]->setParameter(0, 1.0f);
    if (all[1]->getParameter(0) != a && all[0]->getParameter(0) != a)
      instances.note("setting parameter 0 of one instance changed it in another");
  }
  for (int round = 0; round < 3; ++round)
    for (auto& p : all)
      playBriefly(*p, 512, instances, "interleaved");
  c.record("lifecycle.instances", instances);

  Findings cycles;
  if (auto p = c.instance(44100.0, 8192, false))
  {
    for (int k = 0; k < 8; ++k)
    {
      p->setSampleRate(kRates[k % 7]);
      p->setBlockSize(kBlocks[(k * 3) % 7]);
      p->resume();
      playBriefly(*p, kBlocks[(k * 3) % 7], cycles,
                  formatFloat(kRates[k % 7]) + " Hz, " + std::to_string(kBlocks[(k * 3) % 7]));
      p->suspend();
    }
  }
  c.record("lifecycle.suspend-resume", cycles);
  return true;
}

void checkTexts(Context& c)
{
  auto p = c.instance();
  if (!p)
    return;
  const int np = p->numParams(), nprog = p->numPrograms();
  struct Opcode
  {
    const char* id;
    VstInt32 opcode;
    size_t limit;
    int count;  // indexes 0..count-1 are valid; -1 and count are tried as well (0: no index)
  };
  const Opcode opcodes[] = {
    {"text.param-name", effGetParamName, kVstMaxParamStrLen, np},
    {"text.param-label", effGetParamLabel, kVstMaxParamStrLen, np},
    {"text.param-display", effGetParamDisplay, kVstMaxParamStrLen, np},
    {"text.program-name", effGetProgramName, kVstMaxProgNameLen, 0},
    {"text.program-name-indexed", effGetProgramNameIndexed, kVstMaxProgNameLen, nprog},
    {"text.effect-name", effGetEffectName, kVstMaxEffectNameLen, 0},
    {"text.vendor", effGetVendorString, kVstMaxVendorStrLen, 0},
    {"text.product", effGetProductString, kVstMaxProductStrLen, 0},
  };
  for (const Opcode& op : opcodes)
  {
    Findings fails, warns;
    const int first = op.count > 0 ? -1 : 0, last = op.count > 0 ? op.count : 0;
    for (int index = first; index <= last; ++index)
    {
      // Displays at both ends and the middle of each parameter's range.
      const int passes = op.opcode == effGetParamDisplay && index >= 0 && index < np ? 3 : 1;
      for (int pass = 0; pass < passes; ++pass)
      {
        if (passes > 1)
          p->setParameter(index, 0.5f * static_cast<float>(pass));
        GuardedText t;
        p->dispatch(op.opcode, index, 0, t.data());
        judgeText(t, op.limit, "index " + std::to_string(index), fails, warns);
      }
    }
    recordText(c, op.id, fails, warns);
  }

  // Pin labels are fields of a record the host owns.
  Findings pinFails, pinWarns;
  for (VstInt32 opcode : {effGetInputProperties, effGetOutputProperties})
  {
    const int n =
      opcode == effGetInputProperties ? p->effect()->numInputs : p->effect()->numOutputs;
    for (int index = -1; index <= n; ++index)
    {
      struct
      {
        VstPinProperties pin;
        unsigned char guard[64];
      } record;
      std::memset(&record, GuardedText::kGuard, sizeof record);
      p->dispatch(opcode, index, 0, &record.pin);
      for (unsigned char g : record.guard)
        if (g != GuardedText::kGuard)
        {
          pinFails.note("pin " + std::to_string(index) + " writes past the record");
          break;
        }
      const auto label = reinterpret_cast<const char*>(record.pin.label);
      const auto shortLabel = reinterpret_cast<const char*>(record.pin.shortLabel);
      if (static_cast<unsigned char>(label[0]) != GuardedText::kGuard &&
          !std::memchr(label, 0, sizeof record.pin.label))
        pinFails.note("pin " + std::to_string(index) + " label is not terminated");
      if (static_cast<unsigned char>(shortLabel[0]) != GuardedText::kGuard &&
          !std::memchr(shortLabel, 0, sizeof record.pin.shortLabel))
        pinWarns.note("pin " + std::to_string(index) + " short label is not terminated");
    }
  }
  recordText(c, "text.pin-labels", pinFails, pinWarns);
}

void checkParameters(Context& c)
{
  auto p = c.instance();
  if (!p)
    return;
  const int np = p->numParams();
  Findings values, outside, outsideWarn, nan, roundTrip, refused;
  const std::vector<float> initial = readParams(*p);
  for (int i = 0; i < np; ++i)
  {
    const std::string name = std::to_string(i) + " " + quote(p->paramName(i));
    for (float v : {0.0f, 0.5f, 1.0f})
    {
      p->setParameter(i, v);
      const float got = p->getParameter(i);
      if (!(got >= 0.0f && got <= 1.0f))
        values.note(name + " set to " + formatFloat(v) + " reads " + formatFloat(got));
      else if (v != 0.5f && std::fabs(got - v) > 1e-3f)
        values.note(name + " set to " + formatFloat(v) + " reads " + formatFloat(got));
    }
    const float inf = std::numeric_limits<float>::infinity();
    for (float v : {-0.5f, 1.5f, -inf, inf})
    {
      p->setParameter(i, v);
      const float got = p->getParameter(i);
      if (!std::isfinite(got))
        outside.note(name + " set to " + formatFloat(v) + " reads " + formatFloat(got));
      else if (got < 0.0f || got > 1.0f)
        outsideWarn.note(name + " set to " + formatFloat(v) + " reads " + formatFloat(got));
    }
    p->setParameter(i, initial[static_cast<size_t>(i)]);
    p->setParameter(i, std::numeric_limits<float>::quiet_NaN());
    if (!std::isfinite(p->getParameter(i)))
      nan.note(name + " reads " + formatFloat(p->getParameter(i)));

    // What the plug-in displays, typed back in, displays the same.
    for (float v : {0.0f, 0.37f, 1.0f})
    {
      p->setParameter(i, v);
      const std::string shown = p->paramDisplay(i);
      if (p->stringToParameter(i, shown) == 0)
      {
        refused.note(name + " refuses its display " + quote(shown));
        continue;
      }
      const std::string again = p->paramDisplay(i);
      if (again != shown)
        roundTrip.note(name + " displays " + quote(shown) + ", then " + quote(again) +
                       " once that text is set");
    }
    p->setParameter(i, initial[static_cast<size_t>(i)]);
  }
  // What out-of-range and NaN values leave behind must not reach the output.
  for (int i = 0; i < np; ++i)
    p->setParameter(i, std::numeric_limits<float>::quiet_NaN());
  playBriefly(*p, 512, nan, "after NaN values");
  for (int i = 0; i < np; ++i)
    p->setParameter(i, i % 2 ? 1.5f : -0.5f);
  playBriefly(*p, 512, outside, "after out-of-range values");

  c.record("params.values", values);
  c.record("params.out-of-range", outside.any() ? outside : outsideWarn,
           outside.any() ? CheckStatus::Fail : CheckStatus::Warn);
  c.record("params.nan", nan);
  c.record("params.display-roundtrip", roundTrip.any() ? roundTrip : refused,
           roundTrip.any() ? CheckStatus::Fail : CheckStatus::Warn);
}

void checkPrograms(Context& c)
{
  auto p = c.instance();
  if (!p)
    return;
  const int n = p->numPrograms();
  if (n <= 0)
  {
    c.report().add("programs.names", CheckStatus::Skip, "no programs");
    return;
  }
  Findings names, switching, outside, rename;
  std::vector<std::vector<float>> state;
  for (int i = 0; i < n; ++i)
  {
    std::string indexed;
    const VstIntPtr answer = p->programNameIndexed(i, &indexed);
    p->setProgram(i);
    if (p->program() != i)
      switching.note("program " + std::to_string(i) + " selected, " + std::to_string(p->program()) +
                     " current");
    const std::string current = p->programName();
    if (answer != 0 && indexed != current)
      names.note("program " + std::to_string(i) + " is " + quote(current) + " but listed as " +
                 quote(indexed));
    state.push_back(readParams(*p));
  }
  // Back to each program: its parameters as they were.
  for (int i = 0; i < n; ++i)
  {
    p->setProgram(i);
    const std::vector<float> again = readParams(*p);
    for (size_t k = 0; k < again.size(); ++k)
      if (std::fabs(again[k] - state[static_cast<size_t>(i)][k]) > 1e-6f)
      {
        switching.note("program " + std::to_string(i) + " parameter " + std::to_string(k) +
                       " was " + formatFloat(state[static_cast<size_t>(i)][k]) + ", now " +
                       formatFloat(again[k]));
        break;
      }
  }
  for (int bad : {-1, n, std::numeric_limits<int>::max()})
  {
    p->setProgram(0);
    p->setProgram(bad);
    const int now = p->program();
    if (now < 0 || now >= n)
      outside.note("selecting " + std::to_string(bad) + " leaves program " + std::to_string(now));
  }
  p->setProgram(0);
  p->setProgramName("Validated 1");
  if (p->programName() != "Validated 1")
    rename.note("renamed to \"Validated 1\", reads " + quote(p->programName()));
  c.record("programs.names", names);
  c.record("programs.switching", switching);
  c.record("programs.out-of-range", outside);
  c.record("programs.rename", rename, CheckStatus::Warn);
}

void checkState(Context& c)
{
  // Parameter state: values read from one instance and set on another read back the same.
  {
    auto a = c.instance();
    auto b = c.instance();
    if (!a || !b)
      return;
    Findings params;
    for (int i = 0; i < a->numParams(); ++i)
      a->setParameter(i, static_cast<float>((i * 37 % 101) / 100.0));
    const std::vector<float> va = readParams(*a);
    for (int i = 0; i < b->numParams(); ++i)
      b->setParameter(i, va[static_cast<size_t>(i)]);
    const std::vector<float> vb = readParams(*b);
    for (size_t i = 0; i < va.size(); ++i)
      if (std::fabs(va[i] - vb[i]) > 1e-6f)
        params.note("parameter " + std::to_string(i) + ": " + formatFloat(va[i]) + " set, " +
                    formatFloat(vb[i]) + " read");
    c.record("state.parameters", params);
  }

  for (bool program : {true, false})
  {
    const std::string id = program ? "state.program-chunk" : "state.bank-chunk";
    auto a = c.instance();
    auto b = c.instance();
    if (!a || !b)
      return;
    for (int i = 0; i < a->numParams(); ++i)
      a->setParameter(i, static_cast<float>((i * 53 % 97) / 96.0));
    VstIntPtr size = 0;
    const std::vector<uint8_t> chunk = a->getChunk(program, &size);
    if (chunk.empty())
    {
      c.report().add(id, CheckStatus::Skip, "no chunk offered");
      continue;
    }
    // Saved, loaded and saved again, a state may come out normalised once (values clamped into
    // their ranges, say), but from then on it reads back byte for byte, in any instance.
    Findings f, normalised;
    if (a->getChunk(program) != chunk)
      f.note("asked twice, the chunk differs");
    if (a->setChunk(program, chunk) == 0)
      f.note("its own chunk refused");
    const std::vector<uint8_t> loaded = a->getChunk(program);
    if (loaded != chunk)
      normalised.note("loaded and saved again, " + describeChange(chunk, loaded));
    a->setChunk(program, loaded);
    const std::vector<uint8_t> again = a->getChunk(program);
    if (again != loaded)
      f.note("loaded a second time, " + describeChange(loaded, again));
    if (b->setChunk(program, chunk) == 0)
      f.note("another instance refuses the chunk");
    const std::vector<uint8_t> there = b->getChunk(program);
    if (there != loaded)
      f.note("another instance, loaded and saved, " + describeChange(loaded, there));
    const std::vector<float> va = readParams(*a), vb = readParams(*b);
    for (size_t i = 0; i < va.size() && i < vb.size(); ++i)
      if (std::fabs(va[i] - vb[i]) > 1e-6f)
      {
        f.note("after the chunk, parameter " + std::to_string(i) + " is " + formatFloat(vb[i]) +
               " instead of " + formatFloat(va[i]));
        break;
      }
    if (f.any())
      c.record(id, f);
    else
      c.record(id, normalised, CheckStatus::Warn);
  }
}

}  // namespace validation
}  // namespace vsthost
