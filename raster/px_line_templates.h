// The per-pixel loops of the line code, templates over a combiner of px_combine.h (the line
// functions choose it once per call with the shape selectors there).
//
// The loops trust their pointers: the caller has clipped the end points, so every pixel a loop
// touches (anti-aliased pairs included) lies between them. Steps are in pixels: +-1 along a row,
// +-span across rows.
#pragma once

#include "raster/px.h"
#include "raster/px_combine.h"

#include <cstddef>

// Weights of an anti-aliased pair from a 16.16 error term: the pixel on the line gets 255 - e, its
// neighbour e (e = err / 256). At full weight the pair sums to 255; otherwise both are scaled by
// alpha / 256.
static inline void GetAAPxWeightFAST(int err, int* w1, int* w2)
{
  const int e = err >> 8;
  *w1 = 255 - e;
  *w2 = e;
}

static inline void GetAAPxWeight(int err, int alpha, int* w1, int* w2)
{
  const int e = err >> 8;
  *w1 = alpha * (255 - e) / 256;
  *w2 = alpha * e / 256;
}

template <bool FULL>
static inline void pxi_AAWeights(int err, int alpha, int* w1, int* w2)
{
  if (FULL)
    GetAAPxWeightFAST(err, w1, w2);
  else
    GetAAPxWeight(err, alpha, w1, w2);
}

// Colour channels split once per line.
struct pxi_LineColor
{
  int r, g, b, a;
  explicit pxi_LineColor(PX_pixel c)
    : r(PX_GETR(c))
    , g(PX_GETG(c))
    , b(PX_GETB(c))
    , a(PX_GETA(c))
  {}
};

template <class COMBFUNC>
class pxi_LineClassSimple
{
public:
  static inline void put(PX_pixel* p, const pxi_LineColor& c, int w)
  {
    COMBFUNC::doPix((PX_pixel_chan*)p, c.r, c.g, c.b, c.a, w);
  }

  // n + 1 pixels along the diagonal.
  static void PX_DiagLine(PX_pixel* px, ptrdiff_t n, ptrdiff_t xstep, ptrdiff_t ystep,
                          PX_pixel color, int alpha)
  {
    const pxi_LineColor c(color);
    const ptrdiff_t step = xstep + ystep;
    for (ptrdiff_t i = 0; i <= n; ++i, px += step)
      put(px, c, alpha);
  }

  // Three quarters on the diagonal pixels, a quarter on both pixels that cut each corner.
  static void PX_DiagLineAA(PX_pixel* px, ptrdiff_t n, ptrdiff_t xstep, ptrdiff_t ystep,
                            PX_pixel color, int alpha)
  {
    const pxi_LineColor c(color);
    const int a3 = alpha * 3 / 4, a1 = alpha / 4;
    const ptrdiff_t step = xstep + ystep;
    for (ptrdiff_t i = 0; i < n; ++i, px += step)
    {
      put(px, c, a3);
      put(px + xstep, c, a1);
      put(px + ystep, c, a1);
    }
    put(px, c, a3);
  }

  // n pixels, stepping by step (1 for a row, span for a column).
  static void PX_Run(PX_pixel* px, ptrdiff_t n, ptrdiff_t step, PX_pixel color, int alpha)
  {
    const pxi_LineColor c(color);
    for (ptrdiff_t i = 0; i < n; ++i, px += step)
      put(px, c, alpha);
  }
  static void PX_VertLine(PX_pixel* px, ptrdiff_t span, ptrdiff_t n, PX_pixel color, int alpha)
  {
    PX_Run(px, n, span, color, alpha);
  }
  static void PX_HorizLine(PX_pixel* px, ptrdiff_t n, PX_pixel color, int alpha)
  {
    PX_Run(px, n, 1, color, alpha);
  }

  // Whole-pixel combiners: value is the colour as the combiner wants it (pre-scaled).
  static void PX_VertLineFAST(PX_pixel* px, ptrdiff_t span, ptrdiff_t n, PX_pixel value)
  {
    for (ptrdiff_t i = 0; i < n; ++i, px += span)
      COMBFUNC::doPixFAST(px, value);
  }
  static void PX_HorizLineFAST(PX_pixel* px, ptrdiff_t n, PX_pixel value)
  {
    for (ptrdiff_t i = 0; i < n; ++i)
      COMBFUNC::doPixFAST(px + i, value);
  }
};

template <class COMBFUNC>
class pxi_LineClass
{
  typedef pxi_LineClassSimple<COMBFUNC> S;

public:
  // A general line of n major steps (n >= 2) walked from both ends toward the middle; px2 is the
  // far end and moves by the negated steps. derr is the minor/major slope in 16.16.
  static void PX_LineImpl(PX_pixel* px, PX_pixel* px2, int derr, ptrdiff_t majorstep, int n,
                          ptrdiff_t minorstep, PX_pixel color, int alpha, bool aa)
  {
    if (!aa)
      plain(px, px2, derr, majorstep, n, minorstep, color, alpha);
    else if (alpha == 256)
      antialiased<true>(px, px2, derr, majorstep, n, minorstep, color, alpha);
    else
      antialiased<false>(px, px2, derr, majorstep, n, minorstep, color, alpha);
  }

  // n + 1 anti-aliased pairs (px, px + minorstep) from a start error err (0..65535).
  static void PX_FLineImpl(PX_pixel* px, int n, int err, int derr, ptrdiff_t majorstep,
                           ptrdiff_t minorstep, PX_pixel color, int alpha)
  {
    if (alpha == 256)
      floatWalk<true>(px, n, err, derr, majorstep, minorstep, color, alpha);
    else
      floatWalk<false>(px, n, err, derr, majorstep, minorstep, color, alpha);
  }

  // Horizontal or vertical dashes from (x1, y1) to the excluded end (x2, y2), storage rows; the
  // caller ordered the ends and checked pxon >= 1, pxon + pxoff >= 1.
  static void DashedLine(PX_pixel* bits, ptrdiff_t span, int x1, int y1, int x2, int y2, int pxon,
                         int pxoff, PX_pixel color, int alpha)
  {
    ptrdiff_t step;
    int64_t s, e;
    if (x1 == x2)
      step = span, s = y1, e = y2;
    else if (y1 == y2)
      step = 1, s = x1, e = x2;
    else
      return;
    PX_pixel* px = bits + (ptrdiff_t)y1 * span + x1;
    const int64_t period = (int64_t)pxon + pxoff;
    int64_t pos = s;
    for (; pos < e - pxon; pos += period)
      S::PX_Run(px + (ptrdiff_t)(pos - s) * step, pxon, step, color, alpha);
    const int64_t last = e - pos < pxon ? e - pos : pxon;
    if (last >= 1)
      S::PX_Run(px + (ptrdiff_t)(pos - s) * step, (ptrdiff_t)last, step, color, alpha);
  }

private:
  // One step of the walk from both ends toward the middle: the minor step once err passes LIMIT,
  // then the major step (px forward, px2 backward).
  template <int LIMIT>
  static inline __attribute__((always_inline)) void
  stepBoth(PX_pixel*& px, PX_pixel*& px2, int& err, int derr, ptrdiff_t majorstep,
           ptrdiff_t minorstep)
  {
    err += derr;
    if (err > LIMIT)
    {
      px += minorstep;
      px2 -= minorstep;
      err -= 65536;
    }
    px += majorstep;
    px2 -= majorstep;
  }

  static void plain(PX_pixel* px, PX_pixel* px2, int derr, ptrdiff_t majorstep, int n,
                    ptrdiff_t minorstep, PX_pixel color, int alpha)
  {
    const pxi_LineColor c(color);
    const int half = (n + 1) / 2;
    int err = 0;
    for (int i = 0; i < half; ++i)
    {
      S::put(px, c, alpha);
      S::put(px2, c, alpha);
      stepBoth<0x7FFF>(px, px2, err, derr, majorstep, minorstep);
    }
    if (!(n & 1))
      S::put(px, c, alpha);
  }

  template <bool FULL>
  static void antialiased(PX_pixel* px, PX_pixel* px2, int derr, ptrdiff_t majorstep, int n,
                          ptrdiff_t minorstep, PX_pixel color, int alpha)
  {
    const pxi_LineColor c(color);
    const int half = (n + 1) / 2;
    S::put(px, c, alpha);
    S::put(px2, c, alpha);
    px += majorstep;
    px2 -= majorstep;
    int err = derr, w1, w2;
    for (int i = 1; i < half; ++i)
    {
      pxi_AAWeights<FULL>(err, alpha, &w1, &w2);
      S::put(px, c, w1);
      S::put(px + minorstep, c, w2);
      S::put(px2, c, w1);
      S::put(px2 - minorstep, c, w2);
      stepBoth<0xFFFF>(px, px2, err, derr, majorstep, minorstep);
    }
    if (!(n & 1))
    {
      pxi_AAWeights<FULL>(err, alpha, &w1, &w2);
      S::put(px, c, w1);
      S::put(px + minorstep, c, w2);
    }
  }

  template <bool FULL>
  static void floatWalk(PX_pixel* px, int n, int err, int derr, ptrdiff_t majorstep,
                        ptrdiff_t minorstep, PX_pixel color, int alpha)
  {
    const pxi_LineColor c(color);
    int w1, w2;
    for (int i = 0; i <= n; ++i)
    {
      pxi_AAWeights<FULL>(err, alpha, &w1, &w2);
      S::put(px, c, w1);
      S::put(px + minorstep, c, w2);
      err += derr;
      if (err > 0xFFFF)
      {
        px += minorstep;
        err -= 65536;
      }
      px += majorstep;
    }
  }
};
