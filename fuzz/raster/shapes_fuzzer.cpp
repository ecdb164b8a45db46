// Interprets the input as a sequence of line, shape and curve calls with extreme arguments on a
// bitmap of 0 to 64 pixels a side, normal or flipped, whose storage has guard bands: sentinel rows
// above and below and a row span wider than the width. After every call the guard bands must
// still hold the sentinel, and the whole block is exactly allocated so that the address sanitizer
// sees any access beyond it.
#include "fuzz/raster/fuzz_reader.h"
#include "raster/px_arc.h"
#include "raster/px_line.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr PX_pixel kSentinel = 0x5AA5C33Cu;
constexpr int kGuardRows = 2;

class GuardedBitmap : public PX_IBitmap
{
public:
  GuardedBitmap(int w, int h, int pad, bool flipped)
    : m_w(w)
    , m_h(h)
    , m_span(w + pad)
    , m_flipped(flipped)
    , m_store((size_t)m_span * (h + 2 * kGuardRows), kSentinel)
  {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        row(y)[x] = 0x10203040u;
  }
  PX_pixel* getBits() override { return m_store.empty() ? nullptr : row(0); }
  int getWidth() override { return m_w; }
  int getHeight() override { return m_h; }
  int getRowSpan() override { return m_span; }
  bool isFlipped() override { return m_flipped; }
  bool resize(int, int) override { return false; }

  void check() const
  {
    for (size_t i = 0; i < m_store.size(); ++i)
    {
      const int r = (int)(i / m_span) - kGuardRows, c = (int)(i % m_span);
      const bool inside = r >= 0 && r < m_h && c < m_w;
      if (!inside && m_store[i] != kSentinel)
      {
        std::fprintf(stderr, "guard band changed at row %d column %d (%dx%d span %d)\n", r, c, m_w,
                     m_h, m_span);
        std::abort();
      }
    }
  }

private:
  PX_pixel* row(int y) { return m_store.data() + (size_t)(y + kGuardRows) * m_span; }

  int m_w, m_h, m_span;
  bool m_flipped;
  std::vector<PX_pixel> m_store;
};

// The shapes' own value mix on top of the shared reader: coordinates around a small bitmap, large
// radii and positions, and the alphas the shapes' weight treats specially.
class ShapeReader : public Reader
{
public:
  using Reader::Reader;
  int coord()
  {
    static const int extremes[] = {INT32_MIN, INT32_MAX, INT32_MIN + 1, INT32_MAX - 1, -65536,
                                   65536,     1 << 30,   -(1 << 30),    100000,        -100000};
    const uint8_t sel = byte();
    if (sel < 210)
      return (int)(sel % 90) - 13;
    if (sel < 245)
      return extremes[sel % (sizeof(extremes) / sizeof(extremes[0]))];
    return (int)word();
  }
  float real()
  {
    static const float extremes[] = {NAN,   INFINITY, -INFINITY, 1e30f, -1e30f, 1e-30f, -0.0f,
                                     3e38f, -3e38f,   16777216,  3e7f,  -3e7f,  0.5f,   2.0f,
                                     1.5f,  2.5f,     3.0f,      3.5f,  4.0f,   1e9f};
    const uint8_t sel = byte();
    if (sel < 220)
      return ((int)byte() - 40) / 2.5f;
    if (sel < 250)
      return extremes[sel % (sizeof(extremes) / sizeof(extremes[0]))];
    return floatBits();
  }
  float alpha()
  {
    static const float alphas[] = {-1.0f, 0.0f, 1.0f / 512, 0.25f, 0.5f,  0.75f,   1.0f,
                                   2.0f,  1e9f, NAN,        0.3f,  -1e9f, INFINITY};
    return alphas[byte() % (sizeof(alphas) / sizeof(alphas[0]))];
  }
  int mode()
  {
    static const int modes[] = {0,       1,       2,       3,         4,         5,     6,
                                0xEF,    0xF0,    0xF3,    0xFF,      0x100,     0x101, 0x10000,
                                0x10001, 0x10005, 0x1FFFF, INT32_MIN, INT32_MAX, 0x200};
    const uint8_t sel = byte();
    if (sel < 230)
      return modes[sel % (sizeof(modes) / sizeof(modes[0]))];
    return (int)word();
  }
};

void drawOne(ShapeReader& in, PX_IBitmap* bm)
{
  const PX_pixel c = in.word();
  switch (in.byte() % 18)
  {
    case 0:
      PX_Line(bm, in.coord(), in.coord(), in.coord(), in.coord(), c, in.alpha(), in.mode(),
              in.byte() & 1);
      break;
    case 1:
      PX_FLine(bm, in.real(), in.real(), in.real(), in.real(), c, in.alpha(), in.mode(),
               in.byte() & 1);
      break;
    case 2:
      PX_DashedLine(bm, in.coord(), in.coord(), in.coord(), in.coord(), in.coord(), in.coord(), c,
                    in.alpha(), in.mode(), in.byte() & 1);
      break;
    case 3:
      PX_DrawRect(bm, in.coord(), in.coord(), in.coord(), in.coord(), c, in.alpha(), in.mode());
      break;
    case 4:
      PX_BorderedRect(bm, in.coord(), in.coord(), in.coord(), in.coord(), c, in.word(), in.alpha(),
                      in.mode());
      break;
    case 5:
      PX_FillTrapezoid(bm, in.coord(), in.coord(), in.coord(), in.coord(), in.coord(), in.coord(),
                       c, in.alpha(), in.mode());
      break;
    case 6:
    {
      int n = in.byte() % 24;
      if (n == 23)
        n = 513 + in.byte();  // past the fixed buffer
      std::vector<int> x(n), y(n);
      for (int i = 0; i < n; ++i)
        x[i] = in.coord(), y[i] = in.coord();
      PX_FillConvexPolygon(bm, x.data(), y.data(), n, c, in.alpha(), in.mode());
      break;
    }
    case 7:
      PX_FillTriangle(bm, in.coord(), in.coord(), in.coord(), in.coord(), in.coord(), in.coord(), c,
                      in.alpha(), in.mode());
      break;
    case 8:
      PX_Circle(bm, in.real(), in.real(), in.real(), c, in.alpha(), in.mode(), in.byte() & 1);
      break;
    case 9:
      PX_FillCircle(bm, in.real(), in.real(), in.real(), c, in.alpha(), in.mode(), in.byte() & 1);
      break;
    case 10:
      PX_Arc(bm, in.real(), in.real(), in.real(), in.real(), in.real(), c, in.alpha(), in.mode(),
             in.byte() & 1);
      break;
    case 11:
      PX_RoundRect(bm, in.real(), in.real(), in.real(), in.real(), in.coord(), c, in.alpha(),
                   in.mode(), in.byte() & 1);
      break;
    case 12:
      PX_DrawQBezier(bm, in.real(), in.real(), in.real(), in.real(), in.real(), in.real(), c,
                     in.alpha(), in.mode(), in.byte() & 1, in.real());
      break;
    case 13:
      PX_DrawCBezier(bm, in.real(), in.real(), in.real(), in.real(), in.real(), in.real(),
                     in.real(), in.real(), c, in.alpha(), in.mode(), in.byte() & 1, in.real());
      break;
    case 14:
      PX_FillCBezier(bm, in.real(), in.real(), in.real(), in.real(), in.real(), in.real(),
                     in.real(), in.real(), in.coord(), c, in.alpha(), in.mode(), in.real());
      break;
    case 15:
      PX_FillCBezierX(bm, in.real(), in.real(), in.real(), in.real(), in.real(), in.real(),
                      in.real(), in.real(), in.coord(), c, in.alpha(), in.mode(), in.real());
      break;
    case 16:
    {
      int p[4] = {in.coord(), in.coord(), in.coord(), in.coord()};
      PX_ClipLine(&p[0], &p[1], &p[2], &p[3], in.coord(), in.coord(), in.coord(), in.coord());
      break;
    }
    default:
    {
      float p[4] = {in.real(), in.real(), in.real(), in.real()};
      PX_ClipFLine(&p[0], &p[1], &p[2], &p[3], in.real(), in.real(), in.real(), in.real());
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  ShapeReader in(data, size);
  const int w = in.byte() % 65, h = in.byte() % 65, pad = in.byte() % 5;
  GuardedBitmap bm(w, h, pad, in.byte() & 1);
  for (int ops = 0; ops < 24 && !in.done(); ++ops)
  {
    drawOne(in, &bm);
    bm.check();
  }
  drawOne(in, nullptr);
  return 0;
}
