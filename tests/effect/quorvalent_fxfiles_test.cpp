// The product's program (FXP) and bank (FXB) files: parameter and program form, against golden
// files, and every factory program and a whole bank loaded back.

#include "effect/QuorvalentHost.h"
#include "framework/FileIO.h"

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

// The golden file name under tests/data; QV_UPDATE_GOLDEN=1 writes the files anew.
void ExpectGolden(const Bytes& bytes, const char* name)
{
  const std::string path = std::string(QV_TEST_DATA) + "/golden/quorvalent/" + name;
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

}  // namespace
