#pragma once
// BitmapStorage: the process-wide cache of decoded bitmaps, by resource id.
//
// Decoding the editor's PNG resources is slow and gives the same pixels for every instance, so the
// first editor decodes each bitmap once and every later one (and every later open) shares it. The
// cache owns its bitmaps until the library is unloaded; nothing leaves it before, except through
// Remove.
//
// Threads: instances may build their editors on different host threads, so every operation holds
// the cache's own lock. The destructor takes none (it runs at unload, when no other thread is
// left).

#include "framework/base/Mutex.h"
#include "framework/base/PtrList.h"

class PX_IBitmap;

class BitmapStorage
{
public:
  struct BitmapKey
  {
    int id;  // resource id, or -1 for a bitmap retained without one
    PX_IBitmap* bitmap;
  };

  BitmapStorage() = default;
  // Deletes every bitmap, then every key.
  ~BitmapStorage();

  // Appends (id, bitmap); no duplicate check.
  void Add(PX_IBitmap* pBitmap, int id);
  // The bitmap of the first key with this id, or null.
  PX_IBitmap* Find(int id);
  // Deletes the first key holding the bitmap, and the bitmap; nothing when none does.
  void Remove(PX_IBitmap* pBitmap);

  // Find, and when nothing is found make() and Add its result unless it is null, all in one hold
  // of the lock: editors built at once on several threads decode each bitmap once.
  template <class MAKE>
  PX_IBitmap* FindOrAdd(int id, MAKE make)
  {
    return QvFindOrMake(
      &m_mutex, [&] { return Find(id); }, make, [&](PX_IBitmap* pBitmap) { Add(pBitmap, id); });
  }

  BitmapStorage(const BitmapStorage&) = delete;
  BitmapStorage& operator=(const BitmapStorage&) = delete;

private:
  QvPtrList<BitmapKey> m_bitmaps;
  QvMutex m_mutex;
};
