// Preset source dumps and the base64 text of the blob dump.

#include "framework/base/Base64.h"
#include "framework/base/FileIO.h"
#include "tests/support/fx_test_plug.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>

namespace {

// The text of a dump file, line ends as written on this platform made "\n".
std::string ReadText(const std::string& path)
{
  ByteChunk c;
  EXPECT_TRUE(QvReadFile(path.c_str(), &c)) << path;
  std::string s(c.GetBytes(), c.GetBytes() + c.Size());
  s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
  return s;
}

std::string Encode(const std::string& bytes)
{
  std::string text((size_t)Base64EncodedLen((int)bytes.size()) + 1, '?');
  const int n = Base64Encode((const unsigned char*)bytes.data(), (int)bytes.size(), &text[0]);
  EXPECT_EQ(text[(size_t)n], '\0');
  return text.substr(0, (size_t)n);
}

TEST(Base64, EncodesWithPaddingAndDecodesBack)
{
  struct Case
  {
    std::string bytes;
    std::string text;
  };
  const Case cases[] = {
    {"", ""},
    {"f", "Zg=="},
    {"fo", "Zm8="},
    {"foo", "Zm9v"},
    {"foob", "Zm9vYg=="},
    {"fooba", "Zm9vYmE="},
    {"foobar", "Zm9vYmFy"},
    {"\xfb\xff\xbf", "+/+/"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Encode(c.bytes), c.text);

  std::mt19937 rng(5);
  for (int n = 0; n < 200; ++n)
  {
    std::string bytes((size_t)n, '\0');
    for (char& b : bytes)
      b = (char)rng();
    const std::string text = Encode(bytes);
    std::string back((size_t)n + 1, '\0');
    ASSERT_EQ(Base64Decode(text.c_str(), (unsigned char*)&back[0], n + 1), n);
    EXPECT_EQ(back.substr(0, (size_t)n), bytes);
  }
  EXPECT_EQ(Base64EncodedLen(-1), -1);
  EXPECT_EQ(Base64EncodedLen(INT_MAX), -1);
}

TEST(PresetDumps, SourceDumpIsANamedParamsCallWithTheCurrentValues)
{
  auto plug = MakeFxTestPlug(false);
  const double values[] = {-6.55, 2, 1, 8, 500.0};
  for (int i = 0; i < 5; ++i)
    plug->GetParam(i)->Set(values[i]);
  const char* names[] = {"kGain", "kMode", "kBypass", "kSteps", "kCutoff"};
  const std::string path = testing::TempDir() + "qv_dump_src.txt";
  ASSERT_TRUE(plug->DumpPresetSrcCode(path.c_str(), names));
  EXPECT_EQ(ReadText(path), "  MakePresetFromNamedParams(\"name\", 5,\n"
                            "    kGain, -6.550000,\n"
                            "    kMode, 2,\n"
                            "    kBypass, true,\n"
                            "    kSteps, 8,\n"
                            "    kCutoff, 500.000000);\n");
  remove(path.c_str());

  const char* missing[] = {"kGain", "kMode", nullptr, "kSteps", "kCutoff"};
  EXPECT_FALSE(plug->DumpPresetSrcCode(path.c_str(), missing));
  EXPECT_FALSE(plug->DumpPresetSrcCode(path.c_str(), nullptr));
  EXPECT_FALSE(plug->DumpPresetSrcCode((testing::TempDir() + "no/such/folder").c_str(), names));
}

// The blob dump of a state of nParams doubles makes, through MakePresetFromBlob, the same program.
TEST(PresetDumps, BlobDumpRecreatesTheCurrentSlotForAStateOfAnySize)
{
  const std::string path = testing::TempDir() + "qv_dump_blob.txt";
  for (int nParams : {1, 95, 96, 500})
  {
    SCOPED_TRACE(nParams);
    TestPlug plug(nParams, "2-2", 2);
    plug.InitDoubles();
    for (int i = 0; i < nParams; ++i)
      plug.GetParam(i)->Set((i % 1000) / 1000.0);
    plug.EnsureDefaultPreset();
    for (int i = 0; i < nParams; ++i)
      plug.GetParam(i)->Set(1.0);  // the slot's stored state is dumped, not the current values
    ASSERT_TRUE(plug.DumpPresetBlob(path.c_str()));

    const std::string text = ReadText(path);
    const std::string head = "MakePresetFromBlob(\"name\", \"";
    ASSERT_EQ(text.compare(0, head.size(), head), 0) << text;
    const size_t end = text.find('"', head.size());
    ASSERT_NE(end, std::string::npos);
    const std::string blob = text.substr(head.size(), end - head.size());
    const int size = nParams * 8;
    EXPECT_EQ(text.substr(end), "\", " + std::to_string(size) + ");\n");

    TestPlug copy(nParams, "2-2", 1);
    copy.InitDoubles();
    copy.MakePresetFromBlob("name", blob.c_str(), size);
    ASSERT_TRUE(copy.RestorePreset(0));
    ASSERT_TRUE(plug.RestorePreset(0));
    EXPECT_EQ(copy.Values(), plug.Values());
  }
  remove(path.c_str());
}

}  // namespace
