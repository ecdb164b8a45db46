// Solid fills bounded by straight edges: trapezoids between two horizontal spans, convex polygons
// cut into trapezoids that share no rows, and triangles. Edges advance in 16.16 fixed point; one
// span filler instance, chosen once per trapezoid, combines every row.
#include "raster/px_line.h"
#include "raster/px_shape_setup.h"
#include "raster/px_shape_templates.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kMaxStep = 1 << 29;
// Polygons up to this many points need no heap block.
constexpr int kStackPoints = 512;

int edgeStep(double dx, double factor, int* dir)
{
  double s = dx * factor;
  s = s < -kMaxStep ? -kMaxStep : s > kMaxStep ? kMaxStep : s;
  const int step = (int)s;
  *dir = step < 0 ? -1 : 1;
  return step < 0 ? -step : step;
}

// The trapezoid in storage rows, 64-bit end points, weight already formed.
void FillTrapezoid(PX_IBitmap* dest, int64_t x1a, int64_t x1b, int64_t y1, int64_t x2a, int64_t x2b,
                   int64_t y2, PX_pixel color, int ia, int op)
{
  if (!dest)
    return;
  if (y1 > y2)
  {
    SWAP(y1, y2);
    SWAP(x1a, x2a);
    SWAP(x1b, x2b);
  }
  if (x1a > x1b)
    SWAP(x1a, x1b);
  if (x2a > x2b)
    SWAP(x2a, x2b);
  const int w = dest->getWidth(), h = dest->getHeight();
  PX_pixel* bits = dest->getBits();
  const ptrdiff_t span = dest->getRowSpan();
  if (!bits || span <= 0 || w <= 0 || h <= 0)
    return;
  if ((x1b < 0 && x2b < 0) || (x1a >= w && x2a >= w))
    return;
  if (x1a <= 0 && x2a <= 0)
    x1a = x2a = 0;
  if (x1b >= w - 1 && x2b >= w - 1)
    x1b = x2b = w - 1;
  if (y2 < 0 || y1 >= h || ia == 0)
    return;

  const double factor = y1 == y2 ? 0.0 : 65536.0 / (double)(y2 - y1);
  pxi_TrapEdge l = {x1a, 0, 0, 1}, r = {x1b, 0, 0, 1};
  l.step = edgeStep((double)x2a - (double)x1a, factor, &l.dir);
  r.step = edgeStep((double)x2b - (double)x1b, factor, &r.dir);
  if (y1 < 0)
  {
    // Rows above the bitmap: advance both edges by -y1 rows at once (64-bit products; the rows
    // come from int positions, so -y1 stays far below 2^34).
    const int64_t rows = -y1;
    for (pxi_TrapEdge* e : {&l, &r})
    {
      const int64_t f = rows * e->step;
      e->x += e->dir * (f >> 16);
      e->frac = (int)(f & 0xFFFF);
    }
    y1 = 0;
  }
  if (y2 > h - 1)
    y2 = h - 1;
  const int n = (int)(y2 - y1 + 1);
  PX_pixel* px = bits + y1 * span;
  r.x += 1;  // the right end becomes exclusive
  if (l.step == 0 && r.step == 0)
  {
    const int64_t left = l.x > 0 ? l.x : 0, width = (r.x < w ? r.x : w) - left;
    if (width <= 0)
      return;
    px += left;
    r.x = width;
  }

  const int cr = PX_GETR(color), cg = PX_GETG(color), cb = PX_GETB(color), ca = PX_GETA(color);
  pxi_SelectSolid(
    op, ia, color,
    [&](auto tag, PX_pixel value) {
      pxi_FillFast<typename decltype(tag)::type>::FillClippedTrapezoidFAST(w, span, px, n, l, r,
                                                                           value);
    },
    [&](auto tag) {
      pxi_Fill<typename decltype(tag)::type>::FillClippedTrapezoid(w, span, px, n, l, r, cr, cg, cb,
                                                                   ca, ia);
    });
}

// The vertex ending the edge that leaves pts[current] on the left chain (dir < 0, smallest slope)
// or the right chain (dir > 0, largest slope); equal slopes go to the later vertex. current itself
// when no vertex lies on a later row.
int FindNextEdgeVertex(const pxi_PolyPoint* pts, int current, int npoints, int dir)
{
  int best = current;
  float bestslope = 0;
  const pxi_PolyPoint& c = pts[current];
  for (int i = current + 1; i < npoints; ++i)
  {
    if (pts[i].y == c.y)
      continue;
    const float slope = (float)(pts[i].x - c.x) / (float)(pts[i].y - c.y);
    if (best == current || slope == bestslope || (dir < 0 && slope < bestslope) ||
        (dir > 0 && slope > bestslope))
    {
      best = i;
      bestslope = slope;
    }
  }
  return best;
}

}  // namespace

void PX_FillTrapezoid(PX_IBitmap* dest, int x1a, int x1b, int y1, int x2a, int x2b, int y2,
                      PX_pixel color, float alpha, int mode)
{
  FillTrapezoid(dest, x1a, x1b, y1, x2a, x2b, y2, color, pxi_ShapeWeight(alpha),
                mode & PX_MODE_MASK);
}

void pxi_FillConvexPolygon(PX_IBitmap* dest, pxi_PolyPoint* pts, int n, PX_pixel color, float alpha,
                           int mode)
{
  const int ia = pxi_ShapeWeight(alpha), op = mode & PX_MODE_MASK;
  if (!dest || n < 3 || ia == 0 || op > PX_MODE_HSVADJUST)
    return;
  const int64_t height = dest->getHeight();
  const bool flipped = dest->isFlipped();
  int64_t minx = pts[0].x, maxx = pts[0].x;
  for (int i = 0; i < n; ++i)
  {
    if (flipped)
      pts[i].y = height - pts[i].y - 1;
    minx = std::min(minx, pts[i].x);
    maxx = std::max(maxx, pts[i].x);
  }
  std::sort(pts, pts + n, [](const pxi_PolyPoint& a, const pxi_PolyPoint& b) {
    return a.y < b.y || (a.y == b.y && a.x < b.x);
  });

  int64_t y = pts[0].y;
  if (y == pts[n - 1].y)
  {
    if (y >= 0 && y < height)
      FillTrapezoid(dest, minx, maxx, y, minx, maxx, y, color, ia, op);
    return;
  }
  int a1 = 0, a2 = 0;
  for (int i = 1; i < n && pts[i].y == y; ++i)
  {
    if (pts[i].x == pts[0].x)
      a1 = i;
    a2 = i;
  }
  int b1 = FindNextEdgeVertex(pts, a1, n, -1), b2 = FindNextEdgeVertex(pts, a2, n, 1);
  // Each turn moves at least one chain on by a vertex; the cap only guards against input that
  // breaks the chains' order.
  for (int64_t turns = 0; (a1 != b1 || a2 != b2) && turns <= 2 * (int64_t)n; ++turns)
  {
    const int64_t yend = std::min(pts[b1].y, pts[b2].y);
    const pxi_PolyPoint &p1 = pts[a1], &q1 = pts[b1], &p2 = pts[a2], &q2 = pts[b2];
    FillTrapezoid(dest, pxi_FindXOnSegment(p1.x, p1.y, q1.x, q1.y, y),
                  pxi_FindXOnSegment(p2.x, p2.y, q2.x, q2.y, y), y,
                  pxi_FindXOnSegment(p1.x, p1.y, q1.x, q1.y, yend),
                  pxi_FindXOnSegment(p2.x, p2.y, q2.x, q2.y, yend), yend, color, ia, op);
    const bool down = y <= yend;
    y = yend;
    if (pts[b1].y == y)
    {
      a1 = b1;
      b1 = FindNextEdgeVertex(pts, b1, n, -1);
    }
    if (pts[b2].y == y)
    {
      a2 = b2;
      b2 = FindNextEdgeVertex(pts, b2, n, 1);
    }
    y = down ? y + 1 : y - 1;
  }
}

void PX_FillConvexPolygon(PX_IBitmap* dest, const int* x, const int* y, int npoints, PX_pixel color,
                          float alpha, int mode)
{
  if (!dest || !x || !y || npoints < 3)
    return;
  pxi_PolyPoint stackpts[kStackPoints];
  pxi_PolyPoint* pts = stackpts;
  if (npoints > kStackPoints)
  {
    pts = (pxi_PolyPoint*)std::malloc((size_t)npoints * sizeof(pxi_PolyPoint));
    if (!pts)
      return;
  }
  for (int i = 0; i < npoints; ++i)
    pts[i] = {x[i], y[i]};
  pxi_FillConvexPolygon(dest, pts, npoints, color, alpha, mode);
  if (pts != stackpts)
    std::free(pts);
}

void PX_FillTriangle(PX_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3,
                     PX_pixel color, float alpha, int mode)
{
  const int x[3] = {x1, x2, x3}, y[3] = {y1, y2, y3};
  PX_FillConvexPolygon(dest, x, y, 3, color, alpha, mode);
}
