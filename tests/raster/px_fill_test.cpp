// Fills, gradients, per-pixel operations, pixel access and glyphs: per-pixel results and inputs
// that must draw nothing.
#include "raster/px.h"
#include "raster/px_combine.h"
#include "tests/support/raster_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

PX_pixel Mix4(PX_pixel d, PX_pixel c, int w)
{
  switch (w)
  {
    case 256:
      return c;
    case 128:
      return ((d >> 1) & 0x7F7F7F7Fu) + ((c >> 1) & 0x7F7F7F7Fu);
    case 64:
      return ((d >> 1) & 0x7F7F7F7Fu) + ((d >> 2) & 0x3F3F3F3Fu) + ((c >> 2) & 0x3F3F3F3Fu);
    default:
      return ((d >> 2) & 0x3F3F3F3Fu) + ((c >> 1) & 0x7F7F7F7Fu) + ((c >> 2) & 0x3F3F3F3Fu);
  }
}

// A solid fill (and a single put pixel) gives every pixel the combiner of its operation byte, with
// the weight as the source alpha; copy mode at the four exact weights mixes whole words.
TEST(Fill, EveryPixelIsTheCombinerOrWordMixOfItsWeight)
{
  const PX_pixel color = 0x80C8641Eu;
  const struct
  {
    int mode;
    float alpha;
  } cases[] = {{PX_MODE_COPY, 1.0f},         {PX_MODE_COPY, 0.5f},
               {PX_MODE_COPY, 0.25f},        {PX_MODE_COPY, 0.75f},
               {PX_MODE_COPY, 0.9f},         {PX_MODE_COPY, -0.3f},
               {PX_MODE_ADD, 0.6f},          {PX_MODE_ADD, -1.0f},
               {PX_MODE_COLORDODGE, 0.8f},   {PX_MODE_MUL, 0.7f},
               {PX_MODE_OVERLAY, 1.0f},      {PX_MODE_HSVADJUST, 0.5f},
               {PX_MODE_SOURCEALPHA, 1.0f},  {PX_MODE_SOURCEALPHA | PX_MODE_ADD, 0.8f},
               {PX_MODE_COPY | 0x100, 0.3f}, {7, 1.0f},
               {PX_MODE_ADD, NAN},           {PX_MODE_ADD, 1e30f}};
  for (const auto& c : cases)
  {
    float alpha = c.alpha;
    if (c.mode & PX_MODE_SOURCEALPHA)
      alpha *= (float)(color >> 24) / 255.0f;
    const bool usable = std::isfinite(alpha) && std::fabs(alpha) < 1000.0f;
    const int w = usable ? (int)(alpha * 256.0f) : 0;
    const int op = c.mode & 0xFF;

    ExactBitmap fill(16, 16), put(16, 16);
    for (int i = 0; i < 256; ++i)
      fill.getBits()[i] = put.getBits()[i] = 0x01010101u * (PX_pixel)i;
    PX_FillRect(&fill, 0, 0, 16, 16, color, c.alpha, c.mode);
    for (int i = 0; i < 256; ++i)
      PX_PutPixel(&put, i % 16, i / 16, color, alpha, c.mode);

    for (int i = 0; i < 256; ++i)
    {
      const PX_pixel d = 0x01010101u * (PX_pixel)i;
      PX_pixel fillWant = d, putWant = d;
      if (op == 0 && (w == 256 || w == 128 || w == 64 || w == 192))
      {
        fillWant = putWant = Mix4(d, color, w);
      }
      else if (w != 0 && op <= 5 && !(op == 0 && w < 0))
      {
        PX_CombinePixels2(&fillWant, PX_GETR(color), PX_GETG(color), PX_GETB(color), w, w, op);
        PX_CombinePixels2(&putWant, PX_GETR(color), PX_GETG(color), PX_GETB(color), PX_GETA(color),
                          w, op);
      }
      ASSERT_EQ(fill.getBits()[i], fillWant)
        << "fill mode 0x" << std::hex << c.mode << " alpha " << c.alpha << " d " << d;
      ASSERT_EQ(put.getBits()[i], putWant)
        << "put mode 0x" << std::hex << c.mode << " alpha " << c.alpha << " d " << d;
    }
  }
}

TEST(Fill, KnownResults)
{
  struct Case
  {
    const char* name;
    PX_pixel dst, color;
    float alpha;
    int mode;
    PX_pixel want;
  } cases[] = {
    {"clobber writes the colour's alpha", 0xFFFFFFFFu, 0x11223344u, 1.0f, 0, 0x11223344u},
    {"0.9 blends alpha toward the weight", 0x00000000u, 0x00FFFFFFu, 0.9f, 0, 0xCFE6E6E6u},
    {"source alpha 0x80 takes the half lane", 0x00000000u, 0x80FEFEFEu, 1.0f, PX_MODE_SOURCEALPHA,
     0x407F7F7Fu},
    {"half white over black", 0x00000000u, 0xFFFFFFFFu, 0.5f, 0, 0x7F7F7F7Fu},
  };
  for (const auto& c : cases)
  {
    ExactBitmap bm(3, 2);
    for (int i = 0; i < 6; ++i)
      bm.getBits()[i] = c.dst;
    PX_FillRect(&bm, 0, 0, 3, 2, c.color, c.alpha, c.mode);
    EXPECT_EQ(bm.getBits()[4], c.want) << c.name;
  }
  // x = -10, w = 15 fills columns 0..4.
  ExactBitmap bm(8, 1);
  PX_FillRect(&bm, -10, 0, 15, 1, 0xFFFFFFFFu, 1.0f, 0);
  EXPECT_EQ(Pixels(bm), (std::vector<PX_pixel>{~0u, ~0u, ~0u, ~0u, ~0u, 0, 0, 0}));
  // Sums of caller coordinates never overflow.
  PX_FillRect(&bm, INT32_MAX, 0, INT32_MAX, 1, 0xFFFFFFFFu, 1.0f, 0);
  PX_FillRect(&bm, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0xFFFFFFFFu, 1.0f, 0);
  PX_FillRect(nullptr, 0, 0, 1, 1, 0, 1.0f, 0);
}

// Each gradient pixel is its 16.16 value truncated, with alpha also as the weight, through the
// saturating combiner of its mode.
TEST(GradRect, PixelsFollowTheFixedPointValues)
{
  const struct
  {
    float ia, dadx, dady;
    int mode;
  } cases[] = {{1.0f, 0, 0, PX_MODE_COPY},      {0.5f, 0.01f, 0.02f, PX_MODE_COPY},
               {1.0f, 0.03f, 0, PX_MODE_ADD},   {0.7f, 0, -0.05f, PX_MODE_MUL},
               {0.9f, 0, 0, PX_MODE_OVERLAY},   {0.6f, 0, 0, PX_MODE_COLORDODGE},
               {0.8f, 0, 0, PX_MODE_HSVADJUST}, {1.0f, 0, 0, 9}};
  const float ir = -0.2f, ig = 0.4f, ib = 1.1f, drdx = 0.1f, dgdx = -0.03f, dbdx = 0.02f,
              drdy = 0.05f, dgdy = 0.04f, dbdy = -0.09f;
  for (const auto& c : cases)
  {
    ExactBitmap bm(12, 9);
    FillPattern(bm, 17);
    ExactBitmap before(12, 9);
    CopyPixels(before, bm);
    PX_GradRect(&bm, 0, 0, 12, 9, ir, ig, ib, c.ia, drdx, dgdx, dbdx, c.dadx, drdy, dgdy, dbdy,
                c.dady, c.mode);
    const auto fx = [](float v) { return (long long)(int)(v * 65536.0); };
    const long long r0 = fx(ir * 255.0f), g0 = fx(ig * 255.0f), b0 = fx(ib * 255.0f),
                    a0 = fx(c.ia * 256.0f);
    const long long rx = fx(drdx * 255.0f), gx = fx(dgdx * 255.0f), bx = fx(dbdx * 255.0f),
                    ax = fx(c.dadx * 256.0f);
    const long long ry = fx(drdy * 255.0f), gy = fx(dgdy * 255.0f), by = fx(dbdy * 255.0f),
                    ay = fx(c.dady * 256.0f);
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 12; ++x)
      {
        const int r = (int)((r0 + x * rx + y * ry) / 65536),
                  g = (int)((g0 + x * gx + y * gy) / 65536);
        const int b = (int)((b0 + x * bx + y * by) / 65536),
                  a = (int)((a0 + x * ax + y * ay) / 65536);
        PX_pixel want = Px(before, x, y);
        if ((c.mode & 0xFF) <= 5)
          PX_CombinePixels2Clamp(&want, r, g, b, a, a, c.mode & 0xFF);
        if (c.mode == 0 && c.ia == 1.0f)
          want |= 0xFF000000u;  // the clobber lane writes 255
        ASSERT_EQ(Px(bm, x, y), want) << "mode " << c.mode << " at " << x << "," << y;
      }
  }
}

TEST(GradRect, ValuesThatWouldNotFitFixedPointDrawNothing)
{
  const float big = 1e6f, inf = INFINITY, nan = NAN;
  const struct
  {
    float ir, drdx, dady;
    int w;
  } cases[] = {
    {big, 0, 0, 4}, {0, big, 0, 4},      {nan, 0, 0, 4}, {0, inf, 0, 4},
    {0, 0, nan, 4}, {0, 20.0f, 0, 32767}};  // 20 * 255 per pixel: fits at the start, not at the end
  for (const auto& c : cases)
  {
    ExactBitmap bm(c.w, 2);
    PX_GradRect(&bm, 0, 0, c.w, 2, c.ir, 0, 0, 1.0f, c.drdx, 0, 0, 0, 0, 0, 0, c.dady, 0);
    EXPECT_EQ(Pixels(bm), std::vector<PX_pixel>((size_t)c.w * 2, 0u)) << c.ir << " " << c.drdx;
  }
}

TEST(PixelOps, MultiplyAddColorMaskAndClear)
{
  ExactBitmap bm(4, 1);
  const PX_pixel start[4] = {0xFFC80000u, 0x00FF00FFu, 0x40FF00FFu, 0x12345678u};
  for (int i = 0; i < 4; ++i)
    bm.getBits()[i] = start[i];
  PX_MultiplyAddRect(&bm, 0, 0, 4, 1, 1.0f, 1.0f, 1.0f, 1.0f, 0, 0, 0, 0);
  EXPECT_EQ(Pixels(bm), std::vector<PX_pixel>(start, start + 4));
  PX_MultiplyAddRect(&bm, 0, 0, 1, 1, 2.0f, 1.0f, 1.0f, 0.5f, 0, 0, 10.0f, 0);
  EXPECT_EQ(bm.getBits()[0], 0x7FFF000Au);
  // Scales far beyond the channel range saturate instead of overflowing.
  PX_MultiplyAddRect(&bm, 0, 0, 4, 1, 8e6f, -8e6f, 0, 1.0f, 0, 0, 0, 0);
  EXPECT_EQ(bm.getBits()[3], 0x12FF0000u);
  PX_MultiplyAddRect(&bm, 0, 0, 4, 1, NAN, 1, 1, 1, 0, 0, 0, 0);  // not representable: nothing

  for (int i = 0; i < 4; ++i)
    bm.getBits()[i] = start[i];
  PX_SetAlphaFromColorMask(&bm, 0xFF00FF);
  EXPECT_EQ(Pixels(bm),
            (std::vector<PX_pixel>{0xFFC80000u, 0x00FF00FFu, 0x00FF00FFu, 0xFF345678u}));
  PX_SetAlphaFromColorMask(&bm, 0xFFFF00FFu);
  EXPECT_EQ(bm.getBits()[1], 0xFFFF00FFu);

  PX_ClearRect(&bm, 1, 0, 2, 1, 0x0000FFFFu, 0xAB000000u);
  EXPECT_EQ(Pixels(bm),
            (std::vector<PX_pixel>{0xFFC80000u, 0xAB0000FFu, 0xAB0000FFu, 0xFF345678u}));
  PX_Clear(&bm, 0x01020304u);
  EXPECT_EQ(Pixels(bm), std::vector<PX_pixel>(4, 0x01020304u));

  int calls = 0;
  PX_ProcessRect(
    &bm, -1, 0, 3, 5, [](PX_pixel* p, void* n) { *p = 7, ++*(int*)n; }, &calls);
  EXPECT_EQ(calls, 2);
  PX_ProcessRect(&bm, 0, 0, 4, 1, nullptr, nullptr);
  EXPECT_EQ(Pixels(bm), (std::vector<PX_pixel>{7, 7, 0x01020304u, 0x01020304u}));
}

TEST(SimpleFill, FillsRunsConnectedToTheSeedColumn)
{
  // '.' matches the seed, '#' does not; filled pixels become 'o'.
  struct Case
  {
    const char* name;
    int x, y;
    std::vector<const char*> before, after;
  } cases[] = {
    {"uniform fills all", 1, 1, {"...", "...", "..."}, {"ooo", "ooo", "ooo"}},
    {"blocked column stops the pass",
     1,
     0,
     {"...", "...", ".#.", "..."},
     {"ooo", "ooo", ".#.", "..."}},
    {"runs stop at walls", 2, 0, {"#..#.", "#...#", ".#..#"}, {"#oo#.", "#ooo#", ".#oo#"}},
    {"upward pass", 0, 2, {"..", "#.", ".."}, {"..", "#.", "oo"}},
  };
  for (const auto& c : cases)
  {
    const int h = (int)c.before.size(), w = (int)std::string(c.before[0]).size();
    ExactBitmap bm(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        bm.getBits()[y * w + x] = c.before[y][x] == '#' ? 0xFF000000u : 0xFF00FF00u;
    PX_SimpleFill(&bm, c.x, c.y, 0x000000AAu, 0x00FFFFFFu, 0xFF000000u);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
      {
        const PX_pixel want = c.after[y][x] == '#'   ? 0xFF000000u
                              : c.after[y][x] == 'o' ? 0xFF0000AAu
                                                     : 0xFF00FF00u;
        EXPECT_EQ(bm.getBits()[y * w + x], want) << c.name << " at " << x << "," << y;
      }
  }
  ExactBitmap bm(2, 2);
  PX_SimpleFill(&bm, 2, 0, 1, ~0u, 0);
  PX_SimpleFill(&bm, 0, -1, 1, ~0u, 0);
  PX_SimpleFill(nullptr, 0, 0, 1, ~0u, 0);
  EXPECT_EQ(Pixels(bm), std::vector<PX_pixel>(4, 0u));
}

TEST(PixelOps, GetPixelAnswersZeroOutsideTheBitmap)
{
  ExactBitmap bm(3, 2);
  for (int i = 0; i < 6; ++i)
    bm.getBits()[i] = 0x100u + (PX_pixel)i;
  FlippedBitmap fl(3, 2);
  CopyPixels(fl, bm);
  const struct
  {
    int x, y;
    PX_pixel want;
  } cases[] = {{0, 0, 0x100}, {2, 1, 0x105}, {-1, 0, 0},       {3, 0, 0},
               {0, 2, 0},     {0, -1, 0},    {INT32_MIN, 0, 0}};
  for (const auto& c : cases)
  {
    EXPECT_EQ(PX_GetPixel(&bm, c.x, c.y), c.want) << c.x << "," << c.y;
    EXPECT_EQ(PX_GetPixel(&fl, c.x, c.y), c.want) << "flipped " << c.x << "," << c.y;
  }
  PX_MemBitmap empty;
  EXPECT_EQ(PX_GetPixel(&empty, 0, 0), 0u);
  EXPECT_EQ(PX_GetPixel(nullptr, 0, 0), 0u);
  PX_PutPixel(nullptr, 0, 0, 1, 1.0f, 0);
  PX_PutPixel(&bm, 3, 0, 1, 1.0f, 0);
  PX_PutPixel(&bm, 0, 0, 1, NAN, 0);
  EXPECT_EQ(bm.getBits()[0], 0x100u);
}

TEST(DrawGlyph, CoverageScalesTheWeight)
{
  // 4 x 4 mask at x = -2: its two right columns land at columns 0 and 1.
  const PX_pixel_chan mask[16] = {0, 0, 255, 128, 0, 0, 0, 64, 0, 0, 255, 255, 9, 9, 1, 0};
  ExactBitmap bm(3, 4);
  PX_DrawGlyph(&bm, -2, 0, 0xFFFFFFFFu, mask, 4, 4, 1.0f, PX_MODE_COPY);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 3; ++x)
    {
      const int v = x < 2 ? mask[y * 4 + x + 2] : 0;
      PX_pixel want = 0;
      if (v)
        want = PX_CombinePixels(0, 0xFFFFFFFFu, v / 256.0f, PX_MODE_COPY);
      EXPECT_EQ(Px(bm, x, y), want) << x << "," << y;
    }
  // A mask byte of 255 at full weight gives the combiner 255, not 256.
  ExactBitmap one(1, 1);
  PX_DrawGlyph(&one, 0, 0, 0xFFFFFFFFu, mask + 2, 1, 1, 1.0f, PX_MODE_ADD);
  EXPECT_EQ(one.getBits()[0], 0xFEFEFEFEu);
  PX_DrawGlyph(&bm, 0, 0, 0xFFFFFFFFu, nullptr, 4, 4, 1.0f, 0);
  PX_DrawGlyph(&bm, 0, 0, 0xFFFFFFFFu, mask, -4, 4, 1.0f, 0);
  PX_DrawGlyph(&bm, INT32_MIN, INT32_MIN, 0xFFFFFFFFu, mask, INT32_MAX, INT32_MAX, 1.0f, 0);
  PX_DrawGlyph(&bm, 0, 0, 0xFFFFFFFFu, mask, 4, 4, INFINITY, PX_MODE_ADD);
}

}  // namespace
