// The product's program (FXP) and bank (FXB) files: parameter and program form, against golden
// files, golden files as other writers give them, and every factory program and a whole bank
// loaded back.

#include "framework/base/FileIO.h"
#include "tests/support/QuorvalentHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ProgramFile(Quorvalent& q)
{
  ByteChunk c;
  EXPECT_TRUE(q.GetProgramFXP(&c));
  return Bytes(c.GetBytes(), c.GetBytes() + c.Size());
}

Bytes BankFile(Quorvalent& q)
{
  ByteChunk c;
  EXPECT_TRUE(q.GetBankFXB(&c));
  return Bytes(c.GetBytes(), c.GetBytes() + c.Size());
}

std::vector<double> Values(Quorvalent& q)
{
  std::vector<double> v;
  for (int i = 0; i < q.NParams(); ++i)
    v.push_back(q.GetParam(i)->Value());
  return v;
}

// Values loaded from a file of normalised floats equal the originals to single precision.
void ExpectSameToFloat(Quorvalent& q, const std::vector<double>& loaded,
                       const std::vector<double>& original)
{
  ASSERT_EQ(loaded.size(), original.size());
  for (size_t i = 0; i < loaded.size(); ++i)
    EXPECT_EQ((float)q.GetParam((int)i)->GetNormalized(loaded[i]),
              (float)q.GetParam((int)i)->GetNormalized(original[i]))
      << "parameter " << i;
}

std::string GoldenPath(const char* name)
{
  return std::string(QV_TEST_DATA) + "/golden/quorvalent/" + name;
}

// The golden file name under tests/data; QV_UPDATE_GOLDEN=1 writes the files anew.
void ExpectGolden(const Bytes& bytes, const char* name)
{
  const std::string path = GoldenPath(name);
  if (getenv("QV_UPDATE_GOLDEN"))
  {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
  }
  ByteChunk golden;
  ASSERT_TRUE(QvReadFile(path.c_str(), &golden)) << path;
  EXPECT_EQ(bytes, Bytes(golden.GetBytes(), golden.GetBytes() + golden.Size())) << name;
}

TEST(QuorvalentFiles, ProgramAndBankFilesMatchTheirGoldenFiles)
{
  QuorvalentHost host;
  host.selectProgram(26);
  const Bytes fxp = ProgramFile(host.plug()), fxb = BankFile(host.plug());
  EXPECT_EQ(fxp.size(), 56u + 4u * 42u);
  EXPECT_EQ(fxb.size(), 156u + 30u * 224u);
  ExpectGolden(fxp, "program-26.fxp");
  ExpectGolden(fxb, "bank.fxb");
}

TEST(QuorvalentFiles, EveryProgramLoadsBackFromItsProgramFile)
{
  QuorvalentHost host;
  Quorvalent& q = host.plug();
  for (int p = 0; p < kNumPrograms; ++p)
  {
    SCOPED_TRACE(p);
    host.selectProgram(p);
    const std::string name = q.GetPresetName(p);
    const std::vector<double> values = Values(q);
    const Bytes file = ProgramFile(q);

    const int other = (p + 1) % kNumPrograms;
    host.selectProgram(other);
    ASSERT_TRUE(q.SetProgramFromFXP(file.data(), (int)file.size()));
    EXPECT_EQ(q.GetCurrentPresetIdx(), other);
    EXPECT_EQ(q.GetPresetName(other), name);
    ExpectSameToFloat(q, Values(q), values);
    EXPECT_EQ(ProgramFile(q), file);
  }
}

TEST(QuorvalentFiles, AWholeBankLoadsBackFromItsBankFile)
{
  Bytes file;
  std::vector<std::string> names;
  std::vector<std::vector<double>> slots;
  {
    QuorvalentHost host;
    Quorvalent& q = host.plug();
    // Some programs edited and renamed, then every slot's values as stored.
    for (int p : {0, 13, 28})
    {
      host.selectProgram(p);
      host.setParam(kDryWet, 0.25);
      host.setParam(kStep1 + p % 16, 1.0);
      q.ModifyCurrentPreset(("Edited " + std::to_string(p)).c_str());
    }
    for (int p = 0; p < kNumPrograms; ++p)
    {
      host.selectProgram(p);
      names.push_back(q.GetPresetName(p));
      slots.push_back(Values(q));
    }
    host.selectProgram(13);
    file = BankFile(q);
  }

  QuorvalentHost host;
  Quorvalent& q = host.plug();
  ASSERT_TRUE(q.SetBankFromFXB(file.data(), (int)file.size()));
  EXPECT_EQ(q.GetCurrentPresetIdx(), 13);
  EXPECT_EQ(BankFile(q), file);
  for (int p = 0; p < kNumPrograms; ++p)
  {
    SCOPED_TRACE(p);
    host.selectProgram(p);
    EXPECT_EQ(q.GetPresetName(p), names[(size_t)p]);
    ExpectSameToFloat(q, Values(q), slots[(size_t)p]);
  }
}

// What a file load may change: the values, every slot and the current program.
struct Loaded
{
  std::vector<double> values;
  Bytes bank;
  int current;
  bool operator==(const Loaded& o) const
  {
    return values == o.values && bank == o.bank && current == o.current;
  }
};

Loaded StateOf(Quorvalent& q) { return {Values(q), BankFile(q), q.GetCurrentPresetIdx()}; }

// Loads a program or bank file into a host on program 4: the load's result and the state after it.
bool LoadInto(QuorvalentHost& host, const Bytes& file, bool bank, Loaded* pAfter)
{
  host.selectProgram(4);
  Quorvalent& q = host.plug();
  const bool ok = bank ? q.SetBankFromFXB(file.data(), (int)file.size())
                       : q.SetProgramFromFXP(file.data(), (int)file.size());
  *pAfter = StateOf(q);
  return ok;
}

// The golden files with fields other writers fill differently (byte sizes, bank versions) load as
// the originals do; cut short or with another magic, id or count they are refused and change
// nothing.
TEST(QuorvalentFiles, GoldenFilesLoadWhateverTheirByteSizesAndBankVersions)
{
  const size_t kRecord7 = 156 + 7 * 224, kAll = (size_t)-1;
  struct Case
  {
    const char* what;
    bool bank;
    size_t at;  // a big-endian field set to value; kAll: the file cut to value bytes
    uint32_t value;
    bool taken;
  };
  const Case cases[] = {
    {"program: byte size 0", false, 4, 0, true},
    {"program: odd byte size", false, 4, 12345, true},
    {"program: byte size of the whole file", false, 4, 224, true},
    {"program: negative byte size", false, 4, 0xFFFFFFFF, true},
    {"bank: byte size 0", true, 4, 0, true},
    {"bank: odd byte size", true, 4, 7, true},
    {"bank: a record's odd byte size", true, kRecord7 + 4, 0x80000000, true},
    {"bank: version 1", true, 12, 1, true},
    {"bank: version 2", true, 12, 2, true},
    {"bank: version 3", true, 12, 3, true},
    {"bank: version 7", true, 12, 7, true},
    {"bank: version 0", true, 12, 0, false},
    {"bank: negative version", true, 12, 0xFFFFFFFE, false},
    {"program: cut short", false, kAll, 223, false},
    {"program: file magic", false, 0, 0x43636E4C, false},
    {"program: program magic", false, 8, 0x4678426B, false},
    {"program: unique id", false, 16, 0x49706567, false},
    {"program: parameter count", false, 24, 41, false},
    {"program: format version", false, 12, 2, false},
    {"bank: cut short", true, kAll, 6875, false},
    {"bank: cut to its head", true, kAll, 156, false},
    {"bank: file magic", true, 0, 0x63636E4B, false},
    {"bank: bank magic", true, 8, 0x4678436B, false},
    {"bank: unique id", true, 16, 0, false},
    {"bank: program count", true, 24, 31, false},
    {"bank: a record's magic", true, kRecord7 + 8, 0x46504368, false},
    {"bank: a record's parameter count", true, kRecord7 + 24, 43, false},
  };
  for (bool bank : {false, true})
  {
    ByteChunk golden;
    ASSERT_TRUE(QvReadFile(GoldenPath(bank ? "bank.fxb" : "program-26.fxp").c_str(), &golden));
    const Bytes original(golden.GetBytes(), golden.GetBytes() + golden.Size());
    Loaded expected, before;
    {
      QuorvalentHost host;
      ASSERT_TRUE(LoadInto(host, original, bank, &expected));
    }
    {
      QuorvalentHost host;
      host.selectProgram(4);
      before = StateOf(host.plug());
    }
    for (const Case& c : cases)
    {
      if (c.bank != bank)
        continue;
      SCOPED_TRACE(c.what);
      Bytes file = original;
      if (c.at == kAll)
        file.resize(c.value);
      else
        for (int i = 0; i < 4; ++i)
          file[c.at + (size_t)i] = (uint8_t)(c.value >> (24 - 8 * i));
      QuorvalentHost host;
      Loaded after;
      EXPECT_EQ(LoadInto(host, file, bank, &after), c.taken);
      EXPECT_TRUE(after == (c.taken ? expected : before));
    }
  }
}

}  // namespace
