// Trapezoid, triangle and convex polygon fills.
#include "raster/px_line.h"
#include "tests/support/shape_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace {

// Per row, the filled columns as [first, last], or {-1, -1} for an empty row.
std::vector<std::pair<int, int>> RowSpans(const std::vector<int>& c, int w, int h)
{
  std::vector<std::pair<int, int>> rows;
  for (int y = 0; y < h; ++y)
  {
    int lo = -1, hi = -1;
    for (int x = 0; x < w; ++x)
      if (c[(size_t)y * w + x])
      {
        if (lo < 0)
          lo = x;
        hi = x;
      }
    rows.push_back({lo, hi});
  }
  return rows;
}

TEST(PxFillTrapezoid, WorkedRows)
{
  typedef std::vector<std::pair<int, int>> Spans;
  const struct
  {
    const char* what;
    int x1a, x1b, y1, x2a, x2b, y2;
    Spans rows;  // rows 0..5
  } cases[] = {
    {"one row fills the first span only",
     2,
     5,
     1,
     0,
     9,
     1,
     {{-1, -1}, {2, 5}, {-1, -1}, {-1, -1}, {-1, -1}, {-1, -1}}},
    {"vertical edges fill a clipped rectangle",
     -3,
     4,
     2,
     -3,
     4,
     9,
     {{-1, -1}, {-1, -1}, {0, 4}, {0, 4}, {0, 4}, {0, 4}}},
    {"rows given upside down",
     1,
     2,
     4,
     1,
     2,
     3,
     {{-1, -1}, {-1, -1}, {-1, -1}, {1, 2}, {1, 2}, {-1, -1}}},
    {"ends given right to left",
     6,
     3,
     0,
     6,
     3,
     0,
     {{3, 6}, {-1, -1}, {-1, -1}, {-1, -1}, {-1, -1}, {-1, -1}}},
    // The left edge from 0 to 5 over rows 0..10 moves every second row.
    {"edges move toward the lower vertex by whole pixels",
     0,
     9,
     0,
     5,
     9,
     10,
     {{0, 9}, {0, 9}, {1, 9}, {1, 9}, {2, 9}, {2, 9}}},
    // Started ten rows above: the edges are already advanced by ten rows.
    {"rows above the bitmap advance the edges",
     0,
     9,
     -10,
     10,
     12,
     10,
     {{5, 9}, {5, 9}, {6, 9}, {6, 9}, {7, 9}, {7, 9}}},
    // Six rows above with a step of 10/16: the left edge starts at 3 with 0.75 of a pixel left
    // over, so it stands at (6 + k) * 10 / 16 on row k.
    {"rows above leave a fractional remainder",
     0,
     9,
     -6,
     10,
     12,
     10,
     {{3, 9}, {4, 9}, {5, 9}, {5, 9}, {6, 9}, {6, 9}}},
    {"wholly right of the bitmap", 10, 12, 0, 10, 14, 5, Spans(6, {-1, -1})},
    {"extreme rows and columns", INT_MIN, INT_MAX, INT_MIN, INT_MIN, INT_MAX, INT_MAX,
     Spans(6, {0, 9})},
  };
  for (const auto& c : cases)
  {
    const std::vector<int> n = Counts(10, 6, [&](PX_IBitmap* bm, PX_pixel col, float a, int m) {
      PX_FillTrapezoid(bm, c.x1a, c.x1b, c.y1, c.x2a, c.x2b, c.y2, col, a, m);
    });
    EXPECT_EQ(*std::max_element(n.begin(), n.end()) <= 1, true) << c.what;
    EXPECT_EQ(RowSpans(n, 10, 6), c.rows) << c.what;
  }
  // Storage rows: a flipped bitmap is not mirrored.
  FlippedBitmap f(4, 4);
  PX_FillTrapezoid(&f, 0, 3, 0, 0, 3, 0, 0xFFFFFFFFu, 1.0f, PX_MODE_COPY);
  EXPECT_EQ(f.getBits()[0], 0xFFFFFFFFu);
}

TEST(PxFillTrapezoid, WholePixelCopyAlphas)
{
  const PX_pixel d = 0x80FF4010u, c = 0x20406080u;
  const struct
  {
    float alpha;
    int mode;
    PX_pixel expect;
  } cases[] = {
    {1.0f, PX_MODE_COPY, c},
    {0.5f, PX_MODE_COPY, ((d >> 1) & 0x7F7F7F7Fu) + ((c >> 1) & 0x7F7F7F7Fu)},
    {0.25f, PX_MODE_COPY,
     ((d >> 1) & 0x7F7F7F7Fu) + ((d >> 2) & 0x3F3F3F3Fu) + ((c >> 2) & 0x3F3F3F3Fu)},
    {0.75f, PX_MODE_COPY,
     ((d >> 2) & 0x3F3F3F3Fu) + ((c >> 1) & 0x7F7F7F7Fu) + ((c >> 2) & 0x3F3F3F3Fu)},
    {0.003f, PX_MODE_COPY, d},
    {1.0f, 6, d},
    {1.0f, PX_MODE_SOURCEALPHA, c},
    {NAN, PX_MODE_ADD, d},
  };
  for (const auto& t : cases)
  {
    ExactBitmap bm(3, 3);
    for (int i = 0; i < 9; ++i)
      bm.getBits()[i] = d;
    const int x[] = {0, 2, 1}, y[] = {0, 0, 2};
    PX_FillConvexPolygon(&bm, x, y, 3, c, t.alpha, t.mode);
    EXPECT_EQ(Px(bm, 1, 1), t.expect) << t.alpha << " mode " << t.mode;
  }
}

// Random convex polygons: points on an ellipse, in random angular order.
std::vector<std::pair<int, int>> RandomConvex(uint32_t& s, int n, int cx, int cy, int rx, int ry)
{
  std::vector<double> ang;
  for (int i = 0; i < n; ++i)
    ang.push_back((NextWord(s) % 6283) / 1000.0);
  std::sort(ang.begin(), ang.end());
  std::vector<std::pair<int, int>> p;
  for (double a : ang)
    p.push_back({cx + (int)std::lround(rx * std::cos(a)), cy + (int)std::lround(ry * std::sin(a))});
  return p;
}

std::vector<int> FillCounts(const std::vector<std::pair<int, int>>& p, int dx, int dy, int w, int h,
                            bool flipped = false)
{
  std::vector<int> x, y;
  for (auto& q : p)
    x.push_back(q.first + dx), y.push_back(q.second + dy);
  return Counts(
    w, h,
    [&](PX_IBitmap* bm, PX_pixel c, float a, int m) {
      PX_FillConvexPolygon(bm, x.data(), y.data(), (int)x.size(), c, a, m);
    },
    flipped);
}

// Every pixel at most once; the same pixels in any vertex order and after translation; a flipped
// bitmap holds the mirror image; the shape agrees with Cairo's coverage.
TEST(PxFillConvexPolygon, OnceEachAndInvariant)
{
  uint32_t s = 99;
  const int W = 48, H = 40;
  for (int k = 0; k < 60; ++k)
  {
    const int n = 3 + (int)(NextWord(s) % (k % 3 == 0 ? 3 : 12));
    const auto p =
      RandomConvex(s, n, 20, 18, 4 + (int)(NextWord(s) % 14), 3 + (int)(NextWord(s) % 14));
    const std::vector<int> base = FillCounts(p, 0, 0, W, H);
    EXPECT_LE(*std::max_element(base.begin(), base.end()), 1) << k;

    auto rev = p;
    std::reverse(rev.begin(), rev.end());
    std::rotate(rev.begin(), rev.begin() + 1, rev.end());
    EXPECT_EQ(FillCounts(rev, 0, 0, W, H), base) << k;

    const std::vector<int> moved = FillCounts(p, 5, 3, W, H);
    for (int y = 0; y + 3 < H; ++y)
      for (int x = 0; x + 5 < W; ++x)
        ASSERT_EQ(moved[(size_t)(y + 3) * W + x + 5], base[(size_t)y * W + x]) << k;

    // On a flipped bitmap the polygon is mirrored and filled in storage rows.
    auto mirrored = p;
    for (auto& q : mirrored)
      q.second = H - 1 - q.second;
    const std::vector<int> normal = FillCounts(mirrored, 0, 0, W, H);
    const std::vector<int> flipped = FillCounts(p, 0, 0, W, H, true);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        ASSERT_EQ(flipped[(size_t)y * W + x], normal[(size_t)(H - 1 - y) * W + x]) << k;

#ifdef QV_HAVE_CAIRO
    const std::vector<int> cov = CairoCoverage(W, H, [&](cairo_t* cr) {
      for (auto& q : p)
        cairo_line_to(cr, q.first + 0.5, q.second + 0.5);
      cairo_close_path(cr);
    });
    ExpectCoverageAgrees(base, cov, W, H, true, "polygon " + std::to_string(k));
#endif
  }
}

TEST(PxFillConvexPolygon, WorkedShapes)
{
  typedef std::vector<std::pair<int, int>> Spans;
  const Spans none(5, {-1, -1});
  const struct
  {
    const char* what;
    std::vector<int> x, y;
    Spans rows;
  } cases[] = {
    {"one-row triangle spans least to greatest x",
     {4, 1, 6},
     {2, 2, 2},
     {{-1, -1}, {-1, -1}, {1, 6}, {-1, -1}, {-1, -1}}},
    {"one-row polygon wholly left draws nothing", {-9, -3, -5}, {1, 1, 1}, none},
    {"one-row polygon wholly right draws nothing", {12, 13, 15}, {1, 1, 1}, none},
    {"fewer than three points", {0, 5}, {0, 4}, none},
    {"flat top: both chains start on the top row",
     {1, 6, 6, 1},
     {1, 1, 3, 3},
     {{-1, -1}, {1, 6}, {1, 6}, {1, 6}, {-1, -1}}},
    {"triangle", {0, 8, 0}, {0, 0, 4}, {{0, 8}, {0, 6}, {0, 4}, {0, 2}, {0, 0}}},
    {"top vertices above the bitmap: edges enter mid-step",
     {0, 9, 10},
     {-6, -6, 10},
     {{3, 9}, {4, 9}, {5, 9}, {5, 9}, {6, 9}}},
  };
  for (const auto& c : cases)
  {
    const std::vector<int> n = Counts(10, 5, [&](PX_IBitmap* bm, PX_pixel col, float a, int m) {
      PX_FillConvexPolygon(bm, c.x.data(), c.y.data(), (int)c.x.size(), col, a, m);
    });
    EXPECT_EQ(RowSpans(n, 10, 5), c.rows) << c.what;
  }
  // The triangle call is the three-point polygon.
  EXPECT_EQ(Counts(10, 5,
                   [](PX_IBitmap* bm, PX_pixel col, float a, int m) {
                     PX_FillTriangle(bm, 8, 0, 0, 4, 0, 0, col, a, m);
                   }),
            Counts(10, 5, [&](PX_IBitmap* bm, PX_pixel col, float a, int m) {
              PX_FillConvexPolygon(bm, cases[5].x.data(), cases[5].y.data(), 3, col, a, m);
            }));
}

// More than 512 points take a heap block and fill the same way.
TEST(PxFillConvexPolygon, ManyPointsFillLikeFew)
{
  std::vector<int> x, y;
  for (int i = 0; i < 500; ++i)
  {
    const double a = i * 6.283185307 / 500;
    x.push_back(30 + (int)std::lround(25 * std::cos(a)));
    y.push_back(30 + (int)std::lround(25 * std::sin(a)));
  }
  const auto fill = [&](int n) {
    return Counts(64, 64, [&](PX_IBitmap* bm, PX_pixel c, float a, int m) {
      PX_FillConvexPolygon(bm, x.data(), y.data(), n, c, a, m);
    });
  };
  // The same outline with 88 duplicated points.
  std::vector<int> x2(x), y2(y);
  x2.insert(x2.end(), x.begin(), x.begin() + 88);
  y2.insert(y2.end(), y.begin(), y.begin() + 88);
  const std::vector<int> dup = Counts(64, 64, [&](PX_IBitmap* bm, PX_pixel c, float a, int m) {
    PX_FillConvexPolygon(bm, x2.data(), y2.data(), (int)x2.size(), c, a, m);
  });
  EXPECT_EQ(dup, fill(500));
  EXPECT_LE(*std::max_element(dup.begin(), dup.end()), 1);
}

}  // namespace
