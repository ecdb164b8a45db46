// The GDI font made for a text style: height, weight, slant, angle, quality and face as the style
// asks.
#include "raster/px_textnew.h"
#include "tests/support/gui_test_util.h"

#include <gtest/gtest.h>

TEST(FontCache, GdiFontsFollowTheTextStyle)
{
  struct Case
  {
    IText text;
    LONG weight;
    BYTE italic, quality;
  };
  Case cases[] = {
    {IText(17, nullptr, "Gdi Probe"), FW_NORMAL, FALSE, DEFAULT_QUALITY},
    {IText(-11, nullptr, "Gdi Probe", IText::kStyleBold, IText::kAlignNear, 0,
           IText::kQualityNonAntiAliased),
     FW_BOLD, FALSE, NONANTIALIASED_QUALITY},
    {IText(12, nullptr, "Gdi Probe", IText::kStyleItalic, IText::kAlignNear, 90,
           IText::kQualityAntiAliased),
     FW_NORMAL, TRUE, ANTIALIASED_QUALITY},
    {IText(12, nullptr, "Gdi Probe 2", IText::kStyleNormal, IText::kAlignNear, -45,
           IText::kQualityClearType),
     FW_NORMAL, FALSE, CLEARTYPE_QUALITY},
  };
  TestGraphics g(nullptr, 8, 8);
  for (Case& c : cases)
  {
    SCOPED_TRACE(c.text.mFont);
    PX_IFont* pFont = g.CacheFont(&c.text);
    ASSERT_NE(pFont, nullptr);
    LOGFONTA lf = {};
    ASSERT_EQ(GetObjectA(pFont->GetHFont(), sizeof(lf), &lf), (int)sizeof(lf));
    EXPECT_EQ(lf.lfHeight, c.text.mSize);
    EXPECT_EQ(lf.lfWidth, 0);
    EXPECT_EQ(lf.lfEscapement, c.text.mOrientation * 10);
    EXPECT_EQ(lf.lfOrientation, c.text.mOrientation * 10);
    EXPECT_EQ(lf.lfWeight, c.weight);
    EXPECT_EQ(lf.lfItalic, c.italic);
    EXPECT_EQ(lf.lfQuality, c.quality);
    EXPECT_STREQ(lf.lfFaceName, c.text.mFont);
  }
}
