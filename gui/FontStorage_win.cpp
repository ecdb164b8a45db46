// Fonts on Windows: a GDI font made with CreateFontA, owned by the cached font that renders it.
#include "gui/FontStorage.h"

#include "raster/px_textnew.h"

namespace {
DWORD GdiQuality(IText::EQuality quality)
{
  switch (quality)
  {
    case IText::kQualityNonAntiAliased:
      return NONANTIALIASED_QUALITY;
    case IText::kQualityAntiAliased:
      return ANTIALIASED_QUALITY;
    case IText::kQualityClearType:
      return CLEARTYPE_QUALITY;
    default:
      return DEFAULT_QUALITY;
  }
}
}  // namespace

PX_IFont* MakeCachedFont(const char* face, int size, int orientation, IText::EStyle style,
                         IText::EQuality quality)
{
  // Escapement and orientation are in tenths of a degree (whole turns dropped, never overflowing).
  const int tenths = (int)((long long)orientation * 10 % 3600);
  HFONT hFont =
    CreateFontA(size, 0, tenths, tenths, style == IText::kStyleBold ? FW_BOLD : FW_NORMAL,
                style == IText::kStyleItalic, 0, 0, 0, 0, 0, GdiQuality(quality), 0, face);
  if (!hFont)
    return nullptr;
  PX_CachedFont* pFont = new PX_CachedFont();
  pFont->SetFromHFont(hFont, PX_FONTOPT_OWNS_FONT | PX_FONTOPT_NATIVE);
  return pFont;
}
