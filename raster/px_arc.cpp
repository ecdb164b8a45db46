// Arcs and rounded rectangles. An arc is cut into pieces that each lie in the right or the left
// half of the circle; each piece is the whole circle drawn through a clip rectangle made of that
// half and the rows between the piece's end points.
#include "raster/px_arc.h"
#include "raster/px_line.h"
#include "raster/px_shape_setup.h"

#include <cmath>

namespace {

const float kPi = 3.1415927f;
const float kTwoPi = 6.2831855f;

void DrawArc(int width, int height, PX_IBitmap* dest, float cx, float cy, float r, float minAngle,
             float maxAngle, PX_pixel color, int ia, bool aa, int mode)
{
  if (minAngle < -kPi && -kPi < maxAngle)
  {
    DrawArc(width, height, dest, cx, cy, r, minAngle, -kPi, color, ia, aa, mode);
    minAngle = -kPi;
  }
  if (minAngle < 0 && 0 < maxAngle)
  {
    DrawArc(width, height, dest, cx, cy, r, minAngle + kTwoPi, kTwoPi, color, ia, aa, mode);
    minAngle = 0;
  }
  if (minAngle < kPi && kPi < maxAngle)
  {
    DrawArc(width, height, dest, cx, cy, r, minAngle, kPi, color, ia, aa, mode);
    minAngle = kPi;
  }
  // End rows to the nearest row.
  int64_t y1 = pxi_SatInt(cy - std::cos((double)minAngle) * r + 0.5);
  int64_t y2 = pxi_SatInt(cy - std::cos((double)maxAngle) * r + 0.5);
  if (y1 > y2)
    SWAP(y1, y2);
  int clip[4] = {0, y1 > 0 ? (int)y1 : 0, width, y2 + 1 < height ? (int)(y2 + 1) : height};
  // The centre column belongs to the right half.
  if (minAngle < -kPi || (minAngle >= 0 && minAngle < kPi))
  {
    if (cx > 0)
      clip[0] = pxi_SatInt(cx);
  }
  else if (cx < width)
    clip[2] = pxi_SatInt(cx);
  pxi_DrawCircleClipped(dest, cx, cy, r, color, ia, aa, false, mode, clip, true);
}

}  // namespace

void PX_Arc(PX_IBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle,
            PX_pixel color, float alpha, int mode, bool aa)
{
  if (!dest || !pxi_AllFinite(cx, cy, r, minAngle, maxAngle))
    return;
  const float circlecy = cy;
  if (dest->isFlipped())
  {
    cy = (float)(dest->getHeight() - 1) - cy;
    minAngle = kPi - minAngle;
    maxAngle = kPi - maxAngle;
  }
  if (maxAngle < minAngle)
    SWAP(minAngle, maxAngle);
  if (maxAngle - minAngle >= kTwoPi)
  {
    PX_Circle(dest, cx, circlecy, r, color, alpha, mode, aa);
    return;
  }
  if (maxAngle >= kTwoPi)
  {
    const float m = (float)std::fmod((double)maxAngle, (double)kTwoPi);
    minAngle = minAngle + (m - maxAngle);
    maxAngle = m;
  }
  else if (minAngle <= -kTwoPi)
  {
    const float m = (float)std::fmod((double)minAngle, (double)kTwoPi);
    maxAngle = maxAngle + (m - minAngle);
    minAngle = m;
  }
  const int ia = pxi_ShapeWeight(alpha);
  if (ia == 0)
    return;
  DrawArc(dest->getWidth(), dest->getHeight(), dest, cx, cy, r, minAngle, maxAngle, color, ia, aa,
          mode);
}

void PX_RoundRect(PX_IBitmap* dest, float x, float y, float w, float h, int cornerradius,
                  PX_pixel color, float alpha, int mode, bool aa)
{
  if (!dest || !pxi_AllFinite(x, y, w, h))
    return;
  float c = (float)cornerradius;
  if (cornerradius > 0)
  {
    if (w * 0.5f < c)
      c = w * 0.5f;
    if (h * 0.5f < c)
      c = h * 0.5f;
    c = std::floor(c);
  }
  if (cornerradius <= 0 || c < 2)
  {
    PX_DrawRect(dest, pxi_SatInt(x), pxi_SatInt(y), pxi_SatInt(w), pxi_SatInt(h), color, alpha,
                mode);
    return;
  }
  const auto I = [](float v) { return pxi_SatInt(v); };
  pxi_Line(dest, I(x + c), I(y), I(x + w - c), I(y), color, alpha, mode, aa);
  pxi_Line(dest, I(x + c - 1), I(y + h), I(x + w - c), I(y + h), color, alpha, mode, aa);
  pxi_Line(dest, I(x + w), I(y + c), I(x + w), I(y + h - c), color, alpha, mode, aa);
  pxi_Line(dest, I(x), I(y + c - 1), I(x), I(y + h - c), color, alpha, mode, aa);
  PX_Arc(dest, x + c, y + c, c, -kPi / 2, 0, color, alpha, mode, aa);
  PX_Arc(dest, x + w - c, y + c, c, 0, kPi / 2, color, alpha, mode, aa);
  PX_Arc(dest, x + w - c, y + h - c, c, kPi / 2, kPi, color, alpha, mode, aa);
  PX_Arc(dest, x + c, y + h - c, c, kPi, 4.712389f, color, alpha, mode, aa);
}
