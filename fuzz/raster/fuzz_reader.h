// The input reader of the raster fuzzers: bytes, words, coordinates, floats and blend modes,
// drawn mostly from small ordinary values and sometimes from extremes (NaN, infinities, the ends of
// the int range). Reads past the end give zeros.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

class Reader
{
public:
  Reader(const uint8_t* p, size_t n)
    : m_p(p)
    , m_n(n)
  {}
  bool done() const { return m_n == 0; }
  uint8_t byte()
  {
    if (!m_n)
      return 0;
    --m_n;
    return *m_p++;
  }
  uint32_t word()
  {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
      v |= (uint32_t)byte() << (8 * i);
    return v;
  }
  int coord()
  {
    static const int extremes[] = {INT32_MIN, INT32_MAX, INT32_MIN + 1, -32768,  32767,
                                   32768,     65536,     -65536,        1 << 30, -(1 << 30)};
    const uint8_t sel = byte();
    if (sel < 200)
      return (int)(sel % 41) - 20;
    if (sel < 240)
      return extremes[sel % (sizeof(extremes) / sizeof(extremes[0]))];
    return (int)word();
  }
  float real()
  {
    static const float extremes[] = {NAN,   INFINITY, -INFINITY, 1e30f,     -1e30f,   1e-30f,
                                     -0.0f, FLT_MAX,  -FLT_MAX,  32767.99f, 65536.0f, 4e9f,
                                     0.5f,  1.0f,     0.25f,     0.75f,     -1.0f,    1.7f};
    const uint8_t sel = byte();
    if (sel < 160)
      return ((int)byte() - 128) / 16.0f;
    if (sel < 240)
      return extremes[sel % (sizeof(extremes) / sizeof(extremes[0]))];
    return floatBits();
  }
  // Any float, by its bits.
  float floatBits()
  {
    const uint32_t w = word();
    float f;
    std::memcpy(&f, &w, 4);
    return f;
  }
  int mode()
  {
    static const int modes[] = {0,          1,
                                2,          3,
                                4,          5,
                                6,          0xEF,
                                0xF0,       0xF3,
                                0xFE,       0x100,
                                0x101,      0x10000,
                                0x10001,    0x10003,
                                0x10005,    0x10100,
                                0x200,      0x1FFFF,
                                0x7FFFFFFF, (int)0x80000000};
    const uint8_t sel = byte();
    if (sel < 220)
      return modes[sel % (sizeof(modes) / sizeof(modes[0]))];
    return (int)word();
  }

private:
  const uint8_t* m_p;
  size_t m_n;
};
