#pragma once
// Test allocator for the containers: counts heap calls and refuses those it is told to refuse.
// Installed for the lifetime of the object; tests using it run on one thread.

#include "framework/base/Alloc.h"

#include <cstddef>
#include <cstdlib>

class FailingAlloc
{
public:
  enum Mode
  {
    kCount,        // allocate normally, only count
    kFailRealloc,  // refuse growing an existing block; fresh blocks succeed
    kFailAll       // refuse every request
  };

  explicit FailingAlloc(Mode mode = kCount)
  {
    sMode = mode;
    sCalls = 0;
    mPrev = QvSetReallocHook(&Hook);
  }
  ~FailingAlloc() { QvSetReallocHook(mPrev); }

  void SetMode(Mode mode) { sMode = mode; }
  int Calls() const { return sCalls; }

private:
  static void* Hook(void* p, size_t n)
  {
    ++sCalls;
    if (sMode == kFailAll || (sMode == kFailRealloc && p))
      return nullptr;
    return realloc(p, n);
  }

  static inline Mode sMode = kCount;
  static inline int sCalls = 0;
  QvReallocFn mPrev;
};
