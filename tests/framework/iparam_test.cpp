#include "framework/IParam.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

typedef std::function<void(IParam&)> Init;

const Init kBoolOn = [](IParam& p) { p.InitBool("Bypass", true); };
const Init kEnum3 = [](IParam& p) { p.InitEnum("Mode", 0, 3); };
const Init kUnit = [](IParam& p) { p.InitDouble("Mix", 0.5, 0.0, 1.0, 0.01); };
const Init kSquare100 = [](IParam& p) {
  p.InitDouble("Cutoff", 0.0, 0.0, 100.0, 1.0);
  p.SetShape(2.0);
  p.SetShape(0.0);  // ignored
};
Init Stepped(double step, double max = 1.0)
{
  return [=](IParam& p) { p.InitDouble("x", 0, 0, max, step); };
}

TEST(IParam, InitialisersSetTypeRangeAndTexts)
{
  const struct
  {
    Init init;
    IParam::EParamType type;
    double min, max, value;
    int precision, nTexts;
  } cases[] = {
    {kBoolOn, IParam::kTypeBool, 0, 1, 1, 0, 2},
    {kEnum3, IParam::kTypeEnum, 0, 2, 0, 0, 0},
    {[](IParam& p) { p.InitDouble("Flat", 1.0, 1.0, 1.0, 0.01); }, IParam::kTypeDouble, 1.0, 1.01,
     1.0, 2, 0},
    {[](IParam& p) { p.InitDouble("Odd", 5.0, 0.0, 1.0, 0.5); }, IParam::kTypeDouble, 0, 1, 5.0, 1,
     0},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
  {
    const auto& c = cases[i];
    IParam p;
    c.init(p);
    double lo, hi;
    p.GetBounds(&lo, &hi);
    SCOPED_TRACE(testing::Message() << "case " << i);
    EXPECT_EQ(p.Type(), c.type);
    EXPECT_DOUBLE_EQ(lo, c.min);
    EXPECT_DOUBLE_EQ(hi, c.max);
    EXPECT_DOUBLE_EQ(p.Value(), c.value);
    EXPECT_EQ(p.GetPrecision(), c.precision);
    EXPECT_EQ(p.GetNDisplayTexts(), c.nTexts);
  }

  const struct
  {
    double step;
    int precision;
  } steps[] = {{1, 0}, {0.5, 1}, {0.1, 1}, {0.25, 2}, {0.05, 2}, {0.001, 3}, {1e-7, 6}};
  for (const auto& c : steps)
  {
    IParam p;
    Stepped(c.step)(p);
    EXPECT_EQ(p.GetPrecision(), c.precision) << c.step;
  }
}

TEST(IParam, TextsAreCutToTheirFields)
{
  const std::string longText(100, 'n');
  IParam p;
  p.InitDouble(longText.c_str(), 0, 0, 1, 0.1, nullptr, longText.c_str());
  p.SetDisplayText(0, longText.c_str());
  EXPECT_EQ(strlen(p.GetNameForHost()), 31u);
  EXPECT_EQ(strlen(p.GetParamGroupForHost()), 31u);
  EXPECT_EQ(strlen(p.GetDisplayText(0)), 31u);
  EXPECT_STREQ(p.GetDisplayTextAtIdx(1), "");
}

TEST(IParam, ValuesStayInRangeAndNonFiniteInputChangesNothing)
{
  const struct
  {
    Init init;
    bool normalized;
    double in, want;
  } cases[] = {
    {kUnit, false, -3, 0},
    {kUnit, false, 7, 1},
    {kUnit, false, kInf, 1},
    {kUnit, false, kNaN, 0.5},
    {kEnum3, true, 0.4, 1},   // 0.8 rounds up
    {kEnum3, true, 0.75, 2},  // 1.5: halves round up
    {kEnum3, true, 1.4, 2},
    {kEnum3, true, -0.5, 0},
    {kUnit, true, -0.5, 0},
    {kSquare100, true, 0.5, 25},
    {kUnit, true, kNaN, 0.5},
    {kUnit, true, kInf, 0.5},
    {kUnit, true, -kInf, 0.5},
    {[](IParam& p) {
       kUnit(p);
       p.SetShape(0.5);
     },
     true, -0.5, 0},  // pow of a negative base
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
  {
    const auto& c = cases[i];
    IParam p;
    c.init(p);
    if (c.normalized)
      p.SetNormalized(c.in);
    else
      p.Set(c.in);
    EXPECT_DOUBLE_EQ(p.Value(), c.want) << "case " << i;
  }
}

TEST(IParam, NormalisingClampsAndAnEmptyRangeGivesZero)
{
  const struct
  {
    Init init;
    double value, want;
  } cases[] = {
    {kSquare100, 25, 0.5},
    {kUnit, -4, 0},
    {kUnit, 4, 1},
    {kUnit, kNaN, 0.5},  // reads the current value
    {[](IParam& p) { p.InitDouble("Flat", 1.0, 1.0, 1.0, 0.0); }, 1.0, 0},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
  {
    IParam p;
    cases[i].init(p);
    EXPECT_DOUBLE_EQ(p.GetNormalized(cases[i].value), cases[i].want) << "case " << i;
  }
}

TEST(IParam, IntClampsBeforeTheCast)
{
  const struct
  {
    double value;
    int want;
  } cases[] = {{2.9, 2}, {-2.9, -2}, {1e20, INT_MAX}, {-1e20, INT_MIN}, {kNaN, 0}};
  for (const auto& c : cases)
  {
    IParam p;
    p.InitDouble("x", c.value, -1e30, 1e30, 0.1);  // the default is kept unclamped
    EXPECT_EQ(p.Int(), c.want) << c.value;
  }
}

TEST(IParam, DisplayForHostFormatsWithinTheBuffer)
{
  const struct
  {
    Init init;
    double value;
    bool normalized, withTexts;
    int bufferSize;
    const char* want;
  } cases[] = {
    {Stepped(0.001), 0.5, false, true, 32, "0.500"},
    {Stepped(1), 0.5, false, true, 32, "0"},
    {kBoolOn, 1, false, true, 32, "on"},
    {kBoolOn, 1, false, false, 32, "1"},
    {kSquare100, 0.5, true, true, 32, "25"},
    {kSquare100, 3.0, true, true, 32, "100"},
    {Stepped(0.001, 1e300), 1e300, false, false, 32, nullptr},  // cut to 31 characters
    {Stepped(1, 1e300), 1e20, false, false, 32, "2147483647"},
    {Stepped(0.001), 0.5, false, false, 4, "0.5"},
    {kBoolOn, 0, false, true, 3, "of"},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
  {
    const auto& c = cases[i];
    IParam p;
    c.init(p);
    char buf[64];
    memset(buf, '#', sizeof(buf));
    p.GetDisplayForHost(c.value, c.normalized, buf, c.withTexts, c.bufferSize);
    EXPECT_EQ(buf[c.bufferSize], '#') << "case " << i;
    ASSERT_LT(strnlen(buf, sizeof(buf)), (size_t)c.bufferSize) << "case " << i;
    if (c.want)
      EXPECT_STREQ(buf, c.want) << "case " << i;
    else
      EXPECT_EQ(strlen(buf), (size_t)c.bufferSize - 1) << "case " << i;
  }
}

TEST(IParam, DisplayTextsMapExactlyAndTheFirstEntryWins)
{
  IParam p;
  p.InitEnum("Mode", 1, 3, "mode");
  p.SetDisplayText(0, "low");
  p.SetDisplayText(0, "shadowed");
  p.SetDisplayText(7, "low");
  EXPECT_STREQ(p.GetLabelForHost(), "mode");  // value 1 has no text
  p.Set(0);
  EXPECT_STREQ(p.GetLabelForHost(), "");
  EXPECT_STREQ(p.GetDisplayText(0), "low");

  const struct
  {
    const char* text;
    bool found;
    int value;
  } cases[] = {{"low", true, 0}, {"Low", false, -1}, {"", false, -1}, {nullptr, false, -1}};
  for (const auto& c : cases)
  {
    int v = -1;
    EXPECT_EQ(p.MapDisplayText(c.text, &v), c.found) << (c.text ? c.text : "null");
    EXPECT_EQ(v, c.value);
  }
}

}  // namespace
