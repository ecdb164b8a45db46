// PX_DeltaBlit (an affine or bilinear-warp walk of the source) and PX_TransformBlit (a grid
// of control points, one delta blit per destination cell).
#include "raster/px.h"
#include "raster/px_blit_templates.h"
#include "raster/px_setup.h"

#include <cstdint>

PX_IBitmap* pxi_SourceApartFrom(PX_IBitmap* dest, PX_IBitmap* src, PX_MemBitmap* copy)
{
  bool shared = dest == src;
  PX_pixel* db = dest->getBits();
  PX_pixel* sb = src->getBits();
  if (!shared && db && sb)
  {
    const uintptr_t dlo = (uintptr_t)db, slo = (uintptr_t)sb;
    const uintptr_t dhi = dlo + (uintptr_t)dest->getRowSpan() * (uintptr_t)dest->getHeight() * 4;
    const uintptr_t shi = slo + (uintptr_t)src->getRowSpan() * (uintptr_t)src->getHeight() * 4;
    shared = dlo < shi && slo < dhi;
  }
  if (!shared)
    return src;
  PX_Copy(copy, src);
  if (copy->getWidth() != src->getWidth() || copy->getHeight() != src->getHeight())
    return nullptr;
  return copy;
}

void PX_DeltaBlit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                  float srcx, float srcy, float srcw, float srch, double dsdx, double dtdx,
                  double dsdy, double dtdy, double dsdxdy, double dtdxdy, bool cliptosourcerect,
                  float alpha, int mode)
{
  if (!dest || !src || !dstw || !dsth)
    return;

  const pxi_SourceClip clip =
    pxi_ClipSource(src->getWidth(), src->getHeight(), cliptosourcerect, srcx, srcy, srcw, srch);

  int64_t dx = dstx, dy = dsty, dw = dstw, dh = dsth;
  if (dw < 0)
  {
    dx += dw;
    srcx += srcw;
    srcw = -srcw;
    dw = -dw;
  }
  if (dh < 0)
  {
    dy += dh;
    srcy += srch;
    srch = -srch;
    dh = -dh;
  }
  // 16.16 set-up of the unclipped walk; nothing is drawn when it would not fit.
  int isrcx, isrcy, idsdx, idtdx, idsdy, idtdy, idsdxdy, idtdxdy;
  if (!pxi_ToFixed(srcx, &isrcx) || !pxi_ToFixed(srcy, &isrcy) || !pxi_ToFixed(dsdx, &idsdx) ||
      !pxi_ToFixed(dtdx, &idtdx) || !pxi_ToFixed(dsdy, &idsdy) || !pxi_ToFixed(dtdy, &idtdy) ||
      !pxi_ToFixed(dsdxdy, &idsdxdy) || !pxi_ToFixed(dtdxdy, &idtdxdy))
    return;

  // Left and top clipping advance the walk in fixed point by the skipped columns and rows, the
  // second-order terms included, so the visible part maps exactly as it would unclipped.
  int64_t sx = isrcx, sy = isrcy, sdx = idsdx, tdx = idtdx, sdy = idsdy, tdy = idtdy;
  // Skips n steps of (ds, dt) along one axis; the steps along the other axis grow by n times the
  // second-order terms. False when a value leaves the int range.
  const auto skip = [&](int64_t n, int64_t ds, int64_t dt, int64_t* other_ds, int64_t* other_dt) {
    const auto fits = [](int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; };
    sx += n * ds;
    sy += n * dt;
    *other_ds += n * idsdxdy;
    *other_dt += n * idtdxdy;
    return fits(sx) && fits(sy) && fits(*other_ds) && fits(*other_dt);
  };
  if (!pxi_ClipRectToDest(
        dx, dy, dw, dh, dest->getWidth(), dest->getHeight(), [&](int64_t n, bool horizontal) {
          return horizontal ? skip(n, sdx, tdx, &sdy, &tdy) : skip(n, sdy, tdy, &sdx, &tdx);
        }))
    return;

  int w;
  const PX_COMBINEFUNC combine = pxi_NoClampCombineForAlpha(alpha, mode, &w);
  if (!combine)
    return;

  // Reading and writing the same pixels: walk a copy of the source instead.
  PX_MemBitmap copy(0, 0, 0);
  src = pxi_SourceApartFrom(dest, src, &copy);
  if (!src)
    return;

  PX_pixel* dbits = dest->getBits();
  PX_pixel* sbits = src->getBits();
  if (!dbits || !sbits)
    return;
  const pxi_Rows srows = pxi_LogicalRows(src, sbits, 0);
  const pxi_Rows drows = pxi_LogicalRows(dest, dbits, (int)dy);

  pxi_Template_Blit3::deltaBlit(drows.start + dx * 4, srows.start, (int)dw, (int)dh, (int)sx,
                                (int)sy, (int)sdx, (int)tdx, (int)sdy, (int)tdy, idsdxdy, idtdxdy,
                                clip.left, clip.top, clip.right, clip.bottom, srows.step,
                                drows.step, w, mode & PX_FILTER_MASK, combine);
}

// Moves a grid line of the transform blit on by step: *next is its new pixel, *len the pixels
// between it and prev. False when the position leaves the int range or the gap is wider than an int.
static bool NextGridLine(double* pos, float step, int prev, int* next, int* len)
{
  *pos += step;
  if (!pxi_ToInt(*pos, next))
    return false;
  const int64_t gap = (int64_t)*next - prev;
  if (gap > INT32_MAX)
    return false;
  *len = (int)gap;
  return true;
}

void PX_TransformBlit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                      const float* srcpoints, int div_w, int div_h, float alpha, int mode)
{
  if (!dest || !src || !srcpoints || dstw <= 0 || dsth <= 0 || div_w < 2 || div_h < 2)
    return;

  // Every cell reads the source as it was before the first cell was drawn.
  PX_MemBitmap copy(0, 0, 0);
  src = pxi_SourceApartFrom(dest, src, &copy);
  if (!src)
    return;

  const float xstep = (float)dstw / (float)(div_w - 1);
  const float ystep = (float)dsth / (float)(div_h - 1);
  const ptrdiff_t rowpoints = (ptrdiff_t)div_w * 2;

  double y = dsty;
  int py = dsty;
  for (int j = 0; j < div_h - 1; ++j, srcpoints += rowpoints)
  {
    int ny, ch;
    if (!NextGridLine(&y, ystep, py, &ny, &ch))
      return;
    if (ny != py)
    {
      const double iy = 1.0 / ch;
      double x = dstx;
      int px = dstx;
      for (int i = 0; i < div_w - 1; ++i)
      {
        int nx, cw;
        if (!NextGridLine(&x, xstep, px, &nx, &cw))
          return;
        if (nx != px)
        {
          const float* P = srcpoints + (ptrdiff_t)i * 2;
          const float* Q = P + 2;
          const float* R = P + rowpoints;
          const float* S = R + 2;
          const double ix = 1.0 / cw;
          const double dsdx = (Q[0] - P[0]) * ix, dtdx = (Q[1] - P[1]) * ix;
          const double dsdy = (R[0] - P[0]) * iy, dtdy = (R[1] - P[1]) * iy;
          const double dsdxdy = ((S[0] - R[0]) * ix - dsdx) * iy;
          const double dtdxdy = ((S[1] - R[1]) * ix - dtdx) * iy;
          PX_DeltaBlit(dest, src, px, py, cw, ch, P[0], P[1], Q[0] - P[0], Q[1] - P[1], dsdx, dtdx,
                       dsdy, dtdy, dsdxdy, dtdxdy, false, alpha, mode);
        }
        px = nx;
      }
    }
    py = ny;
  }
}
