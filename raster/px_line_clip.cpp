// Cohen-Sutherland line clipping: the integer clipper keeps points on columns 0..w-1 and rows
// 0..h-1; the float clipper keeps them strictly below w - 1 and h - 1, so that an anti-aliased pair
// at (x, x + 1) stays inside. Crossings of the right and bottom bound are interpolated on the bound
// and placed one pixel (one unit) inside it.
#include "raster/px_line.h"
#include "raster/px_shape_setup.h"

namespace {

enum : unsigned
{
  kLeft = 1,
  kRight = 2,
  kTop = 4,
  kBottom = 8
};

// Rounding can make a crossing land outside again; a segment still unresolved after this many
// moves is rejected rather than walked for ever.
constexpr int kMaxClipMoves = 16;

// The outcode of (x, y) against [0, right) x [0, bottom), in integers or in float.
template <class T>
unsigned OffscreenTest(T x, T y, T right, T bottom)
{
  unsigned c = 0;
  if (x < 0)
    c = kLeft;
  else if (x >= right)
    c = kRight;
  if (y < 0)
    c |= kTop;
  else if (y >= bottom)
    c |= kBottom;
  return c;
}

// a + T(da * num / den), the quotient in double and truncated toward zero.
int64_t Interpolate(int64_t a, int64_t da, int64_t num, int64_t den)
{
  return a + pxi_SatInt64((double)da * (double)num / (double)den);
}

// (d * num) / den + a in single precision; in double when that overflows.
float InterpolateF(float a, float d, float num, float den)
{
  const float v = d * num / den + a;
  if (pxi_Finite(v))
    return v;
  return (float)((double)d * (double)num / (double)den + (double)a);
}

// The Cohen-Sutherland loop shared by both clippers, the outcodes taken against [0, right) x
// [0, bottom); cross(c, ...) the new point for the outside end with code c. True when both ends
// end up inside.
template <class T, class Cross>
bool ClipLoop(T& x1, T& y1, T& x2, T& y2, T right, T bottom, Cross cross)
{
  const auto code = [&](T x, T y) { return OffscreenTest<T>(x, y, right, bottom); };
  unsigned c1 = code(x1, y1), c2 = code(x2, y2);
  for (int moves = 0;; ++moves)
  {
    if (!(c1 | c2))
      return true;
    if ((c1 & c2) || moves == kMaxClipMoves)
      return false;
    const unsigned c = c1 ? c1 : c2;
    T x, y;
    cross(c, &x, &y);
    if (c == c1)
    {
      x1 = x, y1 = y;
      c1 = code(x1, y1);
    }
    else
    {
      x2 = x, y2 = y;
      c2 = code(x2, y2);
    }
  }
}

}  // namespace

bool pxi_ClipLine(int64_t* px1, int64_t* py1, int64_t* px2, int64_t* py2, int64_t w, int64_t h)
{
  int64_t x1 = *px1, y1 = *py1, x2 = *px2, y2 = *py2;
  const bool accept = ClipLoop(x1, y1, x2, y2, w, h, [&](unsigned c, int64_t* x, int64_t* y) {
    if (c & kBottom)
      *x = Interpolate(x1, x2 - x1, h - y1, y2 - y1), *y = h - 1;
    else if (c & kTop)
      *x = Interpolate(x1, x2 - x1, 0 - y1, y2 - y1), *y = 0;
    else if (c & kRight)
      *y = Interpolate(y1, y2 - y1, w - x1, x2 - x1), *x = w - 1;
    else
      *y = Interpolate(y1, y2 - y1, 0 - x1, x2 - x1), *x = 0;
  });
  *px1 = x1, *py1 = y1, *px2 = x2, *py2 = y2;
  return accept;
}

bool pxi_ClipFLine(float* px1, float* py1, float* px2, float* py2, int w, int h)
{
  float x1 = *px1, y1 = *py1, x2 = *px2, y2 = *py2;
  if (!pxi_AllFinite(x1, y1, x2, y2))
    return false;
  const float W = (float)((int64_t)w - 1), H = (float)((int64_t)h - 1);
  const bool accept = ClipLoop(x1, y1, x2, y2, W, H, [&](unsigned c, float* x, float* y) {
    if (c & kBottom)
      *x = InterpolateF(x1, x2 - x1, H - y1, y2 - y1), *y = H - 1.0f;
    else if (c & kTop)
      *x = InterpolateF(x1, x2 - x1, y1, y1 - y2), *y = 0.0f;
    else if (c & kRight)
      *y = InterpolateF(y1, y2 - y1, W - x1, x2 - x1), *x = W - 1.0f;
    else
      *y = InterpolateF(y1, y2 - y1, x1, x1 - x2), *x = 0.0f;
  });
  *px1 = x1, *py1 = y1, *px2 = x2, *py2 = y2;
  return accept && pxi_AllFinite(x1, y1, x2, y2);
}

bool PX_ClipLine(int* x1, int* y1, int* x2, int* y2, int xlo, int ylo, int xhi, int yhi)
{
  int64_t a = (int64_t)*x1 - xlo, b = (int64_t)*y1 - ylo, c = (int64_t)*x2 - xlo,
          d = (int64_t)*y2 - ylo;
  const bool ok = pxi_ClipLine(&a, &b, &c, &d, (int64_t)xhi - xlo, (int64_t)yhi - ylo);
  *x1 = pxi_ClampInt64(a + xlo);
  *y1 = pxi_ClampInt64(b + ylo);
  *x2 = pxi_ClampInt64(c + xlo);
  *y2 = pxi_ClampInt64(d + ylo);
  return ok;
}

bool PX_ClipFLine(float* x1, float* y1, float* x2, float* y2, float xlo, float ylo, float xhi,
                  float yhi)
{
  if (!pxi_AllFinite(*x1, *y1, *x2, *y2, xlo, ylo, xhi, yhi))
    return false;
  float a = *x1 - xlo, b = *y1 - ylo, c = *x2 - xlo, d = *y2 - ylo;
  const bool ok = pxi_ClipFLine(&a, &b, &c, &d, pxi_SatInt(xhi - xlo), pxi_SatInt(yhi - ylo));
  *x1 = a + xlo;
  *y1 = b + ylo;
  *x2 = c + xlo;
  *y2 = d + ylo;
  return ok;
}
