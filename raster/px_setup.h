// Set-up helpers shared by the blit, fill and scaling code: turning float alphas and positions into
// integer weights and 16.16 fixed point without undefined conversions, and addressing logical rows
// of possibly flipped bitmaps with pointer-sized arithmetic.
//
// Every conversion here refuses values that would not fit (and NaN or infinity) instead of letting
// a float-to-int conversion overflow; the callers then draw nothing.
#pragma once

#include "raster/px.h"

#include <cstdint>

// Largest weight magnitude the combiners accept (alpha 65536). Every combiner formula stays inside
// 64-bit intermediates for channels within +-32768 and weights up to this.
constexpr int PX_MAX_WEIGHT = 1 << 24;
// Largest channel magnitude a combiner may be given (the integer part of a 16.16 int).
constexpr int PX_MAX_CHANNEL = 32768;

// w = (int)(alpha * 256), truncated toward zero. False for NaN, infinity or |w| > PX_MAX_WEIGHT.
// The product is exact in double and float alike (a power of two), so both spellings agree.
static inline bool pxi_WeightFromAlpha(double alpha, int* w)
{
  const double p = alpha * 256.0;
  if (!(p > -(double)PX_MAX_WEIGHT - 1.0 && p < (double)PX_MAX_WEIGHT + 1.0))
    return false;
  *w = (int)p;
  return true;
}

// (int)v truncated toward zero, false when v is NaN or outside the int range.
static inline bool pxi_ToInt(double v, int* out)
{
  if (!(v > -2147483649.0 && v < 2147483648.0))
    return false;
  *out = (int)v;
  return true;
}

// 16.16 fixed point: (int)(v * 65536.0), truncated toward zero; false when it would not fit.
static inline bool pxi_ToFixed(double v, int* out) { return pxi_ToInt(v * 65536.0, out); }

// (int)v truncated toward zero, saturating at the int range; 0 for NaN. For deltas and factors
// where an out-of-range value means "as far as it goes".
static inline int pxi_SaturateToInt(double v)
{
  if (!(v == v))
    return 0;
  return v <= -2147483648.0 ? INT32_MIN : v >= 2147483647.0 ? INT32_MAX : (int)v;
}

// Clamps a 64-bit value into the int range.
static inline int pxi_ClampToInt(int64_t v)
{
  return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : (int)v;
}

// Clips a w x h rectangle at (x, y) to a destination of bw x bh. Columns or rows cut off at the
// left or top are first offered to skip(n, horizontal), which may refuse them (false: nothing is
// drawn). True when something is left to draw.
template <class SKIP>
static inline bool pxi_ClipRectToDest(int64_t& x, int64_t& y, int64_t& w, int64_t& h, int64_t bw,
                                      int64_t bh, SKIP&& skip)
{
  if (x < 0)
  {
    if (!skip(-x, true))
      return false;
    w += x;
    x = 0;
  }
  if (y < 0)
  {
    if (!skip(-y, false))
      return false;
    h += y;
    y = 0;
  }
  if (w > bw - x)
    w = bw - x;
  if (h > bh - y)
    h = bh - y;
  return w > 0 && h > 0;
}

// Clips the source columns [left, right) and rows [top, bottom), to be drawn with their corner at
// (dx, dy), against a destination of dw x dh: a negative position moves the source's start on, the
// far edges stop at the destination's. In 64 bits: no sum of caller coordinates can overflow. The
// result may be empty (right <= left or bottom <= top).
static inline void pxi_ClipToDest(int64_t& left, int64_t& top, int64_t& right, int64_t& bottom,
                                  int64_t& dx, int64_t& dy, int64_t dw, int64_t dh)
{
  int64_t w = right - left, h = bottom - top;
  pxi_ClipRectToDest(dx, dy, w, h, dw, dh, [&](int64_t n, bool horizontal) {
    (horizontal ? left : top) += n;
    return true;
  });
  right = left + w;
  bottom = top + h;
}

// The source pixels a warped or rotated walk may sample: columns [left, right) and rows
// [top, bottom) of an sw x sh source, with clip cut to the rectangle at (x, y) of size w x h (its
// far edges summed in single precision). Bounds are truncated to whole pixels and pulled onto the
// source's edges, which samples the same pixels and keeps the conversion in range.
struct pxi_SourceClip
{
  int left, top, right, bottom;
};

static inline pxi_SourceClip pxi_ClipSource(int sw, int sh, bool clip, float x, float y, float w,
                                            float h)
{
  double l = 0.0, t = 0.0, r = sw, b = sh;
  if (clip)
  {
    if (x > 0.0f)
      l = x;
    if (y > 0.0f)
      t = y;
    if ((double)(x + w) < r)
      r = x + w;
    if ((double)(y + h) < b)
      b = y + h;
  }
  const auto bound = [](double d, int limit) {
    return !(d > 0.0) ? 0 : d >= limit ? limit : (int)d;
  };
  return {bound(l, sw), bound(t, sh), bound(r, sw), bound(b, sh)};
}

// How every kind of bitmap begins resize(w, h): negative sizes count as 0; Keep when the bitmap
// has that size already (nothing to do), Empty when a side exceeds PX_MAX_BITMAP_DIM (the bitmap
// drops its pixels), else Apply.
enum class pxi_ResizeStep
{
  Keep,
  Empty,
  Apply
};

static inline pxi_ResizeStep pxi_BeginResize(int* w, int* h, int curw, int curh)
{
  if (*w < 0)
    *w = 0;
  if (*h < 0)
    *h = 0;
  if (*w == curw && *h == curh)
    return pxi_ResizeStep::Keep;
  if (*w > PX_MAX_BITMAP_DIM || *h > PX_MAX_BITMAP_DIM)
    return pxi_ResizeStep::Empty;
  return pxi_ResizeStep::Apply;
}

// A logical row of a bitmap: the first byte of row y and the signed byte step to row y + 1.
struct pxi_Rows
{
  PX_pixel_chan* start;
  ptrdiff_t step;
};

// Addresses logical row y (storage row height - 1 - y when flipped); bits is bm->getBits().
static inline pxi_Rows pxi_LogicalRows(PX_IBitmap* bm, PX_pixel* bits, int y)
{
  const ptrdiff_t span = (ptrdiff_t)bm->getRowSpan() * 4;
  pxi_Rows r;
  if (bm->isFlipped())
  {
    r.start = (PX_pixel_chan*)bits + (ptrdiff_t)(bm->getHeight() - 1 - y) * span;
    r.step = -span;
  }
  else
  {
    r.start = (PX_pixel_chan*)bits + (ptrdiff_t)y * span;
    r.step = span;
  }
  return r;
}

// The byte range [lo, hi) that rows rows of cols pixels starting at start with step cover.
static inline void pxi_RowsExtent(const PX_pixel_chan* start, ptrdiff_t step, int cols, int rows,
                                  uintptr_t* lo, uintptr_t* hi)
{
  const uintptr_t a = (uintptr_t)start;
  const uintptr_t b = (uintptr_t)start + (uintptr_t)((rows - 1) * step);
  *lo = a < b ? a : b;
  *hi = (a < b ? b : a) + (uintptr_t)cols * 4;
}

// True when two row sets share any byte (a conservative test for same-storage overlap).
static inline bool pxi_RowsOverlap(const PX_pixel_chan* a, ptrdiff_t astep, const PX_pixel_chan* b,
                                   ptrdiff_t bstep, int cols, int rows)
{
  uintptr_t alo, ahi, blo, bhi;
  pxi_RowsExtent(a, astep, cols, rows, &alo, &ahi);
  pxi_RowsExtent(b, bstep, cols, rows, &blo, &bhi);
  return alo < bhi && blo < ahi;
}

// The bitmap a warping or scaling walk reads: src itself, or *copy holding src's pixels when src
// shares storage with dest (so every pixel is read as it was before the draw); null when the copy
// could not be made.
PX_IBitmap* pxi_SourceApartFrom(PX_IBitmap* dest, PX_IBitmap* src, PX_MemBitmap* copy);

// A rectangle clipped to a bitmap: its first pixel in storage order (the top storage row of the
// rectangle, whether flipped or not), the row span in pixels and its size.
struct pxi_ClippedRect
{
  PX_pixel* first;
  ptrdiff_t span;
  int w, h;
};

// Clips the logical rectangle (x, y, w, h) to bm in 64 bits; false when nothing is left, the
// bitmap has no pixels or its row span is not positive.
static inline bool pxi_ClipRect(PX_IBitmap* bm, int x, int y, int w, int h, pxi_ClippedRect* out)
{
  int64_t X = x, Y = y, W = w, H = h;
  if (X < 0)
  {
    W += X;
    X = 0;
  }
  if (Y < 0)
  {
    H += Y;
    Y = 0;
  }
  const int64_t bw = bm->getWidth(), bh = bm->getHeight();
  if (X + W > bw)
    W = bw - X;
  if (Y + H > bh)
    H = bh - Y;
  PX_pixel* bits = bm->getBits();
  const int span = bm->getRowSpan();
  if (!bits || W < 1 || H < 1 || span <= 0)
    return false;
  const int64_t row = bm->isFlipped() ? bh - Y - H : Y;
  out->first = bits + (ptrdiff_t)row * span + X;
  out->span = span;
  out->w = (int)W;
  out->h = (int)H;
  return true;
}

// The whole bitmap as a rectangle, for the operations that cover every pixel.
static inline bool pxi_WholeBitmap(PX_IBitmap* bm, pxi_ClippedRect* out)
{
  if (!bm)
    return false;
  PX_pixel* bits = bm->getBits();
  const int w = bm->getWidth(), h = bm->getHeight(), span = bm->getRowSpan();
  if (!bits || w <= 0 || h <= 0 || span <= 0)
    return false;
  out->first = bits;
  out->span = span;
  out->w = w;
  out->h = h;
  return true;
}

// Calls f(pixel pointer) for every pixel of r, in storage order.
template <class F>
static inline void pxi_ForEachPixel(const pxi_ClippedRect& r, F&& f)
{
  for (int y = 0; y < r.h; ++y)
  {
    PX_pixel* p = r.first + (ptrdiff_t)y * r.span;
    for (int x = 0; x < r.w; ++x)
      f(p + x);
  }
}
