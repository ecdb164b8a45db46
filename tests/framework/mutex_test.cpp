#include "framework/base/Mutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// This thread holds m `depth` times. Another thread waits for m; this one leaves depth - 1 times,
// marks that it is about to leave the last time, and leaves. The other thread must get in, and only
// after the mark (a lock released early would let it in before).
bool ReleasedOnlyAfterTheLastLeave(QvMutex& m, int depth)
{
  std::atomic<bool> lastLeave{false};
  std::atomic<bool> inAfterLastLeave{false};
  std::thread t([&] {
    QvMutexLock lock(&m);
    inAfterLastLeave = lastLeave.load();
  });
  for (int i = 0; i < depth - 1; ++i)
    m.Leave();
  lastLeave = true;
  m.Leave();
  t.join();
  return inAfterLastLeave;
}

TEST(Mutex, IsReentrantAndReleasedAfterAsManyLeaves)
{
  const int depths[] = {1, 2, 5};
  for (int depth : depths)
  {
    QvMutex m;
    for (int i = 0; i < depth; ++i)
      m.Enter();  // a non-recursive lock would block here for depth >= 2
    EXPECT_TRUE(ReleasedOnlyAfterTheLastLeave(m, depth)) << depth;
  }
}

TEST(Mutex, GuardsNestAndANullGuardDoesNothing)
{
  QvMutex m;
  {
    QvMutexLock outer(&m);
    QvMutexLock inner(&m);
    QvMutexLock none(nullptr);
  }
  // Both guards left: another thread gets in.
  std::thread t([&] { QvMutexLock lock(&m); });
  t.join();
  m.Enter();
  EXPECT_TRUE(ReleasedOnlyAfterTheLastLeave(m, 1));
}

}  // namespace
