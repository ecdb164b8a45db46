// PX_Blit and PX_Copy: unscaled transfers with clipping, flipped-bitmap addressing, the exact
// copy and half-mix lanes, channel copy, and the combiner dispatch (row kernels for the hot modes,
// the templated loop for the rest).
#include "raster/px.h"
#include "raster/px_blit_templates.h"
#include "raster/px_rowops.h"
#include "raster/px_setup.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Copies rows x cols pixels into a packed heap block; the caller frees it. Null when out of memory.
PX_pixel_chan* copyRows(const PX_pixel_chan* src, ptrdiff_t step, int cols, int rows)
{
  const size_t rowbytes = (size_t)cols * 4;
  PX_pixel_chan* buf = (PX_pixel_chan*)std::malloc(rowbytes * (size_t)rows);
  if (!buf)
    return nullptr;
  for (int y = 0; y < rows; ++y)
    std::memcpy(buf + rowbytes * y, src + (ptrdiff_t)y * step, rowbytes);
  return buf;
}

void channelCopy(PX_pixel_chan* dest, const PX_pixel_chan* src, int cols, int rows, ptrdiff_t sstep,
                 ptrdiff_t dstep, int mode)
{
  const int soff = mode & 3, doff = (mode >> 2) & 3;
  for (int y = 0; y < rows; ++y)
  {
    PX_pixel_chan* d = dest + (ptrdiff_t)y * dstep + doff;
    const PX_pixel_chan* s = src + (ptrdiff_t)y * sstep + soff;
    for (int x = 0; x < cols; ++x)
      d[x * 4] = s[x * 4];
  }
}

void halfMix(PX_pixel_chan* dest, const PX_pixel_chan* src, int cols, int rows, ptrdiff_t sstep,
             ptrdiff_t dstep)
{
  for (int y = 0; y < rows; ++y)
  {
    PX_pixel* d = (PX_pixel*)(dest + (ptrdiff_t)y * dstep);
    const PX_pixel* s = (const PX_pixel*)(src + (ptrdiff_t)y * sstep);
    for (int x = 0; x < cols; ++x)
      pxi_CombinePixelsHalfMixFAST::doPixFAST(d + x, s[x]);
  }
}

// Weighted blit: a row kernel for the hot combiners, else the templated loop. False when the
// table has no combiner for the mode and weight.
bool weightedBlit(PX_pixel_chan* dest, const PX_pixel_chan* src, int cols, int rows,
                  ptrdiff_t sstep, ptrdiff_t dstep, int w, int mode)
{
  const int key = mode & PX_MODE_KEY_MASK;
  if (key == PX_MODE_COPY && w > 0 && w < 256)
  {
    pxi_BlitRows<pxi_RowCopy>(dest, src, cols, rows, sstep, dstep, w);
    return true;
  }
  if (key == PX_MODE_ADD && w == 256)
  {
    pxi_BlitRows<pxi_RowAddFull>(dest, src, cols, rows, sstep, dstep, w);
    return true;
  }
  if (key == PX_MODE_ADD && w > 0 && w < 256)
  {
    pxi_BlitRows<pxi_RowAdd>(dest, src, cols, rows, sstep, dstep, w);
    return true;
  }
  if (key == PX_MODE_MUL && w > 0 && w <= 256)
  {
    pxi_BlitRows<pxi_RowMul>(dest, src, cols, rows, sstep, dstep, w);
    return true;
  }
  if (key == (PX_MODE_SOURCEALPHA | PX_MODE_COPY) && w == 256)
  {
    pxi_BlitRows<pxi_RowCopySourceAlpha<true>>(dest, src, cols, rows, sstep, dstep, w);
    return true;
  }
  if (key == (PX_MODE_SOURCEALPHA | PX_MODE_COPY) && w > 0 && w < 256)
  {
    pxi_BlitRows<pxi_RowCopySourceAlpha<false>>(dest, src, cols, rows, sstep, dstep, w);
    return true;
  }
  return pxi_SelectNoClamp(mode, w, [&](auto tag) {
    pxi_Template_Blit2<typename decltype(tag)::type>::blit(dest, src, cols, rows, sstep, dstep, w);
  });
}

}  // namespace

void PX_Blit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, const PX_RECT* srcrect,
             float alpha, int mode)
{
  if (!dest || !src || alpha == 0.0f || !std::isfinite(alpha))
    return;

  const int64_t sw = src->getWidth(), sh = src->getHeight();
  const int64_t dw = dest->getWidth(), dh = dest->getHeight();
  int64_t left = 0, top = 0, right = sw, bottom = sh, dx = dstx, dy = dsty;
  if (srcrect)
  {
    left = srcrect->left;
    top = srcrect->top;
    right = srcrect->right;
    bottom = srcrect->bottom;
    if (left < 0)
    {
      dx -= left;
      left = 0;
    }
    if (top < 0)
    {
      dy -= top;
      top = 0;
    }
    if (right > sw)
      right = sw;
    if (bottom > sh)
      bottom = sh;
  }
  pxi_ClipToDest(left, top, right, bottom, dx, dy, dw, dh);
  if (right <= left || bottom <= top)
    return;

  PX_pixel* dbits = dest->getBits();
  PX_pixel* sbits = src->getBits();
  if (!dbits || !sbits)
    return;

  const int cols = (int)(right - left), rows = (int)(bottom - top);
  const pxi_Rows srows = pxi_LogicalRows(src, sbits, (int)top);
  const pxi_Rows drows = pxi_LogicalRows(dest, dbits, (int)dy);
  const PX_pixel_chan* sp = srows.start + left * 4;
  ptrdiff_t sstep = srows.step;
  PX_pixel_chan* dp = drows.start + dx * 4;
  const ptrdiff_t dstep = drows.step;

  // Same storage, overlapping rows: read from a copy of the source so that no pixel is read after
  // it was written.
  PX_pixel_chan* scratch = nullptr;
  if (pxi_RowsOverlap(sp, sstep, dp, dstep, cols, rows))
  {
    scratch = copyRows(sp, sstep, cols, rows);
    if (!scratch)
      return;
    sp = scratch;
    sstep = (ptrdiff_t)cols * 4;
  }

  const int op = mode & PX_MODE_MASK;
  const int key = mode & PX_MODE_KEY_MASK;
  if (op >= PX_MODE_CHANNELCOPY)
  {
    channelCopy(dp, sp, cols, rows, sstep, dstep, mode);
  }
  else if (key == PX_MODE_COPY && alpha == 1.0f)
  {
    for (int y = 0; y < rows; ++y)
      std::memcpy(dp + (ptrdiff_t)y * dstep, sp + (ptrdiff_t)y * sstep, (size_t)cols * 4);
  }
  else if (key == PX_MODE_COPY && alpha == 0.5f)
  {
    halfMix(dp, sp, cols, rows, sstep, dstep);
  }
  else
  {
    int w;
    if (pxi_WeightFromAlpha(alpha, &w) && w != 0)
      weightedBlit(dp, sp, cols, rows, sstep, dstep, w, mode);
  }
  std::free(scratch);
}

void PX_Blit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw,
             int srch, float alpha, int mode)
{
  // Right and bottom saturate rather than wrap; the rectangle form clips them to the source.
  PX_RECT r;
  r.left = srcx;
  r.top = srcy;
  r.right = pxi_ClampToInt((int64_t)srcx + srcw);
  r.bottom = pxi_ClampToInt((int64_t)srcy + srch);
  PX_Blit(dest, src, dstx, dsty, &r, alpha, mode);
}

void PX_Copy(PX_IBitmap* dest, PX_IBitmap* src)
{
  if (!dest || !src || dest == src)
    return;
  dest->resize(src->getWidth(), src->getHeight());
  PX_Blit(dest, src, 0, 0, nullptr, 1.0f, PX_MODE_COPY);
}
