// The bilinear loops of the scaled and rotated blits (the generic templates and the eight-lane
// kernels) give exactly the results of the bilinear edge rules written out with the scalar
// filters, for every kind of combiner, walk direction, row order and edge.
#include "raster/px_scaled_kernels.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Lcg
{
  uint32_t v;
  uint32_t next() { return v = v * 1664525u + 1013904223u, v ^ (v >> 15); }
  int range(int lo, int hi) { return lo + (int)(next() % (uint32_t)(hi - lo + 1)); }
};

// A source and a destination of random pixels (alpha included, with some fully transparent and
// fully opaque ones), walked top-down or bottom-up.
struct Images
{
  int sw, sh, dw, dh;
  bool srcUp, destUp;
  std::vector<PX_pixel> src, dest;
  Images(Lcg& rng)
    : sw(rng.range(2, 40))
    , sh(rng.range(2, 30))
    , dw(rng.range(1, 50))
    , dh(rng.range(1, 20))
    , srcUp(rng.next() & 1)
    , destUp(rng.next() & 1)
    , src((size_t)sw * sh)
    , dest((size_t)dw * dh)
  {
    for (auto& p : src)
      p = rng.next() | (rng.next() & 1 ? 0xFF000000u : 0u);
    for (size_t i = 0; i < src.size(); i += 3)
      src[i] &= 0x00FFFFFF;
    for (auto& p : dest)
      p = rng.next();
  }
  const PX_pixel_chan* srcStart() const
  {
    return (const PX_pixel_chan*)(srcUp ? &src[(size_t)(sh - 1) * sw] : src.data());
  }
  ptrdiff_t srcSpan() const { return (srcUp ? -4 : 4) * (ptrdiff_t)sw; }
  PX_pixel_chan* destStart(std::vector<PX_pixel>& d) const
  {
    return (PX_pixel_chan*)(destUp ? &d[(size_t)(dh - 1) * dw] : d.data());
  }
  ptrdiff_t destSpan() const { return (destUp ? -4 : 4) * (ptrdiff_t)dw; }
};

// The bilinear edge rules written out plainly with the scalar filters: interior samples filter
// four pixels, the last column only vertically, the last row only horizontally, the last pixel
// not at all.
template <class C>
void sampleBilinear(PX_pixel_chan* out, const PX_pixel_chan* p, ptrdiff_t span, bool right,
                    bool below, unsigned int xfrac, unsigned int yfrac, int weight)
{
  int r, g, b, a;
  if (right && below)
    pxi_BilinearFilterI(&r, &g, &b, &a, p, p + span, xfrac, yfrac);
  else if (below)
    pxi_LinearFilterI(&r, &g, &b, &a, p, p + span, yfrac);
  else if (right)
    pxi_LinearFilterI(&r, &g, &b, &a, p, p + 4, xfrac);
  else
    r = p[PX_PIXEL_R], g = p[PX_PIXEL_G], b = p[PX_PIXEL_B], a = p[PX_PIXEL_A];
  C::doPix(out, r, g, b, a, weight);
}

template <class C>
void referenceScaled(PX_pixel_chan* dest, const PX_pixel_chan* src, int w, int h, int sx, int sy,
                     int idx, int idy, int cr, int cb, ptrdiff_t sspan, ptrdiff_t dspan, int weight)
{
  for (int row = 0; row < h; ++row)
  {
    const long long cy = sy + (long long)row * idy, y = cy / 65536;
    if (y < 0 || y >= cb)
      continue;
    for (int n = 0; n < w; ++n)
    {
      const long long cx = sx + (long long)n * idx, x = cx / 65536;
      if (x < 0 || x >= cr)
        continue;
      sampleBilinear<C>(dest + row * dspan + n * 4, src + y * sspan + x * 4, sspan, x < cr - 1,
                        y < cb - 1, (unsigned int)(cx & 0xFFFF), (unsigned int)(cy & 0xFFFF),
                        weight);
    }
  }
}

template <class C>
void referenceDelta(PX_pixel_chan* dest, const PX_pixel_chan* src, int w, int h, int sx, int sy,
                    int dsdx, int dtdx, int dsdy, int dtdy, int left, int top, int right,
                    int bottom, ptrdiff_t sspan, ptrdiff_t dspan, int weight)
{
  for (int row = 0; row < h; ++row)
    for (int n = 0; n < w; ++n)
    {
      const long long s = sx + (long long)row * dsdy + (long long)n * dsdx;
      const long long t = sy + (long long)row * dtdy + (long long)n * dtdx;
      const long long x = s / 65536, y = t / 65536;
      if (y < top || y >= bottom || x < left || x >= right)
        continue;
      sampleBilinear<C>(dest + row * dspan + n * 4, src + y * sspan + x * 4, sspan, x < right - 1,
                        y < bottom - 1, (unsigned int)(s & 0xFFFF), (unsigned int)(t & 0xFFFF),
                        weight);
    }
}

template <class C>
void compareScaled(int weight, uint32_t seed)
{
  Lcg rng{seed};
  for (int trial = 0; trial < 300; ++trial)
  {
    Images im(rng);
    // Steps of either sign, starts that begin left of or inside the source, limits inside it.
    const int idx = rng.range(-3 * 65536, 3 * 65536), idy = rng.range(-2 * 65536, 2 * 65536);
    const int sx = rng.range(-2 * 65536, im.sw * 65536), sy = rng.range(-65536, im.sh * 65536);
    const int cr = rng.range(1, im.sw), cb = rng.range(1, im.sh);
    std::vector<PX_pixel> want = im.dest, generic = im.dest, fast = im.dest;
    referenceScaled<C>(im.destStart(want), im.srcStart(), im.dw, im.dh, sx, sy, idx, idy, cr, cb,
                       im.srcSpan(), im.destSpan(), weight);
    pxi_Template_Blit2<C>::scaleBlit(im.destStart(generic), im.srcStart(), im.dw, im.dh, sx, sy,
                                     idx, idy, cr, cb, im.srcSpan(), im.destSpan(), weight,
                                     PX_FILTER_BILINEAR);
    pxi_ScaledKernels<C>::scaleBlitBilinear(im.destStart(fast), im.srcStart(), im.dw, im.dh, sx, sy,
                                            idx, idy, cr, cb, im.srcSpan(), im.destSpan(), weight);
    ASSERT_EQ(generic, want) << "trial " << trial;
    ASSERT_EQ(fast, want) << "trial " << trial;
  }
}

template <class C>
void compareDelta(int weight, uint32_t seed)
{
  Lcg rng{seed};
  for (int trial = 0; trial < 300; ++trial)
  {
    Images im(rng);
    const int dsdx = rng.range(-2 * 65536, 2 * 65536), dtdx = rng.range(-2 * 65536, 2 * 65536);
    const int dsdy = rng.range(-2 * 65536, 2 * 65536), dtdy = rng.range(-2 * 65536, 2 * 65536);
    const int sx = rng.range(-10 * 65536, (im.sw + 10) * 65536);
    const int sy = rng.range(-10 * 65536, (im.sh + 10) * 65536);
    const int left = rng.range(0, im.sw - 1), top = rng.range(0, im.sh - 1);
    const int right = rng.range(left, im.sw), bottom = rng.range(top, im.sh);
    std::vector<PX_pixel> want = im.dest, generic = im.dest, fast = im.dest;
    referenceDelta<C>(im.destStart(want), im.srcStart(), im.dw, im.dh, sx, sy, dsdx, dtdx, dsdy,
                      dtdy, left, top, right, bottom, im.srcSpan(), im.destSpan(), weight);
    pxi_Template_Blit3::deltaBlit(im.destStart(generic), im.srcStart(), im.dw, im.dh, sx, sy, dsdx,
                                  dtdx, dsdy, dtdy, 0, 0, left, top, right, bottom, im.srcSpan(),
                                  im.destSpan(), weight, PX_FILTER_BILINEAR, &C::doPix);
    pxi_ScaledKernels<C>::deltaBlitBilinear(im.destStart(fast), im.srcStart(), im.dw, im.dh, sx, sy,
                                            dsdx, dtdx, dsdy, dtdy, left, top, right, bottom,
                                            im.srcSpan(), im.destSpan(), weight);
    ASSERT_EQ(generic, want) << "trial " << trial;
    ASSERT_EQ(fast, want) << "trial " << trial;
  }
}

struct Case
{
  const char* name;
  void (*scaled)(int, uint32_t);
  void (*delta)(int, uint32_t);
  int weight;
};

#define PX_CASE(C, w)                                                                              \
  {                                                                                                \
#C, &compareScaled < C>, &compareDelta < C>, w                                                 \
  }

}  // namespace

TEST(ScaledKernels, BilinearLoopsFollowTheScalarFilterAndEdgeRules)
{
  const Case cases[] = {
    PX_CASE(pxi_CombinePixelsClobberNoClamp, 256),
    PX_CASE(pxi_CombinePixelsCopyNoClamp, 77),
    PX_CASE(pxi_CombinePixelsAdd, 256),
    PX_CASE(pxi_CombinePixelsMulNoClamp, 140),
    PX_CASE(pxi_CombinePixelsHSVAdjust, 256),
    PX_CASE(pxi_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp, 256),
    PX_CASE(pxi_CombinePixelsCopySourceAlphaNoClamp, 200),
    PX_CASE(pxi_CombinePixelsOverlaySourceAlpha, 256),
  };
  uint32_t seed = 1;
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    c.scaled(c.weight, seed++);
    c.delta(c.weight, seed++);
  }
}

// One kernel set on both targets: the eight-lane loops are built wherever the compiler can make
// them, and run wherever the processor has AVX2 (the test above then compares both paths).
TEST(ScaledKernels, EightLaneLoopsAreBuiltOnEveryX64Target)
{
#if defined(__GNUC__) && defined(__x86_64__)
#if !PX_HAVE_AVX2_KERNELS
  ADD_FAILURE() << "the eight-lane loops are not built on this target";
#else
  RecordProperty("avx2", pxi_HasAvx2() ? "used" : "not on this processor");
#endif
#endif
}

// The four-channel filter gives the scalar filter's channels for any pixels and fractions.
TEST(ScaledKernels, WordFilterEqualsTheScalarFilter)
{
  Lcg rng{99};
  const unsigned int edges[] = {0, 1, 255, 256, 32767, 32768, 65280, 65534, 65535};
  for (int trial = 0; trial < 200000; ++trial)
  {
    PX_pixel px[4];
    for (PX_pixel& p : px)
      p = rng.next() | (trial & 1 ? 0xFF000000u : 0u);
    if (trial % 7 == 0)
      px[0] = px[1] = px[2] = px[3] = 0xFFFFFFFFu;
    const unsigned int xf = trial < 81 ? edges[trial % 9] : rng.next() & 0xFFFF;
    const unsigned int yf = trial < 81 ? edges[trial / 9] : rng.next() & 0xFFFF;
    int r, g, b, a;
    const PX_pixel_chan* top = (const PX_pixel_chan*)px;
    pxi_BilinearFilterI(&r, &g, &b, &a, top, top + 8, xf, yf);
    ASSERT_EQ(pxi_BilinearPixel(top, top + 8, xf, yf), PX_RGBA(r, g, b, a))
      << "fractions " << xf << "," << yf;
  }
}
