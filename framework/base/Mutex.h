#pragma once
// QvMutex: a re-entrant lock. The thread that holds it may enter it again; it is released after
// as many Leave calls as Enter calls. QvMutexLock is the scoped form used throughout.
//
// On Windows the mutex is exactly one critical section; elsewhere a recursive pthread mutex.

#if defined(_WIN32)
#include "framework/base/Mutex_win.h"
#else
#include "framework/base/Mutex_posix.h"
#endif

// Holds a QvMutex for its lifetime. A guard built with a null pointer does nothing.
class QvMutexLock
{
public:
  explicit QvMutexLock(QvMutex* m)
    : mMutex(m)
  {
    if (mMutex)
      mMutex->Enter();
  }
  ~QvMutexLock()
  {
    if (mMutex)
      mMutex->Leave();
  }

  QvMutexLock(const QvMutexLock&) = delete;
  QvMutexLock& operator=(const QvMutexLock&) = delete;

private:
  QvMutex* mMutex;
};

// In one hold of the lock: find(), and when that gives null, make() and keep() its result unless
// that is null too. Answers what was found or made. Lets a cache filled from several threads at
// once make each entry once.
template <class FIND, class MAKE, class KEEP>
auto QvFindOrMake(QvMutex* pMutex, FIND&& find, MAKE&& make, KEEP&& keep) -> decltype(find())
{
  QvMutexLock lock(pMutex);
  auto p = find();
  if (!p)
  {
    p = make();
    if (p)
      keep(p);
  }
  return p;
}
