#pragma once

// Runs audio through a prepared plug-in instance block by block, the way a host's audio thread
// does: before each block it positions the host's transport, delivers the block's events with
// effProcessEvents (offsets relative to the block), then calls the chosen processing callback, and
// finally moves the transport on. Blocks end at a running loop's end so the loop wraps exactly.
//
// The instance must be open, its sample rate and largest block size set and (for most plug-ins)
// resumed; `prepareInstance` does that for a fresh one.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/vsthost/audio_buffer.h"
#include "tools/vsthost/event_list.h"
#include "tools/vsthost/plugin_instance.h"

namespace vsthost {

// Fixed block sizes, or sizes drawn at random from minSize..maxSize by a seeded generator (the
// same sequence on every target).
struct BlockPlan
{
  int size = 512;
  bool random = false;
  int minSize = 1;
  int maxSize = 512;
  uint64_t seed = 1;

  int largest() const { return random ? maxSize : size; }
};

// "N" or "random:MIN:MAX[:SEED]", with 1 <= MIN <= MAX <= 1048576.
bool parseBlockPlan(const std::string& text, BlockPlan* out);

class BlockSizer
{
public:
  explicit BlockSizer(const BlockPlan& plan)
    : mPlan(plan)
    , mState(plan.seed)
  {}
  int next();

private:
  BlockPlan mPlan;
  uint64_t mState;
};

struct RenderSettings
{
  ProcessCall call = ProcessCall::Replacing;
  BlockPlan blocks;
  // What the output buffers hold before each callback: shows whether a replacing callback
  // overwrote them and what an accumulating one added to.
  double prefill = 0.0;
};

// effOpen, sample rate, block size (the plan's largest), then resume.
void prepareInstance(PluginInstance& plugin, double sampleRate, const BlockPlan& blocks);

class Renderer
{
public:
  explicit Renderer(PluginInstance& plugin)
    : mPlugin(plugin)
  {}

  // Renders input.frames() frames. The plug-in's inputs read the input's channels (channel c
  // takes input channel c modulo the input's count; silence when it has none); `output` becomes
  // the plug-in's outputs. Events are placed by frame from the start of `input` (sorted by the
  // caller; those at or past the end are not delivered). False, with a reason, when the
  // callback is not supported or the plug-in's channel counts are unusable.
  bool render(const AudioBuffer& input, const std::vector<TimedEvent>& events,
              const RenderSettings& settings, AudioBuffer* output, std::string* error);

private:
  PluginInstance& mPlugin;
  EventList mEvents;
  std::vector<std::vector<float>> mFloatIn, mFloatOut;
  std::vector<std::vector<double>> mDoubleIn, mDoubleOut;
  std::vector<float*> mFloatInPtr, mFloatOutPtr;
  std::vector<double*> mDoubleInPtr, mDoubleOutPtr;
};

}  // namespace vsthost
