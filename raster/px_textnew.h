// Text in system fonts on raster bitmaps. PX_IFont is the font interface; PX_CachedFont renders
// each character of a font once into an 8-bit coverage mask and blends the cached masks into any
// bitmap with a colour, an alpha and a combiner, or draws through the system's own text drawing
// where that is allowed. Strings are UTF-8.
//
// On Windows a font handle is a GDI HFONT. Elsewhere it is a PX_IGlyphRasterizer, the glyph source
// the cache renders from, so that caching, layout, options and drawing run without GDI.
//
// Fonts and the scratch surfaces they render through are shared by editors on different threads:
// setting a font, rendering glyphs and drawing text hold one process-wide re-entrant lock.
#pragma once

#include "framework/base/HeapBuf.h"
#include "raster/px.h"

class QvMutex;

// The process-wide re-entrant text lock. A caller that sets a shared font's colour or options and
// then draws holds it across both, so that another thread cannot change the font in between.
QvMutex& PX_TextLock();

#ifdef _WIN32
typedef HFONT PX_HFONT;

// True when running under Wine (a registry key of its own); asked once per process.
bool PX_Text_IsWine();
// The check behind it: whether the registry below root holds the key Wine keeps its settings in
// ("Software\\Wine"; under HKEY_LOCAL_MACHINE only Wine has it).
bool PX_Text_HasWineKey(HKEY root);

// Where a font may draw through GDI, whether it does: as the system decides (GDI on Windows, the
// cached glyphs under Wine, whose GDI text differs), or forced either way so that both can be
// tried on one system. Process-wide; a font's own options and a call's format still forbid GDI.
enum PX_TextDrawing
{
  PX_TEXTDRAW_AUTO,
  PX_TEXTDRAW_NATIVE,
  PX_TEXTDRAW_CACHED,
};
void PX_Text_ForceDrawing(PX_TextDrawing drawing);
#else
class PX_IGlyphRasterizer;
typedef PX_IGlyphRasterizer* PX_HFONT;

// The format bits of DrawTextA that the cached path reads (the values of the system's text
// drawing, which defines them on Windows).
#define DT_CENTER 0x1
#define DT_RIGHT 0x2
#define DT_VCENTER 0x4
#define DT_BOTTOM 0x8
#define DT_SINGLELINE 0x20
#define DT_NOCLIP 0x100
#define DT_CALCRECT 0x400
#define DT_NOPREFIX 0x800

// A glyph source without GDI: renders one character into coverage bytes.
class PX_IGlyphRasterizer
{
public:
  virtual ~PX_IGlyphRasterizer() {}
  // The height of a line of text.
  virtual int GetLineHeight() = 0;
  // Renders c: its coverage lies in the red channel of the top-left *width x *height pixels of
  // *pixels, a bitmap of the rasteriser's that the caller may change until the next call; *advance
  // is the pen advance. False when the character cannot be rendered.
  virtual bool RenderGlyph(unsigned short c, PX_IBitmap** pixels, int* width, int* height,
                           int* advance) = 0;
};
#endif

// Font flags (SetFromHFont).
constexpr int PX_FONTOPT_VERTICAL = 0x1;         // glyphs rotated; lines run down the bitmap
constexpr int PX_FONTOPT_VERTICAL_UPWARD = 0x2;  // with VERTICAL: text runs bottom to top
constexpr int PX_FONTOPT_PRERENDER_ASCII = 0x4;  // render 0..127 at once, never codes above
constexpr int PX_FONTOPT_BLUR = 0x10;            // blur each rendered glyph
constexpr int PX_FONTOPT_INVERT = 0x20;          // coverage becomes 255 - coverage
constexpr int PX_FONTOPT_MONO = 0x40;            // coverage thresholded, drawn in full colour
constexpr int PX_FONTOPT_SHADOW = 0x80;          // thresholded, one-pixel shadow right and below
constexpr int PX_FONTOPT_OUTLINE = 0x100;        // thresholded, one-pixel outline (not with SHADOW)
constexpr int PX_FONTOPT_OWNS_FONT = 0x200;      // the font object deletes its font handle
constexpr int PX_FONTOPT_NATIVE = 0x400;         // may draw through the system's text drawing

// Format bits of this library, beside the system's DT_ bits.
constexpr unsigned int PX_DT_FG_ALPHA = 0x40000000u;   // font alpha times text colour alpha / 255
constexpr unsigned int PX_DT_NO_NATIVE = 0x80000000u;  // never the system's drawing for this call

class PX_IFont
{
public:
  virtual ~PX_IFont() {}

  // Takes a font handle and flags, dropping every cached glyph.
  virtual void SetFromHFont(PX_HFONT font, int flags) = 0;
  // Each setter returns the previous value.
  virtual PX_PixelWord SetTextColor(PX_PixelWord color) = 0;
  virtual PX_PixelWord SetBkColor(PX_PixelWord color) = 0;
  virtual PX_PixelWord SetEffectColor(PX_PixelWord color) = 0;
  virtual int SetBkMode(int mode) = 0;  // 1 transparent, 2 opaque
  virtual void SetCombineMode(int mode, float alpha) = 0;
  // Draws (or with DT_CALCRECT measures into *rect) strcnt bytes of str, all up to the terminator
  // when strcnt is negative; returns the height of the text drawn (its width for vertical fonts),
  // 0 when nothing is drawn.
  virtual int DrawTextA(PX_IBitmap* bitmap, const char* str, int strcnt, PX_RECT* rect,
                        unsigned int format) = 0;
  virtual PX_PixelWord GetTextColor() = 0;
  virtual PX_HFONT GetHFont() = 0;
  virtual int GetLineHeight() = 0;
};

class PX_CachedFont : public PX_IFont
{
public:
  // One glyph: base_offset is the 1-based offset of its mask in the glyph store, 0 before it is
  // rendered and -1 once rendered empty; the mask is width x height bytes, rows top to bottom.
  struct charEnt
  {
    int base_offset;
    int width, height;
    int advance;
    int charid;
  };

  PX_CachedFont();
  ~PX_CachedFont() override;
  PX_CachedFont(const PX_CachedFont&) = delete;
  PX_CachedFont& operator=(const PX_CachedFont&) = delete;

  void SetFromHFont(PX_HFONT font, int flags) override;
  PX_PixelWord SetTextColor(PX_PixelWord color) override;
  PX_PixelWord SetBkColor(PX_PixelWord color) override;
  PX_PixelWord SetEffectColor(PX_PixelWord color) override;
  int SetBkMode(int mode) override;
  void SetCombineMode(int mode, float alpha) override;
  int DrawTextA(PX_IBitmap* bitmap, const char* str, int strcnt, PX_RECT* rect,
                unsigned int format) override;
  PX_PixelWord GetTextColor() override { return m_textColor; }
  PX_HFONT GetHFont() override { return m_font; }
  int GetLineHeight() override { return m_lineHeight; }

private:
  charEnt* findChar(unsigned short c);
  // The record of c, rendered when it was not yet; null when c has no record.
  const charEnt* glyphFor(unsigned short c);
  bool RenderGlyph(unsigned short c);
  bool fillMask(charEnt* rec, PX_IBitmap* pixels, int w, int h);
  void shapeMask(unsigned char* mask, int w, int h) const;
  const unsigned char* maskOf(const charEnt& rec) const;
  bool DrawGlyph(PX_IBitmap* bitmap, const charEnt& rec, long long x, long long y,
                 const PX_RECT& clip);
  int measure(const char* str, int strcnt, PX_RECT* rect, unsigned int format);
  int DrawTextImpl(PX_IBitmap* bitmap, const char* str, int strcnt, PX_RECT* rect,
                   unsigned int format);

  PX_PixelWord m_textColor = 0;
  PX_PixelWord m_bkColor = 0xFFFFFFFFu;
  PX_PixelWord m_effectColor = 0xFFFFFFFFu;
  int m_bkMode = 1;
  int m_combineMode = 0;
  float m_alpha = 1.0f;
  int m_flags = 0;
  int m_lineHeight = 0;
  int m_lineSpacingAdj = 0;
  charEnt m_asciiGlyphs[128] = {};
  QvTypedBuf<charEnt> m_extendedGlyphs{4096};
  QvTypedBuf<unsigned char> m_glyphBytes{65536};
  PX_HFONT m_font = nullptr;
};
