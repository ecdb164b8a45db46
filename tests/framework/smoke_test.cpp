#include <gtest/gtest.h>
#include <thread>
TEST(Smoke, Runs) { int x = 0; std::thread t([&] { x = 1; }); t.join(); EXPECT_EQ(x, 1); }
