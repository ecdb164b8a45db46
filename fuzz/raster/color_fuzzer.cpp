// Random bitmaps through the octree quantiser (any palette size, several builds into one tree),
// the palette test, the HSV alterations and conversions, and the texture generators with extreme
// arguments. Besides memory errors it traps when a palette breaks its own promises: more colours
// than asked for, an index outside the palette, an unused entry that is not 0, or a mapped pixel
// that is not a palette entry.
#include "fuzz/raster/fuzz_reader.h"
#include "raster/px_colorspace.h"
#include "raster/px_palette.h"
#include "raster/px_texgen.h"
#include "tests/support/raster_test_util.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

namespace {

void check(bool ok)
{
  if (!ok)
    __builtin_trap();
}

// Palette sizes: mostly small, sometimes the ends of the int range (trees of those are only
// created and destroyed: their palettes would not fit in memory).
int paletteSize(Reader& in)
{
  const uint8_t sel = in.byte();
  if (sel < 230)
    return (int)(sel % 40) - 2;
  if (sel < 250)
    return (int)(in.word() % 1100) - 50;
  return sel & 1 ? INT_MAX : INT_MIN;
}

void quantise(Reader& in, PX_IBitmap* first, PX_IBitmap* second)
{
  const int maxcolors = paletteSize(in);
  OTree* tree = PX_CreateOctree(maxcolors);
  check((tree != nullptr) == (maxcolors >= 1));
  if (!tree || maxcolors > 4096)
  {
    PX_DestroyOctree(tree);
    return;
  }
  int n = PX_BuildOctree(tree, first);
  if (in.byte() & 1)
    n = PX_BuildOctree(tree, second);
  std::vector<PX_pixel> pal((size_t)maxcolors, 0x5A5A5A5Au);
  check(PX_ExtractOctreePalette(tree, pal.data()) == n && n >= 0 && n <= maxcolors);
  for (int i = n; i < maxcolors; ++i)
    check(pal[i] == 0);
  for (PX_IBitmap* bm : {first, second})
    if (bm && bm->getBits())
      for (int y = 0; y < bm->getHeight(); ++y)
        for (int x = 0; x < bm->getWidth(); ++x)
        {
          const int k = PX_FindInOctree(tree, Px(*bm, x, y));
          check(k >= 0 && k < std::max(n, 1));
        }
  PX_DestroyOctree(tree);
  if (n > 0 && first && first->getBits())
  {
    PX_TestPalette(first, pal.data(), n);
    for (int y = 0; y < first->getHeight(); ++y)
      for (int x = 0; x < first->getWidth(); ++x)
        check(std::find(pal.begin(), pal.begin() + n, Px(*first, x, y)) != pal.begin() + n);
  }
}

PX_RECT rect(Reader& in)
{
  PX_RECT r;
  r.left = in.coord(), r.top = in.coord(), r.right = in.coord(), r.bottom = in.coord();
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  Reader in(data, size);
  ExactBitmap a(0, 0, false, 64), b(0, 0, true, 64);
  PX_IBitmap* const bms[3] = {&a, &b, nullptr};
  for (ExactBitmap* bm : {&a, &b})
  {
    bm->resize(in.byte() % 17, in.byte() % 17);
    // Few colours, often repeated, so that runs and shared tree paths occur.
    PX_pixel colours[4] = {in.word(), in.word(), in.word(), in.word()};
    for (int y = 0; y < bm->getHeight(); ++y)
      for (int x = 0; x < bm->getWidth(); ++x)
      {
        const uint8_t sel = in.byte();
        Px(*bm, x, y) = sel < 128   ? colours[sel & 3]
                        : sel < 160 ? in.word()
                                    : PX_RGBA(sel, x, y, 0);
      }
  }

  for (int step = 0; step < 24 && !in.done(); ++step)
  {
    const uint8_t op = in.byte();
    PX_IBitmap* bm = bms[in.byte() % 3];
    PX_IBitmap* other = bms[in.byte() % 3];
    const bool whole = in.byte() & 1;
    const PX_RECT r = rect(in);
    const PX_RECT* area = whole ? nullptr : &r;
    switch (op % 8)
    {
      case 0:
        quantise(in, bm, other);
        break;
      case 1:
      {
        std::vector<PX_pixel> pal(64);
        const int n = PX_BuildPalette(bm, pal.data(), (int)(in.byte() % 66) - 1);
        check(n >= 0 && n <= 64);
        break;
      }
      case 2:
      {
        std::vector<PX_pixel> pal(in.byte() % 9);
        for (PX_pixel& p : pal)
          p = in.word();
        PX_TestPalette(bm, pal.empty() ? nullptr : pal.data(), (int)pal.size() - (in.byte() & 1));
        break;
      }
      case 3:
      {
        const float dh = in.real(), ds = in.real(), dv = in.real();
        PX_AlterRectHSV(bm, r.left, r.top, r.right, r.bottom, dh, ds, dv);
        PX_AlterBitmapHSV(other, dh, ds, dv);
        break;
      }
      case 4:
      {
        int h, s, v, red, green, blue;
        PX_RGB2HSV(in.coord(), in.coord(), in.coord(), &h, &s, &v);
        check(h >= 0 && h < 384 && s >= 0 && s < 256 && v >= 0 && v < 256);
        const int hh = (int)in.word(), ss = (int)in.word(), vv = (int)in.word();
        PX_HSV2RGB(hh, ss, vv, &red, &green, &blue);
        check(PX_HSV2Pix(hh, ss, vv, 0) == PX_RGBA(red, green, blue, 0));
        const PX_pixel c = in.word();
        const PX_pixel p = PX_AlterColorHSV_int(c, (int)in.word(), (int)in.word(), (int)in.word());
        const PX_pixel q = PX_AlterColorHSV(c, in.real(), in.real(), in.real());
        check(p >> 24 == c >> 24 && q >> 24 == c >> 24);
        break;
      }
      case 5:
        PX_TexGen_Marble(bm, area, in.real(), in.real(), in.real(), in.real());
        break;
      case 6:
        PX_TexGen_Noise(bm, area, in.real(), in.real(), in.real(), in.real(), in.coord(),
                        in.coord());
        break;
      case 7:
        PX_TexGen_CircNoise(bm, area, in.real(), in.real(), in.real(), in.real(), in.real(),
                            in.coord());
        break;
    }
  }
  return 0;
}
