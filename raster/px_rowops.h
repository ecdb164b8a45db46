// Whole-row kernels for the hottest 1:1 blits: weighted copy, add, multiply and the source-alpha
// copies, four pixels at a time with SSE2. Each kernel computes exactly what its combiner of
// px_combine.h computes, for the weights it is chosen for (the caller's selection guarantees
// them); the row tail and non-SSE2 builds use the combiner itself.
//
// The trick common to all of them: with channels 0..255 and weights 0..256 every product a
// combiner forms fits an unsigned 16-bit lane, and a truncating division of a signed difference by
// 256 is the difference of two saturating unsigned subtractions, each shifted right by 8.
#pragma once

#include "raster/px.h"
#include "raster/px_combine.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Runs OP::row over h rows.
template <class OP>
static inline void pxi_BlitRows(PX_pixel_chan* dest, const PX_pixel_chan* src, int w, int h,
                                ptrdiff_t src_span, ptrdiff_t dest_span, int weight)
{
  for (int y = 0; y < h; ++y)
    OP::row(dest + (ptrdiff_t)y * dest_span, src + (ptrdiff_t)y * src_span, w, weight);
}

// Scalar tail: the combiner over n pixels.
template <class COMBFUNC>
static inline void pxi_RowTail(PX_pixel_chan* d, const PX_pixel_chan* s, int n, int weight)
{
  for (int i = 0; i < n; ++i, d += 4, s += 4)
    COMBFUNC::doPix(d, s[PX_PIXEL_R], s[PX_PIXEL_G], s[PX_PIXEL_B], s[PX_PIXEL_A], weight);
}

#if defined(__SSE2__)

// s + (d - s) * k / 256 per 16-bit lane, k in 0..256, truncating toward zero.
static inline __m128i pxi_LerpLanes(__m128i d, __m128i s, __m128i k)
{
  const __m128i dk = _mm_mullo_epi16(d, k), sk = _mm_mullo_epi16(s, k);
  const __m128i pos = _mm_srli_epi16(_mm_subs_epu16(dk, sk), 8);
  const __m128i neg = _mm_srli_epi16(_mm_subs_epu16(sk, dk), 8);
  return _mm_sub_epi16(_mm_add_epi16(s, pos), neg);
}

// Broadcasts each pixel's alpha lane (lanes 3 and 7) over its four lanes.
static inline __m128i pxi_AlphaLanes(__m128i v)
{
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0xFF), 0xFF);
}

#endif

// A row kernel: four pixels at a time with LANES, which computes what COMBFUNC computes for four
// destination and four source pixels at once; the rest of the row with COMBFUNC itself. LANES is
// constructed once per row from the weight.
template <class COMBFUNC, class LANES>
struct pxi_RowKernel
{
  static void row(PX_pixel_chan* d, const PX_pixel_chan* s, int n, int weight)
  {
    int i = 0;
#if defined(__SSE2__)
    const LANES lanes(weight);
    for (; i + 4 <= n; i += 4)
    {
      const __m128i dv = _mm_loadu_si128((const __m128i*)(d + i * 4));
      const __m128i sv = _mm_loadu_si128((const __m128i*)(s + i * 4));
      _mm_storeu_si128((__m128i*)(d + i * 4), lanes(dv, sv));
    }
#endif
    pxi_RowTail<COMBFUNC>(d + i * 4, s + i * 4, n - i, weight);
  }
};

struct pxi_CopyLanes;
struct pxi_AddFullLanes;
struct pxi_AddLanes;
struct pxi_MulLanes;
template <bool FULL>
struct pxi_CopySourceAlphaLanes;

// Copy at 0 < weight < 256.
typedef pxi_RowKernel<pxi_CombinePixelsCopyNoClamp, pxi_CopyLanes> pxi_RowCopy;
// Add at weight 256.
typedef pxi_RowKernel<pxi_CombinePixelsAdd, pxi_AddFullLanes> pxi_RowAddFull;
// Add at 0 < weight < 256.
typedef pxi_RowKernel<pxi_CombinePixelsAdd, pxi_AddLanes> pxi_RowAdd;
// Multiply at 0 < weight <= 256.
typedef pxi_RowKernel<pxi_CombinePixelsMulNoClamp, pxi_MulLanes> pxi_RowMul;
// Source-alpha copy. FULL: weight 256 (the copy that ignores the weight); otherwise
// 0 < weight < 256.
template <bool FULL>
using pxi_RowCopySourceAlpha = pxi_RowKernel<
  typename std::conditional<FULL, pxi_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp,
                            pxi_CombinePixelsCopySourceAlphaNoClamp>::type,
  pxi_CopySourceAlphaLanes<FULL>>;

#if defined(__SSE2__)

// s + (d - s) * (256 - w) / 256 per channel.
struct pxi_CopyLanes
{
  const __m128i zero = _mm_setzero_si128(), k;
  explicit pxi_CopyLanes(int weight)
    : k(_mm_set1_epi16((short)(256 - weight)))
  {}
  __m128i operator()(__m128i dv, __m128i sv) const
  {
    const __m128i lo = pxi_LerpLanes(_mm_unpacklo_epi8(dv, zero), _mm_unpacklo_epi8(sv, zero), k);
    const __m128i hi = pxi_LerpLanes(_mm_unpackhi_epi8(dv, zero), _mm_unpackhi_epi8(sv, zero), k);
    return _mm_packus_epi16(lo, hi);
  }
};

// d + s, saturated: one saturating byte add per lane.
struct pxi_AddFullLanes
{
  explicit pxi_AddFullLanes(int) {}
  __m128i operator()(__m128i dv, __m128i sv) const { return _mm_adds_epu8(dv, sv); }
};

// d + s * w / 256, saturated.
struct pxi_AddLanes
{
  const __m128i zero = _mm_setzero_si128(), w;
  explicit pxi_AddLanes(int weight)
    : w(_mm_set1_epi16((short)weight))
  {}
  __m128i operator()(__m128i dv, __m128i sv) const
  {
    const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(sv, zero), w), 8);
    const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(sv, zero), w), 8);
    return _mm_adds_epu8(dv, _mm_packus_epi16(lo, hi));
  }
};

// d * T / 65536 with T = (256 - w) * 256 + s * w, which stays below 65536 for w >= 1.
struct pxi_MulLanes
{
  const __m128i zero = _mm_setzero_si128(), w, base;
  explicit pxi_MulLanes(int weight)
    : w(_mm_set1_epi16((short)weight))
    , base(_mm_set1_epi16((short)((256 - weight) * 256)))
  {}
  __m128i operator()(__m128i dv, __m128i sv) const
  {
    const __m128i tlo = _mm_add_epi16(base, _mm_mullo_epi16(_mm_unpacklo_epi8(sv, zero), w));
    const __m128i thi = _mm_add_epi16(base, _mm_mullo_epi16(_mm_unpackhi_epi8(sv, zero), w));
    const __m128i lo = _mm_mulhi_epu16(_mm_unpacklo_epi8(dv, zero), tlo);
    const __m128i hi = _mm_mulhi_epu16(_mm_unpackhi_epi8(dv, zero), thi);
    return _mm_packus_epi16(lo, hi);
  }
};

// FULL: colour blended by k = 255 - a, alpha d + a. Otherwise w' = (a + 1) * w / 256,
// k = 256 - w', alpha d + w'. Pixels of source alpha 0 are left alone either way.
//
// Artwork is mostly wholly transparent or wholly opaque: four pixels of source alpha 0 leave the
// destination as it is, and (FULL) four of alpha 255 are the source itself, exactly what the
// blend gives; both skip the arithmetic.
template <bool FULL>
struct pxi_CopySourceAlphaLanes
{
  const __m128i zero = _mm_setzero_si128(), alphamask = _mm_set1_epi32((int)0xFF000000u);
  const __m128i c255 = _mm_set1_epi16(255), c256 = _mm_set1_epi16(256), one = _mm_set1_epi16(1);
  const __m128i w;
  explicit pxi_CopySourceAlphaLanes(int weight)
    : w(_mm_set1_epi16((short)weight))
  {}
  __m128i operator()(__m128i dv, __m128i sv) const
  {
    const __m128i sa = _mm_and_si128(sv, alphamask);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, zero)) == 0xFFFF)
      return dv;
    if (FULL && _mm_movemask_epi8(_mm_cmpeq_epi32(sa, alphamask)) == 0xFFFF)
      return sv;
    const __m128i slo = _mm_unpacklo_epi8(sv, zero), shi = _mm_unpackhi_epi8(sv, zero);
    const __m128i alo = pxi_AlphaLanes(slo), ahi = pxi_AlphaLanes(shi);
    __m128i klo, khi, cover;
    if (FULL)
    {
      klo = _mm_sub_epi16(c255, alo);
      khi = _mm_sub_epi16(c255, ahi);
      cover = _mm_and_si128(sv, alphamask);
    }
    else
    {
      const __m128i wlo = _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(alo, one), w), 8);
      const __m128i whi = _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(ahi, one), w), 8);
      klo = _mm_sub_epi16(c256, wlo);
      khi = _mm_sub_epi16(c256, whi);
      cover = _mm_and_si128(_mm_packus_epi16(wlo, whi), alphamask);
    }
    const __m128i lo = pxi_LerpLanes(_mm_unpacklo_epi8(dv, zero), slo, klo);
    const __m128i hi = pxi_LerpLanes(_mm_unpackhi_epi8(dv, zero), shi, khi);
    const __m128i colour = _mm_andnot_si128(alphamask, _mm_packus_epi16(lo, hi));
    const __m128i alpha = _mm_and_si128(_mm_adds_epu8(dv, cover), alphamask);
    const __m128i blended = _mm_or_si128(colour, alpha);
    const __m128i untouched = _mm_cmpeq_epi32(_mm_and_si128(sv, alphamask), zero);
    return _mm_or_si128(_mm_and_si128(untouched, dv), _mm_andnot_si128(untouched, blended));
  }
};

#endif

// Stores n copies of v from p on: the clobber fill's row. Long runs use the string store, which
// modern x86 cores run at full cache-line width; short ones aligned 16-byte stores.
static inline void pxi_FillWords(PX_pixel* p, size_t n, PX_pixel v)
{
  size_t i = 0;
#if defined(__GNUC__) && defined(__x86_64__)
  if (n >= 512)
  {
    __asm__ volatile("rep stosl" : "+D"(p), "+c"(n) : "a"(v) : "memory");
    return;
  }
#endif
#if defined(__SSE2__)
  for (; i < n && ((uintptr_t)(p + i) & 15); ++i)
    p[i] = v;
  const __m128i vv = _mm_set1_epi32((int)v);
  for (; i + 16 <= n; i += 16)
  {
    _mm_store_si128((__m128i*)(p + i), vv);
    _mm_store_si128((__m128i*)(p + i + 4), vv);
    _mm_store_si128((__m128i*)(p + i + 8), vv);
    _mm_store_si128((__m128i*)(p + i + 12), vv);
  }
  for (; i + 4 <= n; i += 4)
    _mm_store_si128((__m128i*)(p + i), vv);
#endif
  for (; i < n; ++i)
    p[i] = v;
}
