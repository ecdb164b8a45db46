// Public HSV conversions and the HSV alteration of colours and rectangles. Large rectangles go
// through per-call lookup tables for the three shifts; small ones convert each pixel directly.
// Both ways give the same pixels.
#include "raster/px_colorspace.h"

#include "raster/px_combine.h"
#include "raster/px_setup.h"

#include <cstdint>

namespace {

// Rectangles of more pixels than this build the shift tables first.
const int64_t kTableThreshold = 8192;

int clampInt(int64_t v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : (int)v; }

int limitHSV(int v) { return clampInt(v, -PX_HSV_LIMIT, PX_HSV_LIMIT); }

// A hue moved by any number of steps, brought back into 0..383.
int wrapHue(int64_t h)
{
  const int64_t m = h % 384;
  return (int)(m < 0 ? m + 384 : m);
}

struct Deltas
{
  int h, s, v;
};

Deltas deltasFromFloats(float dh, float ds, float dv)
{
  return {pxi_SaturateToInt(dh * 384.0f), pxi_SaturateToInt(ds * 255.0f),
          pxi_SaturateToInt(dv * 255.0f)};
}

// The table way: each pixel is converted, its three components looked up, and rebuilt. Runs of
// one colour reuse the previous result.
void alterWithTables(const pxi_ClippedRect& r, const Deltas& d)
{
  uint16_t hue[384];
  uint8_t sat[256], val[256];
  for (int i = 0; i < 384; ++i)
    hue[i] = (uint16_t)wrapHue((int64_t)i + d.h);
  for (int i = 0; i < 256; ++i)
  {
    sat[i] = (uint8_t)clampInt((int64_t)i + d.s, 0, 255);
    val[i] = (uint8_t)clampInt((int64_t)i + d.v, 0, 255);
  }
  PX_pixel lastIn = 0, lastOut = PX_AlterColorHSV_int(0, d.h, d.s, d.v);
  for (int y = 0; y < r.h; ++y)
  {
    PX_pixel* p = r.first + (ptrdiff_t)y * r.span;
    for (int x = 0; x < r.w; ++x)
    {
      const PX_pixel c = p[x];
      if (c != lastIn)
      {
        int h, s, v;
        pxi_RGB2HSV(PX_GETR(c), PX_GETG(c), PX_GETB(c), &h, &s, &v);
        lastIn = c;
        lastOut = pxi_HSV2Pix(hue[h], sat[s], val[v], c >> 24);
      }
      p[x] = lastOut;
    }
  }
}

}  // namespace

void PX_RGB2HSV(int r, int g, int b, int* h, int* s, int* v)
{
  int hh, ss, vv;
  pxi_RGB2HSV(clampInt(r, 0, 255), clampInt(g, 0, 255), clampInt(b, 0, 255), &hh, &ss, &vv);
  if (h)
    *h = hh;
  if (s)
    *s = ss;
  if (v)
    *v = vv;
}

PX_pixel PX_HSV2Pix(int h, int s, int v, int alpha)
{
  return pxi_HSV2Pix(limitHSV(h), limitHSV(s), limitHSV(v), alpha);
}

void PX_HSV2RGB(int h, int s, int v, int* r, int* g, int* b)
{
  PX_CombineInt rr, gg, bb;
  pxi_HSV2RGB(limitHSV(h), limitHSV(s), limitHSV(v), &rr, &gg, &bb);
  // Results beyond the int range keep their low 32 bits, as the pixel keeps the low eight.
  if (r)
    *r = (int)(uint32_t)rr;
  if (g)
    *g = (int)(uint32_t)gg;
  if (b)
    *b = (int)(uint32_t)bb;
}

PX_pixel PX_AlterColorHSV_int(PX_pixel color, int dh, int ds, int dv)
{
  int h, s, v;
  pxi_RGB2HSV(PX_GETR(color), PX_GETG(color), PX_GETB(color), &h, &s, &v);
  return pxi_HSV2Pix(wrapHue((int64_t)h + dh), clampInt((int64_t)s + ds, 0, 255),
                     clampInt((int64_t)v + dv, 0, 255), color >> 24);
}

PX_pixel PX_AlterColorHSV(PX_pixel color, float dh, float ds, float dv)
{
  const Deltas d = deltasFromFloats(dh, ds, dv);
  return PX_AlterColorHSV_int(color, d.h, d.s, d.v);
}

void PX_AlterRectHSV(PX_IBitmap* bm, int x, int y, int w, int h, float dh, float ds, float dv)
{
  if (!bm)
    return;
  Deltas d = deltasFromFloats(dh, ds, dv);
  d.h = clampInt(d.h, -383, 383);
  pxi_ClippedRect r;
  if ((d.h == 0 && d.s == 0 && d.v == 0) || !pxi_ClipRect(bm, x, y, w, h, &r))
    return;
  if ((int64_t)r.w * r.h > kTableThreshold)
  {
    alterWithTables(r, d);
    return;
  }
  pxi_ForEachPixel(r, [&](PX_pixel* p) { *p = PX_AlterColorHSV_int(*p, d.h, d.s, d.v); });
}

void PX_AlterBitmapHSV(PX_IBitmap* bm, float dh, float ds, float dv)
{
  if (bm)
    PX_AlterRectHSV(bm, 0, 0, bm->getWidth(), bm->getHeight(), dh, ds, dv);
}
