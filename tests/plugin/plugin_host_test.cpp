// The pass-through plug-in loaded by the test host as a library (a DLL under wine, a .so natively),
// driven only through the interface: the record, the dispatcher rows, chunks, programs, the three
// processing callbacks, channels, pins and the host callbacks it makes.

#include "framework/vst/abi/vst.h"
#include "tools/vsthost/plugin_instance.h"
#include "tools/vsthost/renderer.h"
#include "tools/vsthost/vst_host.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace vsthost;

namespace {

enum
{
  kGain = 0,
  kMode,
  kBypass,
  kSteps,
  kCutoff,
  kFine,
  kNumParams
};

const std::map<std::string, std::string> kLibraries = {
  {"stereo", QV_PASSTHRU_STEREO}, {"quad", QV_PASSTHRU_QUAD}, {"chunks", QV_PASSTHRU_CHUNKS}};

class PlugInHost : public ::testing::Test
{
protected:
  VstHost mHost;

  std::unique_ptr<PluginInstance> Load(const std::string& variant, bool open = true)
  {
    std::string error;
    std::unique_ptr<PluginInstance> p = PluginInstance::load(mHost, kLibraries.at(variant), &error);
    EXPECT_TRUE(p) << variant << ": " << error;
    if (p && open)
    {
      p->open();
      p->setSampleRate(44100.0);
      p->setBlockSize(256);
      p->resume();
    }
    return p;
  }

  // A text opcode into a buffer of '#': the text, or "#" when nothing was written.
  static std::string Text(PluginInstance& p, VstInt32 opcode, VstInt32 index, VstIntPtr* answer,
                          VstIntPtr value = 0, float opt = 0.0f)
  {
    char buf[256];
    memset(buf, '#', sizeof(buf));
    *answer = p.dispatch(opcode, index, value, buf, opt);
    if (buf[0] == '#')
      return "#";
    EXPECT_TRUE(memchr(buf, '\0', sizeof(buf)));
    return buf;
  }

  // Renders frames of a distinct ramp per input channel; out holds the plug-in's outputs.
  static void Render(PluginInstance& p, ProcessCall call, double prefill, AudioBuffer* in,
                     AudioBuffer* out, int frames = 300)
  {
    in->resize(std::max(p.effect()->numInputs, 1), (size_t)frames);
    for (int c = 0; c < in->channels(); ++c)
      for (int i = 0; i < frames; ++i)
        in->channel(c)[i] = 0.1 * (c + 1) + 0.001 * i + 1.0 / 3.0;
    RenderSettings settings;
    settings.call = call;
    settings.blocks.size = 100;
    settings.prefill = prefill;
    std::string error;
    Renderer renderer(p);
    ASSERT_TRUE(renderer.render(*in, {}, settings, out, &error)) << error;
  }

  // What a pass-through output channel holds after a block of the given callback.
  static double Expected(ProcessCall call, double prefill, double in)
  {
    switch (call)
    {
      case ProcessCall::Double:
        return in;
      case ProcessCall::Replacing:
        return (float)in;
      default:
        return (float)((float)prefill + (float)(double)(float)in);
    }
  }
};

TEST_F(PlugInHost, EffectRecordDescribesEachLayout)
{
  struct Row
  {
    const char* variant;
    int programs, inputs, outputs, flags, delay, uniqueID, version;
  } rows[] = {
    {"stereo", 5, 2, 2, 0x1018, 0, 0x51767053, 10001},
    {"quad", 1, 4, 4, 0x1010, 0, 0x51767051, 10203},  // no programs declared: reported as one
    {"chunks", 5, 1, 2, 0x1139, 64, 0x51767043, 20304},
  };
  for (const Row& r : rows)
  {
    auto p = Load(r.variant, false);
    const AEffect* e = p->effect();
    SCOPED_TRACE(r.variant);
    EXPECT_EQ(e->magic, kEffectMagic);
    EXPECT_EQ(e->numPrograms, r.programs);
    EXPECT_EQ(e->numParams, kNumParams);
    EXPECT_EQ(e->numInputs, r.inputs);
    EXPECT_EQ(e->numOutputs, r.outputs);
    EXPECT_EQ(e->flags, r.flags);
    EXPECT_EQ(e->initialDelay, r.delay);
    EXPECT_EQ(e->uniqueID, r.uniqueID);
    EXPECT_EQ(e->version, r.version);
    EXPECT_EQ(e->ioRatio, 1.0f);
    EXPECT_TRUE(e->process && e->processReplacing && e->processDoubleReplacing);
  }
}

TEST_F(PlugInHost, DispatcherRowsAnswer)
{
  const std::string longQuad = "PassThru Quad with a name longer than thirty-two bytes";
  const std::string longProduct =
    "A product string that runs well past the sixty-four bytes a host gives it, to be cut";
  struct Row
  {
    const char* variant;
    VstInt32 opcode, index;
    VstIntPtr value;
    VstIntPtr answer;
    std::string text;  // "#": nothing written
  } rows[] = {
    {"stereo", effIdentify, 0, 0, 0x4E764566, "#"},
    {"stereo", effGetVstVersion, 0, 0, 2400, "#"},
    {"stereo", effGetPlugCategory, 0, 0, 1, "#"},
    {"chunks", effGetPlugCategory, 0, 0, 2, "#"},
    {"stereo", effCanBeAutomated, kFine, 0, 1, "#"},
    {"stereo", effGetProgram, 0, 0, 0, "#"},
    {"stereo", effGetEffectName, 0, 0, 1, "PassThru Stereo"},
    {"quad", effGetEffectName, 0, 0, 1, longQuad.substr(0, 31)},
    {"stereo", effGetVendorString, 0, 0, 1, "Orvyn Test"},
    {"stereo", effGetProductString, 0, 0, 1, ""},
    {"quad", effGetProductString, 0, 0, 1, longProduct.substr(0, 63)},
    {"stereo", effGetProgramName, 0, 0, 0, "Factory A"},
    {"quad", effGetProgramName, 0, 0, 0, ""},
    {"stereo", effGetProgramNameIndexed, 1, -1, 1, "A factory program with "},  // 23 + NUL
    {"stereo", effGetProgramNameIndexed, 4, -1, 1, "Empty"},
    {"stereo", effGetProgramNameIndexed, 5, -1, 0, ""},
    {"stereo", effGetProgramNameIndexed, -1, -1, 0, ""},
    {"stereo", effGetParamName, kCutoff, 0, 0, "Cutoff"},
    {"stereo", effGetParamLabel, kCutoff, 0, 0, "Hz"},
    {"stereo", effGetParamLabel, kMode, 0, 0, ""},  // shown by a display text
    {"stereo", effGetParamDisplay, kMode, 0, 0, "Clean"},
    {"stereo", effGetParamDisplay, kFine, 0, 0, "0.500"},
    {"stereo", effGetParamDisplay, kSteps, 0, 0, "16"},
    {"stereo", effGetParamName, kNumParams, 0, 0, "#"},
    {"stereo", effGetParamDisplay, -1, 0, 0, "#"},
    {"stereo", effVendorSpecific, 7, kCutoff, 0xbeef, "5015"},  // opt 0.5
    {"stereo", effVendorSpecific, 7, kMode, 0xbeef, "Warm"},
    {"stereo", effVendorSpecific, 7, kNumParams, 0, ""},
    {"stereo", effVendorSpecific, 8, kMode, 0xbeef, "#"},
    {"stereo", effVendorSpecific, 8, kGain, 0, "#"},
    {"stereo", effVendorSpecific, 9, kMode, 0, "#"},
  };
  for (const Row& r : rows)
  {
    auto p = Load(r.variant);
    VstIntPtr answer = -1;
    const std::string text = Text(*p, r.opcode, r.index, &answer, r.value, 0.5f);
    EXPECT_EQ(answer, r.answer) << r.variant << " opcode " << r.opcode << " index " << r.index;
    EXPECT_EQ(text, r.text) << r.variant << " opcode " << r.opcode << " index " << r.index;
  }
}

TEST_F(PlugInHost, OpcodesWithoutAnswerDoNothing)
{
  auto p = Load("stereo");
  const std::vector<uint8_t> before = p->getChunk(false);
  for (VstInt32 op : {9,  16, 17, 18, 20, 21, 28, 30, 31, 32, 36, 37, 38, 39, 40, 41, 43, 44,   46,
                      49, 52, 54, 55, 56, 57, 59, 60, 61, 62, 63, 64, 65, 67, 68, 70, 77, 1000, -1})
  {
    char buf[256] = {};
    EXPECT_EQ(p->dispatch(op, 1, 1, buf, 1.0f), 0) << op;
    EXPECT_EQ(buf[0], 0) << op;
  }
  // Requests that write or read through a pointer answer 0 when it is null.
  for (VstInt32 op : {effEditGetRect, effGetChunk, effSetChunk, effProcessEvents, effGetEffectName,
                      effGetVendorString, effGetProductString, effGetProgramNameIndexed,
                      effGetInputProperties, effGetOutputProperties, effGetMidiKeyName, effCanDo})
    EXPECT_EQ(p->dispatch(op, 0, 8, nullptr), 0) << op;
  EXPECT_EQ(p->getChunk(false), before);
}

TEST_F(PlugInHost, CapabilitiesFollowMidiAndRecordHostExtensions)
{
  struct Row
  {
    const char* variant;
    const char* capability;
    VstIntPtr answer;
  } rows[] = {
    {"stereo", "receiveVstTimeInfo", 1},
    {"quad", "receiveVstTimeInfo", 1},
    {"stereo", "receiveVstMidiEvent", 1},
    {"quad", "receiveVstMidiEvent", 0},
    {"stereo", "sendVstEvents", 1},
    {"stereo", "sendVstMidiEvent", 1},
    {"stereo", "receiveVstEvents", 1},
    {"quad", "sendVstEvents", 0},
    {"stereo", "hasHostExtensions", (VstIntPtr)3203334144LL},
    {"stereo", "hasHostViewAsConfig", (VstIntPtr)3203334144LL},
    {"stereo", "ReceiveVstTimeInfo", 0},
    {"stereo", "bypass", 0},
  };
  for (const Row& r : rows)
    EXPECT_EQ(Load(r.variant)->canDo(r.capability), r.answer) << r.variant << " " << r.capability;
}

TEST_F(PlugInHost, MidiKeyNamesComeFromThePlugIn)
{
  struct Row
  {
    int key;
    VstIntPtr answer;
    const char* name;  // the key name is cleared before the plug-in is asked
  } rows[] = {{60, 1, "Middle C"}, {61, 0, ""}, {-1, 0, ""}};
  auto p = Load("stereo");
  for (const Row& r : rows)
  {
    MidiKeyName key;
    memset(&key, '#', sizeof(key));
    key.thisProgramIndex = 0;
    key.thisKeyNumber = r.key;
    EXPECT_EQ(p->dispatch(effGetMidiKeyName, 0, 0, &key), r.answer) << r.key;
    ASSERT_TRUE(memchr(key.keyName, '\0', sizeof(key.keyName))) << r.key;
    EXPECT_STREQ(key.keyName, r.name) << r.key;
  }
}

TEST_F(PlugInHost, TextToParameterTakesNumbersAndExactDisplayTexts)
{
  struct Row
  {
    int index;
    const char* text;
    VstIntPtr answer;
    const char* display;  // afterwards; "" when the index is invalid
  } rows[] = {
    {kGain, "-6", 1, "-6.0"}, {kGain, "12 dB", 1, "12.0"}, {kGain, "100", 1, "12.0"},
    {kGain, "abc", 0, "0.0"}, {kGain, "", 0, "0.0"},       {kGain, "1e999", 0, "0.0"},
    {kGain, "nan", 0, "0.0"}, {kMode, "Warm", 1, "Warm"},  {kMode, "warm", 0, "Clean"},
    {kMode, "1", 0, "Clean"}, {kBypass, "on", 1, "on"},    {kNumParams, "1", 0, ""},
    {-1, "1", 0, ""},
  };
  for (const Row& r : rows)
  {
    auto p = Load("stereo");
    EXPECT_EQ(p->stringToParameter(r.index, r.text), r.answer) << r.index << " " << r.text;
    if (r.index >= 0 && r.index < kNumParams)
    {
      EXPECT_EQ(p->paramDisplay(r.index), r.display) << r.text;
    }
  }
  EXPECT_EQ(Load("stereo")->dispatch(effString2Parameter, kGain, 0, nullptr), 1);
}

TEST_F(PlugInHost, ParametersRoundTripNormalised)
{
  auto p = Load("stereo");
  struct Row
  {
    int index;
    float set, get;
    const char* display;
  } rows[] = {
    {kGain, 0.0f, 0.0f, "-60.0"}, {kMode, 0.5f, 0.5f, "Warm"},   {kCutoff, 0.5f, 0.5f, "5015"},
    {kFine, 1.5f, 1.0f, "1.000"}, {kFine, -2.0f, 0.0f, "0.000"}, {kSteps, NAN, 1.0f, "16"},
  };
  for (const Row& r : rows)
  {
    p->setParameter(r.index, r.set);
    EXPECT_NEAR(p->getParameter(r.index), r.get, 1e-6) << r.index;
    EXPECT_EQ(p->paramDisplay(r.index), r.display) << r.index;
  }
  EXPECT_EQ(p->getParameter(kNumParams), 0.0f);
  p->setParameter(kNumParams, 0.5f);  // ignored
}

TEST_F(PlugInHost, ChunksRoundTripByteIdentical)
{
  for (const char* variant : {"stereo", "chunks"})
    for (bool program : {true, false})
    {
      SCOPED_TRACE(std::string(variant) + (program ? " program" : " bank"));
      auto p = Load(variant);
      p->setParameter(kGain, 0.25f);
      p->setParameter(kMode, 1.0f);
      p->setProgramName("Saved");
      const std::vector<uint8_t> saved = p->getChunk(program);
      ASSERT_EQ(std::vector<uint8_t>(saved.begin(), saved.begin() + 8),
                (std::vector<uint8_t>{0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00}));
      if (program)
      {
        EXPECT_EQ(saved.size(), 8u + 8u * kNumParams);
      }
      p->setParameter(kGain, 1.0f);
      p->setParameter(kMode, 0.0f);
      p->setProgramName("Changed");
      EXPECT_EQ(p->setChunk(program, saved), 1);
      EXPECT_EQ(p->getChunk(program), saved);
      EXPECT_EQ(p->paramDisplay(kMode), "Hot");
      EXPECT_EQ(p->programName(), program ? "Changed" : "Saved");
    }
}

TEST_F(PlugInHost, UnreadableChunksChangeNothing)
{
  auto p = Load("stereo");
  p->setParameter(kFine, 0.75f);
  const std::vector<uint8_t> program = p->getChunk(true), bank = p->getChunk(false);
  std::vector<uint8_t> noHeader(program.begin() + 8, program.end());
  struct Row
  {
    const char* what;
    bool asProgram;
    std::vector<uint8_t> bytes;
  } rows[] = {
    {"empty", true, {}},
    {"header only", true, std::vector<uint8_t>(program.begin(), program.begin() + 8)},
    {"short program", true, std::vector<uint8_t>(program.begin(), program.end() - 1)},
    {"short bank", false, std::vector<uint8_t>(bank.begin(), bank.end() - 1)},
    {"three bytes", false, {1, 2, 3}},
  };
  for (const Row& r : rows)
  {
    EXPECT_EQ(p->setChunk(r.asProgram, r.bytes), 0) << r.what;
    EXPECT_EQ(p->getChunk(true), program) << r.what;
    EXPECT_EQ(p->getChunk(false), bank) << r.what;
  }
  // A bank request whose data has no header is read as one program's state.
  p->setParameter(kFine, 0.0f);
  EXPECT_EQ(p->setChunk(false, noHeader), 1);
  EXPECT_EQ(p->paramDisplay(kFine), "0.750");
  // The host may hand back the very bytes the plug-in lent it.
  void* lent = nullptr;
  const VstIntPtr size = p->dispatch(effGetChunk, 0, 0, &lent);
  EXPECT_EQ(p->dispatch(effSetChunk, 0, size, lent), 1);
  EXPECT_EQ(p->dispatch(effSetChunk, 1, -8, lent), 0);
}

TEST_F(PlugInHost, ProgramsSwitchAndRename)
{
  // Without state chunks, switching stores the edits into the program left behind.
  for (const auto& c : {std::make_pair("stereo", "-60.0"), std::make_pair("chunks", "3.0")})
  {
    auto p = Load(c.first);
    p->setProgram(1);
    EXPECT_EQ(p->program(), 1);
    EXPECT_EQ(p->paramDisplay(kGain), "3.0");
    EXPECT_EQ(p->paramDisplay(kMode), "Hot");
    p->setParameter(kGain, 0.0f);
    p->setProgram(2);
    EXPECT_EQ(p->paramDisplay(kGain), "0.0");
    p->setProgram(1);
    EXPECT_EQ(p->paramDisplay(kGain), c.second) << c.first;
    p->setProgram(5);  // past the last: nothing changes
    EXPECT_EQ(p->program(), 1);
    p->setProgramName("Renamed and then some more");
    std::string name;
    EXPECT_EQ(p->programNameIndexed(1, &name), 1);
    EXPECT_EQ(name, "Renamed and then some m");
    EXPECT_EQ(p->programName(), name);
    p->setProgram(3);
    EXPECT_EQ(p->paramDisplay(kGain), "0.0");
    EXPECT_EQ(p->programName(), "Empty");
  }
}

TEST_F(PlugInHost, ProcessingCallbacksPassInputsThrough)
{
  for (const char* variant : {"stereo", "quad", "chunks"})
    for (ProcessCall call :
         {ProcessCall::Replacing, ProcessCall::Accumulating, ProcessCall::Double})
    {
      SCOPED_TRACE(std::string(variant) + " " + processCallName(call));
      auto p = Load(variant);
      AudioBuffer in, out;
      Render(*p, call, 0.25, &in, &out);
      for (int c = 0; c < out.channels(); ++c)
        for (size_t i = 0; i < out.frames(); i += 37)
        {
          const double src = c < p->effect()->numInputs ? in.channel(c)[i] : 0.0;
          ASSERT_EQ(out.channel(c)[i], Expected(call, 0.25, src)) << c << " " << i;
        }
    }
}

TEST_F(PlugInHost, SpeakerArrangementsConnectChannels)
{
  struct Row
  {
    int inChannels, outChannels;
    VstIntPtr answer;
    double out0, out1;  // per frame: 1 the input of that channel, 0 silence, -1 the host's prefill
  } rows[] = {
    {2, 2, 1, 1, 1},  {1, 2, 1, 1, 0}, {0, 2, 1, 0, 0},
    {2, 1, 1, 1, -1}, {9, 9, 1, 1, 1}, {-1, 1, 0, 1, 1},
  };
  for (const Row& r : rows)
  {
    SCOPED_TRACE(std::to_string(r.inChannels) + " " + std::to_string(r.outChannels));
    auto p = Load("stereo");
    VstSpeakerArrangement in{}, out{};
    in.numChannels = r.inChannels;
    out.numChannels = r.outChannels;
    EXPECT_EQ(p->dispatch(effSetSpeakerArrangement, 0, (VstIntPtr)&in, &out), r.answer);
    AudioBuffer input, output;
    Render(*p, ProcessCall::Replacing, 0.25, &input, &output);
    const double want[2] = {r.out0, r.out1};
    for (int c = 0; c < 2; ++c)
    {
      const double v = want[c] > 0 ? (float)input.channel(c)[10] : want[c] < 0 ? 0.25 : 0.0;
      EXPECT_EQ(output.channel(c)[10], v) << c;
    }
  }
  // The arrangements reported keep the layout's counts.
  struct Reported
  {
    const char* variant;
    int inType, inChannels, outType, outChannels;
  } reported[] = {{"stereo", 1, 2, 1, 2}, {"quad", -2, 4, -2, 4}, {"chunks", 0, 1, 1, 2}};
  for (const Reported& r : reported)
  {
    auto p = Load(r.variant);
    VstSpeakerArrangement *in = nullptr, *out = nullptr;
    EXPECT_EQ(p->dispatch(effGetSpeakerArrangement, 0, (VstIntPtr)&in, &out), 1);
    ASSERT_TRUE(in && out);
    EXPECT_EQ(in->type, r.inType) << r.variant;
    EXPECT_EQ(in->numChannels, r.inChannels) << r.variant;
    EXPECT_EQ(out->type, r.outType) << r.variant;
    EXPECT_EQ(out->numChannels, r.outChannels) << r.variant;
  }
}

TEST_F(PlugInHost, PinsNameAndPairChannels)
{
  struct Row
  {
    const char* variant;
    VstInt32 opcode, index;
    VstIntPtr answer;
    int flags;
    const char* label;
  } rows[] = {
    {"stereo", effGetInputProperties, 0, 1, 3, "Input 1"},
    {"stereo", effGetInputProperties, 1, 1, 1, "Input 2"},
    {"stereo", effGetOutputProperties, 1, 1, 1, "Output 2"},
    {"stereo", effGetInputProperties, 2, 0, -1, "untouched"},
    {"stereo", effGetOutputProperties, -1, 0, -1, "untouched"},
    {"quad", effGetInputProperties, 0, 1, 3, "Left front in"},
    {"quad", effGetInputProperties, 2, 1, 3, "Input 3"},
    {"quad", effGetOutputProperties, 3, 1, 1, "Output 4"},
    {"chunks", effGetInputProperties, 0, 1, 1, "Input 1"},
    {"chunks", effGetOutputProperties, 0, 1, 3, "Output 1"},
  };
  for (const Row& r : rows)
  {
    auto p = Load(r.variant);
    VstPinProperties pin;
    memset(&pin, 0, sizeof(pin));
    pin.flags = -1;
    pin.arrangementType = 77;
    strcpy(pin.label, "untouched");
    EXPECT_EQ(p->dispatch(r.opcode, r.index, 0, &pin), r.answer) << r.variant << " " << r.index;
    EXPECT_EQ(pin.flags, r.flags) << r.variant << " " << r.index;
    EXPECT_STREQ(pin.label, r.label);
    EXPECT_EQ(pin.arrangementType, 77);
  }
}

TEST_F(PlugInHost, HostIdentificationLimitsSomeHostsToStereo)
{
  struct Row
  {
    const char* product;
    uint64_t versionCalls;
    bool stereoOnly;
  } rows[] = {
    {"Adobe Audition CS6", 1, true}, {"forte 4", 1, true}, {"REAPER", 1, false}, {"", 0, false}};
  for (const Row& r : rows)
  {
    SCOPED_TRACE(r.product);
    mHost.identity().product = r.product;
    mHost.log().clear();
    auto p = Load("quad");
    p->open();  // a second open asks nothing again
    EXPECT_EQ(mHost.log().calls(audioMasterGetProductString), 1u);
    EXPECT_EQ(mHost.log().calls(audioMasterGetVendorVersion), r.versionCalls);
    EXPECT_EQ(p->effect()->numInputs, 4);
    AudioBuffer in, out;
    Render(*p, ProcessCall::Replacing, 0.25, &in, &out);
    EXPECT_EQ(out.channel(1)[5], (float)in.channel(1)[5]);
    EXPECT_EQ(out.channel(3)[5], r.stereoOnly ? 0.25 : (float)in.channel(3)[5]);
  }
}

TEST_F(PlugInHost, HostCallbacksPerBlockAndMidiThru)
{
  for (const auto& c : {std::make_pair("stereo", 3u), std::make_pair("quad", 0u)})
  {
    auto p = Load(c.first);
    mHost.log().clear();
    AudioBuffer in, out;
    Render(*p, ProcessCall::Double, 0.0, &in, &out);  // 3 blocks of 100
    EXPECT_EQ(mHost.log().calls(audioMasterWantMidi), c.second) << c.first;
    // Empty and malformed blocks are not processed and ask for nothing.
    float* none[4] = {};
    p->processFloat(ProcessCall::Replacing, nullptr, nullptr, 64);
    p->processFloat(ProcessCall::Replacing, none, none, 0);
    p->processFloat(ProcessCall::Accumulating, none, none, -5);
    EXPECT_EQ(mHost.log().calls(audioMasterWantMidi), c.second) << c.first;
  }
  auto p = Load("stereo");
  mHost.log().clear();
  EventList events;
  TimedEvent note;
  ASSERT_TRUE(parseMidiSpec("on:5:60:100", &note));
  events.add(note, 5);
  EXPECT_EQ(p->sendEvents(events), 1);
  const std::vector<std::string> lines = mHost.log().lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "processEvents midi 5 90 3C 64");
}

TEST_F(PlugInHost, BlocksLongerThanAnnouncedAreProcessedWhole)
{
  auto p = Load("stereo");
  p->setBlockSize(64);
  std::vector<float> in0(1000), in1(1000), out0(1000, 9.0f), out1(1000, 9.0f);
  for (int i = 0; i < 1000; ++i)
    in0[i] = 0.001f * i, in1[i] = -0.001f * i;
  float* ins[2] = {in0.data(), in1.data()};
  float* outs[2] = {out0.data(), out1.data()};
  p->processFloat(ProcessCall::Replacing, ins, outs, 1000);
  EXPECT_EQ(out0, in0);
  EXPECT_EQ(out1, in1);
  // In place: the host's input buffers are its output buffers.
  p->processFloat(ProcessCall::Replacing, ins, ins, 1000);
  EXPECT_EQ(in0, out0);
}

TEST_F(PlugInHost, EditorRequestsNeedAnEditor)
{
  for (const char* variant : {"stereo", "chunks"})
  {
    const bool editor = !strcmp(variant, "chunks");
    auto p = Load(variant);
    ERect* rect = nullptr;
    EXPECT_EQ(p->dispatch(effEditGetRect, 0, 0, &rect), editor ? 1 : 0);
    if (editor)
    {
      ASSERT_TRUE(rect);
      EXPECT_EQ(rect->top, 0);
      EXPECT_EQ(rect->left, 0);
      EXPECT_EQ(rect->bottom, 200);
      EXPECT_EQ(rect->right, 300);
    }
    int parentWindow = 0;
    EXPECT_EQ(p->dispatch(effEditOpen, 0, 0, nullptr), 0);
    EXPECT_EQ(p->dispatch(effEditOpen, 0, 0, &parentWindow), editor ? 1 : 0);
    EXPECT_EQ(p->dispatch(effEditClose), editor ? 1 : 0);
    EXPECT_EQ(p->dispatch(effEditIdle), 0);
  }
}

}  // namespace
