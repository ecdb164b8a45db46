// Program slots: filling, restoring, renaming, and the bank state.

#include "tests/support/plugin_test_plug.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(ByteChunk& c)
{
  return std::vector<uint8_t>(c.GetBytes(), c.GetBytes() + c.Size());
}

std::vector<uint8_t> BankBytes(TestPlug& plug)
{
  ByteChunk c;
  EXPECT_TRUE(plug.SerializePresets(&c));
  return Bytes(c);
}

std::vector<std::string> Names(TestPlug& plug)
{
  std::vector<std::string> names;
  for (int i = 0; i < plug.NPresets(); ++i)
    names.push_back(plug.GetPresetName(i));
  return names;
}

// Four double parameters 0..1 and `nPresets` slots.
std::unique_ptr<TestPlug> MakePlug(int nPresets, int nParams = 4)
{
  std::unique_ptr<TestPlug> plug(new TestPlug(nParams, "2-2", nPresets));
  plug->InitDoubles();
  return plug;
}

void SetValues(TestPlug& plug, const std::vector<double>& v)
{
  for (size_t i = 0; i < v.size(); ++i)
    plug.GetParam((int)i)->Set(v[i]);
}

TEST(PluginBasePresets, MakePresetReadsOneValuePerParameterTypedByTheParameter)
{
  struct Case
  {
    const char* what;
    std::function<void(TestPlug&)> setUp;
    std::vector<double> expected;
  };
  const Case cases[] = {
    {"initialised parameters: ints for bool, int and enum",
     [](TestPlug& p) {
       p.GetParam(0)->InitBool("b", false);
       p.GetParam(1)->InitInt("i", 0, 0, 10);
       p.GetParam(2)->InitEnum("e", 0, 4);
       p.GetParam(3)->InitDouble("d", 0.0, 0.0, 1.0, 0.01);
       p.MakePreset("a", 1, 7, 3, 0.25);
     },
     {1.0, 7.0, 3.0, 0.25}},
    {"parameters not yet initialised: doubles",
     [](TestPlug& p) {
       p.MakePreset("a", 1.0, 7.0, 3.0, 0.25);
       for (int i = 0; i < 4; ++i)
         p.GetParam(i)->InitDouble("d", 0.0, 0.0, 10.0, 0.01);
     },
     {1.0, 7.0, 3.0, 0.25}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    TestPlug plug(4, "2-2", 2);
    c.setUp(plug);
    ASSERT_TRUE(plug.RestorePreset(0));
    EXPECT_EQ(plug.Values(), c.expected);
    EXPECT_STREQ(plug.GetPresetName(0), "a");
  }
}

TEST(PluginBasePresets, NamedParamsPresetKeepsCurrentValuesForParametersNotNamed)
{
  const double kMarker = 9.999e-8;  // a value that must be stored like any other
  struct Case
  {
    const char* what;
    std::function<void(TestPlug&)> make;
    std::vector<double> expected;
  };
  const Case cases[] = {
    {"one named",
     [](TestPlug& p) { p.MakePresetFromNamedParams("x", 1, 3, 0.5); },
     {0.1, 0.2, 0.3, 0.5}},
    {"none named", [](TestPlug& p) { p.MakePresetFromNamedParams("x", 0); }, {0.1, 0.2, 0.3, 0.4}},
    {"a named value equal to an old marker",
     [=](TestPlug& p) { p.MakePresetFromNamedParams("x", 2, 0, kMarker, 2, 0.9); },
     {kMarker, 0.2, 0.9, 0.4}},
    {"indexes outside the list are skipped, their values consumed",
     [](TestPlug& p) { p.MakePresetFromNamedParams("x", 4, 7, 0.9, -1, 0.8, 1, 0.6, 4, 0.7); },
     {0.1, 0.6, 0.3, 0.4}},
    {"named twice: the last wins",
     [](TestPlug& p) { p.MakePresetFromNamedParams("x", 2, 1, 0.6, 1, 0.7); },
     {0.1, 0.7, 0.3, 0.4}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    auto plug = MakePlug(2);
    SetValues(*plug, {0.1, 0.2, 0.3, 0.4});
    c.make(*plug);
    SetValues(*plug, {1.0, 1.0, 1.0, 1.0});
    ASSERT_TRUE(plug->RestorePreset(0));
    EXPECT_EQ(plug->Values(), c.expected);
  }
}

TEST(PluginBasePresets, MakingPresetsFillsFreeSlotsInOrderAndIgnoresTheRest)
{
  auto plug = MakePlug(3);
  plug->MakePreset("one", 0.1, 0.1, 0.1, 0.1);
  ByteChunk state;
  SetValues(*plug, {0.2, 0.2, 0.2, 0.2});
  plug->SerializeState(&state);
  plug->MakePresetFromChunk("two", &state);
  plug->MakePresetFromNamedParams("three", 0);
  plug->MakePreset("four", 0.4, 0.4, 0.4, 0.4);  // every slot taken
  plug->MakeDefaultPreset(nullptr, 1);
  EXPECT_EQ(Names(*plug), (std::vector<std::string>{"one", "two", "three"}));

  auto partly = MakePlug(5);
  partly->MakePreset("one", 0.1, 0.1, 0.1, 0.1);
  partly->MakeDefaultPreset(nullptr, 2);
  partly->EnsureDefaultPreset();
  EXPECT_EQ(Names(*partly), (std::vector<std::string>{"one", "Empty", "Empty", "Empty", "Empty"}));
}

TEST(PluginBasePresets, PresetNamesAreCutToTheirField)
{
  const std::string longName(300, 'n');
  struct Case
  {
    std::string name;
    std::string expected;
  };
  const Case cases[] = {
    {longName, std::string(255, 'n')},
    {std::string(255, 'm'), std::string(255, 'm')},
    {"", ""},
  };
  for (const Case& c : cases)
  {
    auto plug = MakePlug(2);
    plug->MakePreset(c.name.c_str(), 0.0, 0.0, 0.0, 0.0);
    EXPECT_EQ(plug->GetPresetName(0), c.expected);
    plug->RestorePreset(0);
    plug->ModifyCurrentPreset(c.name.c_str());
    EXPECT_EQ(plug->GetPresetName(0), c.expected);
  }
}

TEST(PluginBasePresets, RestorePresetAppliesAValidSlotAndRefusesTheRest)
{
  struct Case
  {
    int idx;
    bool restored;
  };
  const Case cases[] = {{0, true}, {2, true}, {3, false}, {-1, false}, {1 << 30, false}};
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.idx);
    auto plug = MakePlug(3);
    plug->MakePreset("a", 0.1, 0.1, 0.1, 0.1);
    plug->MakePreset("b", 0.2, 0.2, 0.2, 0.2);
    plug->MakePreset("c", 0.3, 0.3, 0.3, 0.3);
    SetValues(*plug, {0.9, 0.9, 0.9, 0.9});
    plug->mLog.clear();
    EXPECT_EQ(plug->RestorePreset(c.idx), c.restored);
    if (c.restored)
    {
      const double slotValues[] = {0.1, 0.2, 0.3};
      const double v = slotValues[c.idx];
      EXPECT_EQ(plug->Values(), std::vector<double>(4, v));
      EXPECT_EQ(plug->GetCurrentPresetIdx(), c.idx);
      EXPECT_EQ(plug->mLog.back(), "presetschanged");
    }
    else
    {
      EXPECT_EQ(plug->Values(), std::vector<double>(4, 0.9));
      EXPECT_EQ(plug->GetCurrentPresetIdx(), 0);
      EXPECT_TRUE(plug->mLog.empty());
    }
  }
}

TEST(PluginBasePresets, RestoringASlotNeverFilledStoresTheCurrentStateUnderAUserPresetName)
{
  struct Case
  {
    std::vector<const char*> filled;  // names of the slots filled before; the next one is restored
    const char* expected;
  };
  const Case cases[] = {
    {{}, "user preset 1"},
    {{"user preset 1"}, "user preset 2"},
    {{"my user preset", "other", "user preset 7"}, "user preset 3"},
    {{"User Preset 1"}, "user preset 1"},  // the match is case-sensitive
  };
  for (const Case& c : cases)
  {
    auto plug = MakePlug(5);
    for (const char* name : c.filled)
      plug->MakePreset(name, 0.0, 0.0, 0.0, 0.0);
    SetValues(*plug, {0.5, 0.6, 0.7, 0.8});
    const int idx = (int)c.filled.size();
    ASSERT_TRUE(plug->RestorePreset(idx));
    EXPECT_STREQ(plug->GetPresetName(idx), c.expected);
    SetValues(*plug, {0.0, 0.0, 0.0, 0.0});
    ASSERT_TRUE(plug->RestorePreset(idx));
    EXPECT_EQ(plug->Values(), (std::vector<double>{0.5, 0.6, 0.7, 0.8}));
  }
}

TEST(PluginBasePresets, ASlotHoldingAnUnreadableStateIsNotApplied)
{
  struct Case
  {
    const char* what;
    std::function<void(TestPlug&)> make;
  };
  const Case cases[] = {
    {"empty chunk",
     [](TestPlug& p) {
       ByteChunk c;
       p.MakePresetFromChunk("x", &c);
     }},
    {"three of four values",
     [](TestPlug& p) {
       ByteChunk c;
       for (double v : {0.1, 0.2, 0.3})
         c.Put(&v);
       p.MakePresetFromChunk("x", &c);
     }},
    {"blob shorter than the state", [](TestPlug& p) { p.MakePresetFromBlob("x", "AAAA", 24); }},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    auto plug = MakePlug(2);
    c.make(*plug);
    SetValues(*plug, {0.9, 0.8, 0.7, 0.6});
    plug->mLog.clear();
    EXPECT_FALSE(plug->RestorePreset(0));
    EXPECT_EQ(plug->Values(), (std::vector<double>{0.9, 0.8, 0.7, 0.6}));
    EXPECT_TRUE(plug->mLog.empty());
  }
}

TEST(PluginBasePresets, BlobPresetDecodesTheStateZeroFilledToItsSize)
{
  // Base64 of the doubles 0.5 and 0.25, little-endian.
  const char* kBlob = "AAAAAAAA4D8AAAAAAADQPw==";
  struct Case
  {
    const char* blob;
    int size;
    std::vector<double> expected;
  };
  const Case cases[] = {
    {kBlob, 16, {0.5, 0.25}},
    {"AAAAAAAA4D8", 16, {0.5, 0.0}},  // the text ends after the first value
    {"", 16, {0.0, 0.0}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.blob);
    auto plug = MakePlug(1, 2);
    SetValues(*plug, {1.0, 1.0});
    plug->MakePresetFromBlob("blob", c.blob, c.size);
    ASSERT_TRUE(plug->RestorePreset(0));
    EXPECT_EQ(plug->Values(), c.expected);
  }
}

TEST(PluginBasePresets, ModifyCurrentPresetStoresTheStateAndRenamesOnlyWithAName)
{
  struct Case
  {
    const char* name;
    const char* expected;
  };
  const Case cases[] = {{"new", "new"}, {"", "old"}, {nullptr, "old"}};
  for (const Case& c : cases)
  {
    auto plug = MakePlug(2);
    plug->MakePreset("other", 0.0, 0.0, 0.0, 0.0);
    plug->MakePreset("old", 0.0, 0.0, 0.0, 0.0);
    ASSERT_TRUE(plug->RestorePreset(1));
    SetValues(*plug, {0.4, 0.3, 0.2, 0.1});
    plug->ModifyCurrentPreset(c.name);
    EXPECT_STREQ(plug->GetPresetName(1), c.expected);
    ASSERT_TRUE(plug->RestorePreset(0));
    ASSERT_TRUE(plug->RestorePreset(1));
    EXPECT_EQ(plug->Values(), (std::vector<double>{0.4, 0.3, 0.2, 0.1}));
  }
}

// A bank with every kind of slot: named, unnamed, never filled, restored current slot 2.
std::unique_ptr<TestPlug> MakeBankPlug()
{
  auto plug = MakePlug(4);
  plug->MakePreset("first", 0.1, 0.2, 0.3, 0.4);
  plug->MakePreset("", 0.5, 0.6, 0.7, 0.8);
  plug->MakePreset(std::string(200, 'L').c_str(), 0.9, 1.0, 0.0, 0.125);
  EXPECT_TRUE(plug->RestorePreset(2));
  return plug;
}

TEST(PluginBasePresets, BankReadBackRestoresEverySlotByteForByteAndAppliesTheCurrentSlot)
{
  auto source = MakeBankPlug();
  const std::vector<uint8_t> bank = BankBytes(*source);

  auto target = MakePlug(4);
  target->MakePreset("stale", 0.0, 0.0, 0.0, 0.0);
  target->MakePreset("stale", 0.0, 0.0, 0.0, 0.0);
  target->MakePreset("stale", 0.0, 0.0, 0.0, 0.0);
  target->MakePreset("stale", 0.0, 0.0, 0.0, 0.0);
  ASSERT_TRUE(target->RestorePreset(2));
  ByteChunk c;
  c.PutBytes(bank.data(), (int)bank.size());
  EXPECT_EQ(target->UnserializePresets(&c, 0), (int)bank.size());

  EXPECT_EQ(BankBytes(*target), bank);
  EXPECT_EQ(Names(*target), Names(*source));
  EXPECT_EQ(target->Values(), (std::vector<double>{0.9, 1.0, 0.0, 0.125}));
  // Slot 3 was never filled in the source: restoring it stores the current state under a user
  // preset name, replacing the state it held before the bank was read.
  EXPECT_TRUE(target->RestorePreset(3));
  EXPECT_STREQ(target->GetPresetName(3), "user preset 1");
  SetValues(*target, {0.0, 0.0, 0.0, 0.0});
  EXPECT_TRUE(target->RestorePreset(3));
  EXPECT_EQ(target->Values(), (std::vector<double>{0.9, 1.0, 0.0, 0.125}));
  EXPECT_TRUE(target->RestorePreset(1));
  EXPECT_EQ(target->Values(), (std::vector<double>{0.5, 0.6, 0.7, 0.8}));
}

// Loading a bank runs the change handler for the current slot only, once per parameter; the other
// slots store what applying them would have left, without being applied.
TEST(PluginBasePresets, BankLoadReportsOnlyTheCurrentSlotOnce)
{
  const double nan = std::nan(""), inf = INFINITY;
  struct Case
  {
    const char* what;
    std::vector<double> slot1;   // as stored in the bank
    std::vector<double> stored;  // as slot 1 holds it afterwards (parameters at 0.7 before)
  };
  const Case cases[] = {
    {"in range", {0.1, 0.2, 0.3, 0.4}, {0.1, 0.2, 0.3, 0.4}},
    {"clamped", {-1.0, 2.0, 0.5, 1.0}, {0.0, 1.0, 0.5, 1.0}},
    {"not finite", {nan, inf, -inf, 0.25}, {0.7, 0.7, 0.7, 0.25}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    auto source = MakePlug(3);
    source->MakePreset("current", 0.5, 0.5, 0.5, 0.5);
    source->MakePreset("other", c.slot1[0], c.slot1[1], c.slot1[2], c.slot1[3]);
    const std::vector<uint8_t> bank = BankBytes(*source);

    auto target = MakePlug(3);
    SetValues(*target, {0.7, 0.7, 0.7, 0.7});
    ByteChunk chunk;
    chunk.PutBytes(bank.data(), (int)bank.size());
    EXPECT_EQ(target->UnserializePresets(&chunk, 0), (int)bank.size());
    EXPECT_EQ(target->mLog,
              (std::vector<std::string>{"paramchange 0", "paramchange 1", "paramchange 2",
                                        "paramchange 3", "presetschanged"}));
    EXPECT_EQ(target->Values(), std::vector<double>(4, 0.5));
    ASSERT_TRUE(target->RestorePreset(1));
    EXPECT_EQ(target->Values(), c.stored);
  }
}

TEST(PluginBasePresets, AnUnreadableBankChangesNoSlotAndNoParameter)
{
  auto source = MakeBankPlug();
  const std::vector<uint8_t> bank = BankBytes(*source);

  struct Case
  {
    std::string what;
    std::vector<uint8_t> bytes;
    int startPos;
  };
  std::vector<Case> cases;
  // Every truncation: the last slot's state, flag or name is missing or cut.
  for (size_t n = 0; n < bank.size(); ++n)
    cases.push_back({"cut to " + std::to_string(n), {bank.begin(), bank.begin() + n}, 0});
  {
    std::vector<uint8_t> b = bank;
    const int32_t negative = -1;
    memcpy(b.data(), &negative, 4);
    cases.push_back({"negative name length", b, 0});
  }
  {
    std::vector<uint8_t> b = bank;
    const int32_t huge = 0x7FFFFFFF;
    memcpy(b.data(), &huge, 4);
    cases.push_back({"name length past the end", b, 0});
  }
  cases.push_back({"start beyond the end", bank, (int)bank.size() + 1});
  cases.push_back({"negative start", bank, -4});

  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    auto target = MakePlug(4);
    target->MakePreset("keep", 0.3, 0.3, 0.3, 0.3);
    target->MakePreset("these", 0.4, 0.4, 0.4, 0.4);
    SetValues(*target, {0.7, 0.7, 0.7, 0.7});
    const std::vector<uint8_t> before = BankBytes(*target);
    ByteChunk chunk;
    chunk.PutBytes(c.bytes.data(), (int)c.bytes.size());
    EXPECT_EQ(target->UnserializePresets(&chunk, c.startPos), -1);
    EXPECT_EQ(BankBytes(*target), before);
    EXPECT_EQ(target->Values(), std::vector<double>(4, 0.7));
    EXPECT_EQ(target->GetCurrentPresetIdx(), 0);
  }
}

// A plug-in with a state format of its own: the parameter count as an int, then the values as
// floats, last parameter first. Reading a state reports the change as a product does.
class OwnStatePlug : public TestPlug
{
public:
  explicit OwnStatePlug(bool chunks)
    : TestPlug(4, "2-2", 3, chunks)
  {
    InitDoubles();
  }
  bool SerializeState(ByteChunk* pChunk) override
  {
    const int n = NParams();
    bool ok = pChunk->Put(&n) > 0;
    for (int i = n - 1; ok && i >= 0; --i)
    {
      const float v = (float)GetParam(i)->Value();
      ok = pChunk->Put(&v) > 0;
    }
    return ok;
  }
  int UnserializeState(ByteChunk* pChunk, int pos) override
  {
    int n = 0;
    pos = pChunk->Get(&n, pos);
    if (pos < 0 || n != NParams() || pChunk->Size() - pos < 4 * n)
      return -1;
    for (int i = n - 1; i >= 0; --i)
    {
      float v = 0.0f;
      pos = pChunk->Get(&v, pos);
      GetParam(i)->Set(v);
    }
    OnParamReset();
    return pos;
  }
};

// The slots of a bank for any plug-in of four parameters (values exact in floats); slot 1 current.
void FillSlots(TestPlug& plug)
{
  const double slots[3][4] = {
    {0.25, 0.5, 0.75, 1.0}, {0.125, 0.0, 0.5, 0.375}, {1.0, 0.0, 1.0, 0.0}};
  for (int s = 0; s < 3; ++s)
  {
    SetValues(plug, std::vector<double>(slots[s], slots[s] + 4));
    plug.MakeDefaultPreset(("slot " + std::to_string(s)).c_str(), 1);
  }
  ASSERT_TRUE(plug.RestorePreset(1));
}

// A plug-in's own state format reaches its banks: every slot is read by its reader and stored by
// its writer, and the change handler runs for the current slot only, once per parameter.
TEST(PluginBasePresets, BankSlotsAreReadInThePlugInsOwnStateFormat)
{
  enum How
  {
    kBankState,
    kChunkFormFile,
    kProgramFormFile
  };
  for (How how : {kBankState, kChunkFormFile, kProgramFormFile})
  {
    SCOPED_TRACE(how);
    OwnStatePlug source(how == kChunkFormFile);
    FillSlots(source);
    ByteChunk data;
    if (how == kBankState)
      ASSERT_TRUE(source.SerializePresets(&data));
    else if (how == kChunkFormFile)
      ASSERT_TRUE(source.GetBankFXB(&data));
    else
    {
      // Program-form banks hold normalised values: write one from the framework's own format.
      TestPlug plain(4, "2-2", 3);
      plain.InitDoubles();
      FillSlots(plain);
      ASSERT_TRUE(plain.GetBankFXB(&data));
    }

    OwnStatePlug target(how == kChunkFormFile);
    target.EnsureDefaultPreset();
    SetValues(target, {0.5, 0.5, 0.5, 0.5});
    target.mLog.clear();
    if (how == kBankState)
      ASSERT_EQ(target.UnserializePresets(&data, 0), data.Size());
    else
      ASSERT_TRUE(target.SetBankFromFXB(data.GetBytes(), data.Size()));
    EXPECT_EQ(BankBytes(target), BankBytes(source));
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(
        std::count(target.mLog.begin(), target.mLog.end(), "paramchange " + std::to_string(i)), 1);
    // The program-form file brings its current program; the others keep the target's.
    EXPECT_EQ(target.Values(), how == kProgramFormFile
                                 ? source.Values()
                                 : (std::vector<double>{0.25, 0.5, 0.75, 1.0}));
  }

  // A slot the reader refuses: nothing changes, nothing is reported.
  OwnStatePlug source(false);
  FillSlots(source);
  ByteChunk bank;
  ASSERT_TRUE(source.SerializePresets(&bank));
  const int three = 3;
  memcpy(bank.GetBytes() + bank.Size() - 20, &three, 4);  // the last slot's count
  OwnStatePlug target(false);
  target.EnsureDefaultPreset();
  SetValues(target, {0.5, 0.5, 0.5, 0.5});
  const std::vector<uint8_t> before = BankBytes(target);
  target.mLog.clear();
  EXPECT_EQ(target.UnserializePresets(&bank, 0), -1);
  EXPECT_EQ(BankBytes(target), before);
  EXPECT_EQ(target.Values(), std::vector<double>(4, 0.5));
  EXPECT_TRUE(target.mLog.empty());
}

TEST(PluginBasePresets, CompareStateMatchesToSinglePrecision)
{
  struct Case
  {
    std::vector<double> stored;
    int startPos;
    bool same;
  };
  const Case cases[] = {
    {{0.3, 0.6}, 0, true},
    {{0.3 + 1e-12, 0.6}, 0, true},  // equal once rounded to float
    {{0.3, 0.6002}, 0, false},
    {{9.0, 0.3, 0.6}, 1, true},  // the state starts at the second double
    {{0.3, 0.6, 9.0}, 1, false},
    {{0.3, std::nan("")}, 0, false},
  };
  for (const Case& c : cases)
  {
    auto plug = MakePlug(0, 2);
    SetValues(*plug, {0.3, 0.6});
    std::vector<unsigned char> bytes(c.stored.size() * sizeof(double));
    memcpy(bytes.data(), c.stored.data(), bytes.size());
    EXPECT_EQ(plug->CompareState(bytes.data(), c.startPos), c.same)
      << c.stored[0] << " from " << c.startPos;
  }
}

}  // namespace
