// PNG resources of the program's own module: compiled in with windres on Windows, linked in as
// registered byte arrays natively.
#include "raster/px_png.h"

#include "tests/support/png_test_util.h"

#include <gtest/gtest.h>

using namespace pngtest;

namespace {

PX_ModuleHandle ownModule()
{
#ifdef _WIN32
  return GetModuleHandleA(nullptr);
#else
  return nullptr;
#endif
}

}  // namespace

TEST(PngResource, LoadsOnlyWholeImagesFromTheModule)
{
  struct Case
  {
    const char* name;
    int id;
    bool loads;
  };
  const Case cases[] = {
    {"a good image", 101, true},        {"the id's high bits are ignored", 101 | 0x30000, true},
    {"damaged image data", 102, false}, {"shorter than a PNG signature", 103, false},
    {"no such resource", 104, false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    std::unique_ptr<PX_IBitmap> bm(PX_LoadPNGFromResource(ownModule(), c.id));
    ASSERT_EQ(bm != nullptr, c.loads);
    if (!bm)
      continue;
    EXPECT_EQ(bm->getWidth(), 32);
    EXPECT_EQ(bm->getHeight(), 16);
    // Pixel (x, y) = (r 8x, g 16y, b 4(x + y), a 255 - 4x).
    EXPECT_EQ(Pixels(*bm)[5 * 32 + 7], PX_RGBA(56, 80, 48, 227));
  }
}

TEST(PngResource, DecodesIntoTheBitmapPassedIn)
{
  PX_MemBitmap into(3, 3, 4);
  EXPECT_EQ(PX_LoadPNGFromResource(ownModule(), 101, &into), &into);
  EXPECT_EQ(into.getWidth(), 32);
  EXPECT_EQ(PX_LoadPNGFromResource(ownModule(), 102, &into), nullptr);
}
