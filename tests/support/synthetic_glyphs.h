// A glyph rasteriser of made-up glyphs for the cached font without GDI. Each character's box,
// advance and coverage follow from its code (or from a mask given for it), so any drawing can be
// predicted; the green, blue and alpha channels hold noise that the cache must not read.
#pragma once

#include "raster/px_textnew.h"

#include <map>
#include <vector>

class SyntheticGlyphs : public PX_IGlyphRasterizer
{
public:
  struct Mask
  {
    int w, h, advance;
    std::vector<unsigned char> bytes;  // w x h, rows top to bottom
  };

  explicit SyntheticGlyphs(int lineHeight = 16, int* deletions = nullptr)
    : m_lineHeight(lineHeight)
    , m_deletions(deletions)
  {}
  ~SyntheticGlyphs() override
  {
    if (m_deletions)
      ++*m_deletions;
  }

  // Capitals: a box two pixels wider than the advance; other codes below 128: box and advance
  // alike; codes above: widths 8 to 16. Every box is a line high. Code 1 has no glyph.
  static Mask Shape(unsigned short c, int lineHeight)
  {
    Mask m;
    m.advance = c < 128 ? 5 + c % 4 : 8 + c % 9;
    m.w = m.advance + (c >= 'A' && c <= 'Z' ? 2 : 0);
    m.h = lineHeight;
    for (int y = 0; y < m.h; ++y)
      for (int x = 0; x < m.w; ++x)
      {
        const unsigned v = (c * 131u + x * 31u + y * 17u) * 2654435761u >> 24;
        m.bytes.push_back(v < 90 ? 0 : v < 150 ? 255 : (unsigned char)v);
      }
    if (c == ' ')
      m.bytes.assign(m.bytes.size(), 0);
    return m;
  }

  // The mask c renders to.
  Mask MaskOf(unsigned short c) const
  {
    const auto it = m_given.find(c);
    return it != m_given.end() ? it->second : Shape(c, m_lineHeight);
  }

  void Give(unsigned short c, Mask m) { m_given[c] = m; }
  // The box reported for c is larger than the pixels it is rendered into.
  void Overstate(unsigned short c) { m_overstated[c] = true; }
  int Renders(unsigned short c) const
  {
    const auto it = m_renders.find(c);
    return it == m_renders.end() ? 0 : it->second;
  }
  int TotalRenders() const
  {
    int n = 0;
    for (const auto& r : m_renders)
      n += r.second;
    return n;
  }

  int GetLineHeight() override { return m_lineHeight; }

  bool RenderGlyph(unsigned short c, PX_IBitmap** pixels, int* width, int* height,
                   int* advance) override
  {
    ++m_renders[c];
    if (c == 1)
      return false;
    const Mask m = MaskOf(c);
    m_pixels.resize(m.w, m.h);
    unsigned noise = c * 7919u + 1;
    for (int y = 0; y < m.h; ++y)
      for (int x = 0; x < m.w; ++x)
      {
        noise = noise * 1103515245u + 12345u;
        const PX_pixel v = ((PX_pixel)m.bytes[y * m.w + x] << 16) | (noise & 0xFF00FFFFu);
        m_pixels.getBits()[y * m_pixels.getRowSpan() + x] = v;
      }
    *pixels = &m_pixels;
    *width = m.w + (m_overstated.count(c) ? 1 : 0);
    *height = m.h;
    *advance = m.advance;
    return true;
  }

private:
  // Pixels exactly the size of the last glyph, so reading past them leaves the heap block.
  class Pixels : public PX_IBitmap
  {
  public:
    PX_pixel* getBits() override { return m_bits.empty() ? nullptr : m_bits.data(); }
    int getWidth() override { return m_w; }
    int getHeight() override { return m_h; }
    int getRowSpan() override { return m_w; }
    bool resize(int w, int h) override
    {
      m_w = w, m_h = h;
      m_bits.assign((size_t)w * h, 0);
      m_bits.shrink_to_fit();
      return true;
    }

  private:
    std::vector<PX_pixel> m_bits;
    int m_w = 0, m_h = 0;
  };

  int m_lineHeight;
  int* m_deletions;
  Pixels m_pixels;
  std::map<unsigned short, Mask> m_given;
  std::map<unsigned short, bool> m_overstated;
  std::map<unsigned short, int> m_renders;
};
