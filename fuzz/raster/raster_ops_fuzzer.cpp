// Interprets the input as a sequence of raster operations with extreme arguments (NaN, infinities,
// huge and negative values) over small bitmaps whose storage is exactly their pixels, normal and
// flipped, so that any read or write outside a bitmap leaves its heap block.
#include "fuzz/raster/fuzz_reader.h"
#include "raster/px.h"
#include "tests/support/raster_test_util.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

void procPixel(PX_pixel* p, void* parm) { *p ^= *(const PX_pixel*)parm; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  Reader in(data, size);
  // The fuzzer's own size limit keeps every run small; the library's is far larger.
  ExactBitmap a(0, 0, false, 64), b(0, 0, true, 64);
  PX_MemBitmap c(0, 0, 4);
  PX_SysBitmap d(0, 0);
  PX_IBitmap* const bms[5] = {&a, &b, &c, &d, nullptr};
  for (PX_IBitmap* bm : {(PX_IBitmap*)&a, (PX_IBitmap*)&b, (PX_IBitmap*)&c, (PX_IBitmap*)&d})
  {
    bm->resize(in.byte() % 13, in.byte() % 13);
    if (bm->getBits())
      for (int y = 0; y < bm->getHeight(); ++y)
        for (int x = 0; x < bm->getWidth(); ++x)
          bm->getBits()[y * bm->getRowSpan() + x] = in.word();
  }

  for (int step = 0; step < 48 && !in.done(); ++step)
  {
    const uint8_t op = in.byte();
    PX_IBitmap* dst = bms[in.byte() % 5];
    PX_IBitmap* src = bms[in.byte() % 5];
    switch (op % 19)
    {
      case 0:
      {
        PX_RECT r;
        r.left = in.coord(), r.top = in.coord(), r.right = in.coord(), r.bottom = in.coord();
        const bool whole = in.byte() & 1;
        const int x = in.coord(), y = in.coord();
        PX_Blit(dst, src, x, y, whole ? nullptr : &r, in.real(), in.mode());
        break;
      }
      case 1:
      {
        const int x = in.coord(), y = in.coord(), sx = in.coord(), sy = in.coord(), sw = in.coord(),
                  sh = in.coord();
        PX_Blit(dst, src, x, y, sx, sy, sw, sh, in.real(), in.mode());
        break;
      }
      case 2:
        PX_Copy(dst, src);
        break;
      case 3:
      {
        const int x = in.coord(), y = in.coord(), w = in.coord(), h = in.coord();
        const float sx = in.real(), sy = in.real(), sw = in.real(), sh = in.real();
        const double d1 = in.real(), d2 = in.real(), d3 = in.real(), d4 = in.real(), d5 = in.real(),
                     d6 = in.real();
        const bool clip = in.byte() & 1;
        PX_DeltaBlit(dst, src, x, y, w, h, sx, sy, sw, sh, d1, d2, d3, d4, d5, d6, clip, in.real(),
                     in.mode());
        break;
      }
      case 4:
      {
        const int x = in.coord(), y = in.coord(), w = in.coord(), h = in.coord();
        const int dw = in.byte() % 5, dh = in.byte() % 5;
        std::vector<float> pts((size_t)dw * dh * 2);
        for (float& p : pts)
          p = in.real();
        PX_TransformBlit(dst, src, x, y, w, h, pts.empty() ? nullptr : pts.data(), dw, dh,
                         in.real(), in.mode());
        break;
      }
      case 5:
      {
        const int x = in.coord(), y = in.coord(), w = in.coord(), h = in.coord();
        PX_FillRect(dst, x, y, w, h, in.word(), in.real(), in.mode());
        break;
      }
      case 6:
      {
        const int x = in.coord(), y = in.coord(), w = in.coord(), h = in.coord();
        PX_ClearRect(dst, x, y, w, h, in.word(), in.word());
        break;
      }
      case 7:
        PX_Clear(dst, in.word());
        break;
      case 8:
      {
        const int x = in.coord(), y = in.coord(), w = in.coord(), h = in.coord();
        float v[12];
        for (float& f : v)
          f = in.real();
        PX_GradRect(dst, x, y, w, h, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9],
                    v[10], v[11], in.mode());
        break;
      }
      case 9:
      {
        const int x = in.coord(), y = in.coord(), w = in.coord(), h = in.coord();
        float v[8];
        for (float& f : v)
          f = in.real();
        PX_MultiplyAddRect(dst, x, y, w, h, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
        break;
      }
      case 10:
      {
        const int x = in.coord(), y = in.coord(), w = in.coord(), h = in.coord();
        PX_pixel parm = in.word();
        PX_ProcessRect(dst, x, y, w, h, (in.byte() & 1) ? procPixel : nullptr, &parm);
        break;
      }
      case 11:
        PX_SetAlphaFromColorMask(dst, in.word());
        break;
      case 12:
      {
        const int x = in.coord(), y = in.coord();
        PX_SimpleFill(dst, x, y, in.word(), in.word(), in.word());
        break;
      }
      case 13:
      {
        const int x = in.coord(), y = in.coord();
        const PX_pixel p = PX_GetPixel(dst, x, y);
        PX_PutPixel(src, y, x, p, in.real(), in.mode());
        break;
      }
      case 14:
      {
        const int x = in.coord(), y = in.coord();
        PX_PutPixel(dst, x, y, in.word(), in.real(), in.mode());
        break;
      }
      case 15:
      {
        const int gw = (int)(in.byte() % 14) - 1, gh = (int)(in.byte() % 14) - 1;
        std::vector<PX_pixel_chan> mask(gw > 0 && gh > 0 ? (size_t)gw * gh : 1);
        for (auto& m : mask)
          m = in.byte();
        const int x = in.coord(), y = in.coord();
        PX_DrawGlyph(dst, x, y, in.word(), mask.data(), gw, gh, in.real(), in.mode());
        break;
      }
      case 16:
      {
        const uint8_t sel = in.byte();
        int w = (int)(sel % 15) - 1, h = (int)(in.byte() % 15) - 1;
        if (sel >= 240)
          w = in.coord();  // extreme sizes: the bitmap must refuse or stay sane
        if (dst)
          dst->resize(w, h);
        break;
      }
      case 17:
      {
        PX_pixel p = in.word();
        const int r = in.coord(), g = in.coord(), bl = in.coord(), al = in.coord(), w = in.coord();
        const int m = in.mode();
        p = PX_CombinePixels(p, in.word(), in.real(), m);
        PX_CombinePixels2(&p, r, g, bl, al, w, m);
        PX_CombinePixels2Clamp(&p, r, g, bl, al, w, m);
        break;
      }
      default:
      {
        // Same bitmap, overlapping rectangles.
        const int x = in.coord() % 8, y = in.coord() % 8;
        PX_Blit(dst, dst, x, y, nullptr, in.real(), in.mode());
        break;
      }
    }
  }
  return 0;
}
