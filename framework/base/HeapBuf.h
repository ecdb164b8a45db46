#pragma once
// QvHeapBuf: a raw byte buffer on the heap with a growth policy; QvTypedBuf<T>: an array of
// plain values over it.
//
// Growth is geometric (at least half the new size, or the granularity when larger) so repeated
// appends cost amortised constant time. Large buffers (granularity 4096 and more) are sized so that
// the block plus a heap header of up to 96 bytes fills whole pages. Shrinking keeps the block unless
// resizeDown asks for it and the size fell well below the allocation.
//
// Nothing throws: a negative or overflowing size, or a failed allocation, leaves the buffer exactly
// as it was (same block, same size). Callers detect failure by checking GetSize() afterwards.
// No lock: the owner guards the buffer.

#include "framework/base/Alloc.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <type_traits>

class QvHeapBuf
{
public:
  explicit QvHeapBuf(int granul = 4096)
    : mBuf(nullptr)
    , mGranul(granul)
    , mAlloc(0)
    , mSize(0)
  {}
  ~QvHeapBuf() { free(mBuf); }

  QvHeapBuf(const QvHeapBuf&) = delete;
  QvHeapBuf& operator=(const QvHeapBuf&) = delete;

  void SetGranul(int granul) { mGranul = granul; }
  int GetGranul() const { return mGranul; }

  void* Get() const { return mSize ? mBuf : nullptr; }
  int GetSize() const { return mSize; }
  int GetAlloc() const { return mAlloc; }

  // Returns the buffer after the change (null at size 0). On failure the buffer is unchanged and
  // the result is the old buffer (null at size 0).
  void* Resize(int newSize, bool resizeDown = true)
  {
    if (newSize == mSize)
      return Get();
    if (newSize < 0)
      return Get();

    const long long granul = mGranul;
    const bool grow = newSize > mAlloc;
    const bool shrinkBlock = resizeDown && newSize < mSize && newSize < mAlloc / 2 &&
                             (long long)newSize < (long long)mAlloc - 4 * granul;
    if (grow || shrinkBlock)
    {
      const long long newAlloc = AllocationFor(newSize);
      if (newAlloc < newSize || newAlloc > INT_MAX)
        return Get();
      if (newAlloc != mAlloc && !Reallocate((int)newAlloc, newSize))
        return Get();
    }
    mSize = newSize;
    return Get();
  }

private:
  // The block size for newSize bytes under the growth policy, computed without int overflow.
  long long AllocationFor(int newSize) const
  {
    long long step = newSize / 2;
    if (mGranul > step)
      step = mGranul;
    if (mGranul < 4096)
      return (long long)newSize + step;
    step &= ~4095LL;
    if (step < 4096)
      step = 4096;
    if (step > 0x400000)
      step = 0x400000;
    return ((step + newSize + 96) & ~4095LL) - 96;
  }

  // Moves to a block of newAlloc bytes, keeping the first min(size, newSize) bytes.
  // On failure nothing changes.
  bool Reallocate(int newAlloc, int newSize)
  {
    if (newAlloc == 0)
    {
      // realloc(p, 0) may free p and answer null; release explicitly instead.
      free(mBuf);
      mBuf = nullptr;
      mAlloc = 0;
      return true;
    }
    void* nb = QvRealloc(mBuf, (size_t)newAlloc);
    if (!nb)
    {
      // Fall back to a fresh block (realloc can fail where malloc of a new block succeeds).
      nb = QvRealloc(nullptr, (size_t)newAlloc);
      if (!nb)
        return false;
      const int keep = mSize < newSize ? mSize : newSize;
      if (mBuf && keep > 0)
        memcpy(nb, mBuf, (size_t)keep);
      free(mBuf);
    }
    mBuf = nb;
    mAlloc = newAlloc;
    return true;
  }

  void* mBuf;   // heap block, null while nothing is allocated
  int mGranul;  // growth step chosen by the owner
  int mAlloc;   // bytes in the block
  int mSize;    // bytes in use, never more than mAlloc
};

// An array of plain values (copied bytewise) over a QvHeapBuf.
template <class T>
class QvTypedBuf
{
  static_assert(std::is_trivially_copyable<T>::value, "QvTypedBuf holds plain values only");

public:
  explicit QvTypedBuf(int granul = 4096)
    : mHeap(granul)
  {}

  T* Get() const { return static_cast<T*>(mHeap.Get()); }
  int GetSize() const { return mHeap.GetSize() / (int)sizeof(T); }
  void SetGranul(int granul) { mHeap.SetGranul(granul); }

  // Resizes to count elements; on failure (negative or overflowing count, no memory) the buffer is
  // unchanged and the old array is returned.
  T* Resize(int count, bool resizeDown = true)
  {
    if (count < 0 || count > INT_MAX / (int)sizeof(T))
      return Get();
    return static_cast<T*>(mHeap.Resize(count * (int)sizeof(T), resizeDown));
  }

  // Appends a copy of value; answers its address, or null (buffer unchanged) when it cannot grow.
  T* Add(const T& value)
  {
    const int n = GetSize();
    if (n >= INT_MAX / (int)sizeof(T))
      return nullptr;
    const T copy = value;  // value may live in this buffer, which may move
    Resize(n + 1, true);
    if (GetSize() != n + 1)
      return nullptr;
    T* p = Get() + n;
    memcpy(static_cast<void*>(p), &copy, sizeof(T));
    return p;
  }

private:
  QvHeapBuf mHeap;
};
