#pragma once
// Code compiled a second time, for processors that run AVX.
//
// Why: the engine's quiet runs are bound by the instructions they issue. AVX encodes the same
// SSE2 operations with three operands, which saves the register copies that two-operand code
// needs (about a tenth of the instructions), and rounds every lane exactly as SSE2 does. Fused
// multiply-add is a feature of its own, not part of AVX, so both versions compute the same bits.
//
// How: a function marked QV_TARGET_AVX is compiled for AVX, and so is everything inlined into it;
// QV_ALWAYS_INLINE makes sure of that for the code the two versions share. processorRunsAvx()
// asks once whether the processor and the operating system run AVX code.
//
// Careful: call a QV_TARGET_AVX function only when processorRunsAvx() said so. Where the compiler
// offers no such attribute (QV_AVX_CODE 0) there is only the baseline version.

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define QV_AVX_CODE 1
#define QV_TARGET_AVX __attribute__((target("avx")))
#define QV_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define QV_AVX_CODE 0
#define QV_TARGET_AVX
#define QV_ALWAYS_INLINE inline
#endif

bool processorRunsAvx();
