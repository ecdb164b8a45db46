// Heap and system bitmaps: row spans, alignment, growth, and sizes that cannot be had.
#include "raster/px.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(MemBitmap, RowSpanFollowsTheLineAlignment)
{
  struct Case
  {
    int w;
    unsigned int align;
    int span;
  } cases[] = {{10, 4, 12}, {12, 4, 12}, {10, 0, 10},  {10, 1, 10}, {9, 6, 10},
               {9, 2, 10},  {3, 64, 16}, {17, 64, 32}, {1, 8, 8},   {7, 3, 7}};
  for (const auto& c : cases)
  {
    PX_MemBitmap bm(c.w, 3, c.align);
    EXPECT_EQ(bm.getRowSpan(), c.span) << c.w << " align " << c.align;
    EXPECT_EQ((uintptr_t)bm.getBits() % 64, 0u);
  }
}

TEST(MemBitmap, BlockGrowsWithHeadroomAndNeverShrinksUntilEmpty)
{
  PX_MemBitmap bm(10, 3, 4);
  EXPECT_EQ(bm.getAllocSize(), 144u);
  struct Step
  {
    int w, h;
    bool changed;
    size_t alloc;
  } steps[] = {{10, 10, true, 600},   {20, 20, true, 2000}, {10, 10, true, 2000},
               {10, 10, false, 2000}, {0, 0, true, 0},      {-4, -1, false, 0},
               {5, 5, true, 160}};
  for (const auto& s : steps)
  {
    EXPECT_EQ(bm.resize(s.w, s.h), s.changed) << s.w << "x" << s.h;
    EXPECT_EQ(bm.getAllocSize(), s.alloc) << s.w << "x" << s.h;
    EXPECT_EQ(bm.getBits() != nullptr, s.alloc != 0);
  }
}

// Sizes over 32767 in either direction, or whose pixels would not fit, give an empty bitmap with
// no storage, never a short buffer; negative sizes count as 0, and a size without pixels is 0 x 0.
TEST(MemBitmap, SizesThatCannotBeHadLeaveAnEmptyBitmap)
{
  struct Case
  {
    int w, h;
  } cases[] = {{32768, 1}, {1, 32768}, {INT32_MAX, INT32_MAX}, {65536, 65536}, {1 << 30, 4}};
  for (const auto& c : cases)
  {
    PX_MemBitmap fresh(c.w, c.h, 4);
    EXPECT_EQ(fresh.getBits(), nullptr) << c.w << "x" << c.h;
    EXPECT_EQ(fresh.getWidth(), 0);
    EXPECT_EQ(fresh.getHeight(), 0);

    PX_MemBitmap used(4, 4, 4);
    EXPECT_FALSE(used.resize(c.w, c.h)) << c.w << "x" << c.h;
    EXPECT_EQ(used.getBits(), nullptr);
    EXPECT_EQ(used.getWidth(), 0);
    EXPECT_EQ(used.getHeight(), 0);
  }
  // A size without pixels leaves no block and no size.
  for (const auto& c : {Case{-5, 7}, Case{7, 0}, Case{0, 3}})
  {
    PX_MemBitmap none(c.w, c.h, 4);
    EXPECT_EQ(none.getBits(), nullptr);
    EXPECT_EQ(none.getWidth(), 0) << c.w << "x" << c.h;
    EXPECT_EQ(none.getHeight(), 0) << c.w << "x" << c.h;
    PX_MemBitmap used(4, 4, 4);
    EXPECT_TRUE(used.resize(c.w, c.h));
    EXPECT_EQ(used.getBits(), nullptr);
    EXPECT_EQ(used.getWidth(), 0) << c.w << "x" << c.h;
    EXPECT_EQ(used.getHeight(), 0) << c.w << "x" << c.h;
  }

  PX_MemBitmap edge(32767, 1, 4);
  EXPECT_NE(edge.getBits(), nullptr);
  EXPECT_EQ(edge.getRowSpan(), 32768);
}

TEST(SysBitmap, RowSpanIsTheAllocatedWidthKeptWhileTheSizeFits)
{
  PX_SysBitmap bm(5, 5);
  struct Step
  {
    int w, h;
    bool changed;
    int span;
  } steps[] = {{5, 5, false, 8},  {3, 3, true, 8},   {8, 5, true, 8},      {9, 2, true, 12},
               {12, 2, true, 12}, {12, 3, true, 12}, {40000, 2, false, 0}, {2, 2, true, 4}};
  ASSERT_NE(bm.getBits(), nullptr);
  for (const auto& s : steps)
  {
    EXPECT_EQ(bm.resize(s.w, s.h), s.changed) << s.w << "x" << s.h;
    EXPECT_EQ(bm.getRowSpan(), s.span) << s.w << "x" << s.h;
    EXPECT_EQ(bm.getBits() != nullptr, s.span != 0);
    if (bm.getBits())
    {
      // Every pixel of the current size is writable.
      for (int y = 0; y < bm.getHeight(); ++y)
        for (int x = 0; x < bm.getWidth(); ++x)
          bm.getBits()[y * bm.getRowSpan() + x] = 0x12345678u;
    }
  }
  EXPECT_FALSE(bm.isFlipped());
}

}  // namespace
