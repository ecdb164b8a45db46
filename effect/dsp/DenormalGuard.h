#pragma once
// Flushes denormal numbers to zero for the lifetime of the guard, then restores the caller's
// floating-point state.
//
// Why: the filters and envelopes decay exponentially towards zero. Left alone, a quiet input drives
// their states into the denormal range, where every operation costs many times a normal one, so
// silence would cost more than noise. Hosts do not agree on the state they call in with, so each
// processing block sets flush-to-zero and denormals-are-zero itself.
//
// Careful: the guard changes the SSE control word of the calling thread only, and must live on
// the stack of the block it covers; the whole block (and nothing after it) runs flushed. Rounding
// mode and exception masks are left as the host set them.

#if defined(__SSE__) || defined(__x86_64__) || defined(_M_X64)
#include <xmmintrin.h>
#define QV_HAVE_MXCSR 1
#else
#define QV_HAVE_MXCSR 0
#endif

class DenormalGuard
{
public:
#if QV_HAVE_MXCSR
  DenormalGuard()
    : mSaved(_mm_getcsr())
  {
    _mm_setcsr(mSaved | kFlushToZero | kDenormalsAreZero);
  }
  ~DenormalGuard() { _mm_setcsr(mSaved); }
#else
  DenormalGuard() {}
  ~DenormalGuard() {}
#endif

  DenormalGuard(const DenormalGuard&) = delete;
  DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
#if QV_HAVE_MXCSR
  static const unsigned kFlushToZero = 0x8000;       // results below the normal range become 0
  static const unsigned kDenormalsAreZero = 0x0040;  // denormal inputs read as 0
  unsigned mSaved;
#endif
};
