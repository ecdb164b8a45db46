// Bezier curves drawn as chains of float line segments, and cubic curves filled toward a row or a
// column with triangles and convex quadrilaterals. Curves and row fills are clipped in x only (to
// the bitmap's columns, by solving for the curve parameter), column fills in y only (to its rows);
// the primitives clip the rest. A fill combines each pixel it covers once.
#include "raster/px_bezier.h"
#include "raster/px_line.h"
#include "raster/px_shape_setup.h"

#include <cmath>
#include <initializer_list>

namespace {

// More segments than this are never drawn for one curve.
constexpr double kMaxSegments = 1 << 20;

// |(x1, y1) - (x0, y0)|: squares summed in single precision, the root in double.
double dist(float x0, float y0, float x1, float y1)
{
  const float dx = x1 - x0, dy = y1 - y0;
  return std::sqrt((double)(dx * dx + dy * dy));
}

// Segments for a curve of length len: 1..kMaxSegments, 0 (draw nothing) when the count is not a
// number. maxsegmentpx <= 0 counts as 1.
int segmentCount(double len, float maxsegmentpx)
{
  if (maxsegmentpx <= 0)
    maxsegmentpx = 1.0f;
  const double n = len / maxsegmentpx;
  if (n != n)
    return 0;
  return n < 1 ? 1 : n > kMaxSegments ? (int)kMaxSegments : (int)n;
}

// A cubic prepared for drawing or filling: coefficients, the visible end points and parameters.
struct CBez
{
  double ax, bx, cx, dx, ay, by, cy, dy;
  float xlo, xhi, ylo, yhi;
  double tlo, thi;

  void at(double t, float* x, float* y) const
  {
    const double t2 = t * t, t3 = t2 * t;
    *x = (float)(cx * t + (ax * t3 + bx * t2) + dx);
    *y = (float)(cy * t + (ay * t3 + by * t2) + dy);
  }
};

// Orders the end points (by x, or by y when !xbasis) and answers the segment count, 0 for nothing
// to draw. The parameter range is cut to the bitmap along the axis the curve is ordered by: to its
// columns (the curves and the row fill), or to its rows from row -1 on (the column fill, whose
// pieces reach one row past their ends: a piece on row -1 fills row 0). The other axis is left to
// the primitives, so that a part of the curve beside the bitmap still fills its rows.
int CBezPrep(PX_IBitmap* dest, float x1, float y1, float xc1, float yc1, float xc2, float yc2,
             float x4, float y4, float maxsegmentpx, bool xbasis, CBez* b)
{
  if (!dest || !pxi_AllFinite(x1, y1, xc1, yc1, xc2, yc2, x4, y4))
    return 0;
  if (xbasis ? x1 > x4 : y1 > y4)
  {
    SWAP(x1, x4);
    SWAP(y1, y4);
    SWAP(xc1, xc2);
    SWAP(yc1, yc2);
  }
  const double len = dist(x1, y1, xc1, yc1) + dist(xc1, yc1, xc2, yc2) + dist(xc2, yc2, x4, y4);
  PX_CBezier_GetCoeffs(x1, xc1, xc2, x4, y1, yc1, yc2, y4, &b->ax, &b->bx, &b->cx, &b->ay, &b->by,
                       &b->cy);
  b->dx = x1, b->dy = y1;
  b->xlo = x1, b->xhi = x4, b->ylo = y1, b->yhi = y4;
  b->tlo = 0, b->thi = 1.0;
  // m: the axis cut (ordered along the curve), o: the other.
  const float m[4] = {xbasis ? x1 : y1, xbasis ? xc1 : yc1, xbasis ? xc2 : yc2, xbasis ? x4 : y4};
  const float o[4] = {xbasis ? y1 : x1, xbasis ? yc1 : xc1, xbasis ? yc2 : xc2, xbasis ? y4 : x4};
  float &mlo = xbasis ? b->xlo : b->ylo, &mhi = xbasis ? b->xhi : b->yhi;
  float &olo = xbasis ? b->ylo : b->xlo, &ohi = xbasis ? b->yhi : b->xhi;
  const float first = xbasis ? 0.0f : -1.0f;
  const float last = (float)(xbasis ? dest->getWidth() : dest->getHeight());
  if (mlo < first)
  {
    mlo = first;
    olo = PX_CBezier_GetY(m[0], m[1], m[2], m[3], o[0], o[1], o[2], o[3], first, (float*)nullptr,
                          (float*)nullptr, nullptr, &b->tlo);
  }
  if (mhi > last)
  {
    mhi = last;
    ohi = PX_CBezier_GetY(m[0], m[1], m[2], m[3], o[0], o[1], o[2], o[3], last, (float*)nullptr,
                          (float*)nullptr, &b->thi, nullptr);
  }
  if (mlo > mhi)
    return 0;
  return segmentCount(len * (b->thi - b->tlo), maxsegmentpx);
}

// True when the segment between two points surely draws nothing: both ends lie a whole pixel or
// more beyond the same edge (a huge curve cut into many segments skips most of them this way).
bool offBitmap(PX_IBitmap* dest, float x1, float y1, float x2, float y2)
{
  const float w = (float)dest->getWidth(), h = (float)dest->getHeight();
  return (y1 <= -1 && y2 <= -1) || (y1 >= h && y2 >= h) || (x1 <= -1 && x2 <= -1) ||
         (x1 >= w && x2 >= w);
}

void polygon(PX_IBitmap* dest, std::initializer_list<pxi_PolyPoint> pts, PX_pixel color,
             float alpha, int mode)
{
  pxi_PolyPoint p[4];
  int n = 0;
  for (const pxi_PolyPoint& q : pts)
    p[n++] = q;
  pxi_FillConvexPolygon(dest, p, n, color, alpha, mode);
}

// Columns x1..x2 between the chord (x1, y1)-(x2, y2) and row yfill, inclusive of the row below
// it when the chord lies above.
void DoBezierFillSegment(PX_IBitmap* dest, int64_t x1, int64_t y1, int64_t x2, int64_t y2,
                         int64_t yfill, PX_pixel color, float alpha, int mode)
{
  // A single column is filled like wider pieces, so that every column meets the fill row alike.
  if (x2 < x1)
    return;
  if ((y1 < yfill) == (y2 < yfill))
  {
    const int64_t yf = y1 < yfill ? yfill + 1 : yfill;
    polygon(dest, {{x1, y1}, {x1, yf}, {x2, y2}, {x2, yf}}, color, alpha, mode);
    return;
  }
  const int64_t xc =
    x1 + pxi_SatInt64((double)(yfill - y1) * (double)(x2 - x1) / (double)(y2 - y1));
  const int64_t ya = y1 < yfill ? yfill + 1 : yfill, yb = y2 < yfill ? yfill + 1 : yfill;
  polygon(dest, {{x1, y1}, {x1, ya}, {xc, ya}}, color, alpha, mode);
  polygon(dest, {{xc, yb}, {x2, yb}, {x2, y2}}, color, alpha, mode);
}

// Rows y1..y2 between the chord (x1, y1)-(x2, y2) and column xfill.
void DoBezierFillSegmentX(PX_IBitmap* dest, int64_t x1, int64_t y1, int64_t x2, int64_t y2,
                          int64_t xfill, PX_pixel color, float alpha, int mode)
{
  // Rows y1..y2 + 1 at most; none of them inside the bitmap draws nothing. A single row is filled
  // like taller pieces, so that every row meets the fill column alike.
  if (y2 < y1 || y2 + 1 < 0 || y1 >= dest->getHeight())
    return;
  if ((x1 < xfill) == (x2 < xfill))
  {
    const int64_t xf = x1 < xfill ? xfill + 1 : xfill;
    polygon(dest, {{x1, y1}, {xf, y1}, {x2, y2 + 1}, {xf, y2 + 1}}, color, alpha, mode);
    return;
  }
  const int64_t yc =
    y1 + pxi_SatInt64((double)(xfill - x1) * (double)(y2 - y1) / (double)(x2 - x1));
  const int64_t xa = x1 < xfill ? xfill + 1 : xfill, xb = x2 < xfill ? xfill + 1 : xfill;
  polygon(dest, {{x1, y1}, {xa, y1}, {xa, yc}}, color, alpha, mode);
  polygon(dest, {{xb, yc}, {xb, y2}, {x2, y2}}, color, alpha, mode);
}

}  // namespace

namespace {

// Draws a curve as PX_FLine segments from (x0, y0) through the points at(t) for `points` steps of
// dt after t0, to (xe, ye); segments wholly off the bitmap are skipped.
template <class AT>
void DrawChain(PX_IBitmap* dest, float x0, float y0, float xe, float ye, double t0, double dt,
               int points, AT at, PX_pixel color, float alpha, int mode, bool aa)
{
  double t = t0 + dt;
  for (int i = 0; i < points; ++i, t += dt)
  {
    float x, y;
    at(t, &x, &y);
    if (!offBitmap(dest, x0, y0, x, y))
      PX_FLine(dest, x0, y0, x, y, color, alpha, mode, aa);
    x0 = x, y0 = y;
  }
  PX_FLine(dest, x0, y0, xe, ye, color, alpha, mode, aa);
}

}  // namespace

void PX_DrawQBezier(PX_IBitmap* dest, float xstart, float ystart, float xctl, float yctl,
                    float xend, float yend, PX_pixel color, float alpha, int mode, bool aa,
                    float maxsegmentpx)
{
  if (!dest || !pxi_AllFinite(xstart, ystart, xctl, yctl, xend, yend))
    return;
  const int w = dest->getWidth();
  if (xstart > xend)
  {
    SWAP(xstart, xend);
    SWAP(ystart, yend);
  }
  const double len = dist(xstart, ystart, xctl, yctl) + dist(xctl, yctl, xend, yend);
  float xlo = xstart, ylo = ystart, xhi = xend, yhi = yend;
  double tlo = 0, thi = 1.0;
  if (xlo < 0)
  {
    xlo = 0;
    ylo = PX_Bezier_GetY(xstart, xctl, xend, ystart, yctl, yend, 0.0f, &tlo);
  }
  if (xhi >= w)
  {
    xhi = (float)(w - 1);
    yhi = PX_Bezier_GetY(xstart, xctl, xend, ystart, yctl, yend, xhi, &thi);
  }
  if (xlo > xhi)
    return;
  const int n = segmentCount(len * (thi - tlo), maxsegmentpx);
  if (n == 0)
    return;
  DrawChain(
    dest, xlo, ylo, xhi, yhi, tlo, (thi - tlo) / n, n - 1,
    [&](double t, float* x, float* y) {
      PX_Bezier(xstart, xctl, xend, ystart, yctl, yend, t, x, y);
    },
    color, alpha, mode, aa);
}

void PX_DrawCBezier(PX_IBitmap* dest, float xstart, float ystart, float xctl1, float yctl1,
                    float xctl2, float yctl2, float xend, float yend, PX_pixel color, float alpha,
                    int mode, bool aa, float maxsegmentpx)
{
  CBez b;
  const int n =
    CBezPrep(dest, xstart, ystart, xctl1, yctl1, xctl2, yctl2, xend, yend, maxsegmentpx, true, &b);
  if (n == 0)
    return;
  // n - 1 segments: the last spans the final two parameter steps.
  DrawChain(
    dest, b.xlo, b.ylo, b.xhi, b.yhi, b.tlo, (b.thi - b.tlo) / n, n - 2,
    [&](double t, float* x, float* y) { b.at(t, x, y); }, color, alpha, mode, aa);
}

namespace {

// Walks a prepared cubic's segments for a fill along its major axis (x for row fills, y for
// column fills): each segment whose major end, rounded down, has reached the next whole position
// is handed to seg(major1, minor1, major2, minor2) (minor rounded to the nearest), and the next
// piece starts one position further on; the last piece ends one position before the curve's end.
// Rounding down, not toward zero, keeps a curve above or left of the bitmap in the rows and
// columns it would take anywhere else.
template <class SEG>
void FillWalk(const CBez& b, int n, bool xmajor, SEG seg)
{
  const auto major = [&](float x, float y) { return xmajor ? x : y; };
  const auto minor = [&](float x, float y) { return xmajor ? y : x; };
  const double dt = (b.thi - b.tlo) / n;
  double t = b.tlo + dt;
  const auto cell = [](double v) { return (int64_t)pxi_SatInt(std::floor(v)); };
  int64_t pm = cell(major(b.xlo, b.ylo)), pn = cell(minor(b.xlo, b.ylo) + 0.5);
  for (int i = 1; i < n - 1; ++i, t += dt)
  {
    float x, y;
    b.at(t, &x, &y);
    const int64_t mi = cell(major(x, y));
    if (mi >= pm)
    {
      const int64_t ni = cell(minor(x, y) + 0.5);
      seg(pm, pn, mi, ni);
      pm = mi + 1, pn = ni;
    }
  }
  const int64_t me = cell(major(b.xhi, b.yhi) - 1.0);
  if (me >= pm)
    seg(pm, pn, me, cell(minor(b.xhi, b.yhi) + 0.5));
}

}  // namespace

namespace {

// The box [x0, x1] x [y0, y1] of the pixels a fill's pieces can cover.
struct FillBox
{
  int64_t x0 = INT64_MAX, y0 = INT64_MAX, x1 = INT64_MIN, y1 = INT64_MIN;
  void add(int64_t x, int64_t y)
  {
    x0 = x < x0 ? x : x0, x1 = x > x1 ? x : x1;
    y0 = y < y0 ? y : y0, y1 = y > y1 ? y : y1;
  }
};

// The pieces of a fill overlap (neighbouring pieces share rows, triangles share their tips): they
// are drawn opaquely into a mask first, then each covered pixel is combined once, run by run, with
// the polygon fill's combiner. walk(piece) hands each piece to piece(a1, b1, a2, b2); reach adds
// the corners of a piece's area to a box; draw(mask, ox, oy, piece) draws it moved by (-ox, -oy).
// The mask covers only the pieces' box cut to the bitmap; the pieces are filled there as on the
// bitmap itself, since none reaches beyond the box.
template <class WALK, class REACH, class DRAW>
void FillOnce(PX_IBitmap* dest, PX_pixel color, float alpha, int mode, WALK walk, REACH reach,
              DRAW draw)
{
  const int w = dest->getWidth(), h = dest->getHeight();
  if (pxi_ShapeWeight(alpha) == 0 || (mode & PX_MODE_MASK) > PX_MODE_HSVADJUST || w <= 0 || h <= 0)
    return;
  FillBox box;
  walk([&](int64_t a1, int64_t b1, int64_t a2, int64_t b2) { reach(box, a1, b1, a2, b2); });
  const int64_t ox = box.x0 > 0 ? box.x0 : 0, oy = box.y0 > 0 ? box.y0 : 0;
  const int64_t ex = box.x1 < w - 1 ? box.x1 : w - 1, ey = box.y1 < h - 1 ? box.y1 : h - 1;
  if (ex < ox || ey < oy)
    return;
  const int mw = (int)(ex - ox + 1), mh = (int)(ey - oy + 1);
  PX_MemBitmap mask(mw, mh);
  const PX_pixel* m = mask.getBits();
  const int span = mask.getRowSpan();
  if (!m || mask.getWidth() != mw || mask.getHeight() != mh)
    return;
  PX_Clear(&mask, 0);
  walk(
    [&](int64_t a1, int64_t b1, int64_t a2, int64_t b2) { draw(&mask, ox, oy, a1, b1, a2, b2); });
  for (int y = 0; y < mh; ++y, m += span)
    for (int x = 0, e; x < mw; x = e)
    {
      e = (int)pxi_RunEnd(m, x, mw);  // drawn opaquely in ~0u: a cell is 0 or ~0u
      pxi_PolyPoint run[3] = {{ox + x, oy + y}, {ox + e - 1, oy + y}, {ox + e - 1, oy + y}};
      if (m[x])
        pxi_FillConvexPolygon(dest, run, 3, color, alpha, mode);
    }
}

}  // namespace

void PX_FillCBezier(PX_IBitmap* dest, float xstart, float ystart, float xctl1, float yctl1,
                    float xctl2, float yctl2, float xend, float yend, int yfill, PX_pixel color,
                    float alpha, int mode, float maxsegmentpx)
{
  CBez b;
  const int n =
    CBezPrep(dest, xstart, ystart, xctl1, yctl1, xctl2, yctl2, xend, yend, maxsegmentpx, true, &b);
  if (!n)
    return;
  FillOnce(
    dest, color, alpha, mode, [&](auto piece) { FillWalk(b, n, true, piece); },
    [&](FillBox& box, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
      box.add(x1, y1), box.add(x2, y2), box.add(x1, yfill), box.add(x2, (int64_t)yfill + 1);
    },
    [&](PX_IBitmap* mask, int64_t ox, int64_t oy, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
      DoBezierFillSegment(mask, x1 - ox, y1 - oy, x2 - ox, y2 - oy, yfill - oy, ~0u, 1.0f,
                          PX_MODE_COPY);
    });
}

void PX_FillCBezierX(PX_IBitmap* dest, float xstart, float ystart, float xctl1, float yctl1,
                     float xctl2, float yctl2, float xend, float yend, int xfill, PX_pixel color,
                     float alpha, int mode, float maxsegmentpx)
{
  CBez b;
  const int n =
    CBezPrep(dest, xstart, ystart, xctl1, yctl1, xctl2, yctl2, xend, yend, maxsegmentpx, false, &b);
  if (!n)
    return;
  // FillWalk hands over pieces with y first.
  FillOnce(
    dest, color, alpha, mode, [&](auto piece) { FillWalk(b, n, false, piece); },
    [&](FillBox& box, int64_t y1, int64_t x1, int64_t y2, int64_t x2) {
      box.add(x1, y1), box.add(x2, y2 + 1), box.add(xfill, y1), box.add((int64_t)xfill + 1, y2 + 1);
    },
    [&](PX_IBitmap* mask, int64_t ox, int64_t oy, int64_t y1, int64_t x1, int64_t y2, int64_t x2) {
      DoBezierFillSegmentX(mask, x1 - ox, y1 - oy, x2 - ox, y2 - oy, xfill - ox, ~0u, 1.0f,
                           PX_MODE_COPY);
    });
}
