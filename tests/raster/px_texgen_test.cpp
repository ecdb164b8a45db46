// The texture generators: the same input gives the same texture wherever the rectangle lies,
// values stay in their ranges, the parameters do what they say, and tiny or unusable areas are
// handled.
#include "raster/px_texgen.h"
#include "tests/support/raster_test_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

typedef std::function<void(PX_IBitmap*, const PX_RECT*)> Generator;

const struct
{
  const char* name;
  Generator gen;
} kGenerators[] = {
  {"marble", [](PX_IBitmap* bm, const PX_RECT* r) { PX_TexGen_Marble(bm, r, 1, 0.8f, 0.6f, 300); }},
  {"noise", [](PX_IBitmap* bm, const PX_RECT* r) { PX_TexGen_Noise(bm, r, 1, 1, 1, 1.3f, 0, 8); }},
  {"cosine noise",
   [](PX_IBitmap* bm, const PX_RECT* r) { PX_TexGen_Noise(bm, r, 0.9f, 0.5f, 1, 2.1f, 1, 5); }},
  {"rings",
   [](PX_IBitmap* bm, const PX_RECT* r) { PX_TexGen_CircNoise(bm, r, 1, 0.5f, 0.25f, 4, 2, 16); }},
};

std::vector<PX_pixel> Texture(const Generator& gen, int w, int h)
{
  ExactBitmap bm(w, h);
  gen(&bm, nullptr);
  return Pixels(bm);
}

TEST(TexGen, SameInputGivesTheSameTextureWhereverTheRectangleLies)
{
  for (const auto& g : kGenerators)
  {
    SCOPED_TRACE(g.name);
    const std::vector<PX_pixel> tex = Texture(g.gen, 23, 17);
    EXPECT_EQ(Texture(g.gen, 23, 17), tex);
    for (const PX_pixel p : tex)
      ASSERT_EQ(p >> 24, 0xFFu);

    // Inside a larger bitmap, flipped or not: the rectangle holds the same texture, the rest is
    // untouched.
    for (const bool flipped : {false, true})
    {
      ExactBitmap big(40, 30, flipped), before(40, 30);
      FillPattern(big, 9);
      CopyPixels(before, big);
      const PX_RECT r = {5, 7, 28, 24};
      g.gen(&big, &r);
      EXPECT_EQ(Crop(big, 5, 7, 23, 17), tex);
      for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
        {
          if (x < 5 || x >= 28 || y < 7 || y >= 24)
          {
            ASSERT_EQ(Px(big, x, y), Px(before, x, y)) << x << "," << y;
          }
        }
    }

    // A rectangle beyond the bitmap on every side is the whole bitmap.
    ExactBitmap clipped(23, 17);
    const PX_RECT huge = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    g.gen(&clipped, &huge);
    EXPECT_EQ(Pixels(clipped), tex);
  }
}

// Sums of |difference| between horizontal neighbours' red channels.
long Roughness(const std::vector<PX_pixel>& p, int w)
{
  long sum = 0;
  for (size_t i = 1; i < p.size(); ++i)
    if (i % w)
      sum += std::abs(PX_GETR(p[i]) - PX_GETR(p[i - 1]));
  return sum;
}

TEST(TexGen, NoiseParameters)
{
  const auto noise = [](float r, float g, float b, float scale, int mode, int smooth, int w = 32) {
    return Texture(
      [=](PX_IBitmap* bm, const PX_RECT* rc) {
        PX_TexGen_Noise(bm, rc, r, g, b, scale, mode, smooth);
      },
      w, w);
  };
  const std::vector<PX_pixel> black(32 * 32, 0xFF000000u);
  // Modes other than plain and cosine bands, a scale of 0 and samples on lattice points only
  // (16 cells over 16 pixels) give black.
  EXPECT_EQ(noise(1, 1, 1, 1, 2, 4), black);
  EXPECT_EQ(noise(1, 1, 1, 1, -1, 4), black);
  EXPECT_EQ(noise(1, 1, 1, 0, 0, 4), black);
  EXPECT_EQ(noise(1, 1, 1, 1, 0, 1, 16), std::vector<PX_pixel>(16 * 16, 0xFF000000u));
  EXPECT_NE(noise(1, 1, 1, 1.5f, 0, 1, 16), std::vector<PX_pixel>(16 * 16, 0xFF000000u));

  // The factors scale each channel of one value.
  for (const PX_pixel p : noise(1, 0.5f, 0, 1.3f, 0, 4))
  {
    ASSERT_LE(std::abs(2 * PX_GETG(p) - PX_GETR(p)), 1) << std::hex << p;
    ASSERT_EQ(PX_GETB(p), 0);
  }
  // Mode, octaves and scale each change the texture; a larger scale makes it finer.
  EXPECT_NE(noise(1, 1, 1, 1.3f, 0, 4), noise(1, 1, 1, 1.3f, 1, 4));
  EXPECT_NE(noise(1, 1, 1, 1.3f, 0, 1), noise(1, 1, 1, 1.3f, 0, 8));
  EXPECT_GT(Roughness(noise(1, 1, 1, 0.5f, 0, 1), 32),
            2 * Roughness(noise(1, 1, 1, 0.1f, 0, 1), 32));
}

TEST(TexGen, MarbleParameters)
{
  const auto marble = [](float r, float g, float b, float intensity) {
    return Texture(
      [=](PX_IBitmap* bm, const PX_RECT* rc) { PX_TexGen_Marble(bm, rc, r, g, b, intensity); }, 20,
      12);
  };
  // Without intensity the walk only grows downward: each row is one grey, the last at full.
  const std::vector<PX_pixel> flat = marble(1, 1, 1, 0);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 20; ++x)
    {
      ASSERT_EQ(flat[y * 20 + x], flat[y * 20]) << x << "," << y;
      if (y)
      {
        ASSERT_GT(flat[y * 20], flat[y * 20 - 20]);
      }
    }
  EXPECT_GE(PX_GETR(flat.back()), 254);
  EXPECT_EQ(flat.back() & 0xFFFFFFu, 0x010101u * (PX_pixel)PX_GETR(flat.back()));

  // With intensity the rows vary; the largest value still reaches the top of the range.
  const std::vector<PX_pixel> veined = marble(1, 1, 0, 500);
  int top = 0;
  bool varies = false;
  for (size_t i = 0; i < veined.size(); ++i)
  {
    top = std::max(top, PX_GETR(veined[i]));
    varies |= veined[i] != veined[i - i % 20];
    ASSERT_EQ(PX_GETG(veined[i]), PX_GETR(veined[i]));
    ASSERT_EQ(PX_GETB(veined[i]), 0);
  }
  EXPECT_TRUE(varies);
  EXPECT_GE(top, 254);
}

TEST(TexGen, RingParameters)
{
  const auto rings = [](float r, float b, float g, float n, float strength, int w = 24) {
    return Texture([=](PX_IBitmap* bm,
                       const PX_RECT* rc) { PX_TexGen_CircNoise(bm, rc, r, b, g, n, strength, 8); },
                   w, w);
  };
  // No turbulence: rings around the centre, the same at mirrored offsets.
  const std::vector<PX_pixel> plain = rings(0.5f, 0.5f, 0.5f, 3, 0);
  for (int y = 1; y < 24; ++y)
    for (int x = 1; x < 24; ++x)
    {
      ASSERT_EQ(plain[y * 24 + x], plain[y * 24 + (24 - x)]) << x << "," << y;
      ASSERT_EQ(plain[y * 24 + x], plain[(24 - y) * 24 + x]) << x << "," << y;
      ASSERT_LE(PX_GETR(plain[y * 24 + x]), 128);
    }
  EXPECT_NE(rings(0.5f, 0.5f, 0.5f, 3, 40), plain);
  EXPECT_EQ(rings(1, 1, 1, 0, 0), std::vector<PX_pixel>(24 * 24, 0xFF000000u));
  // The second factor scales blue, the third green.
  for (const PX_pixel p : rings(0, 0.5f, 0, 3, 10))
    ASSERT_EQ(p & 0xFFFFFF00u, 0xFF000000u) << std::hex << p;
  for (const PX_pixel p : rings(0, 0, 0.5f, 3, 10))
    ASSERT_EQ(p & 0xFFFF00FFu, 0xFF000000u) << std::hex << p;
}

// Worked values from a separate model (Perlin's published three-dimensional improved noise taken
// at z = 0, and the marble walk stepped by hand), at samples where every value is exact in single
// precision, so no maths library can move them.
TEST(TexGen, WorkedValuesAtExactSamples)
{
  // 32 x 32 at scale 1, one octave: pixel (i, j) samples the noise at (i / 2, j / 2). Rows 1 and
  // 15 at the odd columns lie mid-cell, and there each of the sixteen hash values meets corners on
  // both diagonals, which pins down every gradient.
  const std::vector<PX_pixel> noise = Texture(
    [](PX_IBitmap* bm, const PX_RECT* r) { PX_TexGen_Noise(bm, r, 1, 1, 1, 1, 0, 1); }, 32, 32);
  const struct
  {
    int row, red[16];
  } noiseRows[] = {{1, {63, 63, 0, 0, 31, 159, 31, 159, 95, 31, 31, 31, 31, 31, 63, 95}},
                   {15, {95, 0, 0, 31, 63, 63, 0, 0, 95, 127, 0, 95, 95, 63, 31, 31}}};
  for (const auto& r : noiseRows)
    for (int k = 0; k < 16; ++k)
      EXPECT_EQ(PX_GETR(noise[r.row * 32 + 2 * k + 1]), r.red[k]) << r.row << "," << 2 * k + 1;

  // One row of 16 at intensity 0.25: each value is 12 (the first row's neighbours) plus one plus
  // the walk's signed 16-bit state / 4096 truncated, scaled so that the largest (19) gives 255.
  const std::vector<PX_pixel> marble = Texture(
    [](PX_IBitmap* bm, const PX_RECT* r) { PX_TexGen_Marble(bm, r, 1, 1, 1, 0.25f); }, 16, 1);
  const int marbleRow[16] = {174, 174, 174, 80,  134, 255, 120, 241,
                             107, 241, 120, 255, 147, 107, 241, 228};
  for (int k = 0; k < 16; ++k)
    EXPECT_EQ(PX_GETR(marble[k]), marbleRow[k]) << "column " << k;
}

TEST(TexGen, TinyAndUnusableAreas)
{
  NoPixelsBitmap nobits;
  for (const auto& g : kGenerators)
  {
    SCOPED_TRACE(g.name);
    ExactBitmap empty, one(1, 1);
    g.gen(&empty, nullptr);
    g.gen(nullptr, nullptr);
    g.gen(&nobits, nullptr);
    g.gen(&one, nullptr);
    EXPECT_EQ(one.getBits()[0] >> 24, 0xFFu);

    const PX_RECT nothing[] = {{2, 2, 2, 5},
                               {3, 1, 1, 4},
                               {8, 0, 12, 8},
                               {0, -9, 8, -1},
                               {INT_MAX, INT_MAX, INT_MIN, INT_MIN}};
    for (const PX_RECT& r : nothing)
    {
      ExactBitmap bm(8, 8);
      FillPattern(bm, 4);
      const std::vector<PX_pixel> before = Pixels(bm);
      g.gen(&bm, &r);
      EXPECT_EQ(Pixels(bm), before) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
  }
  // Octave counts below 1 draw nothing.
  ExactBitmap bm(8, 8);
  FillPattern(bm, 4);
  const std::vector<PX_pixel> before = Pixels(bm);
  PX_TexGen_Noise(&bm, nullptr, 1, 1, 1, 1, 0, 0);
  PX_TexGen_Noise(&bm, nullptr, 1, 1, 1, 1, 1, -4);
  PX_TexGen_CircNoise(&bm, nullptr, 1, 1, 1, 3, 1, 0);
  PX_TexGen_CircNoise(&bm, nullptr, 1, 1, 1, 3, 1, INT_MIN);
  EXPECT_EQ(Pixels(bm), before);
  // Non-finite and huge parameters still give opaque pixels.
  PX_TexGen_Noise(&bm, nullptr, NAN, 1e30f, -1e30f, INFINITY, 1, INT_MAX);
  PX_TexGen_Marble(&bm, nullptr, 1, 1, 1, -1e30f);
  PX_TexGen_CircNoise(&bm, nullptr, 1, NAN, 1, 1e30f, INFINITY, INT_MAX);
  for (const PX_pixel p : Pixels(bm))
    EXPECT_EQ(p >> 24, 0xFFu);
}

}  // namespace
