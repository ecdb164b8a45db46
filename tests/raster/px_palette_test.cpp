// The octree quantiser: the worked examples, exact reproduction of images with few colours, every
// palette entry as the average of the colours mapped to it, the mapping's error on real images
// against a brute-force nearest-entry search, and unusable input.
#include "raster/px_palette.h"
#include "raster/px_png.h"
#include "tests/support/raster_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

struct TreeDeleter
{
  void operator()(OTree* t) const { PX_DestroyOctree(t); }
};
typedef std::unique_ptr<OTree, TreeDeleter> Tree;

// A bitmap of the given pixels, one row per `w` of them.
std::unique_ptr<ExactBitmap> Image(int w, const std::vector<PX_pixel>& pixels, bool flipped = false)
{
  std::unique_ptr<ExactBitmap> bm(new ExactBitmap(w, (int)pixels.size() / w, flipped));
  for (size_t i = 0; i < pixels.size(); ++i)
    Px(*bm, (int)i % w, (int)i / w) = pixels[i];
  return bm;
}

std::vector<PX_pixel> Palette(PX_IBitmap* bm, int maxcolors, int* count)
{
  std::vector<PX_pixel> pal(maxcolors > 0 ? maxcolors : 1, 0xDEADBEEFu);
  *count = PX_BuildPalette(bm, pal.data(), maxcolors);
  return pal;
}

TEST(Octree, WorkedExamples)
{
  const struct
  {
    const char* name;
    int maxcolors;
    std::vector<PX_pixel> pixels;
    std::vector<PX_pixel> palette;  // then zeros
  } cases[] = {
    {"colours sharing their top five bits are averaged",
     4,
     {0x00102030, 0x80102030, 0x00FF0000, 0xFF102030, 0x12172437, 0x00FF0000},
     {0xFF112131, 0xFFFF0000}},
    {"one entry: the pixel-weighted average of two colours", 1, {0, 0, 0, 0xFFFFFF}, {0xFF3F3F3F}},
    {"one entry: two colours apart in the lowest bit only", 1, {0x080808, 0}, {0xFF040404}},
    {"one entry: the pruned root absorbs later colours",
     1,
     {0x000000, 0xFFFFFF, 0x808080, 0x404040},
     {0xFF6F6F6F}},
    {"children in index order (red bit, green bit, blue bit)",
     8,
     {0x0000FF, 0xFF0000, 0x00FF00, 0x000000, 0xFFFFFF},
     {0xFF000000, 0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF}},
    {"an empty image", 3, {}, {}},
  };
  for (const auto& c : cases)
  {
    auto bm = c.pixels.empty() ? std::make_unique<ExactBitmap>() : Image(1, c.pixels);
    int n;
    const std::vector<PX_pixel> pal = Palette(bm.get(), c.maxcolors, &n);
    std::vector<PX_pixel> want = c.palette;
    want.resize(c.maxcolors, 0);
    EXPECT_EQ(n, (int)c.palette.size()) << c.name;
    EXPECT_EQ(pal, want) << c.name;
  }

  // Each colour maps to the entry that absorbed it; a colour the tree never saw to the last leaf
  // below the deepest node on its path.
  auto bm = Image(3, {0x102030, 0x102030, 0x102030, 0x172437, 0xFF0000, 0xFF0000});
  Tree t(PX_CreateOctree(4));
  EXPECT_EQ(PX_BuildOctree(t.get(), bm.get()), 2);
  const struct
  {
    PX_pixel color;
    int index;
  } finds[] = {{0x102030, 0}, {0x172437, 0}, {0xFFFF0000, 1}, {0x00FF00, 1}, {0x1F2F3F, 0}};
  for (const auto& f : finds)
    EXPECT_EQ(PX_FindInOctree(t.get(), f.color), f.index) << std::hex << f.color;
}

// Palette entry i is the average of the colours that map to i, for any image and palette size,
// and the tree never holds more colours than asked for.
TEST(Octree, EachEntryIsTheAverageOfTheColoursMappedToIt)
{
  uint32_t seed = 11;
  for (const int maxcolors : {1, 2, 3, 7, 16, 64, 255})
    for (const int distinct : {3, 40, 5000})
    {
      ExactBitmap bm(64, 48);
      std::vector<PX_pixel> colours;
      for (int i = 0; i < distinct; ++i)
        colours.push_back(NextWord(seed));
      for (int i = 0; i < 64 * 48; ++i)
        bm.getBits()[i] = colours[NextWord(seed) % colours.size()];
      Tree t(PX_CreateOctree(maxcolors));
      const int n = PX_BuildOctree(t.get(), &bm);
      std::vector<PX_pixel> pal(maxcolors);
      ASSERT_EQ(PX_ExtractOctreePalette(t.get(), pal.data()), n);
      ASSERT_TRUE(n >= 1 && n <= maxcolors);
      std::vector<int64_t> sums((size_t)n * 4, 0);
      for (int i = 0; i < 64 * 48; ++i)
      {
        const PX_pixel c = bm.getBits()[i];
        const int k = PX_FindInOctree(t.get(), c);
        ASSERT_TRUE(k >= 0 && k < n);
        sums[k * 4] += PX_GETR(c), sums[k * 4 + 1] += PX_GETG(c), sums[k * 4 + 2] += PX_GETB(c);
        sums[k * 4 + 3] += 1;
      }
      for (int k = 0; k < n; ++k)
      {
        ASSERT_GT(sums[k * 4 + 3], 0) << "entry " << k << " of " << n;
        const int64_t cnt = sums[k * 4 + 3];
        EXPECT_EQ(pal[k],
                  PX_RGBA(sums[k * 4] / cnt, sums[k * 4 + 1] / cnt, sums[k * 4 + 2] / cnt, 255))
          << maxcolors << " colours, " << distinct << " distinct, entry " << k;
      }
    }
}

// Images whose colours differ in their top five bits, no more of them than the palette holds,
// come back exactly (made opaque), flipped or not.
TEST(Octree, FewColoursAreReproducedExactly)
{
  uint32_t seed = 5;
  const struct
  {
    int colours, maxcolors;
  } cases[] = {{1, 1}, {2, 2}, {7, 7}, {17, 256}, {255, 256}, {256, 256}, {1000, 1000}};
  for (const bool flipped : {false, true})
    for (const auto& c : cases)
    {
      std::set<uint32_t> classes;
      std::vector<PX_pixel> colours;
      while ((int)colours.size() < c.colours)
      {
        const PX_pixel w = NextWord(seed) | 0xFF000000u;
        if (classes.insert(w & 0xF8F8F8u).second)
          colours.push_back(w);
      }
      std::vector<PX_pixel> pixels;
      for (int i = 0; i < 48 * 40; ++i)
        pixels.push_back(colours[i < c.colours ? i : NextWord(seed) % c.colours]);
      auto bm = Image(48, pixels, flipped);
      int n;
      const std::vector<PX_pixel> pal = Palette(bm.get(), c.maxcolors, &n);
      ASSERT_EQ(n, c.colours);
      ExactBitmap mapped(48, 40, flipped);
      CopyPixels(mapped, *bm);
      PX_TestPalette(&mapped, pal.data(), n);
      ASSERT_EQ(Pixels(mapped), Pixels(*bm)) << c.colours << " colours";
    }
}

double Distance(PX_pixel a, PX_pixel b)
{
  const int dr = PX_GETR(a) - PX_GETR(b), dg = PX_GETG(a) - PX_GETG(b),
            db = PX_GETB(a) - PX_GETB(b);
  return std::sqrt((double)(dr * dr + dg * dg + db * db));
}

// On real images, mapping through the tree costs little more than the nearest palette entry
// (mean distances in RGB, out of 441).
TEST(Octree, TreeMappingErrorIsCloseToTheNearestEntryOnRealImages)
{
  const std::string suite = std::string(QV_PNG_SAMPLES) + "/pngsuite/";
  for (const char* name : {"basn2c08.png", "basn2c16.png", "basn3p08.png", "basn6a08.png",
                           "basn6a16.png", "ftbbn2c16.png", "ftp0n2c08.png", "ftbrn2c08.png"})
  {
    std::unique_ptr<PX_IBitmap> img(PX_LoadPNG((suite + name).c_str()));
    ASSERT_NE(img, nullptr) << name;
    const int w = img->getWidth(), h = img->getHeight();
    for (const int maxcolors : {4, 16, 64, 256})
    {
      Tree t(PX_CreateOctree(maxcolors));
      const int n = PX_BuildOctree(t.get(), img.get());
      std::vector<PX_pixel> pal(maxcolors);
      PX_ExtractOctreePalette(t.get(), pal.data());
      ExactBitmap nearest(w, h);
      CopyPixels(nearest, *img);
      PX_TestPalette(&nearest, pal.data(), n);
      double treeErr = 0, nearestErr = 0;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
          const PX_pixel c = Px(*img, x, y);
          treeErr += Distance(c, pal[PX_FindInOctree(t.get(), c)]);
          nearestErr += Distance(c, Px(nearest, x, y));
        }
      treeErr /= w * h;
      nearestErr /= w * h;
      EXPECT_LE(nearestErr, treeErr + 1e-9) << name << " " << maxcolors;
      EXPECT_LE(treeErr, 1.2 * nearestErr + 0.5) << name << " " << maxcolors;
      if (maxcolors == 256)
      {
        EXPECT_LT(treeErr, 8.0) << name;
      }
    }
  }
}

// Pruning takes the deepest reducible node first, so a palette as large as the number of distinct
// top-four-bit prefixes of an image only ever merges colours below depth four: its entries are
// exactly those prefixes. A palette as large as the top-three-bit prefixes merges no further than
// depth three: the colours of each entry share their top three bits.
TEST(Octree, PrunesTheDeepestLevelFirstOnRealImages)
{
  const std::string suite = std::string(QV_PNG_SAMPLES) + "/pngsuite/";
  for (const char* name : {"basn2c08.png", "basn6a16.png", "ftp0n2c08.png"})
  {
    std::unique_ptr<PX_IBitmap> img(PX_LoadPNG((suite + name).c_str()));
    ASSERT_NE(img, nullptr) << name;
    const auto prefix = [](PX_pixel c, int bits) {
      return (c & 0xFFFFFFu) >> (8 - bits) & (0x010101u * ((1u << bits) - 1));
    };
    for (const int bits : {4, 3})
    {
      std::set<PX_pixel> prefixes;
      for (int y = 0; y < img->getHeight(); ++y)
        for (int x = 0; x < img->getWidth(); ++x)
          prefixes.insert(prefix(Px(*img, x, y), bits));
      const int maxcolors = (int)prefixes.size();
      Tree t(PX_CreateOctree(maxcolors));
      const int n = PX_BuildOctree(t.get(), img.get());
      if (bits == 4)
      {
        EXPECT_EQ(n, maxcolors) << name;
      }
      std::vector<std::set<PX_pixel>> entry(maxcolors);
      for (int y = 0; y < img->getHeight(); ++y)
        for (int x = 0; x < img->getWidth(); ++x)
        {
          const PX_pixel c = Px(*img, x, y);
          const int i = PX_FindInOctree(t.get(), c);
          ASSERT_TRUE(i >= 0 && i < n) << name;
          entry[i].insert(prefix(c, bits));
        }
      for (int i = 0; i < n; ++i)
        EXPECT_EQ(entry[i].size(), 1u) << name << " top " << bits << " bits, entry " << i;
    }
  }
}

TEST(Octree, UnusableInputGivesNoTreeOrNoColours)
{
  EXPECT_EQ(PX_CreateOctree(0), nullptr);
  EXPECT_EQ(PX_CreateOctree(-3), nullptr);
  ExactBitmap bm(4, 4);
  FillPattern(bm, 1);
  PX_pixel pal[2] = {0xDEADBEEFu, 0xDEADBEEFu};
  EXPECT_EQ(PX_BuildPalette(&bm, pal, 0), 0);
  EXPECT_EQ(PX_BuildPalette(&bm, pal, -1), 0);
  EXPECT_EQ(pal[0], 0xDEADBEEFu);
  EXPECT_EQ(PX_BuildPalette(&bm, nullptr, 2), 0);
  EXPECT_EQ(PX_BuildOctree(nullptr, &bm), 0);
  EXPECT_EQ(PX_ExtractOctreePalette(nullptr, pal), 0);
  EXPECT_EQ(PX_FindInOctree(nullptr, 0), 0);
  PX_DestroyOctree(nullptr);

  // No bitmap, no pixel memory: nothing is added.
  NoPixelsBitmap nobits;
  Tree t(PX_CreateOctree(2));
  EXPECT_EQ(PX_BuildOctree(t.get(), nullptr), 0);
  EXPECT_EQ(PX_BuildOctree(t.get(), &nobits), 0);
  EXPECT_EQ(PX_ExtractOctreePalette(t.get(), nullptr), 0);
  EXPECT_EQ(PX_ExtractOctreePalette(t.get(), pal), 0);
  EXPECT_EQ(pal[0], 0u);
  EXPECT_EQ(PX_FindInOctree(t.get(), 0x123456), 0);

  // The palette test needs a bitmap with pixels and at least one entry.
  const std::vector<PX_pixel> before = Pixels(bm);
  const PX_pixel one = 0xFF000000u;
  PX_TestPalette(&bm, &one, 0);
  PX_TestPalette(&bm, &one, -5);
  PX_TestPalette(&bm, nullptr, 1);
  EXPECT_EQ(Pixels(bm), before);
  PX_TestPalette(nullptr, &one, 1);
  PX_TestPalette(&nobits, &one, 1);
}

// The nearest entry by squared distance wins, the first of equally near ones; the pixel takes
// the entry's whole word.
TEST(Octree, PaletteTestTakesTheFirstNearestEntry)
{
  const struct
  {
    PX_pixel pixel;
    std::vector<PX_pixel> palette;
    PX_pixel want;
  } cases[] = {
    {0xFF010101, {0xFF000000, 0xFF020202}, 0xFF000000},
    {0xFF010101, {0xFF020202, 0xFF000000}, 0xFF020202},
    {0x00FF0000, {0x11000000, 0x2200FF00, 0x33E01010}, 0x33E01010},
    {0x80402010, {0x12345678}, 0x12345678},
  };
  for (const auto& c : cases)
  {
    ExactBitmap bm(2, 1);
    bm.getBits()[0] = bm.getBits()[1] = c.pixel;
    PX_TestPalette(&bm, c.palette.data(), (int)c.palette.size());
    EXPECT_EQ(bm.getBits()[0], c.want);
    EXPECT_EQ(bm.getBits()[1], c.want);
  }
}

// Building twice adds the second image's colours to the first's, as one image of both would,
// and the palette is collected afresh.
TEST(Octree, SecondBuildAddsToTheSameTree)
{
  ExactBitmap a(16, 8), b(16, 8), both(16, 16);
  FillPattern(a, 21);
  FillPattern(b, 22);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x)
      Px(both, x, y) = Px(a, x, y), Px(both, x, y + 8) = Px(b, x, y);
  Tree t(PX_CreateOctree(20));
  PX_BuildOctree(t.get(), &a);
  std::vector<PX_pixel> first(20), second(20), together(20);
  PX_ExtractOctreePalette(t.get(), first.data());
  const int n = PX_BuildOctree(t.get(), &b);
  EXPECT_EQ(PX_ExtractOctreePalette(t.get(), second.data()), n);
  EXPECT_EQ(PX_BuildPalette(&both, together.data(), 20), n);
  EXPECT_EQ(second, together);
  EXPECT_NE(first, second);
}

}  // namespace
