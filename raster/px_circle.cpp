// Circle outlines and filled circles: six small radii as coverage masks, every other outline and
// every filled circle through the circle drawers, midpoint without anti-aliasing and square-root
// with it. Outline points reached twice (near the diagonals) are combined twice; a filled circle
// marks its points and runs first and combines each pixel once, with the last weight it was given.
#include "raster/px_arc.h"
#include "raster/px_line_templates.h"
#include "raster/px_shape_setup.h"
#include "raster/px_shape_templates.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Coverage masks of the small radii, rows top to bottom.
constexpr PX_pixel_chan kCircleAA15[4 * 4] = {
  0x4F, 0xFF, 0xFF, 0x4F, 0xFF, 0x0F, 0x0F, 0xFF, 0xFF, 0x0F, 0x0F, 0xFF, 0x4F, 0xFF, 0xFF, 0x4F,
};
constexpr PX_pixel_chan kCirclePlain15[4 * 4] = {
  0x00, 0xFF, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0x00, 0xFF, 0xFF, 0x00,
};
constexpr PX_pixel_chan kCircleAA20[5 * 5] = {
  0x0F, 0xBF, 0xFF, 0xBF, 0x0F, 0xBF, 0xD1, 0x4F, 0xD1, 0xBF, 0xFF, 0x4F, 0x00,
  0x4F, 0xFF, 0xBF, 0xD1, 0x4F, 0xD1, 0xBF, 0x0F, 0xBF, 0xFF, 0xBF, 0x0F,
};
constexpr PX_pixel_chan kCirclePlain20[5 * 5] = {
  0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00,
  0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00,
};
constexpr PX_pixel_chan kCircleAA25[6 * 6] = {
  0x0F, 0xBF, 0xFF, 0xFF, 0xBF, 0x0F, 0xBF, 0xD1, 0x4F, 0x4F, 0xD1, 0xBF,
  0xFF, 0x4F, 0x00, 0x00, 0x4F, 0xFF, 0xFF, 0x4F, 0x00, 0x00, 0x4F, 0xFF,
  0xBF, 0xD1, 0x4F, 0x4F, 0xD1, 0xBF, 0x0F, 0xBF, 0xFF, 0xFF, 0xBF, 0x0F,
};
constexpr PX_pixel_chan kCirclePlain25[6 * 6] = {
  0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0x00,
  0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF,
  0x00, 0xFF, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00,
};
constexpr PX_pixel_chan kCircleAA30[7 * 7] = {
  0x00, 0x8F, 0xFF, 0xFF, 0xFF, 0x8F, 0x00, 0x8F, 0xFF, 0x61, 0x40, 0x61, 0xFF,
  0x8F, 0xFF, 0x70, 0x00, 0x00, 0x00, 0x70, 0xFF, 0xFF, 0x30, 0x00, 0x00, 0x00,
  0x30, 0xFF, 0xFF, 0x70, 0x00, 0x00, 0x00, 0x70, 0xFF, 0x8F, 0xFF, 0x61, 0x40,
  0x61, 0xFF, 0x8F, 0x00, 0x8F, 0xFF, 0xFF, 0xFF, 0x8F, 0x00,
};
constexpr PX_pixel_chan kCirclePlain30[7 * 7] = {
  0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF,
  0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00,
  0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00,
  0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00,
};
constexpr PX_pixel_chan kCircleAA35[8 * 8] = {
  0x00, 0x4F, 0xDE, 0xFF, 0xFF, 0xDE, 0x4F, 0x00, 0x4F, 0xFF, 0xB0, 0x40, 0x40, 0xB0, 0xFF, 0x4F,
  0xDE, 0xB0, 0x00, 0x00, 0x00, 0x00, 0xB0, 0xDE, 0xFF, 0x40, 0x00, 0x00, 0x00, 0x00, 0x40, 0xFF,
  0xFF, 0x40, 0x00, 0x00, 0x00, 0x00, 0x40, 0xFF, 0xDE, 0xB0, 0x00, 0x00, 0x00, 0x00, 0xB0, 0xDE,
  0x4F, 0xFF, 0xB0, 0x40, 0x40, 0xB0, 0xFF, 0x4F, 0x00, 0x4F, 0xDE, 0xFF, 0xFF, 0xDE, 0x4F, 0x00,
};
constexpr PX_pixel_chan kCirclePlain35[8 * 8] = {
  0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00,
  0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF,
  0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF,
  0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00,
};
constexpr PX_pixel_chan kCircleAA40[9 * 9] = {
  0x00, 0x1F, 0xB0, 0xFF, 0xFF, 0xFF, 0xB0, 0x1F, 0x00, 0x1F, 0xF0, 0xD1, 0x4F, 0x40,
  0x4F, 0xD1, 0xF0, 0x1F, 0xB0, 0xD1, 0x0F, 0x00, 0x00, 0x00, 0x0F, 0xD1, 0xB0, 0xFF,
  0x4F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x4F, 0xFF, 0xFF, 0x30, 0x00, 0x00, 0x00, 0x00,
  0x00, 0x30, 0xFF, 0xFF, 0x4F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x4F, 0xFF, 0xB0, 0xD1,
  0x0F, 0x00, 0x00, 0x00, 0x0F, 0xD1, 0xB0, 0x1F, 0xF0, 0xD1, 0x4F, 0x40, 0x4F, 0xD1,
  0xF0, 0x1F, 0x00, 0x1F, 0xB0, 0xFF, 0xFF, 0xFF, 0xB0, 0x1F, 0x00,
};
constexpr PX_pixel_chan kCirclePlain40[9 * 9] = {
  0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00,
  0x00, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF,
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00,
  0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF,
  0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0xFF,
  0xFF, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00,
};

struct CircleMask
{
  float r;
  int n;
  const PX_pixel_chan* aa;
  const PX_pixel_chan* plain;
};

constexpr CircleMask kCircleMasks[] = {
  {1.5f, 4, kCircleAA15, kCirclePlain15}, {2.0f, 5, kCircleAA20, kCirclePlain20},
  {2.5f, 6, kCircleAA25, kCirclePlain25}, {3.0f, 7, kCircleAA30, kCirclePlain30},
  {3.5f, 8, kCircleAA35, kCirclePlain35}, {4.0f, 9, kCircleAA40, kCirclePlain40}};

// Draws the circle from a mask when r is one of the six radii exactly; the mask lands in logical
// rows through the glyph drawer.
bool CachedCircle(PX_IBitmap* dest, float cx, float cy, float r, PX_pixel color, float alpha,
                  int mode, bool aa)
{
  for (const CircleMask& m : kCircleMasks)
  {
    if (r != m.r)
      continue;
    // The glyph drawer takes the alpha; hand it the saturated weight's alpha.
    const float a = (float)pxi_ShapeWeight(alpha) / 256.0f;
    PX_DrawGlyph(dest, pxi_SatInt(cx - r), pxi_SatInt(cy - r), color, aa ? m.aa : m.plain, m.n, m.n,
                 a, mode);
    return true;
  }
  return false;
}

// Outline or disc with the drawers over the whole bitmap.
void drawCircle(PX_IBitmap* dest, float cx, float cy, float r, PX_pixel color, float alpha,
                int mode, bool aa, bool fill)
{
  const int w = dest->getWidth(), h = dest->getHeight();
  if (dest->isFlipped())
    cy = (float)(h - 1) - cy;
  const int ia = pxi_ShapeWeight(alpha);
  if (ia == 0)
    return;
  const int clip[4] = {0, 0, w, h};
  // Points may be clipped away unchecked only when the whole circle, with a margin for the
  // truncations, lies inside; a negative radius always takes the checked path.
  const double m = (double)r + 3.0;
  const bool inside = r >= 0 && cx - m >= 0 && cx + m < w && cy - m >= 0 && cy + m < h;
  pxi_DrawCircleClipped(dest, cx, cy, r, color, ia, aa, fill, mode, clip, !inside);
}

}  // namespace

namespace {

// A weight mask cell nothing was written to (weights lie within +-PX_SHAPE_MAX_WEIGHT).
constexpr PX_pixel kUnmarked = 0x80000000u;
// Mask cells per pass; taller boxes are filled band by band.
constexpr int64_t kMaskCells = 1 << 20;

// Calls f with the combiner tag of the circle drawers for this mode and weight.
template <class F>
void selectCircle(bool aa, int mode, int ia, F&& f)
{
  const int op = mode & PX_MODE_MASK;
  if (aa)
    pxi_SelectShapeAA(op, ia, f);
  else
    pxi_SelectShapePlain(op, ia, f);
}

struct Disc
{
  float cx, cy, r;
};

// Rectangle {left, top, right, bottom} in storage rows, right and bottom excluded.
typedef int64_t Hole[4];

// Fills the discs (storage rows) within clip, each pixel combined once with the last weight the
// drawers give it, in the order of the discs; the pixels of the holes are left alone.
void fillDiscs(PX_IBitmap* dest, const Disc* discs, int n, const Hole* holes, int nholes,
               PX_pixel color, int ia, bool aa, int mode, const int* clip)
{
  PX_pixel* bits = dest->getBits();
  const int span = dest->getRowSpan();
  if (!bits || span <= 0 || ia == 0 || clip[0] >= clip[2] || clip[1] >= clip[3])
    return;
  // The discs' box, with the truncation margin, inside the clip.
  double l = INFINITY, t = INFINITY, r = -INFINITY, b = -INFINITY;
  for (int i = 0; i < n; ++i)
  {
    const double m = std::fabs((double)discs[i].r) + 3.0;
    l = std::fmin(l, discs[i].cx - m), r = std::fmax(r, discs[i].cx + m);
    t = std::fmin(t, discs[i].cy - m), b = std::fmax(b, discs[i].cy + m);
  }
  const auto lo = [](double v, int a, int z) {
    return v <= a ? a : v >= z ? z : (int)std::floor(v);
  };
  const auto hi = [](double v, int a, int z) {
    return v + 1 >= z ? z : v < a ? a : (int)std::floor(v) + 1;
  };
  const int L = lo(l, clip[0], clip[2]), R = hi(r, clip[0], clip[2]);
  const int T = lo(t, clip[1], clip[3]), B = hi(b, clip[1], clip[3]);
  if (L >= R || T >= B)
    return;
  const int64_t bw = (int64_t)R - L, rows = kMaskCells / bw > 0 ? kMaskCells / bw : 1;
  std::vector<PX_pixel> mask;
  const auto draw = [&](auto tag) {
    typedef pxi_CircleDrawer<typename decltype(tag)::type> D;
    typedef pxi_CircleDrawer<pxi_RecordWeight> M;
    const typename D::Ctx c = {
      dest,           bits,           span,           0,     0,    clip, PX_GETR(color),
      PX_GETG(color), PX_GETB(color), PX_GETA(color), false, color};
    for (int64_t top = T; top < B; top += rows)
    {
      const int bottom = (int)(top + rows < B ? top + rows : B);
      const int band[4] = {L, (int)top, R, bottom};
      mask.assign((size_t)(bw * (bottom - top)), kUnmarked);
      const M::Ctx mc = {dest, mask.data(), (ptrdiff_t)bw, L, (int)top, band, 0, 0, 0, 0, true, 0};
      for (int i = 0; i < n; ++i)
        (aa ? M::DrawClippedCircleAA : M::DrawClippedCircle)(mc, discs[i].cx, discs[i].cy,
                                                             discs[i].r, ia, true);
      for (int i = 0; i < nholes; ++i)
        for (int64_t y = std::max<int64_t>(holes[i][1], top);
             y < std::min<int64_t>(holes[i][3], bottom); ++y)
          for (int64_t x = std::max<int64_t>(holes[i][0], L); x < std::min<int64_t>(holes[i][2], R);
               ++x)
            mask[(size_t)((y - top) * bw + (x - L))] = kUnmarked;
      // Each run of equal weights is combined once.
      for (int y = (int)top; y < bottom; ++y)
      {
        const PX_pixel* row = &mask[(size_t)((y - top) * bw)];
        for (int64_t x = 0, e; x < bw; x = e)
        {
          e = pxi_RunEnd(row, x, bw);
          if (row[x] != kUnmarked)
            D::DrawClippedHorzLine(c, y, (int)(L + x), (int)(L + e - 1), (int)row[x]);
        }
      }
    }
  };
  selectCircle(aa, mode, ia, draw);
}

}  // namespace

void pxi_DrawCircleClipped(PX_IBitmap* dest, float cx, float cy, float r, PX_pixel color, int ia,
                           bool aa, bool fill, int mode, const int* clip, bool needsclip)
{
  if (fill)
  {
    const Disc d = {cx, cy, r};
    fillDiscs(dest, &d, 1, nullptr, 0, color, ia, aa, mode, clip);
    return;
  }
  PX_pixel* bits = dest->getBits();
  const int span = dest->getRowSpan();
  if (!bits || span <= 0 || ia == 0)
    return;
  if (needsclip)
  {
    // Nothing to do when the circle's box (with the truncation margin) misses the clip.
    const double m = std::fabs((double)r) + 3.0;
    if (clip[0] >= clip[2] || clip[1] >= clip[3] || cx + m < clip[0] || cx - m >= clip[2] ||
        cy + m < clip[1] || cy - m >= clip[3])
      return;
  }
  const auto draw = [&](auto tag) {
    typedef pxi_CircleDrawer<typename decltype(tag)::type> D;
    const typename D::Ctx c = {
      dest,           bits,           span,           0,         0,    clip, PX_GETR(color),
      PX_GETG(color), PX_GETB(color), PX_GETA(color), needsclip, color};
    if (aa)
      D::DrawClippedCircleAA(c, cx, cy, r, ia, false);
    else
      D::DrawClippedCircle(c, cx, cy, r, ia, false);
  };
  selectCircle(aa, mode, ia, draw);
}

void PX_Circle(PX_IBitmap* dest, float cx, float cy, float r, PX_pixel color, float alpha, int mode,
               bool aa)
{
  if (!dest || !pxi_AllFinite(cx, cy, r) || CachedCircle(dest, cx, cy, r, color, alpha, mode, aa))
    return;
  drawCircle(dest, cx, cy, r, color, alpha, mode, aa, false);
}

void PX_FillCircle(PX_IBitmap* dest, float cx, float cy, float r, PX_pixel color, float alpha,
                   int mode, bool aa)
{
  if (!dest || !pxi_AllFinite(cx, cy, r))
    return;
  drawCircle(dest, cx, cy, r, color, alpha, mode, aa, true);
}

void PX_FillRoundRect(PX_IBitmap* dest, int x, int y, int w, int h, int cornerradius,
                      PX_pixel color, float alpha, int mode, bool aa)
{
  if (!dest)
    return;
  const int64_t X = x, Y = y, W = w, H = h, cr = cornerradius;
  // The middle band at full height, the two side bands between the corners.
  const int64_t bands[3][4] = {
    {X + cr, Y, W - 2 * cr, H}, {X, Y + cr, cr, H - 2 * cr}, {X + W - cr, Y + cr, cr, H - 2 * cr}};
  const int bh = dest->getHeight();
  Hole holes[3];
  int nholes = 0;
  for (const auto& b : bands)
  {
    PX_FillRect(dest, pxi_ClampInt64(b[0]), pxi_ClampInt64(b[1]), pxi_ClampInt64(b[2]),
                pxi_ClampInt64(b[3]), color, alpha, mode);
    if (b[2] > 0 && b[3] > 0)
    {
      const int64_t top = dest->isFlipped() ? bh - b[1] - b[3] : b[1];
      Hole& o = holes[nholes++];
      o[0] = b[0], o[1] = top, o[2] = b[0] + b[2], o[3] = top + b[3];
    }
  }
  // The corners (top left, bottom right, top right, bottom left) cover what the bands leave.
  const float r = (float)cr, left = (float)x + r, top = (float)y + r;
  const float right = (float)(X + W) - r - 1.0f, bottom = (float)(Y + H) - r - 1.0f;
  Disc discs[4] = {{left, top, r}, {right, bottom, r}, {right, top, r}, {left, bottom, r}};
  if (dest->isFlipped())
    for (Disc& d : discs)
      d.cy = (float)(bh - 1) - d.cy;
  const int clip[4] = {0, 0, dest->getWidth(), bh};
  fillDiscs(dest, discs, 4, holes, nholes, color, pxi_ShapeWeight(alpha), aa, mode, clip);
}
