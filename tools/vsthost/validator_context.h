#pragma once

// What the validator's checks share: the plug-in's path, the host the instances talk to, the
// report, and a block runner that watches every sample a plug-in produces.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/vsthost/audio_buffer.h"
#include "tools/vsthost/event_list.h"
#include "tools/vsthost/plugin_instance.h"
#include "tools/vsthost/signal_generator.h"
#include "tools/vsthost/validation_report.h"
#include "tools/vsthost/vst_host.h"

namespace vsthost {
namespace validation {

class Context
{
public:
  Context(const std::string& path, ValidationReport& report)
    : mPath(path)
    , mReport(report)
  {}

  const std::string& path() const { return mPath; }
  VstHost& host() { return mHost; }
  ValidationReport& report() { return mReport; }

  // A new instance: opened, sample rate and block size given, resumed when asked. The host's
  // transport is reset to a playing 120 BPM 4/4 from 0 and its overrides cleared.
  std::unique_ptr<PluginInstance> instance(double rate = 44100.0, int block = 512,
                                           bool resume = true);

  // Records a check from its findings: Fail (or `onProblem`) when there are any, else Pass.
  void record(const std::string& id, const Findings& findings,
              CheckStatus onProblem = CheckStatus::Fail);

private:
  std::string mPath;
  ValidationReport& mReport;
  VstHost mHost;
};

// How one run of blocks is made.
struct RunSpec
{
  ProcessCall call = ProcessCall::Replacing;
  bool inPlace = false;
  std::vector<int>
    blocks;  // sizes in turn, repeated until `frames` are done; 0-frame blocks allowed
  int64_t frames = 4096;
  SignalSpec signal;          // the input
  int64_t signalFrames = -1;  // the input is silent from here on (-1: never)
  double prefill = 0.0;       // what the output buffers hold before each call
  // Before each block (its index and first frame): set the transport, queue events.
  std::function<void(int64_t block, int64_t frame, int frames, std::vector<TimedEvent>& events)>
    beforeBlock;
  bool countAllocations = false;
};

struct RunResult
{
  AudioBuffer output;  // every output sample, widened to double
  Findings nonFinite, denormals, inputsChanged;
  uint64_t allocations = 0;
  int allocatingBlocks = 0;
  std::string firstAllocation;  // "block N (FRAMES frames)"
};

// Runs the blocks through the chosen callback; the instance must be resumed and its block size at
// least the largest block. False (nothing run) when the callback is not offered.
bool runBlocks(PluginInstance& plugin, const RunSpec& spec, RunResult* result);

// Whether two outputs agree within `tolerance` on every sample; the first difference in *where.
bool sameOutput(const AudioBuffer& a, const AudioBuffer& b, double tolerance, std::string* where);

// The check groups, each adding its results to the context's report.
// checkLifecycle loads the plug-in and reads its record, then (when `all`) runs the other
// lifecycle checks; it answers false when the plug-in cannot be loaded at all.
bool checkLifecycle(Context& c, bool all);
void checkTexts(Context& c);
void checkParameters(Context& c);
void checkPrograms(Context& c);
void checkState(Context& c);
void checkProcessing(Context& c);
void checkHostTime(Context& c);
void checkMidi(Context& c);
void checkThreads(Context& c);
void checkRealtime(Context& c);

}  // namespace validation
}  // namespace vsthost
