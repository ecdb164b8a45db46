#include "effect/AvxCode.h"

bool processorRunsAvx()
{
#if QV_AVX_CODE
  // The compiler's run-time library checks the processor's flag and that the operating system
  // saves the AVX registers.
  static const bool runsAvx = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx") != 0;
  }();
  return runsAvx;
#else
  return false;
#endif
}
