// The generic pixel loops of the raster library, each a template over a combiner of
// px_combine.h. They trust the pointers, sizes and source bounds their caller computed (the
// callers clip against the destination), test only the source bounds handed to them, and hold no
// mode test in any inner loop.
//
// Row pointers point at the first pixel of the first row to process; spans are signed so that a
// flipped bitmap is walked by starting at its last storage row with a negative span. Spans are in
// bytes unless a signature says pixels. Source positions and steps are 16.16 ints; the running
// positions are carried in 64 bits, so no walk can overflow however far it goes.
#pragma once

#include "raster/px.h"
#include "raster/px_combine.h"
#include "raster/px_setup.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The per-pixel helpers must inline into their loops, or a call per pixel dominates.
#if defined(__GNUC__)
#define PX_PIXEL_INLINE static inline __attribute__((always_inline))
#else
#define PX_PIXEL_INLINE static inline
#endif

// Integer part of a 16.16 position, truncated toward zero (positions in (-1, 0) give pixel 0).
static inline int64_t pxi_FixedInt(int64_t v) { return v / 65536; }

// Bilinear filter of four pixels: p and p + 4 on one row, pnext and pnext + 4 below; fractions in
// 0..65535.
static inline void pxi_BilinearFilterI(int* r, int* g, int* b, int* a, const PX_pixel_chan* p,
                                       const PX_pixel_chan* pnext, unsigned int xfrac,
                                       unsigned int yfrac)
{
  const unsigned int f4 = (xfrac * yfrac) >> 16;
  const unsigned int wtl = 65536 - xfrac - yfrac + f4, wtr = xfrac - f4, wbl = yfrac - f4, wbr = f4;
#define PXI_BF(c) (int)((p[c] * wtl + p[4 + c] * wtr + pnext[c] * wbl + pnext[4 + c] * wbr) / 65536)
  *r = PXI_BF(PX_PIXEL_R);
  *g = PXI_BF(PX_PIXEL_G);
  *b = PXI_BF(PX_PIXEL_B);
  *a = PXI_BF(PX_PIXEL_A);
#undef PXI_BF
}

// Linear filter between p and pnext, frac in 0..65535.
static inline void pxi_LinearFilterI(int* r, int* g, int* b, int* a, const PX_pixel_chan* p,
                                     const PX_pixel_chan* pnext, unsigned int frac)
{
  const unsigned int f = 65536 - frac;
#define PXI_LF(c) (int)((pnext[c] * frac + p[c] * f) / 65536)
  *r = PXI_LF(PX_PIXEL_R);
  *g = PXI_LF(PX_PIXEL_G);
  *b = PXI_LF(PX_PIXEL_B);
  *a = PXI_LF(PX_PIXEL_A);
#undef PXI_LF
}

// pxi_BilinearFilterI as one pixel word, four channels at once. Each weight (at most 65536) is
// split into 256 x high + low so that both halves fit the 16-bit multiplier; the sums are exact,
// so the result is the scalar filter's.
PX_PIXEL_INLINE PX_pixel pxi_BilinearPixel(const PX_pixel_chan* p, const PX_pixel_chan* pnext,
                                           unsigned int xfrac, unsigned int yfrac)
{
#if defined(__SSE2__)
  const unsigned int f4 = (xfrac * yfrac) >> 16;
  const unsigned int wtl = 65536 - xfrac - yfrac + f4, wtr = xfrac - f4, wbl = yfrac - f4, wbr = f4;
  const __m128i zero = _mm_setzero_si128();
  __m128i top = _mm_unpacklo_epi8(_mm_loadl_epi64((const __m128i*)p), zero);
  __m128i bot = _mm_unpacklo_epi8(_mm_loadl_epi64((const __m128i*)pnext), zero);
  // Left and right pixel of each channel side by side: b b g g r r a a.
  top = _mm_unpacklo_epi16(top, _mm_srli_si128(top, 8));
  bot = _mm_unpacklo_epi16(bot, _mm_srli_si128(bot, 8));
  const __m128i th = _mm_set1_epi32((int)((wtl >> 8) | ((wtr >> 8) << 16)));
  const __m128i tlo = _mm_set1_epi32((int)((wtl & 0xFF) | ((wtr & 0xFF) << 16)));
  const __m128i bh = _mm_set1_epi32((int)((wbl >> 8) | ((wbr >> 8) << 16)));
  const __m128i blo = _mm_set1_epi32((int)((wbl & 0xFF) | ((wbr & 0xFF) << 16)));
  const __m128i hi = _mm_add_epi32(_mm_madd_epi16(top, th), _mm_madd_epi16(bot, bh));
  const __m128i lo = _mm_add_epi32(_mm_madd_epi16(top, tlo), _mm_madd_epi16(bot, blo));
  __m128i sum = _mm_srli_epi32(_mm_add_epi32(_mm_slli_epi32(hi, 8), lo), 16);
  sum = _mm_packs_epi32(sum, sum);
  sum = _mm_packus_epi16(sum, sum);
  return (PX_pixel)_mm_cvtsi128_si32(sum);
#else
  int r, g, b, a;
  pxi_BilinearFilterI(&r, &g, &b, &a, p, pnext, xfrac, yfrac);
  return PX_RGBA(r, g, b, a);
#endif
}

// The two ways a loop gets its combiner: fixed at compile time (a combiner class), or chosen at
// run time (a doPix function pointer). Both combine channels, and a filtered pixel word.
template <class COMBFUNC>
struct pxi_StaticCombiner
{
  void operator()(PX_pixel_chan* dest, int r, int g, int b, int a, int weight) const
  {
    COMBFUNC::doPix(dest, r, g, b, a, weight);
  }
  // A full-strength clobber of a filtered word is a plain store.
  void word(PX_pixel_chan* dest, PX_pixel pix, int weight) const
  {
    if (std::is_same<COMBFUNC, pxi_CombinePixelsClobberNoClamp>::value)
      *(PX_pixel*)dest = pix;
    else
      COMBFUNC::doPix(dest, PX_GETR(pix), PX_GETG(pix), PX_GETB(pix), PX_GETA(pix), weight);
  }
};

struct pxi_PointerCombiner
{
  PX_COMBINEFUNC fn;
  void operator()(PX_pixel_chan* dest, int r, int g, int b, int a, int weight) const
  {
    fn(dest, r, g, b, a, weight);
  }
  void word(PX_pixel_chan* dest, PX_pixel pix, int weight) const
  {
    fn(dest, PX_GETR(pix), PX_GETG(pix), PX_GETB(pix), PX_GETA(pix), weight);
  }
};

// The edge rules of bilinear sampling, shared by every bilinear loop: source pixel p is filtered
// with its right and lower neighbours where both exist; with only one of them, linearly toward it
// by its fraction; with neither, it is taken as it is. span is the signed byte step to the row
// below.
template <class COMB>
PX_PIXEL_INLINE void pxi_CombineBilinear(const COMB& comb, PX_pixel_chan* dest,
                                         const PX_pixel_chan* p, ptrdiff_t span, bool hasRight,
                                         bool hasBelow, unsigned int xfrac, unsigned int yfrac,
                                         int weight)
{
  int r, g, b, a;
  if (hasBelow && hasRight)
  {
    comb.word(dest, pxi_BilinearPixel(p, p + span, xfrac, yfrac), weight);
    return;
  }
  if (hasBelow)
    pxi_LinearFilterI(&r, &g, &b, &a, p, p + span, yfrac);
  else if (hasRight)
    pxi_LinearFilterI(&r, &g, &b, &a, p, p + 4, xfrac);
  else
    r = p[PX_PIXEL_R], g = p[PX_PIXEL_G], b = p[PX_PIXEL_B], a = p[PX_PIXEL_A];
  comb(dest, r, g, b, a, weight);
}

// Destination row `row` of a scaled walk and the source row it samples (16.16 position cury), for
// the bilinear filter also the fraction toward the row below and whether that row is outside the
// clip. False when the source row lies outside 0..clipbottom-1: the walk skips the row.
struct pxi_ScaleRow
{
  PX_pixel_chan* out;
  const PX_pixel_chan* in;
  unsigned int yfrac;
  bool lastRow;
};

static inline bool pxi_ScaleRowAt(PX_pixel_chan* dest, const PX_pixel_chan* src, int row,
                                  int64_t cury, int clipbottom, ptrdiff_t src_span,
                                  ptrdiff_t dest_span, pxi_ScaleRow* r)
{
  const int64_t y = pxi_FixedInt(cury);
  if (y < 0 || y >= clipbottom)
    return false;
  r->out = dest + (ptrdiff_t)row * dest_span;
  r->in = src + (ptrdiff_t)y * src_span;
  r->yfrac = (unsigned int)(cury & 0xFFFF);
  r->lastRow = y == clipbottom - 1;
  return true;
}

// The walk of a scaled blit: pixel(out, r, curx) for every destination pixel out of every row r
// whose source row lies inside the clip, curx its 16.16 source column.
template <class F>
static inline void pxi_ScaleWalk(PX_pixel_chan* dest, const PX_pixel_chan* src, int w, int h,
                                 int icurx, int icury, int idx, int idy, int clipbottom,
                                 ptrdiff_t src_span, ptrdiff_t dest_span, F&& pixel)
{
  int64_t cury = icury;
  for (int row = 0; row < h; ++row, cury += idy)
  {
    pxi_ScaleRow r;
    if (!pxi_ScaleRowAt(dest, src, row, cury, clipbottom, src_span, dest_span, &r))
      continue;
    PX_pixel_chan* pout = r.out;
    int64_t curx = icurx;
    for (int n = 0; n < w; ++n, pout += 4, curx += idx)
      pixel(pout, r, curx);
  }
}

// One destination pixel of a bilinear scaled walk: source column position curx on a row whose
// pixels start at inrow, yfrac its 16.16 row fraction, lastRow whether no row lies below it.
// Columns outside 0..clipright-1 draw nothing.
template <class COMB>
PX_PIXEL_INLINE void pxi_ScaleBilinearPixel(const COMB& comb, PX_pixel_chan* dest,
                                            const PX_pixel_chan* inrow, int64_t curx,
                                            unsigned int yfrac, bool lastRow, int clipright,
                                            ptrdiff_t src_span, int weight)
{
  const int64_t x = pxi_FixedInt(curx);
  if (x < 0 || x >= clipright)
    return;
  pxi_CombineBilinear(comb, dest, inrow + x * 4, src_span, x < clipright - 1, !lastRow,
                      (unsigned int)(curx & 0xFFFF), yfrac, weight);
}

// One destination pixel of an affine walk at source position (s, t), nearest or bilinear; positions
// outside [left, right) x [top, bottom) draw nothing.
template <bool BILINEAR, class COMB>
PX_PIXEL_INLINE void pxi_DeltaPixel(const COMB& comb, PX_pixel_chan* dest, const PX_pixel_chan* src,
                                    int64_t s, int64_t t, int left, int top, int right, int bottom,
                                    ptrdiff_t src_span, int weight)
{
  const int64_t x = pxi_FixedInt(s), y = pxi_FixedInt(t);
  if (y < top || y >= bottom || x < left || x >= right)
    return;
  const PX_pixel_chan* p = src + (ptrdiff_t)y * src_span + x * 4;
  if (BILINEAR)
    pxi_CombineBilinear(comb, dest, p, src_span, x < right - 1, y < bottom - 1,
                        (unsigned int)(s & 0xFFFF), (unsigned int)(t & 0xFFFF), weight);
  else
    comb(dest, p[PX_PIXEL_R], p[PX_PIXEL_G], p[PX_PIXEL_B], p[PX_PIXEL_A], weight);
}

// ---------------------------------------------------------------------------------------------
// Whole-pixel loops (FAST combiners, no weight).

template <class COMBFUNC>
class pxi_Template_Blit0
{
public:
  // h rows of w pixels; span in pixels.
  static void solidBlitFAST(PX_pixel* dest, int w, int h, PX_pixel color, ptrdiff_t span)
  {
    for (int y = 0; y < h; ++y)
    {
      PX_pixel* p = dest + (ptrdiff_t)y * span;
      for (int x = 0; x < w; ++x)
        COMBFUNC::doPixFAST(p + x, color);
    }
  }

  // Nearest-pixel scaling; source columns outside 0..clipright-1 and rows outside
  // 0..clipbottom-1 are skipped.
  static void scaleBlitFAST(PX_pixel_chan* dest, const PX_pixel_chan* src, int w, int h, int icurx,
                            int icury, int idx, int idy, int clipright, int clipbottom,
                            ptrdiff_t src_span, ptrdiff_t dest_span)
  {
    pxi_ScaleWalk(dest, src, w, h, icurx, icury, idx, idy, clipbottom, src_span, dest_span,
                  [&](PX_pixel_chan* pout, const pxi_ScaleRow& r, int64_t curx) {
                    const int64_t x = pxi_FixedInt(curx);
                    if (x >= 0 && x < clipright)
                      COMBFUNC::doPixFAST((PX_pixel*)pout, ((const PX_pixel*)r.in)[x]);
                  });
  }
};

// ---------------------------------------------------------------------------------------------
// Solid and gradient fills.

template <class COMBFUNC>
class pxi_Template_Blit1
{
public:
  // h rows of w pixels; the single alpha serves as source alpha and as weight. span in bytes.
  static void solidBlit(PX_pixel_chan* dest, int w, int h, int ir, int ig, int ib, int ia,
                        ptrdiff_t span)
  {
    for (int y = 0; y < h; ++y)
    {
      PX_pixel_chan* p = dest + (ptrdiff_t)y * span;
      for (int x = 0; x < w; ++x, p += 4)
        COMBFUNC::doPix(p, ir, ig, ib, ia, ia);
    }
  }

  // 16.16 colour values growing by d?dx per pixel and d?dy per row; each pixel gets value / 65536
  // (truncated), alpha also as the weight. The caller makes sure every value the rectangle
  // reaches fits an int.
  static void gradBlit(PX_pixel_chan* dest, int w, int h, int ir, int ig, int ib, int ia, int drdx,
                       int dgdx, int dbdx, int dadx, int drdy, int dgdy, int dbdy, int dady,
                       ptrdiff_t span)
  {
    int64_t rr = ir, rg = ig, rb = ib, ra = ia;
    for (int y = 0; y < h; ++y, rr += drdy, rg += dgdy, rb += dbdy, ra += dady)
    {
      PX_pixel_chan* p = dest + (ptrdiff_t)y * span;
      int64_t r = rr, g = rg, b = rb, a = ra;
      for (int x = 0; x < w; ++x, p += 4, r += drdx, g += dgdx, b += dbdx, a += dadx)
      {
        const int aa = (int)(a / 65536);
        COMBFUNC::doPix(p, (int)(r / 65536), (int)(g / 65536), (int)(b / 65536), aa, aa);
      }
    }
  }
};

// ---------------------------------------------------------------------------------------------
// 1:1, scaled and filtered-down blits.

template <class COMBFUNC>
class pxi_Template_Blit2
{
public:
  static void blit(PX_pixel_chan* dest, const PX_pixel_chan* src, int w, int h, ptrdiff_t src_span,
                   ptrdiff_t dest_span, int weight)
  {
    for (int y = 0; y < h; ++y)
    {
      PX_pixel_chan* pout = dest + (ptrdiff_t)y * dest_span;
      const PX_pixel_chan* pin = src + (ptrdiff_t)y * src_span;
      for (int x = 0; x < w; ++x, pout += 4, pin += 4)
        COMBFUNC::doPix(pout, pin[PX_PIXEL_R], pin[PX_PIXEL_G], pin[PX_PIXEL_B], pin[PX_PIXEL_A],
                        weight);
    }
  }

  // Nearest (filtermode != PX_FILTER_BILINEAR) or bilinear scaling. The bilinear walk reads the
  // right and lower neighbours only inside 0..clipright-1 x 0..clipbottom-1.
  static void scaleBlit(PX_pixel_chan* dest, const PX_pixel_chan* src, int w, int h, int icurx,
                        int icury, int idx, int idy, int clipright, int clipbottom,
                        ptrdiff_t src_span, ptrdiff_t dest_span, int weight, int filtermode)
  {
    if (filtermode == PX_FILTER_BILINEAR)
    {
      const pxi_StaticCombiner<COMBFUNC> comb;
      pxi_ScaleWalk(dest, src, w, h, icurx, icury, idx, idy, clipbottom, src_span, dest_span,
                    [&](PX_pixel_chan* pout, const pxi_ScaleRow& r, int64_t curx) {
                      pxi_ScaleBilinearPixel(comb, pout, r.in, curx, r.yfrac, r.lastRow, clipright,
                                             src_span, weight);
                    });
      return;
    }
    pxi_ScaleWalk(dest, src, w, h, icurx, icury, idx, idy, clipbottom, src_span, dest_span,
                  [&](PX_pixel_chan* pout, const pxi_ScaleRow& r, int64_t curx) {
                    const int64_t x = pxi_FixedInt(curx);
                    if (x < 0 || x >= clipright)
                      return;
                    const PX_pixel_chan* p = r.in + x * 4;
                    COMBFUNC::doPix(pout, p[PX_PIXEL_R], p[PX_PIXEL_G], p[PX_PIXEL_B],
                                    p[PX_PIXEL_A], weight);
                  });
  }

  // Weighted-window reduction: filter is filter_size x filter_size weights, row-major (65536 =
  // full); the window of each sample starts filter_offs pixels up and left of it. Only source
  // pixels inside 0..clipright-1 x 0..clipbottom-1 count; a window wholly outside leaves the pixel.
  static void scaleBlitFilterDown(PX_pixel_chan* dest, const PX_pixel_chan* src, int w, int h,
                                  int icurx, int icury, int idx, int idy, int clipright,
                                  int clipbottom, ptrdiff_t src_span, ptrdiff_t dest_span,
                                  int weight, const int* filter, int filter_offs, int filter_size)
  {
    int64_t cury = icury;
    for (int row = 0; row < h; ++row, cury += idy)
    {
      const int64_t y = pxi_FixedInt(cury);
      if (y < 0 || y >= clipbottom)
        continue;
      PX_pixel_chan* pout = dest + (ptrdiff_t)row * dest_span;
      int64_t curx = icurx;
      for (int n = 0; n < w; ++n, pout += 4, curx += idx)
      {
        const int64_t x = pxi_FixedInt(curx);
        if (x < 0 || x >= clipright)
          continue;
        int64_t sr = 0, sg = 0, sb = 0, sa = 0, total = 0;
        const int* f = filter;
        const int64_t sy0 = y + filter_offs, sx0 = x + filter_offs;
        for (int fy = 0; fy < filter_size; ++fy)
        {
          const int64_t sy = sy0 + fy;
          if (sy >= clipbottom)
            break;
          if (sy < 0)
          {
            f += filter_size;
            continue;
          }
          const PX_pixel_chan* inrow = src + (ptrdiff_t)sy * src_span;
          for (int fx = 0; fx < filter_size; ++fx)
          {
            const int fw = *f++;
            const int64_t sx = sx0 + fx;
            if (sx < 0 || sx >= clipright)
              continue;
            const PX_pixel_chan* p = inrow + sx * 4;
            sr += (int64_t)fw * p[PX_PIXEL_R];
            sg += (int64_t)fw * p[PX_PIXEL_G];
            sb += (int64_t)fw * p[PX_PIXEL_B];
            sa += (int64_t)fw * p[PX_PIXEL_A];
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

class pxi_Template_Blit3
{
public:
  // Per destination row: s = isrcx, t = isrcy, stepping (idsdx, idtdx) per pixel; after each row
  // the per-pixel steps grow by (idsdxdy, idtdxdy) and the row start by (idsdy, idtdy). Source
  // pixels are read only inside [src_left, src_right) x [src_top, src_bottom), which the caller
  // keeps inside the source bitmap.
  static void deltaBlit(PX_pixel_chan* dest, const PX_pixel_chan* src, int w, int h, int isrcx,
                        int isrcy, int idsdx, int idtdx, int idsdy, int idtdy, int idsdxdy,
                        int idtdxdy, int src_left, int src_top, int src_right, int src_bottom,
                        ptrdiff_t src_span, ptrdiff_t dest_span, int weight, int filtermode,
                        PX_COMBINEFUNC combine)
  {
    const pxi_PointerCombiner comb = {combine};
    if (filtermode == PX_FILTER_BILINEAR)
      deltaWalk<true>(comb, dest, src, w, h, isrcx, isrcy, idsdx, idtdx, idsdy, idtdy, idsdxdy,
                      idtdxdy, src_left, src_top, src_right, src_bottom, src_span, dest_span,
                      weight);
    else
      deltaWalk<false>(comb, dest, src, w, h, isrcx, isrcy, idsdx, idtdx, idsdy, idtdy, idsdxdy,
                       idtdxdy, src_left, src_top, src_right, src_bottom, src_span, dest_span,
                       weight);
  }

  // The walk itself, for either kind of combiner (pxi_StaticCombiner, pxi_PointerCombiner).
  template <bool BILINEAR, class COMB>
  static void deltaWalk(const COMB& comb, PX_pixel_chan* dest, const PX_pixel_chan* src, int w,
                        int h, int isrcx, int isrcy, int idsdx, int idtdx, int idsdy, int idtdy,
                        int idsdxdy, int idtdxdy, int src_left, int src_top, int src_right,
                        int src_bottom, ptrdiff_t src_span, ptrdiff_t dest_span, int weight)
  {
    int64_t rs = isrcx, rt = isrcy, dsdx = idsdx, dtdx = idtdx;
    for (int row = 0; row < h; ++row, dsdx += idsdxdy, dtdx += idtdxdy, rs += idsdy, rt += idtdy)
    {
      PX_pixel_chan* pout = dest + (ptrdiff_t)row * dest_span;
      int64_t s = rs, t = rt;
      for (int n = 0; n < w; ++n, pout += 4, s += dsdx, t += dtdx)
        pxi_DeltaPixel<BILINEAR>(comb, pout, src, s, t, src_left, src_top, src_right, src_bottom,
                                 src_span, weight);
    }
  }
};

// ---------------------------------------------------------------------------------------------
// 8-bit coverage masks in one colour.

template <class COMBFUNC>
class GlyphDrawImpl
{
public:
  // alphas: w x h coverage bytes, src_span bytes per row; dest_span in pixels. A mask byte v > 0
  // combines the colour with weight v * weight / 256; zero bytes leave the pixel.
  static void DrawGlyph(const PX_pixel_chan* alphas, PX_pixel* dest, int w, int h, PX_pixel color,
                        ptrdiff_t dest_span, ptrdiff_t src_span, int weight)
  {
    const int r = PX_GETR(color), g = PX_GETG(color), b = PX_GETB(color), a = PX_GETA(color);
    for (int y = 0; y < h; ++y)
    {
      const PX_pixel_chan* in = alphas + (ptrdiff_t)y * src_span;
      PX_pixel_chan* out = (PX_pixel_chan*)(dest + (ptrdiff_t)y * dest_span);
      for (int x = 0; x < w; ++x, out += 4)
      {
        const int v = in[x];
        if (v)
          COMBFUNC::doPix(out, r, g, b, a, (int)((int64_t)v * weight / 256));
      }
    }
  }
};
