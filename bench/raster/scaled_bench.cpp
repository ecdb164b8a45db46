// Bilinear scaled and rotated blits against pixman's affine bilinear compositing of the same
// sizes (natively, where pixman is available).
#include "raster/px_scaled.h"

#include <benchmark/benchmark.h>

#include <cmath>

#ifdef QV_HAVE_PIXMAN
#include <pixman.h>
#endif

namespace {

const int kSrc = 256;

void fillImage(PX_IBitmap* bm)
{
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      bm->getBits()[y * bm->getRowSpan() + x] = PX_RGBA(x, y, (x * y) >> 8, x < 64 ? 4 * x : 255);
}

void BM_ScaledBlitBilinear(benchmark::State& state)
{
  const int n = (int)state.range(0);
  const int mode =
    (int)state.range(1) ? PX_FILTER_BILINEAR | PX_MODE_SOURCEALPHA : PX_FILTER_BILINEAR;
  PX_MemBitmap src(kSrc, kSrc, 4), dest(n, n, 4);
  fillImage(&src);
  for (auto _ : state)
  {
    PX_ScaledBlit(&dest, &src, 0, 0, n, n, 0.0f, 0.0f, kSrc, kSrc, 1.0f, mode);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n * n);
}

void BM_RotatedBlitBilinear(benchmark::State& state)
{
  PX_MemBitmap src(kSrc, kSrc, 4), dest(kSrc, kSrc, 4);
  fillImage(&src);
  for (auto _ : state)
  {
    PX_RotatedBlit(&dest, &src, 0, 0, kSrc, kSrc, 0.0f, 0.0f, kSrc, kSrc, 0.5f, false, 1.0f,
                   PX_FILTER_BILINEAR);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kSrc * kSrc);
}

// Destinations up and down by factors that keep the bilinear filter (no averaging); copy and
// source-alpha modes.
BENCHMARK(BM_ScaledBlitBilinear)->ArgsProduct({{400, 180}, {0, 1}});
BENCHMARK(BM_RotatedBlitBilinear);

#ifdef QV_HAVE_PIXMAN

struct PixmanPair
{
  PX_MemBitmap srcBits, destBits;
  pixman_image_t* src;
  pixman_image_t* dest;
  PixmanPair(int dw, int dh)
    : srcBits(kSrc, kSrc, 4)
    , destBits(dw, dh, 4)
  {
    fillImage(&srcBits);
    src = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSrc, kSrc, srcBits.getBits(),
                                   srcBits.getRowSpan() * 4);
    dest = pixman_image_create_bits(PIXMAN_a8r8g8b8, dw, dh, destBits.getBits(),
                                    destBits.getRowSpan() * 4);
    pixman_image_set_filter(src, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  }
  ~PixmanPair()
  {
    pixman_image_unref(src);
    pixman_image_unref(dest);
  }
  void setTransform(const pixman_f_transform& f)
  {
    pixman_transform_t t;
    pixman_transform_from_pixman_f_transform(&t, &f);
    pixman_image_set_transform(src, &t);
  }
};

void BM_PixmanScaleBilinear(benchmark::State& state)
{
  const int n = (int)state.range(0);
  const pixman_op_t op = state.range(1) ? PIXMAN_OP_OVER : PIXMAN_OP_SRC;
  PixmanPair p(n, n);
  pixman_f_transform f;
  pixman_f_transform_init_scale(&f, (double)kSrc / n, (double)kSrc / n);
  p.setTransform(f);
  for (auto _ : state)
  {
    pixman_image_composite32(op, p.src, nullptr, p.dest, 0, 0, 0, 0, 0, 0, n, n);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n * n);
}

void BM_PixmanRotateBilinear(benchmark::State& state)
{
  PixmanPair p(kSrc, kSrc);
  pixman_f_transform f;
  const double c = std::cos(0.5), s = std::sin(0.5), h = kSrc / 2.0;
  pixman_f_transform_init_translate(&f, -h, -h);
  pixman_f_transform_rotate(nullptr, &f, c, s);
  pixman_f_transform_translate(nullptr, &f, h, h);
  p.setTransform(f);
  for (auto _ : state)
  {
    pixman_image_composite32(PIXMAN_OP_SRC, p.src, nullptr, p.dest, 0, 0, 0, 0, 0, 0, kSrc, kSrc);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kSrc * kSrc);
}

BENCHMARK(BM_PixmanScaleBilinear)->ArgsProduct({{400, 180}, {0, 1}});
BENCHMARK(BM_PixmanRotateBilinear);

#endif

}  // namespace

BENCHMARK_MAIN();
