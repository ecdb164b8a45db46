// Circles, arcs and rounded rectangles.
#include "raster/px_arc.h"
#include "raster/px_line.h"
#include "tests/support/shape_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

const float kPi = 3.1415927f;

typedef std::function<void(PX_IBitmap*, PX_pixel, float, int)> CountDraw;

TEST(PxCircle, SmallRadiiAreMasks)
{
  // Radius 2 with anti-aliasing: the 5 x 5 mask with its top-left pixel at (int)(cx - 2).
  const int mask[5][5] = {{0x0F, 0xBF, 0xFF, 0xBF, 0x0F},
                          {0xBF, 0xD1, 0x4F, 0xD1, 0xBF},
                          {0xFF, 0x4F, 0x00, 0x4F, 0xFF},
                          {0xBF, 0xD1, 0x4F, 0xD1, 0xBF},
                          {0x0F, 0xBF, 0xFF, 0xBF, 0x0F}};
  for (bool flipped : {false, true})
  {
    const std::vector<int> w = Weights(
      12, 10, [](PX_IBitmap* bm) { PX_Circle(bm, 5.9f, 4.2f, 2.0f, ~0u, 1.0f, 0, true); }, flipped);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 12; ++x)
      {
        const bool in = x >= 3 && x < 8 && y >= 2 && y < 7;
        EXPECT_EQ(w[(size_t)y * 12 + x], in ? mask[y - 2][x - 3] : 0) << x << "," << y;
      }
  }
  // Other radii, and every filled circle, go to the drawers.
  const auto img = [](float r, bool fill) {
    return Image(12, 12, [=](PX_IBitmap* bm) {
      (fill ? PX_FillCircle : PX_Circle)(bm, 6, 6, r, ~0u, 1.0f, 0, true);
    });
  };
  EXPECT_NE(img(2.0001f, false), img(2.0f, false));
  EXPECT_NE(img(3.0f, true),
            Image(12, 12, [](PX_IBitmap* bm) { PX_Circle(bm, 6, 6, 3.0f, ~0u, 1.0f, 0, true); }));
}

TEST(PxCircle, WorkedPoints)
{
  // Positions are truncated: the axis points of a circle at 10.7 with radius 3, from the mask and
  // from the drawer.
  for (bool fill : {false, true})
  {
    const std::vector<PX_pixel> n = Image(20, 20, [=](PX_IBitmap* bm) {
      (fill ? PX_FillCircle : PX_Circle)(bm, 10.7f, 10.7f, 3.0f, ~0u, 1.0f, 0, false);
    });
    for (auto p : {std::make_pair(10, 13), {10, 7}, {13, 10}, {7, 10}})
      EXPECT_EQ(n[(size_t)p.second * 20 + p.first], ~0u) << p.first << "," << p.second;
    EXPECT_EQ(n[(size_t)6 * 20 + 10] | n[(size_t)14 * 20 + 10] | n[(size_t)10 * 20 + 14], 0u);
  }
  // Radius 0: the centre, four times in the outline, once in the disc.
  for (bool fill : {false, true})
  {
    const std::vector<int> z = Counts(5, 5, [=](PX_IBitmap* bm, PX_pixel c, float a, int m) {
      (fill ? PX_FillCircle : PX_Circle)(bm, 2, 2, 0, c, a, m, false);
    });
    EXPECT_EQ(z[12], fill ? 1 : 4);
    EXPECT_EQ(std::accumulate(z.begin(), z.end(), 0), fill ? 1 : 4);
  }
}

// The midpoint circle of radius r2 / 2 around a whole centre, from its closed form: at column
// offset x the first octant keeps the highest y (r, r - 1, ...) whose lower midpoint y - 1/2 lies
// inside the circle, going at most one row past the diagonal. Pixels of the bitmap w x h only.
std::vector<bool> MidpointPixels(int w, int h, int cx, int cy, int r2, bool fill)
{
  std::vector<bool> on((size_t)w * h);
  std::vector<int> lo(h, INT32_MAX), hi(h, INT32_MIN);
  const auto put = [&](double x, double y) {
    const int X = (int)(cx + x), Y = (int)(cy + y);
    if (Y < 0 || Y >= h)
      return;
    lo[Y] = std::min(lo[Y], X), hi[Y] = std::max(hi[Y], X);
    if (X >= 0 && X < w)
      on[(size_t)Y * w + X] = true;
  };
  for (int64_t x = 0, y2 = r2;; ++x)
  {
    while (x > 0 && 4 * x * x + (y2 - 1) * (y2 - 1) >= (int64_t)r2 * r2 && y2 > 2 * x - 2)
      y2 -= 2;
    for (int sx : {-1, 1})
      for (int sy : {-1, 1})
      {
        put(sx * (double)x, sy * y2 / 2.0);
        put(sx * y2 / 2.0, sy * (double)x);
      }
    if (y2 <= 2 * x)
      break;
  }
  if (fill)
    for (int y = 0; y < h; ++y)
      for (int x = std::max(lo[y], 0); x <= std::min(hi[y], w - 1); ++x)
        on[(size_t)y * w + x] = true;
  return on;
}

// Midpoint outlines and discs against the closed form for radii 0.5 to 200, inside the bitmap and
// cut by its edges; the disc combines each of its pixels exactly once.
TEST(PxCircle, MidpointPixelsMatchClosedForm)
{
  std::vector<int> radii;
  for (int r2 = 1; r2 <= 60; ++r2)
    radii.push_back(r2);
  for (int r2 : {101, 255, 400})
    radii.push_back(r2);
  for (int r2 : radii)
    for (int place = 0; place < 3; ++place)
    {
      // Whole circle; centre near the left edge (cut, truncation toward zero); centre below it.
      const int room = r2 / 2 + 3, w = 2 * room + 1, h = place == 2 ? room : w;
      const int cx = place == 1 ? 1 : room, cy = place == 2 ? room + 2 : room;
      for (bool fill : {false, true})
      {
        if (!fill && r2 >= 3 && r2 <= 8)
          continue;  // the outline's masks
        const std::vector<int> n = Counts(w, h, [&](PX_IBitmap* bm, PX_pixel c, float a, int m) {
          (fill ? PX_FillCircle : PX_Circle)(bm, (float)cx, (float)cy, r2 / 2.0f, c, a, m, false);
        });
        const std::vector<bool> want = MidpointPixels(w, h, cx, cy, r2, fill);
        int wrong = 0;
        for (size_t i = 0; i < n.size(); ++i)
          wrong += fill ? n[i] != (int)want[i] : (n[i] != 0) != want[i];
        EXPECT_EQ(wrong, 0) << "r " << r2 / 2.0 << " place " << place << " fill " << fill;
      }
    }
}

// Anti-aliased circles, columns away from the diagonals: of the two pixels an outline point falls
// between, the outer one takes the fraction of its y and the inner one the rest; the disc is full
// between the outer pixels and combines each pixel once. Radii 1.25 apart give whole and
// fractional y.
TEST(PxCircle, AntiAliasedColumns)
{
  for (float r = 5.0f; r < 40; r += 1.25f)
    for (bool fill : {false, true})
    {
      const int c = (int)r + 4, w = 2 * c + 1;
      const std::vector<int> got = Weights(w, w, [&](PX_IBitmap* bm) {
        (fill ? PX_FillCircle : PX_Circle)(bm, (float)c, (float)c, r, ~0u, 1.0f, PX_MODE_COPY,
                                           true);
      });
      // The outline combines the pixels of column offset 0 twice.
      for (int x = fill ? 0 : 1; x < r / std::sqrt(2.0f) - 2; ++x)
        for (int X : {c - x, c + x})
        {
          const float y = (float)std::sqrt((double)(r * r - (float)(x * x)));
          // Rows top and bottom + 1 are the outer pixels; a whole y puts its top point on top.
          const bool whole = y == std::floor(y);
          const int frac = (int)(256 * (y - std::floor(y))), rest = std::min(256 - frac, 255);
          const int top = c - (int)std::ceil(y), bottom = c + (int)std::floor(y);
          for (int Y = 0; Y < w; ++Y)
          {
            int want = 0;
            if (Y == top)
              want = whole ? 255 : frac;
            else if (Y == bottom + 1)
              want = whole ? 0 : frac;
            else if (Y > top && Y <= bottom)
              want = fill                            ? 255
                     : whole                         ? (Y == bottom ? 255 : 0)
                     : (Y == top + 1 || Y == bottom) ? rest
                                                     : 0;
            EXPECT_EQ(got[(size_t)Y * w + X], want)
              << "r " << r << " fill " << fill << " at " << X << "," << Y;
          }
        }
      if (!fill)
        continue;
      const std::vector<int> n = Counts(w, w, [&](PX_IBitmap* bm, PX_pixel col, float a, int m) {
        PX_FillCircle(bm, (float)c, (float)c, r, col, a, m, true);
      });
      for (size_t i = 0; i < n.size(); ++i)
        EXPECT_EQ(n[i], got[i] == 255 ? 1 : 0) << "r " << r << " pixel " << i;
    }
}

// Filled rounded rectangles: opaque copy gives the pixels of the three bands and four corner discs
// drawn one over another; each pixel is combined once, also where discs and bands overlap, with
// anti-aliasing, on flipped bitmaps and cut by the edges.
TEST(PxRoundRect, FilledCombinesEachPixelOnce)
{
  const int W = 40, H = 36;
  const struct
  {
    int x, y, w, h, cr;
  } cases[] = {{4, 3, 30, 25, 6}, {-3, 2, 20, 40, 9}, {5, 5, 12, 8, 5}, {2, 2, 9, 30, 0}};
  for (const auto& t : cases)
    for (bool flipped : {false, true})
      for (bool aa : {false, true})
      {
        SCOPED_TRACE(testing::Message() << t.x << "," << t.y << " " << t.w << "x" << t.h << " r "
                                        << t.cr << " flipped " << flipped << " aa " << aa);
        const auto rr = [&](PX_IBitmap* bm, PX_pixel c, float a, int m) {
          PX_FillRoundRect(bm, t.x, t.y, t.w, t.h, t.cr, c, a, m, aa);
        };
        // Counts in the blue channel (rectangle fills in add mode saturate the alpha).
        const std::vector<PX_pixel> n = Image(
          W, H, [&](PX_IBitmap* bm) { rr(bm, 0x01010101u, 1.0f, PX_MODE_ADD); }, flipped);
        const std::vector<PX_pixel> once = Image(
          W, H, [&](PX_IBitmap* bm) { rr(bm, ~0u, 1.0f, PX_MODE_COPY); }, flipped);
        const float r = (float)t.cr, l = t.x + r, top = t.y + r;
        const float right = (float)(t.x + t.w) - r - 1, bottom = (float)(t.y + t.h) - r - 1;
        const std::vector<PX_pixel> layered = Image(
          W, H,
          [&](PX_IBitmap* bm) {
            PX_FillRect(bm, t.x + t.cr, t.y, t.w - 2 * t.cr, t.h, ~0u, 1.0f, PX_MODE_COPY);
            PX_FillRect(bm, t.x, t.y + t.cr, t.cr, t.h - 2 * t.cr, ~0u, 1.0f, PX_MODE_COPY);
            PX_FillRect(bm, t.x + t.w - t.cr, t.y + t.cr, t.cr, t.h - 2 * t.cr, ~0u, 1.0f,
                        PX_MODE_COPY);
            for (auto c : {std::make_pair(l, top), {right, bottom}, {right, top}, {l, bottom}})
              PX_FillCircle(bm, c.first, c.second, r, ~0u, 1.0f, PX_MODE_COPY, aa);
          },
          flipped);
        if (!aa)
        {
          EXPECT_EQ(once, layered);
        }
        for (size_t i = 0; i < n.size(); ++i)
          ASSERT_EQ(n[i] & 0xFF, once[i] == ~0u ? 1u : 0u) << "pixel " << i;
      }
}

// Rounded outlines: the bottom edge starts one pixel further left than the top and the left edge
// one pixel higher than the right; otherwise the corners mirror each other, so the bottom row is the
// top row plus that one pixel, and the left column the right column plus one.
TEST(PxRoundRect, BottomAndLeftEdgesStartOnePixelEarly)
{
  const int W = 24, H = 20;
  const struct
  {
    int x, y, w, h, cr;
  } cases[] = {{2, 3, 17, 12, 4}, {5, 1, 12, 15, 3}};
  for (const auto& t : cases)
    for (bool aa : {false, true})
    {
      const std::vector<int> n = Counts(W, H, [&](PX_IBitmap* bm, PX_pixel c, float a, int m) {
        PX_RoundRect(bm, (float)t.x, (float)t.y, (float)t.w, (float)t.h, t.cr, c, a, m, aa);
      });
      const auto at = [&](int x, int y) { return n[(size_t)y * W + x]; };
      for (int x = 0; x < W; ++x)
        EXPECT_EQ(at(x, t.y + t.h) - at(x, t.y), x == t.x + t.cr - 1 ? 1 : 0)
          << t.x << " aa " << aa << " column " << x;
      for (int y = 0; y < H; ++y)
        EXPECT_EQ(at(t.x, y) - at(t.x + t.w, y), y == t.y + t.cr - 1 ? 1 : 0)
          << t.x << " aa " << aa << " row " << y;
    }
}

// Extreme and non-finite radii and centres finish promptly and stay inside the bitmap.
TEST(PxCircle, ExtremeInputIsSafe)
{
  const float values[] = {NAN, INFINITY, -INFINITY, 1e30f, -1e30f, 3e7f, -5.0f, 0.3f};
  for (float v : values)
    for (bool aa : {false, true})
      for (int which = 0; which < 4; ++which)
      {
        ExactBitmap bm(16, 12);
        switch (which)
        {
          case 0:
            PX_Circle(&bm, 8, 6, v, ~0u, 1.0f, 0, aa);
            break;
          case 1:
            PX_FillCircle(&bm, 8, 6, v, ~0u, 1.0f, 0, aa);
            break;
          case 2:
            PX_FillCircle(&bm, v, 6, 10, ~0u, 1.0f, 0, aa);
            break;
          default:
            PX_Arc(&bm, 8, 6, 5, 0, v, ~0u, 1.0f, 0, aa);
            break;
        }
        if (std::isnan(v) || std::isinf(v))
        {
          EXPECT_EQ(Pixels(bm), std::vector<PX_pixel>(16 * 12)) << v << " " << which;
        }
      }
  // A large circle through the bitmap still draws its visible part.
  ExactBitmap big(16, 12);
  PX_Circle(&big, 8, 100006, 100000, ~0u, 1.0f, 0, false);
  EXPECT_EQ(Px(big, 8, 6), ~0u);
}

}  // namespace
