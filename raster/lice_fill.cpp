// Rectangle operations: solid fills with blending, bitwise clears, linear gradients, per-channel
// scale and offset, per-pixel callbacks, colour-key transparency and the simple scan fill.
#include "raster/lice.h"
#include "raster/lice_blit_templates.h"
#include "raster/lice_rowops.h"
#include "raster/lice_setup.h"

#include <cstdint>
#include <initializer_list>

namespace {

// A rectangle clipped to a bitmap: its first pixel in storage order (the top storage row of the
// rectangle, whether flipped or not), the row span in pixels and its size.
struct ClippedRect {
  LICE_pixel* first;
  ptrdiff_t span;
  int w, h;
};

// Rectangle clipping in 64 bits; false when nothing is left, the bitmap has no pixels or its row
// span is not positive.
bool clipRect(LICE_IBitmap* bm, int x, int y, int w, int h, ClippedRect* out)
{
  int64_t X = x, Y = y, W = w, H = h;
  if (X < 0) {
    W += X;
    X = 0;
  }
  if (Y < 0) {
    H += Y;
    Y = 0;
  }
  const int64_t bw = bm->getWidth(), bh = bm->getHeight();
  if (X + W > bw) W = bw - X;
  if (Y + H > bh) H = bh - Y;
  LICE_pixel* bits = bm->getBits();
  const int span = bm->getRowSpan();
  if (!bits || W < 1 || H < 1 || span <= 0) return false;
  const int64_t row = bm->isFlipped() ? bh - Y - H : Y;
  out->first = bits + (ptrdiff_t)row * span + X;
  out->span = span;
  out->w = (int)W;
  out->h = (int)H;
  return true;
}

// The whole bitmap as a rectangle, for the operations that cover every pixel.
bool wholeBitmap(LICE_IBitmap* bm, ClippedRect* out)
{
  if (!bm) return false;
  LICE_pixel* bits = bm->getBits();
  const int w = bm->getWidth(), h = bm->getHeight(), span = bm->getRowSpan();
  if (!bits || w <= 0 || h <= 0 || span <= 0) return false;
  out->first = bits;
  out->span = span;
  out->w = w;
  out->h = h;
  return true;
}

template <class F>
void forEachPixel(const ClippedRect& r, F&& f)
{
  for (int y = 0; y < r.h; ++y) {
    LICE_pixel* p = r.first + (ptrdiff_t)y * r.span;
    for (int x = 0; x < r.w; ++x) f(p + x);
  }
}

template <class C>
void solidFast(const ClippedRect& r, LICE_pixel value)
{
  _LICE_Template_Blit0<C>::solidBlitFAST(r.first, r.w, r.h, value, r.span);
}

// The clobber fill: whole rows of one word, one run when the rows are contiguous.
void clobber(const ClippedRect& r, LICE_pixel value)
{
  if (r.w == r.span) {
    _LICE_FillWords(r.first, (size_t)r.w * (size_t)r.h, value);
    return;
  }
  for (int y = 0; y < r.h; ++y) _LICE_FillWords(r.first + (ptrdiff_t)y * r.span, (size_t)r.w, value);
}

template <class C>
void solid(const ClippedRect& r, LICE_pixel color, int w)
{
  _LICE_Template_Blit1<C>::solidBlit((LICE_pixel_chan*)r.first, r.w, r.h, LICE_GETR(color),
                                     LICE_GETG(color), LICE_GETB(color), w, r.span * 4);
}

}  // namespace

void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel color, float alpha,
                   int mode)
{
  if (!dest) return;
  if (mode & LICE_MODE_SOURCEALPHA) alpha *= (float)(color >> 24) / 255.0f;
  ClippedRect r;
  if (!clipRect(dest, x, y, w, h, &r) || alpha == 0.0f) return;
  int wt;
  if (!_LICE_WeightFromAlpha(alpha, &wt)) return;

  const int op = mode & LICE_MODE_MASK;
  if (op == LICE_MODE_COPY) {
    switch (wt) {
    case 256: clobber(r, color); return;
    case 128: solidFast<_LICE_CombinePixelsHalfMix2FAST>(r, (color >> 1) & 0x7F7F7F7Fu); return;
    case 64: solidFast<_LICE_CombinePixelsQuarterMix2FAST>(r, (color >> 2) & 0x3F3F3F3Fu); return;
    case 192:
      solidFast<_LICE_CombinePixelsThreeQuarterMix2FAST>(
          r, ((color >> 1) & 0x7F7F7F7Fu) + ((color >> 2) & 0x3F3F3F3Fu));
      return;
    default: break;
    }
  }
  if (wt == 0) return;
  switch (op) {
  case LICE_MODE_COPY:
    if (wt > 0) solid<_LICE_CombinePixelsCopyNoClamp>(r, color, wt);
    break;
  case LICE_MODE_ADD: solid<_LICE_CombinePixelsAdd>(r, color, wt); break;
  case LICE_MODE_COLORDODGE: solid<_LICE_CombinePixelsColorDodge>(r, color, wt); break;
  case LICE_MODE_MUL: solid<_LICE_CombinePixelsMulNoClamp>(r, color, wt); break;
  case LICE_MODE_OVERLAY: solid<_LICE_CombinePixelsOverlay>(r, color, wt); break;
  case LICE_MODE_HSVADJUST: solid<_LICE_CombinePixelsHSVAdjust>(r, color, wt); break;
  default: break;
  }
}

void LICE_ClearRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel mask,
                    LICE_pixel orbits)
{
  ClippedRect r;
  if (!dest || !clipRect(dest, x, y, w, h, &r)) return;
  forEachPixel(r, [=](LICE_pixel* p) { *p = (*p & mask) | orbits; });
}

void LICE_Clear(LICE_IBitmap* dest, LICE_pixel color)
{
  ClippedRect r;
  if (!wholeBitmap(dest, &r)) return;
  clobber(r, color);
}

namespace {

// One gradient channel in 16.16: start, x slope, y slope.
struct GradChannel {
  int start, dx, dy;
};

bool toGradChannel(float start, float dx, float dy, GradChannel* c)
{
  return _LICE_ToFixed(start, &c->start) && _LICE_ToFixed(dx, &c->dx) && _LICE_ToFixed(dy, &c->dy);
}

// Moves the start by n steps; false when it would leave the int range.
bool advance(GradChannel* c, int64_t n, int step)
{
  const int64_t v = c->start + n * step;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  c->start = (int)v;
  return true;
}

// True when every value the w x h walk reaches fits an int. The values are linear in x and y, so
// the four corners bound them.
bool gradFits(const GradChannel& c, int w, int h)
{
  const int64_t xs = (int64_t)c.dx * (w - 1), ys = (int64_t)c.dy * (h - 1);
  for (int64_t v : {(int64_t)c.start, c.start + xs, c.start + ys, c.start + xs + ys})
    if (v < INT32_MIN || v > INT32_MAX) return false;
  return true;
}

template <class C>
void grad(LICE_pixel_chan* p, int w, int h, const GradChannel& r, const GradChannel& g,
          const GradChannel& b, const GradChannel& a, ptrdiff_t step)
{
  _LICE_Template_Blit1<C>::gradBlit(p, w, h, r.start, g.start, b.start, a.start, r.dx, g.dx, b.dx,
                                    a.dx, r.dy, g.dy, b.dy, a.dy, step);
}

}  // namespace

void LICE_GradRect(LICE_IBitmap* dest, int dstx, int dsty, int dstw, int dsth, float ir, float ig,
                   float ib, float ia, float drdx, float dgdx, float dbdx, float dadx, float drdy,
                   float dgdy, float dbdy, float dady, int mode)
{
  if (!dest) return;
  ir *= 255.0f, ig *= 255.0f, ib *= 255.0f;
  drdx *= 255.0f, dgdx *= 255.0f, dbdx *= 255.0f;
  drdy *= 255.0f, dgdy *= 255.0f, dbdy *= 255.0f;
  ia *= 256.0f, dadx *= 256.0f, dady *= 256.0f;

  GradChannel r, g, b, a;
  if (!toGradChannel(ir, drdx, drdy, &r) || !toGradChannel(ig, dgdx, dgdy, &g) ||
      !toGradChannel(ib, dbdx, dbdy, &b) || !toGradChannel(ia, dadx, dady, &a))
    return;

  // Left and top clipping move the 16.16 start values by whole steps, so a clipped gradient
  // continues exactly as the unclipped one would.
  int64_t x = dstx, y = dsty, w = dstw, h = dsth;
  if (x < 0) {
    for (GradChannel* c : {&r, &g, &b, &a})
      if (!advance(c, -x, c->dx)) return;
    w += x;
    x = 0;
  }
  if (y < 0) {
    for (GradChannel* c : {&r, &g, &b, &a})
      if (!advance(c, -y, c->dy)) return;
    h += y;
    y = 0;
  }
  const int64_t bw = dest->getWidth(), bh = dest->getHeight();
  if (w > bw - x) w = bw - x;
  if (h > bh - y) h = bh - y;
  LICE_pixel* bits = dest->getBits();
  if (w <= 0 || h <= 0 || !bits || dest->getRowSpan() <= 0) return;
  if (!gradFits(r, (int)w, (int)h) || !gradFits(g, (int)w, (int)h) ||
      !gradFits(b, (int)w, (int)h) || !gradFits(a, (int)w, (int)h))
    return;

  const _LICE_Rows rows = _LICE_LogicalRows(dest, bits, (int)y);
  LICE_pixel_chan* p = rows.start + x * 4;
  const int W = (int)w, H = (int)h;
  const int op = mode & LICE_MODE_MASK;

  if (op == LICE_MODE_COPY && a.start == 0x1000000 && a.dx == 0 && a.dy == 0) {
    grad<_LICE_CombinePixelsClobberClamp>(p, W, H, r, g, b, a, rows.step);
    return;
  }
  switch (op) {
  case LICE_MODE_COPY: grad<_LICE_CombinePixelsCopyClamp>(p, W, H, r, g, b, a, rows.step); break;
  case LICE_MODE_ADD: grad<_LICE_CombinePixelsAdd>(p, W, H, r, g, b, a, rows.step); break;
  case LICE_MODE_COLORDODGE:
    grad<_LICE_CombinePixelsColorDodge>(p, W, H, r, g, b, a, rows.step);
    break;
  case LICE_MODE_MUL: grad<_LICE_CombinePixelsMulClamp>(p, W, H, r, g, b, a, rows.step); break;
  case LICE_MODE_OVERLAY: grad<_LICE_CombinePixelsOverlay>(p, W, H, r, g, b, a, rows.step); break;
  case LICE_MODE_HSVADJUST:
    grad<_LICE_CombinePixelsHSVAdjust>(p, W, H, r, g, b, a, rows.step);
    break;
  default: break;
  }
}

void LICE_MultiplyAddRect(LICE_IBitmap* dest, int x, int y, int w, int h, float rsc, float gsc,
                          float bsc, float asc, float radd, float gadd, float badd, float aadd)
{
  ClippedRect r;
  if (!dest || !clipRect(dest, x, y, w, h, &r)) return;
  int sc[4], add[4];  // indexed by byte offset: blue, green, red, alpha
  if (!_LICE_ToInt(bsc * 256.0, &sc[LICE_PIXEL_B]) || !_LICE_ToInt(gsc * 256.0, &sc[LICE_PIXEL_G]) ||
      !_LICE_ToInt(rsc * 256.0, &sc[LICE_PIXEL_R]) || !_LICE_ToInt(asc * 256.0, &sc[LICE_PIXEL_A]) ||
      !_LICE_ToInt(badd * 256.0, &add[LICE_PIXEL_B]) ||
      !_LICE_ToInt(gadd * 256.0, &add[LICE_PIXEL_G]) ||
      !_LICE_ToInt(radd * 256.0, &add[LICE_PIXEL_R]) || !_LICE_ToInt(aadd * 256.0, &add[LICE_PIXEL_A]))
    return;
  forEachPixel(r, [&](LICE_pixel* px) {
    LICE_pixel_chan* c = (LICE_pixel_chan*)px;
    // 64-bit products: scale times channel cannot overflow; the shift is arithmetic.
#define LICE__MA(i) (((int64_t)c[i] * sc[i] + add[i]) >> 8)
    _LICE_MakePixelClamp(c, LICE__MA(LICE_PIXEL_R), LICE__MA(LICE_PIXEL_G), LICE__MA(LICE_PIXEL_B),
                         LICE__MA(LICE_PIXEL_A));
#undef LICE__MA
  });
}

void LICE_ProcessRect(LICE_IBitmap* dest, int x, int y, int w, int h,
                      void (*procfunc)(LICE_pixel* p, void* parm), void* parm)
{
  ClippedRect r;
  if (!dest || !procfunc || !clipRect(dest, x, y, w, h, &r)) return;
  forEachPixel(r, [=](LICE_pixel* p) { procfunc(p, parm); });
}

void LICE_SetAlphaFromColorMask(LICE_IBitmap* dest, LICE_pixel color)
{
  ClippedRect r;
  if (!wholeBitmap(dest, &r)) return;
  forEachPixel(r, [=](LICE_pixel* p) {
    *p = (*p & 0xFFFFFFu) == color ? (*p & 0xFFFFFFu) : (*p | 0xFF000000u);
  });
}

void LICE_SimpleFill(LICE_IBitmap* dest, int x, int y, LICE_pixel newcolor, LICE_pixel comparemask,
                     LICE_pixel keepmask)
{
  if (!dest) return;
  const int w = dest->getWidth(), h = dest->getHeight(), span = dest->getRowSpan();
  if (x < 0 || x >= w || y < 0 || y >= h) return;
  LICE_pixel* bits = dest->getBits();
  if (!bits || span <= 0) return;

  const LICE_pixel ref = bits[(ptrdiff_t)y * span + x] & comparemask;
  const auto matches = [=](LICE_pixel p) { return (p & comparemask) == ref; };
  const auto fill = [=](LICE_pixel* p) { *p = (*p & keepmask) | newcolor; };
  // Fills row yy from column x outward; false when its column-x pixel does not match.
  const auto fillRow = [&](int yy) {
    LICE_pixel* row = bits + (ptrdiff_t)yy * span;
    if (!matches(row[x])) return false;
    fill(row + x);
    for (int i = x + 1; i < w && matches(row[i]); ++i) fill(row + i);
    for (int i = x - 1; i >= 0 && matches(row[i]); --i) fill(row + i);
    return true;
  };
  for (int yy = y; yy < h && fillRow(yy); ++yy) {
  }
  for (int yy = y - 1; yy >= 0 && fillRow(yy); --yy) {
  }
}
