#pragma once
// QvMutex on Windows: exactly one critical section (re-entrant by nature).
//
// The critical section is kept as opaque storage so that this header does not pull <windows.h>
// into every file that takes a lock; Mutex_win.cpp checks that the storage matches the real type.

class QvMutex
{
public:
  QvMutex();
  ~QvMutex();

  QvMutex(const QvMutex&) = delete;
  QvMutex& operator=(const QvMutex&) = delete;

  void Enter();
  void Leave();

  // sizeof(CRITICAL_SECTION) on 64-bit Windows.
  static constexpr int kStorageBytes = 40;

private:
  alignas(8) unsigned char mCritSec[kStorageBytes];
};
