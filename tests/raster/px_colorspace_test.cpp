// The public HSV conversions against a floating-point reference, hue shifts of any size, and the
// rectangle alteration: its two ways agree, it clips, and it leaves unusable input alone.
#include "raster/px_colorspace.h"
#include "tests/support/raster_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// Hue (0..384, six sextants of 64) and saturation (0..255) of a colour in floating point.
void FloatHSV(int r, int g, int b, double* h, double* s)
{
  const int mx = std::max({r, g, b}), mn = std::min({r, g, b}), d = mx - mn;
  *s = mx ? 255.0 * d / mx : 0.0;
  *h = -1.0;  // none for greys
  if (!d)
    return;
  if (mx == r)
    *h = 64.0 * (g - b) / d;
  else if (mx == g)
    *h = 128.0 + 64.0 * (b - r) / d;
  else
    *h = 256.0 + 64.0 * (r - g) / d;
  if (*h < 0)
    *h += 384.0;
}

// The colour of (h, s, v) in floating point.
void FloatRGB(int h, int s, int v, double rgb[3])
{
  const double c = v * s / 255.0, x = c * (1 - std::fabs(std::fmod(h / 64.0, 2.0) - 1)), m = v - c;
  static const int order[6][3] = {{0, 1, 2}, {1, 0, 2}, {2, 0, 1}, {2, 1, 0}, {1, 2, 0}, {0, 2, 1}};
  const double parts[3] = {c, x, 0.0};
  for (int i = 0; i < 3; ++i)
    rgb[i] = parts[order[h / 64][i]] + m;
}

// The integer method's error against the float reference, and its round trip, over a grid.
TEST(ColorSpace, ConversionsStayWithinTheIntegerMethodsErrorOfAFloatReference)
{
  double hueErr = 0, satErr = 0, fwdErr = 0;
  int roundTripErr = 0;
  for (int r = 0; r < 256; r += 3)
    for (int g = 0; g < 256; g += 3)
      for (int b = 0; b < 256; b += 3)
      {
        int h, s, v;
        PX_RGB2HSV(r, g, b, &h, &s, &v);
        double fh, fs;
        FloatHSV(r, g, b, &fh, &fs);
        ASSERT_EQ(v, std::max({r, g, b}));
        ASSERT_TRUE(h >= 0 && h < 384 && s >= 0 && s < 256);
        satErr = std::max(satErr, std::fabs(fs - s));
        if (fh >= 0)
          hueErr = std::max(hueErr, std::min(std::fabs(fh - h), 384 - std::fabs(fh - h)));
        const PX_pixel p = PX_HSV2Pix(h, s, v, 0x5A);
        ASSERT_EQ(p >> 24, 0x5Au);
        roundTripErr = std::max({roundTripErr, std::abs(PX_GETR(p) - r), std::abs(PX_GETG(p) - g),
                                 std::abs(PX_GETB(p) - b)});
      }
  for (int h = 0; h < 384; ++h)
    for (int s = 0; s < 256; s += 7)
      for (int v = 0; v < 256; v += 7)
      {
        double want[3];
        FloatRGB(h, s, v, want);
        int rgb[3];
        PX_HSV2RGB(h, s, v, &rgb[0], &rgb[1], &rgb[2]);
        const PX_pixel p = PX_HSV2Pix(h, s, v, 255);
        ASSERT_EQ(p, PX_RGBA(rgb[0], rgb[1], rgb[2], 255));
        for (int i = 0; i < 3; ++i)
          fwdErr = std::max(fwdErr, std::fabs(want[i] - rgb[i]));
      }
  EXPECT_LE(hueErr, 1.25);
  EXPECT_LE(satErr, 1.8);
  EXPECT_LE(fwdErr, 1.0);
  EXPECT_LE(roundTripErr, 5);
}

TEST(ColorSpace, KnownConversions)
{
  const struct
  {
    int r, g, b, h, s, v;
  } toHSV[] = {
    {255, 0, 0, 0, 255, 255},  {0, 0, 255, 256, 255, 255},  {128, 128, 128, 256, 0, 128},
    {0, 0, 0, 256, 0, 0},      {255, 255, 0, 63, 255, 255}, {0, 255, 255, 193, 255, 255},
    {300, -5, 0, 0, 255, 255},  // channels outside 0..255 are clamped
  };
  for (const auto& c : toHSV)
  {
    int h, s, v;
    PX_RGB2HSV(c.r, c.g, c.b, &h, &s, &v);
    EXPECT_EQ(h, c.h) << c.r << "," << c.g << "," << c.b;
    EXPECT_EQ(s, c.s) << c.r << "," << c.g << "," << c.b;
    EXPECT_EQ(v, c.v) << c.r << "," << c.g << "," << c.b;
  }
  PX_RGB2HSV(1, 2, 3, nullptr, nullptr, nullptr);
  PX_HSV2RGB(1, 2, 3, nullptr, nullptr, nullptr);

  EXPECT_EQ(PX_HSV2Pix(0, 255, 255, 255), 0xFFFF0000u);
  EXPECT_EQ(PX_HSV2Pix(0, 255, 255, 0x1FF), 0xFFFF0000u);  // the alpha's low byte
  int r, g, b;
  PX_HSV2RGB(0, 300, 255, &r, &g, &b);
  EXPECT_EQ(b, (256 - 300) * 255 / 256);  // not reduced to eight bits

  EXPECT_EQ(PX_AlterColorHSV(0xFF808080u, 0, 0, 0), 0xFF808080u);
  EXPECT_EQ(PX_AlterColorHSV(0xFFFF0000u, 0.5f, 0, 0), 0xFF00FFFFu);
  EXPECT_EQ(PX_AlterColorHSV(0x12FF0000u, 0, 0, -1.0f), 0x12000000u);
  EXPECT_EQ(PX_AlterColorHSV(0x34808080u, NAN, 1e30f, -INFINITY), 0x34000000u);
  EXPECT_EQ(PX_AlterColorHSV_int(0xFF404080u, 0, INT_MAX, INT_MAX), PX_HSV2Pix(256, 255, 255, 255));
}

// A hue shift wraps by whole turns however far it goes: shifts that differ by turns agree, and
// a half turn (plus any turns) takes red to cyan.
TEST(ColorSpace, HueShiftsOfAnySizeWrapByWholeTurns)
{
  uint32_t seed = 7;
  for (int i = 0; i < 200; ++i)
  {
    const PX_pixel c = NextWord(seed);
    const int dh = (int)(NextWord(seed) % 767) - 383;
    const PX_pixel base = PX_AlterColorHSV_int(c, dh, 0, 0);
    int h, s, v;
    PX_RGB2HSV(PX_GETR(c), PX_GETG(c), PX_GETB(c), &h, &s, &v);
    int want = h + dh;
    want = want < 0 ? want + 384 : want > 383 ? want - 384 : want;
    ASSERT_EQ(base, PX_HSV2Pix(want, s, v, c >> 24));
    for (const int turns : {-5592404, -100, -2, -1, 1, 2, 100, 5592404})
      ASSERT_EQ(PX_AlterColorHSV_int(c, dh + 384 * turns, 0, 0), base) << dh << " " << turns;
  }
  for (const int dh : {192, 192 + 384, 192 - 384 * 7, 192 + 384 * 1000, INT_MAX - 127 - 192})
    EXPECT_EQ(PX_AlterColorHSV_int(0xFFFF0000u, dh, 0, 0), 0xFF00FFFFu) << dh;
  EXPECT_EQ(PX_AlterColorHSV(0xFFFF0000u, 2.5f, 0, 0), 0xFF00FFFFu);
  EXPECT_EQ(PX_AlterColorHSV(0xFFFF0000u, -1.5f, 0, 0), 0xFF00FFFFu);
  EXPECT_EQ(PX_AlterColorHSV_int(0xFFFF0000u, INT_MIN, 0, 0),
            PX_AlterColorHSV_int(0xFFFF0000u, (int)(((int64_t)INT_MIN % 384) + 384), 0, 0));
}

// A few colours in runs, and random words: both the repeats and the conversions are exercised.
void FillMixed(PX_IBitmap& bm, uint32_t seed)
{
  FillPattern(bm, seed);
  uint32_t s = seed;
  for (int y = 0; y < bm.getHeight(); ++y)
    for (int x = 0; x < bm.getWidth(); ++x)
      if (NextWord(s) % 3 == 0 && x > 0)
        Px(bm, x, y) = Px(bm, x - 1, y);
}

// The rectangle way above its table threshold (10,000 pixels), the same area in two halves
// below it (5,000 each) and the single-colour alteration with the limited hue shift agree.
TEST(ColorSpace, RectangleTableWayAndDirectWayGiveTheSamePixels)
{
  const struct
  {
    float dh, ds, dv;
  } deltas[] = {{0.25f, 0, 0},         {-0.7f, 0.2f, -0.1f}, {0, -1.0f, 0.5f},
                {0, 0, 0.01f},         {1.5f, 0.3f, 0.3f},   {-3.0f, 0, 0},
                {0.999f, -0.5f, 2.0f}, {0.5f, 0.5f, -0.5f}};
  for (const bool flipped : {false, true})
    for (const auto& d : deltas)
    {
      ExactBitmap whole(100, 100, flipped), halves(100, 100, flipped), single(100, 100, flipped);
      FillMixed(whole, 99);
      CopyPixels(halves, whole);
      CopyPixels(single, whole);
      PX_AlterRectHSV(&whole, 0, 0, 100, 100, d.dh, d.ds, d.dv);
      PX_AlterRectHSV(&halves, 0, 0, 100, 50, d.dh, d.ds, d.dv);
      PX_AlterRectHSV(&halves, 0, 50, 100, 50, d.dh, d.ds, d.dv);
      const int dh = std::max(-383, std::min(383, (int)(d.dh * 384.0f)));
      for (int i = 0; i < 100 * 100; ++i)
        single.getBits()[i] =
          PX_AlterColorHSV_int(single.getBits()[i], dh, (int)(d.ds * 255.0f), (int)(d.dv * 255.0f));
      ASSERT_EQ(Pixels(whole), Pixels(halves)) << d.dh << " " << d.ds << " " << d.dv;
      ASSERT_EQ(Pixels(whole), Pixels(single)) << d.dh << " " << d.ds << " " << d.dv;
    }
}

// The logical rectangle (rows counted from the top of the image, flipped or not) is clipped to
// the bitmap; unusable input changes nothing.
TEST(ColorSpace, RectangleIsClippedAndUnusableInputChangesNothing)
{
  const struct
  {
    const char* name;
    int x, y, w, h;
    float ds;
    int x0, y0, x1, y1;  // the altered pixels, x0 <= x < x1 and y0 <= y < y1
  } cases[] = {
    {"inside", 2, 1, 3, 4, -1.0f, 2, 1, 5, 5},
    {"partly left of and above", -5, -3, 8, 5, -1.0f, 0, 0, 3, 2},
    {"partly right of and below", 6, 5, 10, 10, -1.0f, 6, 5, 8, 6},
    {"whole bitmap and beyond", INT_MIN, INT_MIN, INT_MAX, INT_MAX, -1.0f, 0, 0, 0, 0},
    {"covering", -10, -10, 30, 30, -1.0f, 0, 0, 8, 6},
    {"wholly outside", 8, 0, 5, 5, -1.0f, 0, 0, 0, 0},
    {"empty", 2, 2, 0, 3, -1.0f, 0, 0, 0, 0},
    {"negative size", 4, 4, -2, -2, -1.0f, 0, 0, 0, 0},
    {"below one step", 0, 0, 8, 6, 0.001f, 0, 0, 0, 0},
    {"not a number", 0, 0, 8, 6, NAN, 0, 0, 0, 0},
  };
  for (const bool flipped : {false, true})
    for (const auto& c : cases)
    {
      ExactBitmap bm(8, 6, flipped);
      for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
          Px(bm, x, y) = 0xFF3060C0u;
      PX_AlterRectHSV(&bm, c.x, c.y, c.w, c.h, 0, c.ds, 0);
      for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
        {
          const bool in = x >= c.x0 && x < c.x1 && y >= c.y0 && y < c.y1;
          ASSERT_EQ(Px(bm, x, y), in ? 0xFFC0C0C0u : 0xFF3060C0u)
            << c.name << (flipped ? " flipped" : "") << " at " << x << "," << y;
        }
    }

  ExactBitmap bm(4, 3);
  FillPattern(bm, 3);
  const std::vector<PX_pixel> before = Pixels(bm);
  PX_AlterBitmapHSV(&bm, 0, 0, 0);
  EXPECT_EQ(Pixels(bm), before);
  PX_AlterBitmapHSV(&bm, 0, 0, -1.0f);
  for (const PX_pixel p : Pixels(bm))
    EXPECT_EQ(p & 0xFFFFFFu, 0u);

  // No bitmap, and a bitmap that reports a size but has no pixel memory.
  NoPixelsBitmap nobits;
  PX_AlterRectHSV(&nobits, 0, 0, 4, 4, 0.5f, 0.5f, 0.5f);
  PX_AlterBitmapHSV(&nobits, 0.5f, 0.5f, 0.5f);
  PX_AlterRectHSV(nullptr, 0, 0, 4, 4, 0.5f, 0.5f, 0.5f);
  PX_AlterBitmapHSV(nullptr, 0.5f, 0.5f, 0.5f);
}

}  // namespace
