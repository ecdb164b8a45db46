#include "effect/dsp/AvxCode.h"

VectorCode processorVectorCode()
{
#if QV_AVX_CODE
  // The compiler's run-time library checks the processor's flags and that the operating system
  // saves the registers of each set.
  static const VectorCode code = [] {
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("avx"))
      return VectorCode::kBaseline;
    if (!__builtin_cpu_supports("avx512f") || !__builtin_cpu_supports("avx512vl"))
      return VectorCode::kAvx;
    return VectorCode::kAvx512;
  }();
  return code;
#else
  return VectorCode::kBaseline;
#endif
}
