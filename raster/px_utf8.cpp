// UTF-8 decoding and encoding of single characters, bounded by a byte count.
#include "raster/px_utf8.h"

namespace {

bool isCont(unsigned char b) { return b >= 0x80 && b <= 0xBF; }

// The continuation bytes a lead byte asks for: 1 for 0xC2..0xDF, 2 for 0xE0..0xEF, 3 for
// 0xF0..0xF4, 0 for anything else.
int continuations(unsigned char lead)
{
  if (lead >= 0xC2 && lead <= 0xDF)
    return 1;
  if (lead >= 0xE0 && lead <= 0xEF)
    return 2;
  if (lead >= 0xF0 && lead <= 0xF4)
    return 3;
  return 0;
}

// True when the n continuation bytes after s are there: inside the count and each 0x80..0xBF (the
// terminator is none, so a terminated string is never read past its end).
bool hasContinuations(const unsigned char* s, int n, int avail)
{
  if (avail >= 0 && avail <= n)
    return false;
  for (int i = 1; i <= n; ++i)
    if (!isCont(s[i]))
      return false;
  return true;
}

}  // namespace

int utf8char(const char* str, unsigned short* out, int avail)
{
  const unsigned char* s = (const unsigned char*)str;
  const int n = continuations(s[0]);
  int len = 1;
  unsigned code = s[0];
  if (n && hasContinuations(s, n, avail))
  {
    len = n + 1;
    if (n == 1)
      code = ((s[0] & 0x1Fu) << 6) | (s[1] & 0x3Fu);
    else if (n == 2)
      code = ((unsigned)s[0] << 12) | ((s[1] & 0x3Fu) << 6) | (s[2] & 0x3Fu);
    else
      code = ' ';
  }
  if (out)
    *out = (unsigned short)code;
  return len;
}

int utf8makechar(char* dest, unsigned short c)
{
  if (c < 0x80)
  {
    dest[0] = (char)c;
    return 1;
  }
  if (c < 0x800)
  {
    dest[0] = (char)(0xC0 | (c >> 6));
    dest[1] = (char)(0x80 | (c & 0x3F));
    return 2;
  }
  dest[0] = (char)(0xE0 | (c >> 12));
  dest[1] = (char)(0x80 | ((c >> 6) & 0x3F));
  dest[2] = (char)(0x80 | (c & 0x3F));
  return 3;
}

bool PX_Text_HasUTF8(const char* str, int len)
{
  if (!str)
    return false;
  const unsigned char* s = (const unsigned char*)str;
  for (int i = 0; len < 0 ? s[i] != 0 : i < len; ++i)
  {
    const int n = continuations(s[i]);
    if (n && hasContinuations(s + i, n, len < 0 ? -1 : len - i))
      return true;
  }
  return false;
}
