// Single-pixel access and coverage-mask (glyph) drawing.
#include "raster/lice.h"
#include "raster/lice_blit_templates.h"
#include "raster/lice_setup.h"

#include <cstdint>

namespace {

// The pixel at logical (x, y), or null when outside the bitmap or without storage.
LICE_pixel* pixelAt(LICE_IBitmap* bm, int x, int y)
{
  if (!bm) return nullptr;
  LICE_pixel* bits = bm->getBits();
  const int w = bm->getWidth(), h = bm->getHeight();
  if (!bits || x < 0 || y < 0 || x >= w || y >= h) return nullptr;
  const int row = bm->isFlipped() ? h - 1 - y : y;
  return bits + (ptrdiff_t)row * bm->getRowSpan() + x;
}

template <class C>
void glyph(const LICE_pixel_chan* alphas, LICE_pixel* dest, int w, int h, LICE_pixel color,
           ptrdiff_t dstep, ptrdiff_t sstep, int weight)
{
  GlyphDrawImpl<C>::DrawGlyph(alphas, dest, w, h, color, dstep, sstep, weight);
}

}  // namespace

LICE_pixel LICE_GetPixel(LICE_IBitmap* bm, int x, int y)
{
  const LICE_pixel* p = pixelAt(bm, x, y);
  return p ? *p : 0;
}

void LICE_PutPixel(LICE_IBitmap* bm, int x, int y, LICE_pixel color, float alpha, int mode)
{
  LICE_pixel* p = pixelAt(bm, x, y);
  int w;
  if (!p || !_LICE_WeightFromAlpha(alpha, &w)) return;

  const int op = mode & LICE_MODE_MASK;
  if (op == LICE_MODE_COPY) {
    switch (w) {
    case 256: _LICE_CombinePixelsClobberFAST::doPixFAST(p, color); return;
    case 128: _LICE_CombinePixelsHalfMix2FAST::doPixFAST(p, (color >> 1) & 0x7F7F7F7Fu); return;
    case 64: _LICE_CombinePixelsQuarterMix2FAST::doPixFAST(p, (color >> 2) & 0x3F3F3F3Fu); return;
    case 192:
      _LICE_CombinePixelsThreeQuarterMix2FAST::doPixFAST(
          p, ((color >> 1) & 0x7F7F7F7Fu) + ((color >> 2) & 0x3F3F3F3Fu));
      return;
    default: break;
    }
  }
  if (w == 0) return;
  LICE_pixel_chan* c = (LICE_pixel_chan*)p;
  const int r = LICE_GETR(color), g = LICE_GETG(color), b = LICE_GETB(color), a = LICE_GETA(color);
  switch (op) {
  case LICE_MODE_COPY:
    if (w > 0) _LICE_CombinePixelsCopyNoClamp::doPix(c, r, g, b, a, w);
    break;
  case LICE_MODE_ADD: _LICE_CombinePixelsAdd::doPix(c, r, g, b, a, w); break;
  case LICE_MODE_COLORDODGE: _LICE_CombinePixelsColorDodge::doPix(c, r, g, b, a, w); break;
  case LICE_MODE_MUL: _LICE_CombinePixelsMulNoClamp::doPix(c, r, g, b, a, w); break;
  case LICE_MODE_OVERLAY: _LICE_CombinePixelsOverlay::doPix(c, r, g, b, a, w); break;
  case LICE_MODE_HSVADJUST: _LICE_CombinePixelsHSVAdjust::doPix(c, r, g, b, a, w); break;
  default: break;
  }
}

void LICE_DrawGlyph(LICE_IBitmap* dest, int x, int y, LICE_pixel color,
                    const LICE_pixel_chan* alphas, int glyph_w, int glyph_h, float alpha, int mode)
{
  if (!dest || !alphas) return;

  // Clipping in 64 bits.
  const int64_t bw = dest->getWidth(), bh = dest->getHeight();
  int64_t X = x, Y = y, W = glyph_w, H = glyph_h, coloff = 0, rowoff = 0;
  if (X < 0) {
    coloff = -X;
    W += X;
    X = 0;
  }
  if (Y < 0) {
    rowoff = -Y;
    H += Y;
    Y = 0;
  }
  if (X + W >= bw) W = bw - X;
  if (Y + H >= bh) H = bh - Y;
  LICE_pixel* bits = dest->getBits();
  if (W <= 0 || H <= 0 || !bits) return;

  int w;
  if (!_LICE_WeightFromAlpha(alpha, &w) || w == 0) return;

  const ptrdiff_t span = dest->getRowSpan();
  LICE_pixel* out;
  ptrdiff_t dstep;
  if (dest->isFlipped()) {
    out = bits + (ptrdiff_t)(bh - Y - 1) * span + X;
    dstep = -span;
  } else {
    out = bits + (ptrdiff_t)Y * span + X;
    dstep = span;
  }
  const LICE_pixel_chan* in = alphas + (ptrdiff_t)rowoff * glyph_w + coloff;
  const int cw = (int)W, ch = (int)H;

  switch (mode & LICE_MODE_MASK) {
  case LICE_MODE_COPY:
    if (w >= 1) glyph<_LICE_CombinePixelsCopyNoClamp>(in, out, cw, ch, color, dstep, glyph_w, w);
    break;
  case LICE_MODE_ADD: glyph<_LICE_CombinePixelsAdd>(in, out, cw, ch, color, dstep, glyph_w, w); break;
  case LICE_MODE_COLORDODGE:
    glyph<_LICE_CombinePixelsColorDodge>(in, out, cw, ch, color, dstep, glyph_w, w);
    break;
  case LICE_MODE_MUL:
    glyph<_LICE_CombinePixelsMulNoClamp>(in, out, cw, ch, color, dstep, glyph_w, w);
    break;
  case LICE_MODE_OVERLAY:
    glyph<_LICE_CombinePixelsOverlay>(in, out, cw, ch, color, dstep, glyph_w, w);
    break;
  case LICE_MODE_HSVADJUST:
    glyph<_LICE_CombinePixelsHSVAdjust>(in, out, cw, ch, color, dstep, glyph_w, w);
    break;
  default: break;
  }
}
