// PNG decoding compared word for word with an independent decoder over the sample images of
// libpng's source: every format, interlaced and not, from memory and from a file; and the
// malformed samples, which must be refused or decoded exactly as the other decoder does.
#include "raster/px_png.h"

#include "tests/support/png_test_util.h"

#include <lodepng.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

using namespace pngtest;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> pngsIn(const std::string& dir)
{
  std::vector<std::string> files;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir, ec))
    if (e.is_regular_file() && e.path().extension() == ".png")
      files.push_back(e.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

// The other decoder's result as pixel words, or empty when it refuses the data.
std::vector<PX_pixel> referenceDecode(const Bytes& png, unsigned* w, unsigned* h)
{
  unsigned char* rgba = nullptr;
  std::vector<PX_pixel> px;
  if (lodepng_decode32(&rgba, w, h, png.data(), png.size()) == 0)
  {
    for (size_t i = 0; i < (size_t)*w * *h; ++i)
    {
      const unsigned char* p = rgba + i * 4;
      px.push_back(PX_RGBA(p[0], p[1], p[2], p[3]));
    }
  }
  free(rgba);
  return px;
}

const std::string kSamples = QV_PNG_SAMPLES;

}  // namespace

// No decode may ask for more than 64 MB: a tiny file whose chunk claims a gigabyte must not turn
// into an allocation of that size. (Read by AddressSanitizer at start-up; an oversized request
// aborts the test.)
extern "C" const char* __asan_default_options() { return "max_allocation_size_mb=64"; }

TEST(PngReference, DecodesEverySampleAsTheIndependentDecoderDoes)
{
  std::vector<std::string> files = pngsIn(kSamples + "/pngsuite");
  for (const std::string& f : pngsIn(kSamples + "/pngsuite/interlaced"))
    files.push_back(f);
  for (const std::string& f : pngsIn(kSamples + "/testpngs"))
    files.push_back(f);
  ASSERT_GT(files.size(), 150u) << "sample images missing; run scripts/setup.sh";

  for (const std::string& file : files)
  {
    SCOPED_TRACE(file);
    const Bytes png = readFile(file);
    unsigned w = 0, h = 0;
    const std::vector<PX_pixel> expected = referenceDecode(png, &w, &h);
    ASSERT_FALSE(expected.empty());

    std::unique_ptr<PX_IBitmap> fromMemory(PX_LoadPNGFromMemory(png.data(), (int)png.size()));
    ASSERT_NE(fromMemory, nullptr);
    EXPECT_EQ(fromMemory->getWidth(), (int)w);
    EXPECT_EQ(fromMemory->getHeight(), (int)h);
    EXPECT_EQ(Pixels(*fromMemory), expected);

    std::unique_ptr<PX_IBitmap> fromFile(PX_LoadPNG(file.c_str()));
    ASSERT_NE(fromFile, nullptr);
    EXPECT_EQ(Pixels(*fromFile), expected);
  }
}

TEST(PngReference, MalformedSamplesAreRefusedOrDecodedAlike)
{
  const std::vector<std::string> files = pngsIn(kSamples + "/testpngs/crashers");
  ASSERT_GT(files.size(), 10u) << "malformed samples missing; run scripts/setup.sh";
  for (const std::string& file : files)
  {
    SCOPED_TRACE(file);
    const Bytes png = readFile(file);
    std::unique_ptr<PX_IBitmap> fromMemory(PX_LoadPNGFromMemory(png.data(), (int)png.size()));
    std::unique_ptr<PX_IBitmap> fromFile(PX_LoadPNG(file.c_str()));
    EXPECT_EQ(fromMemory == nullptr, fromFile == nullptr);
    if (!fromMemory)
      continue;
    unsigned w = 0, h = 0;
    const std::vector<PX_pixel> expected = referenceDecode(png, &w, &h);
    if (!expected.empty())
    {
      EXPECT_EQ(Pixels(*fromMemory), expected);
    }
    if (fromFile)
    {
      EXPECT_EQ(Pixels(*fromFile), Pixels(*fromMemory));
    }
  }
}
