// Texture generators over a 2-D slice of improved gradient noise. All noise arithmetic is single
// precision.
#include "raster/px_texgen.h"

#include "raster/px_setup.h"

#include <cmath>
#include <cstdint>

namespace {

// Ken Perlin's reference permutation of 0..255, stored twice so that lookups of sums need no wrap.
struct NoiseTable
{
  int p[512];
  constexpr NoiseTable()
    : p()
  {
    constexpr unsigned char perm[256] = {
      151, 160, 137, 91,  90,  15,  131, 13,  201, 95,  96,  53,  194, 233, 7,   225, 140, 36,  103,
      30,  69,  142, 8,   99,  37,  240, 21,  10,  23,  190, 6,   148, 247, 120, 234, 75,  0,   26,
      197, 62,  94,  252, 219, 203, 117, 35,  11,  32,  57,  177, 33,  88,  237, 149, 56,  87,  174,
      20,  125, 136, 171, 168, 68,  175, 74,  165, 71,  134, 139, 48,  27,  166, 77,  146, 158, 231,
      83,  111, 229, 122, 60,  211, 133, 230, 220, 105, 92,  41,  55,  46,  245, 40,  244, 102, 143,
      54,  65,  25,  63,  161, 1,   216, 80,  73,  209, 76,  132, 187, 208, 89,  18,  169, 200, 196,
      135, 130, 116, 188, 159, 86,  164, 100, 109, 198, 173, 186, 3,   64,  52,  217, 226, 250, 124,
      123, 5,   202, 38,  147, 118, 126, 255, 82,  85,  212, 207, 206, 59,  227, 47,  16,  58,  17,
      182, 189, 28,  42,  223, 183, 170, 213, 119, 248, 152, 2,   44,  154, 163, 70,  221, 153, 101,
      155, 167, 43,  172, 9,   129, 22,  39,  253, 19,  98,  108, 110, 79,  113, 224, 232, 178, 185,
      112, 104, 218, 246, 97,  228, 251, 34,  242, 193, 238, 210, 144, 12,  191, 179, 162, 241, 81,
      51,  145, 235, 249, 14,  239, 107, 49,  192, 214, 31,  181, 199, 106, 157, 184, 84,  204, 176,
      115, 121, 50,  45,  127, 4,   150, 254, 138, 236, 205, 93,  222, 114, 67,  29,  24,  72,  243,
      141, 128, 195, 78,  66,  215, 61,  156, 180};
    for (int i = 0; i < 512; ++i)
      p[i] = perm[i & 255];
  }
};
constexpr NoiseTable m_noiseTab{};

float fade(float t) { return t * t * t * ((t * 6 - 15) * t + 10); }

float lerp(float t, float a, float b) { return (b - a) * t + a; }

float grad(int hash, float x, float y)
{
  const int h = hash & 15;
  const float u = h < 8 ? x : y;
  const float v = h < 4 ? y : (h == 12 || h == 14 ? x : 0);
  return ((h & 1) ? -u : u) + ((h & 2) ? -v : v);
}

// The lattice cell of a floored coordinate, 0..255: (int)f & 255 without the int conversion, so
// that any finite float has one.
int cell(float f) { return (int)(f - 256.0f * std::floor(f / 256.0f)); }

// 0 for non-finite coordinates.
float noise(float x, float y)
{
  if (!std::isfinite(x) || !std::isfinite(y))
    return 0;
  const float fx = std::floor(x), fy = std::floor(y);
  const int X = cell(fx), Y = cell(fy);
  x -= fx;
  y -= fy;
  const float u = fade(x), v = fade(y);
  const int* p = m_noiseTab.p;
  const int A = p[X] + Y, B = p[X + 1] + Y;
  return lerp(v, lerp(u, grad(p[p[A]], x, y), grad(p[p[B]], x - 1, y)),
              lerp(u, grad(p[p[A + 1]], x, y - 1), grad(p[p[B + 1]], x - 1, y - 1)));
}

float turbulence(float x, float y, int size)
{
  float sum = 0;
  for (float s = (float)size; s >= 1; s /= 2)
    sum += noise(x / s, y / s) * s;
  return sum * 128 / (float)size;
}

int channel(float v) { return pxi_SaturateToInt(v) & 0xFF; }

PX_pixel opaque(int r, int g, int b)
{
  return 0xFF000000u | (PX_pixel)r << 16 | (PX_pixel)g << 8 | (PX_pixel)b;
}

// The clipped rectangle as logical rows: row j of it starts at row0 + j * step.
struct Area
{
  PX_pixel* row0;
  ptrdiff_t step;
  int w, h;
};

bool areaOf(PX_IBitmap* bm, const PX_RECT* rect, Area* a)
{
  if (!bm)
    return false;
  const int64_t bw = bm->getWidth(), bh = bm->getHeight();
  int64_t L = 0, T = 0, R = bw, B = bh;
  if (rect)
  {
    L = rect->left > 0 ? rect->left : 0;
    T = rect->top > 0 ? rect->top : 0;
    R = rect->right < bw ? rect->right : bw;
    B = rect->bottom < bh ? rect->bottom : bh;
  }
  pxi_ClippedRect r;
  if (R <= L || B <= T || !pxi_ClipRect(bm, (int)L, (int)T, (int)(R - L), (int)(B - T), &r))
    return false;
  const bool flipped = bm->isFlipped();
  a->row0 = flipped ? r.first + (ptrdiff_t)(r.h - 1) * r.span : r.first;
  a->step = flipped ? -r.span : r.span;
  a->w = r.w;
  a->h = r.h;
  return true;
}

template <class F>
void forEachAreaPixel(const Area& a, F&& f)
{
  for (int j = 0; j < a.h; ++j)
  {
    PX_pixel* row = a.row0 + j * a.step;
    for (int i = 0; i < a.w; ++i)
      row[i] = f(i, j);
  }
}

uint16_t rotl16(uint16_t v, int n) { return (uint16_t)(v << n | v >> ((16 - n) & 15)); }

}  // namespace

void PX_TexGen_Marble(PX_IBitmap* bm, const PX_RECT* rect, float r, float g, float b,
                      float intensity)
{
  Area a;
  if (!areaOf(bm, rect, &a))
    return;
  intensity /= 1024;
  uint16_t ga = 0, gb = 0;
  int32_t largest = 0;
  // Pass 1: the walk, stored in the pixels themselves.
  for (int j = 0; j < a.h; ++j)
  {
    PX_pixel* row = a.row0 + j * a.step;
    const PX_pixel* prev = j > 0 ? row - a.step : nullptr;
    for (int i = 0; i < a.w; ++i)
    {
      ga = rotl16((uint16_t)(ga + gb), gb & 15);
      gb = (uint16_t)(gb + 2);
      gb = rotl16(gb, 15);
      const uint32_t n = (uint32_t)pxi_SaturateToInt((int16_t)ga * intensity) + 1u;
      const uint32_t above = j == 0 ? (uint32_t)a.w : prev[i];
      const uint32_t upleft = j == 0 ? (uint32_t)(a.w / 2) : prev[i == 0 ? a.w - 1 : i - 1];
      const uint32_t v = n + ((above + upleft) >> 1);
      row[i] = v;
      if ((int32_t)v > largest)
        largest = (int32_t)v;
    }
  }
  // Pass 2: scaled so the largest value gives 255.
  const float k = largest > 0 ? 255.0f / (float)largest : 0.0f;
  forEachAreaPixel(a, [&](int i, int j) {
    const float f = std::fabs((float)a.row0[j * a.step + i] * k);
    return opaque(channel(f * r), channel(f * g), channel(f * b));
  });
}

void PX_TexGen_Noise(PX_IBitmap* bm, const PX_RECT* rect, float r, float g, float b, float scale,
                     int mode, int smooth)
{
  Area a;
  if (smooth < 1 || !areaOf(bm, rect, &a))
    return;
  forEachAreaPixel(a, [&](int i, int j) {
    const float xx = 16 * ((float)i / (float)a.w * scale);
    const float yy = 16 * ((float)j / (float)a.h * scale);
    float sum = 0;
    for (int s = smooth; s > 0; s /= 2)
    {
      const float sx = xx / (float)s, sy = yy / (float)s;
      if (mode == 0)
        sum += noise(sx, sy) * (float)s;
      else if (mode == 1)
        sum += std::cos(noise(sx, sy) + sx) * (float)s / 2;
    }
    float value = 255 * std::fabs(sum / (float)smooth);
    if (value > 255)
      value = 255;
    return opaque(channel(value * r), channel(value * g), channel(value * b));
  });
}

void PX_TexGen_CircNoise(PX_IBitmap* bm, const PX_RECT* rect, float r, float b, float g,
                         float rings, float strength, int size)
{
  Area a;
  if (size < 1 || !areaOf(bm, rect, &a))
    return;
  forEachAreaPixel(a, [&](int i, int j) {
    const float dx = (float)(i - a.w / 2) / (float)a.w;
    const float dy = (float)(j - a.h / 2) / (float)a.h;
    const float d = std::sqrt(dx * dx + dy * dy);
    const float t = turbulence((float)i, (float)j, size);
    const float q = rings * (d + t * strength / 256);
    const float f = std::fabs(std::sin(2 * q * 3.14159f)) * 256;
    return opaque(channel(f * r), channel(f * g), channel(f * b));
  });
}
