// The instance base: names, versions, the editor, parameter changes from the editor, host texts.

#include "tests/support/plugin_test_plug.h"
#include "tests/support/plugin_test_surface.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

TEST(PluginBase, NamesAreCutToTheirFields)
{
  struct Case
  {
    std::string name;
    std::string expected;
  };
  const Case cases[] = {
    {"Quiet", "Quiet"},
    {std::string(127, 'q'), std::string(127, 'q')},
    {std::string(500, 'q'), std::string(127, 'q')},
    {"", ""},
  };
  for (const Case& c : cases)
  {
    TestPlug plug(0, "1-1", 0, false, c.name.c_str());
    EXPECT_EQ(plug.GetEffectName(), c.expected);
  }
}

TEST(Versions, PackedVersionsReadAsPartsDecimalAndText)
{
  struct Case
  {
    int packed;
    int major, minor, patch;
    int decimal;
    const char* text;
  };
  const Case cases[] = {
    {0x10001, 1, 0, 1, 10001, "v1.0.1"},
    {0x00060105, 6, 1, 5, 60105, "v6.1.5"},
    {0x0000320C, 0, 50, 12, 5012, "v0.50.12"},
    {0, 0, 0, 0, 0, "v0.0.0"},
    {0x7FFFFFFF, 32767, 255, 255, 327695755, "v32767.255.255"},
    {INT_MIN, -32768, 0, 0, -327680000, "v-32768.0.0"},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.text);
    int major, minor, patch;
    GetVersionParts(c.packed, &major, &minor, &patch);
    EXPECT_EQ(major, c.major);
    EXPECT_EQ(minor, c.minor);
    EXPECT_EQ(patch, c.patch);
    EXPECT_EQ(GetDecimalVersion(c.packed), c.decimal);
    char text[kMaxVersionStrLen];
    GetVersionStr(c.packed, text);
    EXPECT_STREQ(text, c.text);

    TestPlug plug(0, "1-1", 0, false, "v", c.packed);
    EXPECT_EQ(plug.GetEffectVersion(true), c.decimal);
    EXPECT_EQ(plug.GetEffectVersion(false), c.packed);
  }
}

TEST(Versions, DecimalHostVersionsPackIntoParts)
{
  struct Case
  {
    int decimal;
    int packed;
  };
  const Case cases[] = {
    {5012, 0x0000320C}, {60105, 0x00060105}, {0, 0}, {99, 0x63}, {-5, 0}, {10000, 0x10000},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PackDecimalVersion(c.decimal), c.packed) << c.decimal;
}

TEST(PluginBase, AttachedEditorStartsWithEveryParameterBeforeItsFirstDraw)
{
  TestPlug plug(3, "1-1");
  plug.GetParam(0)->InitDouble("d", 25.0, 0.0, 100.0, 1.0);
  plug.GetParam(0)->SetShape(2.0);
  plug.GetParam(1)->InitBool("b", true);
  plug.GetParam(2)->InitEnum("e", 1, 3);
  TestSurface* pSurface = new TestSurface(&plug, 100, 50);
  plug.AttachGraphics(pSurface);
  ASSERT_EQ(plug.GetGUI(), pSurface);
  ASSERT_EQ(pSurface->mPushes.size(), 3u);
  const double expected[] = {0.5, 1.0, 0.5};
  for (int i = 0; i < 3; ++i)
  {
    EXPECT_EQ(pSurface->mPushes[i].paramIdx, i);
    EXPECT_DOUBLE_EQ(pSurface->mPushes[i].value, expected[i]);
    EXPECT_TRUE(pSurface->mPushes[i].beforePrepDraw);
  }
  EXPECT_NE(pSurface->GetBits(), nullptr);
}

TEST(PluginBase, AttachingAnEditorReplacesAndDeletesTheOneBefore)
{
  struct Case
  {
    const char* what;
    bool second;        // attach a second surface
    bool sameAgain;     // attach the first surface again
    bool nullAttach;    // attach null
    bool firstDeleted;  // once the plug-in still lives
  };
  const Case cases[] = {
    {"a second editor", true, false, false, true},
    {"the same editor again", false, true, false, false},
    {"null", false, false, true, false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    bool firstDeleted = false, secondDeleted = false;
    {
      TestPlug plug(1, "1-1");
      TestSurface* pFirst = new TestSurface(&plug, 10, 10, &firstDeleted);
      plug.AttachGraphics(pFirst);
      IGraphics* pExpected = pFirst;
      if (c.second)
        plug.AttachGraphics(pExpected = new TestSurface(&plug, 10, 10, &secondDeleted));
      if (c.sameAgain)
        plug.AttachGraphics(pFirst);
      if (c.nullAttach)
        plug.AttachGraphics(nullptr);
      EXPECT_EQ(plug.GetGUI(), pExpected);
      EXPECT_EQ(firstDeleted, c.firstDeleted);
      EXPECT_FALSE(secondDeleted);
    }
    // The plug-in deletes the editor it holds.
    EXPECT_TRUE(firstDeleted);
    EXPECT_EQ(secondDeleted, c.second);
  }
}

TEST(PluginBase, EditorChangeSetsTheParameterNotifiesThenInformsTheHostOnce)
{
  struct Case
  {
    int paramIdx;
    double normalized;
    std::vector<std::string> log;
    double value;        // of parameter 1 afterwards, from 10
    bool whole = false;  // parameter 1 an int rather than a double
  };
  const Case cases[] = {
    {1, 0.25, {"paramchange 1", "automate 1 0.25"}, 25.0},
    {1, 1.0, {"paramchange 1", "automate 1 1"}, 100.0},
    {2, 0.5, {}, 10.0},  // outside the parameter list
    {-1, 0.5, {}, 10.0},
    {1, 0.104, {"paramchange 1"}, 10.0, true},  // the step held already
    {1, 0.1 + 1e-10, {"paramchange 1"}, 10.0},  // a move the host cannot read
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.paramIdx << " " << c.normalized);
    TestPlug plug(2, "1-1");
    if (c.whole)
      plug.GetParam(1)->InitInt("i", 10, 0, 100);
    else
      plug.GetParam(1)->InitDouble("d", 10.0, 0.0, 100.0, 1.0);
    plug.SetParameterFromGUI(c.paramIdx, c.normalized);
    EXPECT_EQ(plug.mLog, c.log);
    EXPECT_EQ(plug.GetParam(1)->Value(), c.value);
  }
}

TEST(PluginBase, RedrawPushesPlainValuesIntoTheEditor)
{
  TestPlug plug(2, "1-1");
  plug.GetParam(0)->InitDouble("d", 30.0, 0.0, 100.0, 1.0);
  plug.GetParam(1)->InitInt("i", 3, 0, 10);
  plug.RedrawParamControls();  // without an editor: nothing to do
  TestSurface* pSurface = new TestSurface(&plug, 10, 10);
  plug.AttachGraphics(pSurface);
  pSurface->mPushes.clear();
  plug.RedrawParamControls();
  ASSERT_EQ(pSurface->mPushes.size(), 2u);
  EXPECT_DOUBLE_EQ(pSurface->mPushes[0].value, 0.3);
  EXPECT_DOUBLE_EQ(pSurface->mPushes[1].value, 0.3);
}

TEST(PluginBase, MidiThruAndBatchSendReportEveryMessage)
{
  TestPlug plug(0, "1-1");
  IMidiMsg msg(3, 0x90, 60, 100);
  plug.ProcessMidiMsg(&msg);
  EXPECT_EQ(plug.mLog, (std::vector<std::string>{"midi 144 60 100"}));

  struct Case
  {
    bool hostAccepts;
    bool result;
  };
  for (const Case& c : {Case{true, true}, Case{false, false}})
  {
    plug.mLog.clear();
    plug.mMidiSendResult = c.hostAccepts;
    QvTypedBuf<IMidiMsg> msgs;
    msgs.Add(IMidiMsg(0, 0x90, 1, 2));
    msgs.Add(IMidiMsg(1, 0x80, 1, 0));
    EXPECT_EQ(plug.SendMidiMsgs(&msgs), c.result);
    EXPECT_EQ(plug.mLog.size(), 2u);  // all are sent even after a failure
  }
}

TEST(Hosts, ProductStringsNameTheFirstHostOfTheTable)
{
  struct Case
  {
    const char* product;
    EHost host;
    const char* name;
  };
  const Case cases[] = {
    {"REAPER", kHostReaper, "Reaper"},
    {"Cakewalk SONAR", kHostSonar, "Sonar"},
    {"SONAR by cAkEwAlK", kHostSonar, "Sonar"},
    {"Cubase and Nuendo", kHostCubase, "Cubase"},
    {"Nuendo", kHostNuendo, "Nuendo"},
    {"Reaper Live", kHostReaper, "Reaper"},
    {"Delivery Manager", kHostLive, "Live"},  // "live" inside another word
    {"Adobe Audition", kHostAudition, "Audition"},
    {"Melodyne", kHostMelodyne, "Unknown"},
    {"vstmanlib scanner", kHostVSTScanner, "VSTScanner"},
    {"PreSonus Studio One", kHostStudioOne, "StudioOne"},
    {"VST3PluginTestHost", kHostVST3TestHost, "VST3PluginTestHost"},
    {"Ardour", kHostArdour, "Ardour"},
    {"Digital Performer", kHostDigitalPerformer, "DigitalPerformer"},
    {"Fruity Wrapper", kHostFL, "FLStudio"},
    {"ProTools", kHostProTools, "ProTools"},
    {"Standalone", kHostStandalone, "Standalone"},
    {"Samplitude Pro X", kHostSamplitude, "Samplitude"},
    {"AULab", kHostAULab, "AULab"},
    {"GarageBand", kHostGarageBand, "GarageBand"},
    {"Forte 4", kHostForte, "Forte"},
    {"Chainer", kHostChainer, "Chainer"},
    {"Orion Platinum", kHostOrion, "Orion"},
    {"SAWStudio", kHostSAWStudio, "SAWStudio"},
    {"Logic Pro", kHostLogic, "Logic"},
    {"AudioMulch", kHostAudioMulch, "AudioMulch"},
    {"vsthost", kHostUnknown, "Unknown"},
    {"", kHostUnknown, "Unknown"},
    {nullptr, kHostUnknown, "Unknown"},
    {"\xC3\x89"
     "dition REAPER",
     kHostReaper, "Reaper"},  // bytes above 127 lowered safely
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.product ? c.product : "(null)");
    EXPECT_EQ(LookUpHost(c.product), c.host);
    char name[kMaxHostNameLen];
    GetHostNameStr(c.host, name);
    EXPECT_STREQ(name, c.name);
  }
}

TEST(Hosts, IdentifiersWithoutAKeywordHaveDisplayNamesToo)
{
  struct Case
  {
    int host;
    const char* name;
  };
  const Case cases[] = {{6, "Vegas"},    {10, "Unknown"}, {11, "Unknown"}, {12, "Unknown"},
                        {19, "Unknown"}, {0, "Unknown"},  {-1, "Unknown"}, {29, "Unknown"}};
  for (const Case& c : cases)
  {
    char name[kMaxHostNameLen];
    GetHostNameStr((EHost)c.host, name);
    EXPECT_STREQ(name, c.name) << c.host;
  }
}

TEST(Hosts, OnlyTheFirst255CharactersOfAProductStringAreSearched)
{
  struct Case
  {
    size_t padding;
    EHost host;
  };
  for (const Case& c : {Case{249, kHostReaper}, Case{250, kHostUnknown}, Case{5000, kHostUnknown}})
  {
    const std::string product = std::string(c.padding, 'x') + "reaper";
    EXPECT_EQ(LookUpHost(product.c_str()), c.host) << c.padding;
  }
}

TEST(Hosts, TheInstanceKeepsTheHostAndItsVersion)
{
  TestPlug plug(0, "1-1");
  EXPECT_EQ(plug.GetHost(), kHostUninit);
  plug.SetHost("REAPER", PackDecimalVersion(60105));
  EXPECT_EQ(plug.GetHost(), kHostReaper);
  EXPECT_EQ(plug.GetHostVersion(false), 0x00060105);
  EXPECT_EQ(plug.GetHostVersion(true), 60105);
  char text[kMaxVersionStrLen];
  plug.GetHostVersionStr(text);
  EXPECT_STREQ(text, "v6.1.5");
  EXPECT_STREQ(plug.GetAPIString(), "VST2");
  EXPECT_STREQ(plug.GetArchString(), "x64");
}

}  // namespace
