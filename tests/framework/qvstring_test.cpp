#include "framework/base/QvString.h"

#include "tests/support/FailingAlloc.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

TEST(QvString, SetAndAppendTakeTheTextUpToMaxLen)
{
  const struct
  {
    const char* initial;
    bool append;
    const char* s;
    int maxLen;
    const char* want;
  } cases[] = {
    {nullptr, false, "abcdef", 3, "abc"},
    {nullptr, false, "ab", 5, "ab"},
    {nullptr, false, "abcdef", -4, "abcdef"},
    {"xyz", false, "", 0, ""},
    {"xyz", false, "a\0bc", 4, "a"},
    {"a long initial text", false, "b", 0, "b"},
    {nullptr, true, "abc", 0, "abc"},
    {"abc", true, "defgh", 2, "abcde"},
    {"abc", true, "", 0, "abc"},
  };
  for (const auto& c : cases)
  {
    QvString str(c.initial);
    if (c.append)
      str.Append(c.s, c.maxLen);
    else
      str.Set(c.s, c.maxLen);
    EXPECT_STREQ(str.Get(), c.want);
    EXPECT_EQ(str.GetLength(), (int)strlen(c.want));
  }
}

TEST(QvString, EmptyTextNeedsNoBuffer)
{
  FailingAlloc hook(FailingAlloc::kFailAll);  // any allocation would fail
  QvString never;
  never.Set("");
  never.Append("");
  EXPECT_STREQ(never.Get(), "");
  EXPECT_STREQ(static_cast<const QvString&>(never).Get(), "");
  EXPECT_EQ(never.GetLength(), 0);
  EXPECT_EQ(hook.Calls(), 0);
}

TEST(QvString, DeleteSubCutsInsideTheTextOnly)
{
  const struct
  {
    const char* initial;
    int position, length;
    const char* want;
  } cases[] = {
    {"abcd", 1, 100, "a"},      {"abcd", 1, 2, "ad"},   {"abcd", 0, 4, ""},
    {"abcd", 2, INT_MAX, "ab"}, {"abcd", 4, 1, "abcd"}, {"abcd", -1, 1, "abcd"},
    {"abcd", 1, -3, "abcd"},    {"", 0, 1, ""},
  };
  for (const auto& c : cases)
  {
    QvString str(c.initial);
    str.DeleteSub(c.position, c.length);
    EXPECT_STREQ(str.Get(), c.want) << c.initial << " " << c.position << "," << c.length;
  }
}

// Optimising builds cannot see that these strings hold text, and take Get() + 2 for a read past the
// one-byte empty text a string without a buffer returns.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wstringop-overread"
#endif
TEST(QvString, SourceInsideItsOwnBufferStaysCorrect)
{
  const std::string base = "abc" + std::string(300, 'x');
  const struct
  {
    FailingAlloc::Mode mode;
    void (*op)(QvString&);
    std::string want;
  } cases[] = {
    {FailingAlloc::kCount, [](QvString& s) { s.Append(s.Get()); }, base + base},
    {FailingAlloc::kFailRealloc, [](QvString& s) { s.Append(s.Get()); }, base + base},
    {FailingAlloc::kFailRealloc, [](QvString& s) { s.Append(s.Get() + 1, 200); },
     base + base.substr(1, 200)},
    {FailingAlloc::kCount, [](QvString& s) { s.Set(s.Get() + 2); }, base.substr(2)},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
  {
    QvString s(base.c_str());
    FailingAlloc hook(cases[i].mode);
    cases[i].op(s);
    EXPECT_EQ(std::string(s.Get()), cases[i].want) << "case " << i;
  }
}

TEST(QvString, FailedGrowthKeepsTheText)
{
  const std::string big(500, 'y');
  const struct
  {
    const char* what;
    std::function<void(QvString&)> op;
  } cases[] = {
    {"set", [&](QvString& s) { s.Set(big.c_str()); }},
    {"append", [&](QvString& s) { s.Append(big.c_str()); }},
    {"setlen", [](QvString& s) { s.SetLen(500); }},
    {"setlen negative", [](QvString& s) { s.SetLen(-2); }},
  };
  for (const auto& c : cases)
  {
    QvString s("abc");
    FailingAlloc hook(FailingAlloc::kFailAll);
    c.op(s);
    EXPECT_STREQ(s.Get(), "abc") << c.what;
  }
  QvString grown("ab");
  grown.SetLen(200);
  EXPECT_EQ(grown.Get()[200], '\0');
  EXPECT_EQ(memcmp(grown.Get(), "ab", 2), 0);
  grown.SetLen(1);
  EXPECT_STREQ(grown.Get(), "a");
}

}  // namespace
