#pragma once

// Base types and platform macros of the VST 2.4 binary interface.
//
// Every field and callback argument of the interface is either a 32-bit integer or a pointer-sized
// integer; the two typedefs below carry those widths on every target. x64 has a single calling
// convention, so callbacks are plain C function pointers.

#include <stddef.h>
#include <stdint.h>

typedef int32_t VstInt32;    // 32-bit integer of the interface
typedef intptr_t VstIntPtr;  // pointer-sized integer of the interface (results, `value` arguments)

// Marks the plug-in's exported entry points.
#if defined(_WIN32)
#define VST_EXPORT __declspec(dllexport)
#else
#define VST_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
#define VST_EXTERN_C extern "C"
#define VST_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define VST_EXTERN_C
#define VST_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

// Layout checks are pinned for 64-bit targets, the only ones this binding is built for.
#if UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
#define VST_ABI_64 1
#else
#define VST_ABI_64 0
#endif

// Four-character code as the interface packs it: the first character in the highest byte.
#define VST_FOURCC(a, b, c, d)                                                                     \
  ((VstInt32)(((uint32_t)(a) << 24) | ((uint32_t)(b) << 16) | ((uint32_t)(c) << 8) | (uint32_t)(d)))
