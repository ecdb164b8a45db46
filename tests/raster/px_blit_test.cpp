// PX_Blit, PX_Copy, PX_DeltaBlit and PX_TransformBlit: results per mode and weight, the
// exact lanes, and inputs that must draw nothing.
#include "raster/px.h"
#include "tests/support/raster_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>

namespace {

// Destination and source 256 x 256 such that every channel meets every (destination, source)
// value pair, the alpha channels included.
void MakePairs(PX_IBitmap& dst, PX_IBitmap& src)
{
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x)
    {
      Px(dst, x, y) = PX_RGBA(x ^ y, y, x, (x + y) & 255);
      Px(src, x, y) = PX_RGBA(255 - x, x, y, y);
    }
}

PX_pixel HalfMix(PX_pixel d, PX_pixel s)
{
  return ((d >> 1) & 0x7F7F7F7Fu) + ((s >> 1) & 0x7F7F7F7Fu);
}

// Every blit path (plain copy, half mix, the row kernels, the templated loop) gives per pixel
// what the single-pixel combiner of its mode gives; widths that are no multiple of 4 exercise
// the row tails.
TEST(Blit, EveryPixelIsItsCombinerApplied)
{
  const struct
  {
    int mode;
    float alpha;
  } cases[] = {{PX_MODE_COPY, 1.0f},
               {PX_MODE_COPY, 0.5f},
               {PX_MODE_COPY, 0.501f},  // weight 128 as well, but no half mix
               {PX_MODE_COPY, 1.002f},
               {PX_MODE_COPY, 0.25f},
               {PX_MODE_COPY, 0.01f},
               {PX_MODE_COPY, 0.99f},
               {PX_MODE_COPY, 1.5f},
               {PX_MODE_COPY, -0.5f},
               {PX_MODE_ADD, 1.0f},
               {PX_MODE_ADD, 0.33f},
               {PX_MODE_ADD, -0.4f},
               {PX_MODE_ADD, 2.0f},
               {PX_MODE_MUL, 1.0f},
               {PX_MODE_MUL, 0.004f},
               {PX_MODE_MUL, 0.7f},
               {PX_MODE_MUL, 1.2f},
               {PX_MODE_OVERLAY, 0.8f},
               {PX_MODE_COLORDODGE, 0.6f},
               {PX_MODE_HSVADJUST, 0.9f},
               {PX_MODE_SOURCEALPHA, 1.0f},
               {PX_MODE_SOURCEALPHA, 0.75f},
               {PX_MODE_SOURCEALPHA, 0.004f},
               {PX_MODE_SOURCEALPHA, 1.3f},
               {PX_MODE_SOURCEALPHA | PX_MODE_ADD, 0.8f},
               {PX_MODE_SOURCEALPHA | PX_MODE_MUL, 0.8f},
               {PX_MODE_COPY | PX_FILTER_BILINEAR, 0.3f},
               {6, 0.7f}};
  const int widths[] = {256, 253};
  for (const auto& c : cases)
    for (int width : widths)
    {
      ExactBitmap dst(256, 256), src(256, 256), before(256, 256);
      MakePairs(dst, src);
      CopyPixels(before, dst);
      PX_Blit(&dst, &src, 256 - width, 0, 0, 0, width, 256, c.alpha, c.mode);
      int failures = 0;
      for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
        {
          const PX_pixel d = Px(before, x, y);
          PX_pixel want = d;
          if (x >= 256 - width)
          {
            const PX_pixel s = Px(src, x - (256 - width), y);
            want = c.mode == PX_MODE_COPY && c.alpha == 0.5f
                     ? HalfMix(d, s)
                     : PX_CombinePixels(d, s, c.alpha, c.mode);
          }
          if (Px(dst, x, y) != want && ++failures <= 3)
            ADD_FAILURE() << "mode 0x" << std::hex << c.mode << " alpha " << c.alpha << " at "
                          << std::dec << x << "," << y << std::hex << ": " << Px(dst, x, y)
                          << " want " << want;
        }
      EXPECT_EQ(failures, 0) << "mode 0x" << std::hex << c.mode << " alpha " << c.alpha << " width "
                             << std::dec << width;
    }
}

// Artwork comes in runs of wholly transparent and wholly opaque pixels, which the source-alpha
// copy takes four at a time without blending: the result is still the combiner's, pixel for pixel.
TEST(Blit, SourceAlphaRunsOfClearAndOpaquePixelsAreTheirCombinerApplied)
{
  const PX_pixel alphas[] = {0x00, 0xFF, 0x80, 0x01, 0xFE};
  ExactBitmap src(64, 5), dst(64, 5), before(64, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 64; ++x)
    {
      // Runs of 4 to 12 pixels of one alpha, colours varying, with a lone other alpha now and then.
      const PX_pixel a = alphas[((x / (4 + y * 2)) + y) % 5] ^ (x % 13 == 7 ? 0x80u : 0u);
      Px(src, x, y) = a << 24 | (PX_pixel)(x * 37 + y * 11) * 0x010305u % 0x1000000u;
      Px(dst, x, y) = 0x80000000u | (PX_pixel)(x * 53 + y * 7) * 0x030201u % 0x1000000u;
    }
  for (const float alpha : {1.0f, 0.6f})
  {
    ExactBitmap out(64, 5);
    CopyPixels(out, dst);
    PX_Blit(&out, &src, 0, 0, nullptr, alpha, PX_MODE_COPY | PX_MODE_SOURCEALPHA);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 64; ++x)
        EXPECT_EQ(Px(out, x, y), PX_CombinePixels(Px(dst, x, y), Px(src, x, y), alpha,
                                                  PX_MODE_COPY | PX_MODE_SOURCEALPHA))
          << alpha << " at " << x << "," << y;
  }
}

// Just below full weight (alpha 255/256) a blit blends by its weight, not as at full weight (the
// whole source added, the source-alpha copy that ignores the weight). Against the forms worked by
// hand per channel, d the destination, s the source, a the source alpha, divisions truncating:
// add d + s * w / 256, at most 255; source-alpha copy with w' = (a + 1) * w / 256, colour
// s + (d - s) * (256 - w') / 256 and alpha min(d + w', 255), a pixel of source alpha 0 untouched.
// At full weight: add d + s; the copy colour s + (d - s) * (255 - a) / 256, alpha min(d + a, 255).
// Seven pixels: four through the row kernels, three through their tails.
TEST(Blit, WeightJustBelowFullBlendsByThatWeight)
{
  const auto add = [](PX_pixel d, PX_pixel s, int w) {
    return PerChannel(d, s, [&](int dc, int sc) { return std::min(dc + sc * w / 256, 255); });
  };
  const auto sourceAlphaCopy = [](PX_pixel d, PX_pixel s, int w) {
    const int a = (int)(s >> 24);
    if (a == 0)
      return d;
    const int wp = w == 256 ? a : (a + 1) * w / 256, k = w == 256 ? 255 - a : 256 - wp;
    const PX_pixel colour =
      PerChannel(d, s, [&](int dc, int sc) { return sc + (dc - sc) * k / 256; });
    return (colour & 0xFFFFFFu) | (PX_pixel)std::min((int)(d >> 24) + wp, 255) << 24;
  };
  const struct
  {
    int mode;
    int w;
    std::function<PX_pixel(PX_pixel, PX_pixel, int)> want;
  } cases[] = {
    {PX_MODE_ADD, 255, add},
    {PX_MODE_ADD, 256, add},
    {PX_MODE_SOURCEALPHA | PX_MODE_COPY, 255, sourceAlphaCopy},
    {PX_MODE_SOURCEALPHA | PX_MODE_COPY, 256, sourceAlphaCopy},
  };
  const PX_pixel alphas[7] = {0x80, 0xFE, 0xFF, 0x01, 0x00, 0x4D, 0xC8};
  for (const auto& c : cases)
  {
    ExactBitmap dst(7, 1), src(7, 1);
    for (int x = 0; x < 7; ++x)
    {
      Px(dst, x, 0) = 0x10FF2000u + (PX_pixel)(x * 0x0D) * 0x01000101u;
      Px(src, x, 0) = alphas[x] << 24 | (0x0040FFu + (PX_pixel)(x * 0x11) * 0x010100u);
    }
    const std::vector<PX_pixel> before = Pixels(dst);
    PX_Blit(&dst, &src, 0, 0, nullptr, (float)c.w / 256, c.mode);
    for (int x = 0; x < 7; ++x)
      EXPECT_EQ(Px(dst, x, 0), c.want(before[(size_t)x], Px(src, x, 0), c.w))
        << "mode 0x" << std::hex << c.mode << std::dec << " weight " << c.w << " pixel " << x;
  }
}

TEST(Blit, KnownResults)
{
  struct Case
  {
    const char* name;
    PX_pixel dst, src;
    float alpha;
    int mode;
    PX_pixel want;
  } cases[] = {
    {"channel copy alpha to blue", 0x11223344u, 0xA0B0C0D0u, 1.0f, 0xF3, 0x112233A0u},
    {"channel copy blue to blue", 0x11223344u, 0xA0B0C0D0u, 0.2f, 0xF0, 0x112233D0u},
    {"channel copy red to alpha", 0x11223344u, 0xA0B0C0D0u, 1.0f, 0xF0 | (3 << 2) | 2, 0xB0223344u},
    {"half white over black", 0x00000000u, 0xFFFFFFFFu, 0.5f, PX_MODE_COPY, 0x7F7F7F7Fu},
    {"quarter white over black", 0x00000000u, 0xFFFFFFFFu, 0.25f, PX_MODE_COPY, 0x40404040u},
    {"negative copy draws nothing", 0x10203040u, 0xFFFFFFFFu, -1.0f, PX_MODE_COPY, 0x10203040u},
    {"negative add subtracts", 0x10203040u, 0x08080808u, -1.0f, PX_MODE_ADD, 0x08182838u},
    {"weight 0 draws nothing", 0x10203040u, 0xFFFFFFFFu, 0.001f, PX_MODE_COPY, 0x10203040u},
    {"mode 6 draws nothing", 0x10203040u, 0xFFFFFFFFu, 1.0f, 6, 0x10203040u},
    {"bilinear copy is copy", 0x10203040u, 0xFFABCDEFu, 1.0f, PX_MODE_COPY | 0x100, 0xFFABCDEFu},
    {"NaN alpha draws nothing", 0x10203040u, 0xFFFFFFFFu, NAN, 0xF0, 0x10203040u},
    {"infinite alpha draws nothing", 0x10203040u, 0xFFFFFFFFu, INFINITY, PX_MODE_ADD, 0x10203040u},
    {"huge alpha draws nothing", 0x10203040u, 0xFFFFFFFFu, 1e20f, PX_MODE_ADD, 0x10203040u},
  };
  for (const auto& c : cases)
  {
    ExactBitmap dst(1, 1), src(1, 1);
    dst.getBits()[0] = c.dst;
    src.getBits()[0] = c.src;
    PX_Blit(&dst, &src, 0, 0, nullptr, c.alpha, c.mode);
    EXPECT_EQ(dst.getBits()[0], c.want) << c.name;
  }
}

TEST(Blit, RectanglesOutsideTheirBitmapsMoveOrClipTheDraw)
{
  struct Case
  {
    const char* name;
    int dstx, dsty;
    PX_RECT r;
    int firstx, firsty;  // destination of source pixel (r.left clamped, r.top clamped), or -1
    int cols, rows;
  } cases[] = {
    {"left -3 shifts right", 0, 0, {-3, 0, 4, 2}, 3, 0, 4, 2},
    {"top -2 shifts down", 1, 0, {0, -2, 2, 5}, 1, 2, 2, 4},
    {"negative dstx skips columns", -5, 0, {0, 0, 8, 1}, 0, 0, 3, 1},
    {"right beyond the source", 0, 0, {6, 0, 100, 1}, 0, 0, 2, 1},
    {"entirely right of the canvas", 10, 0, {0, 0, 8, 6}, -1, -1, 0, 0},
    {"entirely below the canvas", 0, 6, {0, 0, 8, 6}, -1, -1, 0, 0},
    {"huge coordinates",
     INT32_MAX,
     INT32_MIN,
     {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
     -1,
     -1,
     0,
     0},
  };
  for (const auto& c : cases)
  {
    ExactBitmap src(8, 6), dst(10, 6);
    for (int i = 0; i < 48; ++i)
      src.getBits()[i] = 0xFF000000u + (PX_pixel)i;
    PX_Blit(&dst, &src, c.dstx, c.dsty, &c.r, 1.0f, PX_MODE_COPY);
    int drawn = 0;
    for (int i = 0; i < 60; ++i)
      drawn += dst.getBits()[i] != 0;
    EXPECT_EQ(drawn, c.cols * c.rows) << c.name;
    if (c.firstx >= 0)
    {
      const int sx = c.r.left < 0 ? 0 : c.r.left, sy = c.r.top < 0 ? 0 : c.r.top;
      const int skipx = c.dstx < 0 ? -c.dstx : 0;
      EXPECT_EQ(Px(dst, c.firstx, c.firsty), Px(src, sx + skipx, sy)) << c.name;
    }
  }
}

TEST(Blit, CopyResizesAndCopiesEveryPixel)
{
  ExactBitmap src(7, 5);
  PX_MemBitmap dst(2, 9, 4);
  FillPattern(src, 11);
  PX_Copy(&dst, &src);
  EXPECT_EQ(dst.getWidth(), 7);
  EXPECT_EQ(dst.getHeight(), 5);
  EXPECT_EQ(Pixels(dst), Pixels(src));

  PX_Copy(nullptr, &src);
  PX_Copy(&dst, nullptr);
  PX_Blit(nullptr, &src, 0, 0, nullptr, 1.0f, 0);
  PX_Blit(&dst, nullptr, 0, 0, nullptr, 1.0f, 0);
  PX_MemBitmap empty;
  PX_Blit(&dst, &empty, 0, 0, nullptr, 1.0f, 0);
  PX_Blit(&empty, &src, 0, 0, nullptr, 1.0f, 0);
  EXPECT_EQ(Pixels(dst), Pixels(src));
}

// An identity walk copies like a plain blit; a 2 x 2 grid at the source corners is one delta blit
// scaling the whole source onto the rectangle.
TEST(DeltaBlit, MappingsMatchTheirPlainEquivalents)
{
  ExactBitmap src(9, 7);
  FillPattern(src, 21);

  ExactBitmap a(12, 10), b(12, 10);
  FillPattern(a, 4);
  CopyPixels(b, a);
  PX_DeltaBlit(&a, &src, 2, 1, 9, 7, 0, 0, 9, 7, 1, 0, 0, 1, 0, 0, false, 0.6f, PX_MODE_ADD);
  PX_Blit(&b, &src, 2, 1, nullptr, 0.6f, PX_MODE_ADD);
  EXPECT_EQ(Pixels(a), Pixels(b));

  const float corners[] = {0, 0, 9, 0, 0, 7, 9, 7};
  for (int mode : {PX_MODE_COPY, PX_MODE_COPY | PX_FILTER_BILINEAR})
  {
    FillPattern(a, 4);
    CopyPixels(b, a);
    PX_TransformBlit(&a, &src, 1, 2, 11, 6, corners, 2, 2, 1.0f, mode);
    PX_DeltaBlit(&b, &src, 1, 2, 11, 6, 0, 0, 9, 0, 9.0 / 11, 0, 0, 7.0 / 6, 0, 0, false, 1.0f,
                 mode);
    EXPECT_EQ(Pixels(a), Pixels(b)) << mode;
  }
}

TEST(DeltaBlit, NegativeSizesMirrorTheWalk)
{
  ExactBitmap src(4, 1), dst(4, 1);
  for (int i = 0; i < 4; ++i)
    src.getBits()[i] = (PX_pixel)(i + 1);
  // dstw -4 at dstx 4: columns 0..3, the source walked from srcx + srcw.
  PX_DeltaBlit(&dst, &src, 4, 0, -4, 1, 0, 0, 3.999f, 1, -1, 0, 0, 1, 0, 0, false, 1.0f, 0);
  EXPECT_EQ(Pixels(dst), (std::vector<PX_pixel>{4, 3, 2, 1}));
}

// Positions and steps that would not fit 16.16, or are not finite, draw nothing; walks that run
// far outside the source read nothing outside it.
TEST(DeltaBlit, UnrepresentableWalksDrawNothing)
{
  const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
  const struct
  {
    float srcx, srcy;
    double dsdx, dsdxdy;
    float alpha;
  } cases[] = {{nan, 0, 1, 0, 1},   {0, inf, 1, 0, 1}, {40000.0f, 0, 1, 0, 1}, {0, 0, 1e6, 0, 1},
               {0, 0, 1, 1e300, 1}, {0, 0, 1, 0, nan}, {0, 0, nan, 0, 1},      {-1e9f, 0, 1, 0, 1}};
  for (const auto& c : cases)
  {
    ExactBitmap src(5, 5), dst(6, 6);
    FillPattern(src, 8);
    PX_DeltaBlit(&dst, &src, 0, 0, 6, 6, c.srcx, c.srcy, 5, 5, c.dsdx, 0.1, 0.2, 1, c.dsdxdy, 0,
                 false, c.alpha, PX_MODE_COPY | PX_FILTER_BILINEAR);
    EXPECT_EQ(Pixels(dst), std::vector<PX_pixel>(36, 0u)) << c.srcx << " " << c.dsdx;
  }
  // Large but representable steps: the walk leaves the source at once and reads nothing outside.
  ExactBitmap src(5, 5), dst(64, 64);
  FillPattern(src, 8);
  PX_DeltaBlit(&dst, &src, -10, -10, 1000, 1000, 0, 0, 5, 5, 3000.0, -3000.0, 1.0, 3000.0, 100.0,
               -100.0, false, 1.0f, PX_MODE_ADD | PX_FILTER_BILINEAR);
  const float nanpts[] = {nan, 0, 5, 0, 0, 5, 5, 5}, pts[] = {0, 0, 5, 0, 0, 5, 5, 5};
  PX_TransformBlit(&dst, &src, 0, 0, 64, 64, nanpts, 2, 2, 1.0f, 0);
  PX_TransformBlit(&dst, &src, INT32_MAX - 3, 0, INT32_MAX, 64, pts, 2, 2, 1.0f, 0);
  PX_TransformBlit(&dst, &src, 0, 0, 64, 64, nullptr, 2, 2, 1.0f, 0);
  EXPECT_EQ(Pixels(dst), std::vector<PX_pixel>(64 * 64, 0u));
}

}  // namespace
