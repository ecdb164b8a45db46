#pragma once
// QvMutex on POSIX systems: a recursive pthread mutex.

#include <pthread.h>

class QvMutex
{
public:
  QvMutex()
  {
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&mMutex, &attr);
    pthread_mutexattr_destroy(&attr);
  }
  ~QvMutex() { pthread_mutex_destroy(&mMutex); }

  QvMutex(const QvMutex&) = delete;
  QvMutex& operator=(const QvMutex&) = delete;

  void Enter() { pthread_mutex_lock(&mMutex); }
  void Leave() { pthread_mutex_unlock(&mMutex); }

private:
  pthread_mutex_t mMutex;
};
