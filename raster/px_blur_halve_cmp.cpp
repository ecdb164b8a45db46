// Blur, half-size reduction and comparison: whole-word lane arithmetic, no combiners.
#include "raster/px_blur_halve_cmp.h"

#include "raster/px.h"
#include "raster/px_setup.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Lane fractions: each channel of the word shifted right, the bits that crossed into the channel
// below masked off. Weights of one sum add up to at most 1, so sums never carry between channels.
inline PX_pixel half(PX_pixel p) { return (p >> 1) & 0x7F7F7F7Fu; }
inline PX_pixel quarter(PX_pixel p) { return (p >> 2) & 0x3F3F3F3Fu; }
inline PX_pixel eighth(PX_pixel p) { return (p >> 3) & 0x1F1F1F1Fu; }

// One blurred row of w >= 2 pixels from the unchanged rows up, cur and down. An edge row (the
// first or last of the rectangle) has one vertical neighbour row, passed as up, weighted 1/4;
// every other row has both, 1/8 each. out never aliases the rows read.
template <bool EDGE>
void blurRow(PX_pixel* out, const PX_pixel* up, const PX_pixel* cur, const PX_pixel* down, int w)
{
  const auto vertical = [&](int x) {
    return EDGE ? quarter(up[x]) : eighth(up[x]) + eighth(down[x]);
  };
  out[0] = half(cur[0]) + quarter(cur[1]) + vertical(0);
  for (int x = 1; x < w - 1; ++x)
    out[x] = eighth(cur[x - 1]) + half(cur[x]) + eighth(cur[x + 1]) + vertical(x);
  out[w - 1] = quarter(cur[w - 2]) + half(cur[w - 1]) + vertical(w - 1);
}

// Rows of w pixels: the first pixel of the first row and the signed byte step between rows.
struct RowWalk
{
  PX_pixel_chan* first;
  ptrdiff_t step;
  PX_pixel* row(int i) const { return (PX_pixel*)(first + (ptrdiff_t)i * step); }
};

// Blurs h >= 2 rows of w >= 2 pixels of src into dst. With saved (two rows of w words), src and
// dst are the same rows and each row is saved before it is overwritten, so that the row above is
// read as it was.
void blurRows(RowWalk dst, RowWalk src, int w, int h, PX_pixel* saved)
{
  for (int i = 0; i < h; ++i)
  {
    const PX_pixel* cur = src.row(i);
    const PX_pixel* up = i > 0 ? src.row(i - 1) : nullptr;
    const PX_pixel* down = i < h - 1 ? src.row(i + 1) : nullptr;
    if (saved)
    {
      PX_pixel* slot = saved + (ptrdiff_t)(i & 1) * w;
      std::memcpy(slot, cur, (size_t)w * 4);
      cur = slot;
      if (up)
        up = saved + (ptrdiff_t)((i - 1) & 1) * w;
    }
    if (!up)
      blurRow<true>(dst.row(i), down, cur, nullptr, w);
    else if (!down)
      blurRow<true>(dst.row(i), up, cur, nullptr, w);
    else
      blurRow<false>(dst.row(i), up, cur, down, w);
  }
}

// Rows of bm from logical row y, column x on.
RowWalk walkAt(PX_IBitmap* bm, PX_pixel* bits, int x, int y)
{
  const pxi_Rows r = pxi_LogicalRows(bm, bits, y);
  return {r.start + (ptrdiff_t)x * 4, r.step};
}

}  // namespace

void PX_Blur(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw,
             int srch)
{
  if (!dest || !src)
    return;
  int64_t left = srcx, top = srcy, right = (int64_t)srcx + srcw, bottom = (int64_t)srcy + srch;
  int64_t dx = dstx, dy = dsty;
  if (left < 0)
    left = 0;
  if (top < 0)
    top = 0;
  if (right > src->getWidth())
    right = src->getWidth();
  if (bottom > src->getHeight())
    bottom = src->getHeight();
  pxi_ClipToDest(left, top, right, bottom, dx, dy, dest->getWidth(), dest->getHeight());
  PX_pixel* dbits = dest->getBits();
  PX_pixel* sbits = src->getBits();
  if (left + 1 >= right || top + 1 >= bottom || !dbits || !sbits)
    return;

  const int w = (int)(right - left), h = (int)(bottom - top);
  const RowWalk out = walkAt(dest, dbits, (int)dx, (int)dy);
  RowWalk in = walkAt(src, sbits, (int)left, (int)top);

  if (!pxi_RowsOverlap(in.first, in.step, out.first, out.step, w, h))
  {
    blurRows(out, in, w, h, nullptr);
    return;
  }
  if (in.first == out.first && in.step == out.step)
  {
    // In place: two saved rows, on the stack for rows up to 1024 pixels.
    PX_pixel local[2048];
    PX_pixel* saved = w <= 1024 ? local : (PX_pixel*)std::malloc((size_t)w * 2 * 4);
    if (!saved)
      return;
    blurRows(out, in, w, h, saved);
    if (saved != local)
      std::free(saved);
    return;
  }
  // The same pixels at another position: blur from a copy of the source rectangle.
  PX_pixel* copy = (PX_pixel*)std::malloc((size_t)w * (size_t)h * 4);
  if (!copy)
    return;
  for (int i = 0; i < h; ++i)
    std::memcpy(copy + (ptrdiff_t)i * w, in.row(i), (size_t)w * 4);
  in = {(PX_pixel_chan*)copy, (ptrdiff_t)w * 4};
  blurRows(out, in, w, h, nullptr);
  std::free(copy);
}

void PX_HalveBlitAA(PX_IBitmap* dest, PX_IBitmap* src)
{
  if (!dest || !src)
    return;
  PX_pixel* dbits = dest->getBits();
  const PX_pixel* sbits = src->getBits();
  if (!dbits || !sbits)
    return;
  const int sw = src->getWidth() / 2, sh = src->getHeight() / 2;
  const int w = dest->getWidth() < sw ? dest->getWidth() : sw;
  const int h = dest->getHeight() < sh ? dest->getHeight() : sh;
  const ptrdiff_t dspan = dest->getRowSpan(), sspan = src->getRowSpan();
  for (int i = 0; i < h; ++i)
  {
    PX_pixel* out = dbits + (ptrdiff_t)i * dspan;
    const PX_pixel* s1 = sbits + (ptrdiff_t)(2 * i) * sspan;
    const PX_pixel* s2 = s1 + sspan;
    for (int j = 0; j < w; ++j)
      out[j] =
        quarter(s1[2 * j]) + quarter(s1[2 * j + 1]) + quarter(s2[2 * j]) + quarter(s2[2 * j + 1]);
  }
}

namespace {

// Logical row y of a bitmap with pixels.
const PX_pixel* logicalRow(PX_IBitmap* bm, PX_pixel* bits, int y)
{
  return (const PX_pixel*)pxi_LogicalRows(bm, bits, y).start;
}

// First and last differing column of two rows of w pixels, searched within [from, to]; false when
// the rows agree there.
bool firstDiff(const PX_pixel* a, const PX_pixel* b, int from, int to, int* col)
{
  for (int x = from; x <= to; ++x)
    if (a[x] != b[x])
    {
      *col = x;
      return true;
    }
  return false;
}

bool lastDiff(const PX_pixel* a, const PX_pixel* b, int from, int to, int* col)
{
  for (int x = to; x >= from; --x)
    if (a[x] != b[x])
    {
      *col = x;
      return true;
    }
  return false;
}

}  // namespace

int PX_BitmapCmp(PX_IBitmap* a, PX_IBitmap* b, int* coords)
{
  if (!a || !b)
    return a ? 1 : b ? -1 : 0;
  const int w = a->getWidth(), h = a->getHeight();
  if (w != b->getWidth())
    return b->getWidth() - w;
  if (h != b->getHeight())
    return b->getHeight() - h;
  if (coords)
    coords[0] = coords[1] = coords[2] = coords[3] = 0;
  if (w <= 0 || h <= 0)
    return 0;
  PX_pixel* abits = a->getBits();
  PX_pixel* bbits = b->getBits();
  if (!abits || !bbits)
    return abits ? 1 : bbits ? -1 : 0;

  if (!coords)
  {
    for (int y = 0; y < h; ++y)
      if (const int c =
            std::memcmp(logicalRow(a, abits, y), logicalRow(b, bbits, y), (size_t)w * 4))
        return c;
    return 0;
  }

  const auto rowA = [&](int y) { return logicalRow(a, abits, y); };
  const auto rowB = [&](int y) { return logicalRow(b, bbits, y); };
  int miny = 0, minx = 0, maxx = 0, maxy, col;
  while (miny < h && !firstDiff(rowA(miny), rowB(miny), 0, w - 1, &minx))
    ++miny;
  if (miny == h)
    return 0;
  lastDiff(rowA(miny), rowB(miny), minx, w - 1, &maxx);
  for (maxy = h - 1; maxy > miny; --maxy)
    if (firstDiff(rowA(maxy), rowB(maxy), 0, w - 1, &col))
      break;
  if (maxy > miny)
  {
    if (col < minx)
      minx = col;
    if (lastDiff(rowA(maxy), rowB(maxy), maxx + 1, w - 1, &col))
      maxx = col;
  }
  for (int y = miny + 1; y < maxy && (minx > 0 || maxx < w - 1); ++y)
  {
    if (firstDiff(rowA(y), rowB(y), 0, minx - 1, &col))
      minx = col;
    if (lastDiff(rowA(y), rowB(y), maxx + 1, w - 1, &col))
      maxx = col;
  }
  coords[0] = minx;
  coords[1] = miny;
  coords[2] = maxx - minx + 1;
  coords[3] = maxy - miny + 1;
  return 1;
}
