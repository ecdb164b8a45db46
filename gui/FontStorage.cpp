#include "gui/FontStorage.h"

#include "framework/base/StrCopy.h"
#include "raster/px_textnew.h"

#include <cstring>

FontStorage::FontKey::FontKey(const IText* pText, PX_IFont* pFont)
  : size(pText->mSize)
  , orientation(pText->mOrientation)
  , style(pText->mStyle)
  , font(pFont)
{
  // Reads at most FONT_LEN - 1 characters: the text's face need not be terminated.
  StrCopyBounded(face, FONT_LEN, pText->mFont);
}

bool FontStorage::FontKey::Describes(const IText* pText) const
{
  return size == pText->mSize && orientation == pText->mOrientation && style == pText->mStyle &&
         !strncmp(face, pText->mFont, FONT_LEN - 1);
}

FontStorage::~FontStorage()
{
  for (int i = 0, n = m_fonts.GetSize(); i < n; ++i)
    delete m_fonts.Get(i)->font;
  m_fonts.Empty(true);
}

void FontStorage::Add(PX_IFont* pFont, IText* pText)
{
  QvMutexLock lock(&m_mutex);
  FontKey* pKey = new FontKey(pText, pFont);
  if (!m_fonts.Add(pKey))
    delete pKey;
}

PX_IFont* FontStorage::Find(IText* pText)
{
  QvMutexLock lock(&m_mutex);
  for (int i = 0, n = m_fonts.GetSize(); i < n; ++i)
  {
    FontKey* pKey = m_fonts.Get(i);
    if (pKey->Describes(pText))
      return pKey->font;
  }
  return nullptr;
}
