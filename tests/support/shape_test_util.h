// Helpers of the shape tests: the count oracle (how often each pixel was combined), captured
// weights, and coverage of the same shapes rendered by Cairo where it is installed.
#pragma once

#include "raster/px.h"
#include "tests/support/raster_test_util.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#ifdef QV_HAVE_CAIRO
#include <cairo.h>
#endif

typedef std::function<void(PX_IBitmap*)> Draw;

// Draws in Add mode with colour 0x01010101 at alpha 1 onto a zero bitmap (draw must pass these
// on): each byte then counts how often its pixel was combined. Logical rows.
inline std::vector<int> Counts(int w, int h,
                               const std::function<void(PX_IBitmap*, PX_pixel, float, int)>& draw,
                               bool flipped = false)
{
  ExactBitmap bm(w, h, flipped);
  draw(&bm, 0x01010101u, 1.0f, PX_MODE_ADD);
  std::vector<int> c;
  for (PX_pixel p : Pixels(bm))
  {
    EXPECT_EQ(p, (p & 0xFF) * 0x01010101u) << "channels disagree";
    c.push_back((int)(p & 0xFF));
  }
  return c;
}

// Draws in copy mode with colour 0xFFFFFFFF onto a zero bitmap: a pixel combined once with weight
// w (1..255) reads w, and 255 for the full weight 256.
inline std::vector<int> Weights(int w, int h, const Draw& draw, bool flipped = false)
{
  ExactBitmap bm(w, h, flipped);
  draw(&bm);
  std::vector<int> c;
  for (PX_pixel p : Pixels(bm))
    c.push_back((int)(p >> 24));
  return c;
}

inline std::vector<PX_pixel> Image(int w, int h, const Draw& draw, bool flipped = false,
                                   uint32_t seed = 0)
{
  ExactBitmap bm(w, h, flipped);
  if (seed)
    FillPattern(bm, seed);
  draw(&bm);
  return Pixels(bm);
}

// The image mirrored top to bottom.
inline std::vector<PX_pixel> Mirrored(const std::vector<PX_pixel>& v, int w, int h)
{
  std::vector<PX_pixel> m(v.size());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      m[(size_t)y * w + x] = v[(size_t)(h - 1 - y) * w + x];
  return m;
}

#ifdef QV_HAVE_CAIRO
// Coverage 0..255 of the path that path() builds, filled (or stroked one unit wide) by Cairo with
// its default anti-aliasing. Pixel (x, y) covers [x, x + 1) x [y, y + 1).
inline std::vector<int> CairoCoverage(int w, int h, const std::function<void(cairo_t*)>& path,
                                      bool stroke = false)
{
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
  cairo_t* cr = cairo_create(s);
  path(cr);
  if (stroke)
  {
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
  }
  else
    cairo_fill(cr);
  cairo_surface_flush(s);
  const unsigned char* d = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  std::vector<int> c;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      c.push_back(d[(size_t)y * stride + x]);
  cairo_destroy(cr);
  cairo_surface_destroy(s);
  return c;
}

// Pixels more than reach pixels inside the shape (Cairo covers their whole neighbourhood) are
// drawn, when inner is set; pixels more than reach pixels outside it (Cairo leaves their whole
// neighbourhood empty) are not. Near an edge the shapes' whole-pixel rounding rules.
inline void ExpectCoverageAgrees(const std::vector<int>& drawn, const std::vector<int>& cov, int w,
                                 int h, bool inner, const std::string& what, int reach = 1)
{
  int misses = 0, strays = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      bool touched = false, deep = true;
      for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
        {
          const int X = x + dx, Y = y + dy;
          const int c = X >= 0 && Y >= 0 && X < w && Y < h ? cov[(size_t)Y * w + X] : 0;
          touched |= c > 0;
          deep &= c == 255;
        }
      const bool on = drawn[(size_t)y * w + x] != 0;
      misses += inner && deep && !on;
      strays += on && !touched;
    }
  EXPECT_EQ(misses, 0) << what << ": pixels well inside left empty";
  EXPECT_EQ(strays, 0) << what << ": pixels drawn more than a pixel from the shape";
}
#endif
