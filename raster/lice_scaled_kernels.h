// The two hot loops of the scaled and rotated blits with the bilinear filter: the same walks,
// edge rules and results as _LICE_Template_Blit2::scaleBlit (bilinear) and
// _LICE_Template_Blit3::deltaBlit, with the combiner resolved at compile time and the four-pixel
// filter computed with SSE2, or eight samples at a time with AVX2 where the processor has it.
// Every result is bit-identical to the generic loops.
#pragma once

#include "raster/lice_blit_templates.h"
#include "raster/lice_combine.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(__GNUC__) && defined(__x86_64__) && !defined(_WIN32)
// Not on Windows: its GCC does not align the stack for spilled 256-bit registers.
#define LICE_HAVE_AVX2_KERNELS 1
#include <immintrin.h>
#define LICE_AVX2 __attribute__((target("avx2")))
#define LICE_AVX2_INLINE static inline __attribute__((target("avx2"), always_inline))
#endif

// The per-pixel helpers below must inline into the loops, or a call per pixel dominates.
#if defined(__GNUC__)
#define LICE_KERNEL_INLINE static inline __attribute__((always_inline))
#else
#define LICE_KERNEL_INLINE static inline
#endif

// __LICE_BilinearFilterI of p, p + 4, pnext, pnext + 4 as one pixel word. Each weight (at most
// 65536) is split into 256 x high + low so that both halves fit the 16-bit multiplier; the sums are
// exact, so the result equals the scalar filter's.
LICE_KERNEL_INLINE LICE_pixel _LICE_BilinearPixel(const LICE_pixel_chan* p, const LICE_pixel_chan* pnext,
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
  return (LICE_pixel)_mm_cvtsi128_si32(sum);
#else
  int r, g, b, a;
  __LICE_BilinearFilterI(&r, &g, &b, &a, p, pnext, xfrac, yfrac);
  return LICE_RGBA(r, g, b, a);
#endif
}

// Merges a filtered pixel word into the destination pixel with the combiner; a full-strength
// clobber is a plain store.
template <class COMBFUNC>
LICE_KERNEL_INLINE void _LICE_CombineWord(LICE_pixel_chan* dest, LICE_pixel pix, int weight)
{
  if (std::is_same<COMBFUNC, _LICE_CombinePixelsClobberNoClamp>::value)
    *(LICE_pixel*)dest = pix;
  else
    COMBFUNC::doPix(dest, LICE_GETR(pix), LICE_GETG(pix), LICE_GETB(pix), LICE_GETA(pix), weight);
}

template <class COMBFUNC>
LICE_KERNEL_INLINE void _LICE_CombineSource(LICE_pixel_chan* dest, const LICE_pixel_chan* p, int weight)
{
  COMBFUNC::doPix(dest, p[LICE_PIXEL_R], p[LICE_PIXEL_G], p[LICE_PIXEL_B], p[LICE_PIXEL_A], weight);
}

template <class COMBFUNC>
LICE_KERNEL_INLINE void _LICE_CombineLinear(LICE_pixel_chan* dest, const LICE_pixel_chan* p,
                                       const LICE_pixel_chan* pnext, unsigned int frac, int weight)
{
  int r, g, b, a;
  __LICE_LinearFilterI(&r, &g, &b, &a, p, pnext, frac);
  COMBFUNC::doPix(dest, r, g, b, a, weight);
}

#if LICE_HAVE_AVX2_KERNELS
// The 256-bit helpers are always inlined into AVX2 functions, so the vector-argument ABI of a
// default-target caller never applies.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

static inline bool _LICE_HasAvx2()
{
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

// Eight bilinear samples, one per lane: pixel index[k] of base and its right, lower and lower-right
// neighbours (span pixels apart), with 16.16 fractions xf and yf. The weights are those of
// __LICE_BilinearFilterI; every product and sum is an integer below 2^24, so single-precision
// arithmetic is exact and the truncated result equals the integer filter's.
// Channel byte `count` of eight pixel words, as floats.
LICE_AVX2_INLINE __m256 _LICE_Channel8(__m256i v, __m128i count)
{
  return _mm256_cvtepi32_ps(_mm256_and_si256(_mm256_srl_epi32(v, count), _mm256_set1_epi32(0xFF)));
}

LICE_AVX2_INLINE __m256i _LICE_Bilinear8(const int* base, __m256i index, int span, __m256i xf,
                                                 __m256i yf)
{
  const __m256i f4 = _mm256_srli_epi32(_mm256_mullo_epi32(xf, yf), 16);
  const __m256 wtr = _mm256_cvtepi32_ps(_mm256_sub_epi32(xf, f4));
  const __m256 wbl = _mm256_cvtepi32_ps(_mm256_sub_epi32(yf, f4));
  const __m256 wbr = _mm256_cvtepi32_ps(f4);
  const __m256 wtl = _mm256_cvtepi32_ps(_mm256_add_epi32(
      _mm256_sub_epi32(_mm256_sub_epi32(_mm256_set1_epi32(65536), xf), yf), f4));
  const __m256i below = _mm256_add_epi32(index, _mm256_set1_epi32(span));
  const __m256i tl = _mm256_i32gather_epi32(base, index, 4);
  const __m256i tr = _mm256_i32gather_epi32(base + 1, index, 4);
  const __m256i bl = _mm256_i32gather_epi32(base, below, 4);
  const __m256i br = _mm256_i32gather_epi32(base + 1, below, 4);
  const __m256 scale = _mm256_set1_ps(1.0f / 65536.0f);
  __m256i out = _mm256_setzero_si256();
  for (int shift = 0; shift < 32; shift += 8) {
    const __m128i count = _mm_cvtsi32_si128(shift);
    const __m256 sum = _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(_LICE_Channel8(tl, count), wtl),
                                                   _mm256_mul_ps(_LICE_Channel8(tr, count), wtr)),
                                     _mm256_add_ps(_mm256_mul_ps(_LICE_Channel8(bl, count), wbl),
                                                   _mm256_mul_ps(_LICE_Channel8(br, count), wbr)));
    out = _mm256_or_si256(out, _mm256_sll_epi32(_mm256_cvttps_epi32(_mm256_mul_ps(sum, scale)),
                                                count));
  }
  return out;
}

// The 16.16 positions start + k * step of lanes k = 0..7. Callers use them only where every
// position lies inside the source, so each fits its 32-bit lane.
LICE_AVX2_INLINE __m256i _LICE_Walk8(int64_t start, int step)
{
  return _mm256_add_epi32(_mm256_set1_epi32((int)(uint32_t)start),
                          _mm256_mullo_epi32(_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7),
                                             _mm256_set1_epi32(step)));
}

#pragma GCC diagnostic pop
#endif

template <class COMBFUNC>
class _LICE_ScaledKernels {
public:
  // _LICE_Template_Blit2::scaleBlit with the bilinear filter.
  static void scaleBlitBilinear(LICE_pixel_chan* dest, const LICE_pixel_chan* src, int w, int h,
                                int icurx, int icury, int idx, int idy, int clipright,
                                int clipbottom, ptrdiff_t src_span, ptrdiff_t dest_span,
                                int weight)
  {
#if LICE_HAVE_AVX2_KERNELS
    if (_LICE_HasAvx2()) {
      scaleBlitBilinearAvx2(dest, src, w, h, icurx, icury, idx, idy, clipright, clipbottom,
                            src_span, dest_span, weight);
      return;
    }
#endif
    scaleBlitBilinearPortable(dest, src, w, h, icurx, icury, idx, idy, clipright, clipbottom,
                              src_span, dest_span, weight);
  }

  // The same without the eight-lane filter.
  static void scaleBlitBilinearPortable(LICE_pixel_chan* dest, const LICE_pixel_chan* src, int w,
                                        int h, int icurx, int icury, int idx, int idy,
                                        int clipright, int clipbottom, ptrdiff_t src_span,
                                        ptrdiff_t dest_span, int weight)
  {
    int64_t cury = icury;
    for (int row = 0; row < h; ++row, cury += idy) {
      const int64_t y = _LICE_FixedInt(cury);
      if (y < 0 || y >= clipbottom) continue;
      LICE_pixel_chan* pout = dest + (ptrdiff_t)row * dest_span;
      const LICE_pixel_chan* inrow = src + (ptrdiff_t)y * src_span;
      const unsigned int yfrac = (unsigned int)(cury & 0xFFFF);
      const bool lastRow = y == clipbottom - 1;
      int64_t curx = icurx;
      for (int n = 0; n < w; ++n, pout += 4, curx += idx)
        scalePixel(pout, inrow, curx, yfrac, lastRow, clipright, src_span, weight);
    }
  }

  // _LICE_Template_Blit3::deltaBlit with the bilinear filter and no second-order steps.
  static void deltaBlitBilinear(LICE_pixel_chan* dest, const LICE_pixel_chan* src, int w, int h,
                                int isrcx, int isrcy, int idsdx, int idtdx, int idsdy, int idtdy,
                                int src_left, int src_top, int src_right, int src_bottom,
                                ptrdiff_t src_span, ptrdiff_t dest_span, int weight)
  {
#if LICE_HAVE_AVX2_KERNELS
    if (_LICE_HasAvx2()) {
      deltaBlitBilinearAvx2(dest, src, w, h, isrcx, isrcy, idsdx, idtdx, idsdy, idtdy, src_left,
                            src_top, src_right, src_bottom, src_span, dest_span, weight);
      return;
    }
#endif
    deltaBlitBilinearPortable(dest, src, w, h, isrcx, isrcy, idsdx, idtdx, idsdy, idtdy, src_left,
                              src_top, src_right, src_bottom, src_span, dest_span, weight);
  }

  // The same without the eight-lane filter.
  static void deltaBlitBilinearPortable(LICE_pixel_chan* dest, const LICE_pixel_chan* src, int w,
                                        int h, int isrcx, int isrcy, int idsdx, int idtdx,
                                        int idsdy, int idtdy, int src_left, int src_top,
                                        int src_right, int src_bottom, ptrdiff_t src_span,
                                        ptrdiff_t dest_span, int weight)
  {
    int64_t rs = isrcx, rt = isrcy;
    for (int row = 0; row < h; ++row, rs += idsdy, rt += idtdy) {
      LICE_pixel_chan* pout = dest + (ptrdiff_t)row * dest_span;
      int64_t s = rs, t = rt;
      for (int n = 0; n < w; ++n, pout += 4, s += idsdx, t += idtdx)
        deltaPixel(pout, src, s, t, src_left, src_top, src_right, src_bottom, src_span, weight);
    }
  }

private:
  // One destination pixel of the scaled walk at source column position curx.
  LICE_KERNEL_INLINE void scalePixel(LICE_pixel_chan* pout, const LICE_pixel_chan* inrow,
                                     int64_t curx, unsigned int yfrac, bool lastRow, int clipright,
                                     ptrdiff_t src_span, int weight)
  {
    const int64_t x = _LICE_FixedInt(curx);
    if (x < 0 || x >= clipright) return;
    const LICE_pixel_chan* p = inrow + x * 4;
    const unsigned int xfrac = (unsigned int)(curx & 0xFFFF);
    if (!lastRow) {
      if (x < clipright - 1)
        _LICE_CombineWord<COMBFUNC>(pout, _LICE_BilinearPixel(p, p + src_span, xfrac, yfrac),
                                    weight);
      else
        _LICE_CombineLinear<COMBFUNC>(pout, p, p + src_span, yfrac, weight);
    } else if (x < clipright - 1) {
      _LICE_CombineLinear<COMBFUNC>(pout, p, p + 4, xfrac, weight);
    } else {
      _LICE_CombineSource<COMBFUNC>(pout, p, weight);
    }
  }

  // One destination pixel of the affine walk at source position (s, t).
  LICE_KERNEL_INLINE void deltaPixel(LICE_pixel_chan* pout, const LICE_pixel_chan* src, int64_t s,
                                     int64_t t, int src_left, int src_top, int src_right,
                                     int src_bottom, ptrdiff_t src_span, int weight)
  {
    const int64_t x = _LICE_FixedInt(s), y = _LICE_FixedInt(t);
    if (y < src_top || y >= src_bottom || x < src_left || x >= src_right) return;
    const LICE_pixel_chan* p = src + (ptrdiff_t)y * src_span + x * 4;
    if (y < src_bottom - 1) {
      if (x < src_right - 1)
        _LICE_CombineWord<COMBFUNC>(
            pout,
            _LICE_BilinearPixel(p, p + src_span, (unsigned int)(s & 0xFFFF),
                                (unsigned int)(t & 0xFFFF)),
            weight);
      else
        _LICE_CombineLinear<COMBFUNC>(pout, p, p + src_span, (unsigned int)(t & 0xFFFF), weight);
    } else if (x < src_right - 1) {
      _LICE_CombineLinear<COMBFUNC>(pout, p, p + 4, (unsigned int)(s & 0xFFFF), weight);
    } else {
      _LICE_CombineSource<COMBFUNC>(pout, p, weight);
    }
  }

#if LICE_HAVE_AVX2_KERNELS
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"
  // Eight filtered pixel words into eight destination pixels.
  LICE_AVX2_INLINE void combine8(LICE_pixel_chan* pout, __m256i px, int weight)
  {
    if (std::is_same<COMBFUNC, _LICE_CombinePixelsClobberNoClamp>::value) {
      _mm256_storeu_si256((__m256i*)pout, px);
      return;
    }
    alignas(32) LICE_pixel words[8];
    _mm256_store_si256((__m256i*)words, px);
    for (int k = 0; k < 8; ++k) _LICE_CombineWord<COMBFUNC>(pout + 4 * k, words[k], weight);
  }

  // Groups of eight pixels whose samples all lie in the interior (both neighbours inside, positions
  // not negative: the positions are linear, so the ends decide) take the eight-lane filter; the
  // rest go pixel by pixel.
  LICE_AVX2 static void scaleBlitBilinearAvx2(LICE_pixel_chan* dest, const LICE_pixel_chan* src,
                                              int w, int h, int icurx, int icury, int idx, int idy,
                                              int clipright, int clipbottom, ptrdiff_t src_span,
                                              ptrdiff_t dest_span, int weight)
  {
    const int span = (int)(src_span / 4);
    const int64_t limit = (int64_t)(clipright - 1) * 65536;  // first position without a right pixel
    int64_t cury = icury;
    for (int row = 0; row < h; ++row, cury += idy) {
      const int64_t y = _LICE_FixedInt(cury);
      if (y < 0 || y >= clipbottom) continue;
      LICE_pixel_chan* pout = dest + (ptrdiff_t)row * dest_span;
      const LICE_pixel_chan* inrow = src + (ptrdiff_t)y * src_span;
      const unsigned int yfrac = (unsigned int)(cury & 0xFFFF);
      const bool lastRow = y == clipbottom - 1;
      const __m256i yf = _mm256_set1_epi32((int)yfrac);
      int64_t curx = icurx;
      for (int n = 0; n < w;) {
        const int64_t end = curx + 7 * (int64_t)idx;
        if (!lastRow && n + 8 <= w && curx >= 0 && end >= 0 && curx < limit && end < limit) {
          const __m256i pos = _LICE_Walk8(curx, idx);
          combine8(pout,
                   _LICE_Bilinear8((const int*)inrow, _mm256_srli_epi32(pos, 16), span,
                                   _mm256_and_si256(pos, _mm256_set1_epi32(0xFFFF)), yf),
                   weight);
          n += 8, pout += 32, curx += 8 * (int64_t)idx;
        } else {
          scalePixel(pout, inrow, curx, yfrac, lastRow, clipright, src_span, weight);
          n += 1, pout += 4, curx += idx;
        }
      }
    }
  }

  LICE_AVX2 static void deltaBlitBilinearAvx2(LICE_pixel_chan* dest, const LICE_pixel_chan* src,
                                              int w, int h, int isrcx, int isrcy, int idsdx,
                                              int idtdx, int idsdy, int idtdy, int src_left,
                                              int src_top, int src_right, int src_bottom,
                                              ptrdiff_t src_span, ptrdiff_t dest_span, int weight)
  {
    const int span = (int)(src_span / 4);
    // Interior: left <= x < right - 1 and top <= y < bottom - 1, positions not negative.
    const int64_t sLo = (int64_t)(src_left > 0 ? src_left : 0) * 65536,
                  sHi = (int64_t)(src_right - 1) * 65536,
                  tLo = (int64_t)(src_top > 0 ? src_top : 0) * 65536,
                  tHi = (int64_t)(src_bottom - 1) * 65536;
    auto inside = [&](int64_t s, int64_t t) { return s >= sLo && s < sHi && t >= tLo && t < tHi; };
    const __m256i fracMask = _mm256_set1_epi32(0xFFFF);
    int64_t rs = isrcx, rt = isrcy;
    for (int row = 0; row < h; ++row, rs += idsdy, rt += idtdy) {
      LICE_pixel_chan* pout = dest + (ptrdiff_t)row * dest_span;
      int64_t s = rs, t = rt;
      for (int n = 0; n < w;) {
        if (n + 8 <= w && inside(s, t) && inside(s + 7 * (int64_t)idsdx, t + 7 * (int64_t)idtdx)) {
          const __m256i ps = _LICE_Walk8(s, idsdx), pt = _LICE_Walk8(t, idtdx);
          const __m256i index =
              _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srli_epi32(pt, 16), _mm256_set1_epi32(span)),
                               _mm256_srli_epi32(ps, 16));
          combine8(pout,
                   _LICE_Bilinear8((const int*)src, index, span, _mm256_and_si256(ps, fracMask),
                                   _mm256_and_si256(pt, fracMask)),
                   weight);
          n += 8, pout += 32, s += 8 * (int64_t)idsdx, t += 8 * (int64_t)idtdx;
        } else {
          deltaPixel(pout, src, s, t, src_left, src_top, src_right, src_bottom, src_span, weight);
          n += 1, pout += 4, s += idsdx, t += idtdx;
        }
      }
    }
  }
#pragma GCC diagnostic pop
#endif
};
