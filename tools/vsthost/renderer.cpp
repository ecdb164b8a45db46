#include "tools/vsthost/renderer.h"

#include <algorithm>

#include "tools/vsthost/text_util.h"
#include "tools/vsthost/vst_host.h"

namespace vsthost {
namespace {

constexpr int kMaxBlock = 1 << 20;
constexpr int kMaxChannels = 256;

bool fail(std::string* error, const std::string& why)
{
  if (error)
    *error = why;
  return false;
}

}  // namespace

bool parseBlockPlan(const std::string& text, BlockPlan* out)
{
  BlockPlan plan;
  const std::vector<std::string> parts = split(text, ':');
  int64_t v[3] = {0, 0, 1};
  if (parts[0] == "random")
  {
    if (parts.size() < 3 || parts.size() > 4)
      return false;
    for (size_t i = 1; i < parts.size(); ++i)
      if (!parseInt(parts[i], &v[i - 1]))
        return false;
    if (v[0] < 1 || v[0] > v[1] || v[1] > kMaxBlock)
      return false;
    plan.random = true;
    plan.minSize = static_cast<int>(v[0]);
    plan.maxSize = static_cast<int>(v[1]);
    plan.seed = static_cast<uint64_t>(v[2]);
  }
  else
  {
    if (parts.size() != 1 || !parseInt(parts[0], &v[0]) || v[0] < 1 || v[0] > kMaxBlock)
      return false;
    plan.size = static_cast<int>(v[0]);
  }
  *out = plan;
  return true;
}

int BlockSizer::next()
{
  if (!mPlan.random)
    return mPlan.size;
  // xorshift64*: small, and the same on every target.
  mState ^= mState >> 12;
  mState ^= mState << 25;
  mState ^= mState >> 27;
  if (mState == 0)
    mState = 0x9E3779B97F4A7C15ull;
  const uint64_t r = mState * 0x2545F4914F6CDD1Dull;
  const uint64_t span = static_cast<uint64_t>(mPlan.maxSize - mPlan.minSize) + 1;
  return mPlan.minSize + static_cast<int>((r >> 32) % span);
}

void prepareInstance(PluginInstance& plugin, double sampleRate, const BlockPlan& blocks)
{
  plugin.open();
  plugin.setSampleRate(sampleRate);
  plugin.setBlockSize(blocks.largest());
  plugin.resume();
}

bool Renderer::render(const AudioBuffer& input, const std::vector<TimedEvent>& events,
                      const RenderSettings& settings, AudioBuffer* output, std::string* error)
{
  AEffect* effect = mPlugin.effect();
  if (!effect)
    return fail(error, "the instance is closed");
  if (!mPlugin.supports(settings.call))
    return fail(error, std::string("the plug-in does not support the ") +
                         processCallName(settings.call) + " callback");
  const int numIn = effect->numInputs, numOut = effect->numOutputs;
  if (numIn < 0 || numOut < 0 || numIn > kMaxChannels || numOut > kMaxChannels)
    return fail(error, "the plug-in reports unusable channel counts");
  const int largest = settings.blocks.largest();
  if (largest > mPlugin.blockSize())
    return fail(error, "blocks larger than the block size given to the plug-in");

  const bool isDouble = settings.call == ProcessCall::Double;
  // At least one slot on each side, so the pointer arrays are never empty.
  const size_t inSlots = static_cast<size_t>(std::max(numIn, 1));
  const size_t outSlots = static_cast<size_t>(std::max(numOut, 1));
  mFloatIn.assign(isDouble ? 0 : inSlots, std::vector<float>(static_cast<size_t>(largest)));
  mFloatOut.assign(isDouble ? 0 : outSlots, std::vector<float>(static_cast<size_t>(largest)));
  mDoubleIn.assign(isDouble ? inSlots : 0, std::vector<double>(static_cast<size_t>(largest)));
  mDoubleOut.assign(isDouble ? outSlots : 0, std::vector<double>(static_cast<size_t>(largest)));
  mFloatInPtr.clear();
  mFloatOutPtr.clear();
  mDoubleInPtr.clear();
  mDoubleOutPtr.clear();
  for (auto& b : mFloatIn)
    mFloatInPtr.push_back(b.data());
  for (auto& b : mFloatOut)
    mFloatOutPtr.push_back(b.data());
  for (auto& b : mDoubleIn)
    mDoubleInPtr.push_back(b.data());
  for (auto& b : mDoubleOut)
    mDoubleOutPtr.push_back(b.data());

  output->resize(numOut, input.frames());
  Transport& transport = mPlugin.host().transport();
  BlockSizer sizer(settings.blocks);
  size_t nextEvent = 0;
  const int64_t total = static_cast<int64_t>(input.frames());
  for (int64_t pos = 0; pos < total;)
  {
    int64_t n = std::min<int64_t>(sizer.next(), total - pos);
    n = std::min<int64_t>(n, std::max<int64_t>(transport.framesToLoopEnd(), 1));
    const int frames = static_cast<int>(n);

    mEvents.clear();
    while (nextEvent < events.size() && events[nextEvent].frame < pos)
      ++nextEvent;  // late ones
    while (nextEvent < events.size() && events[nextEvent].frame < pos + n)
    {
      mEvents.add(events[nextEvent], static_cast<VstInt32>(events[nextEvent].frame - pos));
      ++nextEvent;
    }
    if (mEvents.size() > 0)
      mPlugin.sendEvents(mEvents);

    for (int c = 0; c < numIn; ++c)
    {
      const double* src =
        input.channels() > 0 ? input.channel(c % input.channels()) + pos : nullptr;
      for (int i = 0; i < frames; ++i)
      {
        const double v = src ? src[i] : 0.0;
        if (isDouble)
          mDoubleIn[static_cast<size_t>(c)][static_cast<size_t>(i)] = v;
        else
          mFloatIn[static_cast<size_t>(c)][static_cast<size_t>(i)] = static_cast<float>(v);
      }
    }
    for (auto& b : mFloatOut)
      std::fill(b.begin(), b.begin() + frames, static_cast<float>(settings.prefill));
    for (auto& b : mDoubleOut)
      std::fill(b.begin(), b.begin() + frames, settings.prefill);

    if (isDouble)
      mPlugin.processDouble(mDoubleInPtr.data(), mDoubleOutPtr.data(), frames);
    else
      mPlugin.processFloat(settings.call, mFloatInPtr.data(), mFloatOutPtr.data(), frames);

    for (int c = 0; c < numOut; ++c)
    {
      double* dst = output->channel(c) + pos;
      for (int i = 0; i < frames; ++i)
        dst[i] = isDouble ? mDoubleOut[static_cast<size_t>(c)][static_cast<size_t>(i)]
                          : mFloatOut[static_cast<size_t>(c)][static_cast<size_t>(i)];
    }
    transport.advance(n);
    pos += n;
  }
  return true;
}

}  // namespace vsthost
