// The two hot loops of the scaled and rotated blits with the bilinear filter, eight samples at a
// time with AVX2 where the processor has it: the same walks, edge rules and results as
// pxi_Template_Blit2::scaleBlit (bilinear) and pxi_Template_Blit3::deltaWalk, which run
// instead on processors without it. The AVX2 code is compiled per function (target attribute) and
// chosen at run time, once per call, on both targets, so the library itself needs no AVX2 build
// flag and what the benchmarks measure is what ships.
//
// Careful on Windows: GCC keeps the stack 16-byte aligned there, also where it spills a 256-bit
// register with an aligned move. The Windows build therefore assembles every aligned vector move as
// an unaligned one (-muse-unaligned-vector-move, cmake/CompilerOptions.cmake), which costs nothing
// on aligned data.
#pragma once

#include "raster/px_blit_templates.h"
#include "raster/px_combine.h"
#include "raster/px_rowops.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

#if defined(__GNUC__) && defined(__x86_64__)
#define PX_HAVE_AVX2_KERNELS 1
#include <immintrin.h>
#define PX_AVX2 __attribute__((target("avx2")))
#define PX_AVX2_INLINE static inline __attribute__((target("avx2"), always_inline))
#endif

#if PX_HAVE_AVX2_KERNELS
// The 256-bit helpers are always inlined into AVX2 functions, so the vector-argument ABI of a
// default-target caller never applies.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

// Asked once per program; the feature table is filled first in case a blit runs from a static
// constructor, before the run-time library's own start-up has filled it.
static inline bool pxi_HasAvx2()
{
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
}

// Channel byte `count` of eight pixel words, as floats.
PX_AVX2_INLINE __m256 pxi_Channel8(__m256i v, __m128i count)
{
  return _mm256_cvtepi32_ps(_mm256_and_si256(_mm256_srl_epi32(v, count), _mm256_set1_epi32(0xFF)));
}

// Eight bilinear samples, one per lane: pixel index[k] of base and its right, lower and lower-right
// neighbours (span pixels apart), with 16.16 fractions xf and yf. The weights are those of
// pxi_BilinearFilterI; every product and sum is an integer below 2^24, so single-precision
// arithmetic is exact and the truncated result equals the integer filter's.
PX_AVX2_INLINE __m256i pxi_Bilinear8(const int* base, __m256i index, int span, __m256i xf,
                                     __m256i yf)
{
  const __m256i f4 = _mm256_srli_epi32(_mm256_mullo_epi32(xf, yf), 16);
  const __m256 wtr = _mm256_cvtepi32_ps(_mm256_sub_epi32(xf, f4));
  const __m256 wbl = _mm256_cvtepi32_ps(_mm256_sub_epi32(yf, f4));
  const __m256 wbr = _mm256_cvtepi32_ps(f4);
  const __m256 wtl = _mm256_cvtepi32_ps(
    _mm256_add_epi32(_mm256_sub_epi32(_mm256_sub_epi32(_mm256_set1_epi32(65536), xf), yf), f4));
  const __m256i below = _mm256_add_epi32(index, _mm256_set1_epi32(span));
  const __m256i tl = _mm256_i32gather_epi32(base, index, 4);
  const __m256i tr = _mm256_i32gather_epi32(base + 1, index, 4);
  const __m256i bl = _mm256_i32gather_epi32(base, below, 4);
  const __m256i br = _mm256_i32gather_epi32(base + 1, below, 4);
  const __m256 scale = _mm256_set1_ps(1.0f / 65536.0f);
  __m256i out = _mm256_setzero_si256();
  for (int shift = 0; shift < 32; shift += 8)
  {
    const __m128i count = _mm_cvtsi32_si128(shift);
    const __m256 sum = _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(pxi_Channel8(tl, count), wtl),
                                                   _mm256_mul_ps(pxi_Channel8(tr, count), wtr)),
                                     _mm256_add_ps(_mm256_mul_ps(pxi_Channel8(bl, count), wbl),
                                                   _mm256_mul_ps(pxi_Channel8(br, count), wbr)));
    out =
      _mm256_or_si256(out, _mm256_sll_epi32(_mm256_cvttps_epi32(_mm256_mul_ps(sum, scale)), count));
  }
  return out;
}

// The 16.16 positions start + k * step of lanes k = 0..7. Callers use them only where every
// position lies inside the source, so each fits its 32-bit lane.
PX_AVX2_INLINE __m256i pxi_Walk8(int64_t start, int step)
{
  return _mm256_add_epi32(
    _mm256_set1_epi32((int)(uint32_t)start),
    _mm256_mullo_epi32(_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7), _mm256_set1_epi32(step)));
}

#pragma GCC diagnostic pop
#endif

template <class COMBFUNC>
class pxi_ScaledKernels
{
public:
  // pxi_Template_Blit2::scaleBlit with the bilinear filter.
  static void scaleBlitBilinear(PX_pixel_chan* dest, const PX_pixel_chan* src, int w, int h,
                                int icurx, int icury, int idx, int idy, int clipright,
                                int clipbottom, ptrdiff_t src_span, ptrdiff_t dest_span, int weight)
  {
#if PX_HAVE_AVX2_KERNELS
    if (pxi_HasAvx2())
    {
      scaleBlitBilinearAvx2(dest, src, w, h, icurx, icury, idx, idy, clipright, clipbottom,
                            src_span, dest_span, weight);
      return;
    }
#endif
    pxi_Template_Blit2<COMBFUNC>::scaleBlit(dest, src, w, h, icurx, icury, idx, idy, clipright,
                                            clipbottom, src_span, dest_span, weight,
                                            PX_FILTER_BILINEAR);
  }

  // pxi_Template_Blit3::deltaWalk with the bilinear filter and no second-order steps.
  static void deltaBlitBilinear(PX_pixel_chan* dest, const PX_pixel_chan* src, int w, int h,
                                int isrcx, int isrcy, int idsdx, int idtdx, int idsdy, int idtdy,
                                int src_left, int src_top, int src_right, int src_bottom,
                                ptrdiff_t src_span, ptrdiff_t dest_span, int weight)
  {
#if PX_HAVE_AVX2_KERNELS
    if (pxi_HasAvx2())
    {
      deltaBlitBilinearAvx2(dest, src, w, h, isrcx, isrcy, idsdx, idtdx, idsdy, idtdy, src_left,
                            src_top, src_right, src_bottom, src_span, dest_span, weight);
      return;
    }
#endif
    pxi_Template_Blit3::deltaWalk<true>(pxi_StaticCombiner<COMBFUNC>(), dest, src, w, h, isrcx,
                                        isrcy, idsdx, idtdx, idsdy, idtdy, 0, 0, src_left, src_top,
                                        src_right, src_bottom, src_span, dest_span, weight);
  }

private:
#if PX_HAVE_AVX2_KERNELS
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"
  // Eight filtered pixel words into eight destination pixels. A clobber stores them; the
  // full-strength source-alpha copy (the weight is not read) takes the row kernel's lanes, four
  // pixels at a time.
  PX_AVX2_INLINE void combine8(PX_pixel_chan* pout, __m256i px, int weight)
  {
    if (std::is_same<COMBFUNC, pxi_CombinePixelsClobberNoClamp>::value)
    {
      _mm256_storeu_si256((__m256i*)pout, px);
      return;
    }
    if (std::is_same<COMBFUNC, pxi_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp>::value)
    {
      const pxi_CopySourceAlphaLanes<true> lanes(weight);
      const __m128i lo = _mm_loadu_si128((const __m128i*)pout);
      const __m128i hi = _mm_loadu_si128((const __m128i*)(pout + 16));
      _mm_storeu_si128((__m128i*)pout, lanes(lo, _mm256_castsi256_si128(px)));
      _mm_storeu_si128((__m128i*)(pout + 16), lanes(hi, _mm256_extracti128_si256(px, 1)));
      return;
    }
    PX_pixel words[8];
    _mm256_storeu_si256((__m256i*)words, px);
    const pxi_StaticCombiner<COMBFUNC> comb;
    for (int k = 0; k < 8; ++k)
      comb.word(pout + 4 * k, words[k], weight);
  }

  // Groups of eight pixels whose samples all lie in the interior (both neighbours inside, positions
  // not negative: the positions are linear, so the ends decide) take the eight-lane filter; the
  // rest go pixel by pixel.
  PX_AVX2 static void scaleBlitBilinearAvx2(PX_pixel_chan* dest, const PX_pixel_chan* src, int w,
                                            int h, int icurx, int icury, int idx, int idy,
                                            int clipright, int clipbottom, ptrdiff_t src_span,
                                            ptrdiff_t dest_span, int weight)
  {
    const int span = (int)(src_span / 4);
    const int64_t limit = (int64_t)(clipright - 1) * 65536;  // first position without a right pixel
    int64_t cury = icury;
    for (int row = 0; row < h; ++row, cury += idy)
    {
      pxi_ScaleRow r;
      if (!pxi_ScaleRowAt(dest, src, row, cury, clipbottom, src_span, dest_span, &r))
        continue;
      PX_pixel_chan* pout = r.out;
      const __m256i yf = _mm256_set1_epi32((int)r.yfrac);
      int64_t curx = icurx;
      for (int n = 0; n < w;)
      {
        const int64_t end = curx + 7 * (int64_t)idx;
        if (!r.lastRow && n + 8 <= w && curx >= 0 && end >= 0 && curx < limit && end < limit)
        {
          const __m256i pos = pxi_Walk8(curx, idx);
          combine8(pout,
                   pxi_Bilinear8((const int*)r.in, _mm256_srli_epi32(pos, 16), span,
                                 _mm256_and_si256(pos, _mm256_set1_epi32(0xFFFF)), yf),
                   weight);
          n += 8, pout += 32, curx += 8 * (int64_t)idx;
        }
        else
        {
          pxi_ScaleBilinearPixel(pxi_StaticCombiner<COMBFUNC>(), pout, r.in, curx, r.yfrac,
                                 r.lastRow, clipright, src_span, weight);
          n += 1, pout += 4, curx += idx;
        }
      }
    }
  }

  PX_AVX2 static void deltaBlitBilinearAvx2(PX_pixel_chan* dest, const PX_pixel_chan* src, int w,
                                            int h, int isrcx, int isrcy, int idsdx, int idtdx,
                                            int idsdy, int idtdy, int src_left, int src_top,
                                            int src_right, int src_bottom, ptrdiff_t src_span,
                                            ptrdiff_t dest_span, int weight)
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
    for (int row = 0; row < h; ++row, rs += idsdy, rt += idtdy)
    {
      PX_pixel_chan* pout = dest + (ptrdiff_t)row * dest_span;
      int64_t s = rs, t = rt;
      for (int n = 0; n < w;)
      {
        if (n + 8 <= w && inside(s, t) && inside(s + 7 * (int64_t)idsdx, t + 7 * (int64_t)idtdx))
        {
          const __m256i ps = pxi_Walk8(s, idsdx), pt = pxi_Walk8(t, idtdx);
          const __m256i index =
            _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srli_epi32(pt, 16), _mm256_set1_epi32(span)),
                             _mm256_srli_epi32(ps, 16));
          combine8(pout,
                   pxi_Bilinear8((const int*)src, index, span, _mm256_and_si256(ps, fracMask),
                                 _mm256_and_si256(pt, fracMask)),
                   weight);
          n += 8, pout += 32, s += 8 * (int64_t)idsdx, t += 8 * (int64_t)idtdx;
        }
        else
        {
          pxi_DeltaPixel<true>(pxi_StaticCombiner<COMBFUNC>(), pout, src, s, t, src_left, src_top,
                               src_right, src_bottom, src_span, weight);
          n += 1, pout += 4, s += idsdx, t += idtdx;
        }
      }
    }
  }
#pragma GCC diagnostic pop
#endif
};
