#include "gui/BitmapStorage.h"

#include "raster/px.h"

BitmapStorage::~BitmapStorage()
{
  for (int i = 0, n = m_bitmaps.GetSize(); i < n; ++i)
    delete m_bitmaps.Get(i)->bitmap;
  m_bitmaps.Empty(true);
}

void BitmapStorage::Add(PX_IBitmap* pBitmap, int id)
{
  QvMutexLock lock(&m_mutex);
  m_bitmaps.Add(new BitmapKey{id, pBitmap});
}

PX_IBitmap* BitmapStorage::Find(int id)
{
  QvMutexLock lock(&m_mutex);
  for (int i = 0, n = m_bitmaps.GetSize(); i < n; ++i)
  {
    BitmapKey* pKey = m_bitmaps.Get(i);
    if (pKey->id == id)
      return pKey->bitmap;
  }
  return nullptr;
}

void BitmapStorage::Remove(PX_IBitmap* pBitmap)
{
  QvMutexLock lock(&m_mutex);
  for (int i = 0, n = m_bitmaps.GetSize(); i < n; ++i)
  {
    if (m_bitmaps.Get(i)->bitmap == pBitmap)
    {
      m_bitmaps.Delete(i, true);
      delete pBitmap;
      return;
    }
  }
}
