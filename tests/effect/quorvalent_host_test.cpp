// What a host sees of the plug-in (identity, parameters, programs, their texts and values) and how
// parameter changes and MIDI reach the engine.
#include "gui/IGraphics.h"
#include "tests/support/QuorvalentHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

TEST(QuorvalentHostView, IdentityAndProgramNames)
{
  const char* const programs[kNumPrograms] = {"Falling Drops",
                                              "Tranceizer",
                                              "Shortage",
                                              "Normal",
                                              "Electro Resonance",
                                              "Flamenco",
                                              "Gargara",
                                              "Free Tongue",
                                              "Syncopated",
                                              "Pompedazz",
                                              "Running Horse",
                                              "FMinazer",
                                              "Navel Air",
                                              "Tekchopat",
                                              "Alienz",
                                              "Tolvan",
                                              "Echo and Vup",
                                              "Step Dancer",
                                              "Frying",
                                              "Little Kick",
                                              "Boring in the you essay",
                                              "Chill",
                                              "Softer",
                                              "Jungle",
                                              "Spastics",
                                              "Morvia",
                                              "xox",
                                              "Empty",
                                              "Empty",
                                              "Empty"};
  QuorvalentHost host;
  AEffect* e = host.effect();
  EXPECT_EQ(e->numParams, 42);
  EXPECT_EQ(e->numPrograms, 30);
  EXPECT_EQ(e->numInputs, 2);
  EXPECT_EQ(e->numOutputs, 2);
  EXPECT_EQ(e->uniqueID, 0x49706566);
  EXPECT_EQ(e->version, 10001);
  // An editor where a window host opens it (Windows); never without a parent window.
  EXPECT_EQ(e->flags, MakeGraphicsOpensWindows() ? 0x1019 : 0x1018);
  EXPECT_EQ(host.dispatch(effEditOpen), 0);
  EXPECT_EQ(host.text(effGetEffectName), "Quorvalent");
  EXPECT_EQ(host.text(effGetVendorString), "Orvyn");
  for (int i = 0; i < kNumPrograms; ++i)
    EXPECT_EQ(host.text(effGetProgramNameIndexed, i), programs[i]) << "program " << i;
}

// Names, texts and normalised values through each parameter's kind and shape: at the defaults
// (an "Empty" program) and after the host sets a normalised value.
TEST(QuorvalentHostView, ParameterTexts)
{
  struct Case
  {
    int idx;
    const char* name;
    float set;  // normalised value the host sets, or -1: the default
    const char* display;
    float normalized;
  };
  const Case cases[] = {
    {kAmpAttack, "Amplitude Attack", -1, "0.010", 0.0f},
    {kAmpAttack, "Amplitude Attack", 0.5f, "1.259", 0.5f},  // 0.01 + 0.5^3 x 9.99
    {kAmpDecay, "Amplitude Decay", -1, "0.500", 0.3197409f},
    {kAmpSustain, "Amplitude Sustain", 0.5f, "0.251", 0.5f},  // 0.001 + 0.5^2 x 0.999
    {kAmpRelease, "Amplitude Release", -1, "1.000", 0.3923606f},
    {kFilterCutoff, "Filter Cutoff", -1, "0.990", 1.0f},
    {kAmpLFORate, "LFO Rate", -1, "2", 2.0f / 7.0f},
    {kAmpLFORate, "LFO Rate", 0.5f, "4", 4.0f / 7.0f},  // 3.5 rounds up
    {kAmpLFOTriplet, "LFO Triple", -1, "off", 0.0f},
    {kPush, "Push!!", -1, "off", 0.0f},
    {kFilterType, "Filter Type", -1, "Filter Type", 0.0f},  // value 0 shows the name
    {kFilterType, "Filter Type", 0.5f, "1", 0.5f},          // values 1 and 2 have no text
    {kAmpLFOType, "LFO Amp Type", -1, "2", 1.0f},
    {kStep1, "Step Seq 1", -1, "on", 1.0f},
    {kStep1 + 2, "Step Seq 3", -1, "off", 0.0f},
    {kStep1 + 5, "Step Seq 6", -1, "on", 1.0f},
    {kStep16, "Step Seq 16", 0.6f, "on", 1.0f},
    {kStepMode, "Step On Off", -1, "off", 0.0f},
    {kNoteLength, "Seq Note Len", -3.0f, "0.010", 0.0f},  // clamped
    {kNumStepsParam, "Arp Intervall", -1, "16", 1.0f},
    {kArpSpeed, "Arp Speed", 0.0f, "1", 0.0f},
    {kFilterEnvAmount, "Filter Envelope", -1, "1.000", 1.0f},
    {kDryWet, "Dry Wet", 0.5f, "0.707", 0.5f},  // 0.5^0.5
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.name << " set to " << c.set);
    QuorvalentHost host;
    host.loadDefaults();
    if (c.set != -1)
      host.effect()->setParameter(host.effect(), c.idx, c.set);
    EXPECT_EQ(host.text(effGetParamName, c.idx), c.name);
    EXPECT_EQ(host.text(effGetParamDisplay, c.idx), c.display);
    EXPECT_EQ(host.text(effGetParamLabel, c.idx), "");
    EXPECT_NEAR(host.effect()->getParameter(host.effect(), c.idx), c.normalized, 1e-6);
  }
}

// A new instance holds the values of the program it names, and a factory program keeps its own
// values when the host moves away from it and back.
TEST(QuorvalentHostView, ProgramsHoldTheirFactoryValues)
{
  struct Case
  {
    int program, idx;
    const char* display;
  };
  const Case cases[] = {
    {0, kAmpRelease, "0.694"}, {0, kStep1 + 3, "on"},      {0, kAmpLFOType, "LFO Amp Type"},
    {8, kNumStepsParam, "6"},  {8, kArpSpeed, "7"},        {14, kAmpRelease, "0.100"},  // clamped
    {26, kAmpAttack, "0.014"}, {27, kAmpRelease, "1.000"},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << "program " << c.program << ", parameter " << c.idx);
    QuorvalentHost host;
    if (c.program != 0)
      host.selectProgram(c.program);
    EXPECT_EQ(host.dispatch(effGetProgram), c.program);
    EXPECT_EQ(host.text(effGetParamDisplay, c.idx), c.display);
    host.selectProgram(c.program == 5 ? 6 : 5);
    host.selectProgram(c.program);
    EXPECT_EQ(host.text(effGetParamDisplay, c.idx), c.display);
  }
}

// Notes reach the envelopes from MIDI, "Push!!" and full parameter reports in MIDI / push mode
// only; notes that arrive in sequencer mode are dropped with their block and never fire later.
TEST(QuorvalentParameters, NotesReachTheEnvelopesOnlyInMidiMode)
{
  using Stage = EnvelopeGenerator::EnvelopeStage;
  struct Case
  {
    const char* what;
    bool midiMode;
    void (*act)(QuorvalentHost&);
    Stage expected;
  };
  const Case cases[] = {
    {"push in sequencer mode", false, [](QuorvalentHost& h) { h.setParam(kPush, 1); },
     EnvelopeGenerator::OFF},
    {"push in MIDI mode", true, [](QuorvalentHost& h) { h.setParam(kPush, 1); },
     EnvelopeGenerator::ATTACK},
    {"push released", true,
     [](QuorvalentHost& h) {
       h.setParam(kPush, 1);
       h.setParam(kPush, 0);
     },
     EnvelopeGenerator::RELEASE},
    {"full parameter report, push off", true,
     [](QuorvalentHost& h) {
       h.setParam(kPush, 1);
       h.plug().GetParam(kPush)->Set(0.0);
       h.dispatch(effOpen);
     },
     EnvelopeGenerator::RELEASE},
    {"note-on, then its note-off", true,
     [](QuorvalentHost& h) {
       h.midi(10, 0x90, 60, 100);
       h.midi(40, 0x80, 60, 0);
       h.render(dcInput(64), 64);
     },
     EnvelopeGenerator::RELEASE},
    {"note-on in sequencer mode, then MIDI mode", false,
     [](QuorvalentHost& h) {
       h.midi(10, 0x90, 60, 100);
       h.render(dcInput(64), 64);
       h.setParam(kStepMode, 1);
       h.render(dcInput(64), 64);
     },
     EnvelopeGenerator::OFF},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    QuorvalentHost host;
    host.loadDefaults();
    host.transport.playing = false;
    host.setParam(kAmpAttack, 10.0);  // long stages: the last event decides the stage
    host.setParam(kAmpRelease, 15.0);
    host.setParam(kStepMode, c.midiMode);
    c.act(host);
    EXPECT_EQ(QuorvalentTestAccess::ampStage(host.plug()), c.expected);
  }
}

// Dry Wet 0 passes the input unchanged; otherwise the halved wet path (here the envelope at full
// level over a constant input) is mixed linearly with the input.
TEST(QuorvalentParameters, DryWetMixesInputAndHalvedWetPath)
{
  const double cases[][2] = {{0.0, 1.0}, {0.5, 0.75}, {1.0, 0.5}};  // mix, steady output
  for (const auto& c : cases)
  {
    SCOPED_TRACE(testing::Message() << "dry/wet " << c[0]);
    QuorvalentHost host;
    host.loadDefaults();
    host.setParam(kStepMode, 1);
    host.setParam(kAmpSustain, 1.0);
    host.setParam(kDryWet, c[0]);
    host.setParam(kPush, 1);
    const Stereo in = testSignal(2048);
    const Stereo out = host.render(in, 512);
    if (c[0] == 0.0)
    {
      EXPECT_TRUE(out.l == in.l && out.r == in.r);
    }
    const Stereo dc = host.render(dcInput(4096), 512);
    EXPECT_NEAR(dc.l.back(), c[1], 1e-9);
    EXPECT_NEAR(dc.r.back(), c[1], 1e-9);
  }

  // The envelope scales the wet path at single precision: during a long attack over a constant
  // input (the filter settled at exactly 1), twice the output is a float.
  QuorvalentHost host;
  host.loadDefaults();
  host.setParam(kStepMode, 1);
  host.setParam(kAmpAttack, 10.0);
  host.setParam(kPush, 1);
  const Stereo attack = host.render(dcInput(8192), 512);
  for (size_t i = 4096; i < attack.size(); ++i)
    ASSERT_EQ(2.0 * attack.l[i], (double)(float)(2.0 * attack.l[i])) << "frame " << i;
}

// An LFO runs at a tempo multiple (half the rate multiplier per beat, three quarters in triplets)
// taken when its rate or triplet parameter changes, at the host's sample rate.
TEST(QuorvalentParameters, LfoFrequencyFollowsTempoRateAndSampleRate)
{
  struct Case
  {
    double sampleRate, tempo;
    int rate;
    bool triplet;
    double hz;
  };
  const Case cases[] = {{32768.0, 120.0, 2, false, 4.0},
                        {32768.0, 120.0, 2, true, 6.0},
                        {32768.0, 90.0, 3, true, 9.0},
                        {32768.0, 150.0, 1, false, 2.5},
                        {48000.0, 120.0, 2, false, 4.0},
                        {96000.0, 120.0, 4, false, 16.0},
                        // The top value runs at twice the rate of the one below it.
                        {48000.0, 120.0, 6, false, 64.0},
                        {48000.0, 120.0, 7, false, 128.0}};
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.sampleRate << " Hz, " << c.tempo << " BPM, rate " << c.rate
                                    << (c.triplet ? " triplet" : ""));
    QuorvalentHost host(44100.0, 1 << 17);  // one block a bar: the LFO restarts only at its start
    host.setSampleRate(c.sampleRate);
    host.loadDefaults();
    host.transport.playing = false;
    host.transport.tempo = c.tempo;
    host.setParam(kStepMode, 1);
    host.setParam(kAmpSustain, 1.0);
    host.setParam(kAmpLFODepth, 1.0);
    host.setParam(kPush, 1);
    host.render(dcInput(1024), 1024);  // the plug-in reads the host's tempo
    host.setParam(kAmpLFORate, c.rate);
    host.setParam(kAmpLFOTriplet, c.triplet);
    // The level is (1 + sine) / 2: count its rises through 1/2 over most of a bar.
    const int n = (int)(4.0 * host.samplesPerBeat()) - 16;
    const Stereo out = host.render(dcInput((size_t)n), n);
    int first = -1, last = -1, cycles = -1;
    for (int i = 12; i < n; ++i)
      if (out.l[i - 1] < 0.5 && out.l[i] >= 0.5)
      {
        first = first < 0 ? i : first;
        last = i;
        ++cycles;
      }
    ASSERT_GT(cycles, 0);
    EXPECT_NEAR(c.sampleRate * cycles / (last - first), c.hz, 0.01 * c.hz);
  }
}

// The developer's dump line carries all 42 values, "Dry Wet" last.
TEST(QuorvalentPresetDump, LineCarriesAllParameters)
{
  QuorvalentHost host;
  host.loadDefaults();
  char line[1024];
  ASSERT_TRUE(QuorvalentTestAccess::presetDumpLine(host.plug(), line, sizeof(line)));
  const std::string s(line);
  EXPECT_EQ(s.rfind("MakePreset(\"Bu 0\",0.010000,0.500000,0.100000,1.000000,", 0), 0u) << s;
  EXPECT_EQ(std::count(s.begin(), s.end(), ','), kNumParams) << s;
  EXPECT_EQ(s.substr(s.size() - 30), ",5.000000,1.000000,1.000000);\n") << s;
  EXPECT_FALSE(QuorvalentTestAccess::presetDumpLine(host.plug(), line, 100));
}
