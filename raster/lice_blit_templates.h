// The generic pixel loops of the raster library, each a template over a combiner of
// lice_combine.h. They trust the pointers, sizes and source bounds their caller computed (the
// callers clip against the destination), test only the source bounds handed to them, and hold no
// mode test in any inner loop.
//
// Row pointers point at the first pixel of the first row to process; spans are signed so that a
// flipped bitmap is walked by starting at its last storage row with a negative span. Spans are in
// bytes unless a signature says pixels. Source positions and steps are 16.16 ints; the running
// positions are carried in 64 bits, so no walk can overflow however far it goes.
#pragma once

#include "raster/lice.h"
#include "raster/lice_combine.h"
#include "raster/lice_setup.h"

#include <cstddef>
#include <cstdint>

// Integer part of a 16.16 position, truncated toward zero (positions in (-1, 0) give pixel 0).
static inline int64_t _LICE_FixedInt(int64_t v) { return v / 65536; }

// Bilinear filter of four pixels: p and p + 4 on one row, pnext and pnext + 4 below; fractions in
// 0..65535.
static inline void __LICE_BilinearFilterI(int* r, int* g, int* b, int* a, const LICE_pixel_chan* p,
                                          const LICE_pixel_chan* pnext, unsigned int xfrac,
                                          unsigned int yfrac)
{
  const unsigned int f4 = (xfrac * yfrac) >> 16;
  const unsigned int wtl = 65536 - xfrac - yfrac + f4, wtr = xfrac - f4, wbl = yfrac - f4, wbr = f4;
#define LICE__BF(c) \
  (int)((p[c] * wtl + p[4 + c] * wtr + pnext[c] * wbl + pnext[4 + c] * wbr) / 65536)
  *r = LICE__BF(LICE_PIXEL_R);
  *g = LICE__BF(LICE_PIXEL_G);
  *b = LICE__BF(LICE_PIXEL_B);
  *a = LICE__BF(LICE_PIXEL_A);
#undef LICE__BF
}

// Linear filter between p and pnext, frac in 0..65535.
static inline void __LICE_LinearFilterI(int* r, int* g, int* b, int* a, const LICE_pixel_chan* p,
                                        const LICE_pixel_chan* pnext, unsigned int frac)
{
  const unsigned int f = 65536 - frac;
#define LICE__LF(c) (int)((pnext[c] * frac + p[c] * f) / 65536)
  *r = LICE__LF(LICE_PIXEL_R);
  *g = LICE__LF(LICE_PIXEL_G);
  *b = LICE__LF(LICE_PIXEL_B);
  *a = LICE__LF(LICE_PIXEL_A);
#undef LICE__LF
}

// ---------------------------------------------------------------------------------------------
// Whole-pixel loops (FAST combiners, no weight).

template <class COMBFUNC>
class _LICE_Template_Blit0 {
public:
  // h rows of w pixels; span in pixels.
  static void solidBlitFAST(LICE_pixel* dest, int w, int h, LICE_pixel color, ptrdiff_t span)
  {
    for (int y = 0; y < h; ++y) {
      LICE_pixel* p = dest + (ptrdiff_t)y * span;
      for (int x = 0; x < w; ++x) COMBFUNC::doPixFAST(p + x, color);
    }
  }

  // Nearest-pixel scaling; source columns outside 0..clipright-1 and rows outside
  // 0..clipbottom-1 are skipped.
  static void scaleBlitFAST(LICE_pixel_chan* dest, const LICE_pixel_chan* src, int w, int h,
                            int icurx, int icury, int idx, int idy, int clipright, int clipbottom,
                            ptrdiff_t src_span, ptrdiff_t dest_span)
  {
    int64_t cury = icury;
    for (int row = 0; row < h; ++row, cury += idy) {
      const int64_t y = _LICE_FixedInt(cury);
      if (y < 0 || y >= clipbottom) continue;
      LICE_pixel* pout = (LICE_pixel*)(dest + (ptrdiff_t)row * dest_span);
      const LICE_pixel* inrow = (const LICE_pixel*)(src + (ptrdiff_t)y * src_span);
      int64_t curx = icurx;
      for (int n = 0; n < w; ++n, curx += idx) {
        const int64_t x = _LICE_FixedInt(curx);
        if (x >= 0 && x < clipright) COMBFUNC::doPixFAST(pout + n, inrow[x]);
      }
    }
  }
};

// ---------------------------------------------------------------------------------------------
// Solid and gradient fills.

template <class COMBFUNC>
class _LICE_Template_Blit1 {
public:
  // h rows of w pixels; the single alpha serves as source alpha and as weight. span in bytes.
  static void solidBlit(LICE_pixel_chan* dest, int w, int h, int ir, int ig, int ib, int ia,
                        ptrdiff_t span)
  {
    for (int y = 0; y < h; ++y) {
      LICE_pixel_chan* p = dest + (ptrdiff_t)y * span;
      for (int x = 0; x < w; ++x, p += 4) COMBFUNC::doPix(p, ir, ig, ib, ia, ia);
    }
  }

  // 16.16 colour values growing by d?dx per pixel and d?dy per row; each pixel gets value / 65536
  // (truncated), alpha also as the weight. The caller makes sure every value the rectangle
  // reaches fits an int.
  static void gradBlit(LICE_pixel_chan* dest, int w, int h, int ir, int ig, int ib, int ia,
                       int drdx, int dgdx, int dbdx, int dadx, int drdy, int dgdy, int dbdy,
                       int dady, ptrdiff_t span)
  {
    int64_t rr = ir, rg = ig, rb = ib, ra = ia;
    for (int y = 0; y < h; ++y, rr += drdy, rg += dgdy, rb += dbdy, ra += dady) {
      LICE_pixel_chan* p = dest + (ptrdiff_t)y * span;
      int64_t r = rr, g = rg, b = rb, a = ra;
      for (int x = 0; x < w; ++x, p += 4, r += drdx, g += dgdx, b += dbdx, a += dadx) {
        const int aa = (int)(a / 65536);
        COMBFUNC::doPix(p, (int)(r / 65536), (int)(g / 65536), (int)(b / 65536), aa, aa);
      }
    }
  }
};

// ---------------------------------------------------------------------------------------------
// 1:1, scaled and filtered-down blits.

template <class COMBFUNC>
class _LICE_Template_Blit2 {
public:
  static void blit(LICE_pixel_chan* dest, const LICE_pixel_chan* src, int w, int h,
                   ptrdiff_t src_span, ptrdiff_t dest_span, int weight)
  {
    for (int y = 0; y < h; ++y) {
      LICE_pixel_chan* pout = dest + (ptrdiff_t)y * dest_span;
      const LICE_pixel_chan* pin = src + (ptrdiff_t)y * src_span;
      for (int x = 0; x < w; ++x, pout += 4, pin += 4)
        COMBFUNC::doPix(pout, pin[LICE_PIXEL_R], pin[LICE_PIXEL_G], pin[LICE_PIXEL_B],
                        pin[LICE_PIXEL_A], weight);
    }
  }

  // Nearest (filtermode != LICE_FILTER_BILINEAR) or bilinear scaling. The bilinear walk reads the
  // right and lower neighbours only inside 0..clipright-1 x 0..clipbottom-1.
  static void scaleBlit(LICE_pixel_chan* dest, const LICE_pixel_chan* src, int w, int h, int icurx,
                        int icury, int idx, int idy, int clipright, int clipbottom,
                        ptrdiff_t src_span, ptrdiff_t dest_span, int weight, int filtermode)
  {
    int64_t cury = icury;
    if (filtermode == LICE_FILTER_BILINEAR) {
      for (int row = 0; row < h; ++row, cury += idy) {
        const int64_t y = _LICE_FixedInt(cury);
        if (y < 0 || y >= clipbottom) continue;
        LICE_pixel_chan* pout = dest + (ptrdiff_t)row * dest_span;
        const LICE_pixel_chan* inrow = src + (ptrdiff_t)y * src_span;
        const unsigned int yfrac = (unsigned int)(cury & 0xFFFF);
        int64_t curx = icurx;
        int r, g, b, a;
        if (y < clipbottom - 1) {
          for (int n = 0; n < w; ++n, pout += 4, curx += idx) {
            const int64_t x = _LICE_FixedInt(curx);
            if (x >= 0 && x < clipright - 1) {
              const LICE_pixel_chan* p = inrow + x * 4;
              __LICE_BilinearFilterI(&r, &g, &b, &a, p, p + src_span, (unsigned int)(curx & 0xFFFF),
                                     yfrac);
            } else if (x >= 0 && x == clipright - 1) {
              const LICE_pixel_chan* p = inrow + x * 4;
              __LICE_LinearFilterI(&r, &g, &b, &a, p, p + src_span, yfrac);
            } else {
              continue;
            }
            COMBFUNC::doPix(pout, r, g, b, a, weight);
          }
        } else {
          for (int n = 0; n < w; ++n, pout += 4, curx += idx) {
            const int64_t x = _LICE_FixedInt(curx);
            if (x >= 0 && x < clipright - 1) {
              const LICE_pixel_chan* p = inrow + x * 4;
              __LICE_LinearFilterI(&r, &g, &b, &a, p, p + 4, (unsigned int)(curx & 0xFFFF));
            } else if (x >= 0 && x == clipright - 1) {
              const LICE_pixel_chan* p = inrow + x * 4;
              r = p[LICE_PIXEL_R], g = p[LICE_PIXEL_G], b = p[LICE_PIXEL_B], a = p[LICE_PIXEL_A];
            } else {
              continue;
            }
            COMBFUNC::doPix(pout, r, g, b, a, weight);
          }
        }
      }
      return;
    }
    for (int row = 0; row < h; ++row, cury += idy) {
      const int64_t y = _LICE_FixedInt(cury);
      if (y < 0 || y >= clipbottom) continue;
      LICE_pixel_chan* pout = dest + (ptrdiff_t)row * dest_span;
      const LICE_pixel_chan* inrow = src + (ptrdiff_t)y * src_span;
      int64_t curx = icurx;
      for (int n = 0; n < w; ++n, pout += 4, curx += idx) {
        const int64_t x = _LICE_FixedInt(curx);
        if (x < 0 || x >= clipright) continue;
        const LICE_pixel_chan* p = inrow + x * 4;
        COMBFUNC::doPix(pout, p[LICE_PIXEL_R], p[LICE_PIXEL_G], p[LICE_PIXEL_B], p[LICE_PIXEL_A],
                        weight);
      }
    }
  }

  // Weighted-window reduction: filter is filter_size x filter_size weights, row-major (65536 =
  // full); the window of each sample starts filter_offs pixels up and left of it. Only source
  // pixels inside 0..clipright-1 x 0..clipbottom-1 count; a window wholly outside leaves the pixel.
  static void scaleBlitFilterDown(LICE_pixel_chan* dest, const LICE_pixel_chan* src, int w, int h,
                                  int icurx, int icury, int idx, int idy, int clipright,
                                  int clipbottom, ptrdiff_t src_span, ptrdiff_t dest_span,
                                  int weight, const int* filter, int filter_offs, int filter_size)
  {
    int64_t cury = icury;
    for (int row = 0; row < h; ++row, cury += idy) {
      const int64_t y = _LICE_FixedInt(cury);
      if (y < 0 || y >= clipbottom) continue;
      LICE_pixel_chan* pout = dest + (ptrdiff_t)row * dest_span;
      int64_t curx = icurx;
      for (int n = 0; n < w; ++n, pout += 4, curx += idx) {
        const int64_t x = _LICE_FixedInt(curx);
        if (x < 0 || x >= clipright) continue;
        int64_t sr = 0, sg = 0, sb = 0, sa = 0, total = 0;
        const int* f = filter;
        const int64_t sy0 = y + filter_offs, sx0 = x + filter_offs;
        for (int fy = 0; fy < filter_size; ++fy) {
          const int64_t sy = sy0 + fy;
          if (sy >= clipbottom) break;
          if (sy < 0) {
            f += filter_size;
            continue;
          }
          const LICE_pixel_chan* inrow = src + (ptrdiff_t)sy * src_span;
          for (int fx = 0; fx < filter_size; ++fx) {
            const int fw = *f++;
            const int64_t sx = sx0 + fx;
            if (sx < 0 || sx >= clipright) continue;
            const LICE_pixel_chan* p = inrow + sx * 4;
            sr += (int64_t)fw * p[LICE_PIXEL_R];
            sg += (int64_t)fw * p[LICE_PIXEL_G];
            sb += (int64_t)fw * p[LICE_PIXEL_B];
            sa += (int64_t)fw * p[LICE_PIXEL_A];
            total += fw;
          }
        }
        if (total > 0)
          COMBFUNC::doPix(pout, (int)(sr / total), (int)(sg / total), (int)(sb / total),
                          (int)(sa / total), weight);
      }
    }
  }
};

// ---------------------------------------------------------------------------------------------
// Affine delta blit, combiner passed at run time.

class _LICE_Template_Blit3 {
public:
  // Per destination row: s = isrcx, t = isrcy, stepping (idsdx, idtdx) per pixel; after each row
  // the per-pixel steps grow by (idsdxdy, idtdxdy) and the row start by (idsdy, idtdy). Source
  // pixels are read only inside [src_left, src_right) x [src_top, src_bottom), which the caller
  // keeps inside the source bitmap.
  static void deltaBlit(LICE_pixel_chan* dest, const LICE_pixel_chan* src, int w, int h, int isrcx,
                        int isrcy, int idsdx, int idtdx, int idsdy, int idtdy, int idsdxdy,
                        int idtdxdy, int src_left, int src_top, int src_right, int src_bottom,
                        ptrdiff_t src_span, ptrdiff_t dest_span, int weight, int filtermode,
                        LICE_COMBINEFUNC combine)
  {
    int64_t rs = isrcx, rt = isrcy, dsdx = idsdx, dtdx = idtdx;
    const bool bilinear = filtermode == LICE_FILTER_BILINEAR;
    for (int row = 0; row < h; ++row) {
      LICE_pixel_chan* pout = dest + (ptrdiff_t)row * dest_span;
      int64_t s = rs, t = rt;
      for (int n = 0; n < w; ++n, pout += 4, s += dsdx, t += dtdx) {
        const int64_t x = _LICE_FixedInt(s), y = _LICE_FixedInt(t);
        if (y < src_top || y >= src_bottom || x < src_left || x >= src_right) continue;
        const LICE_pixel_chan* p = src + (ptrdiff_t)y * src_span + x * 4;
        int r, g, b, a;
        if (!bilinear) {
          r = p[LICE_PIXEL_R], g = p[LICE_PIXEL_G], b = p[LICE_PIXEL_B], a = p[LICE_PIXEL_A];
        } else if (y < src_bottom - 1) {
          if (x < src_right - 1)
            __LICE_BilinearFilterI(&r, &g, &b, &a, p, p + src_span, (unsigned int)(s & 0xFFFF),
                                   (unsigned int)(t & 0xFFFF));
          else
            __LICE_LinearFilterI(&r, &g, &b, &a, p, p + src_span, (unsigned int)(t & 0xFFFF));
        } else if (x < src_right - 1) {
          __LICE_LinearFilterI(&r, &g, &b, &a, p, p + 4, (unsigned int)(s & 0xFFFF));
        } else {
          r = p[LICE_PIXEL_R], g = p[LICE_PIXEL_G], b = p[LICE_PIXEL_B], a = p[LICE_PIXEL_A];
        }
        combine(pout, r, g, b, a, weight);
      }
      dsdx += idsdxdy;
      dtdx += idtdxdy;
      rs += idsdy;
      rt += idtdy;
    }
  }
};

// ---------------------------------------------------------------------------------------------
// 8-bit coverage masks in one colour.

template <class COMBFUNC>
class GlyphDrawImpl {
public:
  // alphas: w x h coverage bytes, src_span bytes per row; dest_span in pixels. A mask byte v > 0
  // combines the colour with weight v * weight / 256; zero bytes leave the pixel.
  static void DrawGlyph(const LICE_pixel_chan* alphas, LICE_pixel* dest, int w, int h,
                        LICE_pixel color, ptrdiff_t dest_span, ptrdiff_t src_span, int weight)
  {
    const int r = LICE_GETR(color), g = LICE_GETG(color), b = LICE_GETB(color),
              a = LICE_GETA(color);
    for (int y = 0; y < h; ++y) {
      const LICE_pixel_chan* in = alphas + (ptrdiff_t)y * src_span;
      LICE_pixel_chan* out = (LICE_pixel_chan*)(dest + (ptrdiff_t)y * dest_span);
      for (int x = 0; x < w; ++x, out += 4) {
        const int v = in[x];
        if (v) COMBFUNC::doPix(out, r, g, b, a, (int)((int64_t)v * weight / 256));
      }
    }
  }
};
