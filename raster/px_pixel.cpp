// Single-pixel access and coverage-mask (glyph) drawing.
#include "raster/px.h"
#include "raster/px_blit_templates.h"
#include "raster/px_setup.h"

#include <cstdint>

namespace {

// The pixel at logical (x, y), or null when outside the bitmap or without storage.
PX_pixel* pixelAt(PX_IBitmap* bm, int x, int y)
{
  if (!bm)
    return nullptr;
  PX_pixel* bits = bm->getBits();
  const int w = bm->getWidth(), h = bm->getHeight();
  if (!bits || x < 0 || y < 0 || x >= w || y >= h)
    return nullptr;
  const int row = bm->isFlipped() ? h - 1 - y : y;
  return bits + (ptrdiff_t)row * bm->getRowSpan() + x;
}

template <class C>
void glyph(const PX_pixel_chan* alphas, PX_pixel* dest, int w, int h, PX_pixel color,
           ptrdiff_t dstep, ptrdiff_t sstep, int weight)
{
  GlyphDrawImpl<C>::DrawGlyph(alphas, dest, w, h, color, dstep, sstep, weight);
}

}  // namespace

PX_pixel PX_GetPixel(PX_IBitmap* bm, int x, int y)
{
  const PX_pixel* p = pixelAt(bm, x, y);
  return p ? *p : 0;
}

void PX_PutPixel(PX_IBitmap* bm, int x, int y, PX_pixel color, float alpha, int mode)
{
  PX_pixel* p = pixelAt(bm, x, y);
  int w;
  if (!p || !pxi_WeightFromAlpha(alpha, &w))
    return;

  const int op = mode & PX_MODE_MASK;
  if (op == PX_MODE_COPY)
  {
    switch (w)
    {
      case 256:
        pxi_CombinePixelsClobberFAST::doPixFAST(p, color);
        return;
      case 128:
        pxi_CombinePixelsHalfMix2FAST::doPixFAST(p, (color >> 1) & 0x7F7F7F7Fu);
        return;
      case 64:
        pxi_CombinePixelsQuarterMix2FAST::doPixFAST(p, (color >> 2) & 0x3F3F3F3Fu);
        return;
      case 192:
        pxi_CombinePixelsThreeQuarterMix2FAST::doPixFAST(p, ((color >> 1) & 0x7F7F7F7Fu) +
                                                              ((color >> 2) & 0x3F3F3F3Fu));
        return;
      default:
        break;
    }
  }
  if (w == 0)
    return;
  PX_pixel_chan* c = (PX_pixel_chan*)p;
  const int r = PX_GETR(color), g = PX_GETG(color), b = PX_GETB(color), a = PX_GETA(color);
  switch (op)
  {
    case PX_MODE_COPY:
      if (w > 0)
        pxi_CombinePixelsCopyNoClamp::doPix(c, r, g, b, a, w);
      break;
    case PX_MODE_ADD:
      pxi_CombinePixelsAdd::doPix(c, r, g, b, a, w);
      break;
    case PX_MODE_COLORDODGE:
      pxi_CombinePixelsColorDodge::doPix(c, r, g, b, a, w);
      break;
    case PX_MODE_MUL:
      pxi_CombinePixelsMulNoClamp::doPix(c, r, g, b, a, w);
      break;
    case PX_MODE_OVERLAY:
      pxi_CombinePixelsOverlay::doPix(c, r, g, b, a, w);
      break;
    case PX_MODE_HSVADJUST:
      pxi_CombinePixelsHSVAdjust::doPix(c, r, g, b, a, w);
      break;
    default:
      break;
  }
}

void PX_DrawGlyph(PX_IBitmap* dest, int x, int y, PX_pixel color, const PX_pixel_chan* alphas,
                  int glyph_w, int glyph_h, float alpha, int mode)
{
  if (!dest || !alphas)
    return;

  // Clipping in 64 bits.
  const int64_t bw = dest->getWidth(), bh = dest->getHeight();
  int64_t X = x, Y = y, W = glyph_w, H = glyph_h, coloff = 0, rowoff = 0;
  if (X < 0)
  {
    coloff = -X;
    W += X;
    X = 0;
  }
  if (Y < 0)
  {
    rowoff = -Y;
    H += Y;
    Y = 0;
  }
  if (X + W >= bw)
    W = bw - X;
  if (Y + H >= bh)
    H = bh - Y;
  PX_pixel* bits = dest->getBits();
  if (W <= 0 || H <= 0 || !bits)
    return;

  int w;
  if (!pxi_WeightFromAlpha(alpha, &w) || w == 0)
    return;

  const ptrdiff_t span = dest->getRowSpan();
  PX_pixel* out;
  ptrdiff_t dstep;
  if (dest->isFlipped())
  {
    out = bits + (ptrdiff_t)(bh - Y - 1) * span + X;
    dstep = -span;
  }
  else
  {
    out = bits + (ptrdiff_t)Y * span + X;
    dstep = span;
  }
  const PX_pixel_chan* in = alphas + (ptrdiff_t)rowoff * glyph_w + coloff;
  const int cw = (int)W, ch = (int)H;

  switch (mode & PX_MODE_MASK)
  {
    case PX_MODE_COPY:
      if (w >= 1)
        glyph<pxi_CombinePixelsCopyNoClamp>(in, out, cw, ch, color, dstep, glyph_w, w);
      break;
    case PX_MODE_ADD:
      glyph<pxi_CombinePixelsAdd>(in, out, cw, ch, color, dstep, glyph_w, w);
      break;
    case PX_MODE_COLORDODGE:
      glyph<pxi_CombinePixelsColorDodge>(in, out, cw, ch, color, dstep, glyph_w, w);
      break;
    case PX_MODE_MUL:
      glyph<pxi_CombinePixelsMulNoClamp>(in, out, cw, ch, color, dstep, glyph_w, w);
      break;
    case PX_MODE_OVERLAY:
      glyph<pxi_CombinePixelsOverlay>(in, out, cw, ch, color, dstep, glyph_w, w);
      break;
    case PX_MODE_HSVADJUST:
      glyph<pxi_CombinePixelsHSVAdjust>(in, out, cw, ch, color, dstep, glyph_w, w);
      break;
    default:
      break;
  }
}
