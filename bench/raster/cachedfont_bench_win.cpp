// Cached glyphs drawn per second with a 12-pixel DejaVu Sans (loaded for this process only), a
// 40-character line per call, against GDI drawing the same line into a DIB section. Run by hand
// under wine; not a test.
#include "raster/px_textnew.h"

#include <benchmark/benchmark.h>

namespace {

const char* kFontFile = "Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSans.ttf";
const char* kLine = "Step 16 gate 0.250 cutoff 1200 Hz res 70";
const wchar_t* kWideLine = L"Step 16 gate 0.250 cutoff 1200 Hz res 70";

HFONT MakeFont(DWORD quality)
{
  return CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH, "DejaVu Sans");
}

// Items are glyphs. Args: font alpha x 256, anti-aliased (1) or two-level (0) glyphs.
void BM_CachedFontLine(benchmark::State& state)
{
  PX_CachedFont font;
  font.SetFromHFont(MakeFont(state.range(1) ? ANTIALIASED_QUALITY : NONANTIALIASED_QUALITY),
                    PX_FONTOPT_OWNS_FONT);
  font.SetTextColor(0xFF203040u);
  font.SetCombineMode(PX_MODE_COPY, state.range(0) / 256.0f);
  PX_MemBitmap bm(664, 472, 4);
  PX_Clear(&bm, 0xFFE0E0E0u);
  for (auto _ : state)
  {
    RECT r = {10, 100, 654, 200};
    font.DrawTextA(&bm, kLine, -1, &r, 0);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 40);
}
BENCHMARK(BM_CachedFontLine)->Args({256, 1})->Args({128, 1})->Args({256, 0});

void BM_GdiLine(benchmark::State& state)
{
  HFONT hf = MakeFont(ANTIALIASED_QUALITY);
  PX_SysBitmap bm(664, 472);
  PX_Clear(&bm, 0xFFE0E0E0u);
  HDC dc = bm.getDC();
  HGDIOBJ old = SelectObject(dc, hf);
  SetTextColor(dc, RGB(0x20, 0x30, 0x40));
  SetBkMode(dc, TRANSPARENT);
  for (auto _ : state)
  {
    RECT r = {10, 100, 654, 200};
    DrawTextW(dc, kWideLine, 40, &r, DT_NOPREFIX | DT_SINGLELINE);
    GdiFlush();
  }
  SelectObject(dc, old);
  DeleteObject(hf);
  state.SetItemsProcessed(state.iterations() * 40);
}
BENCHMARK(BM_GdiLine);

}  // namespace

int main(int argc, char** argv)
{
  if (AddFontResourceExA(kFontFile, FR_PRIVATE, nullptr) <= 0)
    return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
