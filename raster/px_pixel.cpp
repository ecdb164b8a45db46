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

  pxi_SelectSolid(
    mode & PX_MODE_MASK, w, color,
    [&](auto tag, PX_pixel value) { decltype(tag)::type::doPixFAST(p, value); },
    [&](auto tag) {
      decltype(tag)::type::doPix((PX_pixel_chan*)p, PX_GETR(color), PX_GETG(color), PX_GETB(color),
                                 PX_GETA(color), w);
    });
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

  pxi_SelectShapeAA(mode & PX_MODE_MASK, w, [&](auto tag) {
    GlyphDrawImpl<typename decltype(tag)::type>::DrawGlyph(in, out, cw, ch, color, dstep, glyph_w,
                                                           w);
  });
}
