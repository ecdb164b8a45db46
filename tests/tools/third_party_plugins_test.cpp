// The host's reading of the interface, checked against plug-ins built by others from their own
// declarations of it (Debian's lsp-plugins, zam-plugins and dragonfly-reverb packages): if the
// host's record layout, callback signatures or event and chunk handling were off, these would
// misreport or crash.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "framework/vst/abi/vst.h"
#include "tools/vsthost/plugin_instance.h"
#include "tools/vsthost/renderer.h"
#include "tools/vsthost/signal_generator.h"
#include "tools/vsthost/vst_host.h"

// lsp-plugins keep allocations past library unload; our own leaks are caught by the other tests,
// which run the same host code.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

using namespace vsthost;

namespace {

struct Known
{
  const char* path;
  int32_t uniqueId;
  const char* effectName;
  int numInputs, numOutputs;
};

const Known kPlugins[] = {
  {"/usr/lib/vst/lsp-plugins/gate-stereo.so", VST_FOURCC('w', 'g', '4', 'o'), "Gate Stereo", 2, 2},
  {"/usr/lib/vst/lsp-plugins/compressor-mono.so", 0, nullptr, 1, 1},
  {"/usr/lib/vst/ZamGate-vst.so", VST_FOURCC('Z', 'G', 'A', 'T'), "ZamGate", 2, 1},
  {"/usr/lib/vst/ZamComp-vst.so", 0, nullptr, -1, -1},
  {"/usr/lib/lxvst/DragonflyRoomReverb-vst.so", VST_FOURCC('d', 'f', 'r', '2'),
   "Dragonfly Room Reverb", 2, 2},
  {"/usr/lib/lxvst/DragonflyPlateReverb-vst.so", 0, nullptr, 2, 2},
};

// The plug-ins that are installed; a test with none of them skips.
std::vector<Known> installed()
{
  std::vector<Known> found;
  for (const Known& k : kPlugins)
  {
    struct stat st;
    if (stat(k.path, &st) == 0)
      found.push_back(k);
    else
      std::printf("note: %s is not installed\n", k.path);
  }
  return found;
}

// Runs check on each installed plug-in, loaded and prepared for 256-frame blocks at 48 kHz (each
// under a trace naming it). False when none is installed.
bool forEachInstalled(const std::function<void(const Known&, PluginInstance&)>& check)
{
  const std::vector<Known> plugins = installed();
  for (const Known& k : plugins)
  {
    SCOPED_TRACE(k.path);
    VstHost host;
    std::string error;
    auto plugin = PluginInstance::load(host, k.path, &error);
    EXPECT_TRUE(plugin) << error;
    if (!plugin)
      continue;
    BlockPlan plan;
    plan.size = 256;
    prepareInstance(*plugin, 48000.0, plan);
    check(k, *plugin);
  }
  return !plugins.empty();
}

}  // namespace

TEST(HostThirdPartyPlugins, IdentityParametersAndProgramsReadCleanly)
{
  const bool any = forEachInstalled([](const Known& k, PluginInstance& plugin) {
    const AEffect* e = plugin.effect();
    EXPECT_EQ(e->magic, kEffectMagic);
    if (k.uniqueId)
    {
      EXPECT_EQ(e->uniqueID, k.uniqueId);
    }
    if (k.effectName)
    {
      EXPECT_EQ(plugin.effectName(), k.effectName);
    }
    if (k.numInputs >= 0)
    {
      EXPECT_EQ(e->numInputs, k.numInputs);
    }
    if (k.numOutputs >= 0)
    {
      EXPECT_EQ(e->numOutputs, k.numOutputs);
    }
    EXPECT_TRUE(e->flags & effFlagsCanReplacing);
    EXPECT_EQ(plugin.vstVersion(), 2400);
    EXPECT_FALSE(plugin.vendorString().empty());

    ASSERT_GT(plugin.numParams(), 0);
    for (int i = 0; i < plugin.numParams(); ++i)
    {
      EXPECT_FALSE(plugin.paramName(i).empty()) << i;
      const float v = plugin.getParameter(i);
      EXPECT_TRUE(v >= 0.0f && v <= 1.0f) << i << ": " << v;
    }
    for (int i = 0; i < plugin.numPrograms(); ++i)
    {
      std::string name;
      plugin.programNameIndexed(i, &name);
      if (name.empty())
        name = plugin.programName();
      EXPECT_FALSE(name.empty()) << "program " << i;
    }
  });
  if (!any)
    GTEST_SKIP() << "none of the plug-ins is installed";
}

TEST(HostThirdPartyPlugins, ParametersRoundTripAtTheirEnds)
{
  const bool any = forEachInstalled([](const Known&, PluginInstance& plugin) {
    // Every parameter, stepped or continuous, reaches both ends of the normalised range.
    for (int i = 0; i < plugin.numParams(); ++i)
    {
      const float before = plugin.getParameter(i);
      for (float v : {0.0f, 1.0f})
      {
        plugin.setParameter(i, v);
        EXPECT_NEAR(plugin.getParameter(i), v, 1e-3) << plugin.paramName(i);
      }
      plugin.setParameter(i, before);
      EXPECT_NEAR(plugin.getParameter(i), before, 1e-3) << plugin.paramName(i);
    }
  });
  if (!any)
    GTEST_SKIP() << "none of the plug-ins is installed";
}

TEST(HostThirdPartyPlugins, SineInGivesFiniteSoundOut)
{
  const bool any = forEachInstalled([](const Known&, PluginInstance& plugin) {
    AudioBuffer in(std::max(plugin.effect()->numInputs, 1), 48000);
    SignalSpec sine;
    sine.frequency = 440;
    sine.amplitude = 0.5;
    generateSignal(sine, 48000.0, 0, &in);
    RenderSettings settings;
    ASSERT_TRUE(parseBlockPlan("random:1:256:5", &settings.blocks));
    AudioBuffer out;
    std::string error;
    Renderer renderer(plugin);
    ASSERT_TRUE(renderer.render(in, {}, settings, &out, &error)) << error;
    ASSERT_EQ(out.channels(), plugin.effect()->numOutputs);
    for (int c = 0; c < out.channels(); ++c)
    {
      double energy = 0.0;
      for (size_t i = 0; i < out.frames(); ++i)
      {
        ASSERT_TRUE(std::isfinite(out.channel(c)[i])) << "channel " << c << " frame " << i;
        energy += out.channel(c)[i] * out.channel(c)[i];
      }
      EXPECT_GT(energy, 1.0) << "channel " << c;  // the sine alone carries 6000
    }
  });
  if (!any)
    GTEST_SKIP() << "none of the plug-ins is installed";
}

TEST(HostThirdPartyPlugins, StateChunksRoundTrip)
{
  const bool any = forEachInstalled([](const Known&, PluginInstance& plugin) {
    if (!(plugin.effect()->flags & effFlagsProgramChunks))
      return;
    const int index = plugin.numParams() - 1;
    const float saved = plugin.getParameter(index);
    VstIntPtr size = 0;
    const std::vector<uint8_t> chunk = plugin.getChunk(false, &size);
    ASSERT_FALSE(chunk.empty());
    EXPECT_EQ(static_cast<size_t>(size), chunk.size());
    plugin.setParameter(index, saved > 0.5f ? 0.0f : 1.0f);
    plugin.setChunk(false, chunk);
    EXPECT_NEAR(plugin.getParameter(index), saved, 1e-3);
  });
  if (!any)
    GTEST_SKIP() << "none of the plug-ins is installed";
}
