// The per-pixel loops of the filled shapes, templates over a combiner of px_combine.h: the
// trapezoid span fillers (channel and whole-pixel combiners) and the circle drawers.
//
// The trapezoid fillers clip every row to the columns 0..clip width - 1 themselves; the rows are
// the caller's. The circle drawers test points and runs against their clip rectangle when told to.
#pragma once

#include "raster/px.h"
#include "raster/px_combine.h"
#include "raster/px_rowops.h"
#include "raster/px_shape_setup.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <type_traits>

// One edge of a trapezoid walked row by row: column, 16.16 step magnitude (at most 2^29),
// fraction (0..65535) and direction (+1 or -1). The column moves once a whole pixel has built up.
struct pxi_TrapEdge
{
  int64_t x;
  int step;
  int frac;
  int dir;

  void advance()
  {
    frac += step;
    if (frac > 0xFFFF)
    {
      x += (int64_t)dir * (frac >> 16);
      frac &= 0xFFFF;
    }
  }
};

// How a span filler combines one run of pixels: PIX is the per-pixel operation.
template <class PIX>
static inline void pxi_TrapezoidRows(int cw, ptrdiff_t span, PX_pixel* px, int n, pxi_TrapEdge l,
                                     pxi_TrapEdge r, const PIX& run)
{
  if (l.step == 0 && r.step == 0)
  {
    // Rectangle: the caller put the first column into px and the width into r.x.
    for (int y = 0; y < n; ++y, px += span)
      run(px, (int)r.x);
    return;
  }
  for (int y = 0; y < n; ++y, px += span)
  {
    const int64_t lo = l.x > 0 ? l.x : 0, hi = r.x < cw ? r.x : cw;
    if (lo < hi)
      run(px + lo, (int)(hi - lo));
    l.advance();
    r.advance();
  }
}

template <class COMBFUNC>
class pxi_Fill
{
public:
  static void FillClippedTrapezoid(int cw, ptrdiff_t span, PX_pixel* px, int n, pxi_TrapEdge l,
                                   pxi_TrapEdge r, int ir, int ig, int ib, int ia, int alpha)
  {
    pxi_TrapezoidRows(cw, span, px, n, l, r, [&](PX_pixel* p, int count) {
      PX_pixel_chan* c = (PX_pixel_chan*)p;
      for (int i = 0; i < count; ++i, c += 4)
        COMBFUNC::doPix(c, ir, ig, ib, ia, alpha);
    });
  }
};

template <class COMBFUNC>
class pxi_FillFast
{
public:
  static void FillClippedTrapezoidFAST(int cw, ptrdiff_t span, PX_pixel* px, int n, pxi_TrapEdge l,
                                       pxi_TrapEdge r, PX_pixel color)
  {
    pxi_TrapezoidRows(cw, span, px, n, l, r, [&](PX_pixel* p, int count) {
      if (std::is_same<COMBFUNC, pxi_CombinePixelsClobberFAST>::value)
        pxi_FillWords(p, (size_t)count, color);
      else
        for (int i = 0; i < count; ++i)
          COMBFUNC::doPixFAST(p + i, color);
    });
  }
};

// ---------------------------------------------------------------------------------------------
// Circle drawers. Positions are float expressions truncated toward zero (saturated); rows are
// storage rows. clip = {left, top, right, bottom}, right and bottom excluded.

// How far the drawers' loops need to run for a clip rectangle: the largest distance, in whole
// pixels, from the centre to any clip pixel along each axis (plus a margin for truncation).
struct pxi_CircleReach
{
  double dx, dy;
  pxi_CircleReach(float cx, float cy, const int* clip)
  {
    const double l = std::fabs((double)clip[0] - cx), r = std::fabs((double)clip[2] - cx);
    const double t = std::fabs((double)clip[1] - cy), b = std::fabs((double)clip[3] - cy);
    dx = (l > r ? l : r) + 3.0;
    dy = (t > b ? t : b) + 3.0;
  }
};

// Float positions stop counting whole numbers at 2^24; no loop runs past that.
constexpr float PX_CIRCLE_MAX_STEPS = 16777216.0f;

// Stands in for a combiner where a filled shape first marks its pixels: each pixel word is
// overwritten with the weight, so it ends up holding the last weight the shape gave it.
class pxi_RecordWeight
{
public:
  static inline void doPix(PX_pixel_chan* dest, int, int, int, int, int w)
  {
    std::memcpy(dest, &w, sizeof w);
  }
};

template <class COMBFUNC>
class pxi_CircleDrawer
{
public:
  struct Ctx
  {
    PX_IBitmap* dest;
    PX_pixel* bits;  // the pixel (ox, oy)
    ptrdiff_t span;
    int ox, oy;
    const int* clip;
    int r, g, b, a;
    bool needsclip;
    PX_pixel word;  // the colour as one pixel word
  };

  static inline void DrawClippedPt(const Ctx& c, int x, int y, int ia)
  {
    if (c.needsclip && (x < c.clip[0] || x >= c.clip[2] || y < c.clip[1] || y >= c.clip[3]))
      return;
    COMBFUNC::doPix((PX_pixel_chan*)(c.bits + (ptrdiff_t)(y - c.oy) * c.span + (x - c.ox)), c.r,
                    c.g, c.b, c.a, ia);
  }

  static inline void DrawClippedHorzLine(const Ctx& c, int y, int x1, int x2, int ia)
  {
    if (c.needsclip)
    {
      if (y < c.clip[1] || y >= c.clip[3])
        return;
      if (x1 < c.clip[0])
        x1 = c.clip[0];
      if (x2 > c.clip[2] - 1)
        x2 = c.clip[2] - 1;
    }
    if (x1 > x2)
      return;
    PX_pixel* run = c.bits + (ptrdiff_t)(y - c.oy) * c.span + ((int64_t)x1 - c.ox);
    const size_t n = (size_t)((int64_t)x2 - x1 + 1);
    // Copy at full weight leaves exactly the colour, and marking stores the weight: the run is
    // stored whole.
    if (std::is_same<COMBFUNC, pxi_RecordWeight>::value)
      pxi_FillWords(run, n, (PX_pixel)ia);
    else if (ia == 256 && (std::is_same<COMBFUNC, pxi_CombinePixelsCopyNoClamp>::value ||
                           std::is_same<COMBFUNC, pxi_CombinePixelsClobberNoClamp>::value))
      pxi_FillWords(run, n, c.word);
    else
      for (size_t i = 0; i < n; ++i)
        COMBFUNC::doPix((PX_pixel_chan*)(run + i), c.r, c.g, c.b, c.a, ia);
  }

  // The eight points (cx +- x, cy +- y) and (cx +- y, cy +- x).
  static inline void EightPoints(const Ctx& c, float cx, float cy, float x, float y, int ia)
  {
    const int xl = pxi_SatInt(cx - x), xr = pxi_SatInt(cx + x);
    const int yl = pxi_SatInt(cx - y), yr = pxi_SatInt(cx + y);
    const int ty = pxi_SatInt(cy - y), by = pxi_SatInt(cy + y);
    const int tx = pxi_SatInt(cy - x), bx = pxi_SatInt(cy + x);
    DrawClippedPt(c, xr, by, ia);
    DrawClippedPt(c, xl, by, ia);
    DrawClippedPt(c, xr, ty, ia);
    DrawClippedPt(c, xl, ty, ia);
    DrawClippedPt(c, yr, bx, ia);
    DrawClippedPt(c, yl, bx, ia);
    DrawClippedPt(c, yr, tx, ia);
    DrawClippedPt(c, yl, tx, ia);
  }

  // Midpoint circle: every point and run is combined each time it is produced (a filled circle
  // marks them first, see pxi_RecordWeight).
  static void DrawClippedCircle(const Ctx& c, float cx, float cy, float r, int ia, bool fill)
  {
    const pxi_CircleReach reach(cx, cy, c.clip);
    float x = 0, y = r, d = (5 - 4 * r) / 4;
    DrawClippedPt(c, pxi_SatInt(cx), pxi_SatInt(cy + r), ia);
    DrawClippedPt(c, pxi_SatInt(cx), pxi_SatInt(cy - r), ia);
    DrawClippedPt(c, pxi_SatInt(cx + r), pxi_SatInt(cy), ia);
    DrawClippedPt(c, pxi_SatInt(cx - r), pxi_SatInt(cy), ia);
    if (fill)
      DrawClippedHorzLine(c, pxi_SatInt(cy), pxi_SatInt(cx - r + 1), pxi_SatInt(cx + r - 1), ia);
    // Every later point lies at least x - 1 from the centre in both axes (runs: in y), so once x
    // passes the clip's reach nothing more can land in it.
    const float stop = (float)(fill ? reach.dy : (reach.dx < reach.dy ? reach.dx : reach.dy));
    const float last = r + 3 < PX_CIRCLE_MAX_STEPS ? r + 3 : PX_CIRCLE_MAX_STEPS;
    while (y > x && x < last && x < stop)
    {
      x = x + 1;
      if (d >= 0)
      {
        y = y - 1;
        d = d + 2 * (x - y) + 1;
      }
      else
        d = d + 2 * x + 1;
      EightPoints(c, cx, cy, x, y, ia);
      if (fill)
      {
        const int x1 = pxi_SatInt(cx - x + 1), x2 = pxi_SatInt(cx + x - 1);
        const int y1 = pxi_SatInt(cx - y + 1), y2 = pxi_SatInt(cx + y - 1);
        DrawClippedHorzLine(c, pxi_SatInt(cy - y), x1, x2, ia);
        DrawClippedHorzLine(c, pxi_SatInt(cy + y), x1, x2, ia);
        DrawClippedHorzLine(c, pxi_SatInt(cy - x), y1, y2, ia);
        DrawClippedHorzLine(c, pxi_SatInt(cy + x), y1, y2, ia);
      }
    }
  }

  // y of the anti-aliased circle at column offset x: the difference in single precision, the root
  // in double (not a number once x passes r).
  static inline float yAt(float r, float x) { return (float)std::sqrt((double)(r * r - x * x)); }

  // Anti-aliased circle: each octant point splits ia between the two pixels its fractional
  // position falls between, the outer one getting ia times the fraction.
  static void DrawClippedCircleAA(const Ctx& c, float cx, float cy, float r, int ia, bool fill)
  {
    const pxi_CircleReach reach(cx, cy, c.clip);
    const double reachmax = reach.dx > reach.dy ? reach.dx : reach.dy;
    float x = 0, y = r;
    for (int64_t steps = 0;
         y + 1 > x && x < PX_CIRCLE_MAX_STEPS && steps < (int64_t)PX_CIRCLE_MAX_STEPS; ++steps)
    {
      const float f = y - std::floor(y);
      if (f != 0)
      {
        const int wa = pxi_SatInt(ia * f), wb = ia - wa;
        for (const int X : {pxi_SatInt(cx + x), pxi_SatInt(cx - x)})
        {
          DrawClippedPt(c, X, pxi_SatInt(cy + y + 1), wa);
          DrawClippedPt(c, X, pxi_SatInt(cy + y), wb);
          DrawClippedPt(c, X, pxi_SatInt(cy - y + 1), wb);
          DrawClippedPt(c, X, pxi_SatInt(cy - y), wa);
        }
        for (const int Y : {pxi_SatInt(cy + x), pxi_SatInt(cy - x)})
        {
          DrawClippedPt(c, pxi_SatInt(cx + y + 1), Y, wa);
          DrawClippedPt(c, pxi_SatInt(cx + y), Y, wb);
          DrawClippedPt(c, pxi_SatInt(cx - y + 1), Y, wb);
          DrawClippedPt(c, pxi_SatInt(cx - y), Y, wa);
        }
      }
      else
      {
        EightPoints(c, cx, cy, x, y, ia);
      }
      if (fill)
      {
        const int x1 = pxi_SatInt(cx - x), x2 = pxi_SatInt(cx + x);
        DrawClippedHorzLine(c, pxi_SatInt(cy - y + 1), x1, x2, ia);
        DrawClippedHorzLine(c, pxi_SatInt(cy + y), x1, x2, ia);
        const int y1 = pxi_SatInt(cx - y + 1), y2 = pxi_SatInt(cx + y);
        DrawClippedHorzLine(c, pxi_SatInt(cy - x), y1, y2, ia);
        DrawClippedHorzLine(c, pxi_SatInt(cy + x), y1, y2, ia);
      }
      x = x + 1;
      y = yAt(r, x);
      // While x and y both lie beyond the clip's reach, a step draws nothing inside the clip, and
      // once that stops holding it never holds again (x grows, y shrinks): jump to the first x
      // for which it fails, found by bisection with the same arithmetic.
      const auto idle = [&](float xv) {
        const float yv = yAt(r, xv);
        return xv > reachmax && yv > reachmax && yv + 1 > xv;
      };
      if (idle(x))
      {
        float lo = x, hi = PX_CIRCLE_MAX_STEPS;
        if (idle(hi))
          break;
        while (hi - lo > 1)
        {
          const float mid = std::floor((lo + hi) / 2);
          (idle(mid) ? lo : hi) = mid;
        }
        x = hi;
        y = yAt(r, x);
      }
    }
  }
};
