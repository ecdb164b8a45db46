#pragma once
// WindowClassCount: how many editor windows of the process are open, and so whether their window
// class must be registered. The first window to open registers the class, the last to close
// unregisters it; several instances share it meanwhile.
//
// Careful: editors may open and close on different host threads. The count and the registration
// change together under one lock, so no window is created while the class is being unregistered
// and no class is registered twice.

#include "framework/base/Mutex.h"

class WindowClassCount
{
public:
  WindowClassCount() = default;

  // Counts one more window, first calling registerClass() (which answers whether the class is
  // there) when none is counted. False, with nothing counted, when it is not.
  template <class REGISTER>
  bool Acquire(REGISTER registerClass)
  {
    QvMutexLock lock(&mMutex);
    if (!mCount && !registerClass())
      return false;
    ++mCount;
    return true;
  }

  // Counts one window fewer, calling unregisterClass() when none is left; nothing when none was
  // counted.
  template <class UNREGISTER>
  void Release(UNREGISTER unregisterClass)
  {
    QvMutexLock lock(&mMutex);
    if (!mCount)
      return;
    if (!--mCount)
      unregisterClass();
  }

  int Count()
  {
    QvMutexLock lock(&mMutex);
    return mCount;
  }

  WindowClassCount(const WindowClassCount&) = delete;
  WindowClassCount& operator=(const WindowClassCount&) = delete;

private:
  QvMutex mMutex;
  int mCount = 0;
};
