// The GUI's value types: rectangle arithmetic (with its one-sided edge rule), colours and blends in
// raster terms, and text styles.
#include "gui/BitmapStorage.h"
#include "gui/FontStorage.h"
#include "gui/IBitmapControl.h"
#include "gui/IGraphicsHeadless.h"
#include "gui/IGraphicsStructs.h"

// The GUI's headers are portable: none of them brings in the window system.
#if defined(_WINDOWS_) || defined(_INC_WINDOWS) || defined(_WINDEF_)
#error "a GUI header includes <windows.h>"
#endif

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(IRECT, ArithmeticFollowsTheEdgeRules)
{
  struct Case
  {
    IRECT a, b;
    bool intersects;
    IRECT intersect, unite;
  };
  const IRECT none;
  const Case cases[] = {
    // Touching on a's right edge counts; the mirror case does not.
    {{10, 10, 20, 20}, {20, 10, 30, 20}, true, {20, 10, 20, 20}, {10, 10, 30, 20}},
    {{20, 10, 30, 20}, {10, 10, 20, 20}, false, none, {10, 10, 30, 20}},
    {{10, 10, 20, 20}, {10, 20, 20, 30}, true, {10, 20, 20, 20}, {10, 10, 20, 30}},
    {{10, 20, 20, 30}, {10, 10, 20, 20}, false, none, {10, 10, 20, 30}},
    {{0, 0, 10, 10}, {5, 5, 15, 15}, true, {5, 5, 10, 10}, {0, 0, 15, 15}},
    {{0, 0, 10, 10}, {2, 3, 4, 5}, true, {2, 3, 4, 5}, {0, 0, 10, 10}},
    // The empty rectangle meets nothing, not even itself, and leaves unions alone.
    {none, none, false, none, none},
    {none, {1, 2, 3, 4}, false, none, {1, 2, 3, 4}},
    {{1, 2, 3, 4}, none, false, none, {1, 2, 3, 4}},
    {{-5, -5, 5, 5}, {5, 5, 9, 9}, true, {5, 5, 5, 5}, {-5, -5, 9, 9}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(testing::Message()
                 << c.a.L << "," << c.a.T << "," << c.a.R << "," << c.a.B << " with " << c.b.L
                 << "," << c.b.T << "," << c.b.R << "," << c.b.B);
    EXPECT_EQ(c.a.Intersects(&c.b), c.intersects);
    EXPECT_TRUE(c.a.Intersect(&c.b) == c.intersect);
    EXPECT_TRUE(c.a.Union(&c.b) == c.unite);
  }
}

TEST(IRECT, ContainsLeftAndTopEdgesOnly)
{
  struct Case
  {
    IRECT r;
    int x, y;
    bool inside;
  };
  const Case cases[] = {
    {{10, 10, 20, 20}, 10, 10, true},  {{10, 10, 20, 20}, 19, 19, true},
    {{10, 10, 20, 20}, 20, 15, false}, {{10, 10, 20, 20}, 15, 20, false},
    {{10, 10, 20, 20}, 9, 15, false},  {{0, 0, 0, 0}, 0, 0, false},
    {{-4, -4, 0, 0}, -1, -1, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.r.Contains(c.x, c.y), c.inside) << c.x << "," << c.y;
}

TEST(IRECT, CentresAndBitmapFramesKeepTheirFractions)
{
  EXPECT_EQ(IRECT(1, 0, 4, 0).MW(), 2.5f);
  EXPECT_EQ(IRECT(0, 1, 0, 4).MH(), 2.5f);
  struct Case
  {
    IBitmap bitmap;
    IRECT expected;
  };
  const Case cases[] = {
    {IBitmap(nullptr, 64, 960, 30), {5, 7, 69, 39}},
    {IBitmap(nullptr, 64, 1000, 30), {5, 7, 69, 40}},      // 33.3 rows: truncated
    {IBitmap(nullptr, 96, 32, 3, true), {5, 7, 101, 17}},  // whole width whatever the layout
    {IBitmap(nullptr, 10, 20, 0), {5, 7, 15, 27}},         // no frame count: one frame
  };
  for (const Case& c : cases)
    EXPECT_TRUE(IRECT(5, 7, &c.bitmap) == c.expected) << c.bitmap.H << "/" << c.bitmap.N;
}

TEST(GuiValues, BlendsAndColoursInRasterTerms)
{
  struct Case
  {
    const IChannelBlend* blend;
    int mode;
    float weight;
  };
  const IChannelBlend none(IChannelBlend::kBlendNone, 0.75f),
    clobber(IChannelBlend::kBlendClobber, 0.5f), add(IChannelBlend::kBlendAdd),
    dodge(IChannelBlend::kBlendColorDodge);
  const Case cases[] = {
    {nullptr, 0x10000, 1.0f}, {&none, 0x10000, 0.75f}, {&clobber, 0, 0.5f},
    {&add, 0x10001, 1.0f},    {&dodge, 0x10002, 1.0f},
  };
  for (const Case& c : cases)
  {
    EXPECT_EQ(PxBlendMode(c.blend), c.mode);
    EXPECT_EQ(PxWeight(c.blend), c.weight);
  }
  const IColor colour(128, 255, 0, 16), wide(0x1FF, -1, 0x100, 0x2AB);
  EXPECT_EQ(PxColor(&colour), 0x80FF0010u);
  EXPECT_EQ(PxColor(&wide), 0xFFFF00ABu);  // each channel keeps its low byte
}

TEST(GuiValues, TextStylesTakeDefaultsAndBoundedFaceNames)
{
  const IText plain;
  EXPECT_STREQ(plain.mFont, "Verdana");
  EXPECT_EQ(plain.mSize, 12);
  EXPECT_TRUE(plain.mColor == COLOR_BLACK);
  EXPECT_TRUE(plain.mTextEntryBGColor == COLOR_WHITE);
  EXPECT_TRUE(plain.mTextEntryFGColor == COLOR_BLACK);
  EXPECT_EQ(plain.mAlign, IText::kAlignCenter);
  EXPECT_EQ(plain.mCached, nullptr);

  const std::string longFace(100, 'x');
  const IText cut(9, &COLOR_RED, longFace.c_str());
  EXPECT_EQ(strlen(cut.mFont), (size_t)FONT_LEN - 1);
  EXPECT_TRUE(cut.mColor == COLOR_RED);
}
