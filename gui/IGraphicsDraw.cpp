// The surface's drawing operations: the GUI's value types turned into raster calls on the
// off-screen bitmap. Controls never call the raster library themselves.
#include "gui/IGraphics.h"
#include "raster/px.h"
#include "raster/px_scaled.h"

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
  PX_PutPixel(mDrawBitmap, (int)(x + 0.5f), (int)(y + 0.5f), PxColor(pColor), PxWeight(pBlend),
              PxBlendMode(pBlend));
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
