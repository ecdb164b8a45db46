// Line clipping, lines, dashed lines, rectangle outlines and the segment helpers.
#include "raster/px_line.h"
#include "raster/px_shape_setup.h"
#include "tests/support/shape_test_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <set>
#include <utility>

namespace {

struct IntClipCase
{
  int in[4], w, h;
  bool ok;
  int out[4];
};

TEST(PxClipLine, MovesEndsOntoTheLastInsideRowOrColumn)
{
  const IntClipCase cases[] = {
    {{1, 2, 3, 4}, 10, 10, true, {1, 2, 3, 4}},
    {{-1, 2, -5, 8}, 10, 10, false, {-1, 2, -5, 8}},
    {{0, 0, 20, 10}, 10, 100, true, {0, 0, 9, 5}},
    {{-10, 5, 10, 5}, 100, 100, true, {0, 5, 10, 5}},
    {{9, 3, 9, 3}, 10, 10, true, {9, 3, 9, 3}},
    {{10, 3, 10, 3}, 10, 10, false, {10, 3, 10, 3}},
    {{1, 1, 2, 2}, 0, 10, false, {1, 1, 2, 2}},
    // Crossings interpolated by a negative quotient truncate it toward zero (-15/7 gives -2).
    {{-3, 5, 4, 0}, 10, 10, true, {0, 3, 4, 0}},
    {{5, -3, 0, 4}, 10, 10, true, {3, 0, 0, 4}},
    // Passes the top-left corner outside: moved, then rejected, moved ends written back.
    {{-5, 2, 2, -5}, 10, 10, false, {0, -3, 2, -5}},
    // Extreme ends cross the bitmap without overflowing.
    {{INT_MIN, 5, INT_MAX, 5}, 10, 10, true, {0, 5, 9, 5}},
    {{5, INT_MAX, 5, INT_MIN}, 10, 10, true, {5, 9, 5, 0}},
  };
  for (const IntClipCase& c : cases)
  {
    int p[4] = {c.in[0], c.in[1], c.in[2], c.in[3]};
    EXPECT_EQ(PX_ClipLine(&p[0], &p[1], &p[2], &p[3], 0, 0, c.w, c.h), c.ok) << c.in[0];
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(p[i], c.out[i]) << c.in[0] << " " << i;
  }
  // A translated rectangle clips the same segment to xhi - 1.
  int p[4] = {100, 200, 120, 210};
  EXPECT_TRUE(PX_ClipLine(&p[0], &p[1], &p[2], &p[3], 100, 200, 110, 300));
  EXPECT_EQ(p[2], 109);
  EXPECT_EQ(p[3], 205);
}

TEST(PxClipLine, FloatEndsStayBelowTheLastColumn)
{
  const struct
  {
    float in[4];
    float xhi, yhi;
    bool ok;
    float out[4];
  } cases[] = {
    {{0, 0, 20, 10}, 10, 100, true, {0, 0, 8.0f, 4.5f}},
    // Right and bottom crossings interpolated at w - 1 (h - 1) from a start off the axes.
    {{1, 2, 21, 6}, 10, 100, true, {1, 2, 8.0f, 3.6f}},
    {{2, 1, 6, 21}, 100, 10, true, {2, 1, 3.6f, 8.0f}},
    {{8.99f, 1, 8.99f, 2}, 10, 10, true, {8.99f, 1, 8.99f, 2}},
    {{9, 1, 9, 2}, 10, 10, false, {9, 1, 9, 2}},
    {{NAN, 1, 2, 2}, 10, 10, false, {NAN, 1, 2, 2}},
    {{1, 1, INFINITY, 2}, 10, 10, false, {1, 1, INFINITY, 2}},
    {{-1e30f, 3, 1e30f, 3}, 10, 10, true, {0, 3, 8, 3}},
  };
  for (const auto& c : cases)
  {
    float p[4] = {c.in[0], c.in[1], c.in[2], c.in[3]};
    EXPECT_EQ(PX_ClipFLine(&p[0], &p[1], &p[2], &p[3], 0, 0, c.xhi, c.yhi), c.ok) << c.in[0];
    for (int i = 0; c.ok && i < 4; ++i)
      EXPECT_FLOAT_EQ(p[i], c.out[i]) << c.in[0] << " " << i;
  }
}

std::set<std::pair<int, int>> DrawnPixels(int w, int h, const Draw& draw, bool flipped = false)
{
  ExactBitmap bm(w, h, flipped);
  draw(&bm);
  std::set<std::pair<int, int>> s;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (Px(bm, x, y))
        s.insert({x, y});
  return s;
}

TEST(PxLine, WorkedPixels)
{
  typedef std::set<std::pair<int, int>> S;
  const PX_pixel c = 0xFF102030u;
  const struct
  {
    int x1, y1, x2, y2;
    S pixels;
  } cases[] = {
    {0, 0, 4, 2, {{0, 0}, {1, 1}, {2, 1}, {3, 1}, {4, 2}}},
    {4, 2, 0, 0, {{0, 0}, {1, 1}, {2, 1}, {3, 1}, {4, 2}}},
    {3, 3, 3, 3, {{3, 3}}},
    {5, 1, 2, 1, {{2, 1}, {3, 1}, {4, 1}, {5, 1}}},
    {1, 4, 1, 2, {{1, 2}, {1, 3}, {1, 4}}},
    {0, 3, 3, 0, {{0, 3}, {1, 2}, {2, 1}, {3, 0}}},
    {-2, 1, 2, 1, {{0, 1}, {1, 1}, {2, 1}}},
  };
  for (const auto& t : cases)
    for (bool aa : {false, true})
    {
      if (aa && t.x1 != t.x2 && t.y1 != t.y2)
        continue;  // anti-aliased slanted lines spread further
      EXPECT_EQ(DrawnPixels(8, 6,
                            [&](PX_IBitmap* bm) {
                              PX_Line(bm, t.x1, t.y1, t.x2, t.y2, c, 1.0f, PX_MODE_COPY, aa);
                            }),
                t.pixels)
        << t.x1 << "," << t.y1 << "-" << t.x2 << "," << t.y2 << " aa " << aa;
    }
  // A flipped bitmap's logical row 0 is its last storage row.
  FlippedBitmap f(6, 4);
  PX_Line(&f, 0, 0, 5, 0, c, 1.0f, PX_MODE_COPY, false);
  EXPECT_EQ(f.getBits()[3 * 6 + 5], c);
}

// One pixel per major step with both ends, each within half a pixel (plus the 16.16 slope's
// truncation) of the exact line, the same pixels in either direction, none combined twice.
TEST(PxLine, MatchesTheRationalReference)
{
  uint32_t s = 12345;
  const int W = 61, H = 47;
  for (int k = 0; k < 150; ++k)
  {
    const int x1 = (int)(NextWord(s) % W), y1 = (int)(NextWord(s) % H);
    const int x2 = (int)(NextWord(s) % W), y2 = (int)(NextWord(s) % H);
    const auto line = [&](int a, int b, int c, int d) {
      return Counts(W, H, [&](PX_IBitmap* bm, PX_pixel col, float al, int m) {
        PX_Line(bm, a, b, c, d, col, al, m, false);
      });
    };
    const std::vector<int> fwd = line(x1, y1, x2, y2);
    EXPECT_EQ(fwd, line(x2, y2, x1, y1)) << k;
    const int dx = x2 - x1, dy = y2 - y1;
    const bool xmajor = std::abs(dx) >= std::abs(dy);
    const int major = xmajor ? std::abs(dx) : std::abs(dy);
    int total = 0;
    for (int v : fwd)
    {
      EXPECT_LE(v, 1);
      total += v;
    }
    EXPECT_EQ(total, major + 1) << k;
    for (int j = 0; j <= major; ++j)
    {
      // The exact minor coordinate at major step j, and the drawn pixel on that step.
      const double ideal = major
                             ? (xmajor ? y1 + (double)dy * j / major : x1 + (double)dx * j / major)
                             : (xmajor ? y1 : x1);
      const int a = xmajor ? x1 + (dx < 0 ? -j : j) : y1 + (dy < 0 ? -j : j);
      int found = -1;
      for (int m = 0; m < (xmajor ? H : W); ++m)
        if (fwd[xmajor ? (size_t)m * W + a : (size_t)a * W + m])
          found = m;
      ASSERT_GE(found, 0) << k << " step " << j;
      EXPECT_LE(std::fabs(found - ideal), 0.5 + major / 65536.0) << k << " step " << j;
    }
  }
}

// Anti-aliased lines at full weight: end pixels full, every inner pair sums to 255, and the
// weighted centre of each pair lies within 1/256 (plus the slope's truncation) of the exact line.
TEST(PxLine, AntiAliasedPairsSumAndCentre)
{
  uint32_t s = 777;
  const int W = 50, H = 40;
  for (int k = 0; k < 200; ++k)
  {
    const bool floatLine = k & 1;
    float x1 = (float)(NextWord(s) % (W - 2)), y1 = (float)(NextWord(s) % (H - 2));
    float x2 = (float)(NextWord(s) % (W - 2)), y2 = (float)(NextWord(s) % (H - 2));
    if (floatLine)
    {
      x1 += (NextWord(s) % 100) / 100.0f, y1 += (NextWord(s) % 100) / 100.0f;
      x2 += (NextWord(s) % 100) / 100.0f, y2 += (NextWord(s) % 100) / 100.0f;
    }
    const float dx = x2 - x1, dy = y2 - y1;
    if (std::fabs(std::fabs(dx) - std::fabs(dy)) < 0.01f || (!floatLine && (dx == 0 || dy == 0)))
      continue;  // diagonals and axis lines have loops of their own
    const std::vector<int> w = Weights(W, H, [&](PX_IBitmap* bm) {
      if (floatLine)
        PX_FLine(bm, x1, y1, x2, y2, 0xFFFFFFFFu, 1.0f, PX_MODE_COPY, true);
      else
        PX_Line(bm, (int)x1, (int)y1, (int)x2, (int)y2, 0xFFFFFFFFu, 1.0f, PX_MODE_COPY, true);
    });
    const bool xmajor = std::fabs(dx) > std::fabs(dy);
    const float a0 = std::min(xmajor ? x1 : y1, xmajor ? x2 : y2);
    const float a1 = std::max(xmajor ? x1 : y1, xmajor ? x2 : y2);
    const double slope = xmajor ? (double)dy / dx : (double)dx / dy;
    const double n = a1 - a0;
    for (int a = (int)std::ceil(a0); a <= (int)std::floor(a1); ++a)
    {
      int sum = 0;
      double moment = 0;
      for (int m = 0; m < (xmajor ? H : W); ++m)
      {
        const int v = w[xmajor ? (size_t)m * W + a : (size_t)a * W + m];
        sum += v;
        moment += (double)m * v;
      }
      const bool end = !floatLine && (a == (int)a0 || a == (int)a1);
      EXPECT_EQ(sum, 255) << k << " at " << a;
      if (end || sum == 0)
        continue;
      const float b0 = (xmajor ? x1 : y1) == a0 ? (xmajor ? y1 : x1) : (xmajor ? y2 : x2);
      const double ideal = b0 + (a - a0) * slope;
      EXPECT_LE(std::fabs(moment / sum - ideal), 1.0 / 256 + n / 65536 + 1e-5)
        << k << " at " << a << (floatLine ? " float" : " int");
    }
  }
}

// Anti-aliased weights below full weight, white over black in copy mode: a pixel combined with
// weight w reads w. The line (0, 0)-(5, 2) lies 0.4 and 0.8 of a row below the upper pixel at x = 1
// and 2 (e = 102 and 204 of 256), so at weight 200 the pairs take 200 * (255 - e) / 256 and
// 200 * e / 256; the far half mirrors the near one. A diagonal gives its pixels three quarters of
// the weight and the pixels cutting its corners one quarter (the opaque path by whole-pixel mixes).
TEST(PxLine, AntiAliasedWeightsBelowFullWeight)
{
  const struct
  {
    const char* what;
    int x2, y2;
    float alpha;
    std::vector<int> weights;  // 6 x 3
  } cases[] = {
    {"general walk",
     5,
     2,
     0.78125f,
     {200, 119, 39, 0, 0, 0, 0, 79, 159, 159, 79, 0, 0, 0, 0, 39, 119, 200}},
    {"diagonal", 2, 2, 0.78125f, {150, 50, 0, 0, 0, 0, 50, 150, 50, 0, 0, 0, 0, 50, 150, 0, 0, 0}},
    {"opaque diagonal",
     2,
     2,
     1.0f,
     {190, 63, 0, 0, 0, 0, 63, 190, 63, 0, 0, 0, 0, 63, 190, 0, 0, 0}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Weights(6, 3,
                      [&](PX_IBitmap* bm) {
                        PX_Line(bm, 0, 0, c.x2, c.y2, ~0u, c.alpha, PX_MODE_COPY, true);
                      }),
              c.weights)
      << c.what;
}

TEST(PxLine, CombinerChoiceByAlphaAndMode)
{
  const PX_pixel bg = 0x40404040u, col = 0xC0C0C0C0u;
  const struct
  {
    const char* what;
    float alpha;
    int mode;
    bool aa, diagonal;
    PX_pixel expect;  // the start pixel afterwards
  } cases[] = {
    {"opaque copy sets the word", 1.0f, PX_MODE_COPY, false, false, col},
    {"opaque diagonal sets the word", 1.0f, PX_MODE_COPY, false, true, col},
    {"half copy halves", 0.5f, PX_MODE_COPY, false, false, 0x80808080u},
    {"anti-aliased half copy ends blend by 128", 0.5f, PX_MODE_COPY, true, false, 0x80808080u},
    {"below 1/256 draws nothing", 0.003f, PX_MODE_COPY, false, false, bg},
    {"NaN draws nothing", NAN, PX_MODE_COPY, false, false, bg},
    {"negative copy draws nothing", -0.5f, PX_MODE_COPY, false, false, bg},
    {"operation 6 draws nothing", 1.0f, 6, false, false, bg},
    {"channel copy draws nothing", 1.0f, 0xF3, false, true, bg},
    {"filter and source-alpha bits are ignored", 1.0f, 0x10100, false, false, col},
    {"add", 0.25f, PX_MODE_ADD, false, false, 0x70707070u},
    {"huge alpha saturates", 1e9f, PX_MODE_ADD, false, false, 0xFFFFFFFFu},
  };
  for (const auto& c : cases)
  {
    ExactBitmap bm(12, 12);
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x)
        Px(bm, x, y) = bg;
    PX_Line(&bm, 1, 1, 9, c.diagonal ? 9 : 4, col, c.alpha, c.mode, c.aa);
    EXPECT_EQ(Px(bm, 1, 1), c.expect) << c.what;
  }
  // Weight saturation: 1e9 adds 0x01 * 32768 / 256 = 128 per combine.
  const std::vector<int> n = Counts(8, 4, [](PX_IBitmap* bm, PX_pixel col, float, int m) {
    PX_Line(bm, 0, 0, 5, 2, col, 1e9f, m, false);
  });
  EXPECT_EQ(n[0], 128);
}

// Plain copy at the weights around the whole-word steps, against the blends worked by hand per
// channel (d the background, s the colour, w = (int)(alpha * 256), divisions truncating): the
// weighted copy s + (d - s) * (256 - w) / 256, the half mix (d + s) / 2, and the whole-word mixes
// that drop each channel's low bits, (d >> 1) + (s >> 1), (d >> 1) + (d >> 2) + (s >> 2) and
// (d >> 2) + (s >> 1) + (s >> 2). Axis lines take the word mixes only at alphas of exactly 0.5,
// 0.25 and 0.75; fills take them by weight. The channel pairs (0, 255), (255, 0) and (255, 255) set
// each blend apart from the others at its weight.
TEST(PxLine, PlainCopyBlendsAroundTheWholeWordSteps)
{
  enum Blend
  {
    Copy,
    Half,
    WordHalf,
    WordQuarter,
    WordThreeQuarters
  };
  const PX_pixel bg = 0x00FFFF80u, col = 0xFF00FF40u;
  const auto blend = [&](Blend b, int w) {
    return PerChannel(bg, col, [&](int d, int s) {
      switch (b)
      {
        case Copy:
          return s + (d - s) * (256 - w) / 256;
        case Half:
          return (d + s) / 2;
        case WordHalf:
          return (d >> 1) + (s >> 1);
        case WordQuarter:
          return (d >> 1) + (d >> 2) + (s >> 2);
        default:
          return (d >> 2) + (s >> 1) + (s >> 2);
      }
    });
  };
  struct Row
  {
    float alpha;
    Blend slanted, axis, fill;  // lines neither horizontal nor vertical, axis lines, fills
  };
  const Row cases[] = {
    {1 / 256.0f, Copy, Copy, Copy},  // faint, not nothing
    {127 / 256.0f, Copy, Copy, Copy},
    {0.5f, Half, WordHalf, WordHalf},
    {128.5f / 256, Half, Half, WordHalf},
    {129 / 256.0f, Copy, Copy, Copy},
    {0.25f, Copy, WordQuarter, WordQuarter},
    {64.5f / 256, Copy, Copy, WordQuarter},
    {0.75f, Copy, WordThreeQuarters, WordThreeQuarters},
    {192.5f / 256, Copy, Copy, WordThreeQuarters},
    {255 / 256.0f, Copy, Copy, Copy},
  };
  // Which column of the table a shape takes.
  const auto slanted = &Row::slanted, axis = &Row::axis, fill = &Row::fill;
  const struct
  {
    const char* what;
    Blend Row::*column;
    std::function<void(PX_IBitmap*, float)> draw;
  } shapes[] = {
    {"general line", slanted,
     [&](PX_IBitmap* bm, float a) { PX_Line(bm, 1, 1, 9, 4, col, a, PX_MODE_COPY, false); }},
    {"diagonal", slanted,
     [&](PX_IBitmap* bm, float a) { PX_Line(bm, 1, 1, 5, 5, col, a, PX_MODE_COPY, false); }},
    {"horizontal line", axis,
     [&](PX_IBitmap* bm, float a) { PX_Line(bm, 1, 1, 9, 1, col, a, PX_MODE_COPY, false); }},
    {"vertical line", axis,
     [&](PX_IBitmap* bm, float a) { PX_Line(bm, 1, 1, 1, 9, col, a, PX_MODE_COPY, false); }},
    {"triangle fill", fill,
     [&](PX_IBitmap* bm, float a) { PX_FillTriangle(bm, 1, 1, 6, 1, 1, 6, col, a, PX_MODE_COPY); }},
  };
  for (const Row& c : cases)
    for (const auto& sh : shapes)
    {
      ExactBitmap bm(12, 12);
      for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
          Px(bm, x, y) = bg;
      sh.draw(&bm, c.alpha);
      EXPECT_EQ(Px(bm, 1, 1), blend(c.*sh.column, (int)(c.alpha * 256)))
        << sh.what << " at alpha " << c.alpha * 256 << "/256";
    }
}

TEST(PxDashedLine, OnOffRunsFromTheStart)
{
  const struct
  {
    int x1, y1, x2, y2, on, off;
    std::vector<int> drawn;  // positions along the line
  } cases[] = {
    {0, 0, 5, 0, 2, 1, {0, 1, 3, 4}},
    {11, 0, 0, 0, 3, 2, {0, 1, 2, 5, 6, 7, 10}},
    {0, 0, 0, 7, 1, 1, {0, 2, 4, 6}},
    {0, 0, 0, 6, 1, 1, {0, 2, 4}},
    {0, 0, 7, 0, 3, -1, {0, 1, 2, 3, 4, 5, 6}},
    {0, 0, 5, 3, 2, 1, {}},
    {2, 0, 2, 0, 2, 1, {}},
    {0, 0, 9, 0, 0, 5, {}},
    {0, 0, 9, 0, 3, -3, {}},
  };
  for (const auto& c : cases)
    for (float alpha : {1.0f, 0.5f})
    {
      ExactBitmap bm(12, 12);
      PX_DashedLine(&bm, c.x1, c.y1, c.x2, c.y2, c.on, c.off, 0xFFFFFFFFu, alpha, PX_MODE_COPY,
                    false);
      std::vector<int> got;
      int total = 0;
      for (PX_pixel p : Pixels(bm))
        total += p != 0;
      for (int i = 0; i < 12; ++i)
        if (Px(bm, c.x1 == c.x2 ? c.x1 : i, c.x1 == c.x2 ? i : c.y1))
          got.push_back(i);
      EXPECT_EQ(total, (int)got.size());
      EXPECT_EQ(got, c.drawn) << c.x1 << "," << c.y1 << "-" << c.x2 << "," << c.y2 << " " << c.on
                              << "/" << c.off << " alpha " << alpha;
    }
}

TEST(PxDrawRect, CornersCombinedTwice)
{
  const std::vector<int> n = Counts(
    5, 4, [](PX_IBitmap* bm, PX_pixel c, float a, int m) { PX_DrawRect(bm, 0, 0, 3, 2, c, a, m); });
  const std::vector<int> expect = {2, 1, 1, 2, 0,  //
                                   1, 0, 0, 1, 0,  //
                                   2, 1, 1, 2, 0,  //
                                   0, 0, 0, 0, 0};
  EXPECT_EQ(n, expect);
  EXPECT_EQ(Counts(3, 3,
                   [](PX_IBitmap* bm, PX_pixel c, float a, int m) {
                     PX_DrawRect(bm, 1, 1, 0, 0, c, a, m);
                   })[4],
            4);

  ExactBitmap bm(5, 4);
  PX_BorderedRect(&bm, 0, 0, 3, 2, 0xFF0000FFu, 0xFFFF0000u, 1.0f, PX_MODE_COPY);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(Px(bm, x, y), y == 1 && (x == 1 || x == 2) ? 0xFF0000FFu : 0xFFFF0000u) << x << y;
  EXPECT_EQ(Px(bm, 4, 0), 0u);
}

TEST(PxSegment, InterpolatesOnWholePixels)
{
  const struct
  {
    int x1, y1, x2, y2, at, expect;
  } cases[] = {{0, 0, 10, 4, 2, 5},  {10, 4, 0, 0, 2, 5},  {0, 0, 10, 4, -1, 0},
               {0, 0, 10, 4, 4, 10}, {0, 0, 10, 4, 9, 10}, {0, 0, -10, 3, 1, -3},
               {3, 5, 8, 5, 5, 3}};
  for (const auto& c : cases)
  {
    EXPECT_EQ(pxi_FindXOnSegment(c.x1, c.y1, c.x2, c.y2, c.at), c.expect) << c.x1 << " " << c.at;
    EXPECT_EQ(pxi_FindYOnSegment(c.y1, c.x1, c.y2, c.x2, c.at), c.expect) << c.x1 << " " << c.at;
  }
}

TEST(PxFLine, DegenerateAndNonFiniteInputDrawNothing)
{
  const std::vector<PX_pixel> blank(100);
  const struct
  {
    float x1, y1, x2, y2;
    bool aa;
  } cases[] = {{3.5f, 3.5f, 3.5f, 3.5f, true}, {2.2f, 1, 2.8f, 1.1f, true}, {NAN, 1, 5, 5, true},
               {1, 1, 5, INFINITY, false},     {1, -INFINITY, 5, 5, true},  {20, 20, 30, 30, true}};
  for (const auto& c : cases)
    EXPECT_EQ(Image(10, 10,
                    [&](PX_IBitmap* bm) {
                      PX_FLine(bm, c.x1, c.y1, c.x2, c.y2, 0xFFFFFFFFu, 1.0f, PX_MODE_COPY, c.aa);
                    }),
              blank)
      << c.x1 << " " << c.x2;
  // Segments hugging the last row or column (or just outside the first) keep their pairs inside
  // the bitmap's storage.
  const float edge[][4] = {{0, 8.99999f, 9.9f, 8.9999f},    {8.99999f, 0, 8.9999f, 9.9f},
                           {-1e-7f, 0.5f, 9.9f, 8.999999f}, {0.2f, -1e-7f, 8.999999f, 9.99f},
                           {9.9f, 9.9f, 0.1f, 8.7f},        {8.5f, -3, 8.99999f, 20}};
  for (const auto& e : edge)
    for (bool flipped : {false, true})
    {
      ExactBitmap bm(10, 10, flipped);
      PX_FLine(&bm, e[0], e[1], e[2], e[3], ~0u, 0.7f, PX_MODE_ADD, true);
    }
  // Without anti-aliasing the truncated end points go to PX_Line.
  EXPECT_EQ(Image(10, 10,
                  [](PX_IBitmap* bm) {
                    PX_FLine(bm, 1.9f, 0.5f, 8.7f, 6.99f, 0xFF00FF00u, 0.7f, PX_MODE_COPY, false);
                  }),
            Image(10, 10, [](PX_IBitmap* bm) {
              PX_Line(bm, 1, 0, 8, 6, 0xFF00FF00u, 0.7f, PX_MODE_COPY, false);
            }));
}

}  // namespace
