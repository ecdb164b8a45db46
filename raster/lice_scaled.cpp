// LICE_ScaledBlit and LICE_RotatedBlit: clipping and 16.16 set-up in front of the loop templates.
// All set-up arithmetic on destination rectangles runs in 64 bits and every float-to-int or
// double-to-float conversion is range-checked, so extreme arguments draw nothing instead of
// overflowing.
#include "raster/lice_scaled.h"

#include "raster/lice_blit_templates.h"
#include "raster/lice_combine.h"
#include "raster/lice_scaled_kernels.h"
#include "raster/lice_setup.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <initializer_list>

namespace {

bool allFinite(std::initializer_list<float> values)
{
  for (float v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

// v stored as a float; false when it lies outside the float range (or is NaN).
bool toFloat(double v, float* out)
{
  if (!(std::fabs(v) <= (double)FLT_MAX)) return false;
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
bool sameSizeBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                  float srcx, float srcy, float srcw, float srch, float alpha, int mode)
{
  if (!(std::fabs((double)(srcw - (float)dstw)) < 0.001 &&
        std::fabs((double)(srch - (float)dsth)) < 0.001))
    return false;
  if ((mode & LICE_FILTER_MASK) == LICE_FILTER_BILINEAR &&
      !(std::fabs((double)srcx - std::floor((double)srcx + 0.5)) < 0.03 &&
        std::fabs((double)srcy - std::floor((double)srcy + 0.5)) < 0.03))
    return false;
  int ix, iy;
  if (_LICE_ToInt((double)(srcx + 0.5f), &ix) && _LICE_ToInt((double)(srcy + 0.5f), &iy)) {
    LICE_RECT r;
    r.left = ix;
    r.top = iy;
    r.right = _LICE_ClampToInt((int64_t)ix + dstw);
    r.bottom = _LICE_ClampToInt((int64_t)iy + dsth);
    LICE_Blit(dest, src, dstx, dsty, &r, alpha, mode);
  }
  return true;
}

// Drops the destination pixels of one axis whose samples fall left of the source or past its last
// pixel. pos is the 16.16 start, step > 0, n the pixel count, d the destination position.
void clipWalkToSource(int64_t* pos, int64_t step, int64_t* n, int64_t* d, int srcsize)
{
  if (*pos < 0) {
    const int64_t skip = (step - 1 - *pos) / step;
    *n -= skip;
    *d += skip;
    *pos += step * skip;
  }
  if (*n > 0 && (*pos + (*n - 1) * step) / 65536 >= srcsize) {
    // The pixels whose samples lie inside the source, its last column or row included.
    const int64_t room = (int64_t)srcsize * 65536 - 1 - *pos;
    const int64_t count = room < 0 ? 0 : room / step + 1;
    if (count < *n) *n = count;
  }
}

// The exclusive sampling limit of one axis: the source rectangle's far edge rounded up, at most
// the source size; 0 when nothing of the source is inside.
int samplingLimit(float pos, float size, int srcsize)
{
  const double v = (double)((size > 0.0f ? size : 0.0f) + pos) + 0.999999;
  if (!(v >= 1.0)) return 0;
  return v >= (double)srcsize ? srcsize : (int)v;
}

}  // namespace

void LICE_ScaledBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                     float srcx, float srcy, float srcw, float srch, float alpha, int mode)
{
  if (!dest || !src || !dstw || !dsth || !(alpha != 0.0f)) return;
  if (!allFinite({alpha, srcx, srcy, srcw, srch})) return;
  int w;
  if (!_LICE_WeightFromAlpha(alpha, &w)) return;

  if (sameSizeBlit(dest, src, dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, alpha, mode)) return;

  // Mirroring: a negative destination size walks the source backwards.
  int64_t dx0 = dstx, dy0 = dsty, dw = dstw, dh = dsth;
  if (dw < 0) {
    dx0 += dw;
    dw = -dw;
    srcx += srcw;
    srcw = -srcw;
  }
  if (dh < 0) {
    dy0 += dh;
    dh = -dh;
    srcy += srch;
    srch = -srch;
  }
  if (!allFinite({srcx, srcy})) return;

  const double xadv = (double)(srcw / (float)dw);
  const double yadv = (double)(srch / (float)dh);
  // The source rectangle as asked for: clipping below moves the start, never the limits.
  const float rectx = srcx, recty = srcy, rectw = srcw, recth = srch;

  if (dx0 < 0) {
    if (!toFloat((double)srcx - (double)dx0 * xadv, &srcx)) return;
    dw += dx0;
    dx0 = 0;
  }
  if (dy0 < 0) {
    if (!toFloat((double)srcy - (double)dy0 * yadv, &srcy)) return;
    dh += dy0;
    dy0 = 0;
  }
  const int destW = dest->getWidth(), destH = dest->getHeight();
  if (dx0 + dw > destW) dw = destW - dx0;
  if (dy0 + dh > destH) dh = destH - dy0;
  if (dw <= 0 || dh <= 0) return;

  int idx, idy, isx, isy;
  if (!_LICE_ToFixed(xadv, &idx) || !_LICE_ToFixed(yadv, &idy) || !_LICE_ToFixed(srcx, &isx) ||
      !_LICE_ToFixed(srcy, &isy))
    return;

  const int srcW = src->getWidth(), srcH = src->getHeight();
  int64_t sx = isx, sy = isy;
  if (idx > 0) clipWalkToSource(&sx, idx, &dw, &dx0, srcW);
  if (idy > 0) clipWalkToSource(&sy, idy, &dh, &dy0, srcH);
  if (dw <= 0 || dh <= 0) return;

  LICE_pixel* sbits = src->getBits();
  LICE_pixel* dbits = dest->getBits();
  if (!sbits || !dbits) return;
  const _LICE_Rows srows = _LICE_LogicalRows(src, sbits, 0);
  _LICE_Rows drows = _LICE_LogicalRows(dest, dbits, (int)dy0);
  drows.start += dx0 * 4;

  int cr = samplingLimit(rectx, rectw, srcW);
  int cb = samplingLimit(recty, recth, srcH);
  if (cr <= 0 || cb <= 0) return;

  const int cols = (int)dw, rows = (int)dh;
  if ((mode & 0x1FFFF) == 0 && (w == 128 || w == 256)) {
    if (w == 256)
      _LICE_Template_Blit0<_LICE_CombinePixelsClobberFAST>::scaleBlitFAST(
          drows.start, srows.start, cols, rows, (int)sx, (int)sy, idx, idy, cr, cb, srows.step,
          drows.step);
    else
      _LICE_Template_Blit0<_LICE_CombinePixelsHalfMixFAST>::scaleBlitFAST(
          drows.start, srows.start, cols, rows, (int)sx, (int)sy, idx, idy, cr, cb, srows.step,
          drows.step);
    return;
  }
  if (w == 0) return;

  const bool bilinear = (mode & LICE_FILTER_MASK) == LICE_FILTER_BILINEAR;
  if (!bilinear) {
    _LICE_SelectNoClamp(mode, w, [&](auto tag) {
      _LICE_Template_Blit2<typename decltype(tag)::type>::scaleBlit(
          drows.start, srows.start, cols, rows, (int)sx, (int)sy, idx, idy, cr, cb, srows.step,
          drows.step, w, mode & LICE_FILTER_MASK);
    });
    return;
  }
  if (xadv < 1.7 || yadv < 1.7) {
    _LICE_SelectNoClamp(mode, w, [&](auto tag) {
      _LICE_ScaledKernels<typename decltype(tag)::type>::scaleBlitBilinear(
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
  if (ox >= cr || oy >= cb) return;
  const LICE_pixel_chan* sstart = srows.start + (ptrdiff_t)oy * srows.step + (ptrdiff_t)ox * 4;
  const int n = (idx > idy ? idx : idy) <= 0x30000 ? 3 : 5;
  const int* kernel = n == 3 ? s_kernel3 : s_kernel5;
  _LICE_SelectNoClamp(mode, w, [&](auto tag) {
    _LICE_Template_Blit2<typename decltype(tag)::type>::scaleBlitFilterDown(
        drows.start, sstart, cols, rows, (int)(sx - (int64_t)ox * 65536),
        (int)(sy - (int64_t)oy * 65536), idx, idy, cr - ox, cb - oy, srows.step, drows.step, w,
        kernel, -(n / 2), n);
  });
}

void LICE_RotatedBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                      float srcx, float srcy, float srcw, float srch, float angle,
                      bool cliptosourcerect, float alpha, int mode, float rotxcent, float rotycent)
{
  if (!dest || !src || !dstw || !dsth) return;
  if (!allFinite({alpha, srcx, srcy, srcw, srch, angle, rotxcent, rotycent})) return;

  const int srcW = src->getWidth(), srcH = src->getHeight();
  double cl = 0.0, ct = 0.0, cr = srcW, cb = srcH;
  if (cliptosourcerect) {
    if (srcx > 0.0f) cl = srcx;
    if (srcy > 0.0f) ct = srcy;
    if ((double)srcx + srcw < cr) cr = (double)srcx + srcw;
    if ((double)srcy + srch < cb) cb = (double)srcy + srch;
  }

  int64_t dx0 = dstx, dy0 = dsty, dw = dstw, dh = dsth;
  if (dw < 0) {
    dx0 += dw;
    dw = -dw;
    srcx += srcw;
    srcw = -srcw;
  }
  if (dh < 0) {
    dy0 += dh;
    dh = -dh;
    srcy += srch;
    srch = -srch;
  }
  if (!allFinite({srcx, srcy})) return;

  const double c = std::cos((double)angle), s = std::sin((double)angle);
  const float kx = srcw / (float)dw, ky = srch / (float)dh;
  const double dsdx = kx * c, dtdx = -s * ky, dsdy = kx * s, dtdy = ky * c;

  // Centring: the destination centre maps to the source centre moved by (rotxcent, rotycent).
  if (!toFloat((double)srcx - ((((double)dw * dsdx + (double)dh * dsdy) - srcw) * 0.5 - rotxcent),
               &srcx) ||
      !toFloat((double)srcy - ((((double)dh * dtdy + (double)dw * dtdx) - srch) * 0.5 - rotycent),
               &srcy))
    return;

  if (dx0 < 0) {
    if (!toFloat((double)srcx - (double)dx0 * dsdx, &srcx) ||
        !toFloat((double)srcy - (double)dx0 * dtdx, &srcy))
      return;
    dw += dx0;
    dx0 = 0;
  }
  if (dy0 < 0) {
    if (!toFloat((double)srcy - (double)dy0 * dtdy, &srcy) ||
        !toFloat((double)srcx - (double)dy0 * dsdy, &srcx))
      return;
    dh += dy0;
    dy0 = 0;
  }
  const int destW = dest->getWidth(), destH = dest->getHeight();
  if (dx0 + dw > destW) dw = destW - dx0;
  if (dy0 + dh > destH) dh = destH - dy0;
  if (dw <= 0 || dh <= 0) return;

  LICE_pixel* sbits = src->getBits();
  LICE_pixel* dbits = dest->getBits();
  if (!sbits || !dbits) return;
  const _LICE_Rows srows = _LICE_LogicalRows(src, sbits, 0);
  _LICE_Rows drows = _LICE_LogicalRows(dest, dbits, (int)dy0);
  drows.start += dx0 * 4;

  int w;
  if (!_LICE_WeightFromAlpha(alpha, &w) || w == 0) return;
  const LICE_COMBINEFUNC combine = _LICE_NoClampCombineFunc(mode, w);
  if (!combine) return;

  int isx, isy, idsdx, idtdx, idsdy, idtdy;
  if (!_LICE_ToFixed(srcx, &isx) || !_LICE_ToFixed(srcy, &isy) || !_LICE_ToFixed(dsdx, &idsdx) ||
      !_LICE_ToFixed(dtdx, &idtdx) || !_LICE_ToFixed(dsdy, &idsdy) || !_LICE_ToFixed(dtdy, &idtdy))
    return;

  // The clip rectangle truncated to whole pixels; bounds past the bitmap are pulled onto its edges,
  // which samples exactly the same pixels and keeps the conversion in range.
  auto edge = [](double v, int size) { return v <= 0.0 ? 0 : v >= size ? size : (int)v; };
  const int left = edge(cl, srcW), top = edge(ct, srcH), right = edge(cr, srcW),
            bottom = edge(cb, srcH);
  if ((mode & LICE_FILTER_MASK) == LICE_FILTER_BILINEAR) {
    _LICE_SelectNoClamp(mode, w, [&](auto tag) {
      _LICE_ScaledKernels<typename decltype(tag)::type>::deltaBlitBilinear(
          drows.start, srows.start, (int)dw, (int)dh, isx, isy, idsdx, idtdx, idsdy, idtdy, left,
          top, right, bottom, srows.step, drows.step, w);
    });
    return;
  }
  _LICE_Template_Blit3::deltaBlit(drows.start, srows.start, (int)dw, (int)dh, isx, isy, idsdx,
                                  idtdx, idsdy, idtdy, 0, 0, left, top, right, bottom, srows.step,
                                  drows.step, w, mode & LICE_FILTER_MASK, combine);
}
