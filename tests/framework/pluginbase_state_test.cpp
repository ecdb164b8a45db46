// The state-chunk header, the program state and base64 preset blobs.

#include "tests/support/plugin_test_plug.h"

#include "framework/base/Base64.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

void Fill(ByteChunk* pChunk, const std::vector<uint8_t>& bytes)
{
  pChunk->PutBytes(bytes.data(), (int)bytes.size());
}

std::vector<uint8_t> Le32(uint32_t v)
{
  return {(uint8_t)v, (uint8_t)(v >> 8), (uint8_t)(v >> 16), (uint8_t)(v >> 24)};
}

std::vector<uint8_t> Cat(std::vector<std::vector<uint8_t>> parts)
{
  std::vector<uint8_t> all;
  for (auto& p : parts)
    all.insert(all.end(), p.begin(), p.end());
  return all;
}

// A plug-in with three 0..1 double parameters, each at 0.5.
std::unique_ptr<TestPlug> MakeHalfwayPlug()
{
  std::unique_ptr<TestPlug> pPlug(new TestPlug(3, "1-1"));
  pPlug->InitDoubles();
  for (int i = 0; i < 3; ++i)
    pPlug->GetParam(i)->Set(0.5);
  return pPlug;
}

TEST(PluginBaseState, HeaderIsMagicThenFrameworkVersion)
{
  ByteChunk c;
  c.PutStr("previous content");
  PluginBase::InitChunkWithPluginVer(&c);
  ASSERT_EQ(c.Size(), 8);
  EXPECT_EQ(std::vector<uint8_t>(c.GetBytes(), c.GetBytes() + 8),
            (std::vector<uint8_t>{0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00}));
}

TEST(PluginBaseState, HeaderVersionIsReadOnlyWhenMagicAndVersionArePresent)
{
  struct Case
  {
    const char* what;
    std::vector<uint8_t> bytes;
    int startPos;
    int version;
    int pos;
  };
  const Case cases[] = {
    {"header", Cat({Le32(0x70666674), Le32(0x10000)}), 0, 0x10000, 8},
    {"header with data behind", Cat({Le32(0x70666674), Le32(0x20304), Le32(7)}), 0, 0x20304, 8},
    {"header further in", Cat({Le32(1), Le32(0x70666674), Le32(0x10000)}), 4, 0x10000, 12},
    {"no magic", Cat({Le32(0x70666675), Le32(0x10000)}), 0, 0, 0},
    {"magic without version", Le32(0x70666674), 0, 0, 0},
    {"magic with half a version", Cat({Le32(0x70666674), {1, 0}}), 0, 0, 0},
    {"empty", {}, 0, 0, 0},
    {"start past the end", Cat({Le32(0x70666674), Le32(0x10000)}), 9, 0, 9},
    {"negative start", Cat({Le32(0x70666674), Le32(0x10000)}), -1, 0, -1},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    ByteChunk chunk;
    Fill(&chunk, c.bytes);
    int pos = c.startPos;
    EXPECT_EQ(PluginBase::GetPluginVerFromChunk(&chunk, &pos), c.version);
    EXPECT_EQ(pos, c.pos);
  }
}

TEST(PluginBaseState, ProgramStateIsEveryPlainValueAsADouble)
{
  TestPlug plug(3, "1-1");
  plug.GetParam(0)->InitDouble("d", 0.0, -10.0, 10.0, 0.5);
  plug.GetParam(1)->InitBool("b", true);
  plug.GetParam(2)->InitInt("i", 42, 0, 100);
  plug.GetParam(0)->Set(-2.5);
  ByteChunk c;
  c.PutBool(true);  // appended behind what is there
  ASSERT_TRUE(plug.SerializeState(&c));
  ASSERT_EQ(c.Size(), 1 + 3 * 8);
  double v[3];
  memcpy(v, c.GetBytes() + 1, sizeof(v));
  EXPECT_EQ(v[0], -2.5);
  EXPECT_EQ(v[1], 1.0);
  EXPECT_EQ(v[2], 42.0);
}

TEST(PluginBaseState, ProgramStateIsReadClampedSkippingValuesThatAreNotFinite)
{
  const double inf = std::numeric_limits<double>::infinity();
  struct Case
  {
    const char* what;
    std::vector<double> stored;
    std::vector<double> expected;  // from 0.5, 0.5, 0.5
  };
  const Case cases[] = {
    {"in range", {0.1, 0.2, 0.3}, {0.1, 0.2, 0.3}},
    {"out of range", {-3.0, 7.0, 1.0}, {0.0, 1.0, 1.0}},
    {"not finite", {std::nan(""), inf, -inf}, {0.5, 0.5, 0.5}},
    {"mixed", {0.25, std::nan(""), 0.75}, {0.25, 0.5, 0.75}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    std::unique_ptr<TestPlug> pPlug = MakeHalfwayPlug();
    TestPlug& plug = *pPlug;
    ByteChunk chunk;
    for (double v : c.stored)
      chunk.Put(&v);
    EXPECT_EQ(plug.UnserializeState(&chunk, 0), 24);
    EXPECT_EQ(plug.Values(), c.expected);
    EXPECT_EQ(plug.mLog,
              (std::vector<std::string>{"paramchange 0", "paramchange 1", "paramchange 2"}));
  }
}

TEST(PluginBaseState, AProgramStateThatCannotBeReadWholeChangesNothing)
{
  struct Case
  {
    const char* what;
    int bytes;  // of a state of 0.1, 0.2, 0.3 behind a 4-byte prefix
    int startPos;
  };
  const Case cases[] = {
    {"one byte short", 4 + 23, 4},      {"one value short", 4 + 16, 4},
    {"nothing behind the start", 4, 4}, {"start past the end", 4 + 24, 29},
    {"negative start", 4 + 24, -1},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    std::unique_ptr<TestPlug> pPlug = MakeHalfwayPlug();
    TestPlug& plug = *pPlug;
    ByteChunk chunk;
    const int prefix = 0;
    chunk.Put(&prefix);
    for (double v : {0.1, 0.2, 0.3})
      chunk.Put(&v);
    chunk.Resize(c.bytes);
    EXPECT_EQ(plug.UnserializeState(&chunk, c.startPos), -1);
    EXPECT_EQ(plug.Values(), std::vector<double>(3, 0.5));
    EXPECT_TRUE(plug.mLog.empty());
  }
}

TEST(Base64, DecodesUntilTheFirstCharacterOutsideTheAlphabet)
{
  struct Case
  {
    const char* text;
    int destSize;
    std::string expected;
  };
  const Case cases[] = {
    {"", 8, ""},
    {"Zg==", 8, "f"},
    {"Zm8=", 8, "fo"},
    {"Zm9v", 8, "foo"},
    {"Zm9vYg==", 8, "foob"},
    {"Zm9vYmFy", 8, "foobar"},
    {"Zm9vYmFy", 4, "foob"},  // at most destSize bytes
    {"Zm9v YmFy", 8, "foo"},  // a blank ends the text
    {"Zm9vYmF", 8, "fooba"},  // a partial group yields what its bits make
    {"+/+/", 8, "\xfb\xff\xbf"},
    {"Zm9vYmFy", 0, ""},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.text);
    unsigned char out[16];
    memset(out, 0xAA, sizeof(out));
    const int n = Base64Decode(c.text, out, c.destSize);
    EXPECT_EQ(std::string((const char*)out, (size_t)n), c.expected);
    EXPECT_EQ(out[n], 0xAA);  // nothing written beyond
  }
}

}  // namespace
