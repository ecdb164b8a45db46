// PX_ScaledBlit and PX_RotatedBlit: clipping and 16.16 set-up in front of the loop templates.
// All set-up arithmetic on destination rectangles runs in 64 bits and every float-to-int or
// double-to-float conversion is range-checked, so extreme arguments draw nothing instead of
// overflowing.
#include "raster/px_scaled.h"

#include "raster/px_blit_templates.h"
#include "raster/px_combine.h"
#include "raster/px_scaled_kernels.h"
#include "raster/px_setup.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <initializer_list>

namespace {

bool allFinite(std::initializer_list<float> values)
{
  for (float v : values)
    if (!std::isfinite(v))
      return false;
  return true;
}

// v stored as a float; false when it lies outside the float range (or is NaN).
bool toFloat(double v, float* out)
{
  if (!(std::fabs(v) <= (double)FLT_MAX))
    return false;
  *out = (float)v;
  return true;
}

// Kernels of the averaging reduction: every weight 1.0.
const int s_kernel3[3 * 3] = {65536, 65536, 65536, 65536, 65536, 65536, 65536, 65536, 65536};
const int s_kernel5[5 * 5] = {65536, 65536, 65536, 65536, 65536, 65536, 65536, 65536, 65536,
                              65536, 65536, 65536, 65536, 65536, 65536, 65536, 65536, 65536,
                              65536, 65536, 65536, 65536, 65536, 65536, 65536};

// The same-size shortcut: copies from the rounded source position when the sizes agree and either
// no bilinear filter is asked for or the position is whole. True when it handled the call.
bool sameSizeBlit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                  float srcx, float srcy, float srcw, float srch, float alpha, int mode)
{
  if (!(std::fabs((double)(srcw - (float)dstw)) < 0.001 &&
        std::fabs((double)(srch - (float)dsth)) < 0.001))
    return false;
  if ((mode & PX_FILTER_MASK) == PX_FILTER_BILINEAR &&
      !(std::fabs((double)srcx - std::floor((double)srcx + 0.5)) < 0.03 &&
        std::fabs((double)srcy - std::floor((double)srcy + 0.5)) < 0.03))
    return false;
  int ix, iy;
  if (pxi_ToInt((double)(srcx + 0.5f), &ix) && pxi_ToInt((double)(srcy + 0.5f), &iy))
    PX_Blit(dest, src, dstx, dsty, ix, iy, dstw, dsth, alpha, mode);
  return true;
}

// The destination rectangle (in 64 bits, so that no sum of caller values overflows) and the source
// rectangle it shows, as the set-up moves them.
struct Placement
{
  int64_t x, y, w, h;
  float srcx, srcy, srcw, srch;
};

// A negative destination size mirrors: the rectangle moves left (up) by it and the source is
// walked backwards from its far edge. False when that edge is not finite.
bool mirrorNegativeSizes(Placement* p)
{
  if (p->w < 0)
  {
    p->x += p->w;
    p->w = -p->w;
    p->srcx += p->srcw;
    p->srcw = -p->srcw;
  }
  if (p->h < 0)
  {
    p->y += p->h;
    p->h = -p->h;
    p->srcy += p->srch;
    p->srch = -p->srch;
  }
  return allFinite({p->srcx, p->srcy});
}

// Right and bottom clipping against the destination; false when nothing is left.
bool clipFarEdges(Placement* p, PX_IBitmap* dest)
{
  const int64_t width = dest->getWidth(), height = dest->getHeight();
  if (p->x + p->w > width)
    p->w = width - p->x;
  if (p->y + p->h > height)
    p->h = height - p->y;
  return p->w > 0 && p->h > 0;
}

// The source from its logical row 0 and the destination from the placement's first pixel; false
// when either bitmap has no pixels.
bool startRows(PX_IBitmap* dest, PX_IBitmap* src, const Placement& p, pxi_Rows* srows,
               pxi_Rows* drows)
{
  PX_pixel* sbits = src->getBits();
  PX_pixel* dbits = dest->getBits();
  if (!sbits || !dbits)
    return false;
  *srows = pxi_LogicalRows(src, sbits, 0);
  *drows = pxi_LogicalRows(dest, dbits, (int)p.y);
  drows->start += p.x * 4;
  return true;
}

// Drops the destination pixels of one axis whose samples fall left of the source or past its last
// pixel. pos is the 16.16 start, step > 0, n the pixel count, d the destination position.
void clipWalkToSource(int64_t* pos, int64_t step, int64_t* n, int64_t* d, int srcsize)
{
  if (*pos < 0)
  {
    const int64_t skip = (step - 1 - *pos) / step;
    *n -= skip;
    *d += skip;
    *pos += step * skip;
  }
  if (*n > 0 && (*pos + (*n - 1) * step) / 65536 >= srcsize)
  {
    // The pixels whose samples lie inside the source, its last column or row included.
    const int64_t room = (int64_t)srcsize * 65536 - 1 - *pos;
    const int64_t count = room < 0 ? 0 : room / step + 1;
    if (count < *n)
      *n = count;
  }
}

// The exclusive sampling limit of one axis: the source rectangle's far edge rounded up, at most
// the source size; 0 when nothing of the source is inside.
int samplingLimit(float pos, float size, int srcsize)
{
  const double v = (double)((size > 0.0f ? size : 0.0f) + pos) + 0.999999;
  if (!(v >= 1.0))
    return 0;
  return v >= (double)srcsize ? srcsize : (int)v;
}

}  // namespace

void PX_ScaledBlit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                   float srcx, float srcy, float srcw, float srch, float alpha, int mode)
{
  if (!dest || !src || !dstw || !dsth || !(alpha != 0.0f))
    return;
  if (!allFinite({alpha, srcx, srcy, srcw, srch}))
    return;
  int w;
  if (!pxi_WeightFromAlpha(alpha, &w))
    return;

  if (sameSizeBlit(dest, src, dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, alpha, mode))
    return;

  // Drawing a bitmap onto itself reads the pixels as they were before the draw.
  PX_MemBitmap copy(0, 0, 0);
  src = pxi_SourceApartFrom(dest, src, &copy);
  if (!src)
    return;

  Placement p = {dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch};
  if (!mirrorNegativeSizes(&p))
    return;

  const double xadv = (double)(p.srcw / (float)p.w);
  const double yadv = (double)(p.srch / (float)p.h);
  // The source rectangle as asked for: clipping below moves the start, never the limits.
  const float rectx = p.srcx, recty = p.srcy, rectw = p.srcw, recth = p.srch;

  if (p.x < 0)
  {
    if (!toFloat((double)p.srcx - (double)p.x * xadv, &p.srcx))
      return;
    p.w += p.x;
    p.x = 0;
  }
  if (p.y < 0)
  {
    if (!toFloat((double)p.srcy - (double)p.y * yadv, &p.srcy))
      return;
    p.h += p.y;
    p.y = 0;
  }
  if (!clipFarEdges(&p, dest))
    return;

  int idx, idy, isx, isy;
  if (!pxi_ToFixed(xadv, &idx) || !pxi_ToFixed(yadv, &idy) || !pxi_ToFixed(p.srcx, &isx) ||
      !pxi_ToFixed(p.srcy, &isy))
    return;

  const int srcW = src->getWidth(), srcH = src->getHeight();
  int64_t sx = isx, sy = isy;
  if (idx > 0)
    clipWalkToSource(&sx, idx, &p.w, &p.x, srcW);
  if (idy > 0)
    clipWalkToSource(&sy, idy, &p.h, &p.y, srcH);
  if (p.w <= 0 || p.h <= 0)
    return;

  pxi_Rows srows, drows;
  if (!startRows(dest, src, p, &srows, &drows))
    return;

  int cr = samplingLimit(rectx, rectw, srcW);
  int cb = samplingLimit(recty, recth, srcH);
  if (cr <= 0 || cb <= 0)
    return;

  const int cols = (int)p.w, rows = (int)p.h;
  if ((mode & 0x1FFFF) == 0 && (w == 128 || w == 256))
  {
    if (w == 256)
      pxi_Template_Blit0<pxi_CombinePixelsClobberFAST>::scaleBlitFAST(
        drows.start, srows.start, cols, rows, (int)sx, (int)sy, idx, idy, cr, cb, srows.step,
        drows.step);
    else
      pxi_Template_Blit0<pxi_CombinePixelsHalfMixFAST>::scaleBlitFAST(
        drows.start, srows.start, cols, rows, (int)sx, (int)sy, idx, idy, cr, cb, srows.step,
        drows.step);
    return;
  }
  if (w == 0)
    return;

  const bool bilinear = (mode & PX_FILTER_MASK) == PX_FILTER_BILINEAR;
  if (!bilinear)
  {
    pxi_SelectNoClamp(mode, w, [&](auto tag) {
      pxi_Template_Blit2<typename decltype(tag)::type>::scaleBlit(
        drows.start, srows.start, cols, rows, (int)sx, (int)sy, idx, idy, cr, cb, srows.step,
        drows.step, w, mode & PX_FILTER_MASK);
    });
    return;
  }
  if (xadv < 1.7 || yadv < 1.7)
  {
    pxi_SelectNoClamp(mode, w, [&](auto tag) {
      pxi_ScaledKernels<typename decltype(tag)::type>::scaleBlitBilinear(
        drows.start, srows.start, cols, rows, (int)sx, (int)sy, idx, idy, cr, cb, srows.step,
        drows.step, w);
    });
    return;
  }

  // Averaging reduction. Its window reaches up and left of each sample, so the source is
  // addressed from the rectangle's top-left pixel: the window then stops at the rectangle's
  // edges on all four sides, as the limits cr and cb stop it on the right and at the bottom.
  const int ox = rectx <= 0.0f ? 0 : rectx < (float)cr ? (int)rectx : cr;
  const int oy = recty <= 0.0f ? 0 : recty < (float)cb ? (int)recty : cb;
  if (ox >= cr || oy >= cb)
    return;
  const PX_pixel_chan* sstart = srows.start + (ptrdiff_t)oy * srows.step + (ptrdiff_t)ox * 4;
  const int n = (idx > idy ? idx : idy) <= 0x30000 ? 3 : 5;
  const int* kernel = n == 3 ? s_kernel3 : s_kernel5;
  pxi_SelectNoClamp(mode, w, [&](auto tag) {
    pxi_Template_Blit2<typename decltype(tag)::type>::scaleBlitFilterDown(
      drows.start, sstart, cols, rows, (int)(sx - (int64_t)ox * 65536),
      (int)(sy - (int64_t)oy * 65536), idx, idy, cr - ox, cb - oy, srows.step, drows.step, w,
      kernel, -(n / 2), n);
  });
}

void PX_RotatedBlit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                    float srcx, float srcy, float srcw, float srch, float angle,
                    bool cliptosourcerect, float alpha, int mode, float rotxcent, float rotycent)
{
  if (!dest || !src || !dstw || !dsth)
    return;
  if (!allFinite({alpha, srcx, srcy, srcw, srch, angle, rotxcent, rotycent}))
    return;

  // Drawing a bitmap onto itself reads the pixels as they were before the draw.
  PX_MemBitmap copy(0, 0, 0);
  src = pxi_SourceApartFrom(dest, src, &copy);
  if (!src)
    return;

  const pxi_SourceClip clip =
    pxi_ClipSource(src->getWidth(), src->getHeight(), cliptosourcerect, srcx, srcy, srcw, srch);

  Placement p = {dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch};
  if (!mirrorNegativeSizes(&p))
    return;

  const double c = std::cos((double)angle), s = std::sin((double)angle);
  const float kx = p.srcw / (float)p.w, ky = p.srch / (float)p.h;
  const double dsdx = kx * c, dtdx = -s * ky, dsdy = kx * s, dtdy = ky * c;

  // Centring: the destination centre maps to the source centre moved by (rotxcent, rotycent).
  if (!toFloat((double)p.srcx -
                 ((((double)p.w * dsdx + (double)p.h * dsdy) - p.srcw) * 0.5 - rotxcent),
               &p.srcx) ||
      !toFloat((double)p.srcy -
                 ((((double)p.h * dtdy + (double)p.w * dtdx) - p.srch) * 0.5 - rotycent),
               &p.srcy))
    return;

  int w;
  const PX_COMBINEFUNC combine = pxi_NoClampCombineForAlpha(alpha, mode, &w);
  if (!combine)
    return;

  int isx0, isy0, idsdx, idtdx, idsdy, idtdy;
  if (!pxi_ToFixed(p.srcx, &isx0) || !pxi_ToFixed(p.srcy, &isy0) || !pxi_ToFixed(dsdx, &idsdx) ||
      !pxi_ToFixed(dtdx, &idtdx) || !pxi_ToFixed(dsdy, &idsdy) || !pxi_ToFixed(dtdy, &idtdy))
    return;

  // Columns and rows left of or above the canvas are skipped in whole 16.16 steps, so that a
  // clipped draw continues exactly as the unclipped one would.
  int64_t sx = isx0, sy = isy0;
  if (p.x < 0)
  {
    sx -= (int64_t)p.x * idsdx;
    sy -= (int64_t)p.x * idtdx;
    p.w += p.x;
    p.x = 0;
  }
  if (p.y < 0)
  {
    sx -= (int64_t)p.y * idsdy;
    sy -= (int64_t)p.y * idtdy;
    p.h += p.y;
    p.y = 0;
  }
  if (sx < INT32_MIN || sx > INT32_MAX || sy < INT32_MIN || sy > INT32_MAX)
    return;
  const int isx = (int)sx, isy = (int)sy;
  if (!clipFarEdges(&p, dest))
    return;

  pxi_Rows srows, drows;
  if (!startRows(dest, src, p, &srows, &drows))
    return;

  const int cols = (int)p.w, rows = (int)p.h;
  if ((mode & PX_FILTER_MASK) == PX_FILTER_BILINEAR)
  {
    pxi_SelectNoClamp(mode, w, [&](auto tag) {
      pxi_ScaledKernels<typename decltype(tag)::type>::deltaBlitBilinear(
        drows.start, srows.start, cols, rows, isx, isy, idsdx, idtdx, idsdy, idtdy, clip.left,
        clip.top, clip.right, clip.bottom, srows.step, drows.step, w);
    });
    return;
  }
  pxi_Template_Blit3::deltaBlit(drows.start, srows.start, cols, rows, isx, isy, idsdx, idtdx, idsdy,
                                idtdy, 0, 0, clip.left, clip.top, clip.right, clip.bottom,
                                srows.step, drows.step, w, mode & PX_FILTER_MASK, combine);
}
