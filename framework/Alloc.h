#pragma once
// The heap entry point of the growable containers (WDL_HeapBuf, IMidiQueue).
//
// Every container allocates through WDL_Realloc so that tests can make allocations fail and check
// that a failed growth leaves the container unchanged. The hook is process-wide; swap it only while
// no other thread is growing a container. Blocks are released with free().

#include <atomic>
#include <cstddef>
#include <cstdlib>

// Same contract as realloc(ptr, size); ptr null asks for a fresh block. Never called with size 0.
typedef void* (*WDL_ReallocFn)(void* ptr, size_t size);

inline void* WDL_DefaultRealloc(void* ptr, size_t size) { return realloc(ptr, size); }

inline std::atomic<WDL_ReallocFn>& WDL_ReallocHook()
{
  static std::atomic<WDL_ReallocFn> hook{&WDL_DefaultRealloc};
  return hook;
}

// Installs fn (null restores the default) and returns the previous hook.
inline WDL_ReallocFn WDL_SetReallocHook(WDL_ReallocFn fn)
{
  return WDL_ReallocHook().exchange(fn ? fn : &WDL_DefaultRealloc);
}

inline void* WDL_Realloc(void* ptr, size_t size)
{
  return WDL_ReallocHook().load(std::memory_order_relaxed)(ptr, size);
}
