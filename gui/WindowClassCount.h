#pragma once
// WindowClassCount: how many editor windows of the process are open, and so whether their window
// class must be registered. The first window to open registers the class; when none is left it is
// unregistered; several instances share it meanwhile.
//
// A window destroyed by others (the host destroying its own window first) is uncounted while it
// still exists, when its class cannot go yet. The class then stays registered, with no window
// counted, until a retry finds it free (the owner retries at editor close, plug-in close and module
// unload): a class must not outlive the module that holds its window procedure.
//
// Careful: editors may open and close on different host threads. The count, the registration and
// the retries change together under one lock, so no window is created while the class is being
// unregistered and no class is registered twice.

#include "framework/base/Mutex.h"

class WindowClassCount
{
public:
  WindowClassCount() = default;

  // Counts one more window, first calling registerClass() (which answers whether the class is
  // there) when the class is not registered. False, with nothing counted, when it is not.
  template <class REGISTER>
  bool Acquire(REGISTER registerClass)
  {
    QvMutexLock lock(&mMutex);
    if (!mRegistered && !registerClass())
      return false;
    mRegistered = true;
    ++mCount;
    return true;
  }

  // Counts one window fewer and, when none is left, unregisters the class (unregisterClass()
  // answers whether it went); nothing when none was counted.
  template <class UNREGISTER>
  void Release(UNREGISTER unregisterClass)
  {
    QvMutexLock lock(&mMutex);
    if (!mCount)
      return;
    --mCount;
    Unregister(unregisterClass);
  }

  // Unregisters a class left registered with no window counted.
  template <class UNREGISTER>
  void Retry(UNREGISTER unregisterClass)
  {
    QvMutexLock lock(&mMutex);
    Unregister(unregisterClass);
  }

  int Count()
  {
    QvMutexLock lock(&mMutex);
    return mCount;
  }

  bool Registered()
  {
    QvMutexLock lock(&mMutex);
    return mRegistered;
  }

  WindowClassCount(const WindowClassCount&) = delete;
  WindowClassCount& operator=(const WindowClassCount&) = delete;

private:
  // The lock held.
  template <class UNREGISTER>
  void Unregister(UNREGISTER unregisterClass)
  {
    if (!mCount && mRegistered)
      mRegistered = !unregisterClass();
  }

  QvMutex mMutex;
  int mCount = 0;
  bool mRegistered = false;
};
