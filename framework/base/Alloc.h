#pragma once
// The heap entry point of the growable containers (QvHeapBuf, IMidiQueue).
//
// Every container allocates through QvRealloc so that tests can make allocations fail and check
// that a failed growth leaves the container unchanged. The hook is process-wide; swap it only while
// no other thread is growing a container. Blocks are released with free().

#include <atomic>
#include <cstddef>
#include <cstdlib>

// Same contract as realloc(ptr, size); ptr null asks for a fresh block. Never called with size 0.
typedef void* (*QvReallocFn)(void* ptr, size_t size);

inline void* QvDefaultRealloc(void* ptr, size_t size) { return realloc(ptr, size); }

inline std::atomic<QvReallocFn>& QvReallocHook()
{
  static std::atomic<QvReallocFn> hook{&QvDefaultRealloc};
  return hook;
}

// Installs fn (null restores the default) and returns the previous hook.
inline QvReallocFn QvSetReallocHook(QvReallocFn fn)
{
  return QvReallocHook().exchange(fn ? fn : &QvDefaultRealloc);
}

inline void* QvRealloc(void* ptr, size_t size)
{
  return QvReallocHook().load(std::memory_order_relaxed)(ptr, size);
}
