#pragma once
// ByteChunk: the growable byte buffer that holds plug-in state.
//
// Values are stored as their raw bytes in host byte order, unaligned and untagged: int32 as 4
// bytes, double as 8, bool as one byte (any non-zero byte reads as true), a string as an int32 byte
// count followed by the bytes without terminator.
//
// Reads check their range against the chunk without signed overflow and answer the position behind
// what they read, or -1 with the target unchanged. Appends answer the new size, or 0 with the chunk
// unchanged when it could not grow. No lock: the owner guards the chunk.

#include "framework/base/HeapBuf.h"
#include "framework/base/QvString.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

class ByteChunk
{
public:
  ByteChunk()
    : mBytes(4096)
  {}

  template <class T>
  int Put(const T* pVal)
  {
    static_assert(std::is_trivially_copyable<T>::value, "ByteChunk stores plain values only");
    return PutBytes(pVal, (int)sizeof(T));
  }

  template <class T>
  int Get(T* pVal, int startPos) const
  {
    static_assert(std::is_trivially_copyable<T>::value, "ByteChunk stores plain values only");
    return GetBytes(pVal, (int)sizeof(T), startPos);
  }

  int PutBool(bool b)
  {
    const uint8_t byte = b ? 1 : 0;
    return PutBytes(&byte, 1);
  }

  int GetBool(bool* pB, int startPos) const
  {
    if (!pB)
      return -1;
    uint8_t byte = 0;
    const int pos = GetBytes(&byte, 1, startPos);
    if (pos >= 0)
      *pB = byte != 0;
    return pos;
  }

  // Appends the length (int32) and the bytes of str in one step: both go in or neither does.
  int PutStr(const char* str)
  {
    if (!str)
      return 0;
    const size_t len = strlen(str);
    if (len > (size_t)(INT_MAX - 4))
      return 0;
    const int32_t n = (int32_t)len;
    const int at = Append(4 + n);
    if (at < 0)
      return 0;
    memcpy(mBytes.Get() + at, &n, 4);
    memcpy(mBytes.Get() + at + 4, str, (size_t)n);
    return Size();
  }

  // Reads a string into pStr and answers the position behind it. A length of 0 makes pStr empty.
  // A negative length, a string running past the end or a failed copy answers -1 and leaves pStr.
  int GetStr(QvString* pStr, int startPos) const
  {
    if (!pStr)
      return -1;
    int32_t len = 0;
    const int pos = GetBytes(&len, 4, startPos);
    if (pos < 0 || len < 0 || len > Size() - pos)
      return -1;
    if (len == 0)
    {
      pStr->Set("");
      return pos;
    }
    const char* s = reinterpret_cast<const char*>(mBytes.Get()) + pos;
    const int n = StrnLen(s, len);
    pStr->Set(s, len);
    if (pStr->GetLength() != n || memcmp(pStr->Get(), s, (size_t)n) != 0)
      return -1;
    return pos + len;
  }

  int PutBytes(const void* pSrc, int nBytes)
  {
    if (nBytes < 0 || (nBytes > 0 && !pSrc))
      return 0;
    const int at = Append(nBytes);
    if (at < 0)
      return 0;
    if (nBytes > 0)
      memcpy(mBytes.Get() + at, pSrc, (size_t)nBytes);
    return Size();
  }

  int GetBytes(void* pDest, int nBytes, int startPos) const
  {
    if (!pDest || nBytes < 0 || startPos < 0 || startPos > Size() - nBytes)
      return -1;
    if (nBytes > 0)
      memcpy(pDest, mBytes.Get() + startPos, (size_t)nBytes);
    return startPos + nBytes;
  }

  int PutChunk(const ByteChunk* pRHS)
  {
    if (!pRHS || pRHS == this)
      return pRHS == this ? PutSelf() : 0;
    return PutBytes(pRHS->GetBytes(), pRHS->Size());
  }

  void Clear() { mBytes.Resize(0, false); }
  int Size() const { return mBytes.GetSize(); }

  // Sets the size; new bytes are zeroed. Answers the old size, or -1 (chunk unchanged) when the
  // size is negative or cannot be had.
  int Resize(int newSize)
  {
    const int oldSize = Size();
    if (newSize < 0)
      return -1;
    mBytes.Resize(newSize, true);
    if (Size() != newSize)
      return -1;
    if (newSize > oldSize)
      memset(mBytes.Get() + oldSize, 0, (size_t)(newSize - oldSize));
    return oldSize;
  }

  uint8_t* GetBytes() { return mBytes.Get(); }
  const uint8_t* GetBytes() const { return mBytes.Get(); }

private:
  // Grows by n bytes; answers the offset where they start, or -1 (chunk unchanged).
  int Append(int n)
  {
    const int oldSize = Size();
    if (n < 0 || n > INT_MAX - oldSize)
      return -1;
    mBytes.Resize(oldSize + n, false);
    return Size() == oldSize + n ? oldSize : -1;
  }

  // Appending a chunk to itself: the source moves when the buffer grows.
  int PutSelf()
  {
    const int n = Size();
    const int at = Append(n);
    if (at < 0)
      return 0;
    if (n > 0)
      memcpy(mBytes.Get() + at, mBytes.Get(), (size_t)n);
    return Size();
  }

  static int StrnLen(const char* s, int max)
  {
    int n = 0;
    while (n < max && s[n])
      ++n;
    return n;
  }

  QvTypedBuf<uint8_t> mBytes;
};
