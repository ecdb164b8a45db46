#include "framework/base/Mutex.h"

#include <windows.h>

static_assert(sizeof(CRITICAL_SECTION) == QvMutex::kStorageBytes,
              "QvMutex storage must hold exactly one CRITICAL_SECTION");
static_assert(alignof(CRITICAL_SECTION) <= 8, "QvMutex storage alignment");

static CRITICAL_SECTION* CritSec(unsigned char* storage)
{
  return reinterpret_cast<CRITICAL_SECTION*>(storage);
}

QvMutex::QvMutex() { InitializeCriticalSection(CritSec(mCritSec)); }
QvMutex::~QvMutex() { DeleteCriticalSection(CritSec(mCritSec)); }
void QvMutex::Enter() { EnterCriticalSection(CritSec(mCritSec)); }
void QvMutex::Leave() { LeaveCriticalSection(CritSec(mCritSec)); }
