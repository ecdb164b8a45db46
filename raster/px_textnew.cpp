// PX_CachedFont: the glyph cache (records, the mask store, the glyph options), text layout and
// measuring, and blending cached masks into bitmaps. The glyphs themselves and the native drawing
// come from the platform (px_textnew_platform.h).
#include "raster/px_textnew.h"

#include "raster/px_blur_halve_cmp.h"
#include "raster/px_combine.h"
#include "raster/px_setup.h"
#include "raster/px_textnew_platform.h"
#include "raster/px_utf8.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

QvMutex& PX_TextLock()
{
  static QvMutex lock;
  return lock;
}

namespace {

typedef PX_CachedFont::charEnt Glyph;

constexpr unsigned int kAlignBits = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM;
// Options the native drawing cannot show: vertical, upward, blur, invert, mono, shadow, outline.
constexpr int kCachedOnlyFlags = 0x1F3;
constexpr int kThresholdFlags = PX_FONTOPT_MONO | PX_FONTOPT_SHADOW | PX_FONTOPT_OUTLINE;

int compareCharId(const void* a, const void* b)
{
  return ((const Glyph*)a)->charid - ((const Glyph*)b)->charid;
}

long long maxOf(long long a, long long b) { return a > b ? a : b; }

// Sets a font field under the text lock and returns its previous value.
template <class T>
T exchangeLocked(T& field, T value)
{
  QvMutexLock lock(&PX_TextLock());
  const T old = field;
  field = value;
  return old;
}

// Steps through the characters of strcnt bytes of str (all up to the terminator when strcnt is
// negative; never past the terminator): carriage returns are skipped, a line feed calls newline()
// unless DT_SINGLELINE makes it a space, every other character calls glyph(c).
template <class NL, class G>
void forEachChar(const char* str, int strcnt, unsigned int format, NL&& newline, G&& glyph)
{
  int left = strcnt;
  while (left != 0 && *str)
  {
    unsigned short c;
    const int len = utf8char(str, &c, left);
    str += len;
    if (left > 0)
      left -= len;
    if (c == '\r')
      continue;
    if (c == '\n')
    {
      if (!(format & DT_SINGLELINE))
      {
        newline();
        continue;
      }
      c = ' ';
    }
    glyph(c);
  }
}

// The covered pixels of a clipped mask: w x h bytes, rows span bytes apart, over destination rows
// step bytes apart.
struct MaskWalk
{
  const unsigned char* mask;
  ptrdiff_t span;
  PX_pixel_chan* out;
  ptrdiff_t step;
  int w, h;

  template <class F>
  void each(F&& f) const
  {
    const unsigned char* m = mask;
    PX_pixel_chan* o = out;
    for (int y = 0; y < h; ++y, m += span, o += step)
      for (int x = 0; x < w; ++x)
        if (m[x])
          f(o + x * 4, (int)m[x]);
  }
};

// The three ways of turning coverage into pixels, over a combiner.
template <class COMB>
struct GlyphRenderer
{
  // Every covered pixel in the full colour.
  static void Mono(const MaskWalk& mw, PX_pixel color, int weight)
  {
    const int r = PX_GETR(color), g = PX_GETG(color), b = PX_GETB(color);
    mw.each([&](PX_pixel_chan* p, int) { COMB::doPix(p, r, g, b, 255, weight); });
  }
  // Fully covered pixels in the text colour, the shadow or outline (128) in the effect colour.
  static void Effect(const MaskWalk& mw, PX_pixel color, PX_pixel effect, int weight)
  {
    const int r = PX_GETR(color), g = PX_GETG(color), b = PX_GETB(color);
    const int er = PX_GETR(effect), eg = PX_GETG(effect), eb = PX_GETB(effect);
    mw.each([&](PX_pixel_chan* p, int m) {
      if (m == 255)
        COMB::doPix(p, r, g, b, 255, weight);
      else
        COMB::doPix(p, er, eg, eb, 255, weight);
    });
  }
  // Coverage as weight: m + 1 at full strength, else m x weight / 256 (at most 256).
  static void Normal(const MaskWalk& mw, PX_pixel color, int weight)
  {
    const int r = PX_GETR(color), g = PX_GETG(color), b = PX_GETB(color);
    if (weight == 256)
    {
      mw.each([&](PX_pixel_chan* p, int m) { COMB::doPix(p, r, g, b, 255, m + 1); });
      return;
    }
    mw.each([&](PX_pixel_chan* p, int m) {
      const int64_t v = (int64_t)m * weight / 256;
      COMB::doPix(p, r, g, b, 255, v > 256 ? 256 : (int)v);
    });
  }
};

}  // namespace

PX_CachedFont::PX_CachedFont() {}

PX_CachedFont::~PX_CachedFont()
{
  // No lock here: fonts outlive the lock when the library unloads, and deleting a handle needs none.
  if ((m_flags & PX_FONTOPT_OWNS_FONT) && m_font)
    pxi_DeleteFont(m_font);
}

void PX_CachedFont::SetFromHFont(PX_HFONT font, int flags)
{
  QvMutexLock lock(&PX_TextLock());
  if ((m_flags & PX_FONTOPT_OWNS_FONT) && m_font && m_font != font)
    pxi_DeleteFont(m_font);
  m_flags = flags;
  m_font = font;
  if (font)
    m_lineHeight = pxi_FontLineHeight(font);
  std::memset(m_asciiGlyphs, 0, sizeof(m_asciiGlyphs));
  m_extendedGlyphs.Resize(0);
  m_glyphBytes.Resize(0);
  if (flags & PX_FONTOPT_PRERENDER_ASCII)
    for (unsigned short c = 0; c < 128; ++c)
      RenderGlyph(c);
}

PX_PixelWord PX_CachedFont::SetTextColor(PX_PixelWord color)
{
  return exchangeLocked(m_textColor, color);
}

PX_PixelWord PX_CachedFont::SetBkColor(PX_PixelWord color)
{
  return exchangeLocked(m_bkColor, color);
}

PX_PixelWord PX_CachedFont::SetEffectColor(PX_PixelWord color)
{
  return exchangeLocked(m_effectColor, color);
}

int PX_CachedFont::SetBkMode(int mode) { return exchangeLocked(m_bkMode, mode); }

void PX_CachedFont::SetCombineMode(int mode, float alpha)
{
  QvMutexLock lock(&PX_TextLock());
  m_combineMode = mode;
  m_alpha = alpha;
}

PX_CachedFont::charEnt* PX_CachedFont::findChar(unsigned short c)
{
  if (c <= 127)
    return &m_asciiGlyphs[c];
  Glyph key = {};
  key.charid = c;
  Glyph* list = m_extendedGlyphs.Get();
  if (!list)
    return nullptr;
  return (Glyph*)std::bsearch(&key, list, (size_t)m_extendedGlyphs.GetSize(), sizeof(Glyph),
                              compareCharId);
}

const PX_CachedFont::charEnt* PX_CachedFont::glyphFor(unsigned short c)
{
  const Glyph* rec = findChar(c);
  if (rec && rec->base_offset != 0)
    return rec;
  // Rendering may add the record and move the list, so look it up again.
  return RenderGlyph(c) ? findChar(c) : rec;
}

const unsigned char* PX_CachedFont::maskOf(const charEnt& rec) const
{
  if (rec.base_offset < 1 || rec.width < 1 || rec.height < 1)
    return nullptr;
  const int64_t end = (int64_t)rec.base_offset - 1 + (int64_t)rec.width * rec.height;
  if (end > m_glyphBytes.GetSize())
    return nullptr;
  return m_glyphBytes.Get() + (rec.base_offset - 1);
}

bool PX_CachedFont::RenderGlyph(unsigned short c)
{
  QvMutexLock lock(&PX_TextLock());
  Glyph* rec;
  bool added = false;
  if (c > 127)
  {
    if (!pxi_WideGlyphsUsable())
      return false;
    rec = findChar(c);
    if (!rec)
    {
      if (m_flags & PX_FONTOPT_PRERENDER_ASCII)
        return false;
      Glyph fresh = {};
      fresh.charid = c;
      rec = m_extendedGlyphs.Add(fresh);
      if (!rec)
        return false;
      added = true;
    }
  }
  else
  {
    rec = &m_asciiGlyphs[c];
  }

  pxi_GlyphImage img = {};
  if (!pxi_RasterizeGlyph(m_font, m_lineHeight, c, &img) ||
      !fillMask(rec, img.pixels, img.width, img.height))
  {
    rec->base_offset = -1;
    rec->width = rec->height = rec->advance = 0;
  }
  else
  {
    rec->advance = img.advance;
  }
  if (added && m_extendedGlyphs.GetSize() > 1)
    std::qsort(m_extendedGlyphs.Get(), (size_t)m_extendedGlyphs.GetSize(), sizeof(Glyph),
               compareCharId);
  return true;
}

// Appends the mask of a w x h rendering to the store: the red channel, blurred, inverted and
// rotated as the flags ask, then thresholded and given its shadow or outline. False (nothing
// kept) when the rendering is empty or does not fit its pixels, or the store cannot grow.
bool PX_CachedFont::fillMask(charEnt* rec, PX_IBitmap* pixels, int w, int h)
{
  PX_pixel* bits = pixels ? pixels->getBits() : nullptr;
  if (!bits || w < 1 || h < 1 || w > pixels->getWidth() || h > pixels->getHeight())
    return false;
  if (m_flags & PX_FONTOPT_BLUR)
    PX_Blur(pixels, pixels, 0, 0, 0, 0, w, h);

  const int base = m_glyphBytes.GetSize();
  const int64_t need = (int64_t)base + (int64_t)w * h;
  if (need > INT_MAX)
    return false;
  m_glyphBytes.Resize((int)need, false);
  if (m_glyphBytes.GetSize() != need)
    return false;
  unsigned char* mask = m_glyphBytes.Get() + base;

  const unsigned char flip = (m_flags & PX_FONTOPT_INVERT) ? 0xFF : 0;
  const bool vertical = (m_flags & PX_FONTOPT_VERTICAL) != 0;
  const bool upward = (m_flags & PX_FONTOPT_VERTICAL_UPWARD) != 0;
  const pxi_Rows rows = pxi_LogicalRows(pixels, bits, 0);
  for (int y = 0; y < h; ++y)
  {
    const PX_pixel* row = (const PX_pixel*)(rows.start + (ptrdiff_t)y * rows.step);
    for (int x = 0; x < w; ++x)
    {
      const unsigned char v = (unsigned char)(((row[x] >> 16) & 0xFF) ^ flip);
      // Rotated a quarter turn: clockwise for text running down, the other way for upward.
      if (!vertical)
        mask[(ptrdiff_t)y * w + x] = v;
      else if (!upward)
        mask[(ptrdiff_t)x * h + (h - 1 - y)] = v;
      else
        mask[(ptrdiff_t)(w - 1 - x) * h + y] = v;
    }
  }
  if (vertical)
  {
    const int t = w;
    w = h;
    h = t;
  }
  shapeMask(mask, w, h);
  rec->base_offset = base + 1;
  rec->width = w;
  rec->height = h;
  return true;
}

// Mono, shadow and outline: coverage thresholded to 0 or 255, then 128 where the shadow or
// outline falls on an empty byte (only 255 neighbours count, so the 128s never spread).
void PX_CachedFont::shapeMask(unsigned char* mask, int w, int h) const
{
  if (!(m_flags & kThresholdFlags))
    return;
  for (int64_t i = 0, n = (int64_t)w * h; i < n; ++i)
    mask[i] = mask[i] < 131 ? 0 : 255;
  const bool shadow = (m_flags & PX_FONTOPT_SHADOW) != 0;
  if (!shadow && !(m_flags & PX_FONTOPT_OUTLINE))
    return;
  for (int y = 0; y < h; ++y)
  {
    unsigned char* row = mask + (ptrdiff_t)y * w;
    const unsigned char* up = y > 0 ? row - w : nullptr;
    const unsigned char* down = y < h - 1 ? row + w : nullptr;
    for (int x = 0; x < w; ++x)
    {
      if (row[x])
        continue;
      bool mark;
      if (shadow)
        mark =
          (x > 0 && row[x - 1] == 255) || (x > 0 && up && up[x - 1] == 255) || (up && up[x] == 255);
      else
        mark = (x > 0 && row[x - 1] == 255) || (x < w - 1 && row[x + 1] == 255) ||
               (up && up[x] == 255) || (down && down[x] == 255);
      if (mark)
        row[x] = 128;
    }
  }
}

bool PX_CachedFont::DrawGlyph(PX_IBitmap* bitmap, const charEnt& rec, long long x, long long y,
                              const PX_RECT& clip)
{
  const unsigned char* mask = maskOf(rec);
  long long w = rec.width, h = rec.height;
  if (!mask || !(x + w > clip.left && clip.right > x && clip.top < y + h && clip.bottom > y))
    return false;
  long long mx = 0, my = 0;
  if (clip.left > x)
  {
    mx = clip.left - x;
    w -= mx;
    x = clip.left;
  }
  if (clip.top > y)
  {
    my = clip.top - y;
    h -= my;
    y = clip.top;
  }
  if (x + w >= clip.right)
    w = clip.right - x;
  if (y + h >= clip.bottom)
    h = clip.bottom - y;

  const int mode = m_combineMode & ~PX_MODE_SOURCEALPHA;
  if (m_bkMode == 2)
    PX_FillRect(bitmap, (int)x, (int)y, (int)w, (int)h, m_bkColor, m_alpha, mode);
  int weight;
  const int op = mode & PX_MODE_MASK;
  if (!pxi_WeightFromAlpha(m_alpha, &weight) || weight == 0 || op >= 6)
    return true;

  const pxi_Rows rows = pxi_LogicalRows(bitmap, bitmap->getBits(), (int)y);
  const MaskWalk mw = {
    mask + my * rec.width + mx, rec.width, rows.start + x * 4, rows.step, (int)w, (int)h};
  const bool shaped = (m_flags & (PX_FONTOPT_SHADOW | PX_FONTOPT_OUTLINE)) != 0;
  const bool mono = (m_flags & PX_FONTOPT_MONO) != 0;
  if ((mono || shaped) && m_alpha == 1.0f && op == PX_MODE_COPY)
  {
    // Whole words: the text colour, or the effect colour on shadow and outline pixels.
    const PX_pixel text = m_textColor, effect = m_effectColor;
    mw.each([&](PX_pixel_chan* p, int m) { *(PX_pixel*)p = mono || m == 255 ? text : effect; });
    return true;
  }
  const int capped = weight > 256 ? 256 : weight;
  pxi_SelectShapeAA(op, weight, [&](auto tag) {
    typedef GlyphRenderer<typename decltype(tag)::type> R;
    if (mono)
      R::Mono(mw, m_textColor, capped);
    else if (shaped)
      R::Effect(mw, m_textColor, m_effectColor, capped);
    else
      R::Normal(mw, m_textColor, weight);
  });
  return true;
}

int PX_CachedFont::DrawTextA(PX_IBitmap* bitmap, const char* str, int strcnt, PX_RECT* rect,
                             unsigned int format)
{
  QvMutexLock lock(&PX_TextLock());
  return DrawTextImpl(bitmap, str, strcnt, rect, format);
}

int PX_CachedFont::measure(const char* str, int strcnt, PX_RECT* rect, unsigned int format)
{
  const bool vertical = (m_flags & PX_FONTOPT_VERTICAL) != 0;
  const long long line = (long long)m_lineHeight + m_lineSpacingAdj;
  long long x = 0, y = 0, ex = 0, ey = 0;
  forEachChar(
    str, strcnt, format,
    [&] {
      if (vertical)
        x += line, y = 0;
      else
        y += line, x = 0;
    },
    [&](unsigned short c) {
      const Glyph* rec = glyphFor(c);
      if (!rec || rec->base_offset <= 0)
        return;
      if (vertical)
      {
        y += rec->advance;
        ex = maxOf(ex, x + rec->width);
        ey = maxOf(ey, y);
      }
      else
      {
        x += rec->advance;
        ey = maxOf(ey, y + rec->height);
        ex = maxOf(ex, x);
      }
    });
  rect->right = pxi_ClampToInt(rect->left + ex);
  rect->bottom = pxi_ClampToInt(rect->top + ey);
  return pxi_ClampToInt(vertical ? ex : ey);
}

int PX_CachedFont::DrawTextImpl(PX_IBitmap* bitmap, const char* str, int strcnt, PX_RECT* rect,
                                unsigned int format)
{
  if (!str || !rect || (!bitmap && !(format & DT_CALCRECT)))
    return 0;
  const bool noNative = (format & PX_DT_NO_NATIVE) != 0;
  format &= ~PX_DT_NO_NATIVE;

  const bool nativeAllowed =
    (m_flags & PX_FONTOPT_NATIVE) && m_font && !noNative && !(format & PX_DT_FG_ALPHA) &&
    !(m_flags & PX_FONTOPT_PRERENDER_ASCII) && !(m_flags & kCachedOnlyFlags) &&
    !(m_lineSpacingAdj != 0 && !(format & DT_SINGLELINE));
  if (nativeAllowed && pxi_NativeTextUsable())
  {
    const pxi_NativeTextStyle style = {m_font, m_textColor, m_bkColor, m_bkMode, m_alpha};
    return pxi_NativeDrawText(style, bitmap, str, strcnt, rect, format);
  }
  if (format & DT_CALCRECT)
    return measure(str, strcnt, rect, format);

  // The font alpha of this call, restored on every way out.
  struct AlphaScope
  {
    float& alpha;
    const float saved;
    ~AlphaScope() { alpha = saved; }
  } scope{m_alpha, m_alpha};
  if (format & PX_DT_FG_ALPHA)
    m_alpha = (float)(m_textColor >> 24) / 255.0f * m_alpha;
  if (m_alpha == 0.0f)
    return 0;

  const bool vertical = (m_flags & PX_FONTOPT_VERTICAL) != 0;
  const bool bottomUp = (m_flags & (PX_FONTOPT_VERTICAL | PX_FONTOPT_VERTICAL_UPWARD)) ==
                        (PX_FONTOPT_VERTICAL | PX_FONTOPT_VERTICAL_UPWARD);
  long long x0 = rect->left, y0 = rect->top;
  if ((format & kAlignBits) || bottomUp)
  {
    PX_RECT ext = *rect;
    DrawTextImpl(bitmap, str, strcnt, &ext,
                 DT_CALCRECT | (format & DT_SINGLELINE) | (noNative ? PX_DT_NO_NATIVE : 0));
    const long long tw = (long long)ext.right - ext.left, th = (long long)ext.bottom - ext.top;
    if (format & DT_CENTER)
      x0 += ((long long)rect->right - rect->left - tw) / 2;
    else if (format & DT_RIGHT)
      x0 = rect->right - tw;
    if (format & DT_VCENTER)
      y0 += ((long long)rect->bottom - rect->top - th) / 2;
    else if (format & DT_BOTTOM)
      y0 = rect->bottom - th;
    if (bottomUp)
      y0 += th;
  }

  const int bw = bitmap->getWidth(), bh = bitmap->getHeight();
  PX_RECT clip = {0, 0, bw, bh};
  if (!(format & DT_NOCLIP))
  {
    clip.left = rect->left > 0 ? rect->left : 0;
    clip.top = rect->top > 0 ? rect->top : 0;
    clip.right = rect->right < bw ? rect->right : bw;
    clip.bottom = rect->bottom < bh ? rect->bottom : bh;
  }
  if (clip.left >= clip.right || clip.top >= clip.bottom || !bitmap->getBits())
    return 0;

  const long long line = (long long)m_lineHeight + m_lineSpacingAdj;
  long long x = x0, y = y0, reach = vertical ? x0 : y0;
  forEachChar(
    str, strcnt, format,
    [&] {
      if (vertical)
        x += line, y = y0;
      else
        y += line, x = x0;
    },
    [&](unsigned short c) {
      const Glyph* rec = glyphFor(c);
      if (!rec || !maskOf(*rec))
        return;
      if (bottomUp)
        y -= rec->height;
      const bool drawn = DrawGlyph(bitmap, *rec, x, y, clip);
      if (vertical)
      {
        y += bottomUp ? rec->height - rec->advance : rec->advance;
        if (drawn)
          reach = maxOf(reach, x + rec->width);
      }
      else
      {
        x += rec->advance;
        if (drawn)
          reach = maxOf(reach, y + rec->height);
      }
    });
  return pxi_ClampToInt(reach - (vertical ? x0 : y0));
}
