#include "framework/Mutex.h"

#include <windows.h>

static_assert(sizeof(CRITICAL_SECTION) == WDL_Mutex::kStorageBytes,
              "WDL_Mutex storage must hold exactly one CRITICAL_SECTION");
static_assert(alignof(CRITICAL_SECTION) <= 8, "WDL_Mutex storage alignment");

static CRITICAL_SECTION* CritSec(unsigned char* storage)
{
  return reinterpret_cast<CRITICAL_SECTION*>(storage);
}

WDL_Mutex::WDL_Mutex() { InitializeCriticalSection(CritSec(mCritSec)); }
WDL_Mutex::~WDL_Mutex() { DeleteCriticalSection(CritSec(mCritSec)); }
void WDL_Mutex::Enter() { EnterCriticalSection(CritSec(mCritSec)); }
void WDL_Mutex::Leave() { LeaveCriticalSection(CritSec(mCritSec)); }
