// Circles, arcs and rounded rectangles.
#include "raster/px_arc.h"
#include "raster/px_line.h"
#include "shape_test_util.h"

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

// Anti-aliased discs, columns away from the diagonals: of the two pixels the outline point falls
// between, the outer one takes the fraction of its y and the inner one, like every pixel between
// them, full weight; each pixel combined once. Radii 1.25 apart cover whole and fractional y.
TEST(PxCircle, AntiAliasedDiscColumns)
{
  for (float r = 5.0f; r < 40; r += 1.25f)
  {
    const int c = (int)r + 4, w = 2 * c + 1;
    const std::vector<int> got = Weights(w, w, [&](PX_IBitmap* bm) {
      PX_FillCircle(bm, (float)c, (float)c, r, ~0u, 1.0f, PX_MODE_COPY, true);
    });
    for (int x = 0; x < r / std::sqrt(2.0f) - 2; ++x)
      for (int X : {c - x, c + x})
      {
        const float y = (float)std::sqrt((double)(r * r - (float)(x * x)));
        // Rows top and bottom + 1 are the outer pixels; a whole y puts its top point on top.
        const bool whole = y == std::floor(y);
        const int frac = (int)(256 * (y - std::floor(y)));
        const int top = c - (int)std::ceil(y), bottom = c + (int)std::floor(y);
        for (int Y = 0; Y < w; ++Y)
        {
          const int want = (Y > top && Y <= bottom) || (Y == top && whole) ? 255
                           : Y == top || Y == bottom + 1                  ? frac
                                                                          : 0;
          EXPECT_EQ(got[(size_t)Y * w + X], want) << "r " << r << " at " << X << "," << Y;
        }
      }
    const std::vector<int> n = Counts(w, w, [&](PX_IBitmap* bm, PX_pixel col, float a, int m) {
      PX_FillCircle(bm, (float)c, (float)c, r, col, a, m, true);
    });
    for (size_t i = 0; i < n.size(); ++i)
      EXPECT_EQ(n[i], got[i] == 255 ? 1 : 0) << "r " << r << " pixel " << i;
  }
}

// Midpoint outlines with whole centre and radius: every pixel combined once, except where the
// octants meet next to the diagonals (twice); the same in a flipped bitmap, mirrored.
TEST(PxCircle, MidpointCountsDoubleOnlyOnDiagonals)
{
  for (int r = 5; r < 20; ++r)
  {
    const int W = 2 * r + 7, c = r + 3;
    for (bool flipped : {false, true})
    {
      const std::vector<int> n = Counts(
        W, W,
        [&](PX_IBitmap* bm, PX_pixel col, float a, int m) {
          PX_Circle(bm, (float)c, (float)c, (float)r, col, a, m, false);
        },
        flipped);
      for (int y = 0; y < W; ++y)
        for (int x = 0; x < W; ++x)
        {
          const int v = n[(size_t)(flipped ? W - 1 - y : y) * W + x];
          const int dx = std::abs(x - c), dy = std::abs(y - c);
          EXPECT_LE(v, std::abs(dx - dy) <= 1 ? 2 : 1) << "r " << r << " at " << x << "," << y;
        }
    }
  }
}

// Circles and arcs against Cairo: discs filled, outlines on the ring. Arcs lie on the ring and
// within a row of Cairo's arc on the same side of the centre column (their ends are rounded to
// rows, so a flat run of the circle on an end row is drawn whole).
// Circles stay inside the bitmap: left of or above it truncation toward zero shifts positions.
TEST(PxCircle, AgreesWithCairoCoverage)
{
#ifndef QV_HAVE_CAIRO
  GTEST_SKIP() << "Cairo not installed";
#else
  const int W = 64, H = 56;
  uint32_t s = 4242;
  for (int k = 0; k < 60; ++k)
  {
    const int cx = 16 + (int)(NextWord(s) % 32), cy = 14 + (int)(NextWord(s) % 28);
    const int room = std::min(std::min(cx, W - 1 - cx), std::min(cy, H - 1 - cy)) - 2;
    const float r = 4.5f + (float)(NextWord(s) % (10 * (room - 4))) / 10.0f;
    const bool aa = k & 1;
    const std::string what = "k " + std::to_string(k) + " r " + std::to_string(r);
    // The drawers' pixel (x, y) stands for the unit square at (x, y): the centre is (c + 0.5).
    const auto ring = [&](cairo_t* cr) { cairo_arc(cr, cx + 0.5, cy + 0.5, r, 0, 2 * M_PI); };
    const std::vector<int> disc = Weights(W, H, [&](PX_IBitmap* bm) {
      PX_FillCircle(bm, (float)cx, (float)cy, r, ~0u, 1.0f, PX_MODE_COPY, aa);
    });
    ExpectCoverageAgrees(disc, CairoCoverage(W, H, ring), W, H, true, "disc " + what);
    const std::vector<int> outline = Weights(W, H, [&](PX_IBitmap* bm) {
      PX_Circle(bm, (float)cx, (float)cy, r, ~0u, 1.0f, PX_MODE_COPY, aa);
    });
    const std::vector<int> ringcov = CairoCoverage(W, H, ring, true);
    ExpectCoverageAgrees(outline, ringcov, W, H, false, "outline " + what);

    const float a0 = (float)(NextWord(s) % 6283) / 1000.0f - kPi,
                a1 = a0 + (float)(NextWord(s) % 6000) / 1000.0f;
    const std::vector<int> arc = Weights(W, H, [&](PX_IBitmap* bm) {
      PX_Arc(bm, (float)cx, (float)cy, r, a0, a1, ~0u, 1.0f, PX_MODE_COPY, aa);
    });
    ExpectCoverageAgrees(arc, ringcov, W, H, false, "arc on ring " + what);
    const std::vector<int> arccov = CairoCoverage(
      W, H,
      [&](cairo_t* cr) { cairo_arc(cr, cx + 0.5, cy + 0.5, r, a0 - M_PI / 2, a1 - M_PI / 2); },
      true);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
      {
        if (!arc[(size_t)y * W + x])
          continue;
        bool found = false;
        for (int yy = std::max(y - 1, 0); yy <= std::min(y + 1, H - 1); ++yy)
          for (int xx = 0; xx < W; ++xx)
            found |= arccov[(size_t)yy * W + xx] > 0 &&
                     (std::abs(xx - cx) <= 1 || std::abs(x - cx) <= 1 || (xx > cx) == (x > cx));
        EXPECT_TRUE(found) << "arc " << what << " c " << cx << "," << cy << " " << a0 << ".." << a1
                           << " at " << x << "," << y;
      }
  }
#endif
}

TEST(PxArc, PiecesOfTheCircle)
{
  const auto arc = [](float a0, float a1, bool flipped = false, float cy = 10.0f) {
    return Image(
      24, 22,
      [=](PX_IBitmap* bm) { PX_Arc(bm, 11.0f, cy, 7.0f, a0, a1, 0xFF00FF00u, 1.0f, 0, true); },
      flipped);
  };
  const auto circle = Image(
    24, 22, [](PX_IBitmap* bm) { PX_Circle(bm, 11.0f, 10.0f, 7.0f, 0xFF00FF00u, 1.0f, 0, true); });
  EXPECT_EQ(arc(0, 2 * kPi), circle);
  EXPECT_EQ(arc(-1, 2 * kPi + 1), circle);
  EXPECT_EQ(arc(kPi / 2, 0), arc(0, kPi / 2));
  EXPECT_EQ(arc(7, 8), arc(7 - 2 * kPi, 8 - 2 * kPi));
  EXPECT_EQ(arc(-10, -9), arc(-10 + 4 * kPi, -9 + 4 * kPi));
  // The two halves of a quarter-split arc make up the whole circle.
  const auto right = arc(0, kPi), left = arc(kPi, 2 * kPi - 0.0001f);
  std::vector<PX_pixel> both(right);
  for (size_t i = 0; i < both.size(); ++i)
    both[i] = right[i] ? right[i] : left[i];
  EXPECT_EQ(both, circle);
  // The upper-right quarter: rows from (int)(cy - r + 0.5) to (int)(cy + 0.5), columns from cx.
  const std::vector<PX_pixel> q = arc(0, kPi / 2);
  for (int y = 0; y < 22; ++y)
    for (int x = 0; x < 24; ++x)
      if (q[(size_t)y * 24 + x])
      {
        EXPECT_GE(x, 11);
        EXPECT_GE(y, 3);
        EXPECT_LE(y, 10);
      }
  // On a flipped bitmap the arc is mirrored: angles a become pi - a around the mirrored centre,
  // drawn in storage rows.
  EXPECT_EQ(arc(0.3f, 2.0f, true, 11.0f),
            Mirrored(arc(kPi - 2.0f, kPi - 0.3f, false, 10.0f), 24, 22));
  for (bool fill : {false, true})
    EXPECT_EQ(Image(
                24, 22,
                [=](PX_IBitmap* bm) {
                  (fill ? PX_FillCircle : PX_Circle)(bm, 9.5f, 7.3f, 6.2f, ~0u, 0.7f, 0, true);
                },
                true),
              Mirrored(Image(24, 22,
                             [=](PX_IBitmap* bm) {
                               (fill ? PX_FillCircle : PX_Circle)(bm, 9.5f, 13.7f, 6.2f, ~0u, 0.7f,
                                                                  0, true);
                             }),
                       24, 22));
}

TEST(PxRoundRect, CornersAndFallback)
{
  const auto rr = [](float x, float y, float w, float h, int c) {
    return Counts(40, 40, [=](PX_IBitmap* bm, PX_pixel col, float a, int m) {
      PX_RoundRect(bm, x, y, w, h, c, col, a, m, false);
    });
  };
  const auto rect = [](int x, int y, int w, int h) {
    return Counts(40, 40, [=](PX_IBitmap* bm, PX_pixel col, float a, int m) {
      PX_DrawRect(bm, x, y, w, h, col, a, m);
    });
  };
  EXPECT_EQ(rr(2, 3, 20, 15, 1), rect(2, 3, 20, 15));
  EXPECT_EQ(rr(2, 3, 3, 3, 10), rect(2, 3, 3, 3));
  EXPECT_EQ(rr(2, 3, 20, 15, 0), rect(2, 3, 20, 15));
  // cornerradius 10 on 12 x 30 uses corners of radius 6 (centres 6 in from the corners, whose
  // own pixels stay empty); 5 with w = 7 is floored to 3.
  const struct
  {
    float w;
    int c, radius;
  } corners[] = {{12, 10, 6}, {7, 5, 3}};
  for (const auto& t : corners)
  {
    const std::vector<int> n = rr(5, 4, t.w, 30, t.c);
    const auto at = [&](int x, int y) { return n[(size_t)y * 40 + x]; };
    EXPECT_EQ(at(5, 4) + at(5 + (int)t.w, 4) + at(5, 34) + at(5 + (int)t.w, 34), 0) << t.w;
    EXPECT_GE(at(5 + t.radius, 4), 1) << t.w;
    EXPECT_GE(at(5, 4 + t.radius), 1) << t.w;
    if (t.radius > 3)
    {
      EXPECT_EQ(at(6, 5), 0) << t.w;  // cut off by the corner
    }
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
