#include "framework/base/Base64.h"

#include <climits>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The 6-bit value of an alphabet character, -1 for any other character ("=" included).
int SextetOf(char c)
{
  if (c >= 'A' && c <= 'Z')
    return c - 'A';
  if (c >= 'a' && c <= 'z')
    return c - 'a' + 26;
  if (c >= '0' && c <= '9')
    return c - '0' + 52;
  if (c == '+')
    return 62;
  if (c == '/')
    return 63;
  return -1;
}

}  // namespace

int Base64EncodedLen(int srcSize)
{
  if (srcSize < 0 || srcSize / 3 > (INT_MAX - 1) / 4 - 1)
    return -1;
  return (srcSize + 2) / 3 * 4;
}

int Base64Encode(const unsigned char* src, int srcSize, char* dest)
{
  const int len = Base64EncodedLen(srcSize);
  if (len < 0 || !dest || (srcSize > 0 && !src))
    return -1;
  unsigned accum = 0;
  int bits = 0;
  char* out = dest;
  for (int i = 0; i < srcSize; ++i)
  {
    accum = ((accum << 8) | src[i]) & 0xFFFF;
    bits += 8;
    while (bits >= 6)
    {
      bits -= 6;
      *out++ = kAlphabet[(accum >> bits) & 0x3F];
    }
  }
  // 4 or 2 bits are left over after one or two bytes of a last group.
  if (bits == 4)
  {
    *out++ = kAlphabet[(accum << 2) & 0x3F];
    *out++ = '=';
  }
  else if (bits == 2)
  {
    *out++ = kAlphabet[(accum << 4) & 0x3F];
    *out++ = '=';
    *out++ = '=';
  }
  *out = '\0';
  return (int)(out - dest);
}

int Base64Decode(const char* src, unsigned char* dest, int destSize)
{
  if (!src || !dest || destSize < 1)
    return 0;
  unsigned accum = 0;
  int bits = 0;
  int written = 0;
  for (; *src && written < destSize; ++src)
  {
    const int v = SextetOf(*src);
    if (v < 0)
      break;
    accum = ((accum << 6) | (unsigned)v) & 0xFFFFFF;
    bits += 6;
    if (bits >= 8)
    {
      bits -= 8;
      dest[written++] = (unsigned char)(accum >> bits);
    }
  }
  return written;
}
