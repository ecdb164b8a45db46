// Program (FXP) and bank (FXB) files: layouts, round trips, refusals and files of other writers.

#include "framework/FxFiles.h"
#include "tests/support/fx_test_plug.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

namespace {

const uint32_t kId = 0x51767470;  // TestPlug's unique id
const uint32_t kVersion = 10001;  // 0x10001 as the decimal version

using Bytes = std::vector<uint8_t>;

// An expected file, field by field.
struct Fields
{
  Bytes b;
  Fields& u32(uint32_t v)
  {
    for (int s = 24; s >= 0; s -= 8)
      b.push_back((uint8_t)(v >> s));
    return *this;
  }
  Fields& tag(const char* magic)
  {
    b.insert(b.end(), magic, magic + 4);
    return *this;
  }
  Fields& f32(float f)
  {
    uint32_t v;
    memcpy(&v, &f, 4);
    return u32(v);
  }
  Fields& name(const std::string& s)
  {
    const size_t n = std::min<size_t>(s.size(), 27);
    b.insert(b.end(), s.begin(), s.begin() + n);
    b.insert(b.end(), 28 - n, 0);
    return *this;
  }
  Fields& raw(const ByteChunk& c)
  {
    b.insert(b.end(), c.GetBytes(), c.GetBytes() + c.Size());
    return *this;
  }
  Fields& zeros(size_t n)
  {
    b.insert(b.end(), n, 0);
    return *this;
  }
};

void PutBE(Bytes& b, size_t at, uint32_t v)
{
  for (int i = 0; i < 4; ++i)
    b[at + i] = (uint8_t)(v >> (24 - 8 * i));
}

Bytes Of(const ByteChunk& c) { return Bytes(c.GetBytes(), c.GetBytes() + c.Size()); }

enum Kind
{
  kProgram,
  kBank
};

Bytes Save(TestPlug& plug, Kind kind)
{
  ByteChunk c;
  EXPECT_TRUE(kind == kProgram ? plug.GetProgramFXP(&c) : plug.GetBankFXB(&c));
  return Of(c);
}

bool Load(TestPlug& plug, Kind kind, const Bytes& b)
{
  return kind == kProgram ? plug.SetProgramFromFXP(b.data(), (int)b.size())
                          : plug.SetBankFromFXB(b.data(), (int)b.size());
}

void SetValues(TestPlug& plug, const std::vector<double>& v)
{
  for (size_t i = 0; i < v.size(); ++i)
    plug.GetParam((int)i)->Set(v[i]);
}

// Values restored from float-normalised files: equal to single precision of the normalised value.
void ExpectSameToFloat(TestPlug& plug, const std::vector<double>& a, const std::vector<double>& b)
{
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i)
    EXPECT_EQ((float)plug.GetParam((int)i)->GetNormalized(a[i]),
              (float)plug.GetParam((int)i)->GetNormalized(b[i]))
      << "parameter " << i;
}

// The values stored in every slot, read by restoring each one (the current slot comes last).
std::vector<std::vector<double>> SlotValues(TestPlug& plug)
{
  const int current = plug.GetCurrentPresetIdx();
  std::vector<std::vector<double>> v;
  for (int s = 0; s < plug.NPresets(); ++s)
  {
    EXPECT_TRUE(plug.RestorePreset(s));
    v.push_back(plug.Values());
  }
  plug.RestorePreset(current);
  return v;
}

std::vector<std::string> Names(TestPlug& plug)
{
  std::vector<std::string> names;
  for (int i = 0; i < plug.NPresets(); ++i)
    names.push_back(plug.GetPresetName(i));
  return names;
}

TEST(FxFiles, EachFormIsLaidOutFieldByField)
{
  const std::vector<std::vector<double>> slots = {{-6.0, 2, 1, 8, 500.0},
                                                  {3.5, 0, 0, 1, 20000.0},
                                                  {-60.0, 1, 1, 16, 20.0},
                                                  {0.0, 1, 0, 16, 1000.0}};
  for (bool chunks : {false, true})
  {
    SCOPED_TRACE(chunks ? "chunk form" : "parameter and program form");
    auto plug = MakeFxTestPlug(chunks);
    ASSERT_TRUE(plug->RestorePreset(1));
    plug->GetParam(0)->Set(-1.5);  // the current values, not the slot's, go into a program file
    plug->GetParam(4)->Set(440.0);

    Fields fxp;
    if (chunks)
    {
      ByteChunk state;
      PluginBase::InitChunkWithPluginVer(&state);
      plug->SerializeState(&state);
      fxp.tag("CcnK").u32(52 + state.Size()).tag("FPCh").u32(1).u32(kId).u32(kVersion).u32(5);
      fxp.name("second program").u32(state.Size()).raw(state);
    }
    else
    {
      fxp.tag("CcnK").u32(68).tag("FxCk").u32(1).u32(kId).u32(kVersion).u32(5);
      fxp.name("second program");
      for (int i = 0; i < 5; ++i)
        fxp.f32((float)plug->GetParam(i)->GetNormalized());
    }
    EXPECT_EQ(Save(*plug, kProgram), fxp.b);

    Fields fxb;
    if (chunks)
    {
      ByteChunk bank;
      PluginBase::InitChunkWithPluginVer(&bank);
      plug->SerializePresets(&bank);
      fxb.tag("CcnK").u32(152 + bank.Size()).tag("FBCh").u32(2).u32(kId).u32(kVersion).u32(4);
      fxb.u32(1).zeros(124).u32(bank.Size()).raw(bank);
    }
    else
    {
      fxb.tag("CcnK").u32(156 + 4 * 76 - 8).tag("FxBk").u32(2).u32(kId).u32(kVersion).u32(4);
      fxb.u32(1).zeros(124);
      for (int s = 0; s < 4; ++s)
      {
        fxb.tag("CcnK").u32(68).tag("FxCk").u32(1).u32(kId).u32(kVersion).u32(5);
        fxb.name(plug->GetPresetName(s));
        for (int i = 0; i < 5; ++i)
          fxb.f32((float)plug->GetParam(i)->GetNormalized(slots[s][i]));
      }
    }
    EXPECT_EQ(Save(*plug, kBank), fxb.b);
  }
}

TEST(FxFiles, AProgramFileLoadsIntoTheCurrentSlot)
{
  for (bool chunks : {false, true})
  {
    SCOPED_TRACE(chunks ? "chunk form" : "parameter form");
    auto source = MakeFxTestPlug(chunks);
    ASSERT_TRUE(source->RestorePreset(2));
    SetValues(*source, {-12.3, 2, 0, 5, 1234.0});
    const Bytes file = Save(*source, kProgram);

    auto plug = MakeFxTestPlug(chunks);
    ASSERT_TRUE(plug->RestorePreset(0));
    plug->mLog.clear();
    ASSERT_TRUE(Load(*plug, kProgram, file));
    if (chunks)
      EXPECT_EQ(plug->Values(), source->Values());
    else
      ExpectSameToFloat(*plug, plug->Values(), source->Values());
    EXPECT_EQ(plug->GetCurrentPresetIdx(), 0);
    EXPECT_STREQ(plug->GetPresetName(0), "a name longer than its fiel");
    EXPECT_EQ(plug->mLog.back(), "programchange");
    for (int i = 0; i < 5; ++i)
      EXPECT_NE(std::find(plug->mLog.begin(), plug->mLog.end(), "paramchange " + std::to_string(i)),
                plug->mLog.end());
    // The slot holds the loaded program, and saving it again gives the same file.
    const std::vector<double> loaded = plug->Values();
    ASSERT_TRUE(plug->RestorePreset(1));
    ASSERT_TRUE(plug->RestorePreset(0));
    EXPECT_EQ(plug->Values(), loaded);
    EXPECT_EQ(Save(*plug, kProgram), file);
  }
}

TEST(FxFiles, ABankFileLoadsEverySlot)
{
  for (bool chunks : {false, true})
  {
    SCOPED_TRACE(chunks ? "chunk form" : "program form");
    auto source = MakeFxTestPlug(chunks);
    for (int s = 0; s < 4; ++s)
    {
      ASSERT_TRUE(source->RestorePreset(s));
      SetValues(*source, {-1.1 * s, (double)(s % 3), (double)(s % 2), 3.0 + s, 100.0 + 333.3 * s});
      source->ModifyCurrentPreset(("edited " + std::to_string(s)).c_str());
    }
    ASSERT_TRUE(source->RestorePreset(2));
    const Bytes file = Save(*source, kBank);

    auto plug = MakeFxTestPlug(chunks);
    plug->mLog.clear();
    ASSERT_TRUE(Load(*plug, kBank, file));
    EXPECT_EQ(std::count(plug->mLog.begin(), plug->mLog.end(), "programchange"), 1);
    EXPECT_EQ(plug->mLog.back(), "programchange");
    // The chunk form keeps the current program; the program form takes the file's.
    EXPECT_EQ(plug->GetCurrentPresetIdx(), chunks ? 0 : 2);
    ASSERT_TRUE(plug->RestorePreset(2));
    EXPECT_EQ(Names(*plug), Names(*source));
    const auto expected = SlotValues(*source), loaded = SlotValues(*plug);
    for (int s = 0; s < 4; ++s)
    {
      SCOPED_TRACE(s);
      if (chunks)
        EXPECT_EQ(loaded[s], expected[s]);
      else
        ExpectSameToFloat(*plug, loaded[s], expected[s]);
    }
    EXPECT_EQ(Save(*plug, kBank), file);
  }
}

// A file of the test plug-in's layout but another parameter count (TestPlug's unique id).
Bytes FromSixParameters(Kind kind)
{
  TestPlug other(6, "2-2", 4);
  other.InitDoubles();
  other.EnsureDefaultPreset();
  return Save(other, kind);
}

// A chunk-form file holding a state (or bank) the plug-in cannot read: a header and three doubles.
Bytes WithUnreadableState(Kind kind)
{
  ByteChunk state;
  PluginBase::InitChunkWithPluginVer(&state);
  for (double v : {0.1, 0.2, 0.3})
    state.Put(&v);
  const FxIdentity id{(int)kId, (int)kVersion, 5};
  ByteChunk file;
  EXPECT_TRUE(kind == kProgram ? FxPutProgramChunk(&file, id, "x", state)
                               : FxPutBankChunk(&file, id, 4, 0, state));
  return Of(file);
}

TEST(FxFiles, ARefusedFileLeavesTheStateUnchanged)
{
  const size_t kRecord2 = 156 + 2 * 76, kRecord3 = 156 + 3 * 76;
  struct Case
  {
    const char* what;
    Kind kind;
    bool fileChunks;  // the file comes from a plug-in with (or without) state chunks
    bool plugChunks;  // and is loaded into one with (or without)
    std::function<void(Bytes&)> change;
  };
  const Case cases[] = {
    {"program: other unique id", kProgram, false, false, [](Bytes& b) { PutBE(b, 16, kId + 1); }},
    {"program: other parameter count", kProgram, false, false,
     [](Bytes& b) { b = FromSixParameters(kProgram); }},
    {"program: file magic", kProgram, false, false, [](Bytes& b) { b[0] = 'c'; }},
    {"program: program magic", kProgram, false, false, [](Bytes& b) { memcpy(&b[8], "FxBk", 4); }},
    {"program: format version", kProgram, false, false, [](Bytes& b) { PutBE(b, 12, 2); }},
    {"program: a byte beyond its size", kProgram, false, false,
     [](Bytes& b) {
       b.push_back(0);
       PutBE(b, 4, (uint32_t)b.size() - 8);
     }},
    {"program: chunk form without state chunks", kProgram, true, false, [](Bytes&) {}},
    {"program: chunk form, other parameter count", kProgram, true, true,
     [](Bytes& b) { PutBE(b, 24, 6); }},
    {"program: state size beyond the file", kProgram, true, true,
     [](Bytes& b) { PutBE(b, 56, (uint32_t)b.size() - 59); }},
    {"program: negative state size", kProgram, true, true, [](Bytes& b) { PutBE(b, 56, ~0u); }},
    {"program: a state the plug-in cannot read", kProgram, true, true,
     [](Bytes& b) { b = WithUnreadableState(kProgram); }},
    {"bank: other unique id", kBank, false, false, [](Bytes& b) { PutBE(b, 16, kId - 1); }},
    {"bank: other parameter count", kBank, false, false,
     [](Bytes& b) { b = FromSixParameters(kBank); }},
    {"bank: bank magic", kBank, false, false, [](Bytes& b) { memcpy(&b[8], "FxCk", 4); }},
    {"bank: format version 0", kBank, false, false, [](Bytes& b) { PutBE(b, 12, 0); }},
    {"bank: negative program count", kBank, false, false, [](Bytes& b) { PutBE(b, 24, ~0u); }},
    {"bank: more programs than records", kBank, false, false, [](Bytes& b) { PutBE(b, 24, 5); }},
    {"bank: record magic", kBank, false, false, [=](Bytes& b) { b[kRecord2] = 'X'; }},
    {"bank: record program magic", kBank, false, false,
     [=](Bytes& b) { memcpy(&b[kRecord2 + 8], "FPCh", 4); }},
    {"bank: record version", kBank, false, false, [=](Bytes& b) { PutBE(b, kRecord2 + 12, 2); }},
    {"bank: record unique id", kBank, false, false, [=](Bytes& b) { PutBE(b, kRecord2 + 16, 0); }},
    {"bank: record parameter count", kBank, false, false,
     [=](Bytes& b) { PutBE(b, kRecord3 + 24, 4); }},
    {"bank: chunk form without state chunks", kBank, true, false, [](Bytes&) {}},
    {"bank: bank size beyond the file", kBank, true, true,
     [](Bytes& b) { PutBE(b, 156, (uint32_t)b.size() - 159); }},
    {"bank: a bank the plug-in cannot read", kBank, true, true,
     [](Bytes& b) { b = WithUnreadableState(kBank); }},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    auto source = MakeFxTestPlug(c.fileChunks);
    ASSERT_TRUE(source->RestorePreset(2));
    Bytes file = Save(*source, c.kind);
    c.change(file);

    auto plug = MakeFxTestPlug(c.plugChunks);
    ASSERT_TRUE(plug->RestorePreset(1));
    SetValues(*plug, {-2.5, 2, 1, 3, 50.0});
    const FxPlugState before(*plug);
    plug->mLog.clear();
    EXPECT_FALSE(Load(*plug, c.kind, file));
    EXPECT_TRUE(FxPlugState(*plug) == before);
    EXPECT_EQ(std::count(plug->mLog.begin(), plug->mLog.end(), "programchange"), 0);
  }
}

TEST(FxFiles, AFileCutShortAnywhereIsRefused)
{
  for (Kind kind : {kProgram, kBank})
    for (bool chunks : {false, true})
    {
      auto source = MakeFxTestPlug(chunks);
      const Bytes file = Save(*source, kind);
      auto plug = MakeFxTestPlug(chunks);
      SetValues(*plug, {-2.5, 2, 1, 3, 50.0});
      plug->mLog.clear();
      const FxPlugState before(*plug);
      for (size_t n = 0; n < file.size(); ++n)
      {
        const Bytes cut(file.begin(), file.begin() + n);
        ASSERT_FALSE(Load(*plug, kind, cut))
          << "kind " << kind << " chunks " << chunks << " n " << n;
      }
      EXPECT_TRUE(FxPlugState(*plug) == before);
      EXPECT_TRUE(plug->mLog.empty());
    }
}

// A program-form bank from a plug-in with nSlots slots named "slot <n>", current program current.
Bytes BankOfSlots(int nSlots, int current)
{
  auto source = MakeFxTestPlug(false, nSlots);
  for (int s = 0; s < nSlots; ++s)
  {
    source->RestorePreset(s);
    SetValues(*source, {-1.0 * s, 0, 0, 1.0 + s, 20.0});
    source->ModifyCurrentPreset(("slot " + std::to_string(s)).c_str());
  }
  source->RestorePreset(current);
  return Save(*source, kBank);
}

TEST(FxFiles, FilesOfOtherWritersAndOtherSlotCountsAreTaken)
{
  const std::vector<std::string> kOriginal = {"first", "second program",
                                              "a name longer than its field in a file", "Empty"};
  struct Case
  {
    const char* what;
    Kind kind;
    bool chunks;
    std::function<Bytes()> file;
    std::function<void(TestPlug&)> check;
  };
  const auto plain = [](Kind kind, bool chunks, std::function<void(Bytes&)> change) {
    return [=] {
      auto source = MakeFxTestPlug(chunks);
      source->RestorePreset(2);
      SetValues(*source, {-7.0, 0, 1, 2, 300.0});
      Bytes b = Save(*source, kind);
      change(b);
      return b;
    };
  };
  const auto loadedProgram = [](TestPlug& p) {
    EXPECT_NEAR(p.GetParam(0)->Value(), -7.0, 1e-4);
    EXPECT_EQ(p.GetParam(3)->Value(), 2.0);
  };
  const auto loadedBank = [](TestPlug& p) {
    EXPECT_EQ(p.GetCurrentPresetIdx(), 2);
    EXPECT_EQ(p.Values(), (std::vector<double>{-60.0, 1, 1, 16, 20.0}));
  };
  // Every slot as the file holds it, the last one current.
  const auto slotsKeptLastCurrent = [](TestPlug& p) {
    EXPECT_EQ(Names(p), (std::vector<std::string>{"slot 0", "slot 1", "slot 2", "slot 3"}));
    EXPECT_EQ(p.GetCurrentPresetIdx(), 3);
    EXPECT_EQ(p.GetParam(3)->Value(), 4.0);
    const std::vector<std::vector<double>> slots = SlotValues(p);
    for (int s = 0; s < 4; ++s)
      EXPECT_EQ(slots[(size_t)s][3], 1.0 + s) << "slot " << s;
  };
  const auto currentProgram = [](uint32_t field) {
    return [=] {
      Bytes b = BankOfSlots(4, 1);
      PutBE(b, 28, field);
      return b;
    };
  };
  const Case cases[] = {
    {"program: byte size 0", kProgram, false,
     plain(kProgram, false, [](Bytes& b) { PutBE(b, 4, 0); }), loadedProgram},
    {"program: odd byte size", kProgram, false,
     plain(kProgram, false, [](Bytes& b) { PutBE(b, 4, (uint32_t)b.size() - 9); }), loadedProgram},
    {"program: chunk form, byte size of the whole file", kProgram, true,
     plain(kProgram, true, [](Bytes& b) { PutBE(b, 4, (uint32_t)b.size()); }), loadedProgram},
    {"program: a value that is not a number leaves its parameter", kProgram, false,
     plain(kProgram, false, [](Bytes& b) { PutBE(b, 56 + 4 * 3, 0x7FC00000); }),
     [](TestPlug& p) {
       EXPECT_NEAR(p.GetParam(0)->Value(), -7.0, 1e-4);
       EXPECT_EQ(p.GetParam(3)->Value(), 16.0);  // as it was before the load
     }},
    {"bank: odd byte sizes in the file and every record", kBank, false,
     plain(kBank, false,
           [](Bytes& b) {
             const uint32_t sizes[] = {0, 76, 1, 0xFFFFFFFF};
             PutBE(b, 4, 1);
             for (size_t r = 0; r < 4; ++r)
               PutBE(b, 156 + 76 * r + 4, sizes[r]);
           }),
     loadedBank},
    {"bank: chunk form, byte size of the whole file", kBank, true,
     plain(kBank, true, [](Bytes& b) { PutBE(b, 4, (uint32_t)b.size()); }),
     [](TestPlug& p) { EXPECT_EQ(p.GetCurrentPresetIdx(), 0); }},
    {"bank: format version 1", kBank, false, plain(kBank, false, [](Bytes& b) { PutBE(b, 12, 1); }),
     loadedBank},
    {"bank: format version 7", kBank, false, plain(kBank, false, [](Bytes& b) { PutBE(b, 12, 7); }),
     loadedBank},
    {"bank: more records than slots", kBank, false, [] { return BankOfSlots(6, 5); },
     [](TestPlug& p) {
       EXPECT_EQ(Names(p), (std::vector<std::string>{"slot 0", "slot 1", "slot 2", "slot 3"}));
       EXPECT_EQ(p.GetCurrentPresetIdx(), 3);
       EXPECT_EQ(p.GetParam(3)->Value(), 4.0);
     }},
    {"bank: fewer records than slots", kBank, false, [] { return BankOfSlots(2, 1); },
     [=](TestPlug& p) {
       EXPECT_EQ(Names(p), (std::vector<std::string>{"slot 0", "slot 1", kOriginal[2], "Empty"}));
       EXPECT_EQ(p.GetCurrentPresetIdx(), 1);
       EXPECT_EQ(p.GetParam(3)->Value(), 2.0);
       ASSERT_TRUE(p.RestorePreset(2));
       EXPECT_EQ(p.GetParam(3)->Value(), 16.0);
     }},
    {"bank: current program below the slots", kBank, false, currentProgram((uint32_t)-5),
     [](TestPlug& p) { EXPECT_EQ(p.GetCurrentPresetIdx(), 0); }},
    {"bank: current program at the slot count", kBank, false, currentProgram(4),
     slotsKeptLastCurrent},
    {"bank: current program far above the slots", kBank, false, currentProgram(0x7FFFFFFF),
     slotsKeptLastCurrent},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    auto plug = MakeFxTestPlug(c.chunks);
    plug->mLog.clear();
    ASSERT_TRUE(Load(*plug, c.kind, c.file()));
    EXPECT_EQ(plug->mLog.back(), "programchange");
    c.check(*plug);
  }
}

TEST(FxFiles, NamesAreCutToTheFieldAndReadUpToIt)
{
  struct Case
  {
    std::string name;
    std::string field;  // the name field's text, NUL-padded to 28 bytes
  };
  const Case cases[] = {
    {"", ""},
    {std::string(27, 'a'), std::string(27, 'a')},
    {std::string(28, 'b'), std::string(27, 'b')},
    {std::string(255, 'c'), std::string(27, 'c')},
  };
  for (const Case& c : cases)
  {
    TestPlug plug(2, "2-2", 1);
    plug.InitDoubles();
    plug.MakePreset(c.name.c_str(), 0.5, 0.25);
    const Bytes file = Save(plug, kProgram);
    const Bytes expected = Fields().name(c.field).b;
    EXPECT_EQ(Bytes(file.begin() + 28, file.begin() + 56), expected) << c.name.size();
  }

  // A field filled to its end without a terminator gives a name of 28 characters.
  auto plug = MakeFxTestPlug(false);
  Bytes file = Save(*plug, kProgram);
  memset(&file[28], 'n', 28);
  ASSERT_TRUE(Load(*plug, kProgram, file));
  EXPECT_EQ(std::string(plug->GetPresetName(0)), std::string(28, 'n'));
}

TEST(FxFiles, FilesSavedToDiskLoadBack)
{
  const std::string dir = testing::TempDir();
  for (bool chunks : {false, true})
  {
    auto source = MakeFxTestPlug(chunks);
    ASSERT_TRUE(source->RestorePreset(1));
    const std::string fxp = dir + "qv_fxfiles_test.fxp", fxb = dir + "qv_fxfiles_test.fxb";
    ASSERT_TRUE(source->SaveProgramToFXPFile(fxp.c_str()));
    ASSERT_TRUE(source->SaveBankToFXBFile(fxb.c_str()));

    auto plug = MakeFxTestPlug(chunks);
    ASSERT_TRUE(plug->LoadBankFromFXBFile(fxb.c_str()));
    ASSERT_TRUE(plug->RestorePreset(1));
    EXPECT_EQ(Save(*plug, kBank), Save(*source, kBank));
    ASSERT_TRUE(plug->RestorePreset(3));
    ASSERT_TRUE(plug->LoadProgramFromFXPFile(fxp.c_str()));
    EXPECT_STREQ(plug->GetPresetName(3), "second program");
    EXPECT_EQ(plug->GetParam(4)->Value(), 20000.0);
    EXPECT_FALSE(plug->LoadProgramFromFXPFile((dir + "qv_no_such_file.fxp").c_str()));
    EXPECT_FALSE(plug->LoadBankFromFXBFile(fxp.c_str()));
    remove(fxp.c_str());
    remove(fxb.c_str());
  }
}

}  // namespace
