// Bezier evaluation, curves drawn as float line chains, and cubic fills.
#include "raster/px_bezier.h"
#include "raster/px_line.h"
#include "tests/support/shape_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

TEST(PxBezier, WorkedValues)
{
  double t = -1;
  EXPECT_FLOAT_EQ(PX_Bezier_GetY(0.0f, 50.0f, 100.0f, 0.0f, 100.0f, 0.0f, 25.0f, &t), 37.5f);
  EXPECT_DOUBLE_EQ(t, 0.25);
  EXPECT_NEAR(PX_Bezier_GetY(0.0f, 20.0f, 100.0f, 0.0f, 100.0f, 0.0f, 50.0f, &t), 46.16f, 0.01f);
  EXPECT_NEAR(t, 0.6385, 1e-4);
  EXPECT_FLOAT_EQ(PX_Bezier_GetY(0.0f, 20.0f, 100.0f, 3.0f, 100.0f, 7.0f, -5.0f, &t), 3.0f);
  EXPECT_EQ(t, 0.0);
  EXPECT_FLOAT_EQ(PX_Bezier_GetY(0.0f, 20.0f, 100.0f, 3.0f, 100.0f, 7.0f, 100.0f, &t), 7.0f);
  EXPECT_EQ(t, 1.0);
  // A control point that makes x double back: the root stays in 0..1 and real.
  const float y = PX_Bezier_GetY(0.0f, 300.0f, 10.0f, 0.0f, 50.0f, 9.0f, 5.0f, &t);
  EXPECT_TRUE(t >= 0 && t <= 1 && std::isfinite(y)) << t << " " << y;

  float x, yq;
  PX_Bezier(0.0f, 50.0f, 100.0f, 0.0f, 100.0f, 0.0f, 0.5, &x, &yq);
  EXPECT_FLOAT_EQ(x, 50.0f);
  EXPECT_FLOAT_EQ(yq, 50.0f);

  double ax, bx, cx, ay, by, cy;
  PX_CBezier_GetCoeffs(0.0f, 1.0f, 2.0f, 3.0f, 0.0f, 3.0f, 3.0f, 0.0f, &ax, &bx, &cx, &ay, &by,
                       &cy);
  EXPECT_EQ(ax, 0.0);
  EXPECT_EQ(bx, 0.0);
  EXPECT_EQ(cx, 3.0);
  EXPECT_EQ(cy, 9.0);
  EXPECT_EQ(by, -9.0);
  EXPECT_EQ(ay, 0.0);

  float nextx = 0, dydx = 1;
  double tlo = -1, thi = -1;
  EXPECT_FLOAT_EQ(PX_CBezier_GetY(0.0f, 1.0f, 2.0f, 3.0f, 0.0f, 3.0f, 3.0f, 0.0f, 1.5f, &nextx,
                                  &dydx, &tlo, &thi),
                  2.25f);
  EXPECT_FLOAT_EQ(nextx, 1.51171875f);
  EXPECT_EQ(tlo, 0.5);
  EXPECT_EQ(thi, 0.50390625);
  tlo = thi = -1;
  EXPECT_FLOAT_EQ(PX_CBezier_GetY(0.0f, 1.0f, 2.0f, 3.0f, 4.0f, 3.0f, 3.0f, 0.0f, -1.0f, &nextx,
                                  &dydx, &tlo, &thi),
                  4.0f);
  EXPECT_EQ(dydx, 0.0f);
  EXPECT_EQ(tlo, -1.0);
  EXPECT_EQ(thi, -1.0);
}

// The curves are chains of PX_FLine segments: the same image as the chain drawn by hand.
TEST(PxBezier, CurvesAreFloatLineChains)
{
  const int W = 100, H = 60;
  const PX_pixel col = 0xFF3060C0u;
  // Clipped quadratic, one segment: from (0, 37.5) (t = 0.25) to (99, y at t = 0.745).
  float x, y;
  PX_Bezier(-50.0f, 50.0f, 150.0f, 0.0f, 100.0f, 0.0f, 0.745, &x, &y);
  EXPECT_EQ(
    Image(W, H,
          [&](PX_IBitmap* bm) {
            PX_DrawQBezier(bm, -50, 0, 50, 100, 150, 0, col, 1.0f, 0, true, 1e9f);
          }),
    Image(W, H, [&](PX_IBitmap* bm) { PX_FLine(bm, 0, 37.5f, 99, y, col, 1.0f, 0, true); }));
  // maxsegmentpx 0 acts as 1: a 100 pixel control polygon is 100 segments.
  EXPECT_EQ(Image(W, H,
                  [&](PX_IBitmap* bm) {
                    PX_DrawQBezier(bm, 10, 5, 40, 45, 70, 5, col, 1.0f, 0, true, 0.0f);
                  }),
            Image(W, H, [&](PX_IBitmap* bm) {
              const double len = 2 * std::sqrt(30.0 * 30 + 40 * 40);
              const int n = (int)len;
              float px = 10, py = 5;
              for (int i = 1; i < n; ++i)
              {
                float qx, qy;
                PX_Bezier(10.0f, 40.0f, 70.0f, 5.0f, 45.0f, 5.0f, i * (1.0 / n), &qx, &qy);
                PX_FLine(bm, px, py, qx, qy, col, 1.0f, 0, true);
                px = qx, py = qy;
              }
              PX_FLine(bm, px, py, 70, 5, col, 1.0f, 0, true);
            }));
  // A cubic of one or two segments is one line from its start to its end.
  for (float seg : {1000.0f, 60.0f})
    EXPECT_EQ(
      Image(W, H,
            [&](PX_IBitmap* bm) {
              PX_DrawCBezier(bm, 80, 50, 60, 10, 30, 20, 5, 40, col, 1.0f, 0, false, seg);
            }),
      Image(W, H, [&](PX_IBitmap* bm) { PX_FLine(bm, 5, 40, 80, 50, col, 1.0f, 0, false); }))
      << seg;
  // Wholly left of the bitmap, or not finite: nothing.
  const std::vector<PX_pixel> blank((size_t)W * H);
  EXPECT_EQ(Image(W, H,
                  [&](PX_IBitmap* bm) {
                    PX_DrawQBezier(bm, -50, 0, 20, 10, -10, 30, col, 1.0f, 0, true, 1);
                    PX_DrawCBezier(bm, NAN, 0, 20, 10, 30, 30, 50, 30, col, 1.0f, 0, true, 1);
                    PX_DrawQBezier(bm, 5, 0, 20, 10, 30, 30, col, 1.0f, 0, true, NAN);
                    PX_FillCBezier(bm, 5, 0, 20, INFINITY, 30, 30, 50, 30, 40, col, 1.0f, 0, 1);
                  }),
            blank);
}

// A row fill clipped on the left against the same fill drawn whole on a larger bitmap and cropped.
// The clip solves for the curve's parameter at column 0 by bisection, so the clipped curve is sampled
// at other parameters and its pieces may end a row apart: exact equality does not hold, but every
// pixel where the two differ lies on the edge of the whole fill (both states in its 3 x 3
// neighbourhood), and such pixels are few.
TEST(PxBezier, LeftClippedFillIsTheCroppedFillUpToItsEdge)
{
  const int W = 48, H = 40, M = 64;
  uint32_t s = 4242;
  for (int k = 0; k < 60; ++k)
  {
    // Half-pixel positions stay exact when moved by M; x ordered along the curve, the start left
    // of the bitmap, the end inside it.
    float p[8];
    for (int i = 0; i < 8; ++i)
      p[i] = (float)(NextWord(s) % (i % 2 ? 160 : 150)) / 2 - (i % 2 ? 20 : 30);
    float xs[4] = {p[0] - 45, p[2], p[4], p[6]};
    std::sort(xs, xs + 4);
    for (int i = 0; i < 4; ++i)
      p[2 * i] = xs[i];
    const int fill = (int)(NextWord(s) % 50) - 5;
    const float seg = 0.25f + (float)(NextWord(s) % 8) / 4;
    ExactBitmap clipped(W, H), whole(W + 2 * M, H + 2 * M);
    PX_FillCBezier(&clipped, p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], fill, ~0u, 1.0f, 0,
                   seg);
    PX_FillCBezier(&whole, p[0] + M, p[1] + M, p[2] + M, p[3] + M, p[4] + M, p[5] + M, p[6] + M,
                   p[7] + M, fill + M, ~0u, 1.0f, 0, seg);
    int differ = 0, filled = 0;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
      {
        const bool on = Px(clipped, x, y) != 0;
        filled += on;
        if (on == (Px(whole, x + M, y + M) != 0))
          continue;
        ++differ;
        bool edge = false;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx)
            edge |= (Px(whole, x + M + dx, y + M + dy) != 0) == on;
        EXPECT_TRUE(edge) << k << " at " << x << "," << y;
      }
    EXPECT_LE(differ, filled / 50 + 8) << k;
  }
}

// The fill between a cubic and a row (or column) agrees with Cairo's coverage of that region (a
// column fill to within two pixels: its pieces reach a row past their chords).
TEST(PxBezier, FillsAgreeWithCairo)
{
  const int W = 72, H = 64;
  uint32_t s = 31337;
  for (int k = 0; k < 40; ++k)
  {
    float p[8];
    for (int i = 0; i < 8; ++i)
      p[i] = 4 + (float)(NextWord(s) % 600) / 10.0f;
    // Monotonic along the fill's axis: the control points ordered along it.
    const bool xfill = k & 1;
    float a[4] = {p[xfill], p[2 + xfill], p[4 + xfill], p[6 + xfill]};
    std::sort(a, a + 4);
    for (int i = 0; i < 4; ++i)
      p[2 * i + xfill] = a[i];
    const int fill = 8 + (int)(NextWord(s) % 48);
    const std::vector<int> n = Counts(W, H, [&](PX_IBitmap* bm, PX_pixel c, float a, int m) {
      (xfill ? PX_FillCBezierX : PX_FillCBezier)(bm, p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7],
                                                 fill, c, a, m, 2.0f);
    });
    // Each pixel is combined once, also where pieces meet. Every column filled above a fill row
    // reaches the row below it, and every row filled left of a fill column the column right of it,
    // one pixel wide or wider.
    for (int v : n)
      ASSERT_LE(v, 1) << k;
    if (!xfill && fill + 1 < H)
    {
      for (int x = 0; x < W; ++x)
        EXPECT_LE(n[(size_t)(fill - 1) * W + x], n[(size_t)(fill + 1) * W + x]) << k << " x " << x;
    }
    if (xfill && fill + 1 < W)
    {
      for (int y = 0; y < H; ++y)
        EXPECT_LE(n[(size_t)y * W + fill - 1], n[(size_t)y * W + fill + 1]) << k << " y " << y;
    }
#ifdef QV_HAVE_CAIRO
    // Pixel (x, y) covers [x, x + 1) x [y, y + 1); the fill reaches to the far side of its row.
    const std::vector<int> cov = CairoCoverage(W, H, [&](cairo_t* cr) {
      const float* q = p;
      cairo_move_to(cr, q[0], q[1]);
      cairo_curve_to(cr, q[2], q[3], q[4], q[5], q[6], q[7]);
      if (xfill)
      {
        cairo_line_to(cr, fill + 0.5, q[7]);
        cairo_line_to(cr, fill + 0.5, q[1]);
      }
      else
      {
        cairo_line_to(cr, q[6], fill + 0.5);
        cairo_line_to(cr, q[0], fill + 0.5);
      }
      cairo_close_path(cr);
    });
    ExpectCoverageAgrees(n, cov, W, H, true, "fill " + std::to_string(k), xfill ? 2 : 1);
#endif
  }
}

// Straight cubics along an axis, exactly: a column fill takes rows floor(ystart)..floor(yend) (its
// last piece ends on the row above the end's and reaches one row past it) and the columns from the
// fill column to the curve's (cut to the bitmap, also where the curve lies beside it); a row fill
// takes the rows from the curve's nearest row to the fill row. At the top edge, where rounding
// toward zero would move a row.
TEST(PxBezier, AxisAlignedFillsTakeWholeRows)
{
  const int W = 10, H = 6;
  struct Case
  {
    bool column;
    float x0, y0, x1, y1;
    int fill;
    float seg;
    int c0, c1, rows;  // columns c0..c1 of rows 0..rows - 1 filled
  };
  const Case cases[] = {
    {true, 6, -10, 6, 0, 2, 2.0f, 2, 6, 1},      // last piece on row -1: row 0 by its overhang
    {true, 6, 0, 6, -1, 2, 2.0f, 2, 6, 1},       // one piece, on row -1, given from its lower end
    {true, 6, -10, 6, 0, 2, 0.25f, 2, 6, 1},     // last sample at y = -0.5, in row -1
    {true, 6, -10, 6, 0.5f, 2, 2.0f, 2, 6, 1},   // ends inside row 0
    {true, 6, -10, 6, -0.5f, 2, 2.0f, 2, 6, 0},  // ends inside row -1
    {false, 2, -0.7f, 9, -0.7f, -3, 2.0f, 2, 8, 0},  // rows -3..-1 (y = -0.7 is nearest row -1)
    {true, 12, -10, 12, 3, 2, 0.5f, 2, 9, 4},  // right of the bitmap: its rows to the right edge
    {true, -3, -10, -3, 3, 4, 0.5f, 0, 5, 4},  // left of it: from the left edge
  };
  for (size_t i = 0; i < std::size(cases); ++i)
  {
    const Case& c = cases[i];
    // Control points at the thirds: the straight line.
    const float dx = (c.x1 - c.x0) / 3, dy = (c.y1 - c.y0) / 3;
    std::vector<int> want((size_t)W * H);
    for (int y = 0; y < c.rows; ++y)
      for (int x = c.c0; x <= c.c1; ++x)
        want[(size_t)y * W + x] = 1;
    EXPECT_EQ(Counts(W, H,
                     [&](PX_IBitmap* bm, PX_pixel col, float a, int m) {
                       (c.column ? PX_FillCBezierX
                                 : PX_FillCBezier)(bm, c.x0, c.y0, c.x0 + dx, c.y0 + dy, c.x1 - dx,
                                                   c.y1 - dy, c.x1, c.y1, c.fill, col, a, m, c.seg);
                     }),
              want)
      << i;
  }
}

// The counts of a fill that covers line i (column i, or row i when !columns) from lo[i] to hi.
std::vector<int> Spans(int w, int h, bool columns, const std::vector<int>& lo, int hi)
{
  std::vector<int> c((size_t)w * h);
  for (int i = 0; i < (int)lo.size(); ++i)
    for (int j = std::max(lo[i], 0); j <= hi && j < (columns ? h : w); ++j)
      c[columns ? (size_t)j * w + i : (size_t)i * w + j] = 1;
  return c;
}

// Curved fills, pixel by pixel. Eight segments (control polygon 25.6 long, 3 pixels a segment):
// samples at t = i / 8, i = 1..6. Along the axis the fill walks, the curve passes 0.5, 3.5, 5.5,
// 8.5: sample i lies in line i (at 1.58, 2.59, 3.56, 4.5, 5.44, 6.41), the last piece ends on line
// floor(8.5 - 1) = 7. Across it, 2, 9, -3, 2 give 2 + 21t - 57t^2 + 36t^3: 3.80, 4.25, 3.76, 2.75,
// 1.65, 0.875, to the nearest 4 4 4 3 2 1 (down: 3 4 3 2 1 0).
// Row fill to row 9: the first piece covers columns 0-1 from its ends' rows 2 and 4; piece i covers
// column i (2..6) from the upper of samples i - 1 and i; the last, column 7, from the upper of
// sample 6 and the end (2). Every column reaches row 10, below the fill row.
// Column fill to column 9, across values one more (nearest 5 5 5 4 3 2): the first piece covers
// rows 0-2 from columns 3 and 5, row 1 halfway (4); piece i covers rows i and i + 1 from samples
// i - 1 and i; the last, rows 7 and 8, from sample 6 and the end (3). Every row reaches column 10.
TEST(PxBezier, CurvedFillsEndTheirPiecesOnTheNearestPixel)
{
  const int W = 12, H = 12;
  struct Case
  {
    bool column;
    float along[4], across[4];
    std::vector<int> lo;  // line i (column of a row fill, row of a column fill) from lo[i] to 10
  };
  const Case cases[] = {
    {false, {0.5f, 3.5f, 5.5f, 8.5f}, {2, 9, -3, 2}, {2, 4, 4, 4, 3, 2, 1, 1}},
    {true, {0.5f, 3.5f, 5.5f, 8.5f}, {3, 10, -2, 3}, {3, 4, 5, 5, 5, 4, 3, 2, 3}},
  };
  for (const Case& c : cases)
  {
    const float *a = c.along, *b = c.across;
    EXPECT_EQ(Counts(W, H,
                     [&](PX_IBitmap* bm, PX_pixel col, float al, int m) {
                       if (c.column)
                         PX_FillCBezierX(bm, b[0], a[0], b[1], a[1], b[2], a[2], b[3], a[3], 9, col,
                                         al, m, 3.0f);
                       else
                         PX_FillCBezier(bm, a[0], b[0], a[1], b[1], a[2], b[2], a[3], b[3], 9, col,
                                        al, m, 3.0f);
                     }),
              Spans(W, H, !c.column, c.lo, 10))
      << c.column;
  }
}

// A column fill takes the rows of the parts of its curve left and right of the bitmap, from the
// bitmap's edge. The line from (-10, 0) to (20, 20) in one piece, filled to column 30: the edge
// moves 1.5 columns a row, row k starting at column -10 + floor(1.5 k); the rows end at column 31,
// cut to the last column. Row 20 (the piece's reach past its end) lies below the bitmap.
TEST(PxBezier, ColumnFillTakesTheRowsBesideTheBitmap)
{
  const int W = 24, H = 20;
  EXPECT_EQ(
    Counts(W, H,
           [&](PX_IBitmap* bm, PX_pixel col, float a, int m) {
             PX_FillCBezierX(bm, -10, 0, 0, 20 / 3.0f, 10, 40 / 3.0f, 20, 20, 30, col, a, m, 1000);
           }),
    Spans(W, H, false, {0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18}, W - 1));
}

}  // namespace
