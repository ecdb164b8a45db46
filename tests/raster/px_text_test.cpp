// The built-in 8x8 font: its glyph table, clipping at every edge, the combiners, string layout and
// measuring.
#include "raster/px_combine.h"
#include "raster/px_text.h"
#include "tests/support/raster_test_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

namespace {

const PX_pixel kInk = 0xFF102030u, kPaper = 0x80808080u;

std::vector<unsigned char> Glyph(int code)
{
  return std::vector<unsigned char>(PX_deffont + (code - 1) * 8, PX_deffont + code * 8);
}

// The picture glyph code makes at (x, y), built pixel by pixel from the table.
std::vector<PX_pixel> ExpectedCell(int w, int h, bool flipped, int x, int y, int code)
{
  ExactBitmap bm(w, h, flipped);
  for (int i = 0; i < w * h; ++i)
    bm.getBits()[i] = kPaper;
  const std::vector<unsigned char> g = Glyph(code);
  for (int gy = 0; gy < 8; ++gy)
    for (int gx = 0; gx < 8; ++gx)
    {
      const long long px = (long long)x + gx, py = (long long)y + gy;
      if ((g[gy] & (0x80 >> gx)) && px >= 0 && px < w && py >= 0 && py < h)
        Px(bm, (int)px, (int)py) = kInk;
    }
  return Pixels(bm);
}

TEST(DefaultFont, TheClassicShapes)
{
  const struct
  {
    int code;
    std::vector<unsigned char> rows;
  } glyphs[] = {
    {1, {0x7E, 0x81, 0xA5, 0x81, 0xBD, 0x99, 0x81, 0x7E}},
    {32, {0, 0, 0, 0, 0, 0, 0, 0}},
    {48, {0x38, 0x6C, 0xC6, 0xD6, 0xC6, 0x6C, 0x38, 0x00}},
    {65, {0x38, 0x6C, 0xC6, 0xFE, 0xC6, 0xC6, 0xC6, 0x00}},
    {97, {0x00, 0x00, 0x78, 0x0C, 0x7C, 0xCC, 0x76, 0x00}},
    {127, {0x00, 0x10, 0x38, 0x6C, 0xC6, 0xC6, 0xFE, 0x00}},
  };
  for (const auto& g : glyphs)
  {
    EXPECT_EQ(Glyph(g.code), g.rows) << "code " << g.code;
    ExactBitmap bm(8, 8);
    for (int i = 0; i < 64; ++i)
      bm.getBits()[i] = kPaper;
    PX_DrawChar(&bm, 0, 0, (char)g.code, kInk, 1.0f, PX_MODE_COPY);
    EXPECT_EQ(Pixels(bm), ExpectedCell(8, 8, false, 0, 0, g.code)) << "code " << g.code;
  }
  EXPECT_EQ(Glyph(128), std::vector<unsigned char>(8, 0));
  // Every printable ASCII character but the space has ink.
  for (int c = 33; c < 127; ++c)
    EXPECT_NE(Glyph(c), std::vector<unsigned char>(8, 0)) << "code " << c;
}

// Cells across each edge of a small bitmap, and far outside it, show exactly their pixels inside.
TEST(DefaultFont, CellsAreClippedAtEveryEdge)
{
  const int positions[] = {INT_MIN, -40, -9, -8, -7, -3, 0, 2, 4, 6, 9, 10, INT_MAX};
  for (bool flipped : {false, true})
    for (int x : positions)
      for (int y : positions)
      {
        ExactBitmap bm(10, 6, flipped);
        for (int i = 0; i < 60; ++i)
          bm.getBits()[i] = kPaper;
        PX_DrawChar(&bm, x, y, 'W', kInk, 1.0f, PX_MODE_COPY);
        ASSERT_EQ(Pixels(bm), ExpectedCell(10, 6, flipped, x, y, 'W'))
          << "at " << x << "," << y << (flipped ? " flipped" : "");
      }
}

// An inked pixel is the combiner of the operation byte with the colour's alpha byte and the
// alpha as weight; other bits of the mode do not matter.
TEST(DefaultFont, InkIsCombinedByTheOperationByte)
{
  const struct
  {
    int mode;
    float alpha;
    bool draws;
  } cases[] = {
    {PX_MODE_COPY, 1.0f, true},
    {PX_MODE_COPY, 0.4f, true},
    {PX_MODE_COPY, -0.5f, false},
    {PX_MODE_ADD, 0.7f, true},
    {PX_MODE_ADD, -0.5f, true},
    {PX_MODE_COLORDODGE, 0.9f, true},
    {PX_MODE_MUL, 1.0f, true},
    {PX_MODE_OVERLAY, 0.6f, true},
    {PX_MODE_HSVADJUST, 0.5f, true},
    {PX_MODE_SOURCEALPHA | PX_MODE_ADD, 0.7f, true},
    {PX_FILTER_BILINEAR | 3, 0.8f, true},
    {PX_MODE_COPY, 0.0f, false},
    {PX_MODE_COPY, 0.003f, false},
    {6, 1.0f, false},
    {0xF0, 1.0f, false},
    {PX_MODE_ADD, NAN, false},
  };
  const PX_pixel color = 0x9040C0E0u;
  for (const auto& c : cases)
  {
    ExactBitmap bm(8, 8);
    FillPattern(bm, 11);
    const std::vector<PX_pixel> before = Pixels(bm);
    PX_DrawChar(&bm, 0, 0, 'M', color, c.alpha, c.mode);
    std::vector<PX_pixel> want = before;
    if (c.draws)
      for (int i = 0; i < 64; ++i)
        if (PX_deffont[('M' - 1) * 8 + i / 8] & (0x80 >> (i % 8)))
          PX_CombinePixels2(&want[i], PX_GETR(color), PX_GETG(color), PX_GETB(color),
                            PX_GETA(color), (int)(c.alpha * 256), c.mode & PX_MODE_MASK);
    EXPECT_EQ(Pixels(bm), want) << "mode 0x" << std::hex << c.mode << " alpha " << c.alpha;
  }
}

TEST(DefaultFont, StringsAreLaidOutInCells)
{
  const struct
  {
    const char* text;
    std::vector<std::pair<int, int>> cells;  // pen of each drawn character, in order
  } cases[] = {
    {"AB", {{0, 0}, {8, 0}}},
    {"A B", {{0, 0}, {16, 0}}},
    {"A\tB", {{0, 0}, {48, 0}}},
    {"A\r\nB", {{0, 0}, {0, 8}}},
    {"\x80Z", {{8, 0}}},  // bytes of 128 and more draw nothing but take a cell
    {"AB\nC\n\nD", {{0, 0}, {8, 0}, {0, 8}, {0, 24}}},
  };
  for (const auto& c : cases)
  {
    ExactBitmap got(64, 40), want(64, 40);
    PX_DrawText(&got, 3, 2, c.text, kInk, 1.0f, PX_MODE_COPY);
    size_t n = 0;
    for (const char* p = c.text; *p; ++p)
      if ((unsigned char)*p >= 33 && (unsigned char)*p < 128)
        PX_DrawChar(&want, 3 + c.cells[n].first, 2 + c.cells[n].second, *p, kInk, 1.0f, 0), ++n;
    EXPECT_EQ(n, c.cells.size()) << c.text;
    EXPECT_EQ(Pixels(got), Pixels(want)) << c.text;
  }
  // Pens far outside move on without drawing or overflowing; cells partly inside are clipped.
  ExactBitmap bm(16, 16), want(16, 16);
  PX_DrawText(&bm, INT_MAX - 4, INT_MAX - 4, "AAAA\nAAAA", kInk, 1.0f, 0);
  PX_DrawText(&bm, -12, 0, "ABC", kInk, 1.0f, 0);
  PX_DrawChar(&want, -4, 0, 'B', kInk, 1.0f, 0);
  PX_DrawChar(&want, 4, 0, 'C', kInk, 1.0f, 0);
  EXPECT_EQ(Pixels(bm), Pixels(want));
  PX_DrawText(nullptr, 0, 0, "A", kInk, 1.0f, 0);
  PX_DrawText(&bm, 0, 0, nullptr, kInk, 1.0f, 0);
}

TEST(DefaultFont, MeasuresLinesThatHoldACharacter)
{
  const struct
  {
    const char* text;
    int w, h;
  } cases[] = {
    {"", 0, 0},        {"A", 8, 8},          {"\t", 40, 8},   {"A\n", 8, 8},
    {"AB\nC", 16, 16}, {"A\n\nBCD", 24, 24}, {"\r\r", 0, 0},  {"AB\r", 16, 8},
    {" ", 8, 8},       {"\x80\xFF", 16, 8},  {"A\tB", 56, 8}, {"\nA", 8, 16},
  };
  for (const auto& c : cases)
  {
    int w = -1, h = -1;
    PX_MeasureText(c.text, &w, &h);
    EXPECT_EQ(w, c.w) << '"' << c.text << '"';
    EXPECT_EQ(h, c.h) << '"' << c.text << '"';
  }
  int w = -1;
  PX_MeasureText("ABC", &w, nullptr);
  EXPECT_EQ(w, 24);
  PX_MeasureText(nullptr, &w, nullptr);
  EXPECT_EQ(w, 0);
}

}  // namespace
