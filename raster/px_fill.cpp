// Rectangle operations: solid fills with blending, bitwise clears, linear gradients, per-channel
// scale and offset, per-pixel callbacks, colour-key transparency and the simple scan fill.
#include "raster/px.h"
#include "raster/px_blit_templates.h"
#include "raster/px_rowops.h"
#include "raster/px_setup.h"

#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace {

// The clobber fill: whole rows of one word, one run when the rows are contiguous.
void clobber(const pxi_ClippedRect& r, PX_pixel value)
{
  if (r.w == r.span)
  {
    pxi_FillWords(r.first, (size_t)r.w * (size_t)r.h, value);
    return;
  }
  for (int y = 0; y < r.h; ++y)
    pxi_FillWords(r.first + (ptrdiff_t)y * r.span, (size_t)r.w, value);
}

}  // namespace

void PX_FillRect(PX_IBitmap* dest, int x, int y, int w, int h, PX_pixel color, float alpha,
                 int mode)
{
  if (!dest)
    return;
  if (mode & PX_MODE_SOURCEALPHA)
    alpha *= (float)(color >> 24) / 255.0f;
  pxi_ClippedRect r;
  if (!pxi_ClipRect(dest, x, y, w, h, &r) || alpha == 0.0f)
    return;
  int wt;
  if (!pxi_WeightFromAlpha(alpha, &wt))
    return;

  pxi_SelectSolid(
    mode & PX_MODE_MASK, wt, color,
    [&](auto tag, PX_pixel value) {
      using C = typename decltype(tag)::type;
      if constexpr (std::is_same<C, pxi_CombinePixelsClobberFAST>::value)
        clobber(r, value);
      else
        pxi_Template_Blit0<C>::solidBlitFAST(r.first, r.w, r.h, value, r.span);
    },
    [&](auto tag) {
      pxi_Template_Blit1<typename decltype(tag)::type>::solidBlit((PX_pixel_chan*)r.first, r.w, r.h,
                                                                  PX_GETR(color), PX_GETG(color),
                                                                  PX_GETB(color), wt, r.span * 4);
    });
}

void PX_ClearRect(PX_IBitmap* dest, int x, int y, int w, int h, PX_pixel mask, PX_pixel orbits)
{
  pxi_ClippedRect r;
  if (!dest || !pxi_ClipRect(dest, x, y, w, h, &r))
    return;
  pxi_ForEachPixel(r, [=](PX_pixel* p) { *p = (*p & mask) | orbits; });
}

void PX_Clear(PX_IBitmap* dest, PX_pixel color)
{
  pxi_ClippedRect r;
  if (!pxi_WholeBitmap(dest, &r))
    return;
  clobber(r, color);
}

namespace {

// One gradient channel in 16.16: start, x slope, y slope.
struct GradChannel
{
  int start, dx, dy;
};

bool toGradChannel(float start, float dx, float dy, GradChannel* c)
{
  return pxi_ToFixed(start, &c->start) && pxi_ToFixed(dx, &c->dx) && pxi_ToFixed(dy, &c->dy);
}

// Moves the start by n steps; false when it would leave the int range.
bool advance(GradChannel* c, int64_t n, int step)
{
  const int64_t v = c->start + n * step;
  if (v < INT32_MIN || v > INT32_MAX)
    return false;
  c->start = (int)v;
  return true;
}

// True when every value the w x h walk reaches fits an int. The values are linear in x and y, so
// the four corners bound them.
bool gradFits(const GradChannel& c, int w, int h)
{
  const int64_t xs = (int64_t)c.dx * (w - 1), ys = (int64_t)c.dy * (h - 1);
  for (int64_t v : {(int64_t)c.start, c.start + xs, c.start + ys, c.start + xs + ys})
    if (v < INT32_MIN || v > INT32_MAX)
      return false;
  return true;
}

}  // namespace

void PX_GradRect(PX_IBitmap* dest, int dstx, int dsty, int dstw, int dsth, float ir, float ig,
                 float ib, float ia, float drdx, float dgdx, float dbdx, float dadx, float drdy,
                 float dgdy, float dbdy, float dady, int mode)
{
  if (!dest)
    return;
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
  const auto skip = [&](int64_t n, bool horizontal) {
    for (GradChannel* c : {&r, &g, &b, &a})
      if (!advance(c, n, horizontal ? c->dx : c->dy))
        return false;
    return true;
  };
  if (!pxi_ClipRectToDest(x, y, w, h, dest->getWidth(), dest->getHeight(), skip))
    return;
  PX_pixel* bits = dest->getBits();
  if (!bits || dest->getRowSpan() <= 0)
    return;
  if (!gradFits(r, (int)w, (int)h) || !gradFits(g, (int)w, (int)h) ||
      !gradFits(b, (int)w, (int)h) || !gradFits(a, (int)w, (int)h))
    return;

  const pxi_Rows rows = pxi_LogicalRows(dest, bits, (int)y);
  PX_pixel_chan* p = rows.start + x * 4;
  const int W = (int)w, H = (int)h;
  // The weight comes per pixel from the alpha ramp; the selector's weight only picks the clobber
  // (a constant full alpha) over the blend.
  const int key = a.start == 0x1000000 && a.dx == 0 && a.dy == 0 ? 256 : 1;
  pxi_SelectClamp(mode & PX_MODE_MASK, key, [&](auto tag) {
    pxi_Template_Blit1<typename decltype(tag)::type>::gradBlit(p, W, H, r.start, g.start, b.start,
                                                               a.start, r.dx, g.dx, b.dx, a.dx,
                                                               r.dy, g.dy, b.dy, a.dy, rows.step);
  });
}

void PX_MultiplyAddRect(PX_IBitmap* dest, int x, int y, int w, int h, float rsc, float gsc,
                        float bsc, float asc, float radd, float gadd, float badd, float aadd)
{
  pxi_ClippedRect r;
  if (!dest || !pxi_ClipRect(dest, x, y, w, h, &r))
    return;
  int sc[4], add[4];  // indexed by byte offset: blue, green, red, alpha
  if (!pxi_ToInt(bsc * 256.0, &sc[PX_PIXEL_B]) || !pxi_ToInt(gsc * 256.0, &sc[PX_PIXEL_G]) ||
      !pxi_ToInt(rsc * 256.0, &sc[PX_PIXEL_R]) || !pxi_ToInt(asc * 256.0, &sc[PX_PIXEL_A]) ||
      !pxi_ToInt(badd * 256.0, &add[PX_PIXEL_B]) || !pxi_ToInt(gadd * 256.0, &add[PX_PIXEL_G]) ||
      !pxi_ToInt(radd * 256.0, &add[PX_PIXEL_R]) || !pxi_ToInt(aadd * 256.0, &add[PX_PIXEL_A]))
    return;
  pxi_ForEachPixel(r, [&](PX_pixel* px) {
    PX_pixel_chan* c = (PX_pixel_chan*)px;
    // 64-bit products: scale times channel cannot overflow; the shift is arithmetic.
#define PXI_MA(i) (((int64_t)c[i] * sc[i] + add[i]) >> 8)
    pxi_MakePixelClamp(c, PXI_MA(PX_PIXEL_R), PXI_MA(PX_PIXEL_G), PXI_MA(PX_PIXEL_B),
                       PXI_MA(PX_PIXEL_A));
#undef PXI_MA
  });
}

void PX_ProcessRect(PX_IBitmap* dest, int x, int y, int w, int h,
                    void (*procfunc)(PX_pixel* p, void* parm), void* parm)
{
  pxi_ClippedRect r;
  if (!dest || !procfunc || !pxi_ClipRect(dest, x, y, w, h, &r))
    return;
  pxi_ForEachPixel(r, [=](PX_pixel* p) { procfunc(p, parm); });
}

void PX_SetAlphaFromColorMask(PX_IBitmap* dest, PX_pixel color)
{
  pxi_ClippedRect r;
  if (!pxi_WholeBitmap(dest, &r))
    return;
  pxi_ForEachPixel(r, [=](PX_pixel* p) {
    *p = (*p & 0xFFFFFFu) == color ? (*p & 0xFFFFFFu) : (*p | 0xFF000000u);
  });
}

void PX_SimpleFill(PX_IBitmap* dest, int x, int y, PX_pixel newcolor, PX_pixel comparemask,
                   PX_pixel keepmask)
{
  if (!dest)
    return;
  const int w = dest->getWidth(), h = dest->getHeight(), span = dest->getRowSpan();
  if (x < 0 || x >= w || y < 0 || y >= h)
    return;
  PX_pixel* bits = dest->getBits();
  if (!bits || span <= 0)
    return;

  const PX_pixel ref = bits[(ptrdiff_t)y * span + x] & comparemask;
  const auto matches = [=](PX_pixel p) { return (p & comparemask) == ref; };
  const auto fill = [=](PX_pixel* p) { *p = (*p & keepmask) | newcolor; };
  // Fills row yy from column x outward; false when its column-x pixel does not match.
  const auto fillRow = [&](int yy) {
    PX_pixel* row = bits + (ptrdiff_t)yy * span;
    if (!matches(row[x]))
      return false;
    fill(row + x);
    for (int i = x + 1; i < w && matches(row[i]); ++i)
      fill(row + i);
    for (int i = x - 1; i >= 0 && matches(row[i]); --i)
      fill(row + i);
    return true;
  };
  for (int yy = y; yy < h && fillRow(yy); ++yy)
  {}
  for (int yy = y - 1; yy >= 0 && fillRow(yy); --yy)
  {}
}
