// PNG decoding: the pixel words every layout becomes, the result-bitmap policy, and the refusal of
// damaged, truncated and oversized input.
#include "raster/px_png.h"

#include "tests/support/png_test_util.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pngtest;

namespace {

std::string dataFile(const char* name) { return std::string(QV_TEST_DATA) + "/png/" + name; }

// rgba_32x16.png: pixel (x, y) = (r 8x, g 16y, b 4(x + y), a 255 - 4x).
std::vector<PX_pixel> rgbaPattern()
{
  std::vector<PX_pixel> px;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x)
      px.push_back(PX_RGBA(8 * x, 16 * y, 4 * (x + y), 255 - 4 * x));
  return px;
}

std::unique_ptr<PX_IBitmap> decode(const Bytes& png, PX_IBitmap* into = nullptr)
{
  PX_IBitmap* bm = PX_LoadPNGFromMemory(png.data(), (int)png.size(), into);
  return std::unique_ptr<PX_IBitmap>(into ? nullptr : bm);
}

}  // namespace

TEST(PngDecode, TurnsEveryLayoutIntoStraightArgbWords)
{
  struct Case
  {
    const char* name;
    uint32_t width;
    int depth, colour;
    Bytes row, plte, trns;
    std::vector<PX_pixel> expected;
  };
  const Case cases[] = {
    {"1-bit grey",
     8,
     1,
     0,
     {0, 0xA5},
     {},
     {},
     {0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFF000000, 0xFFFFFFFF, 0xFF000000,
      0xFFFFFFFF}},
    {"2-bit grey scales to 8 bits",
     4,
     2,
     0,
     {0, 0x1B},
     {},
     {},
     {0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF}},
    {"grey with a tRNS key gains alpha",
     2,
     8,
     0,
     {0, 0x40, 0x41},
     {},
     {0x00, 0x40},
     {0x00404040, 0xFF414141}},
    {"grey with alpha", 1, 8, 4, {0, 0x30, 0x90}, {}, {}, {0x90303030}},
    {"RGB gains opaque alpha", 1, 8, 2, {0, 1, 2, 3}, {}, {}, {0xFF010203}},
    {"RGBA keeps its alpha", 1, 8, 6, {0, 1, 2, 3, 4}, {}, {}, {0x04010203}},
    {"16-bit RGB keeps the high bytes",
     1,
     16,
     2,
     {0, 0x12, 0x34, 0xAB, 0xCD, 0xFF, 0x01},
     {},
     {},
     {0xFF12ABFF}},
    {"16-bit RGB key compares all 16 bits",
     2,
     16,
     2,
     {0, 0x12, 0x34, 0xAB, 0xCD, 0xFF, 0x01, 0x12, 0x35, 0xAB, 0xCD, 0xFF, 0x01},
     {},
     {0x12, 0x34, 0xAB, 0xCD, 0xFF, 0x01},
     {0x0012ABFF, 0xFF12ABFF}},
    {"16-bit grey with alpha", 1, 16, 4, {0, 0x80, 0x01, 0x7F, 0xFF}, {}, {}, {0x7F808080}},
    {"palette without tRNS is opaque",
     2,
     8,
     3,
     {0, 1, 0},
     {10, 20, 30, 40, 50, 60},
     {},
     {0xFF28323C, 0xFF0A141E}},
    {"palette alpha from the tRNS table",
     3,
     2,
     3,
     {0, 0x18},
     {10, 20, 30, 40, 50, 60, 70, 80, 90},
     {0x00, 0x80},
     {0x000A141E, 0x8028323C, 0xFF46505A}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    const Bytes png = makePng(c.width, 1, c.depth, c.colour, c.row, c.plte, c.trns);
    auto bm = decode(png);
    ASSERT_NE(bm, nullptr);
    EXPECT_EQ(Pixels(*bm), c.expected);
  }
}

TEST(PngDecode, FillsTheBitmapPassedInOrANewOne)
{
  const Bytes png = readFile(dataFile("rgba_32x16.png"));
  ASSERT_FALSE(png.empty());
  struct Case
  {
    const char* name;
    std::unique_ptr<PX_IBitmap> bitmap;
  };
  Case cases[] = {
    {"none: a new heap bitmap", nullptr},
    {"a 10 x 10 heap bitmap is resized", std::make_unique<PX_MemBitmap>(10, 10, 4)},
    {"rows exactly the width", std::make_unique<PX_MemBitmap>(3, 3, 1)},
    {"a bitmap stored bottom-up", std::make_unique<FlippedBitmap>(0, 0)},
  };
  for (Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    PX_IBitmap* got = PX_LoadPNGFromMemory(png.data(), (int)png.size(), c.bitmap.get());
    ASSERT_NE(got, nullptr);
    std::unique_ptr<PX_IBitmap> made(c.bitmap ? nullptr : got);
    if (c.bitmap)
    {
      EXPECT_EQ(got, c.bitmap.get());
    }
    EXPECT_EQ(got->getWidth(), 32);
    EXPECT_EQ(got->getHeight(), 16);
    EXPECT_EQ(Pixels(*got), rgbaPattern());
  }
}

TEST(PngDecode, RefusesDamagedTruncatedAndOversizedInput)
{
  const Bytes good = readFile(dataFile("rgba_32x16.png"));
  ASSERT_FALSE(good.empty());
  const Bytes grey1 = {0, 0};
  Bytes badCrc = good;
  badCrc[good.size() - 13] ^= 1;  // the IDAT's CRC (IEND is the last 12 bytes)
  Bytes noIdat(good.begin(), good.begin() + 33);
  appendChunk(noIdat, "IEND", {});

  struct Case
  {
    const char* name;
    Bytes data;
  };
  const Case cases[] = {
    {"nothing", {}},
    {"seven bytes", Bytes(good.begin(), good.begin() + 7)},
    {"no PNG signature", Bytes(good.begin() + 1, good.end())},
    {"the signature alone", Bytes(good.begin(), good.begin() + 8)},
    {"cut inside the header", Bytes(good.begin(), good.begin() + 20)},
    {"cut inside the image data", Bytes(good.begin(), good.begin() + (long)good.size() / 2)},
    {"image data too short", readFile(dataFile("short_idat.png"))},
    {"damaged deflate data", readFile(dataFile("corrupt_idat.png"))},
    {"image data CRC wrong", badCrc},
    {"no image data", noIdat},
    {"palette image without a palette", makePng(1, 1, 8, 3, {0, 0})},
    {"wider than 32767", makePng(32768, 1, 1, 0, Bytes(1 + 4096))},
    {"taller than 32767", makePng(1, 40000, 1, 0, Bytes(2 * 40000))},
    {"more pixels than a bitmap holds", makePng(30000, 30000, 1, 0, grey1)},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PX_LoadPNGFromMemory(c.data.empty() ? nullptr : c.data.data(), (int)c.data.size()),
              nullptr);
    // A bitmap passed in is left exactly as it was.
    PX_MemBitmap into(5, 7, 4);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 5; ++x)
        into.getBits()[y * into.getRowSpan() + x] = 0x01020304u * (PX_pixel)(y * 5 + x + 1);
    const std::vector<PX_pixel> before = Pixels(into);
    EXPECT_EQ(
      PX_LoadPNGFromMemory(c.data.empty() ? nullptr : c.data.data(), (int)c.data.size(), &into),
      nullptr);
    EXPECT_EQ(into.getWidth(), 5);
    EXPECT_EQ(into.getHeight(), 7);
    EXPECT_EQ(Pixels(into), before);
  }
  EXPECT_EQ(PX_LoadPNGFromMemory(good.data(), -1), nullptr);
}

// Truncation anywhere yields null or, once the image data is complete, the whole image: never a
// bitmap partly decoded from missing bytes.
TEST(PngDecode, EveryPrefixOfAFileGivesNullOrTheWholeImage)
{
  std::vector<std::string> files = {dataFile("rgba_32x16.png")};
  const std::string suite = std::string(QV_PNG_SAMPLES) + "/pngsuite";
#ifdef _WIN32
  // Every refused prefix unwinds through libpng's error jump, which is slow under wine.
  for (const char* name : {"ibasn6a08.png"})
#else
  for (const char* name : {"basn0g01.png", "basn0g16.png", "basn2c16.png", "basn3p04.png",
                           "basn4a08.png", "basn6a16.png", "ftbbn3p08.png", "ibasn0g08.png",
                           "ibasn2c16.png", "ibasn3p08.png", "ibasn6a08.png", "ftp1n3p08.png"})
#endif
    files.push_back(suite + "/" + name);

  for (const std::string& file : files)
  {
    SCOPED_TRACE(file);
    const Bytes png = readFile(file);
    ASSERT_FALSE(png.empty());
    auto whole = decode(png);
    ASSERT_NE(whole, nullptr);
    const std::vector<PX_pixel> expected = Pixels(*whole);
    for (size_t len = 0; len < png.size(); ++len)
    {
      std::unique_ptr<PX_IBitmap> bm(PX_LoadPNGFromMemory(png.data(), (int)len));
      if (!bm)
        continue;
      ASSERT_EQ(Pixels(*bm), expected) << "prefix of " << len << " bytes";
    }
  }
}
