// PX_SysBitmap as a DIB section: its device context and its bits are the same pixels, rows
// top-down, the row span the allocated width.
#include "raster/px.h"

#include <gtest/gtest.h>

namespace {

TEST(SysBitmapDIB, DeviceContextAndBitsAgree)
{
  const struct
  {
    int w, h;
  } sizes[] = {{5, 5}, {3, 3}, {9, 2}, {64, 33}};
  PX_SysBitmap bm(1, 1);
  for (const auto& s : sizes)
  {
    bm.resize(s.w, s.h);
    ASSERT_NE(bm.getDC(), nullptr);
    ASSERT_NE(bm.getBits(), nullptr);
    const int span = bm.getRowSpan();
    EXPECT_EQ(span % 4, 0);
    EXPECT_GE(span, s.w);
    HDC dc = bm.getDC();

    // Bits written by us are read by GDI at the same logical position (top-down rows).
    for (int y = 0; y < s.h; ++y)
      for (int x = 0; x < s.w; ++x)
        bm.getBits()[y * span + x] = PX_RGBA(x * 3, y * 5, 200, 255);
    GdiFlush();
    for (int y = 0; y < s.h; ++y)
      for (int x = 0; x < s.w; ++x)
        ASSERT_EQ(GetPixel(dc, x, y), RGB(x * 3, y * 5, 200))
          << s.w << "x" << s.h << " at " << x << "," << y;

    // Pixels GDI writes show in the bits.
    SetPixel(dc, s.w - 1, s.h - 1, RGB(1, 2, 3));
    SetPixel(dc, 0, 0, RGB(250, 128, 7));
    GdiFlush();
    EXPECT_EQ(bm.getBits()[(s.h - 1) * span + s.w - 1] & 0xFFFFFFu, 0x010203u);
    EXPECT_EQ(bm.getBits()[0] & 0xFFFFFFu, 0xFA8007u);

    // BitBlt out of the DC into a second bitmap copies the same picture.
    PX_SysBitmap copy(s.w, s.h);
    ASSERT_TRUE(BitBlt(copy.getDC(), 0, 0, s.w, s.h, dc, 0, 0, SRCCOPY));
    GdiFlush();
    for (int y = 0; y < s.h; ++y)
      for (int x = 0; x < s.w; ++x)
        ASSERT_EQ(copy.getBits()[y * copy.getRowSpan() + x] & 0xFFFFFFu,
                  bm.getBits()[y * span + x] & 0xFFFFFFu);
  }
}

TEST(SysBitmapDIB, SectionIsKeptWhileTheSizeFits)
{
  PX_SysBitmap bm(5, 5);
  PX_pixel* bits = bm.getBits();
  EXPECT_EQ(bm.getRowSpan(), 8);
  EXPECT_TRUE(bm.resize(3, 3));
  EXPECT_EQ(bm.getBits(), bits);
  EXPECT_EQ(bm.getRowSpan(), 8);
  EXPECT_TRUE(bm.resize(9, 2));
  EXPECT_EQ(bm.getRowSpan(), 12);
  EXPECT_FALSE(bm.resize(40000, 10));
  EXPECT_EQ(bm.getBits(), nullptr);
  EXPECT_EQ(bm.getWidth(), 0);
  EXPECT_NE(bm.getDC(), nullptr);
}

}  // namespace
