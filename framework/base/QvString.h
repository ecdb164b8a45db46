#pragma once
// QvString: a NUL-terminated growable text over a QvHeapBuf (granularity 128).
//
// A string that holds no buffer reads as the empty text, never as null. Set and Append take a
// source that may point into the string's own buffer: the source is located again after the
// buffer grows. A failed growth keeps the old text. No lock: the owner guards the string.

#include "framework/base/HeapBuf.h"

#include <cstdint>

class QvString
{
public:
  explicit QvString(const char* initial = nullptr, int maxLen = 0)
    : mHeap(128)
  {
    if (initial)
      Set(initial, maxLen);
  }
  QvString(const QvString& other)
    : mHeap(128)
  {
    Set(other.Get());
  }
  QvString& operator=(const QvString& other)
  {
    if (this != &other)
      Set(other.Get());
    return *this;
  }
  ~QvString() {}

  // Takes the characters of s before its first NUL, at most maxLen of them when maxLen >= 1.
  void Set(const char* s, int maxLen = 0) { Store(0, s, maxLen); }
  void Append(const char* s, int maxLen = 0) { Store(GetLength(), s, maxLen); }

  // Resizes to length + 1 bytes and terminates at length; the characters before it stay, those
  // where the buffer grew are undefined. Nothing changes when the size cannot be had.
  void SetLen(int length, bool resizeDown = false)
  {
    if (length < 0 || length == INT_MAX)
      return;
    char* p = static_cast<char*>(mHeap.Resize(length + 1, resizeDown));
    if (mHeap.GetSize() == length + 1)
      p[length] = '\0';
  }

  // Deletes up to length characters at position; nothing happens outside the text.
  void DeleteSub(int position, int length)
  {
    char* p = static_cast<char*>(mHeap.Get());
    const int l = mHeap.GetSize() - 1;
    if (!p || !p[0] || position < 0 || position >= l || length <= 0)
      return;
    if (length > l - position)
      length = l - position;
    memmove(p + position, p + position + length, (size_t)(l - position - length + 1));
    mHeap.Resize(mHeap.GetSize() - length, false);
  }

  const char* Get() const
  {
    const char* p = static_cast<const char*>(mHeap.Get());
    return p ? p : "";
  }

  // A string without a buffer answers a one-byte empty text of the calling thread.
  char* Get()
  {
    char* p = static_cast<char*>(mHeap.Get());
    if (p)
      return p;
    static thread_local char sEmpty;
    sEmpty = '\0';
    return &sEmpty;
  }

  int GetLength() const
  {
    const char* p = static_cast<const char*>(mHeap.Get());
    return p ? (int)strlen(p) : 0;
  }

private:
  void Store(int offset, const char* s, int maxLen)
  {
    if (!s)
      return;
    size_t n = 0;
    if (maxLen >= 1)
      while (n < (size_t)maxLen && s[n])
        ++n;
    else
      n = strlen(s);

    if (n == 0)
    {
      if (offset == 0 && mHeap.GetSize() >= 2)
        static_cast<char*>(mHeap.Get())[0] = '\0', mHeap.Resize(1, false);
      return;
    }
    if (n > (size_t)(INT_MAX - 1 - offset))
      return;

    // s may point into our own block, which may move: remember where it lies.
    const uintptr_t old = (uintptr_t)mHeap.Get();
    const uintptr_t src = (uintptr_t)s;
    const bool inside = old && src >= old && src < old + (uintptr_t)mHeap.GetSize();
    const size_t from = inside ? (size_t)(src - old) : 0;

    const int newSize = offset + (int)n + 1;
    char* p = static_cast<char*>(mHeap.Resize(newSize, false));
    if (mHeap.GetSize() != newSize)
      return;
    memmove(p + offset, inside ? p + from : s, n);
    p[offset + n] = '\0';
  }

  QvHeapBuf mHeap;
};
