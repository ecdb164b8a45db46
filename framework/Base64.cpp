#include "framework/Base64.h"

namespace {

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
