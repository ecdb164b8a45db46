#include "gui/IGraphicsStructs.h"

#include "framework/base/StrCopy.h"
#include "raster/px.h"

IText::IText(int size, const IColor* pColor, const char* font, EStyle style, EAlign align,
             int orientation, EQuality quality, const IColor* pTextEntryBGColor,
             const IColor* pTextEntryFGColor)
  : mSize(size)
  , mColor(pColor ? *pColor : DEFAULT_TEXT_COLOR)
  , mTextEntryBGColor(pTextEntryBGColor ? *pTextEntryBGColor : DEFAULT_TEXT_ENTRY_BGCOLOR)
  , mTextEntryFGColor(pTextEntryFGColor ? *pTextEntryFGColor : DEFAULT_TEXT_ENTRY_FGCOLOR)
  , mStyle(style)
  , mAlign(align)
  , mOrientation(orientation)
  , mQuality(quality)
  , mCached(nullptr)
{
  StrCopyBounded(mFont, FONT_LEN, font ? font : DEFAULT_FONT);
}

int PxBlendMode(const IChannelBlend* pBlend)
{
  if (!pBlend)
    return PX_MODE_COPY | PX_MODE_SOURCEALPHA;
  switch (pBlend->mMethod)
  {
    case IChannelBlend::kBlendClobber:
      return PX_MODE_COPY;
    case IChannelBlend::kBlendAdd:
      return PX_MODE_ADD | PX_MODE_SOURCEALPHA;
    case IChannelBlend::kBlendColorDodge:
      return PX_MODE_COLORDODGE | PX_MODE_SOURCEALPHA;
    default:
      return PX_MODE_COPY | PX_MODE_SOURCEALPHA;
  }
}

float PxWeight(const IChannelBlend* pBlend) { return pBlend ? pBlend->mWeight : 1.0f; }

uint32_t PxColor(const IColor* pColor)
{
  return (PX_PixelWord)(pColor->A & 255) << 24 | (PX_PixelWord)(pColor->R & 255) << 16 |
         (PX_PixelWord)(pColor->G & 255) << 8 | (PX_PixelWord)(pColor->B & 255);
}
