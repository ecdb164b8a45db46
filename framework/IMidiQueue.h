#pragma once
// A queue of MIDI messages kept in ascending sample-offset order.
//
// Messages usually arrive in offset order, so insertion scans backwards from the newest message and
// costs one comparison in the common case; equal offsets keep their arrival order. The buffer grows
// by whole 4096-byte pages and never shrinks; while it has room, Add never allocates. When the
// buffer is full but messages at the front have been read, Add compacts instead of growing.
// Not thread-safe: the owner serialises access (the instance mutex).

#include "framework/IMidiMsg.h"
#include "framework/base/Alloc.h"

#include <climits>
#include <cstdlib>
#include <cstring>

class IMidiQueue
{
public:
  // size: the capacity wanted, rounded up to whole pages (at least one page).
  explicit IMidiQueue(int size = kPageMsgs)
    : mBuf(nullptr)
    , mSize(0)
    , mGrow(Granulize(size))
    , mFront(0)
    , mBack(0)
  {
    Expand();
  }

  ~IMidiQueue() { free(mBuf); }

  IMidiQueue(const IMidiQueue&) = delete;
  IMidiQueue& operator=(const IMidiQueue&) = delete;

  // Inserts a copy after every queued message with an offset not greater than msg's.
  // Returns false (message dropped) when the buffer could not grow or msg is null.
  bool Add(const IMidiMsg* msg)
  {
    if (!msg)
      return false;
    if (mBack >= mSize)
    {
      if (mFront > 0)
        Compact();
      else if (!Expand())
        return false;
    }

    if (!Empty() && msg->mOffset < mBuf[mBack - 1].mOffset)
    {
      // Find the first message (from the back) not later than msg; insert just after it.
      int i = mBack - 2;
      while (i >= mFront && msg->mOffset < mBuf[i].mOffset)
        --i;
      const int at = i + 1;
      memmove(&mBuf[at + 1], &mBuf[at], (size_t)(mBack - at) * sizeof(IMidiMsg));
      mBuf[at] = *msg;
    }
    else
    {
      mBuf[mBack] = *msg;
    }
    ++mBack;
    return true;
  }

  // The oldest message, or null when the queue is empty.
  IMidiMsg* Peek() const { return Empty() ? nullptr : &mBuf[mFront]; }

  // Drops the oldest message; does nothing when the queue is empty.
  void Remove()
  {
    if (!Empty())
      ++mFront;
  }

  bool Empty() const { return mFront == mBack; }

  int ToDo() const { return mBack - mFront; }
  int GetSize() const { return mSize; }

  // Moves the unread messages to the start of the buffer.
  void Compact()
  {
    if (mFront == 0)
      return;
    const int n = mBack - mFront;
    if (n > 0)
      memmove(mBuf, &mBuf[mFront], (size_t)n * sizeof(IMidiMsg));
    mFront = 0;
    mBack = n;
  }

  static constexpr int kPageBytes = 4096;
  static constexpr int kPageMsgs = kPageBytes / (int)sizeof(IMidiMsg);

  // The message count rounded up to whole pages: 1 and 512 give 512, 513 gives 1024.
  // Sizes below one page, zero or negative included, give one page; sizes beyond what an int
  // can count in whole pages give the largest whole-page count.
  static int Granulize(int size)
  {
    if (size < 1)
      return kPageMsgs;
    const int maxMsgs = (INT_MAX / kPageBytes) * kPageMsgs;
    if (size > maxMsgs)
      return maxMsgs;
    return (size + kPageMsgs - 1) / kPageMsgs * kPageMsgs;
  }

private:
  // Grows the buffer by one granule; leaves it unchanged and fails when that cannot be done.
  bool Expand()
  {
    if (mGrow <= 0)
      return false;
    const long long newSize = ((long long)mSize / mGrow + 1) * mGrow;
    if (newSize > INT_MAX / (long long)sizeof(IMidiMsg))
      return false;
    void* buf = QvRealloc(mBuf, (size_t)newSize * sizeof(IMidiMsg));
    if (!buf)
      return false;
    mBuf = static_cast<IMidiMsg*>(buf);
    mSize = (int)newSize;
    return true;
  }

  IMidiMsg* mBuf;  // owned, malloc'ed
  int mSize;       // capacity in messages
  int mGrow;       // granularity in messages, whole pages
  int mFront;      // oldest unread message
  int mBack;       // one past the newest message
};
