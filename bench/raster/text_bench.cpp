// The blur of an editor-sized bitmap against a plain per-channel box blur over the same pixels,
// and the 8x8 font drawing a 40-character line.
#include "raster/px_blur_halve_cmp.h"
#include "raster/px_text.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

const int kW = 664, kH = 472;

void FillNoise(PX_MemBitmap& bm)
{
  uint32_t s = 0x9E3779B9u;
  for (int y = 0; y < bm.getHeight(); ++y)
    for (int x = 0; x < bm.getWidth(); ++x)
    {
      s ^= s << 13, s ^= s >> 17, s ^= s << 5;
      bm.getBits()[y * bm.getRowSpan() + x] = s;
    }
}

// The anchor: each channel the mean of its 3 x 3 neighbourhood (cut at the edges), computed one
// channel at a time.
void PlainBoxBlur(PX_MemBitmap& dst, PX_MemBitmap& src)
{
  const int w = src.getWidth(), h = src.getHeight(), span = src.getRowSpan();
  const uint8_t* in = (const uint8_t*)src.getBits();
  uint8_t* out = (uint8_t*)dst.getBits();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 4; ++c)
      {
        int sum = 0, n = 0;
        for (int yy = y - 1; yy <= y + 1; ++yy)
          for (int xx = x - 1; xx <= x + 1; ++xx)
            if (xx >= 0 && xx < w && yy >= 0 && yy < h)
              sum += in[((ptrdiff_t)yy * span + xx) * 4 + c], ++n;
        out[((ptrdiff_t)y * span + x) * 4 + c] = (uint8_t)(sum / n);
      }
}

void BM_PlainBoxBlur(benchmark::State& state)
{
  PX_MemBitmap src(kW, kH, 4), dst(kW, kH, 4);
  FillNoise(src);
  for (auto _ : state)
  {
    PlainBoxBlur(dst, src);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_PlainBoxBlur);

// Into a second bitmap (0), or in place (1).
void BM_Blur(benchmark::State& state)
{
  PX_MemBitmap src(kW, kH, 4), other(kW, kH, 4);
  FillNoise(src);
  PX_MemBitmap* dst = state.range(0) ? &src : &other;
  for (auto _ : state)
  {
    PX_Blur(dst, &src, 0, 0, 0, 0, kW, kH);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_Blur)->Arg(0)->Arg(1);

// A 40-character line of the 8x8 font; items are characters.
void BM_DefaultFontLine(benchmark::State& state)
{
  PX_MemBitmap bm(kW, kH, 4);
  FillNoise(bm);
  const char* line = "Step 16 gate 0.250 cutoff 1200 Hz res 70";
  const float alpha = state.range(0) / 256.0f;
  for (auto _ : state)
  {
    PX_DrawText(&bm, 10, 100, line, 0xFFE0C040u, alpha, PX_MODE_COPY);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 40);
}
BENCHMARK(BM_DefaultFontLine)->Arg(256)->Arg(128);

}  // namespace

BENCHMARK_MAIN();
