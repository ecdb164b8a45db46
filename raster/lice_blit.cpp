// LICE_Blit and LICE_Copy: unscaled transfers with clipping, flipped-bitmap addressing, the exact
// copy and half-mix lanes, channel copy, and the combiner dispatch (row kernels for the hot modes,
// the templated loop for the rest).
#include "raster/lice.h"
#include "raster/lice_blit_templates.h"
#include "raster/lice_rowops.h"
#include "raster/lice_setup.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Copies rows x cols pixels into a packed heap block; the caller frees it. Null when out of memory.
LICE_pixel_chan* copyRows(const LICE_pixel_chan* src, ptrdiff_t step, int cols, int rows)
{
  const size_t rowbytes = (size_t)cols * 4;
  LICE_pixel_chan* buf = (LICE_pixel_chan*)std::malloc(rowbytes * (size_t)rows);
  if (!buf) return nullptr;
  for (int y = 0; y < rows; ++y) std::memcpy(buf + rowbytes * y, src + (ptrdiff_t)y * step, rowbytes);
  return buf;
}

void channelCopy(LICE_pixel_chan* dest, const LICE_pixel_chan* src, int cols, int rows,
                 ptrdiff_t sstep, ptrdiff_t dstep, int mode)
{
  const int soff = mode & 3, doff = (mode >> 2) & 3;
  for (int y = 0; y < rows; ++y) {
    LICE_pixel_chan* d = dest + (ptrdiff_t)y * dstep + doff;
    const LICE_pixel_chan* s = src + (ptrdiff_t)y * sstep + soff;
    for (int x = 0; x < cols; ++x) d[x * 4] = s[x * 4];
  }
}

void halfMix(LICE_pixel_chan* dest, const LICE_pixel_chan* src, int cols, int rows, ptrdiff_t sstep,
             ptrdiff_t dstep)
{
  for (int y = 0; y < rows; ++y) {
    LICE_pixel* d = (LICE_pixel*)(dest + (ptrdiff_t)y * dstep);
    const LICE_pixel* s = (const LICE_pixel*)(src + (ptrdiff_t)y * sstep);
    for (int x = 0; x < cols; ++x) _LICE_CombinePixelsHalfMixFAST::doPixFAST(d + x, s[x]);
  }
}

// Weighted blit: a row kernel for the hot combiners, else the templated loop. False when the
// table has no combiner for the mode and weight.
bool weightedBlit(LICE_pixel_chan* dest, const LICE_pixel_chan* src, int cols, int rows,
                  ptrdiff_t sstep, ptrdiff_t dstep, int w, int mode)
{
  const int key = mode & LICE_MODE_KEY_MASK;
  if (key == LICE_MODE_COPY && w > 0 && w < 256) {
    _LICE_BlitRows<_LICE_RowCopy>(dest, src, cols, rows, sstep, dstep, w);
    return true;
  }
  if (key == LICE_MODE_ADD && w == 256) {
    _LICE_BlitRows<_LICE_RowAddFull>(dest, src, cols, rows, sstep, dstep, w);
    return true;
  }
  if (key == LICE_MODE_ADD && w > 0 && w < 256) {
    _LICE_BlitRows<_LICE_RowAdd>(dest, src, cols, rows, sstep, dstep, w);
    return true;
  }
  if (key == LICE_MODE_MUL && w > 0 && w <= 256) {
    _LICE_BlitRows<_LICE_RowMul>(dest, src, cols, rows, sstep, dstep, w);
    return true;
  }
  if (key == (LICE_MODE_SOURCEALPHA | LICE_MODE_COPY) && w == 256) {
    _LICE_BlitRows<_LICE_RowCopySourceAlpha<true>>(dest, src, cols, rows, sstep, dstep, w);
    return true;
  }
  if (key == (LICE_MODE_SOURCEALPHA | LICE_MODE_COPY) && w > 0 && w < 256) {
    _LICE_BlitRows<_LICE_RowCopySourceAlpha<false>>(dest, src, cols, rows, sstep, dstep, w);
    return true;
  }
  return _LICE_SelectNoClamp(mode, w, [&](auto tag) {
    _LICE_Template_Blit2<typename decltype(tag)::type>::blit(dest, src, cols, rows, sstep, dstep, w);
  });
}

}  // namespace

void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, const LICE_RECT* srcrect,
               float alpha, int mode)
{
  if (!dest || !src || alpha == 0.0f || !std::isfinite(alpha)) return;

  // Clipping in 64 bits: no sum of caller coordinates can overflow.
  const int64_t sw = src->getWidth(), sh = src->getHeight();
  const int64_t dw = dest->getWidth(), dh = dest->getHeight();
  int64_t left = 0, top = 0, right = sw, bottom = sh, dx = dstx, dy = dsty;
  if (srcrect) {
    left = srcrect->left;
    top = srcrect->top;
    right = srcrect->right;
    bottom = srcrect->bottom;
    if (left < 0) {
      dx -= left;
      left = 0;
    }
    if (top < 0) {
      dy -= top;
      top = 0;
    }
    if (right > sw) right = sw;
    if (bottom > sh) bottom = sh;
  }
  if (dx < 0) {
    left -= dx;
    dx = 0;
  }
  if (dy < 0) {
    top -= dy;
    dy = 0;
  }
  if (right - left + dx > dw) right = dw - dx + left;
  if (bottom - top + dy > dh) bottom = dh - dy + top;
  if (right <= left || bottom <= top) return;

  LICE_pixel* dbits = dest->getBits();
  LICE_pixel* sbits = src->getBits();
  if (!dbits || !sbits) return;

  const int cols = (int)(right - left), rows = (int)(bottom - top);
  const _LICE_Rows srows = _LICE_LogicalRows(src, sbits, (int)top);
  const _LICE_Rows drows = _LICE_LogicalRows(dest, dbits, (int)dy);
  const LICE_pixel_chan* sp = srows.start + left * 4;
  ptrdiff_t sstep = srows.step;
  LICE_pixel_chan* dp = drows.start + dx * 4;
  const ptrdiff_t dstep = drows.step;

  // Same storage, overlapping rows: read from a copy of the source so that no pixel is read after
  // it was written.
  LICE_pixel_chan* scratch = nullptr;
  if (_LICE_RowsOverlap(sp, sstep, dp, dstep, cols, rows)) {
    scratch = copyRows(sp, sstep, cols, rows);
    if (!scratch) return;
    sp = scratch;
    sstep = (ptrdiff_t)cols * 4;
  }

  const int op = mode & LICE_MODE_MASK;
  const int key = mode & LICE_MODE_KEY_MASK;
  if (op >= LICE_MODE_CHANNELCOPY) {
    channelCopy(dp, sp, cols, rows, sstep, dstep, mode);
  } else if (key == LICE_MODE_COPY && alpha == 1.0f) {
    for (int y = 0; y < rows; ++y)
      std::memcpy(dp + (ptrdiff_t)y * dstep, sp + (ptrdiff_t)y * sstep, (size_t)cols * 4);
  } else if (key == LICE_MODE_COPY && alpha == 0.5f) {
    halfMix(dp, sp, cols, rows, sstep, dstep);
  } else {
    int w;
    if (_LICE_WeightFromAlpha(alpha, &w) && w != 0) weightedBlit(dp, sp, cols, rows, sstep, dstep, w, mode);
  }
  std::free(scratch);
}

void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
               int srcw, int srch, float alpha, int mode)
{
  // Right and bottom saturate rather than wrap; the rectangle form clips them to the source.
  LICE_RECT r;
  r.left = srcx;
  r.top = srcy;
  r.right = _LICE_ClampToInt((int64_t)srcx + srcw);
  r.bottom = _LICE_ClampToInt((int64_t)srcy + srch);
  LICE_Blit(dest, src, dstx, dsty, &r, alpha, mode);
}

void LICE_Copy(LICE_IBitmap* dest, LICE_IBitmap* src)
{
  if (!dest || !src || dest == src) return;
  dest->resize(src->getWidth(), src->getHeight());
  LICE_Blit(dest, src, 0, 0, nullptr, 1.0f, LICE_MODE_COPY);
}
