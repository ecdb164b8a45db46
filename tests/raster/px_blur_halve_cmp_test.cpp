// PX_Blur, PX_HalveBlitAA and PX_BitmapCmp against straightforward per-channel loops on random
// bitmaps, normal and flipped, and the cases their lane arithmetic decides.
#include "raster/px_blur_halve_cmp.h"
#include "tests/support/raster_test_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

// The blur of a w x h image (logical pixels, row-major), one channel at a time: the pixel weighs
// 1/2, each neighbour 1/8, a missing neighbour's share going to the one across; every term is
// truncated on its own.
std::vector<PX_pixel> ReferenceBlur(const std::vector<PX_pixel>& img, int w, int h)
{
  std::vector<PX_pixel> out(img.size());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      PX_pixel result = 0;
      for (int shift = 0; shift < 32; shift += 8)
      {
        const auto at = [&](int xx, int yy) { return (int)((img[yy * w + xx] >> shift) & 255); };
        const int c = at(x, y);
        const int l = x > 0 ? at(x - 1, y) : 0, r = x < w - 1 ? at(x + 1, y) : 0;
        const int u = y > 0 ? at(x, y - 1) : 0, d = y < h - 1 ? at(x, y + 1) : 0;
        int horizontal;
        if (x == 0)
          horizontal = r / 4;
        else if (x == w - 1)
          horizontal = l / 4;
        else
          horizontal = l / 8 + r / 8;
        const int vertical = y == 0 ? d / 4 : y == h - 1 ? u / 4 : u / 8 + d / 8;
        result |= (PX_pixel)(c / 2 + horizontal + vertical) << shift;
      }
      out[y * w + x] = result;
    }
  return out;
}

std::vector<PX_pixel> FilledWith(PX_pixel v, int n) { return std::vector<PX_pixel>(n, v); }

// Where the blur lands once clipped, and what it reads: a dest window at (dx, dy) of w x h
// pixels blurred from the source window at (sx, sy).
struct BlurCase
{
  const char* name;
  int srcW, srcH;
  bool srcFlipped;
  int dstW, dstH;
  bool dstFlipped;
  int dstx, dsty, srcx, srcy, srcw, srch;
  int dx, dy, sx, sy, w, h;  // expected clipped windows; w = 0: nothing drawn
};

TEST(Blur, MatchesTheReferenceInsideTheClippedWindowOnly)
{
  const BlurCase cases[] = {
    {"whole bitmap", 13, 9, false, 13, 9, false, 0, 0, 0, 0, 13, 9, 0, 0, 0, 0, 13, 9},
    {"flipped source", 11, 7, true, 11, 7, false, 0, 0, 0, 0, 11, 7, 0, 0, 0, 0, 11, 7},
    {"flipped both, offset", 17, 12, true, 20, 20, true, 3, 5, 2, 1, 9, 6, 3, 5, 2, 1, 9, 6},
    {"negative source origin", 10, 10, false, 10, 10, false, 2, 2, -3, -4, 8, 9, 2, 2, 0, 0, 5, 5},
    {"negative destination", 12, 12, false, 6, 6, true, -3, -2, 1, 1, 10, 10, 0, 0, 4, 3, 6, 6},
    {"clipped by the source edge", 8, 8, false, 30, 30, false, 1, 1, 5, 6, 10, 10, 1, 1, 5, 6, 3,
     2},
    {"two by two", 5, 5, false, 5, 5, false, 0, 0, 1, 1, 2, 2, 0, 0, 1, 1, 2, 2},
    {"one row", 9, 9, false, 9, 9, false, 0, 0, 0, 4, 9, 1, 0, 0, 0, 0, 0, 0},
    {"one column", 9, 9, false, 9, 9, false, 0, 0, 4, 0, 1, 9, 0, 0, 0, 0, 0, 0},
    {"off the destination", 9, 9, false, 9, 9, false, 8, 0, 0, 0, 9, 9, 0, 0, 0, 0, 0, 0},
    {"extreme sizes", 9, 9, false, 9, 9, false, 0, 0, 3, 3, INT_MAX, INT_MAX, 0, 0, 3, 3, 6, 6},
    {"extreme origin", 9, 9, false, 9, 9, false, INT_MIN, INT_MIN, 0, 0, 9, 9, 0, 0, 0, 0, 0, 0},
  };
  for (const auto& c : cases)
  {
    ExactBitmap src(c.srcW, c.srcH, c.srcFlipped), dst(c.dstW, c.dstH, c.dstFlipped);
    FillPattern(src, 7);
    FillPattern(dst, 8);
    const std::vector<PX_pixel> before = Pixels(dst);
    PX_Blur(&dst, &src, c.dstx, c.dsty, c.srcx, c.srcy, c.srcw, c.srch);

    std::vector<PX_pixel> want = before;
    if (c.w)
    {
      const std::vector<PX_pixel> blurred =
        ReferenceBlur(Crop(src, c.sx, c.sy, c.w, c.h), c.w, c.h);
      for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x)
          want[(c.dy + y) * c.dstW + c.dx + x] = blurred[y * c.w + x];
    }
    EXPECT_EQ(Pixels(dst), want) << c.name;
  }
}

// In place, at the same position, the blur reads every row as it was: the same result as
// blurring into a separate bitmap, with both save areas (rows up to 1024 pixels and longer).
// The same bitmap at another position reads the source as it was before the call.
TEST(Blur, OwnPixelsAreReadAsTheyWere)
{
  const struct
  {
    int w, h;
    bool flipped;
    int dstx, dsty, srcx, srcy, srcw, srch;
  } cases[] = {
    {40, 30, false, 0, 0, 0, 0, 40, 30},   {40, 30, true, 5, 4, 5, 4, 20, 11},
    {1030, 5, false, 0, 0, 0, 0, 1030, 5}, {1500, 4, true, 2, 1, 2, 1, 1400, 3},
    {40, 30, false, 3, 2, 0, 0, 30, 20},   {40, 30, true, 0, 0, 4, 5, 30, 20},
    {1100, 6, false, 1, 1, 0, 0, 1099, 5},
  };
  for (const auto& c : cases)
  {
    ExactBitmap bm(c.w, c.h, c.flipped), copy(c.w, c.h), apart(c.w, c.h, c.flipped);
    FillPattern(bm, 99);
    CopyPixels(copy, bm);
    CopyPixels(apart, bm);
    PX_Blur(&apart, &copy, c.dstx, c.dsty, c.srcx, c.srcy, c.srcw, c.srch);
    PX_Blur(&bm, &bm, c.dstx, c.dsty, c.srcx, c.srcy, c.srcw, c.srch);
    EXPECT_EQ(Pixels(bm), Pixels(apart)) << c.w << "x" << c.h << " at " << c.dstx << "," << c.dsty;
  }
}

TEST(Blur, LaneTruncation)
{
  // All channels 255: 251 inside, 252 on the edges, 253 in the corners.
  ExactBitmap full(5, 4);
  for (int i = 0; i < 20; ++i)
    full.getBits()[i] = 0xFFFFFFFFu;
  PX_Blur(&full, &full, 0, 0, 0, 0, 5, 4);
  const PX_pixel c = 0xFDFDFDFDu, e = 0xFCFCFCFCu, i = 0xFBFBFBFBu;
  EXPECT_EQ(Pixels(full),
            (std::vector<PX_pixel>{c, e, e, e, c, e, i, i, i, e, e, i, i, i, e, c, e, e, e, c}));

  // One white pixel in black: half stays, an eighth reaches each neighbour.
  ExactBitmap dot(5, 5);
  Px(dot, 2, 2) = 0xFFFFFFFFu;
  PX_Blur(&dot, &dot, 0, 0, 0, 0, 5, 5);
  std::vector<PX_pixel> want = FilledWith(0, 25);
  want[12] = 0x7F7F7F7Fu;
  want[7] = want[11] = want[13] = want[17] = 0x1F1F1F1Fu;
  EXPECT_EQ(Pixels(dot), want);

  PX_Blur(nullptr, &dot, 0, 0, 0, 0, 5, 5);
  PX_Blur(&dot, nullptr, 0, 0, 0, 0, 5, 5);
  ExactBitmap empty;
  PX_Blur(&dot, &empty, 0, 0, 0, 0, 5, 5);
  EXPECT_EQ(Pixels(dot), want);
}

// Each destination pixel is the sum of the quarters of its 2 x 2 source block, in storage rows.
TEST(HalveBlitAA, QuartersOfEachBlockInStorageOrder)
{
  const struct
  {
    int srcW, srcH;
    bool srcFlipped;
    int dstW, dstH;
    bool dstFlipped;
    int w, h;  // the block written
  } cases[] = {
    {5, 5, false, 9, 9, false, 2, 2},     {16, 10, true, 8, 5, false, 8, 5},
    {17, 9, false, 3, 2, true, 3, 2},     {1, 8, false, 4, 4, false, 0, 4},
    {40, 1, false, 30, 30, false, 20, 0},
  };
  for (const auto& c : cases)
  {
    ExactBitmap src(c.srcW, c.srcH, c.srcFlipped), dst(c.dstW, c.dstH, c.dstFlipped);
    FillPattern(src, 3);
    FillPattern(dst, 4);
    std::vector<PX_pixel> want(dst.getBits(), dst.getBits() + c.dstW * c.dstH);
    const PX_pixel* s = src.getBits();
    for (int i = 0; i < c.h; ++i)
      for (int j = 0; j < c.w; ++j)
      {
        PX_pixel v = 0;
        for (int shift = 0; shift < 32; shift += 8)
        {
          int sum = 0;
          for (int k : {0, 1})
            for (int l : {0, 1})
              sum += ((s[(2 * i + k) * c.srcW + 2 * j + l] >> shift) & 255) / 4;
          v |= (PX_pixel)sum << shift;
        }
        want[i * c.dstW + j] = v;
      }
    PX_HalveBlitAA(&dst, &src);
    EXPECT_EQ(std::vector<PX_pixel>(dst.getBits(), dst.getBits() + c.dstW * c.dstH), want)
      << c.srcW << "x" << c.srcH << " into " << c.dstW << "x" << c.dstH;
  }
  ExactBitmap one(2, 2), out(1, 1);
  for (int i = 0; i < 4; ++i)
    one.getBits()[i] = 0xFF808003u;
  PX_HalveBlitAA(&out, &one);
  EXPECT_EQ(out.getBits()[0], 0xFC808000u);
  PX_HalveBlitAA(nullptr, &one);
  PX_HalveBlitAA(&out, nullptr);
}

// The bounding box of every differing pixel, found the slow way.
std::vector<int> BoxOfDifferences(PX_IBitmap& a, PX_IBitmap& b)
{
  int minx = INT_MAX, miny = INT_MAX, maxx = -1, maxy = -1;
  for (int y = 0; y < a.getHeight(); ++y)
    for (int x = 0; x < a.getWidth(); ++x)
      if (Px(a, x, y) != Px(b, x, y))
      {
        minx = std::min(minx, x), maxx = std::max(maxx, x);
        miny = std::min(miny, y), maxy = std::max(maxy, y);
      }
  if (maxx < 0)
    return {0, 0, 0, 0};
  return {minx, miny, maxx - minx + 1, maxy - miny + 1};
}

TEST(BitmapCmp, DifferenceBoxHoldsEveryDifferingPixel)
{
  const struct
  {
    const char* name;
    std::vector<std::pair<int, int>> changed;
    std::vector<int> box;
  } cases[] = {
    {"equal", {}, {0, 0, 0, 0}},
    {"top-left corner", {{0, 0}}, {0, 0, 1, 1}},
    {"top-right corner", {{10, 0}}, {10, 0, 1, 1}},
    {"bottom-left corner", {{0, 12}}, {0, 12, 1, 1}},
    {"bottom-right corner", {{10, 12}}, {10, 12, 1, 1}},
    {"two points", {{2, 3}, {7, 9}}, {2, 3, 6, 7}},
    {"two points, other diagonal", {{7, 3}, {2, 9}}, {2, 3, 6, 7}},
    {"widest in a middle row", {{5, 2}, {0, 6}, {10, 7}, {5, 11}}, {0, 2, 11, 10}},
    {"one row", {{3, 4}, {8, 4}}, {3, 4, 6, 1}},
  };
  for (bool flipped : {false, true})
    for (const auto& c : cases)
    {
      ExactBitmap a(11, 13, flipped), b(11, 13, !flipped);
      FillPattern(a, 5);
      CopyPixels(b, a);
      for (const auto& p : c.changed)
        Px(b, p.first, p.second) ^= 0x00010000u;
      int coords[4] = {-1, -1, -1, -1};
      const int result = PX_BitmapCmp(&a, &b, coords);
      EXPECT_EQ(std::vector<int>(coords, coords + 4), c.box) << c.name;
      EXPECT_EQ(std::vector<int>(coords, coords + 4), BoxOfDifferences(a, b)) << c.name;
      EXPECT_EQ(result, c.changed.empty() ? 0 : 1) << c.name;
      // Without coords: the order of the first differing row's bytes.
      const int order = PX_BitmapCmp(&a, &b, nullptr);
      if (c.changed.empty())
        EXPECT_EQ(order, 0) << c.name;
      else
        EXPECT_NE(order, 0) << c.name;
      EXPECT_EQ(order > 0, PX_BitmapCmp(&b, &a, nullptr) < 0) << c.name;
    }
}

TEST(BitmapCmp, SizesAndMissingBitmapsOrderFirst)
{
  ExactBitmap a(10, 4), b(12, 4), c(10, 7), empty1, empty2;
  int coords[4];
  EXPECT_EQ(PX_BitmapCmp(&a, &b, nullptr), 2);
  EXPECT_EQ(PX_BitmapCmp(&b, &a, coords), -2);
  EXPECT_EQ(PX_BitmapCmp(&a, &c, nullptr), 3);
  EXPECT_EQ(PX_BitmapCmp(nullptr, &a, nullptr), -1);
  EXPECT_EQ(PX_BitmapCmp(&a, nullptr, nullptr), 1);
  EXPECT_EQ(PX_BitmapCmp(nullptr, nullptr, coords), 0);
  EXPECT_EQ(PX_BitmapCmp(&empty1, &empty2, coords), 0);
  // A size without pixels orders first, like a missing bitmap.
  NoPixelsBitmap none1, none2;
  ExactBitmap four(4, 4);
  EXPECT_EQ(PX_BitmapCmp(&none1, &four, coords), -1);
  EXPECT_EQ(PX_BitmapCmp(&four, &none1, nullptr), 1);
  EXPECT_EQ(PX_BitmapCmp(&none1, &none2, nullptr), 0);
  PX_Blur(&none1, &four, 0, 0, 0, 0, 4, 4);
  PX_Blur(&four, &none1, 0, 0, 0, 0, 4, 4);
  PX_HalveBlitAA(&none1, &four);
  PX_HalveBlitAA(&four, &none1);
  EXPECT_EQ(Pixels(four), std::vector<PX_pixel>(16, 0));
}

}  // namespace
