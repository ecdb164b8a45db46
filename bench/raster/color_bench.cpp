// Octree quantisation of an editor-sized (664 x 472) image to 256 colours, against libimagequant
// (natively, where installed) in the same run: the palette alone, and the palette with every pixel
// mapped to its index (no dithering). The counter mean_error is the mean RGB distance between a
// pixel and its palette colour. Then the rectangle HSV alteration of the whole image against a
// plain per-pixel floating-point loop; both restore the image first in each iteration.
#include "raster/px.h"
#include "raster/px_colorspace.h"
#include "raster/px_palette.h"
#include "raster/px_texgen.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#ifdef QV_HAVE_LIBIMAGEQUANT
#include <libimagequant.h>
#endif

namespace {

const int kW = 664, kH = 472, kColors = 256;

// Editor-like artwork: a shaded background, noise and ring panels, and flat controls; or, for
// image 1, unrelated random pixels.
const PX_MemBitmap& image(int which)
{
  static PX_MemBitmap images[2];
  PX_MemBitmap& bm = images[which];
  if (bm.getWidth())
    return bm;
  bm.resize(kW, kH);
  if (which == 1)
  {
    uint32_t s = 0x2545F491u;
    for (int i = 0; i < bm.getRowSpan() * kH; ++i)
      bm.getBits()[i] = (s ^= s << 13, s ^= s >> 17, s ^= s << 5);
    return bm;
  }
  PX_GradRect(&bm, 0, 0, kW, kH, 0.15f, 0.18f, 0.25f, 1.0f, 0.0002f, 0, 0, 0, 0.0009f, 0.0006f,
              0.0004f, 0, PX_MODE_COPY);
  const PX_RECT clouds = {20, 20, 320, 220}, rings = {340, 20, 644, 220},
                floor = {20, 240, 644, 452};
  PX_TexGen_Noise(&bm, &clouds, 0.9f, 0.7f, 0.4f, 1.5f, 1, 16);
  PX_TexGen_CircNoise(&bm, &rings, 0.8f, 0.3f, 0.6f, 6, 20, 32);
  PX_TexGen_Noise(&bm, &floor, 0.5f, 0.6f, 0.8f, 4, 0, 32);
  for (int i = 0; i < 16; ++i)
    PX_FillRect(&bm, 30 + i * 38, 300 + (i % 4) * 30, 30, 30, 0xFF202020u + 0x0F0B07u * i, 0.8f,
                PX_MODE_COPY);
  return bm;
}

double distance(int r0, int g0, int b0, int r1, int g1, int b1)
{
  return std::sqrt((double)((r0 - r1) * (r0 - r1) + (g0 - g1) * (g0 - g1) + (b0 - b1) * (b0 - b1)));
}

// --- octree --------------------------------------------------------------------------------

void octreeQuality(benchmark::State& state)
{
  PX_MemBitmap& img = const_cast<PX_MemBitmap&>(image(0));
  OTree* t = PX_CreateOctree(kColors);
  PX_BuildOctree(t, &img);
  std::vector<PX_pixel> pal(kColors);
  state.counters["colors"] = PX_ExtractOctreePalette(t, pal.data());
  double err = 0;
  for (int i = 0; i < kW * kH; ++i)
  {
    const PX_pixel c = img.getBits()[(i / kW) * img.getRowSpan() + i % kW];
    const PX_pixel p = pal[PX_FindInOctree(t, c)];
    err += distance(PX_GETR(c), PX_GETG(c), PX_GETB(c), PX_GETR(p), PX_GETG(p), PX_GETB(p));
  }
  state.counters["mean_error"] = err / (kW * kH);
  PX_DestroyOctree(t);
}

void BM_OctreePalette(benchmark::State& state)
{
  PX_MemBitmap& img = const_cast<PX_MemBitmap&>(image(0));
  std::vector<PX_pixel> pal(kColors);
  for (auto _ : state)
    benchmark::DoNotOptimize(PX_BuildPalette(&img, pal.data(), kColors));
  octreeQuality(state);
  state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_OctreePalette)->Unit(benchmark::kMillisecond);

void BM_OctreePaletteAndRemap(benchmark::State& state)
{
  PX_MemBitmap& img = const_cast<PX_MemBitmap&>(image(0));
  std::vector<PX_pixel> pal(kColors);
  std::vector<unsigned char> indexes((size_t)kW * kH);
  for (auto _ : state)
  {
    OTree* t = PX_CreateOctree(kColors);
    PX_BuildOctree(t, &img);
    PX_ExtractOctreePalette(t, pal.data());
    for (int y = 0; y < kH; ++y)
    {
      const PX_pixel* row = img.getBits() + y * img.getRowSpan();
      for (int x = 0; x < kW; ++x)
        indexes[y * kW + x] = (unsigned char)PX_FindInOctree(t, row[x]);
    }
    PX_DestroyOctree(t);
    benchmark::DoNotOptimize(indexes.data());
  }
  octreeQuality(state);
  state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_OctreePaletteAndRemap)->Unit(benchmark::kMillisecond);

#ifdef QV_HAVE_LIBIMAGEQUANT

// The image as red, green, blue, alpha bytes, the order libimagequant reads.
const std::vector<unsigned char>& rgbaImage()
{
  static std::vector<unsigned char> rgba;
  if (!rgba.empty())
    return rgba;
  PX_MemBitmap& img = const_cast<PX_MemBitmap&>(image(0));
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
    {
      const PX_pixel c = img.getBits()[y * img.getRowSpan() + x];
      rgba.insert(rgba.end(), {(unsigned char)PX_GETR(c), (unsigned char)PX_GETG(c),
                               (unsigned char)PX_GETB(c), (unsigned char)PX_GETA(c)});
    }
  return rgba;
}

// Quantises with the given speed (1 best .. 10 fastest, 4 the library's default); with remap,
// also writes every pixel's index. Returns the mean error when asked.
void liqQuantise(int speed, bool remap, std::vector<unsigned char>* indexes, double* meanError)
{
  liq_attr* attr = liq_attr_create();
  liq_set_max_colors(attr, kColors);
  liq_set_speed(attr, speed);
  liq_image* img = liq_image_create_rgba(attr, rgbaImage().data(), kW, kH, 0);
  liq_result* res = nullptr;
  if (liq_image_quantize(img, attr, &res) == LIQ_OK)
  {
    const liq_palette* pal = liq_get_palette(res);
    benchmark::DoNotOptimize(pal);
    if (remap || meanError)
    {
      liq_set_dithering_level(res, 0.0f);
      liq_write_remapped_image(res, img, indexes->data(), indexes->size());
      pal = liq_get_palette(res);
    }
    if (meanError)
    {
      const std::vector<unsigned char>& rgba = rgbaImage();
      double err = 0;
      for (size_t i = 0; i < indexes->size(); ++i)
      {
        const liq_color& p = pal->entries[(*indexes)[i]];
        err += distance(rgba[i * 4], rgba[i * 4 + 1], rgba[i * 4 + 2], p.r, p.g, p.b);
      }
      *meanError = err / (kW * kH);
    }
    liq_result_destroy(res);
  }
  liq_image_destroy(img);
  liq_attr_destroy(attr);
}

template <bool REMAP>
void BM_Libimagequant(benchmark::State& state)
{
  const int speed = (int)state.range(0);
  std::vector<unsigned char> indexes((size_t)kW * kH);
  for (auto _ : state)
  {
    liqQuantise(speed, REMAP, &indexes, nullptr);
    benchmark::DoNotOptimize(indexes.data());
  }
  double err = 0;
  liqQuantise(speed, true, &indexes, &err);
  state.counters["mean_error"] = err;
  state.SetItemsProcessed(state.iterations() * kW * kH);
}
// Speed 4 is the library's default, 10 its fastest.
BENCHMARK_TEMPLATE(BM_Libimagequant, false)
  ->Name("BM_LibimagequantPalette")
  ->Arg(4)
  ->Arg(10)
  ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Libimagequant, true)
  ->Name("BM_LibimagequantPaletteAndRemap")
  ->Arg(4)
  ->Arg(10)
  ->Unit(benchmark::kMillisecond);

#endif

// --- HSV alteration --------------------------------------------------------------------------

const float kDh = 0.1f, kDs = 0.05f, kDv = -0.05f;

// The straightforward way: each pixel to floating-point HSV, shifted, and back, rounded.
PX_pixel floatAlterHSV(PX_pixel c, float dh, float ds, float dv)
{
  const float r = PX_GETR(c) / 255.0f, g = PX_GETG(c) / 255.0f, b = PX_GETB(c) / 255.0f;
  const float mx = std::max({r, g, b}), d = mx - std::min({r, g, b});
  float h = 0;
  if (d > 0)
    h = mx == r ? (g - b) / d : mx == g ? 2 + (b - r) / d : 4 + (r - g) / d;
  h = h / 6 + dh;
  h -= std::floor(h);
  const float s = std::clamp((mx > 0 ? d / mx : 0) + ds, 0.0f, 1.0f);
  const float v = std::clamp(mx + dv, 0.0f, 1.0f);
  const float h6 = h * 6;
  const int sector = (int)h6 % 6;
  const float f = h6 - std::floor(h6), p = v * (1 - s), q = v * (1 - s * f),
              t = v * (1 - s * (1 - f));
  const float rgb[6][3] = {{v, t, p}, {q, v, p}, {p, v, t}, {p, q, v}, {t, p, v}, {v, p, q}};
  const float* o = rgb[sector];
  return (c & 0xFF000000u) | (PX_pixel)(o[0] * 255 + 0.5f) << 16 |
         (PX_pixel)(o[1] * 255 + 0.5f) << 8 | (PX_pixel)(o[2] * 255 + 0.5f);
}

void restore(PX_MemBitmap& work, const PX_MemBitmap& src)
{
  std::memcpy(work.getBits(), const_cast<PX_MemBitmap&>(src).getBits(),
              (size_t)work.getRowSpan() * kH * 4);
}

// Image 0: the artwork; image 1: random pixels.
void BM_AlterRectHSV(benchmark::State& state)
{
  const PX_MemBitmap& src = image((int)state.range(0));
  PX_MemBitmap work(kW, kH);
  for (auto _ : state)
  {
    restore(work, src);
    PX_AlterRectHSV(&work, 0, 0, kW, kH, kDh, kDs, kDv);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_AlterRectHSV)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_FloatHSVLoop(benchmark::State& state)
{
  const PX_MemBitmap& src = image((int)state.range(0));
  PX_MemBitmap work(kW, kH);
  for (auto _ : state)
  {
    restore(work, src);
    for (int y = 0; y < kH; ++y)
    {
      PX_pixel* row = work.getBits() + y * work.getRowSpan();
      for (int x = 0; x < kW; ++x)
        row[x] = floatAlterHSV(row[x], kDh, kDs, kDv);
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_FloatHSVLoop)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
