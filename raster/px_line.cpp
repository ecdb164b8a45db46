// One-pixel lines: integer lines with their axis, diagonal and general loops, anti-aliased float
// lines, dashed lines, and the rectangle outlines built from lines. Each call clips its segment,
// chooses one combiner and runs one loop instance for it.
#include "raster/px_line.h"
#include "raster/px_line_templates.h"
#include "raster/px_shape_setup.h"

#include <cmath>
#include <cstdlib>

namespace {

// The storage a line draws into; false when the bitmap has no usable pixels.
struct LineTarget
{
  PX_pixel* bits;
  ptrdiff_t span;
  int w, h;
};

bool lineTarget(PX_IBitmap* dest, LineTarget* t)
{
  if (!dest)
    return false;
  t->bits = dest->getBits();
  t->span = dest->getRowSpan();
  t->w = dest->getWidth();
  t->h = dest->getHeight();
  return t->bits && t->span > 0 && t->w > 0 && t->h > 0;
}

void PX_DiagLineFAST(PX_pixel* px, ptrdiff_t n, ptrdiff_t xstep, ptrdiff_t ystep, PX_pixel color,
                     bool aa)
{
  const ptrdiff_t step = xstep + ystep;
  if (!aa)
  {
    for (ptrdiff_t i = 0; i <= n; ++i, px += step)
      *px = color;
    return;
  }
  const PX_pixel c1 = (color >> 2) & 0x3F3F3F3Fu, c3 = c1 + ((color >> 1) & 0x7F7F7F7Fu);
  for (ptrdiff_t i = 0; i < n; ++i, px += step)
  {
    pxi_CombinePixelsThreeQuarterMix2FAST::doPixFAST(px, c3);
    pxi_CombinePixelsQuarterMix2FAST::doPixFAST(px + xstep, c1);
    pxi_CombinePixelsQuarterMix2FAST::doPixFAST(px + ystep, c1);
  }
  pxi_CombinePixelsThreeQuarterMix2FAST::doPixFAST(px, c3);
}

// Every other row from y1 to y2 in column x, set to the colour.
void PX_DottedVertLineFAST(const LineTarget& t, int x, int y1, int y2, PX_pixel color)
{
  PX_pixel* px = t.bits + (ptrdiff_t)y1 * t.span + x;
  const int count = (y2 - y1 + 1) / 2;
  for (int i = 0; i < count; ++i, px += 2 * t.span)
    *px = color;
}

// An axis line of n pixels from px, stepping by step.
void axisLine(PX_pixel* px, ptrdiff_t n, ptrdiff_t step, PX_pixel color, float alpha, int op)
{
  if (op == PX_MODE_COPY && pxi_SelectShapeFast(alpha, color, [&](auto tag, PX_pixel value) {
        typedef pxi_LineClassSimple<typename decltype(tag)::type> L;
        if (step == 1)
          L::PX_HorizLineFAST(px, n, value);
        else
          L::PX_VertLineFAST(px, step, n, value);
      }))
    return;
  const int ia = pxi_ShapeWeight(alpha);
  if (ia == 0)
    return;
  pxi_SelectShapePlain(op, ia, [&](auto tag) {
    pxi_LineClassSimple<typename decltype(tag)::type>::PX_Run(px, n, step, color, ia);
  });
}

}  // namespace

void pxi_Line(PX_IBitmap* dest, int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, PX_pixel color,
              float alpha, int mode, bool aa)
{
  LineTarget t;
  if (!lineTarget(dest, &t))
    return;
  if (dest->isFlipped())
  {
    Y1 = t.h - 1 - Y1;
    Y2 = t.h - 1 - Y2;
  }
  if (!pxi_ClipLine(&X1, &Y1, &X2, &Y2, t.w, t.h))
    return;
  int x1 = (int)X1, y1 = (int)Y1, x2 = (int)X2, y2 = (int)Y2;
  const int op = mode & PX_MODE_MASK;

  if (y1 == y2)
  {
    if (x1 > x2)
      SWAP(x1, x2);
    axisLine(t.bits + (ptrdiff_t)y1 * t.span + x1, x2 - x1 + 1, 1, color, alpha, op);
    return;
  }
  if (x1 == x2)
  {
    if (y1 > y2)
      SWAP(y1, y2);
    axisLine(t.bits + (ptrdiff_t)y1 * t.span + x1, y2 - y1 + 1, t.span, color, alpha, op);
    return;
  }

  PX_pixel* px = t.bits + (ptrdiff_t)y1 * t.span + x1;
  int dx = x2 - x1, dy = y2 - y1;
  if (std::abs(dx) == std::abs(dy))
  {
    const ptrdiff_t xstep = dx > 0 ? 1 : -1, ystep = dy > 0 ? t.span : -t.span;
    const int n = std::abs(dx);
    if (op == PX_MODE_COPY && alpha == 1.0f)
    {
      PX_DiagLineFAST(px, n, xstep, ystep, color, aa);
      return;
    }
    const int ia = pxi_ShapeWeight(alpha);
    if (ia == 0)
      return;
    if (aa)
      pxi_SelectShapeAA(op, ia, [&](auto tag) {
        pxi_LineClassSimple<typename decltype(tag)::type>::PX_DiagLineAA(px, n, xstep, ystep, color,
                                                                         ia);
      });
    else
      pxi_SelectShapePlain(op, ia, [&](auto tag) {
        pxi_LineClassSimple<typename decltype(tag)::type>::PX_DiagLine(px, n, xstep, ystep, color,
                                                                       ia);
      });
    return;
  }

  PX_pixel* px2 = t.bits + (ptrdiff_t)y2 * t.span + x2;
  int major, minor;
  ptrdiff_t majorstep, minorstep;
  if (std::abs(dx) > std::abs(dy))
    major = dx, minor = dy, majorstep = 1, minorstep = t.span;
  else
    major = dy, minor = dx, majorstep = t.span, minorstep = 1;
  if (major < 0)
  {
    major = -major;
    minor = -minor;
    SWAP(px, px2);
  }
  if (minor < 0)
  {
    minor = -minor;
    minorstep = -minorstep;
  }
  const int derr = (int)((double)minor / (double)major * 65536.0);
  const int ia = pxi_ShapeWeight(alpha);
  if (ia == 0)
    return;
  const auto run = [&](auto tag) {
    pxi_LineClass<typename decltype(tag)::type>::PX_LineImpl(px, px2, derr, majorstep, major,
                                                             minorstep, color, ia, aa);
  };
  if (aa)
    pxi_SelectShapeAA(op, ia, run);
  else
    pxi_SelectShapePlain(op, ia, run);
}

void PX_Line(PX_IBitmap* dest, int x1, int y1, int x2, int y2, PX_pixel color, float alpha,
             int mode, bool aa)
{
  pxi_Line(dest, x1, y1, x2, y2, color, alpha, mode, aa);
}

void PX_FLine(PX_IBitmap* dest, float x1, float y1, float x2, float y2, PX_pixel color, float alpha,
              int mode, bool aa)
{
  if (!dest || !pxi_AllFinite(x1, y1, x2, y2))
    return;
  if (!aa)
  {
    pxi_Line(dest, pxi_SatInt(x1), pxi_SatInt(y1), pxi_SatInt(x2), pxi_SatInt(y2), color, alpha,
             mode, false);
    return;
  }
  LineTarget t;
  if (!lineTarget(dest, &t))
    return;
  if (dest->isFlipped())
  {
    y1 = (float)(t.h - 1) - y1;
    y2 = (float)(t.h - 1) - y2;
  }
  if (!pxi_ClipFLine(&x1, &y1, &x2, &y2, t.w, t.h) || (x1 == x2 && y1 == y2))
    return;
  const int ia = pxi_ShapeWeight(alpha);
  const float dx = x2 - x1, dy = y2 - y1;

  float a0, a1, b0, b1, dmajor, dminor;
  ptrdiff_t majorstep, minorstep;
  int64_t majorlim, minorlim;  // pixels along each axis
  if (std::fabs(dx) > std::fabs(dy))
  {
    a0 = x1, a1 = x2, b0 = y1, b1 = y2, dmajor = dx, dminor = dy;
    majorstep = 1, minorstep = t.span, majorlim = t.w, minorlim = t.h;
  }
  else
  {
    a0 = y1, a1 = y2, b0 = x1, b1 = x2, dmajor = dy, dminor = dx;
    majorstep = t.span, minorstep = 1, majorlim = t.h, minorlim = t.w;
  }
  (void)b1;
  if (dmajor < 0)
  {
    dmajor = -dmajor;
    dminor = -dminor;
    SWAP(a0, a1);
    SWAP(b0, b1);
  }
  const bool down = dminor < 0;
  if (down)
    minorstep = -minorstep;

  const float slope = dminor / dmajor;
  const float a = (float)std::ceil(a0);
  const float b = b0 + (a - a0) * slope;
  const float frac = (float)((double)b - std::floor((double)b));
  int err = (int)(frac * 65536.0f);
  err = err < 0 ? 0 : err > 0xFFFF ? 0xFFFF : err;
  if (down)
    err = 0xFFFF - err;
  const int derr = (int)(std::fabs((double)slope) * 65536.0);

  // The pair covers minor positions lo and lo + 1; rounding may not carry the start or the walk
  // past the bitmap, so the start is held inside and the walk shortened if it would leave.
  int64_t major0 = pxi_SatInt64(a), lo = pxi_SatInt64(b);
  major0 = major0 < 0 ? 0 : major0 > majorlim - 1 ? majorlim - 1 : major0;
  lo = lo < 0 ? 0 : lo > minorlim - 2 ? minorlim - 2 : lo;
  int64_t n = pxi_SatInt64(std::floor((double)a1) - std::ceil((double)a0));
  if (n > majorlim - 1 - major0)
    n = majorlim - 1 - major0;
  const int64_t room = down ? lo : minorlim - 2 - lo;  // whole minor moves the walk may make
  if (derr > 0 && (int64_t)err + n * derr >= (room + 1) * 65536)
    n = ((room + 1) * 65536 - 1 - err) / derr;
  if (n < 0 || ia == 0)
    return;

  PX_pixel* px = t.bits + major0 * majorstep + (lo + (down ? 1 : 0)) * std::abs(minorstep);
  pxi_SelectShapeAA(mode & PX_MODE_MASK, ia, [&](auto tag) {
    pxi_LineClass<typename decltype(tag)::type>::PX_FLineImpl(px, (int)n, err, derr, majorstep,
                                                              minorstep, color, ia);
  });
}

void PX_DashedLine(PX_IBitmap* dest, int x1, int y1, int x2, int y2, int pxon, int pxoff,
                   PX_pixel color, float alpha, int mode, bool aa)
{
  (void)aa;
  LineTarget t;
  if (!lineTarget(dest, &t) || pxon < 1 || (int64_t)pxon + pxoff < 1)
    return;
  int64_t X1 = x1, Y1 = y1, X2 = x2, Y2 = y2;
  if (!pxi_ClipLine(&X1, &Y1, &X2, &Y2, t.w, t.h))
    return;
  x1 = (int)X1, y1 = (int)Y1, x2 = (int)X2, y2 = (int)Y2;
  if (y1 > y2)
    SWAP(y1, y2);
  const int op = mode & PX_MODE_MASK;
  if (pxon == 1 && pxoff == 1 && x1 == x2 && op == PX_MODE_COPY && alpha == 1.0f)
  {
    PX_DottedVertLineFAST(t, x1, y1, y2, color);
    return;
  }
  const int ia = pxi_ShapeWeight(alpha);
  if (x1 > x2)
    SWAP(x1, x2);
  if (ia == 0)
    return;
  pxi_SelectShapePlain(op, ia, [&](auto tag) {
    pxi_LineClass<typename decltype(tag)::type>::DashedLine(t.bits, t.span, x1, y1, x2, y2, pxon,
                                                            pxoff, color, ia);
  });
}

void PX_DrawRect(PX_IBitmap* dest, int x, int y, int w, int h, PX_pixel color, float alpha,
                 int mode)
{
  const int64_t r = (int64_t)x + w, b = (int64_t)y + h;
  pxi_Line(dest, x, y, r, y, color, alpha, mode, false);
  pxi_Line(dest, r, y, r, b, color, alpha, mode, false);
  pxi_Line(dest, r, b, x, b, color, alpha, mode, false);
  pxi_Line(dest, x, b, x, y, color, alpha, mode, false);
}

void PX_BorderedRect(PX_IBitmap* dest, int x, int y, int w, int h, PX_pixel bgcolor,
                     PX_pixel fgcolor, float alpha, int mode)
{
  PX_FillRect(dest, pxi_ClampInt64((int64_t)x + 1), pxi_ClampInt64((int64_t)y + 1),
              pxi_ClampInt64((int64_t)w - 1), pxi_ClampInt64((int64_t)h - 1), bgcolor, alpha, mode);
  PX_DrawRect(dest, x, y, w, h, fgcolor, alpha, mode);
}
