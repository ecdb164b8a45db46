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
// within +-LICE_MAX_CHANNEL and weights within +-LICE_MAX_WEIGHT never overflow; inside the 32-bit
// range the results are those of plain int arithmetic.
#pragma once

#include "raster/lice.h"
#include "raster/lice_setup.h"

#include <cstdint>

typedef int64_t LICE_CombineInt;

// ---------------------------------------------------------------------------------------------
// Pixel stores

// Saturating store: a value with any bit above the low eight becomes 0 when negative, else 255.
static inline void _LICE_MakePixelClamp(LICE_pixel_chan* out, LICE_CombineInt r, LICE_CombineInt g,
                                        LICE_CombineInt b, LICE_CombineInt a)
{
#define LICE__CLAMP8(v) ((v) & ~(LICE_CombineInt)0xFF ? ((v) < 0 ? 0 : 255) : (v))
  out[LICE_PIXEL_B] = (LICE_pixel_chan)LICE__CLAMP8(b);
  out[LICE_PIXEL_G] = (LICE_pixel_chan)LICE__CLAMP8(g);
  out[LICE_PIXEL_R] = (LICE_pixel_chan)LICE__CLAMP8(r);
  out[LICE_PIXEL_A] = (LICE_pixel_chan)LICE__CLAMP8(a);
#undef LICE__CLAMP8
}

// Wrapping store: the low eight bits of each value.
static inline void _LICE_MakePixelNoClamp(LICE_pixel_chan* out, LICE_CombineInt r, LICE_CombineInt g,
                                          LICE_CombineInt b, LICE_CombineInt a)
{
  out[LICE_PIXEL_B] = (LICE_pixel_chan)(b & 0xFF);
  out[LICE_PIXEL_G] = (LICE_pixel_chan)(g & 0xFF);
  out[LICE_PIXEL_R] = (LICE_pixel_chan)(r & 0xFF);
  out[LICE_PIXEL_A] = (LICE_pixel_chan)(a & 0xFF);
}

// ---------------------------------------------------------------------------------------------
// Integer HSV: hue 0..383 in six sextants of 64 (0 red, 64 yellow, 128 green, 192 cyan, 256 blue,
// 320 magenta), saturation and value 0..255.

struct _LICE_InvTab {
  uint16_t v[256];
  constexpr _LICE_InvTab() : v()
  {
    for (int i = 1; i < 256; ++i) v[i] = (uint16_t)(65536 / i - 1);
  }
};
// Entry 0 is 0, entry i is floor(65536 / i) - 1.
inline constexpr _LICE_InvTab _LICE_RGB2HSV_invtab{};

static inline void __LICE_RGB2HSV(int r, int g, int b, int* h, int* s, int* v)
{
  int max, base, min, diff;
  if (r < g) {
    if (b < g) {
      max = g, base = 128, min = r < b ? r : b, diff = b - r;
    } else {
      max = b, base = 256, min = r < g ? r : g, diff = r - g;
    }
  } else if (b < r) {
    if (g < b)
      max = r, base = 383, min = g, diff = g - b;
    else
      max = r, base = 0, min = b, diff = g - b;
  } else {
    max = b, base = 256, min = r < g ? r : g, diff = r - g;
  }
  const int delta = max - min;
  *h = ((int)_LICE_RGB2HSV_invtab.v[delta] + 1) * diff / 1024 + base;
  *s = (int)_LICE_RGB2HSV_invtab.v[max] * delta / 256;
  *v = max;
}

static inline LICE_pixel __LICE_HSV2Pix(LICE_CombineInt h, LICE_CombineInt s, LICE_CombineInt v,
                                        LICE_CombineInt alpha)
{
  const LICE_CombineInt P = (256 - s) * v / 256;
#define LICE__Q(k) (((k) * s + 16384) * v / 16384)
  LICE_CombineInt r, g, b;
  if (h < 192) {
    if (h < 64)
      r = v, g = LICE__Q(h - 64), b = P;
    else if (h < 128)
      r = LICE__Q(64 - h), g = v, b = P;
    else
      r = P, g = v, b = LICE__Q(h - 192);
  } else if (h < 256) {
    r = P, g = LICE__Q(192 - h), b = v;
  } else if (h < 320) {
    r = LICE__Q(h - 320), g = P, b = v;
  } else {
    r = v, g = P, b = LICE__Q(320 - h);
  }
#undef LICE__Q
  return ((LICE_pixel)(alpha & 0xFF) << 24) | ((LICE_pixel)(r & 0xFF) << 16) |
         ((LICE_pixel)(g & 0xFF) << 8) | (LICE_pixel)(b & 0xFF);
}

// ---------------------------------------------------------------------------------------------
// Channel combiners

#define LICE__D(c) ((LICE_CombineInt)dest[LICE_PIXEL_##c])

class _LICE_CombinePixelsCopyNoClamp {
public:
  static inline void doPix(LICE_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    const LICE_CombineInt k = 256 - (LICE_CombineInt)alpha;
    _LICE_MakePixelNoClamp(dest, r + (LICE__D(R) - r) * k / 256, g + (LICE__D(G) - g) * k / 256,
                           b + (LICE__D(B) - b) * k / 256, a + (LICE__D(A) - a) * k / 256);
  }
};

class _LICE_CombinePixelsCopyClamp {
public:
  static inline void doPix(LICE_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    const LICE_CombineInt k = 256 - (LICE_CombineInt)alpha;
    _LICE_MakePixelClamp(dest, r + (LICE__D(R) - r) * k / 256, g + (LICE__D(G) - g) * k / 256,
                         b + (LICE__D(B) - b) * k / 256, a + (LICE__D(A) - a) * k / 256);
  }
};

class _LICE_CombinePixelsClobberNoClamp {
public:
  static inline void doPix(LICE_pixel_chan* dest, int r, int g, int b, int a, int)
  {
    _LICE_MakePixelNoClamp(dest, r, g, b, a);
  }
};

class _LICE_CombinePixelsClobberClamp {
public:
  static inline void doPix(LICE_pixel_chan* dest, int r, int g, int b, int a, int)
  {
    _LICE_MakePixelClamp(dest, r, g, b, a);
  }
};

class _LICE_CombinePixelsAdd {
public:
  static inline void doPix(LICE_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    const LICE_CombineInt w = alpha;
    _LICE_MakePixelClamp(dest, LICE__D(R) + r * w / 256, LICE__D(G) + g * w / 256,
                         LICE__D(B) + b * w / 256, LICE__D(A) + a * w / 256);
  }
};

#define LICE__MUL(c, s) (LICE__D(c) * ((256 - w) * 256 + (s) * w) / 65536)

class _LICE_CombinePixelsMulNoClamp {
public:
  static inline void doPix(LICE_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    const LICE_CombineInt w = alpha;
    _LICE_MakePixelNoClamp(dest, LICE__MUL(R, r), LICE__MUL(G, g), LICE__MUL(B, b), LICE__MUL(A, a));
  }
};

class _LICE_CombinePixelsMulClamp {
public:
  static inline void doPix(LICE_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    const LICE_CombineInt w = alpha;
    _LICE_MakePixelClamp(dest, LICE__MUL(R, r), LICE__MUL(G, g), LICE__MUL(B, b), LICE__MUL(A, a));
  }
};

#undef LICE__MUL

class _LICE_CombinePixelsOverlay {
public:
  static inline LICE_CombineInt chan(LICE_CombineInt d, LICE_CombineInt s, LICE_CombineInt w)
  {
    const LICE_CombineInt m = (256 - w) * 128 + s * w;
    return (m + (32768 - m) * d / 256) * d / 32768;
  }
  static inline void doPix(LICE_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    _LICE_MakePixelClamp(dest, chan(LICE__D(R), r, alpha), chan(LICE__D(G), g, alpha),
                         chan(LICE__D(B), b, alpha), chan(LICE__D(A), a, alpha));
  }
};

class _LICE_CombinePixelsColorDodge {
public:
  static inline LICE_CombineInt chan(LICE_CombineInt d, LICE_CombineInt s, LICE_CombineInt w)
  {
    const LICE_CombineInt q = 256 - s * w / 256;
    return q > 1 ? d * 256 / q : d * 256;
  }
  static inline void doPix(LICE_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    _LICE_MakePixelClamp(dest, chan(LICE__D(R), r, alpha), chan(LICE__D(G), g, alpha),
                         chan(LICE__D(B), b, alpha), chan(LICE__D(A), a, alpha));
  }
};

class _LICE_CombinePixelsHalfMixNoClamp {
public:
  static inline void doPix(LICE_pixel_chan* dest, int r, int g, int b, int a, int)
  {
    _LICE_MakePixelNoClamp(dest, (LICE__D(R) + r) / 2, (LICE__D(G) + g) / 2, (LICE__D(B) + b) / 2,
                           (LICE__D(A) + a) / 2);
  }
};

// The source colour shifts the destination's hue, saturation and value around mid-grey; the
// result's alpha is the source alpha.
class _LICE_CombinePixelsHSVAdjust {
public:
  static inline void doPix(LICE_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    int h0, s0, v0;
    __LICE_RGB2HSV(dest[LICE_PIXEL_R], dest[LICE_PIXEL_G], dest[LICE_PIXEL_B], &h0, &s0, &v0);
    const LICE_CombineInt w = alpha;
    LICE_CombineInt h = h0 + ((LICE_CombineInt)r + r / 2 - 192) * w / 256;
    if (h < 0)
      h += 384;
    else if (h > 383)
      h -= 384;
    LICE_CombineInt s = s0 + ((LICE_CombineInt)g - 128) * w / 128;
    s = s < 0 ? 0 : s > 255 ? 255 : s;
    LICE_CombineInt v = v0 + ((LICE_CombineInt)b - 128) * w / 128;
    v = v < 0 ? 0 : v > 255 ? 255 : v;
    const LICE_pixel p = __LICE_HSV2Pix(h, s, v, a);
    dest[LICE_PIXEL_B] = (LICE_pixel_chan)(p & 0xFF);
    dest[LICE_PIXEL_G] = (LICE_pixel_chan)((p >> 8) & 0xFF);
    dest[LICE_PIXEL_R] = (LICE_pixel_chan)((p >> 16) & 0xFF);
    dest[LICE_PIXEL_A] = (LICE_pixel_chan)(p >> 24);
  }
};

// ---------------------------------------------------------------------------------------------
// Source-alpha combiners: the weight becomes w' = (a + 1) * w / 256.

static inline int _LICE_SourceAlphaWeight(int a, int w)
{
  return (int)(((LICE_CombineInt)a + 1) * w / 256);
}

class _LICE_CombinePixelsAddSourceAlpha {
public:
  static inline void doPix(LICE_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    if (a == 0) return;
    _LICE_CombinePixelsAdd::doPix(dest, r, g, b, a, _LICE_SourceAlphaWeight(a, alpha));
  }
};

class _LICE_CombinePixelsMulSourceAlphaNoClamp {
public:
  static inline void doPix(LICE_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    if (a == 0) return;
    _LICE_CombinePixelsMulNoClamp::doPix(dest, r, g, b, a, _LICE_SourceAlphaWeight(a, alpha));
  }
};

class _LICE_CombinePixelsMulSourceAlphaClamp {
public:
  static inline void doPix(LICE_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    if (a == 0) return;
    _LICE_CombinePixelsMulClamp::doPix(dest, r, g, b, a, _LICE_SourceAlphaWeight(a, alpha));
  }
};

class _LICE_CombinePixelsOverlaySourceAlpha {
public:
  static inline void doPix(LICE_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    _LICE_CombinePixelsOverlay::doPix(dest, r, g, b, a, _LICE_SourceAlphaWeight(a, alpha));
  }
};

class _LICE_CombinePixelsColorDodgeSourceAlpha {
public:
  static inline void doPix(LICE_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    _LICE_CombinePixelsColorDodge::doPix(dest, r, g, b, a, _LICE_SourceAlphaWeight(a, alpha));
  }
};

class _LICE_CombinePixelsHSVAdjustSourceAlpha {
public:
  static inline void doPix(LICE_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    _LICE_CombinePixelsHSVAdjust::doPix(dest, r, g, b, a, _LICE_SourceAlphaWeight(a, alpha));
  }
};

// Colour blends by w'; the destination alpha accumulates coverage (d + w', at most 255).
class _LICE_CombinePixelsCopySourceAlphaNoClamp {
public:
  static inline void doPix(LICE_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    if (a == 0) return;
    const LICE_CombineInt w = _LICE_SourceAlphaWeight(a, alpha), k = 256 - w;
    const LICE_CombineInt da = LICE__D(A) + w;
    _LICE_MakePixelNoClamp(dest, r + (LICE__D(R) - r) * k / 256, g + (LICE__D(G) - g) * k / 256,
                           b + (LICE__D(B) - b) * k / 256, da < 255 ? da : 255);
  }
};

class _LICE_CombinePixelsCopySourceAlphaClamp {
public:
  static inline void doPix(LICE_pixel_chan* dest, int r, int g, int b, int a, int alpha)
  {
    if (a == 0) return;
    const LICE_CombineInt w = _LICE_SourceAlphaWeight(a, alpha), k = 256 - w;
    _LICE_MakePixelClamp(dest, r + (LICE__D(R) - r) * k / 256, g + (LICE__D(G) - g) * k / 256,
                         b + (LICE__D(B) - b) * k / 256, LICE__D(A) + w);
  }
};

// Full-strength source-alpha copy: the weight is not read, the source alpha alone blends.
class _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp {
public:
  static inline void doPix(LICE_pixel_chan* dest, int r, int g, int b, int a, int)
  {
    if (a == 0) return;
    if (a == 255) {
      _LICE_MakePixelNoClamp(dest, r, g, b, 255);
      return;
    }
    const LICE_CombineInt k = 255 - (LICE_CombineInt)a, da = LICE__D(A) + a;
    _LICE_MakePixelNoClamp(dest, r + (LICE__D(R) - r) * k / 256, g + (LICE__D(G) - g) * k / 256,
                           b + (LICE__D(B) - b) * k / 256, da < 255 ? da : 255);
  }
};

class _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmClamp {
public:
  static inline void doPix(LICE_pixel_chan* dest, int r, int g, int b, int a, int)
  {
    if (a == 0) return;
    if (a == 255) {
      _LICE_MakePixelClamp(dest, r, g, b, 255);
      return;
    }
    const LICE_CombineInt k = 255 - (LICE_CombineInt)a;
    _LICE_MakePixelClamp(dest, r + (LICE__D(R) - r) * k / 256, g + (LICE__D(G) - g) * k / 256,
                         b + (LICE__D(B) - b) * k / 256, LICE__D(A) + a);
  }
};

#undef LICE__D

// ---------------------------------------------------------------------------------------------
// Whole-pixel combiners. The "2" variants take a source the caller has already scaled.

class _LICE_CombinePixelsClobberFAST {
public:
  static inline void doPixFAST(LICE_pixel* dest, LICE_pixel src) { *dest = src; }
};

class _LICE_CombinePixelsHalfMixFAST {
public:
  static inline void doPixFAST(LICE_pixel* dest, LICE_pixel src)
  {
    *dest = ((*dest >> 1) & 0x7F7F7F7Fu) + ((src >> 1) & 0x7F7F7F7Fu);
  }
};

// src = (c >> 1) & 0x7F7F7F7F
class _LICE_CombinePixelsHalfMix2FAST {
public:
  static inline void doPixFAST(LICE_pixel* dest, LICE_pixel src)
  {
    *dest = ((*dest >> 1) & 0x7F7F7F7Fu) + src;
  }
};

// Three quarters destination; src = (c >> 2) & 0x3F3F3F3F
class _LICE_CombinePixelsQuarterMix2FAST {
public:
  static inline void doPixFAST(LICE_pixel* dest, LICE_pixel src)
  {
    const LICE_pixel d = *dest;
    *dest = ((d >> 1) & 0x7F7F7F7Fu) + ((d >> 2) & 0x3F3F3F3Fu) + src;
  }
};

// One quarter destination; src = ((c >> 1) & 0x7F7F7F7F) + ((c >> 2) & 0x3F3F3F3F)
class _LICE_CombinePixelsThreeQuarterMix2FAST {
public:
  static inline void doPixFAST(LICE_pixel* dest, LICE_pixel src)
  {
    *dest = ((*dest >> 2) & 0x3F3F3F3Fu) + src;
  }
};

// ---------------------------------------------------------------------------------------------
// Combiner selection. A call picks its combiner once from key = mode & LICE_MODE_KEY_MASK and the
// weight, then instantiates its loop for it:
//
//   _LICE_SelectNoClamp(mode, w, [&](auto tag) {
//     using C = typename decltype(tag)::type;
//     _LICE_Template_Blit2<C>::blit(...);
//   });
//
// The selectors answer false (and call nothing) when the table has no combiner: an unknown key,
// or copy mode with a negative weight. w = 0 is the caller's test.

template <class C>
struct _LICE_CombinerTag {
  typedef C type;
};

typedef void (*LICE_COMBINEFUNC)(LICE_pixel_chan* dest, int r, int g, int b, int a, int alpha);

template <class F>
static inline bool _LICE_SelectNoClamp(int mode, int w, F&& f)
{
  switch (mode & LICE_MODE_KEY_MASK) {
  case LICE_MODE_COPY:
    if (w == 256)
      f(_LICE_CombinerTag<_LICE_CombinePixelsClobberNoClamp>());
    else if (w >= 0)
      f(_LICE_CombinerTag<_LICE_CombinePixelsCopyNoClamp>());
    else
      return false;
    return true;
  case LICE_MODE_ADD: f(_LICE_CombinerTag<_LICE_CombinePixelsAdd>()); return true;
  case LICE_MODE_COLORDODGE: f(_LICE_CombinerTag<_LICE_CombinePixelsColorDodge>()); return true;
  case LICE_MODE_MUL: f(_LICE_CombinerTag<_LICE_CombinePixelsMulNoClamp>()); return true;
  case LICE_MODE_OVERLAY: f(_LICE_CombinerTag<_LICE_CombinePixelsOverlay>()); return true;
  case LICE_MODE_HSVADJUST: f(_LICE_CombinerTag<_LICE_CombinePixelsHSVAdjust>()); return true;
  case LICE_MODE_SOURCEALPHA | LICE_MODE_COPY:
    if (w == 256)
      f(_LICE_CombinerTag<_LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp>());
    else
      f(_LICE_CombinerTag<_LICE_CombinePixelsCopySourceAlphaNoClamp>());
    return true;
  case LICE_MODE_SOURCEALPHA | LICE_MODE_ADD:
    f(_LICE_CombinerTag<_LICE_CombinePixelsAddSourceAlpha>());
    return true;
  case LICE_MODE_SOURCEALPHA | LICE_MODE_COLORDODGE:
    f(_LICE_CombinerTag<_LICE_CombinePixelsColorDodgeSourceAlpha>());
    return true;
  case LICE_MODE_SOURCEALPHA | LICE_MODE_MUL:
    f(_LICE_CombinerTag<_LICE_CombinePixelsMulSourceAlphaNoClamp>());
    return true;
  case LICE_MODE_SOURCEALPHA | LICE_MODE_OVERLAY:
    f(_LICE_CombinerTag<_LICE_CombinePixelsOverlaySourceAlpha>());
    return true;
  case LICE_MODE_SOURCEALPHA | LICE_MODE_HSVADJUST:
    f(_LICE_CombinerTag<_LICE_CombinePixelsHSVAdjustSourceAlpha>());
    return true;
  default: return false;
  }
}

template <class F>
static inline bool _LICE_SelectClamp(int mode, int w, F&& f)
{
  switch (mode & LICE_MODE_KEY_MASK) {
  case LICE_MODE_COPY:
    if (w == 256)
      f(_LICE_CombinerTag<_LICE_CombinePixelsClobberClamp>());
    else if (w >= 0)
      f(_LICE_CombinerTag<_LICE_CombinePixelsCopyClamp>());
    else
      return false;
    return true;
  case LICE_MODE_MUL: f(_LICE_CombinerTag<_LICE_CombinePixelsMulClamp>()); return true;
  case LICE_MODE_SOURCEALPHA | LICE_MODE_COPY:
    if (w == 256)
      f(_LICE_CombinerTag<_LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmClamp>());
    else
      f(_LICE_CombinerTag<_LICE_CombinePixelsCopySourceAlphaClamp>());
    return true;
  case LICE_MODE_SOURCEALPHA | LICE_MODE_MUL:
    f(_LICE_CombinerTag<_LICE_CombinePixelsMulSourceAlphaClamp>());
    return true;
  default: return _LICE_SelectNoClamp(mode, w, static_cast<F&&>(f));
  }
}

// The NoClamp table's combiner as a function pointer (for the delta blit), or null.
static inline LICE_COMBINEFUNC _LICE_NoClampCombineFunc(int mode, int w)
{
  LICE_COMBINEFUNC fn = nullptr;
  _LICE_SelectNoClamp(mode, w, [&](auto tag) { fn = &decltype(tag)::type::doPix; });
  return fn;
}
