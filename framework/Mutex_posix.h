#pragma once
// WDL_Mutex on POSIX systems: a recursive pthread mutex.

#include <pthread.h>

class WDL_Mutex
{
public:
  WDL_Mutex()
  {
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&mMutex, &attr);
    pthread_mutexattr_destroy(&attr);
  }
  ~WDL_Mutex() { pthread_mutex_destroy(&mMutex); }

  WDL_Mutex(const WDL_Mutex&) = delete;
  WDL_Mutex& operator=(const WDL_Mutex&) = delete;

  void Enter() { pthread_mutex_lock(&mMutex); }
  void Leave() { pthread_mutex_unlock(&mMutex); }

private:
  pthread_mutex_t mMutex;
};
