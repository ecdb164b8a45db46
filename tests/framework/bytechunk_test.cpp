#include "framework/base/ByteChunk.h"
#include "framework/base/ByteOrder.h"

#include "tests/support/FailingAlloc.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace {

typedef std::vector<uint8_t> Bytes;

Bytes Contents(const ByteChunk& c) { return Bytes(c.GetBytes(), c.GetBytes() + c.Size()); }

void Fill(ByteChunk& c, const Bytes& bytes)
{
  c.Clear();
  c.PutBytes(bytes.data(), (int)bytes.size());
}

TEST(ByteChunk, PutsStoreRawHostOrderBytes)
{
  const struct
  {
    std::function<int(ByteChunk&)> put;
    Bytes want;
  } cases[] = {
    {[](ByteChunk& c) { return c.PutStr("abc"); }, {3, 0, 0, 0, 'a', 'b', 'c'}},
    {[](ByteChunk& c) {
       const int v = 0x01020304;
       return c.Put(&v);
     },
     {4, 3, 2, 1}},
    {[](ByteChunk& c) {
       const double v = 1.0;
       return c.Put(&v);
     },
     {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
    {[](ByteChunk& c) {
       c.PutBool(true);
       return c.PutBool(false);
     },
     {1, 0}},
    {[](ByteChunk& c) {
       c.PutStr("ab");
       return c.PutChunk(&c);
     },
     {2, 0, 0, 0, 'a', 'b', 2, 0, 0, 0, 'a', 'b'}},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
  {
    ByteChunk chunk;
    EXPECT_EQ(cases[i].put(chunk), (int)cases[i].want.size()) << "case " << i;
    EXPECT_EQ(Contents(chunk), cases[i].want) << "case " << i;
  }

  ByteChunk c;
  const int i = -7;
  const double d = 0.25;
  c.Put(&i);
  c.PutStr("name");
  c.PutBool(true);
  c.Put(&d);
  int ri = 0;
  double rd = 0;
  bool rb = false;
  QvString rs;
  int pos = c.GetBool(&rb, c.GetStr(&rs, c.Get(&ri, 0)));
  EXPECT_EQ(c.Get(&rd, pos), c.Size());
  EXPECT_EQ(ri, -7);
  EXPECT_STREQ(rs.Get(), "name");
  EXPECT_TRUE(rb);
  EXPECT_EQ(rd, 0.25);
}

TEST(ByteChunk, ReadsOutsideTheChunkFailAndLeaveTheTarget)
{
  const struct
  {
    int nBytes, startPos;
  } cases[] = {{8, 12 - 7}, {4, -1}, {1, 12}, {8, INT_MAX - 2}, {-1, 0}, {INT_MAX, 4}};
  ByteChunk c;
  Fill(c, Bytes(12, 0xEE));
  for (const auto& cs : cases)
  {
    uint8_t out[16];
    memset(out, 0x11, sizeof(out));
    EXPECT_EQ(c.GetBytes(out, cs.nBytes, cs.startPos), -1) << cs.nBytes << " at " << cs.startPos;
    EXPECT_EQ(out[0], 0x11);
  }
  double d = 3.0;
  EXPECT_EQ(c.Get(&d, 12 - 7), -1);
  EXPECT_EQ(d, 3.0);
  EXPECT_EQ(c.Get(&d, 12 - 8), 12);
}

TEST(ByteChunk, GetStrChecksItsLength)
{
  const struct
  {
    Bytes bytes;
    int startPos, wantPos;
    const char* wantText;
  } cases[] = {
    {{2, 0, 0, 0, 'h', 'i'}, 0, 6, "hi"},
    {{9, 1, 0, 0, 0, 'x'}, 1, 6, "x"},
    {{0, 0, 0, 0}, 0, 4, ""},  // an empty text clears the target
    {{3, 0, 0, 0, 'a', 0, 'b'}, 0, 7, "a"},
    {{0xFF, 0xFF, 0xFF, 0xFF, 'a'}, 0, -1, "old"},  // negative length
    {{5, 0, 0, 0, 'a', 'b'}, 0, -1, "old"},         // runs past the end
    {{0xFF, 0xFF, 0xFF, 0x7F, 'a'}, 0, -1, "old"},
    {{1, 0, 0}, 0, -1, "old"},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
  {
    ByteChunk chunk;
    Fill(chunk, cases[i].bytes);
    QvString s("old");
    EXPECT_EQ(chunk.GetStr(&s, cases[i].startPos), cases[i].wantPos) << "case " << i;
    EXPECT_STREQ(s.Get(), cases[i].wantText) << "case " << i;
  }
}

TEST(ByteChunk, AppendThatCannotGrowReportsFailure)
{
  const std::string big(5000, 's');
  const struct
  {
    std::function<int(ByteChunk&)> put;
  } cases[] = {
    {[&](ByteChunk& c) { return c.PutStr(big.c_str()); }},
    {[&](ByteChunk& c) { return c.PutBytes(big.data(), (int)big.size()); }},
    {[](ByteChunk& c) { return c.PutChunk(&c); }},
    {[](ByteChunk& c) { return c.PutBytes("x", -1); }},
    {[](ByteChunk& c) { return c.PutStr(nullptr); }},
    {[](ByteChunk& c) { return c.Resize(100000) < 0 ? 0 : 1; }},
    {[](ByteChunk& c) { return c.Resize(-1) < 0 ? 0 : 1; }},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
  {
    ByteChunk chunk;
    const Bytes before(3000, 0x42);
    Fill(chunk, before);  // 3000 of a 4000-byte block: every put above must grow it
    FailingAlloc hook(FailingAlloc::kFailAll);
    EXPECT_EQ(cases[i].put(chunk), 0) << "case " << i;
    EXPECT_EQ(Contents(chunk), before) << "case " << i;
  }

  ByteChunk c;
  Fill(c, {7, 7});
  EXPECT_EQ(c.Resize(5), 2);
  EXPECT_EQ(Contents(c), (Bytes{7, 7, 0, 0, 0}));
}

TEST(ByteOrder, SwapsOnLittleEndianMachines)
{
  EXPECT_EQ(QvBswapIfLE(0x11223344u), 0x44332211u);
  EXPECT_EQ(QvBswapIfLE((int)0xFF000000u), 0xFF);
}

}  // namespace
