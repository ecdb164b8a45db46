// The pass-through plug-in compiled into the test: what the binding tells the plug-in (hooks) and
// asks of the host (time, identification, notifications) for each request.

#include "tests/support/InProcessHost.h"

#include "framework/vst/BoundaryGuard.h"
#include "tests/support/plugin_test_surface.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>

extern "C" AEffect* VSTPluginMain(audioMasterCallback hostCallback);

namespace {

using Hooks = std::vector<std::string>;

TEST(PlugInProcess, OpenIdentifiesHostOnceAndReportsEveryParameter)
{
  InProcessHost host;
  host.vst().identity().product = "REAPER";
  host.vst().identity().vendorVersion = 60105;
  host.Create("stereo");
  host.Dispatch(effOpen);
  host.Dispatch(effOpen);
  EXPECT_EQ(host.Plug()->mHooks,
            (Hooks{"identified 1", "param 0", "param 1", "param 2", "param 3", "param 4", "param 5",
                   "param 0", "param 1", "param 2", "param 3", "param 4", "param 5"}));
  EXPECT_EQ(host.Count(audioMasterGetProductString), 1);
  EXPECT_EQ(host.Count(audioMasterGetVendorVersion), 1);
  EXPECT_EQ(host.Plug()->GetHostVersion(false), 0x00060105);
}

TEST(PlugInProcess, RateSizeAndActivationRequests)
{
  struct Row
  {
    VstInt32 opcode;
    VstIntPtr value;
    float opt;
    Hooks hooks;
    double sampleRate;
    int blockSize;
  } rows[] = {
    {effSetSampleRate, 0, 48000.0f, {"reset"}, 48000.0, 1024},
    {effSetSampleRate, 0, 0.0f, {}, 44100.0, 1024},
    {effSetSampleRate, 0, -44100.0f, {}, 44100.0, 1024},
    {effSetSampleRate, 0, NAN, {}, 44100.0, 1024},
    {effSetSampleRate, 0, INFINITY, {}, 44100.0, 1024},
    {effSetBlockSize, 512, 0.0f, {"reset"}, 44100.0, 512},
    {effSetBlockSize, 1024, 0.0f, {"reset"}, 44100.0, 1024},
    {effSetBlockSize, 0, 0.0f, {}, 44100.0, 1024},
    {effSetBlockSize, -64, 0.0f, {}, 44100.0, 1024},
    {effSetBlockSize, (VstIntPtr)1 << 40, 0.0f, {}, 44100.0, 1024},
    {effMainsChanged, 0, 0.0f, {"activate 0", "reset"}, 44100.0, 1024},
    {effMainsChanged, 1, 0.0f, {"activate 1"}, 44100.0, 1024},
  };
  for (const Row& r : rows)
  {
    InProcessHost host;
    host.Create("stereo");
    EXPECT_EQ(host.Dispatch(r.opcode, 0, r.value, nullptr, r.opt), 0);
    EXPECT_EQ(host.Plug()->mHooks, r.hooks) << r.opcode << " " << r.value << " " << r.opt;
    EXPECT_EQ(host.Plug()->GetSampleRate(), r.sampleRate);
    EXPECT_EQ(host.Plug()->GetBlockSize(), r.blockSize);
  }
}

TEST(PlugInProcess, IdleOpcodesReachOnIdle)
{
  InProcessHost host;
  host.Create("stereo");
  EXPECT_EQ(host.Dispatch(effEditIdle), 0);
  EXPECT_EQ(host.Dispatch(effIdle), 0);
  EXPECT_EQ(host.Plug()->mIdleCalls, 2);
}

TEST(PlugInProcess, IncomingEventsReachThePlugIn)
{
  InProcessHost host;
  host.Create("stereo");
  VstMidiEvent note{}, unknown{};
  note.type = kVstMidiType;
  note.deltaFrames = 7;
  note.midiData[0] = (char)0x90, note.midiData[1] = 60, note.midiData[2] = 100;
  unknown.type = kVstAudioType;
  char dump[3] = {(char)0xF0, 0x7E, (char)0xF7};
  VstMidiSysexEvent sysex{}, noBytes{}, negative{};
  sysex.type = noBytes.type = negative.type = kVstSysExType;
  sysex.deltaFrames = 3, sysex.dumpBytes = 3, sysex.sysexDump = dump;
  noBytes.dumpBytes = 5;  // count without bytes
  negative.dumpBytes = -1, negative.sysexDump = dump;
  struct
  {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[6];
  } list = {6,
            0,
            {(VstEvent*)&note, nullptr, (VstEvent*)&unknown, (VstEvent*)&sysex, (VstEvent*)&noBytes,
             (VstEvent*)&negative}};
  EXPECT_EQ(host.Dispatch(effProcessEvents, 0, 0, &list), 1);
  EXPECT_EQ(host.Plug()->mHooks, (Hooks{"midi 90 3C 64 7", "sysex 3 3"}));
  EXPECT_EQ(host.Count(audioMasterProcessEvents), 1);  // MIDI thru
  list.numEvents = -3;
  EXPECT_EQ(host.Dispatch(effProcessEvents, 0, 0, &list), 1);
  EXPECT_EQ(host.Plug()->mHooks.size(), 2u);
}

TEST(PlugInProcess, HostTimeTakesOnlyValidAndSaneFields)
{
  const int all = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid |
                  kVstTimeSigValid | kVstTransportPlaying | kVstTransportCycleActive;
  struct Row
  {
    const char* what;
    void (*change)(VstTimeInfo*);
    ITimeInfo expected;  // from a record holding tempo 90, positions 1, 2, 3 / 4..8, 3/4, flags
  } rows[] = {
    {"all valid", [](VstTimeInfo*) {}, {140, 100, 9, 8, 10, 12, 6, 8, true, true}},
    {"no validity bits",
     [](VstTimeInfo* t) { t->flags = 0; },
     {90, 1, 2, 3, 4, 5, 3, 4, false, false}},
    {"tempo 0", [](VstTimeInfo* t) { t->tempo = 0; }, {90, 100, 9, 8, 10, 12, 6, 8, true, true}},
    {"tempo infinite",
     [](VstTimeInfo* t) { t->tempo = INFINITY; },
     {90, 100, 9, 8, 10, 12, 6, 8, true, true}},
    {"ppq NaN",
     [](VstTimeInfo* t) { t->ppqPos = NAN; },
     {140, 100, 2, 8, 10, 12, 6, 8, true, true}},
    {"sample pos NaN",
     [](VstTimeInfo* t) { t->samplePos = NAN; },
     {140, 1, 9, 8, 10, 12, 6, 8, true, true}},
    {"cycle end -1",
     [](VstTimeInfo* t) { t->cycleEndPos = -1; },
     {140, 100, 9, 8, 4, 5, 6, 8, true, true}},
    {"time signature 0/4",
     [](VstTimeInfo* t) { t->timeSigNumerator = 0; },
     {140, 100, 9, 8, 10, 12, 3, 4, true, true}},
    {"stopped",
     [](VstTimeInfo* t) { t->flags &= ~(kVstTransportPlaying | kVstTransportCycleActive); },
     {140, 100, 9, 8, 10, 12, 6, 8, false, false}},
  };
  for (const Row& r : rows)
  {
    InProcessHost host;
    host.Create("stereo");
    host.mTime = VstTimeInfo{100, 44100, 0, 9, 140, 8, 10, 12, 6, 8, 0, 0, 0, all};
    r.change(&host.mTime);
    ITimeInfo t;
    t.mTempo = 90, t.mSamplePos = 1, t.mPPQPos = 2, t.mLastBar = 3, t.mCycleStart = 4;
    t.mCycleEnd = 5, t.mNumerator = 3, t.mDenominator = 4;
    t.mTransportIsRunning = t.mTransportLoopEnabled = false;
    host.Plug()->GetTime(&t);
    const ITimeInfo& e = r.expected;
    EXPECT_EQ(t.mTempo, e.mTempo) << r.what;
    EXPECT_EQ(t.mSamplePos, e.mSamplePos) << r.what;
    EXPECT_EQ(t.mPPQPos, e.mPPQPos) << r.what;
    EXPECT_EQ(t.mLastBar, e.mLastBar) << r.what;
    EXPECT_EQ(t.mCycleStart, e.mCycleStart) << r.what;
    EXPECT_EQ(t.mCycleEnd, e.mCycleEnd) << r.what;
    EXPECT_EQ(t.mNumerator, e.mNumerator) << r.what;
    EXPECT_EQ(t.mDenominator, e.mDenominator) << r.what;
    EXPECT_EQ(t.mTransportIsRunning, e.mTransportIsRunning) << r.what;
    EXPECT_EQ(t.mTransportLoopEnabled, e.mTransportLoopEnabled) << r.what;
  }
}

TEST(PlugInProcess, SingleTimeQueries)
{
  struct Row
  {
    double samplePos, tempo;
    int flags, num, den;
    bool answer;
    int wantPos;
    double wantTempo;
    int wantNum, wantDen;
  } rows[] = {
    {99.5, 120, kVstTempoValid | kVstTimeSigValid, 6, 8, true, 100, 120, 6, 8},
    {-3, 0, kVstTempoValid | kVstTimeSigValid, 0, 4, true, 0, 0, 0, 4},
    {1e12, -5, kVstTempoValid | kVstTimeSigValid, -1, 4, true, INT_MAX, 0, 0, 0},
    {NAN, NAN, kVstTempoValid, 3, 4, true, 0, 0, 0, 0},
    {5, 120, 0, 3, 4, true, 5, 0, 0, 0},  // no validity bits: only the position is read
    {5, 120, kVstTempoValid | kVstTimeSigValid, 3, 4, false, 0, 0, 0, 0},
  };
  for (const Row& r : rows)
  {
    InProcessHost host;
    host.Create("stereo");
    host.mTime.samplePos = r.samplePos, host.mTime.tempo = r.tempo, host.mTime.flags = r.flags;
    host.mTime.timeSigNumerator = r.num, host.mTime.timeSigDenominator = r.den;
    host.mAnswerTime = r.answer;
    int num = -9, den = -9;
    host.Plug()->GetTimeSig(&num, &den);
    EXPECT_EQ(host.Plug()->GetSamplePos(), r.wantPos) << r.samplePos;
    EXPECT_EQ(host.Plug()->GetTempo(), r.wantTempo) << r.tempo;
    EXPECT_EQ(num, r.wantNum) << r.num;
    EXPECT_EQ(den, r.wantDen) << r.den;
  }
}

TEST(PlugInProcess, NotificationsReachTheHost)
{
  struct Row
  {
    const char* what;
    void (*act)(PluginVST*);
    RecordedHostCall call;
    bool answer;
  } rows[] = {
    {"gui edit",
     [](PluginVST* p) { p->SetParameterFromGUI(PassThroughPlug::kFine, 0.25); },
     {audioMasterAutomate, PassThroughPlug::kFine, 0, 0.25f},
     false},
    {"begin",
     [](PluginVST* p) { p->BeginInformHostOfParamChange(3); },
     {audioMasterBeginEdit, 3, 0, 0},
     false},
    {"end",
     [](PluginVST* p) { p->EndInformHostOfParamChange(4); },
     {audioMasterEndEdit, 4, 0, 0},
     false},
    {"program",
     [](PluginVST* p) { p->InformHostOfProgramChange(); },
     {audioMasterUpdateDisplay, 0, 0, 0},
     false},
  };
  for (const Row& r : rows)
  {
    InProcessHost host;
    host.Create("stereo");
    r.act(host.Plug());
    const std::vector<RecordedHostCall> calls = host.Calls();
    ASSERT_EQ(calls.size(), 1u) << r.what;
    EXPECT_EQ(host.CountAll(), 1) << r.what;  // and no other call
    EXPECT_EQ(calls[0].mOpcode, r.call.mOpcode) << r.what;
    EXPECT_EQ(calls[0].mIndex, r.call.mIndex) << r.what;
    EXPECT_EQ(calls[0].mOpt, r.call.mOpt) << r.what;
  }
  for (VstIntPtr level : {kVstProcessLevelOffline, kVstProcessLevelRealtime})
    for (VstIntPtr taken : {1, 0})
    {
      InProcessHost host;
      host.Create("stereo");
      host.vst().setProcessLevel(level);
      host.vst().setProcessEventsAnswer(taken);
      EXPECT_EQ(host.Plug()->IsRenderingOffline(), level == kVstProcessLevelOffline);
      IMidiMsg msg(0, 0x90, 60, 100);
      ISysEx sysex(0, (const uint8_t*)"\xF0\xF7", 2);
      EXPECT_EQ(host.Plug()->SendMidiMsg(&msg), taken == 1);
      EXPECT_EQ(host.Plug()->SendSysEx(&sysex), taken == 1);
    }
}

// A program name from the host is read no further than the interface's program name length, also
// when the host's text lacks its terminator (the buffer below ends where the interface says).
TEST(PlugInProcess, ProgramNamesAreReadNoFurtherThanTheInterfaceLength)
{
  const struct
  {
    std::string bytes;
    std::string name;
  } cases[] = {
    {std::string("Short") + '\0', "Short"},
    {std::string(23, 'a') + '\0', std::string(23, 'a')},
    {std::string(kVstMaxProgNameLen, 'b'), std::string(23, 'b')},
  };
  for (const auto& c : cases)
  {
    InProcessHost host;
    host.Create("stereo");
    std::unique_ptr<char[]> text(new char[c.bytes.size()]);
    memcpy(text.get(), c.bytes.data(), c.bytes.size());
    host.Dispatch(effSetProgramName, 0, 0, text.get());
    EXPECT_EQ(host.Plug()->GetPresetName(0), c.name);
  }
}

// The debug lines written while a test runs.
std::vector<std::string> gLogLines;
void CaptureLine(const char* text) { gLogLines.push_back(text); }

// An exception from any callback is stopped at the edge, leaves every lock released, and is
// reported through the log once, by the next dispatcher request that is not an audio-thread one.
TEST(PlugInProcess, ExceptionsAreStoppedCountedAndReportedLater)
{
  float in[2][16] = {}, out[2][16] = {};
  float* ins[2] = {in[0], in[1]};
  float* outs[2] = {out[0], out[1]};
  double din[2][16] = {}, dout[2][16] = {};
  double* dins[2] = {din[0], din[1]};
  double* douts[2] = {dout[0], dout[1]};
  const struct
  {
    const char* where;
    std::function<void(AEffect*)> call;
  } rows[] = {
    {"dispatcher",
     [](AEffect* e) { EXPECT_EQ(e->dispatcher(e, effEditIdle, 0, 0, nullptr, 0), 0); }},
    {"dispatcher", [](AEffect* e) { EXPECT_EQ(e->dispatcher(e, effOpen, 0, 0, nullptr, 0), 0); }},
    {"setParameter", [](AEffect* e) { e->setParameter(e, 1, 0.5f); }},
    {"processReplacing", [&](AEffect* e) { e->processReplacing(e, ins, outs, 16); }},
    {"process", [&](AEffect* e) { e->process(e, ins, outs, 16); }},
    {"processDoubleReplacing", [&](AEffect* e) { e->processDoubleReplacing(e, dins, douts, 16); }},
  };
  const DebugSinkFn prev = SetDebugSink(&CaptureLine);
  for (const auto& r : rows)
  {
    InProcessHost host;
    AEffect* e = host.Create("throwing");
    gLogLines.clear();
    gPassThroughThrow = true;
    std::thread caller([&] { r.call(e); });  // a thread of its own, as audio callbacks have
    caller.join();
    gPassThroughThrow = false;
    EXPECT_TRUE(gLogLines.empty()) << r.where;
    EXPECT_EQ(BoundaryGuard::Pending(), 1u) << r.where;
    host.Dispatch(effProcessEvents);  // an audio-thread request reports nothing
    EXPECT_TRUE(gLogLines.empty()) << r.where;
    host.Dispatch(effEditIdle);  // gets through: the throwing thread released every lock
    host.Dispatch(effGetVstVersion);
    ASSERT_EQ(gLogLines.size(), 1u) << r.where;
    EXPECT_EQ(gLogLines[0], std::string("1 exception stopped at the host boundary, the last in ") +
                              r.where + "\r\n");
    EXPECT_EQ(host.Plug()->mIdleCalls, 1) << r.where;
  }
  // A failing construction answers null and is reported before the entry returns.
  gLogLines.clear();
  InProcessHost host;
  EXPECT_EQ(host.Create("constructor-throws"), nullptr);
  EXPECT_EQ(gLogLines,
            (Hooks{"1 exception stopped at the host boundary, the last in VSTPluginMain\r\n"}));
  SetDebugSink(prev);
}

// A value set by the host as a normalised number or as text reaches the editor's controls, the
// parameter and the change handler alike.
TEST(PlugInProcess, HostValuesFromNumbersAndTextsAreApplied)
{
  const struct
  {
    int param;
    float normalized;
    const char* text;
  } rows[] = {
    {PassThroughPlug::kMode, 0.5f, "Warm"},
    {PassThroughPlug::kGain, 0.5f, "-24 dB"},
    {PassThroughPlug::kCutoff, 0.5f, "5015"},  // shaped
    {PassThroughPlug::kFine, 0.25f, "0.25"},
  };
  struct Seen
  {
    std::vector<std::pair<int, double>> pushes;
    double value;
    Hooks hooks;
  };
  // What one host request does to a fresh instance with an editor.
  auto apply = [](int param, const std::function<void(InProcessHost&)>& request) {
    InProcessHost host;
    host.Create("chunks");
    TestSurface* surface = static_cast<TestSurface*>(host.Plug()->GetGUI());
    surface->mPushes.clear();
    request(host);
    Seen s;
    for (const TestSurface::ParamPush& p : surface->mPushes)
      s.pushes.emplace_back(p.paramIdx, p.value);
    s.value = host.Plug()->GetParam(param)->GetNormalized();
    s.hooks = host.Plug()->mHooks;
    return s;
  };
  for (const auto& r : rows)
  {
    const Seen number = apply(r.param, [&](InProcessHost& host) {
      host.Effect()->setParameter(host.Effect(), r.param, r.normalized);
    });
    const Seen text = apply(r.param, [&](InProcessHost& host) {
      EXPECT_EQ(host.Dispatch(effString2Parameter, r.param, 0, (void*)r.text), 1);
    });
    EXPECT_EQ(text.pushes, number.pushes) << r.text;
    EXPECT_EQ(text.value, number.value) << r.text;
    EXPECT_EQ(text.hooks, number.hooks) << r.text;
    EXPECT_EQ(text.hooks, (Hooks{"param " + std::to_string(r.param)})) << r.text;
    ASSERT_EQ(number.pushes.size(), 1u);
    EXPECT_EQ(number.pushes[0], std::make_pair(r.param, (double)r.normalized)) << r.text;
  }
}

TEST(PlugInProcess, RunsWithoutHostCallback)
{
  InProcessHost host;  // selects the variant; the instance below gets no callback
  host.Create("stereo");
  AEffect* e = VSTPluginMain(nullptr);
  ASSERT_TRUE(e);
  PluginVST* p = static_cast<PluginVST*>(e->object);
  e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(p->GetHost(), kHostUnknown);
  float in[2][8] = {{0.5f}}, out[2][8] = {};
  float* ins[2] = {in[0], in[1]};
  float* outs[2] = {out[0], out[1]};
  e->processReplacing(e, ins, outs, 8);
  EXPECT_EQ(out[0][0], 0.5f);
  p->SetParameterFromGUI(0, 0.5);
  IMidiMsg msg(0, 0x90, 60, 1);
  EXPECT_FALSE(p->SendMidiMsg(&msg));
  EXPECT_EQ(p->GetTempo(), 0.0);
  e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
}

}  // namespace
