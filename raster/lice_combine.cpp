// The public single-pixel combine functions over the selection tables of lice_combine.h.
#include "raster/lice.h"
#include "raster/lice_combine.h"

LICE_pixel LICE_CombinePixels(LICE_pixel dest, LICE_pixel src, float alpha, int mode)
{
  int w;
  if (!_LICE_WeightFromAlpha(alpha, &w) || w == 0) return dest;
  LICE_pixel out = dest;
  _LICE_SelectNoClamp(mode, w, [&](auto tag) {
    decltype(tag)::type::doPix((LICE_pixel_chan*)&out, LICE_GETR(src), LICE_GETG(src),
                               LICE_GETB(src), LICE_GETA(src), w);
  });
  return out;
}

// The combiners are built for channels within +-LICE_MAX_CHANNEL; with such a source alpha a
// weight within +-65536 keeps the source-alpha weight inside LICE_MAX_WEIGHT.
static bool combineArgsUsable(int r, int g, int b, int a, int w)
{
  const auto in = [](int v, int lim) { return v >= -lim && v <= lim; };
  return in(r, LICE_MAX_CHANNEL) && in(g, LICE_MAX_CHANNEL) && in(b, LICE_MAX_CHANNEL) &&
         in(a, LICE_MAX_CHANNEL) && in(w, 65536);
}

void LICE_CombinePixels2(LICE_pixel* dest, int r, int g, int b, int a, int w, int mode)
{
  if (!dest || w == 0 || !combineArgsUsable(r, g, b, a, w)) return;
  _LICE_SelectNoClamp(mode, w, [&](auto tag) {
    decltype(tag)::type::doPix((LICE_pixel_chan*)dest, r, g, b, a, w);
  });
}

void LICE_CombinePixels2Clamp(LICE_pixel* dest, int r, int g, int b, int a, int w, int mode)
{
  if (!dest || w == 0 || !combineArgsUsable(r, g, b, a, w)) return;
  _LICE_SelectClamp(mode, w, [&](auto tag) {
    decltype(tag)::type::doPix((LICE_pixel_chan*)dest, r, g, b, a, w);
  });
}
