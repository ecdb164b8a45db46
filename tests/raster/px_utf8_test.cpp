// The UTF-8 helpers: decoding well-formed, malformed and truncated sequences within a byte count,
// the UTF-8 test, and encoding.
#include "raster/px_utf8.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

TEST(Utf8, DecodesWellFormedSequencesAndTakesAnythingElseAsItsByte)
{
  const struct
  {
    std::string bytes;
    int avail;
    unsigned short code;
    int len;
  } cases[] = {
    {"A", -1, 'A', 1},
    {"\xC3\xA9", -1, 0xE9, 2},
    {"\xC3\x41", -1, 0xC3, 1},
    {"\xC3", -1, 0xC3, 1},
    {"\xC0\x80", -1, 0xC0, 1},
    {"\xC1\xBF", -1, 0xC1, 1},
    {"\xDF\xBF", -1, 0x7FF, 2},
    {"\xE2\x82\xAC", -1, 0x20AC, 3},
    {"\xE0\x80\x80", -1, 0x0000, 3},
    {"\xEF\xBF\xBF", -1, 0xFFFF, 3},
    {"\xE2\x82", -1, 0xE2, 1},
    {"\xF0\x9F\x98\x80", -1, ' ', 4},
    {"\xF4\x8F\xBF\xBF", -1, ' ', 4},
    {"\xF5\x80\x80\x80", -1, 0xF5, 1},
    {"\xF0\x9F\x98\x41", -1, 0xF0, 1},
    {"\x80", -1, 0x80, 1},
    {"\xFF", -1, 0xFF, 1},
    {std::string(1, '\0'), -1, 0, 1},
    // Counted: a sequence cut by the count is its lead byte.
    {"\xC3\xA9", 2, 0xE9, 2},
    {"\xC3\xA9", 1, 0xC3, 1},
    {"\xE2\x82\xAC", 2, 0xE2, 1},
    {"\xF0\x9F\x98\x80", 3, 0xF0, 1},
    {"\xF0\x9F\x98\x80", 4, ' ', 4},
  };
  for (const auto& c : cases)
  {
    // Exactly the bytes the count allows (or the string with its terminator), on the heap, so a
    // read past them is seen.
    const size_t n = c.avail >= 0 ? (size_t)c.avail : c.bytes.size() + 1;
    std::unique_ptr<char[]> buf(new char[n]);
    std::memcpy(buf.get(), c.bytes.c_str(), n);
    unsigned short code = 0x1234;
    EXPECT_EQ(utf8char(buf.get(), &code, c.avail), c.len) << c.bytes;
    EXPECT_EQ(code, c.code) << c.bytes;
    EXPECT_EQ(utf8char(buf.get(), nullptr, c.avail), c.len) << c.bytes;
  }
}

TEST(Utf8, HasUtf8OnlyForWellFormedSequences)
{
  const struct
  {
    std::string bytes;
    int len;
    bool has;
  } cases[] = {
    {"plain ASCII", -1, false},      {"caf\xC3\xA9", -1, true},
    {"\xF0\x9F\x98\x41", -1, false}, {"\xF0\x9F\x98\x80", -1, true},
    {"\xC0\x80\xC1\xBF", -1, false}, {"\xF5\x80\x80\x80", -1, false},
    {"\x80\xBF\xC3", -1, false},     {"x\xE2\x82\xAC", -1, true},
    {"x\xE2\x82\xAC", 3, false},     {"x\xE2\x82\xAC", 4, true},
    {"ab\xC3\xA9", 2, false},        {"", -1, false},
  };
  for (const auto& c : cases)
  {
    const size_t n = c.len >= 0 ? (size_t)c.len : c.bytes.size() + 1;
    std::unique_ptr<char[]> buf(new char[n ? n : 1]);
    std::memcpy(buf.get(), c.bytes.c_str(), n);
    EXPECT_EQ(PX_Text_HasUTF8(buf.get(), c.len), c.has) << c.bytes;
  }
  EXPECT_FALSE(PX_Text_HasUTF8(nullptr));
}

// Every 16-bit code encodes in 1, 2 or 3 bytes and decodes back to itself.
TEST(Utf8, EveryCodeRoundTrips)
{
  for (unsigned c = 0; c < 0x10000; ++c)
  {
    char buf[4] = {0, 0, 0, 0};
    const int len = utf8makechar(buf, (unsigned short)c);
    ASSERT_EQ(len, c < 0x80 ? 1 : c < 0x800 ? 2 : 3) << c;
    unsigned short back;
    ASSERT_EQ(utf8char(buf, &back, len), len) << c;
    ASSERT_EQ(back, c);
  }
}

}  // namespace
