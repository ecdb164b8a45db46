// The surface's line and shape operations: each reaches the raster call it stands for with the
// colour, weight, mode and positions of the GUI's values, and the composite shapes (rectangle
// outlines, lines at fractions, filled rounded rectangles) cover what they should.
#include "raster/px_arc.h"
#include "raster/px_line.h"
#include "tests/support/gui_test_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>

namespace {

const int kW = 96, kH = 64;
const PX_pixel kGround = 0xFF203040u;
const IColor kColor(200, 250, 120, 10);
const PX_pixel kPixel = 0xC8FA780Au;

struct Surface
{
  TestGraphics g{nullptr, kW, kH};
  Surface() { PX_Clear(g.GetDrawBitmap(), kGround); }
  PX_pixel At(int x, int y) { return PX_GetPixel(g.GetDrawBitmap(), x, y); }
};

}  // namespace

TEST(ShapeDrawing, EachOperationDrawsItsRasterCall)
{
  const IChannelBlend add(IChannelBlend::kBlendAdd, 0.5f), clobber(IChannelBlend::kBlendClobber);
  IChannelBlend dodge(IChannelBlend::kBlendColorDodge, 0.75f);
  const int addMode = PX_MODE_ADD | PX_MODE_SOURCEALPHA;
  const int dodgeMode = PX_MODE_COLORDODGE | PX_MODE_SOURCEALPHA;
  const float up = 0.0f, right = (float)(3.141592653589793 / 2);
  IRECT box(10, 8, 70, 50);
  int px[] = {5, 40, 60, 20}, py[] = {5, 2, 30, 50};
  struct Case
  {
    const char* name;
    std::function<void(IGraphics&)> draw;
    std::function<void(PX_IBitmap*)> expect;
  };
  const Case cases[] = {
    {"line, positions truncated",
     [&](IGraphics& g) { g.DrawLine(&kColor, 3.9f, 4.2f, 80.7f, 41.99f, &add, true); },
     [&](PX_IBitmap* b) { PX_Line(b, 3, 4, 80, 41, kPixel, 0.5f, addMode, true); }},
    {"line to a position beyond the int range",
     [&](IGraphics& g) { g.DrawLine(&kColor, 2.0f, 9.0f, 1e12f, 9.0f, nullptr, false); },
     [&](PX_IBitmap* b) { PX_Line(b, 2, 9, INT_MAX, 9, kPixel, 1.0f, 0x10000, false); }},
    {"line with a position that is not a number",
     [&](IGraphics& g) { g.DrawLine(&kColor, 2.0f, NAN, 50.0f, 9.0f, nullptr, false); },
     [&](PX_IBitmap*) {}},
    {"radial line pointing up",
     [&](IGraphics& g) {
       g.DrawRadialLine(&kColor, 50.0f, 50.0f, up, 5.0f, 20.0f, &clobber, false);
     },
     [&](PX_IBitmap* b) { PX_Line(b, 50, 45, 50, 30, kPixel, 1.0f, PX_MODE_COPY, false); }},
    {"radial line pointing right",
     [&](IGraphics& g) { g.DrawRadialLine(&kColor, 50.0f, 30.0f, right, 5.0f, 20.0f, &add, true); },
     [&](PX_IBitmap* b) { PX_Line(b, 55, 30, 70, 30, kPixel, 0.5f, addMode, true); }},
    {"curves and fills as the raster library draws them",
     [&](IGraphics& g) {
       g.DrawArc(&kColor, 40.5f, 30.0f, 20.0f, -1.0f, 2.0f, &dodge, true);
       g.DrawCircle(&kColor, 40.0f, 30.5f, 17.5f, &add, false);
       g.RoundRect(&kColor, &box, &dodge, 7, true);
       g.FillCircle(&kColor, 30, 31, 12.5f, &add, true);
       g.FillTriangle(&kColor, 5, 60, 90, 40, 30, 3, &dodge);
       g.FillIConvexPolygon(&kColor, px, py, 4, &add);
     },
     [&](PX_IBitmap* b) {
       PX_Arc(b, 40.5f, 30.0f, 20.0f, -1.0f, 2.0f, kPixel, 0.75f, dodgeMode, true);
       PX_Circle(b, 40.0f, 30.5f, 17.5f, kPixel, 0.5f, addMode, false);
       PX_RoundRect(b, 10, 8, 60, 42, 7, kPixel, 0.75f, dodgeMode, true);
       PX_FillCircle(b, 30, 31, 12.5f, kPixel, 0.5f, addMode, true);
       PX_FillTriangle(b, 5, 60, 90, 40, 30, 3, kPixel, 0.75f, dodgeMode);
       PX_FillConvexPolygon(b, px, py, 4, kPixel, 0.5f, addMode);
     }},
    {"lines at fractions: from the left, from the bottom, clamped",
     [&](IGraphics& g) {
       g.DrawVerticalLine(&kColor, &box, 0.5f);
       g.DrawVerticalLine(&kColor, &box, 1.5f);
       g.DrawHorizontalLine(&kColor, &box, 0.25f);
       g.DrawHorizontalLine(&kColor, &box, -2.0f);
       g.DrawHorizontalLine(&kColor, &box, NAN);
     },
     [&](PX_IBitmap* b) {
       PX_FillRect(b, 40, 8, 1, 43, kPixel, 1.0f, PX_MODE_COPY);
       PX_FillRect(b, 70, 8, 1, 43, kPixel, 1.0f, PX_MODE_COPY);
       PX_FillRect(b, 10, 40, 61, 1, kPixel, 1.0f, PX_MODE_COPY);  // 50 - (int)(42 x 0.25)
       PX_FillRect(b, 10, 50, 61, 1, kPixel, 1.0f, PX_MODE_COPY);
     }},
    {"rectangle outline through all four edges, copied",
     [&](IGraphics& g) { g.DrawRect(&kColor, &box); },
     [&](PX_IBitmap* b) {
       PX_FillRect(b, 10, 8, 61, 43, kPixel, 1.0f, PX_MODE_COPY);
       PX_FillRect(b, 11, 9, 59, 41, kGround, 1.0f, PX_MODE_COPY);
     }},
    {"point rounded to the nearest pixel; not at all when not a number",
     [&](IGraphics& g) {
       g.DrawPoint(&kColor, 4.5f, 6.49f, &clobber, false);
       g.DrawPoint(&kColor, NAN, 6.0f, &clobber, false);
       g.DrawPoint(&kColor, -1e30f, 6.0f, &clobber, false);
     },
     [&](PX_IBitmap* b) { PX_PutPixel(b, 5, 6, kPixel, 1.0f, PX_MODE_COPY); }},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    Surface s;
    PX_MemBitmap expected(kW, kH);
    PX_Clear(&expected, kGround);
    c.draw(s.g);
    c.expect(&expected);
    EXPECT_TRUE(SamePixels(s.g.GetDrawBitmap(), &expected));
  }
}

// The filled rounded rectangle is the rectangle with its corners rounded alike: mirror-symmetric,
// full along the middle of every edge, empty in the corners and outside; without a radius it is
// the plain rectangle.
TEST(ShapeDrawing, FilledRoundRectsAreSymmetricWithEmptyCorners)
{
  const IChannelBlend clobber(IChannelBlend::kBlendClobber);
  for (const IRECT r : {IRECT(10, 8, 70, 50), IRECT(3, 3, 24, 60), IRECT(0, 0, kW, kH)})
    for (int cr : {3, 6, 10})
    {
      SCOPED_TRACE(testing::Message()
                   << "(" << r.L << ", " << r.T << ", " << r.R << ", " << r.B << ") radius " << cr);
      IRECT rect = r;
      Surface s;
      s.g.FillRoundRect(&kColor, &rect, &clobber, cr, false);
      for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
        {
          const bool inside = x >= r.L && x < r.R && y >= r.T && y < r.B;
          if (!inside)
            ASSERT_EQ(s.At(x, y), kGround) << x << ", " << y;
          else
          {
            ASSERT_EQ(s.At(x, y), s.At(r.L + r.R - 1 - x, y)) << x << ", " << y;
            ASSERT_EQ(s.At(x, y), s.At(x, r.T + r.B - 1 - y)) << x << ", " << y;
          }
        }
      EXPECT_EQ(s.At(r.L, r.T), kGround);
      EXPECT_EQ(s.At(r.L + cr, r.T), kPixel);
      EXPECT_EQ(s.At(r.L, r.T + cr), kPixel);
      EXPECT_EQ(s.At((r.L + r.R) / 2, (r.T + r.B) / 2), kPixel);
    }
  Surface plain, filled;
  IRECT box(10, 8, 70, 50);
  plain.g.FillRoundRect(&kColor, &box, &clobber, 0, false);
  filled.g.FillIRect(&kColor, &box, &clobber);
  EXPECT_TRUE(SamePixels(plain.g.GetDrawBitmap(), filled.g.GetDrawBitmap()));
}
