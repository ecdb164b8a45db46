#include "framework/base/HeapBuf.h"

#include "tests/support/FailingAlloc.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace {

TEST(HeapBuf, BlockSizeFollowsTheGrowthPolicy)
{
  // Grown to `first` (0: not), then resized to newSize.
  const struct
  {
    int granul, first, newSize;
    bool resizeDown;
    int wantAlloc;
    bool sameBlock;
  } cases[] = {
    {128, 0, 4, true, 132, false},     // step raised to the granularity
    {64, 0, 1000, true, 1500, false},  // half the new size when larger
    {4096, 0, 1, true, 4000, false},   // whole pages less a heap header
    {4096, 0, 10000, true, 12192, false},
    {4096, 0, 20000000, true, 24190880, false},  // step capped at 4 MiB
    {128, 4, 100, true, 132, true},              // fits
    {128, 4, 200, true, 328, false},
    {128, 1000, 600, false, 1500, true},     // shrinking keeps the block ...
    {128, 1000, 800, true, 1500, true},      // ... unless below half the allocation
    {4096, 10000, 5000, true, 12192, true},  // ... and below allocation - 4 granules
    {128, 1000, 100, true, 228, false},
  };
  for (const auto& c : cases)
  {
    QvHeapBuf b(c.granul);
    unsigned char* before = static_cast<unsigned char*>(b.Resize(c.first));
    if (before)
      memset(before, 0x5A, (size_t)c.first);
    unsigned char* after = static_cast<unsigned char*>(b.Resize(c.newSize, c.resizeDown));
    SCOPED_TRACE(testing::Message() << c.granul << ": " << c.first << " -> " << c.newSize);
    EXPECT_EQ(b.GetSize(), c.newSize);
    EXPECT_EQ(b.GetAlloc(), c.wantAlloc);
    if (c.sameBlock)
    {
      EXPECT_EQ(after, before);
    }
    if (before)
    {
      EXPECT_EQ(after[(c.first < c.newSize ? c.first : c.newSize) - 1], 0x5A);
    }
  }
}

TEST(HeapBuf, ResizeToTheSameSizeCallsNoAllocator)
{
  for (int size : {0, 1, 300})
  {
    QvHeapBuf b(128);
    void* p = b.Resize(size);
    FailingAlloc alloc(FailingAlloc::kCount);
    EXPECT_EQ(b.Resize(size), p);
    EXPECT_EQ(alloc.Calls(), 0);
    EXPECT_EQ(p == nullptr, size == 0);
  }
}

TEST(HeapBuf, FailedOrInvalidResizeLeavesTheBufferUnchanged)
{
  const struct
  {
    FailingAlloc::Mode mode;
    int newSize;
  } cases[] = {
    {FailingAlloc::kCount, -1},
    {FailingAlloc::kCount, INT_MAX},  // its allocation would overflow an int
    {FailingAlloc::kFailAll, 5000},
  };
  for (const auto& c : cases)
  {
    QvHeapBuf b(128);
    char* p = static_cast<char*>(b.Resize(10));
    memcpy(p, "0123456789", 10);
    FailingAlloc hook(c.mode);
    EXPECT_EQ(b.Resize(c.newSize), p) << c.newSize;
    EXPECT_EQ(b.GetSize(), 10);
    EXPECT_EQ(b.GetAlloc(), 138);
    EXPECT_EQ(memcmp(b.Get(), "0123456789", 10), 0);
  }
}

TEST(HeapBuf, RefusedReallocFallsBackToAFreshBlockKeepingTheBytes)
{
  QvHeapBuf b(128);
  memcpy(b.Resize(10), "0123456789", 10);
  FailingAlloc hook(FailingAlloc::kFailRealloc);
  char* q = static_cast<char*>(b.Resize(5000));
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(b.GetSize(), 5000);
  EXPECT_EQ(hook.Calls(), 2);
  EXPECT_EQ(memcmp(q, "0123456789", 10), 0);
}

TEST(TypedBuf, AddAppendsOrFailsWithoutChange)
{
  // Two values in a block of four; four adds.
  const struct
  {
    FailingAlloc::Mode mode;
    int wantSize;
  } cases[] = {{FailingAlloc::kCount, 6}, {FailingAlloc::kFailAll, 4}};
  for (const auto& c : cases)
  {
    QvTypedBuf<double> b(16);
    b.Resize(2);
    b.Get()[0] = 1.0;
    b.Get()[1] = 2.0;
    FailingAlloc hook(c.mode);
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(b.Add(3.0 + i) != nullptr, 2 + i < c.wantSize) << i;
    ASSERT_EQ(b.GetSize(), c.wantSize);
    for (int i = 0; i < c.wantSize; ++i)
      EXPECT_EQ(b.Get()[i], 1.0 + i);
  }
}

TEST(TypedBuf, AddOfAnElementOfItsOwnBufferCopiesTheValue)
{
  QvTypedBuf<int> b(4);
  b.Add(42);
  for (int i = 0; i < 200; ++i)  // grows several times; each growth may move the block
    ASSERT_NE(b.Add(b.Get()[0]), nullptr);
  for (int i = 0; i < b.GetSize(); ++i)
    ASSERT_EQ(b.Get()[i], 42);
}

TEST(TypedBuf, ElementCountsThatOverflowFail)
{
  for (int count : {-1, INT_MIN, INT_MAX / 8 + 1, INT_MAX})
  {
    QvTypedBuf<double> b;
    double* p = b.Resize(3);
    EXPECT_EQ(b.Resize(count), p) << count;
    EXPECT_EQ(b.GetSize(), 3) << count;
  }
}

}  // namespace
