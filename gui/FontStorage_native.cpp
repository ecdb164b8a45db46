// Fonts without a window system: the built-in 8x8 glyphs, each pixel a square of the scale that
// brings the cell nearest the asked size. Face, orientation, style and quality are not shown.
#include "gui/FontStorage.h"

#include "raster/px_text.h"
#include "raster/px_textnew.h"

#include <cstdlib>

namespace {

const int kCell = 8;
const int kMaxScale = 64;

class ScaledBuiltInGlyphs : public PX_IGlyphRasterizer
{
public:
  explicit ScaledBuiltInGlyphs(int scale)
    : m_scale(scale)
    , m_pixels(kCell * scale, kCell * scale, 4)
  {}

  int GetLineHeight() override { return kCell * m_scale; }

  // Codes 1 to 127 (code 0 and codes above have no glyph): ink is red 255, the rest 0.
  bool RenderGlyph(unsigned short c, PX_IBitmap** pixels, int* width, int* height,
                   int* advance) override
  {
    if (c < 1 || c > 127 || !m_pixels.getBits())
      return false;
    const unsigned char* rows = PX_deffont + (c - 1) * kCell;
    const int size = kCell * m_scale;
    for (int y = 0; y < size; ++y)
    {
      PX_pixel* out = m_pixels.getBits() + y * m_pixels.getRowSpan();
      for (int x = 0; x < size; ++x)
        out[x] = (rows[y / m_scale] & (0x80 >> (x / m_scale))) ? 0xFFFF0000u : 0xFF000000u;
    }
    *pixels = &m_pixels;
    *width = *height = *advance = size;
    return true;
  }

private:
  int m_scale;
  PX_MemBitmap m_pixels;
};

}  // namespace

PX_IFont* MakeCachedFont(const char* /*face*/, int size, int /*orientation*/,
                         IText::EStyle /*style*/, IText::EQuality /*quality*/)
{
  // A negative size asks for the character height, as it does of GDI.
  const long long height = size < 0 ? -(long long)size : size;
  long long scale = (height + kCell / 2) / kCell;
  scale = scale < 1 ? 1 : scale > kMaxScale ? kMaxScale : scale;
  PX_CachedFont* pFont = new PX_CachedFont();
  pFont->SetFromHFont(new ScaledBuiltInGlyphs((int)scale),
                      PX_FONTOPT_OWNS_FONT | PX_FONTOPT_NATIVE);
  return pFont;
}
