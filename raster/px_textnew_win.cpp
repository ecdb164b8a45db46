// The cached font's platform side on Windows: glyphs rendered by GDI into a scratch DIB section
// (white text on black, so the red channel is the coverage), and the native path that draws
// through GDI's DrawText. Everything here runs under the text lock.
#include "raster/px_textnew_platform.h"
#include "raster/px_utf8.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

// Wide-character GDI: 0 unknown, 1 usable, 2 not (the Windows 9x family). Until a code above 127
// is rendered it stays unknown and glyphs are rendered with DrawTextA.
int __1ifNT2if98 = 0;
// Old Windows, for the native path: 0 unknown, 1 old, -1 not.
int win9x = 0;

bool oldWindows() { return (GetVersion() & 0x80000000u) != 0; }

// The drawing forced on every font (PX_Text_ForceDrawing); set from any thread.
std::atomic<PX_TextDrawing> forcedDrawing{PX_TEXTDRAW_AUTO};

// The surface glyphs are rendered into, made on first use (never while the library loads) and
// released at unload.
PX_SysBitmap& glyphScratch()
{
  static PX_SysBitmap s_tempbitmap;
  return s_tempbitmap;
}

// The surface the native path draws through for bitmaps without a device context.
PX_SysBitmap& nativeScratch()
{
  static PX_SysBitmap s_nativerender_tempbitmap;
  return s_nativerender_tempbitmap;
}

long long larger(long long a, long long b) { return a > b ? a : b; }

// Grows bm to at least w x h. True only when it then has pixels of at least that size and a
// device context: a surface that could not be made leaves it smaller or without pixels.
bool growSurface(PX_SysBitmap& bm, long long w, long long h)
{
  if (w > PX_MAX_BITMAP_DIM || h > PX_MAX_BITMAP_DIM)
    return false;
  if (bm.getWidth() < w || bm.getHeight() < h)
    bm.resize((int)larger(w, bm.getWidth()), (int)larger(h, bm.getHeight()));
  return bm.getDC() && bm.getBits() && bm.getWidth() >= w && bm.getHeight() >= h;
}

// The glyph surface at least w x h, its device context set to white text on an opaque black
// background whenever it changes size.
bool growGlyphScratch(long long w, long long h)
{
  PX_SysBitmap& bm = glyphScratch();
  const int oldw = bm.getWidth(), oldh = bm.getHeight();
  const bool ok = growSurface(bm, w, h);
  HDC dc = bm.getDC();
  if (dc && (bm.getWidth() != oldw || bm.getHeight() != oldh))
  {
    ::SetTextColor(dc, RGB(255, 255, 255));
    ::SetBkMode(dc, OPAQUE);
    ::SetBkColor(dc, RGB(0, 0, 0));
  }
  return ok;
}

COLORREF gdiColor(PX_PixelWord c) { return RGB(PX_GETR(c), PX_GETG(c), PX_GETB(c)); }

// Text for GDI: the bytes as they are, or UTF-16 when they hold UTF-8 and wide GDI is there. The
// conversion uses a local buffer for short texts and falls back to the bytes when it fails.
class GdiText
{
public:
  GdiText(const char* str, int strcnt)
    : m_str(str)
    , m_count(strcnt)
  {
    if (win9x > 0 || !PX_Text_HasUTF8(str, strcnt))
      return;
    const int need = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, str, strcnt, nullptr, 0);
    if (need <= 0)
      return;
    wchar_t* buf = m_local;
    int room = 1024;
    if (need >= 1000)
    {
      m_heap = (wchar_t*)std::malloc(((size_t)need + 32) * sizeof(wchar_t));
      buf = m_heap;
      room = need + 1;
    }
    if (!buf)
      return;
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, str, strcnt, buf, room);
    if (n <= 0)
      return;
    m_wide = buf;
    // A terminated conversion counts its terminator; a counted one has none.
    m_wideCount = strcnt < 0 ? n - 1 : n;
  }
  ~GdiText() { std::free(m_heap); }
  GdiText(const GdiText&) = delete;
  GdiText& operator=(const GdiText&) = delete;

  int draw(HDC dc, RECT* r, UINT format) const
  {
    return m_wide ? DrawTextW(dc, m_wide, m_wideCount, r, format)
                  : ::DrawTextA(dc, m_str, m_count, r, format);
  }

private:
  const char* m_str;
  int m_count;
  wchar_t m_local[1024];
  wchar_t* m_heap = nullptr;
  wchar_t* m_wide = nullptr;
  int m_wideCount = 0;
};

// Selects a font into a device context for its lifetime (nothing for a null font).
class FontSelection
{
public:
  FontSelection(HDC dc, HFONT font)
    : m_dc(dc)
    , m_old(font ? SelectObject(dc, font) : nullptr)
  {}
  ~FontSelection()
  {
    if (m_old)
      SelectObject(m_dc, m_old);
  }
  FontSelection(const FontSelection&) = delete;
  FontSelection& operator=(const FontSelection&) = delete;

private:
  HDC m_dc;
  HGDIOBJ m_old;
};

}  // namespace

bool PX_Text_HasWineKey(HKEY root)
{
  HKEY key;
  if (RegOpenKeyA(root, "Software\\Wine", &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

bool PX_Text_IsWine()
{
  static const bool isWine = PX_Text_HasWineKey(HKEY_LOCAL_MACHINE);
  return isWine;
}

void PX_Text_ForceDrawing(PX_TextDrawing drawing) { forcedDrawing.store(drawing); }

int pxi_FontLineHeight(PX_HFONT font)
{
  growGlyphScratch(256, 256);
  HDC dc = glyphScratch().getDC();
  if (!dc)
    return 0;
  TEXTMETRICA tm;
  std::memset(&tm, 0, sizeof(tm));
  {
    FontSelection sel(dc, font);
    GetTextMetricsA(dc, &tm);
  }
  return tm.tmHeight;
}

bool pxi_WideGlyphsUsable()
{
  if (!__1ifNT2if98)
    __1ifNT2if98 = oldWindows() ? 2 : 1;
  return __1ifNT2if98 == 1;
}

bool pxi_RasterizeGlyph(PX_HFONT font, int lineHeight, unsigned short c, pxi_GlyphImage* out)
{
  const int side = lineHeight > 1 ? lineHeight : 1;
  if (!growGlyphScratch(side, side))
    return false;
  PX_SysBitmap& bm = glyphScratch();
  HDC dc = bm.getDC();
  FontSelection sel(dc, font);
  const wchar_t wc = c;
  const char ac[2] = {(char)c, 0};
  const bool wide = __1ifNT2if98 == 1;
  RECT r = {0, 0, 0, 0};
  if (wide)
    DrawTextW(dc, &wc, 1, &r, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
  else
    ::DrawTextA(dc, ac, -1, &r, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
  out->advance = r.right;
  if (c >= 'A' && c <= 'Z')
    r.right += 2;
  // The box may be larger than a line in either direction (wide or tall glyphs): the surface
  // grows to it first, and a glyph it cannot hold is dropped.
  if (r.right < 1 || r.bottom < 1 || !growGlyphScratch(r.right, r.bottom))
    return false;
  GdiFlush();
  PX_ClearRect(&bm, 0, 0, r.right, r.bottom, 0, 0);
  if (wide)
    DrawTextW(dc, &wc, 1, &r, DT_NOPREFIX | DT_SINGLELINE);
  else
    ::DrawTextA(dc, ac, -1, &r, DT_NOPREFIX | DT_SINGLELINE);
  GdiFlush();
  out->pixels = &bm;
  out->width = r.right;
  out->height = r.bottom;
  return true;
}

void pxi_DeleteFont(PX_HFONT font) { DeleteObject(font); }

bool pxi_NativeTextUsable()
{
  switch (forcedDrawing.load())
  {
    case PX_TEXTDRAW_NATIVE:
      return true;
    case PX_TEXTDRAW_CACHED:
      return false;
    default:
      return !PX_Text_IsWine();
  }
}

int pxi_NativeDrawText(const pxi_NativeTextStyle& style, PX_IBitmap* bitmap, const char* str,
                       int strcnt, PX_RECT* rect, unsigned int format)
{
  if (!win9x)
    win9x = oldWindows() ? 1 : -1;
  const GdiText text(str, strcnt);

  HDC dc = bitmap ? bitmap->getDC() : nullptr;
  PX_SysBitmap* tmp = nullptr;
  long long xoff = 0, yoff = 0, w = 0, h = 0;
  RECT target = *rect;
  if (!dc)
  {
    // No device context (a memory bitmap, or measuring without a bitmap): draw through the
    // temporary surface, over a copy of the destination area, and blend the result back.
    tmp = &nativeScratch();
    w = larger((long long)rect->right - rect->left, 1);
    h = larger((long long)rect->bottom - rect->top, 1);
    if (!growSurface(*tmp, w, h))
      return 0;
    HDC tdc = tmp->getDC();
    FontSelection sel(tdc, style.font);
    RECT m = {0, 0, 0, 0};
    const UINT mf = (format & ~(0xFu | DT_CALCRECT | DT_NOPREFIX)) | DT_CALCRECT | DT_NOPREFIX;
    text.draw(tdc, &m, mf);
    const long long mw = m.right, mh = m.bottom;
    if (format & DT_CALCRECT)
    {
      rect->right = (LONG)(rect->left + mw);
      rect->bottom = (LONG)(rect->top + mh);
      return (int)mh;
    }
    if (format & DT_NOCLIP)
      w = mw, h = mh;
    if (mw < w)
    {
      xoff = (format & DT_RIGHT) ? w - mw : (format & DT_CENTER) ? (w - mw) / 2 : 0;
      w = mw;
    }
    if (mh < h)
    {
      yoff = (format & DT_BOTTOM) ? h - mh : (format & DT_VCENTER) ? (h - mh) / 2 : 0;
      h = mh;
    }
    if (!bitmap || !growSurface(*tmp, w, h))
      return 0;
    PX_Blit(tmp, bitmap, 0, 0, (int)(rect->left + xoff), (int)(rect->top + yoff), (int)w, (int)h,
            1.0f, PX_MODE_COPY);
    dc = tdc;
    target = {0, 0, (LONG)w, (LONG)h};
  }

  FontSelection sel(dc, style.font);
  ::SetTextColor(dc, gdiColor(style.textColor));
  if (style.bkMode == OPAQUE)
    ::SetBkColor(dc, gdiColor(style.bkColor));
  ::SetBkMode(dc, style.bkMode);
  const int result = text.draw(dc, &target, format | DT_NOPREFIX);
  GdiFlush();
  if (tmp)
    PX_Blit(bitmap, tmp, (int)(rect->left + xoff), (int)(rect->top + yoff), 0, 0, (int)w, (int)h,
            style.alpha, PX_MODE_COPY);
  else if (format & DT_CALCRECT)
    *rect = target;
  return result;
}
