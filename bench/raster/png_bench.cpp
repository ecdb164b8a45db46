// Decoding a 664 x 472 RGBA PNG (the size of a plug-in editor's background) with the raster
// library, against a plain libpng read of the same data into a buffer.
#include "raster/px_png.h"

#include <benchmark/benchmark.h>
#include <png.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

const int kW = 664, kH = 472;

void appendToVector(png_structp png, png_bytep data, png_size_t len)
{
  auto* out = (std::vector<unsigned char>*)png_get_io_ptr(png);
  out->insert(out->end(), data, data + len);
}

// Artwork-like content: smooth shading, a few hard edges, light noise and an alpha ramp.
const std::vector<unsigned char>& testImage()
{
  static std::vector<unsigned char> file;
  if (!file.empty())
    return file;
  std::vector<unsigned char> rgba((size_t)kW * kH * 4);
  uint32_t seed = 12345;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
    {
      seed = seed * 1664525u + 1013904223u;
      const int noise = (int)(seed >> 29);
      unsigned char* p = &rgba[((size_t)y * kW + x) * 4];
      const double r = std::hypot(x - 330.0, y - 240.0);
      p[0] = (unsigned char)(60 + 40 * std::sin(x * 0.02) + noise);
      p[1] = (unsigned char)(r < 150 ? 200 - r / 2 : 70 + noise);
      p[2] = (unsigned char)((x / 41 + y / 37) % 2 ? 180 : 90);
      p[3] = (unsigned char)(x < 40 ? x * 6 : 255);
    }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png)))
    abort();
  png_set_write_fn(png, &file, appendToVector, nullptr);
  png_set_IHDR(png, info, kW, kH, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < kH; ++y)
    png_write_row(png, &rgba[(size_t)y * kW * 4]);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return file;
}

struct MemoryInput
{
  const unsigned char* p;
  size_t left;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t len)
{
  auto* in = (MemoryInput*)png_get_io_ptr(png);
  if (len > in->left)
    png_error(png, "short");
  memcpy(out, in->p, len);
  in->p += len;
  in->left -= len;
}

// The baseline: libpng alone, the image's own RGBA rows into a buffer.
void BM_PlainLibpngRead(benchmark::State& state)
{
  const auto& file = testImage();
  std::vector<unsigned char> pixels((size_t)kW * kH * 4);
  std::vector<png_bytep> rows(kH);
  for (int y = 0; y < kH; ++y)
    rows[y] = &pixels[(size_t)y * kW * 4];
  for (auto _ : state)
  {
    MemoryInput in = {file.data(), file.size()};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
      abort();
    png_set_read_fn(png, &in, readFromMemory);
    png_read_info(png, info);
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}

void BM_LoadPNGFromMemoryIntoBitmap(benchmark::State& state)
{
  const auto& file = testImage();
  PX_MemBitmap bm(kW, kH, 4);
  for (auto _ : state)
    if (!PX_LoadPNGFromMemory(file.data(), (int)file.size(), &bm))
      state.SkipWithError("failed");
  state.SetItemsProcessed(state.iterations() * kW * kH);
}

void BM_LoadPNGFromMemoryNewBitmap(benchmark::State& state)
{
  const auto& file = testImage();
  for (auto _ : state)
  {
    PX_IBitmap* bm = PX_LoadPNGFromMemory(file.data(), (int)file.size());
    if (!bm)
      state.SkipWithError("failed");
    delete bm;
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}

BENCHMARK(BM_PlainLibpngRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPNGFromMemoryIntoBitmap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPNGFromMemoryNewBitmap)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
