// Text on the surface: drawing equals the cached font's own drawing in the text's colour and
// alignment, measuring places the rectangle by alignment, and the font cache makes one font per
// description for every surface.
#include "raster/px_textnew.h"
#include "tests/support/gui_test_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const int kW = 160, kH = 48;
const PX_pixel kGround = 0xFF405060u;

// The width and height of str in the font.
PX_RECT Extent(PX_IFont* pFont, const char* str)
{
  PX_RECT r = {0, 0, 0, 0};
  pFont->DrawTextA(nullptr, str, -1, &r, DT_CALCRECT);
  return r;
}

}  // namespace

// Each text is drawn by the surface and by its cached font straight into a bitmap of the same kind,
// in order: texts sharing a font take their own colour each time.
TEST(TextDrawing, DrawsAsTheCachedFontInTheTextsColourAndAlignment)
{
  const IColor red(255, 230, 20, 20), halfBlue(128, 0, 0, 255), white(255, 255, 255, 255);
  IText plain(14, &red, "DejaVu Sans", IText::kStyleNormal, IText::kAlignNear);
  IText centred(14, &white, "DejaVu Sans", IText::kStyleNormal, IText::kAlignCenter, 0,
                IText::kQualityAntiAliased);
  IText faded(14, &halfBlue, "DejaVu Sans", IText::kStyleNormal, IText::kAlignFar);
  IText bold(20, &white, "DejaVu Sans", IText::kStyleBold, IText::kAlignFar);
  struct Case
  {
    IText* text;
    const char* str;
    IRECT rect;
    unsigned int format;  // what the font is asked for
  };
  const Case cases[] = {
    {&plain, "Gate 16", IRECT(4, 4, 150, 40), DT_NOCLIP},
    {&centred, "Step filter", IRECT(0, 10, 160, 30), DT_NOCLIP | DT_CENTER},
    {&faded, "Rate", IRECT(0, 2, 150, 20), DT_NOCLIP | DT_RIGHT | PX_DT_FG_ALPHA},
    {&plain, "Gate 16", IRECT(20, 20, 40, 30), DT_NOCLIP},  // not clipped to its rectangle
    {&bold, "Q\n2", IRECT(8, 0, 100, 48), DT_NOCLIP | DT_RIGHT},
  };
  TestGraphics g(nullptr, kW, kH);
  PX_SysBitmap expected(kW, kH);
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.str);
    PX_Clear(g.GetDrawBitmap(), kGround);
    PX_Clear(&expected, kGround);
    IRECT rect = c.rect;
    std::string str = c.str;
    ASSERT_TRUE(g.DrawIText(c.text, &str[0], &rect));
    EXPECT_EQ(rect, c.rect);
    PX_IFont* pFont = c.text->mCached;
    ASSERT_NE(pFont, nullptr);
    pFont->SetTextColor(PxColor(&c.text->mColor));
    PX_RECT r = {c.rect.L, c.rect.T, c.rect.R, c.rect.B};
    pFont->DrawTextA(&expected, c.str, -1, &r, c.format);
    EXPECT_TRUE(SamePixels(g.GetDrawBitmap(), &expected));
    PX_Clear(&expected, kGround);
    EXPECT_FALSE(SamePixels(g.GetDrawBitmap(), &expected)) << "nothing was drawn";
  }
  // Texts that differ only in colour, quality or alignment share the font; the colour is the
  // text's each time.
  EXPECT_EQ(plain.mCached, centred.mCached);
  EXPECT_EQ(plain.mCached, faded.mCached);
  // Nothing to draw is success.
  IRECT rect(1, 2, 3, 4);
  char empty[] = "";
  EXPECT_TRUE(g.DrawIText(&plain, empty, &rect));
  EXPECT_TRUE(g.DrawIText(&plain, nullptr, &rect, true));
  EXPECT_EQ(rect, IRECT(1, 2, 3, 4));
}

TEST(TextDrawing, MeasuringPlacesTheRectangleByAlignment)
{
  TestGraphics g(nullptr, kW, kH);
  PX_Clear(g.GetDrawBitmap(), kGround);
  IText text(16);
  char abc[] = "abc";
  IRECT probe(0, 0, 0, 0);
  ASSERT_TRUE(g.MeasureIText(&text, abc, &probe));
  const PX_RECT e = Extent(text.mCached, abc);
  const int w = e.right, h = e.bottom;
  ASSERT_GT(w, 0);
  ASSERT_GT(h, 0);
  struct Case
  {
    IText::EAlign align;
    IRECT in, out;
  };
  const Case cases[] = {
    {IText::kAlignNear, {10, 5, 10, 5}, {10, 5, 10 + w, 5 + h}},
    {IText::kAlignFar, {100, 5, 100, 5}, {100 - w, 5, 100, 5 + h}},
    {IText::kAlignCenter, {10, 5, 31, 9}, {20 - w / 2, 5, 20 - w / 2 + w, 5 + h}},
    {IText::kAlignCenter, {-30, -7, 0, 0}, {-15 - w / 2, -7, -15 - w / 2 + w, -7 + h}},
  };
  for (const Case& c : cases)
  {
    text.mAlign = c.align;
    IRECT r = c.in;
    EXPECT_TRUE(g.MeasureIText(&text, abc, &r));
    EXPECT_EQ(r, c.out) << c.align;
  }
  // Nothing was drawn.
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      ASSERT_EQ(PX_GetPixel(g.GetDrawBitmap(), x, y), kGround);
}

// Colour, quality and alignment are not part of a font's description; size, style, orientation
// and face are. Face names are read with bounds: a face filling the whole array without a
// terminator is its first FONT_LEN - 1 characters.
TEST(FontCache, OneFontPerDescriptionForEverySurface)
{
  TestGraphics first(nullptr, 8, 8), second(nullptr, 8, 8);
  const IColor green(255, 0, 200, 0);
  IText base(13, nullptr, "Cache Probe");
  PX_IFont* pFont = first.CacheFont(&base);
  ASSERT_NE(pFont, nullptr);
  EXPECT_EQ(base.mCached, pFont);

  struct Case
  {
    IText text;
    bool likeBase;
  };
  Case cases[] = {
    {IText(13, nullptr, "Cache Probe"), true},
    {IText(13, &green, "Cache Probe", IText::kStyleNormal, IText::kAlignFar, 0,
           IText::kQualityClearType),
     true},
    {IText(14, nullptr, "Cache Probe"), false},
    {IText(13, nullptr, "Cache Probe", IText::kStyleItalic), false},
    {IText(13, nullptr, "Cache Probe", IText::kStyleNormal, IText::kAlignCenter, 90), false},
    {IText(13, nullptr, "cache probe"), false},
  };
  for (Case& c : cases)
  {
    SCOPED_TRACE(testing::Message() << c.text.mSize << " " << c.text.mStyle << " "
                                    << c.text.mOrientation << " " << c.text.mFont);
    PX_IFont* pMine = first.CacheFont(&c.text);
    ASSERT_NE(pMine, nullptr);
    EXPECT_EQ(pMine == pFont, c.likeBase);
    // Another surface, another text of the same description: the same font.
    IText again = c.text;
    again.mCached = nullptr;
    EXPECT_EQ(second.CacheFont(&again), pMine);
  }

  const std::string longFace(FONT_LEN - 1, 'x');
  IText bounded(13, nullptr, longFace.c_str());
  IText unterminated = bounded;
  memset(unterminated.mFont, 'x', FONT_LEN);
  EXPECT_EQ(second.CacheFont(&unterminated), first.CacheFont(&bounded));
  EXPECT_NE(bounded.mCached, pFont);
}
