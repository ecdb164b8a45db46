// Scaled and rotated blits: sampling choices, mirroring, clipping that keeps the mapping, source
// rectangles that never bleed, storage-independent results, and refusal of unusable arguments.
#include "raster/px_scaled.h"

#include "tests/support/raster_test_util.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <utility>

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();
const float kPi = 3.14159265358979f;

void fillNoise(PX_IBitmap* bm, uint32_t seed, PX_pixel mask = 0xFFFFFFFF)
{
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
    {
      seed = seed * 1664525u + 1013904223u;
      bm->getBits()[y * bm->getRowSpan() + x] = (seed ^ (seed >> 13)) & mask;
    }
}

void fill(PX_IBitmap* bm, PX_pixel c)
{
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      bm->getBits()[y * bm->getRowSpan() + x] = c;
}

// Channel-wise truncated average of the w x h source block at (x, y).
PX_pixel average(PX_IBitmap* src, int x, int y, int w, int h)
{
  int sum[4] = {0, 0, 0, 0};
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i)
      for (int c = 0; c < 4; ++c)
        sum[c] += (Px(*src, i, j) >> (8 * c)) & 0xFF;
  PX_pixel p = 0;
  for (int c = 0; c < 4; ++c)
    p |= (PX_pixel)(sum[c] / (w * h)) << (8 * c);
  return p;
}

typedef std::function<void(PX_IBitmap* dest, PX_IBitmap* src)> Draw;

}  // namespace

TEST(ScaledBlit, SameSizeCopiesFromTheRoundedPositionUnlessFilteringAFraction)
{
  PX_MemBitmap src(30, 4, 4);
  fillNoise(&src, 1);
  struct Case
  {
    const char* name;
    float srcx;
    int mode;
    int column;  // source column copied to destination column 0, or -1 when filtered
  };
  const Case cases[] = {
    {"3.4 without filter", 3.4f, PX_MODE_COPY, 3},
    {"-0.7 rounds to column 0", -0.7f, PX_MODE_COPY, 0},
    {"3.02 is whole enough to skip the filter", 3.02f, PX_FILTER_BILINEAR, 3},
    {"3.4 with the filter scales", 3.4f, PX_FILTER_BILINEAR, -1},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    PX_MemBitmap dest(20, 4, 4);
    fill(&dest, 0);
    PX_ScaledBlit(&dest, &src, 0, 0, 20, 4, c.srcx, 0.0f, 20.0f, 4.0f, 1.0f, c.mode);
    if (c.column >= 0)
    {
      for (int x = 0; x < 20; ++x)
        EXPECT_EQ(Px(dest, x, 1), Px(src, c.column + x, 1)) << x;
    }
    else
    {
      // 0.4 of the way from column 3 to 4 (16.16 fraction of the truncated position).
      const int frac = (int)(3.4f * 65536.0) & 0xFFFF;
      const int g3 = PX_GETG(Px(src, 3, 0)), g4 = PX_GETG(Px(src, 4, 0));
      EXPECT_EQ(PX_GETG(Px(dest, 0, 0)), (g3 * (65536 - frac) + g4 * frac) / 65536);
    }
  }
}

TEST(ScaledBlit, NegativeDestinationWidthWalksTheSourceBackwards)
{
  PX_MemBitmap src(50, 2, 4);
  fillNoise(&src, 2);
  PX_MemBitmap dest(120, 2, 4);
  fill(&dest, 0x01020304);
  PX_ScaledBlit(&dest, &src, 100, 0, -50, 2, 0.0f, 0.0f, 50.0f, 2.0f, 1.0f, PX_MODE_COPY);
  // Columns 50..99; the walk starts at the rectangle's right edge (outside it) and falls by one.
  EXPECT_EQ(Px(dest, 49, 0), 0x01020304u);
  EXPECT_EQ(Px(dest, 50, 0), 0x01020304u);
  for (int x = 51; x < 100; ++x)
    EXPECT_EQ(Px(dest, x, 0), Px(src, 100 - x, 0)) << x;
  EXPECT_EQ(Px(dest, 100, 0), 0x01020304u);
}

TEST(ScaledBlit, ReductionsAverageOnlyWhenFilteringByAtLeast1Point7)
{
  PX_MemBitmap src(60, 60, 4);
  fillNoise(&src, 3);
  struct Case
  {
    const char* name;
    float factor;
    int mode;
    int dx, dy;          // destination pixel checked
    int bx, by, bw, bh;  // its expected source block (averaged)
  };
  const Case cases[] = {
    {"2:1 averages 3 x 3", 2.0f, PX_FILTER_BILINEAR, 5, 5, 9, 9, 3, 3},
    {"3:1 (step 0x30000) still 3 x 3", 3.0f, PX_FILTER_BILINEAR, 3, 4, 8, 11, 3, 3},
    {"4:1 averages 5 x 5", 4.0f, PX_FILTER_BILINEAR, 3, 3, 10, 10, 5, 5},
    {"1.5:1 interpolates between 2 x 2", 1.5f, PX_FILTER_BILINEAR, 1, 1, 1, 1, 2, 2},
    {"2:1 without filter picks one pixel", 2.0f, PX_MODE_COPY, 5, 5, 10, 10, 1, 1},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    PX_MemBitmap dest(40, 40, 4);
    fill(&dest, 0);
    const int n = (int)(60 / c.factor);
    PX_ScaledBlit(&dest, &src, 0, 0, n, n, 0.0f, 0.0f, 60.0f, 60.0f, 1.0f, c.mode);
    EXPECT_EQ(Px(dest, c.dx, c.dy), average(&src, c.bx, c.by, c.bw, c.bh));
  }
}

// Clipping at the canvas edges keeps the mapping of what remains: drawing partly off a canvas
// gives the crop of the same drawing on a larger canvas. Steps and positions are exact in 16.16.
TEST(ScaledBlit, PartlyOffCanvasEqualsTheCropOfALargerCanvas)
{
  PX_MemBitmap src(24, 20, 4);
  fillNoise(&src, 4);
  struct Case
  {
    const char* name;
    int dstx, dsty, dstw, dsth;
    float srcx, srcy, srcw, srch, alpha;
    int mode;
    bool rotated;
  };
  const Case cases[] = {
    {"bilinear 2x up, left and top off", -7, -5, 24, 20, 2.0f, 3.0f, 12.0f, 10.0f, 1.0f,
     PX_FILTER_BILINEAR, false},
    {"bilinear 2x up, right and bottom off", 6, 3, 24, 20, 2.5f, 3.0f, 12.0f, 10.0f, 1.0f,
     PX_FILTER_BILINEAR, false},
    {"averaging 2:1, left off", -3, 1, 10, 8, 2.0f, 2.0f, 20.0f, 16.0f, 1.0f, PX_FILTER_BILINEAR,
     false},
    {"averaging 4:1, top off", 2, -2, 5, 5, 2.0f, 0.0f, 20.0f, 20.0f, 1.0f, PX_FILTER_BILINEAR,
     false},
    {"nearest 0.5 steps, all sides off", -4, -4, 24, 20, 1.0f, 1.0f, 12.0f, 10.0f, 0.5f,
     PX_MODE_COPY, false},
    {"nearest, add mode", -5, -1, 20, 16, 0.0f, 0.0f, 10.0f, 16.0f, 0.75f, PX_MODE_ADD, false},
    {"mirrored bilinear, left off", 10, -3, -20, 16, 1.0f, 1.0f, 10.0f, 8.0f, 1.0f,
     PX_FILTER_BILINEAR | PX_MODE_SOURCEALPHA, false},
    {"rotated by 0, bilinear, left off", -6, -3, 24, 20, 1.5f, 2.0f, 12.0f, 10.0f, 1.0f,
     PX_FILTER_BILINEAR, true},
    {"rotated by 0, nearest, right off", 5, 4, 24, 20, 0.0f, 0.0f, 24.0f, 20.0f, 0.5f, PX_MODE_COPY,
     true},
  };
  const int W = 16, H = 12, M = 12;
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    PX_MemBitmap small(W, H, 4), large(W + 2 * M, H + 2 * M, 4);
    fill(&small, 0x80402010);
    fill(&large, 0x80402010);
    auto draw = [&](PX_IBitmap* dest, int ox) {
      if (c.rotated)
        PX_RotatedBlit(dest, &src, c.dstx + ox, c.dsty + ox, c.dstw, c.dsth, c.srcx, c.srcy, c.srcw,
                       c.srch, 0.0f, true, c.alpha, c.mode);
      else
        PX_ScaledBlit(dest, &src, c.dstx + ox, c.dsty + ox, c.dstw, c.dsth, c.srcx, c.srcy, c.srcw,
                      c.srch, c.alpha, c.mode);
    };
    draw(&small, 0);
    draw(&large, M);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        ASSERT_EQ(Px(small, x, y), Px(large, x + M, y + M)) << "at " << x << "," << y;
  }
}

// One frame of a filmstrip, surrounded by sentinel pixels whose green channel is 255 while the
// frame's is 0: any sample taken outside the frame turns green up in the destination.
TEST(ScaledBlit, FilmstripFramesNeverBleed)
{
  const int FX = 3, FY = 10, FW = 12, FH = 10;
  PX_MemBitmap strip(FW + 2 * FX, 3 * FH, 4);
  fill(&strip, 0xFF00FF00);
  PX_MemBitmap frame(FW, FH, 4);
  fillNoise(&frame, 5, 0xFFFF00FF);
  for (int y = 0; y < FH; ++y)
    for (int x = 0; x < FW; ++x)
      Px(strip, FX + x, FY + y) = Px(frame, x, y);

  struct Case
  {
    const char* name;
    int dstx, dsty, dstw, dsth;
    int mode;
    float alpha, angle;  // a non-zero angle draws rotated, clipped to the frame
  };
  const Case cases[] = {
    {"bilinear 2.5x up", 0, 0, 30, 25, PX_FILTER_BILINEAR, 1.0f, 0.0f},
    {"bilinear 2.5x up, left and top clipped", -7, -6, 30, 25, PX_FILTER_BILINEAR, 1.0f, 0.0f},
    {"bilinear 1.5x up, clipped, half alpha", -5, -4, 18, 15, PX_FILTER_BILINEAR, 0.5f, 0.0f},
    {"bilinear 1.25:1 down, clipped", -2, -3, 10, 8, PX_FILTER_BILINEAR, 1.0f, 0.0f},
    {"averaging 2:1", 1, 1, 6, 5, PX_FILTER_BILINEAR, 1.0f, 0.0f},
    {"averaging 2:1, left and top clipped", -2, -2, 6, 5, PX_FILTER_BILINEAR, 1.0f, 0.0f},
    {"averaging 4:1", 0, 0, 3, 2, PX_FILTER_BILINEAR | PX_MODE_SOURCEALPHA, 0.7f, 0.0f},
    {"nearest 3x up, clipped, add", -9, -9, 36, 30, PX_MODE_ADD, 1.0f, 0.0f},
    {"mirrored bilinear", 30, 25, -30, -25, PX_FILTER_BILINEAR, 1.0f, 0.0f},
    {"mirrored bilinear, clipped", 20, 15, -30, -25, PX_FILTER_BILINEAR, 1.0f, 0.0f},
    {"rotated 0.5, bilinear", 0, 0, 24, 20, PX_FILTER_BILINEAR, 1.0f, 0.5f},
    {"rotated -2.2, clipped", -6, -5, 24, 20, PX_FILTER_BILINEAR, 1.0f, -2.2f},
    {"rotated 1.0, nearest", 0, 0, 12, 10, PX_MODE_COPY, 0.6f, 1.0f},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    PX_MemBitmap dest(24, 20, 4);
    fill(&dest, 0);
    if (c.angle != 0.0f)
      PX_RotatedBlit(&dest, &strip, c.dstx, c.dsty, c.dstw, c.dsth, FX, FY, FW, FH, c.angle, true,
                     c.alpha, c.mode);
    else
      PX_ScaledBlit(&dest, &strip, c.dstx, c.dsty, c.dstw, c.dsth, FX, FY, FW, FH, c.alpha, c.mode);
    int drawn = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 24; ++x)
      {
        ASSERT_EQ(PX_GETG(Px(dest, x, y)), 0) << "at " << x << "," << y;
        drawn += Px(dest, x, y) != 0;
      }
    EXPECT_GT(drawn, 0);
  }
}

// Storage is invisible: bottom-up bitmaps and rows exactly the width give the same logical picture
// as the default heap bitmap, as source and as destination.
TEST(ScaledBlit, SamePictureWhateverTheRowStorage)
{
  const struct
  {
    const char* name;
    Draw draw;
  } draws[] = {
    {"bilinear up",
     [](PX_IBitmap* d, PX_IBitmap* s) {
       PX_ScaledBlit(d, s, -2, 1, 20, 17, 0.5f, 1.25f, 9.0f, 7.5f, 1.0f, PX_FILTER_BILINEAR);
     }},
    {"averaging down",
     [](PX_IBitmap* d, PX_IBitmap* s) {
       PX_ScaledBlit(d, s, 1, -1, 4, 3, 1.0f, 2.0f, 11.0f, 9.0f, 0.8f, PX_FILTER_BILINEAR);
     }},
    {"nearest FAST lane",
     [](PX_IBitmap* d, PX_IBitmap* s) {
       PX_ScaledBlit(d, s, 0, 0, 15, 13, 0.0f, 0.0f, 13.0f, 11.0f, 0.5f, PX_MODE_COPY);
     }},
    {"same size",
     [](PX_IBitmap* d, PX_IBitmap* s) {
       PX_ScaledBlit(d, s, 2, 3, 8, 6, 1.0f, 2.0f, 8.0f, 6.0f, 1.0f, PX_MODE_ADD);
     }},
    {"rotated",
     [](PX_IBitmap* d, PX_IBitmap* s) {
       PX_RotatedBlit(d, s, 0, 0, 15, 13, 1.0f, 1.0f, 11.0f, 9.0f, 0.7f, false, 1.0f,
                      PX_FILTER_BILINEAR, 0.5f, -1.0f);
     }},
  };
  PX_MemBitmap plainSrc(13, 11, 4);
  fillNoise(&plainSrc, 6);
  for (const auto& d : draws)
  {
    SCOPED_TRACE(d.name);
    PX_MemBitmap refDest(15, 13, 4);
    fill(&refDest, 0x11223344);
    d.draw(&refDest, &plainSrc);
    const std::vector<PX_pixel> expected = Pixels(refDest);

    std::unique_ptr<PX_IBitmap> kinds[][2] = {
      {std::make_unique<FlippedBitmap>(13, 11), std::make_unique<PX_MemBitmap>(15, 13, 4)},
      {std::make_unique<PX_MemBitmap>(13, 11, 4), std::make_unique<FlippedBitmap>(15, 13)},
      {std::make_unique<FlippedBitmap>(13, 11), std::make_unique<FlippedBitmap>(15, 13)},
      {std::make_unique<PX_MemBitmap>(13, 11, 1), std::make_unique<PX_MemBitmap>(15, 13, 1)},
    };
    for (auto& k : kinds)
    {
      CopyPixels(*k[0], plainSrc);
      fill(k[1].get(), 0x11223344);
      d.draw(k[1].get(), k[0].get());
      EXPECT_EQ(Pixels(*k[1]), expected);
    }
  }
}

// A request that runs past the source's right or bottom edge still draws the destination pixels
// that sample the source's last column and row.
TEST(ScaledBlit, WalkPastTheSourceEdgeDrawsUpToItsLastPixel)
{
  PX_MemBitmap src(10, 6, 4);
  fillNoise(&src, 7);
  for (int mode : {PX_MODE_COPY, PX_MODE_ADD, PX_FILTER_BILINEAR})
  {
    SCOPED_TRACE(mode);
    PX_MemBitmap dest(40, 24, 4);
    fill(&dest, 0);
    // Step 0.5: destination column k samples source column k / 2.
    PX_ScaledBlit(&dest, &src, 0, 0, 40, 24, 0.0f, 0.0f, 20.0f, 12.0f, 1.0f, mode);
    EXPECT_NE(Px(dest, 19, 0), 0u);
    EXPECT_NE(Px(dest, 0, 11), 0u);
    EXPECT_NE(Px(dest, 19, 11), 0u);
    EXPECT_EQ(Px(dest, 20, 0), 0u);
    EXPECT_EQ(Px(dest, 0, 12), 0u);
    if (mode == PX_MODE_COPY)
    {
      EXPECT_EQ(Px(dest, 18, 3), Px(src, 9, 1));
      EXPECT_EQ(Px(dest, 19, 11), Px(src, 9, 5));
    }
  }
}

TEST(ScaledBlit, UnusableArgumentsDrawNothing)
{
  struct Case
  {
    const char* name;
    bool rotated;
    int dstx, dsty, dstw, dsth;
    float srcx, srcy, srcw, srch, alpha;
    int mode;
    float angle, rotycent;
  };
  const Case cases[] = {
    {"NaN alpha", false, 0, 0, 7, 7, 0, 0, 4, 4, kNaN, 0, 0, 0},
    {"infinite alpha", false, 0, 0, 7, 7, 0, 0, 4, 4, kInf, PX_MODE_ADD, 0, 0},
    {"zero alpha", false, 0, 0, 7, 7, 0, 0, 4, 4, 0.0f, PX_MODE_ADD, 0, 0},
    {"NaN position", false, 0, 0, 7, 7, kNaN, 0, 4, 4, 1, 0, 0, 0},
    {"infinite size", false, 0, 0, 7, 7, 0, 0, kInf, 4, 1, 0, 0, 0},
    {"position beyond 16.16", false, 0, 0, 7, 7, -1e6f, 0, 4, 4, 1, PX_FILTER_BILINEAR, 0, 0},
    {"step beyond 16.16", false, 0, 0, 7, 7, 0, 0, 3e38f, 4, 1, 0, 0, 0},
    {"left clip beyond float", false, INT_MIN, 0, INT_MAX, 7, 0, 0, 3e38f, 4, 1, 0, 0, 0},
    {"most negative width", false, INT_MAX, 0, INT_MIN, 7, 0, 0, 4, 4, 1, 0, 0, 0},
    {"same size beyond int", false, 0, 0, 4, 4, 3e9f, 0, 4, 4, 1, 0, 0, 0},
    {"operation outside the table", false, 0, 0, 7, 7, 0, 0, 4, 4, 1, 6, 0, 0},
    {"rotated, NaN angle", true, 0, 0, 7, 7, 0, 0, 4, 4, 1, 0, kNaN, 0},
    {"rotated, infinite angle", true, 0, 0, 7, 7, 0, 0, 4, 4, 1, 0, -kInf, 0},
    {"rotated, NaN centre offset", true, 0, 0, 7, 7, 0, 0, 4, 4, 1, 0, 0.3f, kNaN},
    {"rotated, NaN alpha", true, 0, 0, 7, 7, 0, 0, 4, 4, kNaN, 0, 0.3f, 0},
    {"rotated, step beyond 16.16", true, 0, 0, 7, 7, 0, 0, 1e30f, 4, 1, 0, 0.3f, 0},
    {"rotated, centre beyond float", true, 0, 0, INT_MAX, 7, 0, 0, 3e38f, 4, 1, 0, 0, FLT_MAX},
    {"rotated, most negative size", true, INT_MAX, INT_MAX, INT_MIN, INT_MIN, 0, 0, 4, 4, 1, 0, 1,
     0},
  };
  PX_MemBitmap src(4, 4, 4), empty(0, 0, 4);
  fill(&src, 0xFFFFFFFF);
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    auto draw = [&](PX_IBitmap* d, PX_IBitmap* s) {
      if (c.rotated)
        PX_RotatedBlit(d, s, c.dstx, c.dsty, c.dstw, c.dsth, c.srcx, c.srcy, c.srcw, c.srch,
                       c.angle, false, c.alpha, c.mode, 0.0f, c.rotycent);
      else
        PX_ScaledBlit(d, s, c.dstx, c.dsty, c.dstw, c.dsth, c.srcx, c.srcy, c.srcw, c.srch, c.alpha,
                      c.mode);
    };
    PX_MemBitmap dest(7, 7, 4);
    fill(&dest, 0x10203040);
    const std::vector<PX_pixel> before = Pixels(dest);
    draw(&dest, &src);
    EXPECT_EQ(Pixels(dest), before);
    for (auto [d, s] : {std::pair<PX_IBitmap*, PX_IBitmap*>{nullptr, &src},
                        {&dest, nullptr},
                        {&empty, &src},
                        {&dest, &empty}})
      draw(d, s);
  }
}

TEST(RotatedBlit, TurnsAboutTheCentres)
{
  // A 16 x 16 source whose centre 6 x 6 block is one colour.
  PX_MemBitmap src(16, 16, 4);
  fillNoise(&src, 8);
  for (int y = 5; y < 11; ++y)
    for (int x = 5; x < 11; ++x)
      Px(src, x, y) = 0xFFABCDEF;

  struct Case
  {
    const char* name;
    float angle;
    int mode;
  };
  const Case cases[] = {
    {"quarter turn", kPi / 2, PX_MODE_COPY},
    {"half turn", kPi, PX_MODE_COPY},
    {"0.7 radians, bilinear", 0.7f, PX_FILTER_BILINEAR},
    {"-2 radians", -2.0f, PX_MODE_COPY},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    PX_MemBitmap dest(16, 16, 4);
    fill(&dest, 0);
    PX_RotatedBlit(&dest, &src, 0, 0, 16, 16, 0, 0, 16, 16, c.angle, true, 1.0f, c.mode);
    for (int y = 7; y < 9; ++y)
      for (int x = 7; x < 9; ++x)
        EXPECT_EQ(Px(dest, x, y), 0xFFABCDEFu) << x << "," << y;
  }

  // By 0 with equal sizes, destination (x, y) samples source (srcx + x, srcy + y).
  PX_MemBitmap dest(10, 8, 4);
  PX_RotatedBlit(&dest, &src, 0, 0, 10, 8, 3, 5, 10, 8, 0.0f, false, 1.0f, PX_MODE_COPY);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x)
      ASSERT_EQ(Px(dest, x, y), Px(src, 3 + x, 5 + y));
}

// Without clipping to the source rectangle any pixel of the source bitmap may be sampled, but a
// destination pixel that maps outside the bitmap keeps its colour.
TEST(RotatedBlit, UnclippedSamplesTheWholeBitmapButNothingBeyond)
{
  PX_MemBitmap src(12, 12, 4);
  fill(&src, 0xFF00FF00);
  for (int y = 1; y < 11; ++y)
    for (int x = 1; x < 11; ++x)
      Px(src, x, y) = 0xFF0000FF;
  PX_MemBitmap dest(24, 24, 4);
  fill(&dest, 0x12345678);
  // The inner 10 x 10 drawn at 2.4 times its size turned by 45 degrees: the destination's corners
  // map about 7 source pixels from the centre along an axis, past the 12 x 12 bitmap, while the
  // pixels near the middle of its edges map onto the bitmap's border.
  PX_RotatedBlit(&dest, &src, 0, 0, 24, 24, 1, 1, 10, 10, kPi / 4, false, 1.0f, PX_MODE_COPY);
  EXPECT_EQ(Px(dest, 12, 12), 0xFF0000FFu);
  EXPECT_EQ(Px(dest, 0, 0), 0x12345678u);
  EXPECT_EQ(Px(dest, 23, 23), 0x12345678u);
  int outsideRect = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x)
      outsideRect += Px(dest, x, y) == 0xFF00FF00u;
  EXPECT_GT(outsideRect, 0);
}

// With cliptosourcerect the right edge is srcx + srcw summed in float, then truncated:
// 3 + 0.99999994 is 4.0 in float, so column 3 is inside the rectangle.
TEST(RotatedBlit, ClipEdgeIsTheFloatSumOfTheSourceRectangle)
{
  const float srcx = 3.0f, srcw = 0.99999994f;
  ASSERT_EQ(srcx + srcw, 4.0f);
  ASSERT_LT((double)srcx + (double)srcw, 4.0);
  const struct
  {
    const char* name;
    Draw draw;
  } draws[] = {
    {"rotated",
     [=](PX_IBitmap* d, PX_IBitmap* s) {
       PX_RotatedBlit(d, s, 0, 0, 1, 1, srcx, 0.0f, srcw, 1.0f, 0.0f, true, 1.0f, 0);
     }},
    {"delta",
     [=](PX_IBitmap* d, PX_IBitmap* s) {
       PX_DeltaBlit(d, s, 0, 0, 1, 1, srcx, 0.0f, srcw, 1.0f, 1, 0, 0, 1, 0, 0, true, 1.0f, 0);
     }},
  };
  PX_MemBitmap src(6, 1, 4);
  for (int x = 0; x < 6; ++x)
    Px(src, x, 0) = 0xFF000000u + (PX_pixel)x;
  for (const auto& d : draws)
  {
    SCOPED_TRACE(d.name);
    PX_MemBitmap dest(1, 1, 4);
    fill(&dest, 0);
    d.draw(&dest, &src);
    EXPECT_EQ(Px(dest, 0, 0), 0xFF000003u);
  }
}
