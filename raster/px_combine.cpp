// The public single-pixel combine functions over the selection tables of px_combine.h.
#include "raster/px_combine.h"
#include "raster/px.h"

PX_pixel PX_CombinePixels(PX_pixel dest, PX_pixel src, float alpha, int mode)
{
  int w;
  if (!pxi_WeightFromAlpha(alpha, &w) || w == 0)
    return dest;
  PX_pixel out = dest;
  pxi_SelectNoClamp(mode, w, [&](auto tag) {
    decltype(tag)::type::doPix((PX_pixel_chan*)&out, PX_GETR(src), PX_GETG(src), PX_GETB(src),
                               PX_GETA(src), w);
  });
  return out;
}

// The combiners are built for channels within +-PX_MAX_CHANNEL; with such a source alpha a
// weight within +-65536 keeps the source-alpha weight inside PX_MAX_WEIGHT.
static bool combineArgsUsable(int r, int g, int b, int a, int w)
{
  const auto in = [](int v, int lim) { return v >= -lim && v <= lim; };
  return in(r, PX_MAX_CHANNEL) && in(g, PX_MAX_CHANNEL) && in(b, PX_MAX_CHANNEL) &&
         in(a, PX_MAX_CHANNEL) && in(w, 65536);
}

void PX_CombinePixels2(PX_pixel* dest, int r, int g, int b, int a, int w, int mode)
{
  if (!dest || w == 0 || !combineArgsUsable(r, g, b, a, w))
    return;
  pxi_SelectNoClamp(
    mode, w, [&](auto tag) { decltype(tag)::type::doPix((PX_pixel_chan*)dest, r, g, b, a, w); });
}

void PX_CombinePixels2Clamp(PX_pixel* dest, int r, int g, int b, int a, int w, int mode)
{
  if (!dest || w == 0 || !combineArgsUsable(r, g, b, a, w))
    return;
  pxi_SelectClamp(
    mode, w, [&](auto tag) { decltype(tag)::type::doPix((PX_pixel_chan*)dest, r, g, b, a, w); });
}
