// The pixel combiners: every drawing loop of the raster library ends in one of these stateless
// classes, each with one static operation that merges a source colour into one destination pixel
// under an integer weight (256 = full). Loops are templates over the combiner, so the choice is
// made once per call and no inner loop tests a mode.
//
// Channel combiners: doPix(dest, r, g, b, a, alpha), dest the four bytes of one pixel (blue, green,
// red, alpha), r/g/b/a the source channels, alpha the weight. Whole-pixel combiners (FAST):
// doPixFAST(dest, src) on pixel words, all lanes at once.
//
// Arithmetic: divisions truncate toward zero (-1/256 is 0). Intermediates are 64-bit, so channels
// within +-PX_MAX_CHANNEL and weights within +-PX_MAX_WEIGHT never overflow; inside the 32-bit
// range the results are those of plain int arithmetic.
#pragma once

#include "raster/px.h"
#include "raster/px_setup.h"

#include <cstdint>

typedef int64_t PX_CombineInt;

// ---------------------------------------------------------------------------------------------
// Pixel stores

// Saturating store: a value with any bit above the low eight becomes 0 when negative, else 255.
static inline void pxi_MakePixelClamp(PX_pixel_chan* out, PX_CombineInt r, PX_CombineInt g,
                                      PX_CombineInt b, PX_CombineInt a)
{
#define PXI_CLAMP8(v) ((v) & ~(PX_CombineInt)0xFF ? ((v) < 0 ? 0 : 255) : (v))
  out[PX_PIXEL_B] = (PX_pixel_chan)PXI_CLAMP8(b);
  out[PX_PIXEL_G] = (PX_pixel_chan)PXI_CLAMP8(g);
  out[PX_PIXEL_R] = (PX_pixel_chan)PXI_CLAMP8(r);
  out[PX_PIXEL_A] = (PX_pixel_chan)PXI_CLAMP8(a);
#undef PXI_CLAMP8
}

// Wrapping store: the low eight bits of each value.
static inline void pxi_MakePixelNoClamp(PX_pixel_chan* out, PX_CombineInt r, PX_CombineInt g,
                                        PX_CombineInt b, PX_CombineInt a)
{
  out[PX_PIXEL_B] = (PX_pixel_chan)(b & 0xFF);
  out[PX_PIXEL_G] = (PX_pixel_chan)(g & 0xFF);
  out[PX_PIXEL_R] = (PX_pixel_chan)(r & 0xFF);
  out[PX_PIXEL_A] = (PX_pixel_chan)(a & 0xFF);
}

// ---------------------------------------------------------------------------------------------
// Integer HSV: hue 0..383 in six sextants of 64 (0 red, 64 yellow, 128 green, 192 cyan, 256 blue,
// 320 magenta), saturation and value 0..255.

struct pxi_InvTab
{
  uint16_t v[256];
  constexpr pxi_InvTab()
    : v()
  {
    for (int i = 1; i < 256; ++i)
      v[i] = (uint16_t)(65536 / i - 1);
  }
};
// Entry 0 is 0, entry i is floor(65536 / i) - 1.
inline constexpr pxi_InvTab pxi_RGB2HSV_invtab{};

static inline void pxi_RGB2HSV(int r, int g, int b, int* h, int* s, int* v)
{
  int max, base, min, diff;
  if (r < g)
  {
    if (b < g)
    {
      max = g, base = 128, min = r < b ? r : b, diff = b - r;
    }
    else
    {
      max = b, base = 256, min = r < g ? r : g, diff = r - g;
    }
  }
  else if (b < r)
  {
    if (g < b)
      max = r, base = 383, min = g, diff = g - b;
    else
      max = r, base = 0, min = b, diff = g - b;
  }
  else
  {
    max = b, base = 256, min = r < g ? r : g, diff = r - g;
  }
  const int delta = max - min;
  *h = ((int)pxi_RGB2HSV_invtab.v[delta] + 1) * diff / 1024 + base;
  *s = (int)pxi_RGB2HSV_invtab.v[max] * delta / 256;
  *v = max;
}

// The channels of pxi_HSV2Pix before they are reduced to eight bits.
static inline void pxi_HSV2RGB(PX_CombineInt h, PX_CombineInt s, PX_CombineInt v, PX_CombineInt* r,
                               PX_CombineInt* g, PX_CombineInt* b)
{
  const PX_CombineInt P = (256 - s) * v / 256;
#define PXI_Q(k) (((k)*s + 16384) * v / 16384)
  if (h < 192)
  {
    if (h < 64)
      *r = v, *g = PXI_Q(h - 64), *b = P;
    else if (h < 128)
      *r = PXI_Q(64 - h), *g = v, *b = P;
    else
      *r = P, *g = v, *b = PXI_Q(h - 192);
  }
  else if (h < 256)
  {
    *r = P, *g = PXI_Q(192 - h), *b = v;
  }
  else if (h < 320)
  {
    *r = PXI_Q(h - 320), *g = P, *b = v;
  }
  else
  {
    *r = v, *g = P, *b = PXI_Q(320 - h);
  }
#undef PXI_Q
}

static inline PX_pixel pxi_HSV2Pix(PX_CombineInt h, PX_CombineInt s, PX_CombineInt v,
                                   PX_CombineInt alpha)
{
  PX_CombineInt r, g, b;
  pxi_HSV2RGB(h, s, v, &r, &g, &b);
  return ((PX_pixel)(alpha & 0xFF) << 24) | ((PX_pixel)(r & 0xFF) << 16) |
         ((PX_pixel)(g & 0xFF) << 8) | (PX_pixel)(b & 0xFF);
}

// ---------------------------------------------------------------------------------------------
// Channel combiners

#define PXI_D(c) ((PX_CombineInt)dest[PX_PIXEL_##c])

class pxi_CombinePixelsCopyNoClamp
{
public:
  static inline void doPix(PX_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    const PX_CombineInt k = 256 - (PX_CombineInt)alpha;
    pxi_MakePixelNoClamp(dest, r + (PXI_D(R) - r) * k / 256, g + (PXI_D(G) - g) * k / 256,
                         b + (PXI_D(B) - b) * k / 256, a + (PXI_D(A) - a) * k / 256);
  }
};

class pxi_CombinePixelsCopyClamp
{
public:
  static inline void doPix(PX_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    const PX_CombineInt k = 256 - (PX_CombineInt)alpha;
    pxi_MakePixelClamp(dest, r + (PXI_D(R) - r) * k / 256, g + (PXI_D(G) - g) * k / 256,
                       b + (PXI_D(B) - b) * k / 256, a + (PXI_D(A) - a) * k / 256);
  }
};

class pxi_CombinePixelsClobberNoClamp
{
public:
  static inline void doPix(PX_pixel_chan* dest, int r, int g, int b, int a, int)
  {
    pxi_MakePixelNoClamp(dest, r, g, b, a);
  }
};

class pxi_CombinePixelsClobberClamp
{
public:
  static inline void doPix(PX_pixel_chan* dest, int r, int g, int b, int a, int)
  {
    pxi_MakePixelClamp(dest, r, g, b, a);
  }
};

class pxi_CombinePixelsAdd
{
public:
  static inline void doPix(PX_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    const PX_CombineInt w = alpha;
    pxi_MakePixelClamp(dest, PXI_D(R) + r * w / 256, PXI_D(G) + g * w / 256, PXI_D(B) + b * w / 256,
                       PXI_D(A) + a * w / 256);
  }
};

#define PXI_MUL(c, s) (PXI_D(c) * ((256 - w) * 256 + (s)*w) / 65536)

class pxi_CombinePixelsMulNoClamp
{
public:
  static inline void doPix(PX_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    const PX_CombineInt w = alpha;
    pxi_MakePixelNoClamp(dest, PXI_MUL(R, r), PXI_MUL(G, g), PXI_MUL(B, b), PXI_MUL(A, a));
  }
};

class pxi_CombinePixelsMulClamp
{
public:
  static inline void doPix(PX_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    const PX_CombineInt w = alpha;
    pxi_MakePixelClamp(dest, PXI_MUL(R, r), PXI_MUL(G, g), PXI_MUL(B, b), PXI_MUL(A, a));
  }
};

#undef PXI_MUL

class pxi_CombinePixelsOverlay
{
public:
  static inline PX_CombineInt chan(PX_CombineInt d, PX_CombineInt s, PX_CombineInt w)
  {
    const PX_CombineInt m = (256 - w) * 128 + s * w;
    return (m + (32768 - m) * d / 256) * d / 32768;
  }
  static inline void doPix(PX_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    pxi_MakePixelClamp(dest, chan(PXI_D(R), r, alpha), chan(PXI_D(G), g, alpha),
                       chan(PXI_D(B), b, alpha), chan(PXI_D(A), a, alpha));
  }
};

class pxi_CombinePixelsColorDodge
{
public:
  static inline PX_CombineInt chan(PX_CombineInt d, PX_CombineInt s, PX_CombineInt w)
  {
    const PX_CombineInt q = 256 - s * w / 256;
    return q > 1 ? d * 256 / q : d * 256;
  }
  static inline void doPix(PX_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    pxi_MakePixelClamp(dest, chan(PXI_D(R), r, alpha), chan(PXI_D(G), g, alpha),
                       chan(PXI_D(B), b, alpha), chan(PXI_D(A), a, alpha));
  }
};

class pxi_CombinePixelsHalfMixNoClamp
{
public:
  static inline void doPix(PX_pixel_chan* dest, int r, int g, int b, int a, int)
  {
    pxi_MakePixelNoClamp(dest, (PXI_D(R) + r) / 2, (PXI_D(G) + g) / 2, (PXI_D(B) + b) / 2,
                         (PXI_D(A) + a) / 2);
  }
};

// The source colour shifts the destination's hue, saturation and value around mid-grey; the
// result's alpha is the source alpha.
class pxi_CombinePixelsHSVAdjust
{
public:
  static inline void doPix(PX_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    int h0, s0, v0;
    pxi_RGB2HSV(dest[PX_PIXEL_R], dest[PX_PIXEL_G], dest[PX_PIXEL_B], &h0, &s0, &v0);
    const PX_CombineInt w = alpha;
    PX_CombineInt h = h0 + ((PX_CombineInt)r + r / 2 - 192) * w / 256;
    if (h < 0)
      h += 384;
    else if (h > 383)
      h -= 384;
    PX_CombineInt s = s0 + ((PX_CombineInt)g - 128) * w / 128;
    s = s < 0 ? 0 : s > 255 ? 255 : s;
    PX_CombineInt v = v0 + ((PX_CombineInt)b - 128) * w / 128;
    v = v < 0 ? 0 : v > 255 ? 255 : v;
    const PX_pixel p = pxi_HSV2Pix(h, s, v, a);
    dest[PX_PIXEL_B] = (PX_pixel_chan)(p & 0xFF);
    dest[PX_PIXEL_G] = (PX_pixel_chan)((p >> 8) & 0xFF);
    dest[PX_PIXEL_R] = (PX_pixel_chan)((p >> 16) & 0xFF);
    dest[PX_PIXEL_A] = (PX_pixel_chan)(p >> 24);
  }
};

// ---------------------------------------------------------------------------------------------
// Source-alpha combiners: the weight becomes w' = (a + 1) * w / 256.

static inline int pxi_SourceAlphaWeight(int a, int w)
{
  return (int)(((PX_CombineInt)a + 1) * w / 256);
}

class pxi_CombinePixelsAddSourceAlpha
{
public:
  static inline void doPix(PX_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    if (a == 0)
      return;
    pxi_CombinePixelsAdd::doPix(dest, r, g, b, a, pxi_SourceAlphaWeight(a, alpha));
  }
};

class pxi_CombinePixelsMulSourceAlphaNoClamp
{
public:
  static inline void doPix(PX_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    if (a == 0)
      return;
    pxi_CombinePixelsMulNoClamp::doPix(dest, r, g, b, a, pxi_SourceAlphaWeight(a, alpha));
  }
};

class pxi_CombinePixelsMulSourceAlphaClamp
{
public:
  static inline void doPix(PX_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    if (a == 0)
      return;
    pxi_CombinePixelsMulClamp::doPix(dest, r, g, b, a, pxi_SourceAlphaWeight(a, alpha));
  }
};

class pxi_CombinePixelsOverlaySourceAlpha
{
public:
  static inline void doPix(PX_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    pxi_CombinePixelsOverlay::doPix(dest, r, g, b, a, pxi_SourceAlphaWeight(a, alpha));
  }
};

class pxi_CombinePixelsColorDodgeSourceAlpha
{
public:
  static inline void doPix(PX_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    pxi_CombinePixelsColorDodge::doPix(dest, r, g, b, a, pxi_SourceAlphaWeight(a, alpha));
  }
};

class pxi_CombinePixelsHSVAdjustSourceAlpha
{
public:
  static inline void doPix(PX_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    pxi_CombinePixelsHSVAdjust::doPix(dest, r, g, b, a, pxi_SourceAlphaWeight(a, alpha));
  }
};

// Colour blends by w'; the destination alpha accumulates coverage (d + w', at most 255).
class pxi_CombinePixelsCopySourceAlphaNoClamp
{
public:
  static inline void doPix(PX_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    if (a == 0)
      return;
    const PX_CombineInt w = pxi_SourceAlphaWeight(a, alpha), k = 256 - w;
    const PX_CombineInt da = PXI_D(A) + w;
    pxi_MakePixelNoClamp(dest, r + (PXI_D(R) - r) * k / 256, g + (PXI_D(G) - g) * k / 256,
                         b + (PXI_D(B) - b) * k / 256, da < 255 ? da : 255);
  }
};

class pxi_CombinePixelsCopySourceAlphaClamp
{
public:
  static inline void doPix(PX_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    if (a == 0)
      return;
    const PX_CombineInt w = pxi_SourceAlphaWeight(a, alpha), k = 256 - w;
    pxi_MakePixelClamp(dest, r + (PXI_D(R) - r) * k / 256, g + (PXI_D(G) - g) * k / 256,
                       b + (PXI_D(B) - b) * k / 256, PXI_D(A) + w);
  }
};

// Full-strength source-alpha copy: the weight is not read, the source alpha alone blends.
class pxi_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp
{
public:
  static inline void doPix(PX_pixel_chan* dest, int r, int g, int b, int a, int)
  {
    if (a == 0)
      return;
    if (a == 255)
    {
      pxi_MakePixelNoClamp(dest, r, g, b, 255);
      return;
    }
    const PX_CombineInt k = 255 - (PX_CombineInt)a, da = PXI_D(A) + a;
    pxi_MakePixelNoClamp(dest, r + (PXI_D(R) - r) * k / 256, g + (PXI_D(G) - g) * k / 256,
                         b + (PXI_D(B) - b) * k / 256, da < 255 ? da : 255);
  }
};

class pxi_CombinePixelsCopySourceAlphaIgnoreAlphaParmClamp
{
public:
  static inline void doPix(PX_pixel_chan* dest, int r, int g, int b, int a, int)
  {
    if (a == 0)
      return;
    if (a == 255)
    {
      pxi_MakePixelClamp(dest, r, g, b, 255);
      return;
    }
    const PX_CombineInt k = 255 - (PX_CombineInt)a;
    pxi_MakePixelClamp(dest, r + (PXI_D(R) - r) * k / 256, g + (PXI_D(G) - g) * k / 256,
                       b + (PXI_D(B) - b) * k / 256, PXI_D(A) + a);
  }
};

#undef PXI_D

// ---------------------------------------------------------------------------------------------
// Whole-pixel combiners. The "2" variants take a source the caller has already scaled.

class pxi_CombinePixelsClobberFAST
{
public:
  static inline void doPixFAST(PX_pixel* dest, PX_pixel src) { *dest = src; }
};

class pxi_CombinePixelsHalfMixFAST
{
public:
  static inline void doPixFAST(PX_pixel* dest, PX_pixel src)
  {
    *dest = ((*dest >> 1) & 0x7F7F7F7Fu) + ((src >> 1) & 0x7F7F7F7Fu);
  }
};

// src = (c >> 1) & 0x7F7F7F7F
class pxi_CombinePixelsHalfMix2FAST
{
public:
  static inline void doPixFAST(PX_pixel* dest, PX_pixel src)
  {
    *dest = ((*dest >> 1) & 0x7F7F7F7Fu) + src;
  }
};

// Three quarters destination; src = (c >> 2) & 0x3F3F3F3F
class pxi_CombinePixelsQuarterMix2FAST
{
public:
  static inline void doPixFAST(PX_pixel* dest, PX_pixel src)
  {
    const PX_pixel d = *dest;
    *dest = ((d >> 1) & 0x7F7F7F7Fu) + ((d >> 2) & 0x3F3F3F3Fu) + src;
  }
};

// One quarter destination; src = ((c >> 1) & 0x7F7F7F7F) + ((c >> 2) & 0x3F3F3F3F)
class pxi_CombinePixelsThreeQuarterMix2FAST
{
public:
  static inline void doPixFAST(PX_pixel* dest, PX_pixel src)
  {
    *dest = ((*dest >> 2) & 0x3F3F3F3Fu) + src;
  }
};

// ---------------------------------------------------------------------------------------------
// Combiner selection. A call picks its combiner once from key = mode & PX_MODE_KEY_MASK and the
// weight, then instantiates its loop for it:
//
//   pxi_SelectNoClamp(mode, w, [&](auto tag) {
//     using C = typename decltype(tag)::type;
//     pxi_Template_Blit2<C>::blit(...);
//   });
//
// The selectors answer false (and call nothing) when the table has no combiner: an unknown key,
// or copy mode with a negative weight. w = 0 is the caller's test.

template <class C>
struct pxi_CombinerTag
{
  typedef C type;
};

typedef void (*PX_COMBINEFUNC)(PX_pixel_chan* dest, int r, int g, int b, int a, int alpha);

template <class F>
static inline bool pxi_SelectNoClamp(int mode, int w, F&& f)
{
  switch (mode & PX_MODE_KEY_MASK)
  {
    case PX_MODE_COPY:
      if (w == 256)
        f(pxi_CombinerTag<pxi_CombinePixelsClobberNoClamp>());
      else if (w >= 0)
        f(pxi_CombinerTag<pxi_CombinePixelsCopyNoClamp>());
      else
        return false;
      return true;
    case PX_MODE_ADD:
      f(pxi_CombinerTag<pxi_CombinePixelsAdd>());
      return true;
    case PX_MODE_COLORDODGE:
      f(pxi_CombinerTag<pxi_CombinePixelsColorDodge>());
      return true;
    case PX_MODE_MUL:
      f(pxi_CombinerTag<pxi_CombinePixelsMulNoClamp>());
      return true;
    case PX_MODE_OVERLAY:
      f(pxi_CombinerTag<pxi_CombinePixelsOverlay>());
      return true;
    case PX_MODE_HSVADJUST:
      f(pxi_CombinerTag<pxi_CombinePixelsHSVAdjust>());
      return true;
    case PX_MODE_SOURCEALPHA | PX_MODE_COPY:
      if (w == 256)
        f(pxi_CombinerTag<pxi_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp>());
      else
        f(pxi_CombinerTag<pxi_CombinePixelsCopySourceAlphaNoClamp>());
      return true;
    case PX_MODE_SOURCEALPHA | PX_MODE_ADD:
      f(pxi_CombinerTag<pxi_CombinePixelsAddSourceAlpha>());
      return true;
    case PX_MODE_SOURCEALPHA | PX_MODE_COLORDODGE:
      f(pxi_CombinerTag<pxi_CombinePixelsColorDodgeSourceAlpha>());
      return true;
    case PX_MODE_SOURCEALPHA | PX_MODE_MUL:
      f(pxi_CombinerTag<pxi_CombinePixelsMulSourceAlphaNoClamp>());
      return true;
    case PX_MODE_SOURCEALPHA | PX_MODE_OVERLAY:
      f(pxi_CombinerTag<pxi_CombinePixelsOverlaySourceAlpha>());
      return true;
    case PX_MODE_SOURCEALPHA | PX_MODE_HSVADJUST:
      f(pxi_CombinerTag<pxi_CombinePixelsHSVAdjustSourceAlpha>());
      return true;
    default:
      return false;
  }
}

template <class F>
static inline bool pxi_SelectClamp(int mode, int w, F&& f)
{
  switch (mode & PX_MODE_KEY_MASK)
  {
    case PX_MODE_COPY:
      if (w == 256)
        f(pxi_CombinerTag<pxi_CombinePixelsClobberClamp>());
      else if (w >= 0)
        f(pxi_CombinerTag<pxi_CombinePixelsCopyClamp>());
      else
        return false;
      return true;
    case PX_MODE_MUL:
      f(pxi_CombinerTag<pxi_CombinePixelsMulClamp>());
      return true;
    case PX_MODE_SOURCEALPHA | PX_MODE_COPY:
      if (w == 256)
        f(pxi_CombinerTag<pxi_CombinePixelsCopySourceAlphaIgnoreAlphaParmClamp>());
      else
        f(pxi_CombinerTag<pxi_CombinePixelsCopySourceAlphaClamp>());
      return true;
    case PX_MODE_SOURCEALPHA | PX_MODE_MUL:
      f(pxi_CombinerTag<pxi_CombinePixelsMulSourceAlphaClamp>());
      return true;
    default:
      return pxi_SelectNoClamp(mode, w, static_cast<F&&>(f));
  }
}

// The NoClamp table's combiner as a function pointer (for the delta blit), or null.
static inline PX_COMBINEFUNC pxi_NoClampCombineFunc(int mode, int w)
{
  PX_COMBINEFUNC fn = nullptr;
  pxi_SelectNoClamp(mode, w, [&](auto tag) { fn = &decltype(tag)::type::doPix; });
  return fn;
}

// The weight for alpha and the NoClamp combiner for mode at it; null (nothing to draw) when alpha
// gives no usable or a zero weight, or mode has no such combiner.
static inline PX_COMBINEFUNC pxi_NoClampCombineForAlpha(double alpha, int mode, int* w)
{
  if (!pxi_WeightFromAlpha(alpha, w) || *w == 0)
    return nullptr;
  return pxi_NoClampCombineFunc(mode, *w);
}

// ---------------------------------------------------------------------------------------------
// Shapes, fills, single pixels and glyphs. Keyed on the operation byte (op = mode &
// PX_MODE_MASK); the caller has rejected weight 0.

// One weight for every pixel of the call (axis, diagonal, general and dashed lines, plain
// circles; after pxi_SelectSolidFast, fills, pixels and trapezoids): copy at weight 128 is the
// half mix.
template <class F>
static inline bool pxi_SelectShapePlain(int op, int ia, F&& f)
{
  if (op != PX_MODE_COPY)  // operations 1 to 5 as in every other table
    return op <= PX_MODE_HSVADJUST && pxi_SelectNoClamp(op, ia, static_cast<F&&>(f));
  if (ia == 256)
    f(pxi_CombinerTag<pxi_CombinePixelsClobberNoClamp>());
  else if (ia == 128)
    f(pxi_CombinerTag<pxi_CombinePixelsHalfMixNoClamp>());
  else if (ia >= 1)
    f(pxi_CombinerTag<pxi_CombinePixelsCopyNoClamp>());
  else
    return false;
  return true;
}

// Loops that scale the weight per pixel (anti-aliased lines and circles, glyph coverage): copy
// always blends by weight.
template <class F>
static inline bool pxi_SelectShapeAA(int op, int ia, F&& f)
{
  if (op == PX_MODE_COPY)
  {
    if (ia < 1)
      return false;
    f(pxi_CombinerTag<pxi_CombinePixelsCopyNoClamp>());
    return true;
  }
  return pxi_SelectShapePlain(op, ia, static_cast<F&&>(f));
}

// The whole-pixel solid-colour paths of copy at weights 256, 128, 64 and 192: calls
// f(tag, value) with the combiner and the colour as it wants it (pre-scaled); false for any other
// operation or weight.
template <class F>
static inline bool pxi_SelectSolidFast(int op, int w, PX_pixel color, F&& f)
{
  if (op != PX_MODE_COPY)
    return false;
  const PX_pixel half = (color >> 1) & 0x7F7F7F7Fu, quarter = (color >> 2) & 0x3F3F3F3Fu;
  switch (w)
  {
    case 256:
      f(pxi_CombinerTag<pxi_CombinePixelsClobberFAST>(), color);
      return true;
    case 128:
      f(pxi_CombinerTag<pxi_CombinePixelsHalfMix2FAST>(), half);
      return true;
    case 64:
      f(pxi_CombinerTag<pxi_CombinePixelsQuarterMix2FAST>(), quarter);
      return true;
    case 192:
      f(pxi_CombinerTag<pxi_CombinePixelsThreeQuarterMix2FAST>(), quarter + half);
      return true;
    default:
      return false;
  }
}

// A solid colour at one weight (fills, single pixels, trapezoids): the whole-pixel path where copy
// has one (fast(tag, value)), else the channel combiner (f(tag)).
template <class FAST, class F>
static inline bool pxi_SelectSolid(int op, int w, PX_pixel color, FAST&& fast, F&& f)
{
  return pxi_SelectSolidFast(op, w, color, static_cast<FAST&&>(fast)) ||
         (w != 0 && pxi_SelectShapePlain(op, w, static_cast<F&&>(f)));
}

// The lines' solid paths (copy, caller's test), taken only when alpha * 256 is a whole number
// (alpha exactly 1, 0.5, 0.25 or 0.75); other alphas blend through the channel combiners.
template <class F>
static inline bool pxi_SelectShapeFast(float alpha, PX_pixel color, F&& f)
{
  const float p = alpha * 256.0f;
  return p >= 0.0f && p <= 256.0f && p == (float)(int)p &&
         pxi_SelectSolidFast(PX_MODE_COPY, (int)p, color, static_cast<F&&>(f));
}
