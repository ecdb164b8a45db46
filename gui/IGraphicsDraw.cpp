// The surface's drawing operations: the GUI's value types turned into raster calls on the
// off-screen bitmap. Controls never call the raster library themselves.
#include "framework/base/Mutex.h"
#include "gui/FontStorage.h"
#include "gui/IGraphics.h"
#include "raster/px.h"
#include "raster/px_arc.h"
#include "raster/px_line.h"
#include "raster/px_scaled.h"
#include "raster/px_textnew.h"

#include <climits>
#include <cmath>

namespace {
FontStorage s_fontCache;

// A float position as a pixel position: truncated toward zero, beyond the int range clamped to
// it. False for a position that is not finite (nothing is drawn there).
bool ToPixel(float v, int* pOut)
{
  if (!std::isfinite(v))
    return false;
  *pOut = v <= (float)INT_MIN ? INT_MIN : v >= (float)INT_MAX ? INT_MAX : (int)v;
  return true;
}
}  // namespace

bool IGraphics::DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int srcX, int srcY,
                           const IChannelBlend* pBlend)
{
  // Only what lies inside the redraw in progress is copied, from the matching place.
  const IRECT r = pDest->Intersect(&mDrawRECT);
  PX_Blit(mDrawBitmap, pBitmap->mData, r.L, r.T, srcX + (r.L - pDest->L), srcY + (r.T - pDest->T),
          r.W(), r.H(), PxWeight(pBlend), PxBlendMode(pBlend));
  return true;
}

bool IGraphics::DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int bmpState,
                           const IChannelBlend* pBlend)
{
  int srcX = 0, srcY = 0;
  const int n = pBitmap->N;
  if (n > 1 && bmpState > 1)
  {
    if (bmpState > n)
      bmpState = n;
    const int size = pBitmap->mFramesAreHorizontal ? pBitmap->W : pBitmap->H;
    const int offset = (int)(0.5 + (double)size * (double)(bmpState - 1) / (double)n);
    (pBitmap->mFramesAreHorizontal ? srcX : srcY) = offset;
  }
  return DrawBitmap(pBitmap, pDest, srcX, srcY, pBlend);
}

bool IGraphics::DrawRotatedBitmap(IBitmap* pBitmap, int destCtrX, int destCtrY, double angle,
                                  int yOffsetZeroDeg, const IChannelBlend* pBlend)
{
  const int w = pBitmap->W, h = pBitmap->H;
  PX_RotatedBlit(mDrawBitmap, pBitmap->mData, destCtrX - w / 2, destCtrY - h / 2, w, h, 0.0f, 0.0f,
                 (float)w, (float)h, (float)angle, false, PxWeight(pBlend),
                 PxBlendMode(pBlend) | PX_FILTER_BILINEAR, 0.0f, (float)yOffsetZeroDeg);
  return true;
}

bool IGraphics::DrawRotatedMask(IBitmap* pBase, IBitmap* pMask, IBitmap* pTop, int x, int y,
                                double angle, const IChannelBlend* pBlend)
{
  const float rad = (float)(angle * 3.141592653589793 / 180.0);
  const int w = pBase->W, h = pBase->H;
  const float centreX = (w & 1) ? -0.5f : 0.0f;
  if (!mTmpBitmap)
    mTmpBitmap = new PX_MemBitmap(0, 0, 4);
  // The base's colours with no alpha, the mask's alpha added, the top layer over both.
  PX_Copy(mTmpBitmap, pBase->mData);
  PX_ClearRect(mTmpBitmap, 0, 0, w, h, 0xFFFFFF, 0);
  PX_RotatedBlit(mTmpBitmap, pMask->mData, 0, 0, w, h, 0.0f, 0.0f, (float)w, (float)h, rad, true,
                 1.0f, PX_MODE_ADD | PX_FILTER_BILINEAR | PX_MODE_SOURCEALPHA, centreX, 0.0f);
  PX_RotatedBlit(mTmpBitmap, pTop->mData, 0, 0, w, h, 0.0f, 0.0f, (float)w, (float)h, rad, true,
                 1.0f, PX_MODE_COPY | PX_FILTER_BILINEAR | PX_MODE_SOURCEALPHA, centreX, 0.0f);
  const IRECT dest(x, y, x + w, y + h);
  const IRECT r = dest.Intersect(&mDrawRECT);
  PX_Blit(mDrawBitmap, mTmpBitmap, r.L, r.T, r.L - x, r.T - y, r.W(), r.H(), PxWeight(pBlend),
          PxBlendMode(pBlend));
  return true;
}

bool IGraphics::DrawPoint(const IColor* pColor, float x, float y, const IChannelBlend* pBlend,
                          bool /*aa*/)
{
  int xi, yi;
  if (ToPixel(x + 0.5f, &xi) && ToPixel(y + 0.5f, &yi))
    PX_PutPixel(mDrawBitmap, xi, yi, PxColor(pColor), PxWeight(pBlend), PxBlendMode(pBlend));
  return true;
}

bool IGraphics::ForcePixel(const IColor* pColor, int x, int y)
{
  PX_pixel* pBits = mDrawBitmap ? mDrawBitmap->getBits() : nullptr;
  if (!pBits || x < 0 || y < 0 || x >= mDrawBitmap->getWidth() || y >= mDrawBitmap->getHeight())
    return true;
  pBits[x + y * mDrawBitmap->getRowSpan()] = PxColor(pColor);
  return true;
}

bool IGraphics::FillIRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend)
{
  PX_FillRect(mDrawBitmap, pR->L, pR->T, pR->W(), pR->H(), PxColor(pColor), PxWeight(pBlend),
              PxBlendMode(pBlend));
  return true;
}

bool IGraphics::DrawLine(const IColor* pColor, float x1, float y1, float x2, float y2,
                         const IChannelBlend* pBlend, bool aa)
{
  int ix1, iy1, ix2, iy2;
  if (ToPixel(x1, &ix1) && ToPixel(y1, &iy1) && ToPixel(x2, &ix2) && ToPixel(y2, &iy2))
    PX_Line(mDrawBitmap, ix1, iy1, ix2, iy2, PxColor(pColor), PxWeight(pBlend), PxBlendMode(pBlend),
            aa);
  return true;
}

bool IGraphics::DrawRadialLine(const IColor* pColor, float cx, float cy, float angle, float rMin,
                               float rMax, const IChannelBlend* pBlend, bool aa)
{
  const float s = (float)std::sin((double)angle), c = (float)std::cos((double)angle);
  return DrawLine(pColor, cx + rMin * s, cy - rMin * c, cx + rMax * s, cy - rMax * c, pBlend, aa);
}

bool IGraphics::DrawArc(const IColor* pColor, float cx, float cy, float r, float minAngle,
                        float maxAngle, const IChannelBlend* pBlend, bool aa)
{
  PX_Arc(mDrawBitmap, cx, cy, r, minAngle, maxAngle, PxColor(pColor), PxWeight(pBlend),
         PxBlendMode(pBlend), aa);
  return true;
}

bool IGraphics::DrawCircle(const IColor* pColor, float cx, float cy, float r,
                           const IChannelBlend* pBlend, bool aa)
{
  PX_Circle(mDrawBitmap, cx, cy, r, PxColor(pColor), PxWeight(pBlend), PxBlendMode(pBlend), aa);
  return true;
}

bool IGraphics::RoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend,
                          int cornerRadius, bool aa)
{
  PX_RoundRect(mDrawBitmap, (float)pR->L, (float)pR->T, (float)pR->W(), (float)pR->H(),
               cornerRadius, PxColor(pColor), PxWeight(pBlend), PxBlendMode(pBlend), aa);
  return true;
}

bool IGraphics::FillRoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend,
                              int cornerRadius, bool aa)
{
  // Bands and corner discs, each pixel combined once.
  PX_FillRoundRect(mDrawBitmap, pR->L, pR->T, pR->W(), pR->H(), cornerRadius, PxColor(pColor),
                   PxWeight(pBlend), PxBlendMode(pBlend), aa);
  return true;
}

bool IGraphics::FillCircle(const IColor* pColor, int cx, int cy, float r,
                           const IChannelBlend* pBlend, bool aa)
{
  PX_FillCircle(mDrawBitmap, (float)cx, (float)cy, r, PxColor(pColor), PxWeight(pBlend),
                PxBlendMode(pBlend), aa);
  return true;
}

bool IGraphics::FillTriangle(const IColor* pColor, int x1, int y1, int x2, int y2, int x3, int y3,
                             IChannelBlend* pBlend)
{
  PX_FillTriangle(mDrawBitmap, x1, y1, x2, y2, x3, y3, PxColor(pColor), PxWeight(pBlend),
                  PxBlendMode(pBlend));
  return true;
}

bool IGraphics::FillIConvexPolygon(const IColor* pColor, int* x, int* y, int npoints,
                                   const IChannelBlend* pBlend)
{
  PX_FillConvexPolygon(mDrawBitmap, x, y, npoints, PxColor(pColor), PxWeight(pBlend),
                       PxBlendMode(pBlend));
  return true;
}

bool IGraphics::DrawVerticalLine(const IColor* pColor, int xi, int yLo, int yHi)
{
  PX_Line(mDrawBitmap, xi, yLo, xi, yHi, PxColor(pColor), 1.0f, PX_MODE_COPY, false);
  return true;
}

bool IGraphics::DrawHorizontalLine(const IColor* pColor, int yi, int xLo, int xHi)
{
  PX_Line(mDrawBitmap, xLo, yi, xHi, yi, PxColor(pColor), 1.0f, PX_MODE_COPY, false);
  return true;
}

namespace {
// A fraction clamped to 0..1; false when it is not a number.
bool ClampFraction(float* pF)
{
  if (std::isnan(*pF))
    return false;
  *pF = *pF < 0.0f ? 0.0f : *pF > 1.0f ? 1.0f : *pF;
  return true;
}
}  // namespace

bool IGraphics::DrawVerticalLine(const IColor* pColor, IRECT* pR, float x)
{
  if (ClampFraction(&x))
    DrawVerticalLine(pColor, pR->L + (int)((float)(pR->R - pR->L) * x), pR->T, pR->B);
  return true;
}

bool IGraphics::DrawHorizontalLine(const IColor* pColor, IRECT* pR, float y)
{
  if (ClampFraction(&y))
    DrawHorizontalLine(pColor, pR->B - (int)((float)(pR->B - pR->T) * y), pR->L, pR->R);
  return true;
}

bool IGraphics::DrawRect(const IColor* pColor, IRECT* pR)
{
  DrawHorizontalLine(pColor, pR->T, pR->L, pR->R);
  DrawHorizontalLine(pColor, pR->B, pR->L, pR->R);
  DrawVerticalLine(pColor, pR->L, pR->T, pR->B);
  DrawVerticalLine(pColor, pR->R, pR->T, pR->B);
  return true;
}

// ---- Text ---------------------------------------------------------------------------------------

PX_IFont* IGraphics::CacheFont(IText* pTxt)
{
  PX_IFont* pFont = s_fontCache.FindOrAdd(pTxt, [pTxt](const char* face) {
    return MakeCachedFont(face, pTxt->mSize, pTxt->mOrientation, pTxt->mStyle, pTxt->mQuality);
  });
  if (pFont)
    pTxt->mCached = pFont;
  return pFont;
}

bool IGraphics::MeasureIText(IText* pTxt, char* str, IRECT* pR)
{
  return DrawIText(pTxt, str, pR, true);
}

bool IGraphics::DrawIText(IText* pTxt, char* str, IRECT* pR, bool measure)
{
  if (!str || !*str)
    return true;
  PX_IFont* pFont = pTxt->mCached ? pTxt->mCached : CacheFont(pTxt);
  if (!pFont)
    return false;

  unsigned int format = DT_NOCLIP;
  if (pTxt->mColor.A < 255)
    format |= PX_DT_FG_ALPHA;
  if (pTxt->mAlign == IText::kAlignCenter)
    format |= DT_CENTER;
  else if (pTxt->mAlign != IText::kAlignNear)
    format |= DT_RIGHT;

  // The font is shared: its colour holds only until the lock is let go.
  QvMutexLock lock(&PX_TextLock());
  pFont->SetTextColor(PxColor(&pTxt->mColor));
  if (!measure)
  {
    PX_RECT r = {pR->L, pR->T, pR->R, pR->B};
    pFont->DrawTextA(mDrawBitmap, str, -1, &r, format);
    return true;
  }

  PX_RECT extent = {0, 0, 0, 0};
  pFont->DrawTextA(mDrawBitmap, str, -1, &extent, format | DT_CALCRECT);
  const int width = extent.right, height = extent.bottom;
  if (pTxt->mAlign == IText::kAlignNear)
    pR->R = pR->L + width;
  else if (pTxt->mAlign == IText::kAlignCenter)
  {
    pR->L = (int)pR->MW() - width / 2;
    pR->R = pR->L + width;
  }
  else
    pR->L = pR->R - width;
  pR->B = pR->T + height;
  return true;
}
