// The surface's bitmaps: loading through the process-wide cache, retaining, releasing, scaling and
// cropping.
#include "gui/BitmapStorage.h"
#include "gui/IGraphics.h"
#include "raster/px.h"
#include "raster/px_scaled.h"

namespace {
BitmapStorage s_bitmapCache;
}  // namespace

IBitmap IGraphics::LoadIBitmap(int id, const char* name, int nStates, bool framesAreHorizontal)
{
  PX_IBitmap* pData = s_bitmapCache.FindOrAdd(id, [&] { return OSLoadBitmap(id, name); });
  if (!pData)
    return IBitmap(nullptr, 0, 0, nStates, framesAreHorizontal);
  return IBitmap(pData, pData->getWidth(), pData->getHeight(), nStates, framesAreHorizontal);
}

void IGraphics::RetainBitmap(IBitmap* pBitmap) { s_bitmapCache.Add(pBitmap->mData, -1); }

void IGraphics::ReleaseBitmap(IBitmap* pBitmap) { s_bitmapCache.Remove(pBitmap->mData); }

IBitmap IGraphics::ScaleBitmap(IBitmap* pBitmap, int destW, int destH)
{
  PX_MemBitmap* pScaled = new PX_MemBitmap(destW, destH, 4);
  PX_ScaledBlit(pScaled, pBitmap->mData, 0, 0, destW, destH, 0.0f, 0.0f, (float)pBitmap->W,
                (float)pBitmap->H, 1.0f, PX_FILTER_BILINEAR);
  IBitmap scaled(pScaled, destW, destH, pBitmap->N, false);
  RetainBitmap(&scaled);
  return scaled;
}

IBitmap IGraphics::CropBitmap(IBitmap* pBitmap, IRECT* pR)
{
  PX_MemBitmap* pCropped = new PX_MemBitmap(pR->W(), pR->H(), 4);
  PX_Blit(pCropped, pBitmap->mData, 0, 0, pR->L, pR->T, pR->W(), pR->H(), 1.0f, PX_MODE_COPY);
  IBitmap cropped(pCropped, pR->W(), pR->H(), pBitmap->N, false);
  RetainBitmap(&cropped);
  return cropped;
}
