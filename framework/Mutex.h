#pragma once
// WDL_Mutex: a re-entrant lock. The thread that holds it may enter it again; it is released after
// as many Leave calls as Enter calls. WDL_MutexLock is the scoped form used throughout.
//
// On Windows the mutex is exactly one critical section; elsewhere a recursive pthread mutex.

#if defined(_WIN32)
#include "framework/Mutex_win.h"
#else
#include "framework/Mutex_posix.h"
#endif

// Holds a WDL_Mutex for its lifetime. A guard built with a null pointer does nothing.
class WDL_MutexLock
{
public:
  explicit WDL_MutexLock(WDL_Mutex* m) : mMutex(m)
  {
    if (mMutex)
      mMutex->Enter();
  }
  ~WDL_MutexLock()
  {
    if (mMutex)
      mMutex->Leave();
  }

  WDL_MutexLock(const WDL_MutexLock&) = delete;
  WDL_MutexLock& operator=(const WDL_MutexLock&) = delete;

private:
  WDL_Mutex* mMutex;
};
