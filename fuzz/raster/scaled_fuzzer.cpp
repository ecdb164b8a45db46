// Scaled and rotated blits with arbitrary parameters (NaN, infinities, huge and negative values,
// any mode) between bitmaps whose pixel memory is exactly their size, so that any access outside
// either bitmap is caught.
#include "raster/px_scaled.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Pixels in a heap block of exactly width x height words; rows top-down or bottom-up.
class ExactBitmap : public PX_IBitmap
{
public:
  ExactBitmap(int w, int h, bool flipped)
    : m_w(w)
    , m_h(h)
    , m_flipped(flipped)
    , m_px((size_t)w * h)
  {
    for (size_t i = 0; i < m_px.size(); ++i)
      m_px[i] = (PX_pixel)(i * 2654435761u);
  }
  PX_pixel* getBits() override { return m_px.empty() ? nullptr : m_px.data(); }
  int getWidth() override { return m_w; }
  int getHeight() override { return m_h; }
  int getRowSpan() override { return m_w; }
  bool isFlipped() override { return m_flipped; }
  bool resize(int, int) override { return false; }

private:
  int m_w, m_h;
  bool m_flipped;
  std::vector<PX_pixel> m_px;
};

// Reads parameters from the input; zeros once it runs out.
class Params
{
public:
  Params(const uint8_t* data, size_t size)
    : m_p(data)
    , m_end(data + size)
  {}

  uint8_t byte() { return m_p < m_end ? *m_p++ : 0; }
  uint32_t word()
  {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
      v = (v << 8) | byte();
    return v;
  }
  // Mostly small positions and sizes, sometimes any int.
  int integer() { return (byte() & 3) == 0 ? (int)word() : (int)(int8_t)byte(); }
  // Mostly quarter pixels in -64..64, sometimes any bit pattern (NaN, infinity, huge).
  float real()
  {
    if ((byte() & 3) == 0)
    {
      const uint32_t bits = word();
      float f;
      memcpy(&f, &bits, sizeof f);
      return f;
    }
    return (float)(int16_t)(word() >> 16) / 512.0f;
  }

private:
  const uint8_t* m_p;
  const uint8_t* m_end;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  Params in(data, size);
  const uint8_t shape = in.byte();
  ExactBitmap src(in.byte() % 40, in.byte() % 40, shape & 1);
  ExactBitmap dest(in.byte() % 40, in.byte() % 40, shape & 2);

  const int dstx = in.integer(), dsty = in.integer(), dstw = in.integer(), dsth = in.integer();
  const float srcx = in.real(), srcy = in.real(), srcw = in.real(), srch = in.real();
  const float alpha = in.byte() & 1 ? in.real() : 1.0f;
  const uint32_t modeBits = in.word();
  // Favour the modes that draw: operation 0..5, filter byte 0 or 1, the source-alpha bit.
  const int mode =
    shape & 4 ? (int)modeBits
              : (int)((modeBits % 6) | ((modeBits >> 8) & 1) << 8 | ((modeBits >> 16) & 1) << 16);
  if (shape & 8)
  {
    const float angle = in.real(), rx = in.real(), ry = in.real();
    PX_RotatedBlit(&dest, &src, dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, angle, shape & 16,
                   alpha, mode, rx, ry);
  }
  else
  {
    PX_ScaledBlit(&dest, &src, dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, alpha, mode);
  }
  return 0;
}
