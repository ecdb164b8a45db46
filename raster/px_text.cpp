// The built-in 8x8 font: drawing one cell, laying out strings and measuring them.
#include "raster/px_text.h"

#include "raster/px_combine.h"
#include "raster/px_setup.h"

#include <cstdint>

namespace {

// The inked pixels of rows [row0, row0 + rows) of a glyph, columns from the bit mask startmask on,
// combined into the rows of out (cols pixels each, step bytes apart).
template <class COMBFUNC>
void drawCell(const unsigned char* glyph, int row0, int rows, unsigned startmask, int cols,
              PX_pixel_chan* out, ptrdiff_t step, PX_pixel color, int weight)
{
  const int r = PX_GETR(color), g = PX_GETG(color), b = PX_GETB(color), a = PX_GETA(color);
  for (int y = 0; y < rows; ++y, out += step)
  {
    const unsigned bits = glyph[row0 + y];
    unsigned mask = startmask;
    for (int x = 0; x < cols; ++x, mask >>= 1)
      if (bits & mask)
        COMBFUNC::doPix(out + x * 4, r, g, b, a, weight);
  }
}

}  // namespace

void PX_DrawChar(PX_IBitmap* bitmap, int x, int y, char c, PX_PixelWord color, float alpha,
                 int mode)
{
  // Cells at or left of -8 (or above) have nothing to show, and the mask shift needs -x < 8.
  if (!bitmap || c < 1 || x <= -8 || y <= -8)
    return;
  PX_pixel* bits = bitmap->getBits();
  if (!bits)
    return;

  int row0 = 0, firstRow = y, rows = 8;
  if (y < 0)
  {
    row0 = -y;
    rows = 8 + y;
    firstRow = 0;
  }
  if (rows > bitmap->getHeight() - firstRow)
    rows = bitmap->getHeight() - firstRow;
  unsigned startmask = 0x80;
  int firstCol = x, cols = 8;
  if (x < 0)
  {
    startmask >>= -x;
    cols = 8 + x;
    firstCol = 0;
  }
  if (cols > bitmap->getWidth() - firstCol)
    cols = bitmap->getWidth() - firstCol;
  int weight;
  if (rows <= 0 || cols <= 0 || !pxi_WeightFromAlpha(alpha, &weight) || weight == 0)
    return;

  const pxi_Rows out = pxi_LogicalRows(bitmap, bits, firstRow);
  const unsigned char* glyph = PX_deffont + ((unsigned char)c - 1) * 8;
  pxi_SelectNoClamp(mode & PX_MODE_MASK, weight, [&](auto tag) {
    drawCell<typename decltype(tag)::type>(glyph, row0, rows, startmask, cols,
                                           out.start + (ptrdiff_t)firstCol * 4, out.step, color,
                                           weight);
  });
}

void PX_DrawText(PX_IBitmap* bitmap, int x, int y, const char* str, PX_PixelWord color, float alpha,
                 int mode)
{
  if (!bitmap || !str)
    return;
  const int64_t w = bitmap->getWidth(), h = bitmap->getHeight();
  int64_t penx = x, peny = y;
  for (; *str; ++str)
  {
    switch (*str)
    {
      case '\t':
        penx += 40;
        break;
      case '\n':
        peny += 8;
        penx = x;
        break;
      case '\r':
        break;
      case ' ':
        penx += 8;
        break;
      default:
        if (penx >= -8 && penx < w && peny >= -8 && peny < h)
          PX_DrawChar(bitmap, (int)penx, (int)peny, *str, color, alpha, mode);
        penx += 8;
        break;
    }
  }
}

void PX_MeasureText(const char* str, int* w, int* h)
{
  int64_t width = 0, height = 0, bottom = 8, pen = 0;
  for (; str && *str; ++str)
  {
    if (*str == '\n')
    {
      bottom += 8;
      pen = 0;
      continue;
    }
    if (*str == '\r')
      continue;
    if (*str == '\t')
      pen += 32;
    pen += 8;
    if (pen > width)
      width = pen;
    if (bottom > height)
      height = bottom;
  }
  if (w)
    *w = pxi_ClampToInt(width);
  if (h)
    *h = pxi_ClampToInt(height);
}
