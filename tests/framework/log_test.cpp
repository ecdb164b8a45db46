#include "framework/base/Log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> gLines;
void Capture(const char* text) { gLines.push_back(text); }

TEST(Log, DebugMessageEndsInExactlyOneLineBreak)
{
  const struct
  {
    std::string arg, want;
  } cases[] = {
    {"abc", "abc\r\n"},
    {"a b\tc \t\r\n\n ", "a b\tc\r\n"},
    {" \n", "\r\n"},
    {std::string(5000, 'x'), std::string(4093, 'x') + "\r\n"},
  };
  const DebugSinkFn prev = SetDebugSink(&Capture);
  for (const auto& c : cases)
  {
    gLines.clear();
    DBGMSG("%s", c.arg.c_str());
    ASSERT_EQ(gLines.size(), 1u);
    EXPECT_EQ(gLines[0], c.want);
  }
  SetDebugSink(prev);
}

TEST(Log, TraceEvaluatesNothingWhileTracingIsOff)
{
#if defined(QV_TRACE)
  GTEST_SKIP() << "tracing is on in this build";
#else
  int evaluated = 0;
  TRACE("%s %d", CurrentTime(), ++evaluated);
  EXPECT_EQ(evaluated, 0);
#endif
}

unsigned int gNow = 0;
unsigned int FakeTicks() { return gNow; }

TEST(Log, TimerFiresOncePerPeriod)
{
  const struct
  {
    unsigned int start;
    double seconds;
    std::vector<std::pair<unsigned, bool>> steps;
  } cases[] = {
    {1000, 0.5, {{1000, false}, {1500, false}, {1501, true}, {1501, false}, {2002, true}}},
    {0, 0.0, {{0, false}, {1, true}, {1, false}}},
    {0xFFFFFF00u, 0.1, {{0xFFFFFFFFu, true}, {50u, false}, {0x9Du, true}}},  // tick wrap-around
  };
  for (const auto& c : cases)
  {
    gNow = c.start;
    Timer t(&FakeTicks);
    for (const auto& step : c.steps)
    {
      gNow = step.first;
      EXPECT_EQ(t.Every(c.seconds), step.second) << c.start << " at " << step.first;
    }
  }
}

struct tm Tm(int yday, int hour, int min)
{
  struct tm t = {};
  t.tm_yday = yday;
  t.tm_hour = hour;
  t.tm_min = min;
  return t;
}

TEST(Log, UtcOffsetSurvivesDayAndYearBoundaries)
{
  const struct
  {
    struct tm local, utc;
    int want;
  } cases[] = {
    {Tm(10, 7, 0), Tm(10, 12, 0), -300},
    {Tm(9, 23, 30), Tm(10, 4, 30), -300},  // local still on the previous day
    {Tm(11, 3, 0), Tm(10, 18, 0), 540},    // local already on the next day
    {Tm(0, 3, 0), Tm(364, 18, 0), 540},    // local in the next year
    {Tm(365, 19, 0), Tm(0, 0, 0), -300},   // local still in the previous (leap) year
    {Tm(40, 15, 30), Tm(40, 10, 0), 330},
  };
  for (const auto& c : cases)
    EXPECT_EQ(UtcOffsetMinutes(c.local, c.utc), c.want)
      << c.local.tm_yday << " " << c.local.tm_hour;

  const std::string s = CurrentTime();
  const std::string layout = "dddddddd dd:dd sdddd";
  ASSERT_EQ(s.size(), layout.size()) << s;
  for (size_t i = 0; i < s.size(); ++i)
  {
    const bool ok = layout[i] == 'd'   ? (s[i] >= '0' && s[i] <= '9')
                    : layout[i] == 's' ? (s[i] == '+' || s[i] == '-')
                                       : s[i] == layout[i];
    EXPECT_TRUE(ok) << s;
  }
}

TEST(Log, BuildStampsDropTheCharacterAfterTheMonth)
{
  const struct
  {
    const char *date, *time, *want;
  } cases[] = {
    {"Jan  5 2024", "12:34:56", "[Jan 5 12:34]"},
    {"Dec 25 2023", "01:02:03", "[Dec25 01:02]"},
    {"", "", "[ ]"},
    {nullptr, nullptr, "[ ]"},
  };
  for (const auto& c : cases)
  {
    QvString out("stale");
    CompileTimestamp(c.date, c.time, &out);
    EXPECT_STREQ(out.Get(), c.want);
  }
  EXPECT_STREQ(AppendTimestamp("Mar  1 2024", "09:08:07", "Quorvalent"),
               "Quorvalent [Mar 1 09:08]");
  EXPECT_STREQ(AppendTimestamp("Mar 11 2024", "09:08:07", nullptr), " [Mar11 09:08]");
}

TEST(Log, ToLowerStaysInsideItsBuffer)
{
  const struct
  {
    const char* src;
    int destSize;
    const char* want;
  } cases[] = {{"Ableton LIVE 11", 64, "ableton live 11"}, {"ABCDEF", 4, "abc"}, {nullptr, 8, ""}};
  for (const auto& c : cases)
  {
    char buf[80];
    memset(buf, '#', sizeof(buf));
    ToLower(buf, c.src, c.destSize);
    EXPECT_STREQ(buf, c.want);
    EXPECT_EQ(buf[c.destSize], '#');
  }
}

}  // namespace
