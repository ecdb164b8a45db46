// The host against a plug-in written independently of it, straight on the interface declarations:
// loading, the three processing callbacks, parameters, programs, chunks, events and what the host
// answers when called.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/vst/abi/vst.h"
#include "tools/vsthost/host_window.h"
#include "tools/vsthost/plugin_instance.h"
#include "tools/vsthost/renderer.h"
#include "tools/vsthost/vst_host.h"

using namespace vsthost;

namespace {

std::unique_ptr<PluginInstance> loadPrepared(VstHost& host, const char* path = QV_RAW_GAIN,
                                             int block = 512)
{
  std::string error;
  auto plugin = PluginInstance::load(host, path, &error);
  EXPECT_TRUE(plugin) << error;
  if (!plugin)
    return nullptr;
  BlockPlan plan;
  plan.size = block;
  prepareInstance(*plugin, 48000.0, plan);
  return plugin;
}

std::string vendorHook(PluginInstance& plugin, char a, char b, char c, char d)
{
  char text[256] = {};
  plugin.dispatch(effVendorSpecific, VST_FOURCC(a, b, c, d), 0, text);
  return text;
}

AudioBuffer constant(int channels, size_t frames, double value)
{
  AudioBuffer b(channels, frames);
  for (int c = 0; c < channels; ++c)
    for (size_t i = 0; i < frames; ++i)
      b.channel(c)[i] = value;
  return b;
}

}  // namespace

TEST(HostRawPlugin, LoadsThroughEitherEntryPoint)
{
  const struct
  {
    const char* path;
    const char* entry;
  } cases[] = {{QV_RAW_GAIN, "VSTPluginMain"}, {QV_RAW_GAIN_LEGACY, "main"}};
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.path);
    VstHost host;
    std::string error;
    auto plugin = PluginInstance::load(host, c.path, &error);
    ASSERT_TRUE(plugin) << error;
    EXPECT_EQ(plugin->library().entryName(), c.entry);
    EXPECT_EQ(plugin->effect()->magic, kEffectMagic);
    EXPECT_EQ(plugin->effect()->uniqueID, VST_FOURCC('Q', 'v', 'R', 'w'));
    EXPECT_EQ(plugin->numParams(), 2);
    EXPECT_EQ(plugin->numPrograms(), 2);
    EXPECT_EQ(plugin->effectName(), "QV Raw Gain");
    EXPECT_EQ(plugin->vstVersion(), 2400);
  }
}

TEST(HostRawPlugin, LoadFailuresAreReported)
{
  const std::string notALibrary = std::string(QV_TEST_DATA) + "/../tools/raw_gain_plugin.cpp";
  const std::string cases[] = {std::string(QV_RAW_GAIN) + ".missing", notALibrary};
  for (const auto& path : cases)
  {
    SCOPED_TRACE(path);
    VstHost host;
    std::string error;
    EXPECT_FALSE(PluginInstance::load(host, path, &error));
    EXPECT_FALSE(error.empty());
  }
}

TEST(HostRawPlugin, EachProcessingCallbackWritesItsOwnWay)
{
  // Gain parameter 0.3 gives the factor 2 * 0.3f, taken in the callback's precision.
  const double gain = 2.0 * static_cast<double>(0.3f);
  const double in = 0.1;
  const float inF = static_cast<float>(in);
  const struct
  {
    ProcessCall call;
    double prefill;
    float mute;
    double expected;
  } cases[] = {
    {ProcessCall::Replacing, 0.75, 0.0f, static_cast<double>(inF * static_cast<float>(gain))},
    {ProcessCall::Accumulating, 0.75, 0.0f,
     static_cast<double>(0.75f + inF * static_cast<float>(gain))},
    {ProcessCall::Double, 0.75, 0.0f, in * gain},
    {ProcessCall::Replacing, 0.75, 1.0f, 0.0},
    {ProcessCall::Accumulating, 0.75, 1.0f, 0.75},
    {ProcessCall::Double, 0.75, 1.0f, 0.0},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(std::string(processCallName(c.call)) + (c.mute > 0 ? " muted" : ""));
    VstHost host;
    auto plugin = loadPrepared(host);
    ASSERT_TRUE(plugin);
    plugin->setParameter(0, 0.3f);
    plugin->setParameter(1, c.mute);
    RenderSettings settings;
    settings.call = c.call;
    settings.prefill = c.prefill;
    settings.blocks.size = 64;
    AudioBuffer out;
    std::string error;
    Renderer renderer(*plugin);
    ASSERT_TRUE(renderer.render(constant(2, 200, in), {}, settings, &out, &error)) << error;
    ASSERT_EQ(out.channels(), 2);
    ASSERT_EQ(out.frames(), 200u);
    for (int ch = 0; ch < 2; ++ch)
      for (size_t i = 0; i < out.frames(); i += 37)
        EXPECT_EQ(out.channel(ch)[i], c.expected);
  }
}

TEST(HostRawPlugin, ParametersRoundTripThroughCallbacksAndTexts)
{
  const struct
  {
    int index;
    float value;
    float expected;  // read back by getParameter
    const char* name;
    const char* label;
    const char* display;
  } cases[] = {
    {0, 0.25f, 0.25f, "Gain", "x", "0.500"},
    {0, 1.5f, 1.0f, "Gain", "x", "2.000"},  // the plug-in clamps
    {1, 1.0f, 1.0f, "Mute", "", "On"},
    {2, 0.5f, 0.0f, "", "", ""},  // no such parameter: nothing answers
    {-1, 0.5f, 0.0f, "", "", ""},
  };
  VstHost host;
  auto plugin = loadPrepared(host);
  ASSERT_TRUE(plugin);
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.index);
    plugin->setParameter(c.index, c.value);
    EXPECT_EQ(plugin->getParameter(c.index), c.expected);
    EXPECT_EQ(plugin->paramName(c.index), c.name);
    EXPECT_EQ(plugin->paramLabel(c.index), c.label);
    EXPECT_EQ(plugin->paramDisplay(c.index), c.display);
  }
  EXPECT_EQ(plugin->stringToParameter(0, "1.5"), 1);
  EXPECT_EQ(plugin->getParameter(0), 0.75f);
  EXPECT_EQ(plugin->stringToParameter(5, "1"), 0);
}

TEST(HostRawPlugin, ProgramsSwitchRenameAndListByIndex)
{
  VstHost host;
  auto plugin = loadPrepared(host);
  ASSERT_TRUE(plugin);
  std::string name;
  const struct
  {
    int index;
    VstIntPtr answer;
    const char* name;
  } names[] = {{0, 1, "Unity"}, {1, 1, "Half"}, {2, 0, ""}, {-1, 0, ""}};
  for (const auto& n : names)
  {
    EXPECT_EQ(plugin->programNameIndexed(n.index, &name), n.answer) << n.index;
    EXPECT_EQ(name, n.name) << n.index;
  }
  plugin->setProgram(1);
  EXPECT_EQ(plugin->program(), 1);
  EXPECT_EQ(plugin->getParameter(0), 0.25f);
  plugin->setProgramName("Quiet");
  EXPECT_EQ(plugin->programName(), "Quiet");
  EXPECT_EQ(plugin->programNameIndexed(1, &name), 1);
  EXPECT_EQ(name, "Quiet");
  plugin->setProgram(0);
  EXPECT_EQ(plugin->getParameter(0), 0.5f);
}

TEST(HostRawPlugin, ChunksRestoreWhatTheySaved)
{
  for (bool program : {true, false})
  {
    SCOPED_TRACE(program ? "program" : "bank");
    VstHost host;
    auto plugin = loadPrepared(host);
    ASSERT_TRUE(plugin);
    plugin->setParameter(0, 0.125f);
    VstIntPtr answer = 0;
    const std::vector<uint8_t> saved = plugin->getChunk(program, &answer);
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(answer, static_cast<VstIntPtr>(saved.size()));

    plugin->setParameter(0, 0.875f);
    std::vector<uint8_t> corrupt = saved;
    corrupt[0] ^= 0xFF;
    EXPECT_EQ(plugin->setChunk(program, corrupt), 0);
    EXPECT_EQ(plugin->setChunk(program, std::vector<uint8_t>(saved.begin(), saved.end() - 1)), 0);
    EXPECT_EQ(plugin->getParameter(0), 0.875f);

    EXPECT_EQ(plugin->setChunk(program, saved), 1);
    EXPECT_EQ(plugin->getParameter(0), 0.125f);
  }
}

TEST(HostRawPlugin, MidiEventsArriveAtTheirOffsetsWithinEachBlock)
{
  const std::vector<int64_t> frames = {0, 99, 100, 101, 250, 899, 900, 4000};
  const size_t total = 901;  // the event at 4000 lies past the end and is never delivered
  const char* plans[] = {"100", "1", "random:1:300:7", "random:200:200", "1024"};
  for (const char* planText : plans)
  {
    SCOPED_TRACE(planText);
    BlockPlan plan;
    ASSERT_TRUE(parseBlockPlan(planText, &plan));
    VstHost host;
    auto plugin = loadPrepared(host, QV_RAW_GAIN, plan.largest());
    ASSERT_TRUE(plugin);
    std::vector<TimedEvent> events;
    for (size_t i = 0; i < frames.size(); ++i)
    {
      TimedEvent e;
      e.frame = frames[i];
      e.bytes = {0x90, static_cast<uint8_t>(60 + i), 100};
      events.push_back(e);
    }
    // The plug-in hands each block's events back to the host at the start of that block: the
    // log holds every event delivered, with its offset in its own block.
    BlockSizer sizer(plan);
    std::vector<std::string> expected;
    for (int64_t pos = 0; pos < static_cast<int64_t>(total);)
    {
      const int64_t n = std::min<int64_t>(sizer.next(), static_cast<int64_t>(total) - pos);
      for (size_t i = 0; i < frames.size(); ++i)
      {
        if (frames[i] < pos || frames[i] >= pos + n)
          continue;
        char line[64];
        std::snprintf(line, sizeof line, "processEvents midi %d 90 %02X 64",
                      static_cast<int>(frames[i] - pos), static_cast<unsigned>(60 + i));
        expected.push_back(line);
      }
      pos += n;
    }
    ASSERT_EQ(expected.size(), 7u);

    RenderSettings settings;
    settings.blocks = plan;
    AudioBuffer out;
    std::string error;
    Renderer renderer(*plugin);
    ASSERT_TRUE(renderer.render(constant(2, total, 0.0), events, settings, &out, &error)) << error;
    std::vector<std::string> got;
    for (const auto& e : host.log().entries())
      got.push_back(e.text);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(vendorHook(*plugin, 'M', 'I', 'D', 'I'), "7");
  }
}

TEST(HostRawPlugin, TimeInfoFollowsTheTransport)
{
  const int valid =
    kVstNanosValid | kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
  const int playing = kVstTransportPlaying;
  const int loop = kVstCyclePosValid | kVstTransportCycleActive;
  const struct
  {
    const char* what;
    TransportSettings settings;
    size_t frames;  // rendered in blocks of 1000; the plug-in shows the last block's time
    bool offline;
    std::string expected;  // samplePos ppqPos tempo flags process-level
  } cases[] = {
    {"playing from zero",
     {},
     5000,
     false,
     "4000 0.166666667 120 " + std::to_string(valid | playing) + " 2"},
    {"stopped keeps its place",
     {120, 4, 4, false, 96000},
     5000,
     false,
     "96000 4 120 " + std::to_string(valid) + " 2"},
    {"first block after a start in quarter notes, offline",
     {90, 3, 4, true, 0, 8},
     1000,
     true,
     "256000 8 90 " + std::to_string(valid | playing | kVstTransportChanged) + " 4"},
    {"loop wraps at its end",
     {120, 4, 4, true, 0, -1, true, 0, 1},
     25000,
     false,
     "0 0 120 " + std::to_string(valid | playing | loop) + " 2"},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.what);
    VstHost host;
    auto plugin = loadPrepared(host, QV_RAW_GAIN, 1000);
    ASSERT_TRUE(plugin);
    host.transport().configure(c.settings, 48000.0);
    host.setOffline(c.offline);
    RenderSettings settings;
    settings.blocks.size = 1000;
    AudioBuffer out;
    std::string error;
    Renderer renderer(*plugin);
    ASSERT_TRUE(renderer.render(constant(2, c.frames, 0.0), {}, settings, &out, &error)) << error;
    EXPECT_EQ(vendorHook(*plugin, 'T', 'I', 'M', 'E'), c.expected);
  }
}

TEST(HostRawPlugin, TimeOverridesReplaceFieldsOrWithholdTheAnswer)
{
  VstHost host;
  auto plugin = loadPrepared(host, QV_RAW_GAIN, 100);
  ASSERT_TRUE(plugin);
  host.transport().configure(TransportSettings{}, 48000.0);
  RenderSettings settings;
  settings.blocks.size = 100;
  AudioBuffer out;
  Renderer renderer(*plugin);

  host.timeOverrides().set(TimeOverrides::Tempo, 0.0);
  host.timeOverrides().set(TimeOverrides::SamplePos, 99.5);
  host.timeOverrides().set(TimeOverrides::Flags, kVstTempoValid);
  ASSERT_TRUE(renderer.render(constant(2, 100, 0.0), {}, settings, &out, nullptr));
  EXPECT_EQ(vendorHook(*plugin, 'T', 'I', 'M', 'E'), "99.5 0 0 1024 2");

  host.timeOverrides().setAnswerNull(true);
  ASSERT_TRUE(renderer.render(constant(2, 100, 0.0), {}, settings, &out, nullptr));
  EXPECT_EQ(vendorHook(*plugin, 'T', 'I', 'M', 'E'), "none 2");
}

TEST(HostRawPlugin, HostAnswersAsConfiguredAndLogsNotifications)
{
  const struct
  {
    const char* product;
    size_t limit;
    VstIntPtr version;
    VstIntPtr level;  // -1: automatic (user level outside a block)
    const char* expected;
  } cases[] = {
    {"REAPER", 64, 5012, -1, "REAPER|5012|1"},
    {"", 64, 60105, -1, "|60105|1"},
    {"Cakewalk SONAR", 5, 1, 4, "Cake|1|4"},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.expected);
    VstHost host;
    host.identity().product = c.product;
    host.identity().stringLimit = c.limit;
    host.identity().vendorVersion = c.version;
    host.setProcessLevel(c.level);
    auto plugin = loadPrepared(host);
    ASSERT_TRUE(plugin);
    EXPECT_EQ(vendorHook(*plugin, 'H', 'O', 'S', 'T'), c.expected);
    const std::vector<std::string> expectedLog = {"beginEdit 0", "automate 0 0.25",
                                                  "endEdit 0",   "updateDisplay",
                                                  "ioChanged",   "sizeWindow 320 200"};
    EXPECT_EQ(host.log().lines(), expectedLog);
    EXPECT_EQ(host.log().calls(audioMasterGetProductString), 1u);
  }
}

TEST(HostWindow, ParentsEditorsOnWindowsOnly)
{
  HostWindow window;
#ifdef _WIN32
  EXPECT_NE(window.handle(), nullptr);  // a real window, also under wine's virtual display
#else
  EXPECT_EQ(window.handle(), nullptr);
#endif
  HostWindow::pumpMessages();  // returns with nothing left to do
}
