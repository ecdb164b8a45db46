// The cached font over synthetic glyphs: the glyph store, measuring, alignment and clipping, every
// option, the renderers and combiners, byte counts, rasteriser and allocation failures, and
// drawing from several threads.
#include "raster/px_blur_halve_cmp.h"
#include "raster/px_combine.h"
#include "raster/px_textnew.h"
#include "raster/px_utf8.h"
#include "tests/support/FailingAlloc.h"
#include "tests/support/raster_test_util.h"
#include "tests/support/synthetic_glyphs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

typedef SyntheticGlyphs::Mask Mask;

// A cached font over its own synthetic glyphs, which it owns.
struct Font
{
  int deletions = 0;
  SyntheticGlyphs* glyphs;
  PX_CachedFont font;

  explicit Font(int flags = 0, int lineHeight = 16)
    : glyphs(new SyntheticGlyphs(lineHeight, &deletions))
  {
    font.SetFromHFont(glyphs, flags | PX_FONTOPT_OWNS_FONT);
  }
  void Reset(int flags)
  {
    glyphs = new SyntheticGlyphs(glyphs->GetLineHeight(), &deletions);
    font.SetFromHFont(glyphs, flags | PX_FONTOPT_OWNS_FONT);
  }
};

std::string Utf8(unsigned short c)
{
  char buf[4];
  return std::string(buf, (size_t)utf8makechar(buf, c));
}

PX_RECT Rect(int l, int t, int r, int b) { return PX_RECT{l, t, r, b}; }

// White text added onto black at full strength shows each coverage byte m as red m exactly.
int DrawAdded(PX_CachedFont& f, PX_IBitmap& bm, const std::string& text, PX_RECT r,
              unsigned format = 0)
{
  f.SetTextColor(0xFFFFFFFFu);
  f.SetEffectColor(0xFF808080u);
  f.SetCombineMode(PX_MODE_ADD, 1.0f);
  return f.DrawTextA(&bm, text.c_str(), -1, &r, format);
}

std::vector<int> RedOf(PX_IBitmap& bm, int x, int y, int w, int h)
{
  std::vector<int> v;
  for (PX_pixel p : Crop(bm, x, y, w, h))
    v.push_back(PX_GETR(p));
  return v;
}

std::vector<int> Bytes(const Mask& m) { return std::vector<int>(m.bytes.begin(), m.bytes.end()); }

int Measure(PX_CachedFont& f, const char* text, int count, unsigned format, PX_RECT* r)
{
  *r = Rect(3, 4, 3, 4);
  return f.DrawTextA(nullptr, text, count, r, format | DT_CALCRECT);
}

// Three hundred characters above 127, first met in descending order (each one sorted into the
// list, the mask store growing past its first block), each render once and draw as its mask,
// then and after all others.
TEST(CachedFont, GlyphStoreKeepsEveryGlyphAcrossGrowth)
{
  Font f(0, 24);
  std::vector<unsigned short> codes;
  for (int i = 0; i < 300; ++i)
    codes.push_back((unsigned short)(0x5FF - i * 3));
  for (int pass = 0; pass < 2; ++pass)
    for (unsigned short c : codes)
    {
      ExactBitmap bm(20, 24);
      DrawAdded(f.font, bm, Utf8(c), Rect(0, 0, 20, 24));
      const Mask m = f.glyphs->MaskOf(c);
      ASSERT_EQ(RedOf(bm, 0, 0, m.w, m.h), Bytes(m)) << "code " << c << " pass " << pass;
      ASSERT_EQ(f.glyphs->Renders(c), 1) << "code " << c;
    }
}

TEST(CachedFont, MeasuresAdvancesAndLines)
{
  // Line height 16; advances A 6, B 7, D 5, space 5, U+00C3 14, U+00E9 16; 'A' masks are 8 wide.
  const struct
  {
    const char* text;
    int count;
    int flags;
    unsigned format;
    int w, h, result;
  } cases[] = {
    {"AB\nD", -1, 0, 0, 13, 32, 32},
    {"A\nB", -1, 0, DT_SINGLELINE, 18, 16, 16},
    {"A B", -1, 0, 0, 18, 16, 16},
    {"A\r\rB", -1, 0, 0, 13, 16, 16},
    {"", -1, 0, 0, 0, 0, 0},
    {"\n\n", -1, 0, 0, 0, 0, 0},
    {"\nA", -1, 0, 0, 6, 32, 32},
    {"\x01\x01"
     "A",
     -1, 0, 0, 6, 16, 16},
    {"ABCD", 2, 0, 0, 13, 16, 16},
    {"A\0B", 3, 0, 0, 6, 16, 16},
    {"\xC3\xA9", -1, 0, 0, 16, 16, 16},
    {"\xC3\xA9", 1, 0, 0, 14, 16, 16},
    {"\xF0\x9F\x98\x80", -1, 0, 0, 5, 16, 16},
    {"AB", -1, PX_FONTOPT_VERTICAL, 0, 16, 13, 16},
    {"AB\nD", -1, PX_FONTOPT_VERTICAL, 0, 32, 13, 32},
  };
  for (const auto& c : cases)
  {
    Font f(c.flags);
    PX_RECT r;
    EXPECT_EQ(Measure(f.font, c.text, c.count, c.format, &r), c.result) << c.text;
    EXPECT_EQ(r.left, 3);
    EXPECT_EQ(r.top, 4);
    EXPECT_EQ(r.right - r.left, c.w) << c.text;
    EXPECT_EQ(r.bottom - r.top, c.h) << c.text;
  }
  Font f;
  PX_RECT r = Rect(0, 0, 0, 0);
  EXPECT_EQ(f.font.DrawTextA(nullptr, nullptr, -1, &r, DT_CALCRECT), 0);
  EXPECT_EQ(f.font.DrawTextA(nullptr, "A", -1, nullptr, DT_CALCRECT), 0);
  EXPECT_EQ(f.font.DrawTextA(nullptr, "A", -1, &r, 0), 0);
}

// An aligned text is the unaligned one moved by the offset its alignment asks for; centring wins
// over right and bottom.
TEST(CachedFont, AlignmentMovesTheWholeText)
{
  // "AB\nD" is 13 x 32; the rectangle 80 x 40.
  const struct
  {
    unsigned format;
    int dx, dy;
  } cases[] = {
    {0, 0, 0},
    {DT_CENTER, 33, 0},
    {DT_RIGHT, 67, 0},
    {DT_VCENTER, 0, 4},
    {DT_BOTTOM, 0, 8},
    {DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM, 33, 4},
    {DT_RIGHT | DT_BOTTOM, 67, 8},
  };
  Font f;
  for (const auto& c : cases)
  {
    ExactBitmap got(100, 60), want(100, 60);
    const int drawn = DrawAdded(f.font, got, "AB\nD", Rect(10, 5, 90, 45), c.format | DT_NOCLIP);
    DrawAdded(f.font, want, "AB\nD", Rect(10 + c.dx, 5 + c.dy, 90, 45), DT_NOCLIP);
    EXPECT_EQ(Pixels(got), Pixels(want)) << "format " << c.format;
    EXPECT_EQ(drawn, 32) << "format " << c.format;
  }
}

// Without DT_NOCLIP the rectangle clips, and the bitmap always does: inside the clip the pixels
// are those of the unclipped text, outside them the bitmap is untouched.
TEST(CachedFont, ClipsToTheRectangleAndTheBitmap)
{
  const struct
  {
    PX_RECT rect;
    unsigned format;
    PX_RECT clip;  // empty: nothing drawn
  } cases[] = {
    {{2, 3, 28, 17}, 0, {2, 3, 28, 17}},
    {{-9, -11, 12, 9}, 0, {0, 0, 12, 9}},
    {{20, 10, 60, 40}, 0, {20, 10, 30, 20}},
    {{-9, -11, 12, 9}, DT_NOCLIP, {0, 0, 30, 20}},
    {{25, 12, 90, 90}, DT_NOCLIP, {0, 0, 30, 20}},
    {{31, 2, 60, 9}, 0, {0, 0, 0, 0}},
    {{4, 8, 4, 20}, 0, {0, 0, 0, 0}},
    {{-50, -50, -1, -1}, 0, {0, 0, 0, 0}},
  };
  const char* text = "ABCD\nEFGH\nIJKL";
  Font f;
  for (bool flipped : {false, true})
    for (const auto& c : cases)
    {
      // The whole text, unclipped, on a large canvas holding the same pixels 40 right and 50 down.
      ExactBitmap bm(30, 20, flipped), canvas(140, 150);
      FillPattern(bm, 21);
      const std::vector<PX_pixel> before = Pixels(bm);
      for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
          Px(canvas, x + 40, y + 50) = Px(bm, x, y);
      DrawAdded(f.font, canvas, text,
                Rect(c.rect.left + 40, c.rect.top + 50, c.rect.right + 40, c.rect.bottom + 50),
                DT_NOCLIP);
      const int drawn = DrawAdded(f.font, bm, text, c.rect, c.format);
      for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
        {
          const bool inside =
            x >= c.clip.left && x < c.clip.right && y >= c.clip.top && y < c.clip.bottom;
          ASSERT_EQ(Px(bm, x, y), inside ? Px(canvas, x + 40, y + 50) : before[y * 30 + x])
            << "rect " << c.rect.left << "," << c.rect.top << " at " << x << "," << y
            << (flipped ? " flipped" : "");
        }
      EXPECT_EQ(drawn == 0, c.clip.right == 0);
    }
}

// Each option's mask, read back from the drawing: white added onto black shows coverage m as m,
// shadow and outline pixels in the effect colour (128).
TEST(CachedFont, OptionsShapeTheMask)
{
  const Mask square = {4, 4, 4, {0, 0, 0, 0, 0, 200, 255, 0, 0, 100, 140, 0, 0, 0, 0, 0}};
  const Mask wide = {3, 2, 3, {40, 80, 120, 160, 200, 240}};
  Mask blurred = square;
  {
    ExactBitmap bm(4, 4);
    for (int i = 0; i < 16; ++i)
      bm.getBits()[i] = (PX_pixel)square.bytes[i] << 16;
    PX_Blur(&bm, &bm, 0, 0, 0, 0, 4, 4);
    for (int i = 0; i < 16; ++i)
      blurred.bytes[i] = (unsigned char)PX_GETR(bm.getBits()[i]);
  }
  const struct
  {
    const char* name;
    int flags;
    const Mask& mask;
    int w, h;
    std::vector<int> shown;
  } cases[] = {
    {"plain", 0, square, 4, 4, Bytes(square)},
    {"invert",
     PX_FONTOPT_INVERT,
     square,
     4,
     4,
     {255, 255, 255, 255, 255, 55, 0, 255, 255, 155, 115, 255, 255, 255, 255, 255}},
    {"mono", PX_FONTOPT_MONO, square, 4, 4, {0, 0, 0, 0, 0, 255, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0}},
    {"shadow",
     PX_FONTOPT_SHADOW,
     square,
     4,
     4,
     {0, 0, 0, 0, 0, 255, 255, 128, 0, 128, 255, 128, 0, 0, 128, 128}},
    {"outline",
     PX_FONTOPT_OUTLINE,
     square,
     4,
     4,
     {0, 128, 128, 0, 128, 255, 255, 128, 0, 128, 255, 128, 0, 0, 128, 0}},
    {"shadow wins",
     PX_FONTOPT_SHADOW | PX_FONTOPT_OUTLINE,
     square,
     4,
     4,
     {0, 0, 0, 0, 0, 255, 255, 128, 0, 128, 255, 128, 0, 0, 128, 128}},
    {"blur", PX_FONTOPT_BLUR, square, 4, 4, Bytes(blurred)},
    {"vertical", PX_FONTOPT_VERTICAL, wide, 2, 3, {160, 40, 200, 80, 240, 120}},
    {"upward",
     PX_FONTOPT_VERTICAL | PX_FONTOPT_VERTICAL_UPWARD,
     wide,
     2,
     3,
     {120, 240, 80, 200, 40, 160}},
  };
  for (const auto& c : cases)
  {
    Font f;
    f.glyphs->Give('a', c.mask);
    f.font.SetFromHFont(f.glyphs, c.flags | PX_FONTOPT_OWNS_FONT);
    ExactBitmap bm(10, 10);
    DrawAdded(f.font, bm, "a", Rect(0, 0, 10, 10));
    EXPECT_EQ(RedOf(bm, 0, 0, c.w, c.h), c.shown) << c.name;
  }
}

// Vertical fonts run down the bitmap, upward ones up from the bottom of the text.
TEST(CachedFont, VerticalTextRunsAlongColumns)
{
  Font down(PX_FONTOPT_VERTICAL), up(PX_FONTOPT_VERTICAL | PX_FONTOPT_VERTICAL_UPWARD);
  ExactBitmap d(60, 60), u(60, 60), single(60, 60), want(60, 60);
  EXPECT_EQ(DrawAdded(down.font, d, "ab\ncd", Rect(5, 5, 60, 60)), 32);
  EXPECT_EQ(DrawAdded(up.font, u, "ab", Rect(5, 5, 60, 60)), 16);
  // Each glyph on its own, where the layout puts it (advances a 6, b 7, c 8, d 5).
  const struct
  {
    Font& f;
    ExactBitmap& bm;
    const char* c;
    int x, y;
  } glyphs[] = {{down, single, "a", 5, 5},   {down, single, "b", 5, 11}, {down, single, "c", 21, 5},
                {down, single, "d", 21, 13}, {up, want, "a", 5, 12},     {up, want, "b", 5, 5}};
  for (const auto& g : glyphs)
    DrawAdded(g.f.font, g.bm, g.c, Rect(g.x, g.y, 60, 60), DT_NOCLIP);
  EXPECT_EQ(Pixels(d), Pixels(single));
  EXPECT_EQ(Pixels(u), Pixels(want));
}

TEST(CachedFont, PrerenderOwnershipAndReplacement)
{
  Font f(PX_FONTOPT_PRERENDER_ASCII);
  EXPECT_EQ(f.glyphs->TotalRenders(), 128);
  PX_RECT r, plain;
  Measure(f.font,
          "A\xC3\xA9"
          "B",
          -1, 0, &r);
  Measure(f.font, "AB", -1, 0, &plain);
  EXPECT_EQ(r.right, plain.right);
  EXPECT_EQ(f.glyphs->TotalRenders(), 128);

  // A replaced font is deleted when owned, and not when the same font is set again.
  SyntheticGlyphs* first = f.glyphs;
  f.font.SetFromHFont(first, PX_FONTOPT_OWNS_FONT);
  EXPECT_EQ(f.deletions, 0);
  f.Reset(0);
  EXPECT_EQ(f.deletions, 1);
  EXPECT_EQ(f.font.GetHFont(), f.glyphs);
  EXPECT_EQ(f.font.GetLineHeight(), 16);
  int kept = 0;
  {
    SyntheticGlyphs notOwned(16, &kept);
    PX_CachedFont g;
    g.SetFromHFont(&notOwned, 0);
    g.SetFromHFont(nullptr, 0);
  }
  EXPECT_EQ(kept, 1);  // by its own scope only
}

// Glyph pixels: coverage weights the text colour through the combiner of the operation byte;
// mono and effect fonts draw covered pixels at the font's weight, whole words at full copy.
TEST(CachedFont, RenderersAndCombiners)
{
  const Mask mask = {4, 2, 4, {0, 1, 100, 255, 131, 130, 255, 128}};
  const PX_pixel text = 0xC0E08040u, effect = 0x70102030u;
  const struct
  {
    int flags, mode;
    float alpha;
    unsigned format;
  } cases[] = {
    {0, PX_MODE_COPY, 1.0f, 0},
    {0, PX_MODE_COPY, 0.6f, 0},
    {0, PX_MODE_COPY, -0.5f, 0},
    {0, PX_MODE_ADD, 0.3f, 0},
    {0, PX_MODE_ADD, 2.5f, 0},
    {0, PX_MODE_COLORDODGE, 1.0f, 0},
    {0, PX_MODE_MUL, 0.8f, 0},
    {0, PX_MODE_OVERLAY, 1.0f, 0},
    {0, PX_MODE_HSVADJUST, 0.7f, 0},
    {0, PX_MODE_SOURCEALPHA | PX_MODE_MUL, 0.8f, 0},
    {0, PX_MODE_COPY, 1.0f, PX_DT_FG_ALPHA},
    {0, 6, 1.0f, 0},
    {0, PX_MODE_COPY, 0.0f, 0},
    {PX_FONTOPT_MONO, PX_MODE_COPY, 1.0f, 0},
    {PX_FONTOPT_MONO, PX_MODE_COPY, 0.5f, 0},
    {PX_FONTOPT_MONO, PX_MODE_ADD, 3.0f, 0},
    {PX_FONTOPT_OUTLINE, PX_MODE_COPY, 1.0f, 0},
    {PX_FONTOPT_SHADOW, PX_MODE_MUL, 0.9f, 0},
    {PX_FONTOPT_SHADOW, PX_MODE_COPY, 1.0f, PX_DT_FG_ALPHA},
  };
  for (const auto& c : cases)
  {
    Font f;
    f.glyphs->Give('x', mask);
    f.font.SetFromHFont(f.glyphs, c.flags | PX_FONTOPT_OWNS_FONT);
    f.font.SetTextColor(text);
    f.font.SetEffectColor(effect);
    f.font.SetCombineMode(c.mode, c.alpha);
    ExactBitmap bm(4, 2, true), shape(4, 2);
    FillPattern(bm, 5);
    const std::vector<PX_pixel> before = Pixels(bm);
    PX_RECT r = Rect(0, 0, 4, 2);
    const int drawn = f.font.DrawTextA(&bm, "x", -1, &r, c.format);

    // The mask as the font keeps it, and the weight as the renderers work it out.
    Font probe(c.flags);
    probe.glyphs->Give('x', mask);
    probe.font.SetFromHFont(probe.glyphs, c.flags | PX_FONTOPT_OWNS_FONT);
    DrawAdded(probe.font, shape, "x", Rect(0, 0, 4, 2));
    float alpha = c.alpha;
    if (c.format & PX_DT_FG_ALPHA)
      alpha = (float)(text >> 24) / 255.0f * alpha;
    const int ia = (int)(alpha * 256), op = c.mode & 0xFF;
    const bool effects = c.flags & (PX_FONTOPT_MONO | PX_FONTOPT_SHADOW | PX_FONTOPT_OUTLINE);
    std::vector<PX_pixel> want = before;
    for (int i = 0; i < 8; ++i)
    {
      const int m = PX_GETR(shape.getBits()[i]);
      if (!m || ia == 0 || op >= 6 || (op == 0 && ia < 0))
        continue;
      const PX_pixel color =
        m == 128 && (c.flags & (PX_FONTOPT_SHADOW | PX_FONTOPT_OUTLINE)) ? effect : text;
      if (effects && alpha == 1.0f && op == 0)
      {
        want[i] = color;
        continue;
      }
      int w = ia;
      if (effects)
        w = ia > 256 ? 256 : ia;
      else
        w = ia == 256 ? m + 1 : std::min(m * ia / 256, 256);
      // The combiner itself: a weight of 0 still counts (HSV adjust takes the source alpha).
      pxi_SelectNoClamp(op, w, [&](auto tag) {
        decltype(tag)::type::doPix((PX_pixel_chan*)&want[i], PX_GETR(color), PX_GETG(color),
                                   PX_GETB(color), 255, w);
      });
    }
    EXPECT_EQ(Pixels(bm), want) << "flags " << c.flags << " mode " << c.mode << " alpha "
                                << c.alpha;
    EXPECT_EQ(drawn, ia == 0 ? 0 : 2) << "mode " << c.mode << " alpha " << c.alpha;
  }
}

TEST(CachedFont, FontAlphaAndBackground)
{
  Font f;
  f.font.SetTextColor(0x80FFFFFFu);
  f.font.SetCombineMode(PX_MODE_ADD, 1.0f);
  ExactBitmap half(20, 16), full(20, 16), quiet(20, 16);
  PX_RECT r = Rect(0, 0, 20, 16);
  f.font.DrawTextA(&half, "A", -1, &r, PX_DT_FG_ALPHA);
  f.font.DrawTextA(&full, "A", -1, &r, 0);  // the font's own alpha is back at 1
  const Mask a = f.glyphs->MaskOf('A');
  for (int i = 0; i < a.w * a.h; ++i)
  {
    const int m = a.bytes[i], x = i % a.w, y = i / a.w;
    EXPECT_EQ(PX_GETR(Px(half, x, y)), m ? 255 * std::min(m * 128 / 256, 256) / 256 : 0);
    EXPECT_EQ(PX_GETR(Px(full, x, y)), m);
  }
  f.font.SetCombineMode(PX_MODE_ADD, 0.0f);
  EXPECT_EQ(f.font.DrawTextA(&quiet, "A", -1, &r, 0), 0);
  EXPECT_EQ(Pixels(quiet), std::vector<PX_pixel>(20 * 16, 0));

  // Opaque background: each glyph box is filled first (the source-alpha bit has no effect).
  f.font.SetCombineMode(PX_MODE_SOURCEALPHA, 1.0f);
  EXPECT_EQ(f.font.SetBkMode(2), 1);
  EXPECT_EQ(f.font.SetBkColor(0xFF00FF00u), 0xFFFFFFFFu);
  EXPECT_EQ(f.font.SetTextColor(0xFF000000u), 0x80FFFFFFu);
  ExactBitmap bm(20, 16);
  f.font.DrawTextA(&bm, " ", -1, &r, 0);
  const Mask space = f.glyphs->MaskOf(' ');
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 20; ++x)
      ASSERT_EQ(Px(bm, x, y), x < space.w ? 0xFF00FF00u : 0u) << x << "," << y;
}

// Broken glyph sources, failing allocations and texts without a terminator draw nothing they
// should not and read nothing past what they were given.
TEST(CachedFont, FailuresLeaveGlyphsEmpty)
{
  Font f;
  f.glyphs->Overstate('B');
  PX_RECT r;
  Measure(f.font, "ABA", -1, 0, &r);
  EXPECT_EQ(r.right - r.left, 12);  // B has no glyph and no advance
  Measure(f.font, "\x01\x01", -1, 0, &r);
  EXPECT_EQ(r.right - r.left, 0);
  EXPECT_EQ(f.glyphs->Renders(1), 1);  // remembered as empty
  ExactBitmap bm(30, 16);
  DrawAdded(f.font, bm, "B", Rect(0, 0, 30, 16));
  EXPECT_EQ(Pixels(bm), std::vector<PX_pixel>(30 * 16, 0));

  // No memory for the mask store or the list: nothing drawn. A glyph without a list entry is
  // tried again; one without a mask stays empty until the font handle is set again.
  Font g;
  ExactBitmap none(30, 16);
  {
    FailingAlloc fail(FailingAlloc::kFailAll);
    EXPECT_EQ(DrawAdded(g.font, none, "C\xC4\x80", Rect(0, 0, 30, 16)), 0);
  }
  EXPECT_EQ(Pixels(none), std::vector<PX_pixel>(30 * 16, 0));
  DrawAdded(g.font, none, "C", Rect(0, 0, 30, 16));
  EXPECT_EQ(Pixels(none), std::vector<PX_pixel>(30 * 16, 0));
  ExactBitmap later(30, 16), again(30, 16);
  DrawAdded(g.font, later, "\xC4\x80", Rect(0, 0, 30, 16));
  const Mask wide = g.glyphs->MaskOf(0x100), c = g.glyphs->MaskOf('C');
  EXPECT_EQ(RedOf(later, 0, 0, wide.w, wide.h), Bytes(wide));
  g.Reset(0);
  DrawAdded(g.font, again, "C", Rect(0, 0, 30, 16));
  EXPECT_EQ(RedOf(again, 0, 0, c.w, c.h), Bytes(c));
}

TEST(CachedFont, ByteCountsBoundEveryRead)
{
  const struct
  {
    std::string bytes;
    const char* same;  // the terminated text it reads as
  } cases[] = {
    {"AB", "AB"},
    {"A\xC3", "A\xC3"},
    {"\xE2\x82", "\xE2\x82"},
    {"\xF0\x9F\x98", "\xF0\x9F\x98"},
    {std::string("A\0B", 3), "A"},
  };
  Font f;
  for (const auto& c : cases)
  {
    const size_t n = c.bytes.size();
    std::unique_ptr<char[]> exact(new char[n]);
    std::memcpy(exact.get(), c.bytes.data(), n);
    PX_RECT counted = Rect(0, 0, 0, 0), terminated = Rect(0, 0, 0, 0);
    f.font.DrawTextA(nullptr, exact.get(), (int)n, &counted, DT_CALCRECT);
    f.font.DrawTextA(nullptr, c.same, -1, &terminated, DT_CALCRECT);
    EXPECT_EQ(counted.right, terminated.right) << c.same;
    ExactBitmap got(80, 16), want(80, 16);
    PX_RECT r1 = Rect(0, 0, 80, 16), r2 = r1;
    f.font.DrawTextA(&got, exact.get(), (int)n, &r1, DT_CENTER);
    f.font.DrawTextA(&want, c.same, -1, &r2, DT_CENTER);
    EXPECT_EQ(Pixels(got), Pixels(want)) << c.same;
  }
}

// Editors on several threads share fonts: concurrent drawing with one font, each thread meeting
// new glyphs, gives what drawing alone gives.
TEST(CachedFont, OneFontDrawsOnSeveralThreads)
{
  std::string texts[3];
  for (int t = 0; t < 3; ++t)
    for (int i = 0; i < 60; ++i)
      texts[t] += Utf8((unsigned short)(0x400 + i * 3 + t)) + (i % 10 == 9 ? "\n" : "");
  Font alone;
  ExactBitmap want[3] = {ExactBitmap(200, 120), ExactBitmap(200, 120), ExactBitmap(200, 120)};
  for (int t = 0; t < 3; ++t)
    DrawAdded(alone.font, want[t], texts[t], Rect(0, 0, 200, 120));

  Font shared;
  shared.font.SetTextColor(0xFFFFFFFFu);
  shared.font.SetCombineMode(PX_MODE_ADD, 1.0f);
  ExactBitmap got[3] = {ExactBitmap(200, 120), ExactBitmap(200, 120), ExactBitmap(200, 120)};
  std::vector<std::thread> threads;
  for (int t = 0; t < 3; ++t)
    threads.emplace_back([&, t] {
      PX_RECT r = Rect(0, 0, 200, 120);
      shared.font.DrawTextA(&got[t], texts[t].c_str(), -1, &r, 0);
    });
  for (auto& th : threads)
    th.join();
  for (int t = 0; t < 3; ++t)
    EXPECT_EQ(Pixels(got[t]), Pixels(want[t])) << "thread " << t;
}

}  // namespace
