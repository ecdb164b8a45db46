// Text on bitmaps with hostile input: the cached font over glyphs the input makes up (empty,
// oversized, overstated and failing renderings, every option), texts that are malformed UTF-8 and
// not terminated, extreme rectangles, colours, modes and alphas; the 8x8 font at extreme
// positions; blur, halving and comparison of small bitmaps, a bitmap with itself included. Every
// bitmap's storage is exactly its pixels, so any stray read or write leaves its heap block.
#include "fuzz/raster/fuzz_reader.h"
#include "raster/px_blur_halve_cmp.h"
#include "raster/px_text.h"
#include "raster/px_textnew.h"
#include "raster/px_utf8.h"
#include "tests/support/raster_test_util.h"

#include <cstdint>
#include <memory>

namespace {

template <class T, size_t N>
T pick(Reader& in, const T (&values)[N])
{
  return values[in.byte() % N];
}

// Glyphs made up from the input: sizes that may be empty, larger than the pixels they claim, or
// refused altogether.
class InputGlyphs : public PX_IGlyphRasterizer
{
public:
  InputGlyphs(Reader& in, int lineHeight)
    : m_in(in)
    , m_lineHeight(lineHeight)
  {}
  int GetLineHeight() override { return m_lineHeight; }
  bool RenderGlyph(unsigned short c, PX_IBitmap** pixels, int* width, int* height,
                   int* advance) override
  {
    const uint8_t shape = m_in.byte();
    if (shape == 0xFF)
      return false;
    const int w = shape % 13, h = (shape / 13) % 13;
    m_pixels.resize(w, h);
    if (PX_pixel* bits = m_pixels.getBits())
      for (int i = 0; i < w * h; ++i)
        bits[i] = m_in.word() ^ c;
    *pixels = &m_pixels;
    *width = w + (shape >= 0xF0 ? 1 : 0);
    *height = h + (shape >= 0xF8 ? 2 : 0);
    *advance = (int)(int8_t)m_in.byte();
    return true;
  }

private:
  Reader& m_in;
  int m_lineHeight;
  ExactBitmap m_pixels;
};

void fuzzCachedFont(Reader& in, ExactBitmap& bm)
{
  static const int heights[] = {0, 1, 8, 16, -5, 40};
  InputGlyphs* glyphs = new InputGlyphs(in, pick(in, heights));
  PX_CachedFont font;
  font.SetFromHFont(glyphs, (int)(in.word() & 0x1F7) | PX_FONTOPT_OWNS_FONT);
  for (int step = 0; step < 8 && !in.done(); ++step)
  {
    font.SetTextColor(in.word());
    font.SetEffectColor(in.word());
    font.SetBkMode(1 + (in.byte() & 1));
    font.SetCombineMode(in.mode(), in.real());
    // The text on the heap, exactly its bytes: terminated, or counted without a terminator.
    const size_t n = in.byte() % 24;
    const bool counted = in.byte() & 1;
    std::unique_ptr<char[]> text(new char[counted ? (n ? n : 1) : n + 1]);
    for (size_t i = 0; i < n; ++i)
      text[i] = (char)in.byte();
    if (!counted)
      text[n] = 0;
    const int count = counted ? (int)n : -1;
    unsigned short code;
    if (n)
      utf8char(text.get(), &code, count);
    PX_Text_HasUTF8(text.get(), count);

    PX_RECT r = {in.coord(), in.coord(), in.coord(), in.coord()};
    unsigned int format = in.word() & 0xC000053Fu;
    font.DrawTextA((in.byte() & 3) ? &bm : nullptr, text.get(), count, &r, format);
  }
}

void fuzzDefaultFont(Reader& in, ExactBitmap& bm)
{
  char text[9];
  for (char& c : text)
    c = (char)in.byte();
  text[8] = 0;
  const int x = in.coord(), y = in.coord();
  PX_DrawChar(&bm, x, y, text[0], in.word(), in.real(), in.mode());
  PX_DrawText(&bm, x, y, text, in.word(), in.real(), in.mode());
  int w, h;
  PX_MeasureText(text, &w, &h);
}

void fuzzWholeImage(Reader& in, ExactBitmap& a, ExactBitmap& b)
{
  ExactBitmap* const bms[2] = {&a, &b};
  ExactBitmap& dst = *bms[in.byte() & 1];
  ExactBitmap& src = *bms[in.byte() & 1];
  const int dx = in.coord(), dy = in.coord(), sx = in.coord(), sy = in.coord();
  PX_Blur(&dst, &src, dx, dy, sx, sy, in.coord(), in.coord());
  PX_HalveBlitAA(&dst, &src);
  int coords[4];
  PX_BitmapCmp(&dst, &src, (in.byte() & 1) ? coords : nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  Reader in(data, size);
  ExactBitmap a(in.byte() % 40, in.byte() % 40, in.byte() & 1);
  ExactBitmap b(in.byte() % 40, in.byte() % 40, in.byte() & 1);
  FillPattern(a, in.word());
  FillPattern(b, in.word());
  for (int step = 0; step < 6 && !in.done(); ++step)
  {
    switch (in.byte() % 3)
    {
      case 0:
        fuzzCachedFont(in, a);
        break;
      case 1:
        fuzzDefaultFont(in, b);
        break;
      default:
        fuzzWholeImage(in, a, b);
        break;
    }
  }
  return 0;
}
