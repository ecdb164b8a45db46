#include "framework/base/Mutex.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// Several threads update shared state under nested guards; no update may be lost and the race
// detector must find nothing.
TEST(MutexContention, NestedGuardsSerialiseEveryUpdate)
{
  struct Case
  {
    int threads;
    int iterations;
  } cases[] = {{2, 20000}, {8, 5000}};
  for (const Case& c : cases)
  {
    QvMutex m;
    long long counter = 0;
    long long shadow = 0;
    std::vector<std::thread> pool;
    for (int t = 0; t < c.threads; ++t)
      pool.emplace_back([&] {
        for (int i = 0; i < c.iterations; ++i)
        {
          QvMutexLock outer(&m);
          ++counter;
          QvMutexLock inner(&m);
          shadow = counter;
        }
      });
    for (std::thread& t : pool)
      t.join();
    EXPECT_EQ(counter, (long long)c.threads * c.iterations);
    EXPECT_EQ(shadow, counter);
  }
}

}  // namespace
