#pragma once
// QvBswapIfLE: reverses the four bytes of a 32-bit value on little-endian machines (and does
// nothing on big-endian ones), so program and bank files are written and read big-endian.

#include <cstdint>

inline unsigned int QvBswapIfLE(unsigned int x)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  return x;
#else
  const uint32_t v = (uint32_t)x;
  return (unsigned int)(((v & 0xFFu) << 24) | ((v & 0xFF00u) << 8) | ((v >> 8) & 0xFF00u) |
                        (v >> 24));
#endif
}

inline int QvBswapIfLE(int x) { return (int)QvBswapIfLE((unsigned int)x); }
