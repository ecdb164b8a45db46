// Set-up helpers shared by the line, polygon, circle and curve code: saturating float-to-int
// conversions, the shapes' integer weight, the segment interpolators, the run finder of the filled
// shapes' masks, and the 64-bit entry points that one shape file offers another.
//
// Shapes take float and int positions straight from callers. Every conversion here saturates
// (NaN gives 0) so that no conversion is undefined, and end-point arithmetic runs in 64 bits; the
// public functions refuse non-finite input before they get here.
#pragma once

#include "raster/px.h"

#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The end of the run of cells equal to row[from] in row[from .. n): the first later index that
// holds another value, or n. Filled shapes mark a mask first and combine it run by run; the
// interiors are long runs, compared here four cells at a time.
static inline int64_t pxi_RunEnd(const PX_pixel* row, int64_t from, int64_t n)
{
  const PX_pixel v = row[from];
  int64_t e = from + 1;
#if defined(__SSE2__)
  const __m128i vv = _mm_set1_epi32((int)v);
  for (; e + 4 <= n; e += 4)
  {
    const int same =
      _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_loadu_si128((const __m128i*)(row + e)), vv));
    if (same != 0xFFFF)
      return e + (__builtin_ctz((unsigned)~same & 0xFFFFu) >> 2);
  }
#endif
  while (e < n && row[e] == v)
    ++e;
  return e;
}

// (int)v truncated toward zero, saturated to the int range; NaN gives 0.
static inline int pxi_SatInt(double v)
{
  if (v >= 2147483647.0)
    return INT32_MAX;
  if (v <= -2147483648.0)
    return INT32_MIN;
  return v == v ? (int)v : 0;
}

// (int64_t)v truncated toward zero, saturated to +-2^62; NaN gives 0.
static inline int64_t pxi_SatInt64(double v)
{
  const double lim = 4611686018427387904.0;
  if (v >= lim)
    return (int64_t)lim;
  if (v <= -lim)
    return -(int64_t)lim;
  return v == v ? (int64_t)v : 0;
}

static inline int pxi_ClampInt64(int64_t v)
{
  return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : (int)v;
}

// Largest weight a shape hands to a combiner (alpha 128).
constexpr int PX_SHAPE_MAX_WEIGHT = 32768;

// The shapes' weight: (int)(alpha * 256), the product in single precision, truncated toward zero,
// saturated to +-PX_SHAPE_MAX_WEIGHT; NaN gives 0 (draws nothing). Alphas in 0..1 are unaffected.
static inline int pxi_ShapeWeight(float alpha)
{
  const float p = alpha * 256.0f;
  if (!(p == p))
    return 0;
  if (p >= (float)PX_SHAPE_MAX_WEIGHT)
    return PX_SHAPE_MAX_WEIGHT;
  if (p <= -(float)PX_SHAPE_MAX_WEIGHT)
    return -PX_SHAPE_MAX_WEIGHT;
  return (int)p;
}

static inline bool pxi_Finite(float v) { return std::isfinite(v); }

template <class... T>
static inline bool pxi_AllFinite(T... v)
{
  return (pxi_Finite((float)v) && ...);
}

// ---------------------------------------------------------------------------------------------
// Segment interpolation on whole pixels.

// x of the segment (x1, y1)-(x2, y2) at row y: the upper end's x above the segment, the lower end's
// below it; in between the row offset times the slope (single precision), truncated toward zero.
static inline int64_t pxi_FindXOnSegment(int64_t x1, int64_t y1, int64_t x2, int64_t y2, int64_t y)
{
  if (y1 > y2)
  {
    int64_t t = x1;
    x1 = x2, x2 = t;
    t = y1;
    y1 = y2, y2 = t;
  }
  if (y <= y1)
    return x1;
  if (y < y2)
    return x1 + pxi_SatInt64((double)((float)(y - y1) * ((float)(x2 - x1) / (float)(y2 - y1))));
  return x2;
}

// The same with the axes exchanged: y of the segment at column x.
static inline int64_t pxi_FindYOnSegment(int64_t x1, int64_t y1, int64_t x2, int64_t y2, int64_t x)
{
  return pxi_FindXOnSegment(y1, x1, y2, x2, x);
}

// ---------------------------------------------------------------------------------------------
// Entry points shared between the shape files.

// Integer clipping against [0, w) x [0, h) in 64 bits (px_line_clip.cpp); the points are moved in
// place, on reject as well.
bool pxi_ClipLine(int64_t* x1, int64_t* y1, int64_t* x2, int64_t* y2, int64_t w, int64_t h);
// Float clipping against [0, w - 1) x [0, h - 1); false for non-finite input.
bool pxi_ClipFLine(float* x1, float* y1, float* x2, float* y2, int w, int h);

// PX_Line on 64-bit end points (logical rows).
void pxi_Line(PX_IBitmap* dest, int64_t x1, int64_t y1, int64_t x2, int64_t y2, PX_pixel color,
              float alpha, int mode, bool aa);

// A polygon vertex (logical coordinates until the fill mirrors it).
struct pxi_PolyPoint
{
  int64_t x, y;
};
// PX_FillConvexPolygon on n records (n >= 3) in logical rows; reorders pts.
void pxi_FillConvexPolygon(PX_IBitmap* dest, pxi_PolyPoint* pts, int n, PX_pixel color, float alpha,
                           int mode);

// The circle drawers through a clip rectangle {left, top, right, bottom} in storage rows
// (px_circle.cpp); ia is the weight, needsclip false only when every point lies inside the clip.
void pxi_DrawCircleClipped(PX_IBitmap* dest, float cx, float cy, float r, PX_pixel color, int ia,
                           bool aa, bool fill, int mode, const int* clip, bool needsclip);
