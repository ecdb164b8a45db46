// Copy, fill and blend throughput against their anchors over the same geometry: memcpy and memset
// for the plain copy blit and the clobber fill, pixman's composite for the weighted blits, add and
// multiply. Sizes: the editor (664 x 472), a full HD frame, and 48 x 48 frames for per-call cost.
#include "raster/px.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>

#if QV_HAVE_PIXMAN
#include <pixman.h>
#endif

namespace {

struct Size
{
  int w, h;
};
const Size kSizes[] = {{664, 472}, {1920, 1080}, {48, 48}};

void SizeArgs(benchmark::internal::Benchmark* b)
{
  for (const Size& s : kSizes)
    b->Args({s.w, s.h});
}

// Source and destination bitmaps filled with varied pixels (alpha across its range).
struct Pair
{
  PX_MemBitmap src, dst;
  Pair(int w, int h)
    : src(w, h, 4)
    , dst(w, h, 4)
  {
    uint32_t s = 0x9E3779B9u;
    for (PX_MemBitmap* bm : {&src, &dst})
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
          s ^= s << 13, s ^= s >> 17, s ^= s << 5;
          bm->getBits()[y * bm->getRowSpan() + x] = s;
        }
  }
};

void SetBytes(benchmark::State& state, int w, int h)
{
  state.SetItemsProcessed(state.iterations() * (int64_t)w * h);
  state.SetBytesProcessed(state.iterations() * (int64_t)w * h * 4);
}

// --- copy and fill against memcpy and memset -------------------------------------------------

void BM_Memcpy(benchmark::State& state)
{
  const int w = (int)state.range(0), h = (int)state.range(1);
  Pair p(w, h);
  const int span = p.dst.getRowSpan();
  for (auto _ : state)
  {
    for (int y = 0; y < h; ++y)
      std::memcpy(p.dst.getBits() + y * span, p.src.getBits() + y * span, (size_t)w * 4);
    benchmark::ClobberMemory();
  }
  SetBytes(state, w, h);
}
BENCHMARK(BM_Memcpy)->Apply(SizeArgs);

void BM_BlitCopy(benchmark::State& state)
{
  const int w = (int)state.range(0), h = (int)state.range(1);
  Pair p(w, h);
  for (auto _ : state)
  {
    PX_Blit(&p.dst, &p.src, 0, 0, nullptr, 1.0f, PX_MODE_COPY);
    benchmark::ClobberMemory();
  }
  SetBytes(state, w, h);
}
BENCHMARK(BM_BlitCopy)->Apply(SizeArgs);

void BM_Memset(benchmark::State& state)
{
  const int w = (int)state.range(0), h = (int)state.range(1);
  Pair p(w, h);
  const int span = p.dst.getRowSpan();
  for (auto _ : state)
  {
    for (int y = 0; y < h; ++y)
      std::memset(p.dst.getBits() + y * span, 0x5A, (size_t)w * 4);
    benchmark::ClobberMemory();
  }
  SetBytes(state, w, h);
}
BENCHMARK(BM_Memset)->Apply(SizeArgs);

void BM_FillClobber(benchmark::State& state)
{
  const int w = (int)state.range(0), h = (int)state.range(1);
  Pair p(w, h);
  for (auto _ : state)
  {
    PX_FillRect(&p.dst, 0, 0, w, h, 0x5A5A5A5Au, 1.0f, PX_MODE_COPY);
    benchmark::ClobberMemory();
  }
  SetBytes(state, w, h);
}
BENCHMARK(BM_FillClobber)->Apply(SizeArgs);

// --- blends ------------------------------------------------------------------------------------

template <int MODE, int ALPHA_PERCENT>
void BM_Blit(benchmark::State& state)
{
  const int w = (int)state.range(0), h = (int)state.range(1);
  Pair p(w, h);
  const float alpha = ALPHA_PERCENT / 100.0f;
  for (auto _ : state)
  {
    PX_Blit(&p.dst, &p.src, 0, 0, nullptr, alpha, MODE);
    benchmark::ClobberMemory();
  }
  SetBytes(state, w, h);
}
// Weighted copy; source alpha at full and partial weight; add; multiply.
BENCHMARK_TEMPLATE(BM_Blit, PX_MODE_COPY, 60)->Apply(SizeArgs);
BENCHMARK_TEMPLATE(BM_Blit, PX_MODE_SOURCEALPHA, 100)->Apply(SizeArgs);
BENCHMARK_TEMPLATE(BM_Blit, PX_MODE_SOURCEALPHA, 60)->Apply(SizeArgs);
BENCHMARK_TEMPLATE(BM_Blit, PX_MODE_ADD, 100)->Apply(SizeArgs);
BENCHMARK_TEMPLATE(BM_Blit, PX_MODE_ADD, 60)->Apply(SizeArgs);
BENCHMARK_TEMPLATE(BM_Blit, PX_MODE_MUL, 100)->Apply(SizeArgs);
BENCHMARK_TEMPLATE(BM_Blit, PX_MODE_MUL, 60)->Apply(SizeArgs);

#if QV_HAVE_PIXMAN
// pixman over the same memory. The weighted copy is OVER of an opaque source through a solid
// mask; source alpha is OVER of the source itself; add and multiply are ADD and MULTIPLY, through
// a solid mask when weighted.
template <pixman_op_t OP, bool OPAQUE, int ALPHA_PERCENT>
void BM_Pixman(benchmark::State& state)
{
  const int w = (int)state.range(0), h = (int)state.range(1);
  Pair p(w, h);
  if (OPAQUE)
    for (int i = 0; i < p.src.getRowSpan() * h; ++i)
      p.src.getBits()[i] |= 0xFF000000u;
  const int stride = p.src.getRowSpan() * 4;
  pixman_image_t* src =
    pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, (uint32_t*)p.src.getBits(), stride);
  pixman_image_t* dst =
    pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, (uint32_t*)p.dst.getBits(), stride);
  pixman_image_t* mask = nullptr;
  if (ALPHA_PERCENT < 100)
  {
    const pixman_color_t c = {0, 0, 0, (uint16_t)(0xFFFF * ALPHA_PERCENT / 100)};
    mask = pixman_image_create_solid_fill(&c);
  }
  for (auto _ : state)
  {
    pixman_image_composite32(OP, src, mask, dst, 0, 0, 0, 0, 0, 0, w, h);
    benchmark::ClobberMemory();
  }
  if (mask)
    pixman_image_unref(mask);
  pixman_image_unref(src);
  pixman_image_unref(dst);
  SetBytes(state, w, h);
}
BENCHMARK_TEMPLATE(BM_Pixman, PIXMAN_OP_OVER, true, 60)
  ->Name("BM_Pixman_OverOpaqueMasked/60")
  ->Apply(SizeArgs);
BENCHMARK_TEMPLATE(BM_Pixman, PIXMAN_OP_OVER, false, 100)
  ->Name("BM_Pixman_Over/100")
  ->Apply(SizeArgs);
BENCHMARK_TEMPLATE(BM_Pixman, PIXMAN_OP_OVER, false, 60)
  ->Name("BM_Pixman_OverMasked/60")
  ->Apply(SizeArgs);
BENCHMARK_TEMPLATE(BM_Pixman, PIXMAN_OP_ADD, false, 100)
  ->Name("BM_Pixman_Add/100")
  ->Apply(SizeArgs);
BENCHMARK_TEMPLATE(BM_Pixman, PIXMAN_OP_ADD, false, 60)
  ->Name("BM_Pixman_AddMasked/60")
  ->Apply(SizeArgs);
BENCHMARK_TEMPLATE(BM_Pixman, PIXMAN_OP_MULTIPLY, false, 100)
  ->Name("BM_Pixman_Multiply/100")
  ->Apply(SizeArgs);
BENCHMARK_TEMPLATE(BM_Pixman, PIXMAN_OP_MULTIPLY, false, 60)
  ->Name("BM_Pixman_MultiplyMasked/60")
  ->Apply(SizeArgs);
#endif

}  // namespace

BENCHMARK_MAIN();
