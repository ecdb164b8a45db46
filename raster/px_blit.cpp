// PX_Blit and PX_Copy: unscaled transfers with clipping, flipped-bitmap addressing, channel copy,
// and the blend paths: a table of the fast ones (exact copy, half mix, row kernels for the hot
// modes) with the templated loop as its last row.
#include "raster/px.h"
#include "raster/px_blit_templates.h"
#include "raster/px_rowops.h"
#include "raster/px_setup.h"

#include <climits>
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

// The blend paths of the unscaled blit share one signature; each runs over rows x cols pixels.
typedef void (*BlitPathFn)(PX_pixel_chan* dest, const PX_pixel_chan* src, int cols, int rows,
                           ptrdiff_t sstep, ptrdiff_t dstep, int w, int mode);

void copyPath(PX_pixel_chan* dest, const PX_pixel_chan* src, int cols, int rows, ptrdiff_t sstep,
              ptrdiff_t dstep, int, int)
{
  for (int y = 0; y < rows; ++y)
    std::memcpy(dest + (ptrdiff_t)y * dstep, src + (ptrdiff_t)y * sstep, (size_t)cols * 4);
}

void halfMixPath(PX_pixel_chan* dest, const PX_pixel_chan* src, int cols, int rows, ptrdiff_t sstep,
                 ptrdiff_t dstep, int, int)
{
  for (int y = 0; y < rows; ++y)
  {
    PX_pixel* d = (PX_pixel*)(dest + (ptrdiff_t)y * dstep);
    const PX_pixel* s = (const PX_pixel*)(src + (ptrdiff_t)y * sstep);
    for (int x = 0; x < cols; ++x)
      pxi_CombinePixelsHalfMixFAST::doPixFAST(d + x, s[x]);
  }
}

template <class KERNEL>
void rowPath(PX_pixel_chan* dest, const PX_pixel_chan* src, int cols, int rows, ptrdiff_t sstep,
             ptrdiff_t dstep, int w, int)
{
  pxi_BlitRows<KERNEL>(dest, src, cols, rows, sstep, dstep, w);
}

// The templated loop over the combiner table; nothing where the table has no combiner.
void generalPath(PX_pixel_chan* dest, const PX_pixel_chan* src, int cols, int rows, ptrdiff_t sstep,
                 ptrdiff_t dstep, int w, int mode)
{
  pxi_SelectNoClamp(mode, w, [&](auto tag) {
    pxi_Template_Blit2<typename decltype(tag)::type>::blit(dest, src, cols, rows, sstep, dstep, w);
  });
}

constexpr int kAnyKey = -1;

// One row of the path table: the mode key (mode & PX_MODE_KEY_MASK), the weights lo..hi, whether
// the alpha must give the weight exactly (alpha * 256 a whole number: the half mix rounds
// differently from the weighted copy), and the path.
struct BlitPath
{
  int key, lo, hi;
  bool exact;
  BlitPathFn run;
};

// Scanned in order once per call; the general loop is the last row. Each row kernel computes what
// its combiner computes for the weights of its row.
constexpr BlitPath kBlitPaths[] = {
  {PX_MODE_COPY, 256, 256, false, copyPath},
  {PX_MODE_COPY, 128, 128, true, halfMixPath},
  {PX_MODE_COPY, 1, 255, false, rowPath<pxi_RowCopy>},
  {PX_MODE_ADD, 256, 256, false, rowPath<pxi_RowAddFull>},
  {PX_MODE_ADD, 1, 255, false, rowPath<pxi_RowAdd>},
  {PX_MODE_MUL, 1, 256, false, rowPath<pxi_RowMul>},
  {PX_MODE_SOURCEALPHA | PX_MODE_COPY, 256, 256, false, rowPath<pxi_RowCopySourceAlpha<true>>},
  {PX_MODE_SOURCEALPHA | PX_MODE_COPY, 1, 255, false, rowPath<pxi_RowCopySourceAlpha<false>>},
  {kAnyKey, INT_MIN, INT_MAX, false, generalPath},
};

const BlitPath& blitPath(int mode, int w, bool exact)
{
  const int key = mode & PX_MODE_KEY_MASK;
  for (const BlitPath& p : kBlitPaths)
    if ((p.key == key || p.key == kAnyKey) && w >= p.lo && w <= p.hi && (exact || !p.exact))
      return p;
  return kBlitPaths[sizeof kBlitPaths / sizeof kBlitPaths[0] - 1];
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
    // The source rectangle is cut to the source; what it loses at the left or top moves the
    // destination corner on.
    left = srcrect->left;
    top = srcrect->top;
    int64_t w = (int64_t)srcrect->right - left, h = (int64_t)srcrect->bottom - top;
    if (!pxi_ClipRectToDest(left, top, w, h, sw, sh, [&](int64_t n, bool horizontal) {
          (horizontal ? dx : dy) += n;
          return true;
        }))
      return;
    right = left + w;
    bottom = top + h;
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

  int w;
  if ((mode & PX_MODE_MASK) >= PX_MODE_CHANNELCOPY)
    channelCopy(dp, sp, cols, rows, sstep, dstep, mode);
  else if (pxi_WeightFromAlpha(alpha, &w) && w != 0)
    blitPath(mode, w, (double)alpha * 256.0 == (double)w)
      .run(dp, sp, cols, rows, sstep, dstep, w, mode);
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
