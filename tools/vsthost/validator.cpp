#include "tools/vsthost/validator.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <type_traits>

#include "framework/vst/abi/opcodes.h"
#include "tools/vsthost/alloc_probe.h"
#include "tools/vsthost/text_util.h"
#include "tools/vsthost/validator_context.h"

namespace vsthost {
namespace validation {
namespace {

template <typename T>
void watch(const T* out, int frames, int channel, int64_t pos, RunResult* r)
{
  const T smallest = std::numeric_limits<T>::min();
  for (int i = 0; i < frames; ++i)
  {
    const T v = out[i];
    if (!std::isfinite(v))
      r->nonFinite.note("channel " + std::to_string(channel) + " frame " + std::to_string(pos + i) +
                        ": " + formatFloat(v));
    else if (v != 0 && std::fabs(v) < smallest)
      r->denormals.note("channel " + std::to_string(channel) + " frame " + std::to_string(pos + i) +
                        ": " + formatFloat(v));
  }
}

// The buffers of one run, in either precision: separate inputs and outputs, or one set of
// channels serving as both.
template <typename T>
struct Buffers
{
  std::vector<std::vector<T>> in, out, saved;
  std::vector<T*> inPtr, outPtr;

  Buffers(int numIn, int numOut, int frames, bool inPlace)
  {
    const size_t n = static_cast<size_t>(std::max(frames, 1));
    if (inPlace)
    {
      in.assign(static_cast<size_t>(std::max({numIn, numOut, 1})), std::vector<T>(n));
      for (int c = 0; c < std::max(numIn, 1); ++c)
        inPtr.push_back(in[static_cast<size_t>(c)].data());
      for (int c = 0; c < std::max(numOut, 1); ++c)
        outPtr.push_back(in[static_cast<size_t>(c)].data());
    }
    else
    {
      in.assign(static_cast<size_t>(std::max(numIn, 1)), std::vector<T>(n));
      out.assign(static_cast<size_t>(std::max(numOut, 1)), std::vector<T>(n));
      for (auto& b : in)
        inPtr.push_back(b.data());
      for (auto& b : out)
        outPtr.push_back(b.data());
    }
  }
};

template <typename T>
void runTyped(PluginInstance& plugin, const RunSpec& spec, RunResult* r)
{
  AEffect* e = plugin.effect();
  const int numIn = e->numInputs, numOut = e->numOutputs;
  int largest = 0;
  for (int b : spec.blocks)
    largest = std::max(largest, b);
  Buffers<T> buf(numIn, numOut, largest, spec.inPlace);
  r->output.resize(numOut, static_cast<size_t>(spec.frames));
  Transport& transport = plugin.host().transport();
  AudioBuffer signal;
  EventList list;  // lives until the next block, as the interface requires
  std::vector<TimedEvent> events;
  int64_t pos = 0;
  size_t calls = 0;
  const size_t maxCalls = spec.blocks.size() * 4 + static_cast<size_t>(spec.frames);
  for (int64_t block = 0; pos < spec.frames && calls < maxCalls; ++block, ++calls)
  {
    const int n = static_cast<int>(std::min<int64_t>(
      spec.blocks[static_cast<size_t>(block) % spec.blocks.size()], spec.frames - pos));
    events.clear();
    if (spec.beforeBlock)
      spec.beforeBlock(block, pos, n, events);
    sortEvents(&events);
    list.clear();
    for (const TimedEvent& ev : events)
      list.add(ev, static_cast<VstInt32>(ev.frame));

    signal.resize(std::max(numIn, 1), static_cast<size_t>(n));
    generateSignal(spec.signal, plugin.sampleRate(), static_cast<uint64_t>(pos), &signal);
    for (size_t c = 0; c < buf.in.size(); ++c)
      for (int i = 0; i < n; ++i)
      {
        const bool live = spec.signalFrames < 0 || pos + i < spec.signalFrames;
        const int src = static_cast<int>(c) % signal.channels();
        buf.in[c][static_cast<size_t>(i)] =
          live ? static_cast<T>(signal.channel(src)[i]) : static_cast<T>(0);
      }
    if (!spec.inPlace)
    {
      buf.saved = buf.in;
      for (auto& o : buf.out)
        std::fill(o.begin(), o.end(), static_cast<T>(spec.prefill));
    }

    uint64_t allocations = 0;
    VstEvents* delivery = list.size() > 0 ? list.vstEvents() : nullptr;  // built outside the probe
    {
      AllocProbe probe;
      if (delivery)
        plugin.dispatch(effProcessEvents, 0, 0, delivery);
      if constexpr (std::is_same<T, double>::value)
        plugin.processDouble(buf.inPtr.data(), buf.outPtr.data(), n);
      else
        plugin.processFloat(spec.call, buf.inPtr.data(), buf.outPtr.data(), n);
      allocations = probe.count();
    }
    if (spec.countAllocations && allocations > 0)
    {
      if (r->allocatingBlocks++ == 0)
        r->firstAllocation =
          "block " + std::to_string(block) + " (" + std::to_string(n) + " frames)";
      r->allocations += allocations;
    }

    for (int c = 0; c < numOut; ++c)
    {
      const T* out = buf.outPtr[static_cast<size_t>(c)];
      watch(out, n, c, pos, r);
      double* dst = r->output.channel(c) + pos;
      for (int i = 0; i < n; ++i)
        dst[i] = static_cast<double>(out[i]);
    }
    if (!spec.inPlace && buf.saved != buf.in)
      r->inputsChanged.note("block " + std::to_string(block) + " at frame " + std::to_string(pos));
    transport.advance(n);
    pos += n;
  }
}

}  // namespace

std::unique_ptr<PluginInstance> Context::instance(double rate, int block, bool resume)
{
  TransportSettings playing;
  mHost.transport().configure(playing, rate);
  mHost.timeOverrides().clear();
  std::string error;
  std::unique_ptr<PluginInstance> plugin = PluginInstance::load(mHost, mPath, &error);
  if (!plugin)
    return nullptr;
  plugin->open();
  plugin->setSampleRate(rate);
  plugin->setBlockSize(block);
  if (resume)
    plugin->resume();
  return plugin;
}

void Context::record(const std::string& id, const Findings& findings, CheckStatus onProblem)
{
  mReport.add(id, findings.any() ? onProblem : CheckStatus::Pass, findings.text());
}

bool runBlocks(PluginInstance& plugin, const RunSpec& spec, RunResult* result)
{
  if (!plugin.effect() || !plugin.supports(spec.call) || spec.blocks.empty())
    return false;
  if (spec.call == ProcessCall::Double)
    runTyped<double>(plugin, spec, result);
  else
    runTyped<float>(plugin, spec, result);
  return true;
}

bool sameOutput(const AudioBuffer& a, const AudioBuffer& b, double tolerance, std::string* where)
{
  if (a.channels() != b.channels() || a.frames() != b.frames())
  {
    *where = "different lengths";
    return false;
  }
  for (int c = 0; c < a.channels(); ++c)
    for (size_t i = 0; i < a.frames(); ++i)
    {
      const double x = a.channel(c)[i], y = b.channel(c)[i];
      if (!(std::fabs(x - y) <= tolerance) && !(std::isnan(x) && std::isnan(y)))
      {
        *where = "channel " + std::to_string(c) + " frame " + std::to_string(i) + ": " +
                 formatFloat(x) + " vs " + formatFloat(y);
        return false;
      }
    }
  return true;
}

}  // namespace validation

std::pair<std::string, std::string> parseKnownFault(const std::string& text)
{
  const size_t eq = text.find('=');
  if (eq == std::string::npos)
    return {text, ""};
  return {text.substr(0, eq), text.substr(eq + 1)};
}

ValidationReport validatePlugin(const ValidateOptions& options)
{
  ValidationReport report(options.plugin);
  for (const auto& known : options.knownFaults)
    report.addKnownFault(known.first, known.second);
  validation::Context c(options.plugin, report);
  const auto wanted = [&](const char* group) {
    return options.groups.empty() ||
           std::find(options.groups.begin(), options.groups.end(), group) != options.groups.end();
  };
  if (!validation::checkLifecycle(c, wanted("lifecycle")))
    return report;
  const struct
  {
    const char* group;
    void (*run)(validation::Context&);
  } groups[] = {
    {"text", validation::checkTexts},         {"params", validation::checkParameters},
    {"programs", validation::checkPrograms},  {"state", validation::checkState},
    {"process", validation::checkProcessing}, {"time", validation::checkHostTime},
    {"midi", validation::checkMidi},          {"threads", validation::checkThreads},
    {"realtime", validation::checkRealtime},
  };
  for (const auto& g : groups)
    if (wanted(g.group))
      g.run(c);
  return report;
}

}  // namespace vsthost
