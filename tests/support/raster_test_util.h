// Helpers shared by the raster tests: a flipped bitmap, deterministic pixel patterns and logical
// pixel access that does not go through the library under test.
#pragma once

#include "raster/px.h"

#include <cstdint>
#include <memory>
#include <vector>

// A bitmap over a heap block of exactly width x height pixels, rows exactly the width long and
// optionally stored bottom-up, so that reading one pixel past either end of the storage leaves the
// block and the address sanitizer sees it. Sizes beyond maxDim are refused (resize answers false).
class ExactBitmap : public PX_IBitmap
{
public:
  explicit ExactBitmap(int w = 0, int h = 0, bool flipped = false, int maxDim = PX_MAX_BITMAP_DIM)
    : m_flipped(flipped)
    , m_maxDim(maxDim)
  {
    resize(w, h);
  }
  PX_pixel* getBits() override { return m_bits.get(); }
  int getWidth() override { return m_w; }
  int getHeight() override { return m_h; }
  int getRowSpan() override { return m_w; }
  bool isFlipped() override { return m_flipped; }
  bool resize(int w, int h) override
  {
    if (w < 0)
      w = 0;
    if (h < 0)
      h = 0;
    if (w > m_maxDim || h > m_maxDim || (w == m_w && h == m_h))
      return false;
    m_w = w;
    m_h = h;
    m_bits.reset(w && h ? new PX_pixel[(size_t)w * h]() : nullptr);
    return true;
  }

private:
  std::unique_ptr<PX_pixel[]> m_bits;
  int m_w = 0, m_h = 0;
  bool m_flipped;
  int m_maxDim;
};

class FlippedBitmap : public ExactBitmap
{
public:
  FlippedBitmap(int w, int h)
    : ExactBitmap(w, h, true)
  {}
};

// A bitmap that reports a size but has no pixel memory.
class NoPixelsBitmap : public ExactBitmap
{
public:
  NoPixelsBitmap()
    : ExactBitmap(4, 4)
  {}
  PX_pixel* getBits() override { return nullptr; }
};

// Logical pixel (x, y), addressed by hand.
inline PX_pixel& Px(PX_IBitmap& bm, int x, int y)
{
  const int row = bm.isFlipped() ? bm.getHeight() - 1 - y : y;
  return bm.getBits()[(ptrdiff_t)row * bm.getRowSpan() + x];
}

// A deterministic pseudo-random word sequence (xorshift).
inline uint32_t NextWord(uint32_t& state)
{
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

inline void FillPattern(PX_IBitmap& bm, uint32_t seed)
{
  uint32_t s = seed | 1u;
  for (int y = 0; y < bm.getHeight(); ++y)
    for (int x = 0; x < bm.getWidth(); ++x)
      Px(bm, x, y) = NextWord(s);
}

// The logical image, row by row.
inline std::vector<PX_pixel> Pixels(PX_IBitmap& bm)
{
  std::vector<PX_pixel> v;
  for (int y = 0; y < bm.getHeight(); ++y)
    for (int x = 0; x < bm.getWidth(); ++x)
      v.push_back(Px(bm, x, y));
  return v;
}

// The logical image of a w x h window at (x0, y0).
inline std::vector<PX_pixel> Crop(PX_IBitmap& bm, int x0, int y0, int w, int h)
{
  std::vector<PX_pixel> v;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      v.push_back(Px(bm, x0 + x, y0 + y));
  return v;
}

// f(d, s) on each of the four channels of two pixel words; each result's low eight bits are kept.
template <class F>
inline PX_pixel PerChannel(PX_pixel d, PX_pixel s, F f)
{
  PX_pixel out = 0;
  for (int shift = 0; shift < 32; shift += 8)
    out |= (PX_pixel)(f((int)((d >> shift) & 0xFF), (int)((s >> shift) & 0xFF)) & 0xFF) << shift;
  return out;
}

// Copies the logical image of src into dst (same size).
inline void CopyPixels(PX_IBitmap& dst, PX_IBitmap& src)
{
  for (int y = 0; y < src.getHeight(); ++y)
    for (int x = 0; x < src.getWidth(); ++x)
      Px(dst, x, y) = Px(src, x, y);
}
