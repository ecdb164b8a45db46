// The cached font with GDI glyphs, against GDI itself: advances, single glyphs, string extents,
// glyphs larger than a line, vertical text, the native drawing path, the choice between the two
// drawings and the check for Wine behind it, and several threads. The font is DejaVu Sans, loaded
// for this process only.
#include "raster/px_blur_halve_cmp.h"
#include "raster/px_textnew.h"
#include "raster/px_textnew_platform.h"
#include "tests/support/raster_test_util.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

const char* kFontFile = "Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSans.ttf";

// A memory device context with a font selected, for asking GDI about the font.
struct FontDC
{
  HDC dc;
  HGDIOBJ old;
  explicit FontDC(HFONT font)
    : dc(CreateCompatibleDC(nullptr))
    , old(SelectObject(dc, font))
  {}
  ~FontDC()
  {
    SelectObject(dc, old);
    DeleteDC(dc);
  }
};

class GdiText : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    ASSERT_GT(AddFontResourceExA(kFontFile, FR_PRIVATE, nullptr), 0) << kFontFile;
  }
  static void TearDownTestSuite() { RemoveFontResourceExA(kFontFile, FR_PRIVATE, nullptr); }

  // A DejaVu Sans font; the test fails when GDI would substitute another face.
  static HFONT MakeFont(int height, int weight = FW_NORMAL, DWORD quality = NONANTIALIASED_QUALITY)
  {
    HFONT f = CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH, "DejaVu Sans");
    EXPECT_NE(f, nullptr);
    char face[64] = {0};
    GetTextFaceA(FontDC(f).dc, sizeof(face), face);
    EXPECT_STREQ(face, "DejaVu Sans");
    return f;
  }
};

std::wstring Wide(const std::string& utf8)
{
  std::wstring w(utf8.size() + 1, L'\0');
  w.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), (int)utf8.size(), &w[0], (int)w.size()));
  return w;
}

void Fill(PX_IBitmap& bm, PX_pixel v)
{
  for (int y = 0; y < bm.getHeight(); ++y)
    for (int x = 0; x < bm.getWidth(); ++x)
      Px(bm, x, y) = v;
}

// GDI draws text at (x, y), transparent background, as a native DrawText does.
void DrawWithGdi(PX_SysBitmap& bm, HFONT font, const std::wstring& text, int x, int y,
                 COLORREF color)
{
  HDC dc = bm.getDC();
  HGDIOBJ old = SelectObject(dc, font);
  SetTextColor(dc, color);
  SetBkMode(dc, TRANSPARENT);
  RECT r = {x, y, bm.getWidth(), bm.getHeight()};
  DrawTextW(dc, text.c_str(), (int)text.size(), &r, DT_NOPREFIX | DT_SINGLELINE | DT_NOCLIP);
  GdiFlush();
  SelectObject(dc, old);
}

int CachedAdvance(PX_CachedFont& font, const std::string& c)
{
  RECT r = {0, 0, 0, 0};
  font.DrawTextA(nullptr, c.c_str(), -1, &r, DT_CALCRECT);
  return r.right;
}

// The largest channel difference of the colour channels, alpha ignored (GDI clears it).
int RgbDistance(PX_IBitmap& a, PX_IBitmap& b)
{
  int worst = 0;
  for (int y = 0; y < a.getHeight(); ++y)
    for (int x = 0; x < a.getWidth(); ++x)
      for (int shift = 0; shift < 24; shift += 8)
      {
        const int d = (int)((Px(a, x, y) >> shift) & 255) - (int)((Px(b, x, y) >> shift) & 255);
        worst = std::max(worst, d < 0 ? -d : d);
      }
  return worst;
}

const char* const kChars[] = {
  "A", "W", "g", "j", "i", ".", "@", "\xC3\xA9", "\xE2\x82\xAC", "\xCE\xA9", "\xC5\x81"};

TEST_F(GdiText, CachedAdvanceIsTheTextExtent)
{
  for (int height : {12, 17, 40})
  {
    HFONT hf = MakeFont(height, FW_NORMAL, ANTIALIASED_QUALITY);
    PX_CachedFont font;
    font.SetFromHFont(hf, PX_FONTOPT_OWNS_FONT);
    const FontDC fdc(hf);
    TEXTMETRICW tm;
    GetTextMetricsW(fdc.dc, &tm);
    EXPECT_EQ(font.GetLineHeight(), tm.tmHeight);
    for (const char* c : kChars)
    {
      const std::wstring w = Wide(c);
      SIZE size;
      GetTextExtentPoint32W(fdc.dc, w.c_str(), (int)w.size(), &size);
      EXPECT_EQ(CachedAdvance(font, c), size.cx) << c << " at " << height;
    }
  }
}

// One glyph drawn from the cache at full weight in copy mode is GDI's own drawing: exactly for
// two-level glyphs in any colours, within one step for anti-aliased white on black (the cache
// weighs coverage m as m + 1; GDI blends other colours with a gamma of its own). Glyphs that reach
// left of their pen or right of their advance are left out: the cache keeps the box from the pen
// to the advance (two pixels more for capitals).
TEST_F(GdiText, CachedGlyphIsTheNativeDrawing)
{
  const struct
  {
    DWORD quality;
    PX_pixel text, paper;
    int tolerance;
  } cases[] = {
    {NONANTIALIASED_QUALITY, 0xFF000000u, 0xFFFFFFFFu, 0},
    {NONANTIALIASED_QUALITY, 0xFF2060C0u, 0xFFF0E0A0u, 0},
    {ANTIALIASED_QUALITY, 0xFFFFFFFFu, 0xFF000000u, 1},
  };
  int compared = 0;
  for (const auto& c : cases)
  {
    PX_CachedFont font;
    HFONT hf = MakeFont(20, FW_NORMAL, c.quality);
    font.SetFromHFont(hf, PX_FONTOPT_OWNS_FONT);
    font.SetTextColor(c.text);
    font.SetCombineMode(PX_MODE_COPY, 1.0f);
    const FontDC fdc(hf);
    for (const char* ch : kChars)
    {
      const std::wstring w = Wide(ch);
      ABC abc;
      ASSERT_TRUE(GetCharABCWidthsW(fdc.dc, w[0], w[0], &abc));
      if (abc.abcA < 0 || (abc.abcC < 0 && !(ch[0] >= 'A' && ch[0] <= 'Z')))
        continue;
      PX_SysBitmap cached(40, 30), native(40, 30);
      Fill(cached, c.paper);
      Fill(native, c.paper);
      RECT r = {3, 2, 40, 30};
      font.DrawTextA(&cached, ch, -1, &r, 0);
      DrawWithGdi(native, hf, Wide(ch), 3, 2,
                  RGB(PX_GETR(c.text), PX_GETG(c.text), PX_GETB(c.text)));
      EXPECT_LE(RgbDistance(cached, native), c.tolerance)
        << ch << " quality " << c.quality << " text " << std::hex << c.text;
      ++compared;
    }
  }
  EXPECT_GE(compared, 20);
}

TEST_F(GdiText, StringMeasuresAsCalcRect)
{
  const char* texts[] = {"Step gate 16", "filter cutoff 0.25 Hz", "caf\xC3\xA9 \xE2\x82\xAC 42"};
  for (int height : {12, 16, 23})
  {
    HFONT hf = MakeFont(height, FW_NORMAL, ANTIALIASED_QUALITY);
    PX_CachedFont font;
    font.SetFromHFont(hf, PX_FONTOPT_OWNS_FONT);
    const FontDC fdc(hf);
    for (const char* t : texts)
    {
      const std::wstring w = Wide(t);
      RECT want = {0, 0, 0, 0}, got = {0, 0, 0, 0}, native = {0, 0, 0, 0};
      DrawTextW(fdc.dc, w.c_str(), (int)w.size(), &want, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
      EXPECT_EQ(font.DrawTextA(nullptr, t, -1, &got, DT_CALCRECT), want.bottom) << t;
      EXPECT_EQ(got.right, want.right) << t << " at " << height;
      EXPECT_EQ(got.bottom, want.bottom) << t << " at " << height;
      // The native path measures the same.
      const pxi_NativeTextStyle style = {hf, 0, 0, 1, 1.0f};
      QvMutexLock lock(&PX_TextLock());
      EXPECT_EQ(pxi_NativeDrawText(style, nullptr, t, -1, &native, DT_CALCRECT), want.bottom);
      EXPECT_EQ(native.right, want.right) << t;
    }
  }
}

// Glyphs wider and taller than any line so far, and vertical fonts, are rendered whole: the
// scratch surface grows to the glyph box.
TEST_F(GdiText, LargeCapitalsAndVerticalGlyphsAreWhole)
{
  HFONT hf = MakeFont(300, FW_BOLD);
  PX_CachedFont across, down;
  across.SetFromHFont(hf, 0);
  down.SetFromHFont(hf, PX_FONTOPT_VERTICAL);
  for (const char* ch : {"W", "M", "@", "\xC3\x86"})
  {
    PX_SysBitmap cached(700, 400), native(700, 400);
    Fill(cached, 0xFF000000u);
    Fill(native, 0xFF000000u);
    across.SetTextColor(0xFFFFFFFFu);
    RECT r = {5, 5, 700, 400};
    across.DrawTextA(&cached, ch, -1, &r, 0);
    DrawWithGdi(native, hf, Wide(ch), 5, 5, RGB(255, 255, 255));
    EXPECT_EQ(RgbDistance(cached, native), 0) << ch;
    int coords[4];
    PX_MemBitmap black(700, 400);
    PX_Clear(&black, 0xFF000000u);
    ASSERT_EQ(PX_BitmapCmp(&black, &cached, coords), 1) << ch;
    EXPECT_GT(coords[2], 200) << ch;  // wider than the first scratch surface's 256 less margins

    // The vertical glyph is the horizontal one turned a quarter clockwise.
    PX_SysBitmap turned(400, 700);
    Fill(turned, 0xFF000000u);
    down.SetTextColor(0xFFFFFFFFu);
    RECT t = {0, 0, 400, 700};
    down.DrawTextA(&turned, ch, -1, &t, 0);
    const int h = across.GetLineHeight();
    int mismatches = 0;
    for (int y = 0; y < 695; ++y)
      for (int x = 0; x < h; ++x)
        mismatches +=
          (Px(turned, x, y) & 0xFFFFFF) != (Px(cached, 5 + y, 5 + h - 1 - x) & 0xFFFFFF);
    EXPECT_EQ(mismatches, 0) << ch;
  }
  DeleteObject(hf);
}

// The native path draws what GDI draws, into a DIB through its device context, and into memory
// through the temporary surface at the aligned place; UTF-8 reaches GDI as UTF-16. Through the
// temporary surface the result is the text height, not GDI's offset of the text bottom.
TEST_F(GdiText, NativePathDrawsAsGdi)
{
  HFONT hf = MakeFont(18, FW_NORMAL, NONANTIALIASED_QUALITY);
  const pxi_NativeTextStyle style = {hf, 0xFF203040u, 0xFFFFFFFFu, TRANSPARENT, 1.0f};
  const char* text = "caf\xC3\xA9 \xE2\x82\xAC";
  QvMutexLock lock(&PX_TextLock());
  for (UINT align :
       {0u, (UINT)DT_CENTER, (UINT)(DT_RIGHT | DT_BOTTOM), (UINT)(DT_CENTER | DT_VCENTER)})
  {
    PX_SysBitmap dib(120, 50), want(120, 50);
    PX_MemBitmap mem(120, 50);
    for (PX_IBitmap* bm : {(PX_IBitmap*)&dib, (PX_IBitmap*)&want, (PX_IBitmap*)&mem})
      Fill(*bm, 0xFFE0E0E0u);
    RECT r1 = {10, 5, 110, 45}, r2 = r1;
    const UINT format = align | DT_SINGLELINE;
    const int h1 = pxi_NativeDrawText(style, &dib, text, -1, &r1, format);
    const int h2 = pxi_NativeDrawText(style, &mem, text, -1, &r2, format);
    HDC dc = want.getDC();
    HGDIOBJ old = SelectObject(dc, hf);
    SetTextColor(dc, RGB(0x20, 0x30, 0x40));
    SetBkMode(dc, TRANSPARENT);
    RECT r3 = {10, 5, 110, 45};
    const std::wstring w = Wide(text);
    const int h3 = DrawTextW(dc, w.c_str(), (int)w.size(), &r3, format | DT_NOPREFIX);
    GdiFlush();
    SelectObject(dc, old);
    EXPECT_EQ(h1, h3);
    EXPECT_EQ(h2, 18);  // the cell height of an 18-pixel font
    EXPECT_EQ(RgbDistance(dib, want), 0) << "align " << align;
    EXPECT_EQ(RgbDistance(mem, want), 0) << "align " << align;
  }
  DeleteObject(hf);
}

// A font that may draw through GDI (as the GUI's fonts may) draws GDI's own pixels where the system
// is Windows and its cached glyphs under Wine; forced either way, each branch draws as it would on
// its own system. Two-level glyphs from the cache are GDI's pixels; anti-aliased coloured text
// tells the two apart (the cache blends coverage linearly, GDI with a gamma of its own).
TEST_F(GdiText, TheChosenDrawingIsGdisOrTheCachedGlyphs)
{
  struct ForcedDrawing
  {
    ~ForcedDrawing() { PX_Text_ForceDrawing(PX_TEXTDRAW_AUTO); }
  } restore;
  const struct
  {
    PX_TextDrawing forced;
    bool gdiDrawn;
  } choices[] = {
    {PX_TEXTDRAW_NATIVE, true}, {PX_TEXTDRAW_CACHED, false}, {PX_TEXTDRAW_AUTO, false}};
  const char* text = "Step 16 \xC3\xA9t\xC3\xA9";
  for (DWORD quality : {NONANTIALIASED_QUALITY, ANTIALIASED_QUALITY})
  {
    SCOPED_TRACE(testing::Message() << "quality " << quality);
    HFONT hf = MakeFont(16, FW_NORMAL, quality);
    PX_CachedFont font;
    font.SetFromHFont(hf, PX_FONTOPT_OWNS_FONT | PX_FONTOPT_NATIVE);
    font.SetTextColor(0xFF2060C0u);
    auto draw = [&](PX_SysBitmap& bm, UINT extra) {
      Fill(bm, 0xFFF0E0A0u);
      RECT r = {2, 2, 120, 24};
      font.DrawTextA(&bm, text, -1, &r, DT_SINGLELINE | DT_NOCLIP | extra);
    };
    PX_SysBitmap gdi(120, 24), glyphs(120, 24);
    Fill(gdi, 0xFFF0E0A0u);
    DrawWithGdi(gdi, hf, Wide(text), 2, 2, RGB(0x20, 0x60, 0xC0));
    draw(glyphs, PX_DT_NO_NATIVE);
    ASSERT_EQ(RgbDistance(glyphs, gdi) == 0, quality == NONANTIALIASED_QUALITY);
    for (const auto& c : choices)
    {
      PX_Text_ForceDrawing(c.forced);
      PX_SysBitmap drawn(120, 24);
      draw(drawn, 0);
      EXPECT_EQ(RgbDistance(drawn, c.gdiDrawn ? gdi : glyphs), 0) << "forced " << c.forced;
    }
    PX_Text_ForceDrawing(PX_TEXTDRAW_AUTO);
  }
}

// Wine is told apart by the registry key it keeps its settings in, which Windows does not have.
TEST(WineCheck, TheKeyOfWineTellsItApart)
{
  EXPECT_TRUE(PX_Text_IsWine());  // these tests run under Wine
  const char* kScratch = "Software\\QuorvalentWineCheckTest";
  RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);  // left over from an earlier run
  HKEY root, wine;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kScratch, &root), ERROR_SUCCESS);
  ASSERT_EQ(RegCreateKeyA(root, "Software\\Wine Tools", &wine), ERROR_SUCCESS);
  RegCloseKey(wine);
  EXPECT_FALSE(PX_Text_HasWineKey(root));  // a registry as Windows has it
  ASSERT_EQ(RegCreateKeyA(root, "Software\\Wine", &wine), ERROR_SUCCESS);
  RegCloseKey(wine);
  EXPECT_TRUE(PX_Text_HasWineKey(root));
  RegCloseKey(root);
  RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
}

// Threads drawing with one font share the scratch surface through the text lock.
TEST_F(GdiText, OneFontDrawsOnSeveralThreads)
{
  PX_CachedFont font;
  font.SetFromHFont(MakeFont(15, FW_NORMAL, ANTIALIASED_QUALITY), PX_FONTOPT_OWNS_FONT);
  font.SetTextColor(0xFFFFFFFFu);
  std::string texts[3];
  for (int t = 0; t < 3; ++t)
    for (int i = 0; i < 40; ++i)
    {
      const wchar_t c = (wchar_t)(0x100 + i * 3 + t);
      char buf[4];
      texts[t].append(buf, WideCharToMultiByte(CP_UTF8, 0, &c, 1, buf, 4, nullptr, nullptr));
    }
  PX_MemBitmap got[3], want[3];
  for (int t = 0; t < 3; ++t)
  {
    got[t].resize(600, 20);
    want[t].resize(600, 20);
    PX_Clear(&got[t], 0);
    PX_Clear(&want[t], 0);
  }
  std::vector<std::thread> threads;
  for (int t = 0; t < 3; ++t)
    threads.emplace_back([&, t] {
      RECT r = {0, 0, 600, 20};
      font.DrawTextA(&got[t], texts[t].c_str(), -1, &r, 0);
    });
  for (auto& th : threads)
    th.join();
  for (int t = 0; t < 3; ++t)
  {
    RECT r = {0, 0, 600, 20};
    font.DrawTextA(&want[t], texts[t].c_str(), -1, &r, 0);
    EXPECT_EQ(PX_BitmapCmp(&got[t], &want[t], nullptr), 0) << "thread " << t;
  }
}

}  // namespace
