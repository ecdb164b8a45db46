#pragma once
// StrCopyBounded: copies src into a fixed-size text buffer, truncating and always terminating.
// The framework's names, labels and display texts live in fixed arrays; every copy into one goes
// through here so that an overlong text is cut instead of overrunning its neighbour.

#include <cstring>

// Copies at most size - 1 characters of src (null reads as the empty text) and terminates.
// Does nothing when dst is null or size < 1.
inline void StrCopyBounded(char* dst, int size, const char* src)
{
  if (!dst || size < 1)
    return;
  int n = 0;
  if (src)
    while (n < size - 1 && src[n])
      ++n;
  if (n > 0)
    memmove(dst, src, (size_t)n);
  dst[n] = '\0';
}
