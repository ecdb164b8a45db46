#pragma once
// The core's clock while the benchmarks run, for figures in cycles next to nanoseconds.
//
// Why measured: virtual machines hide the cycle counters, and the time-stamp counter ticks at a
// rate of its own. A chain of dependent integer additions takes one cycle per addition on every
// x86-64 core, so timing a long one gives the clock the core actually runs at. 0 where there is no
// such chain (the cycle figures are then left out).

#include <algorithm>
#include <chrono>

inline double coreClockHz()
{
#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
  const long long kRounds = 4000000, kAddsPerRound = 16;
  double best = 0.0;
  for (int attempt = 0; attempt < 5; ++attempt)
  {
    long long x = 0, n = kRounds;
    const auto start = std::chrono::steady_clock::now();
    __asm__ volatile("1:\n\t"
                     "add $1, %0\n\tadd $1, %0\n\tadd $1, %0\n\tadd $1, %0\n\t"
                     "add $1, %0\n\tadd $1, %0\n\tadd $1, %0\n\tadd $1, %0\n\t"
                     "add $1, %0\n\tadd $1, %0\n\tadd $1, %0\n\tadd $1, %0\n\t"
                     "add $1, %0\n\tadd $1, %0\n\tadd $1, %0\n\tadd $1, %0\n\t"
                     "dec %1\n\tjnz 1b\n"
                     : "+r"(x), "+r"(n));
    const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    best = std::max(best, (double)(kRounds * kAddsPerRound) / seconds);
  }
  return best;
#else
  return 0.0;
#endif
}
