#pragma once
// Code compiled again, for processors that run AVX, and for those that also run AVX-512.
//
// Why: the engine's quiet runs are bound by the instructions they issue. AVX encodes the same
// SSE2 operations with three operands, which saves the register copies that two-operand code
// needs (about a tenth of the instructions), and rounds every lane exactly as SSE2 does. AVX-512
// (with its 128-bit forms, AVX-512VL) encodes them once more with 32 vector registers instead of
// 16: the quiet runs then keep all their state in registers, where the other versions keep part of
// it on the stack and load and store it every sample.
//
// How: a function marked QV_TARGET_AVX (QV_TARGET_AVX512) is compiled for AVX (AVX-512), and so is
// everything inlined into it; QV_ALWAYS_INLINE makes sure of that for the code the versions share.
// processorVectorCode() asks once which versions the processor and the operating system run.
//
// Careful: every version computes the same bits only because nothing contracts into fused
// multiply-adds: AVX-512 has them, and the engine's build forbids the contraction
// (-ffp-contract=off). Call a version only when processorVectorCode() allows it. Where the
// compiler offers no such attribute (QV_AVX_CODE 0) there is only the baseline version.

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define QV_AVX_CODE 1
#define QV_TARGET_AVX __attribute__((target("avx")))
#define QV_TARGET_AVX512 __attribute__((target("avx512f,avx512vl")))
#define QV_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define QV_AVX_CODE 0
#define QV_TARGET_AVX
#define QV_TARGET_AVX512
#define QV_ALWAYS_INLINE inline
#endif

// The versions in the order of the instruction sets they need: each runs where the next does.
enum class VectorCode
{
  kBaseline,
  kAvx,
  kAvx512,
};

// The last version the processor runs.
VectorCode processorVectorCode();
