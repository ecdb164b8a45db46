// What the cached font needs of the platform: the line height and glyphs of a font handle, deleting
// a handle, and the platform's own text drawing. GDI answers on Windows (px_textnew_win.cpp); a
// PX_IGlyphRasterizer elsewhere, with no native drawing (px_textnew_native.cpp).
//
// All of these run under the text lock.
#pragma once

#include "framework/base/Mutex.h"
#include "raster/px_textnew.h"

// One rendered glyph: coverage in the red channel of the top-left width x height pixels of pixels,
// which the caller may change (it blurs there) until the next rendering.
struct pxi_GlyphImage
{
  PX_IBitmap* pixels;
  int width, height;
  int advance;
};

// The line height of font, 0 when its metrics cannot be read.
int pxi_FontLineHeight(PX_HFONT font);
// False when characters above 127 cannot be rendered at all.
bool pxi_WideGlyphsUsable();
// Renders c of font (line height lineHeight); false when there is nothing to show.
bool pxi_RasterizeGlyph(PX_HFONT font, int lineHeight, unsigned short c, pxi_GlyphImage* out);
void pxi_DeleteFont(PX_HFONT font);

// The state of a font the native drawing uses.
struct pxi_NativeTextStyle
{
  PX_HFONT font;
  PX_PixelWord textColor, bkColor;
  int bkMode;
  float alpha;
};

// Whether the platform's own drawing may be used at all (not on Windows under Wine).
bool pxi_NativeTextUsable();
// Draws or measures through the platform's text drawing; the result is the text height.
int pxi_NativeDrawText(const pxi_NativeTextStyle& style, PX_IBitmap* bitmap, const char* str,
                       int strcnt, PX_RECT* rect, unsigned int format);
