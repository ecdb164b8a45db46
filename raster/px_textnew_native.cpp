// The cached font's platform side without GDI: a font handle is a PX_IGlyphRasterizer, and there
// is no native text drawing.
#include "raster/px_textnew_platform.h"

int pxi_FontLineHeight(PX_HFONT font) { return font->GetLineHeight(); }

bool pxi_WideGlyphsUsable() { return true; }

bool pxi_RasterizeGlyph(PX_HFONT font, int, unsigned short c, pxi_GlyphImage* out)
{
  return font && font->RenderGlyph(c, &out->pixels, &out->width, &out->height, &out->advance);
}

void pxi_DeleteFont(PX_HFONT font) { delete font; }

bool pxi_NativeTextUsable() { return false; }

int pxi_NativeDrawText(const pxi_NativeTextStyle&, PX_IBitmap*, const char*, int, PX_RECT*,
                       unsigned int)
{
  return 0;
}
