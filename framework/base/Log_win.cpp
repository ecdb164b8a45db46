#include "framework/base/Log.h"
#include "framework/base/LogPlatform.h"

#include <windows.h>

void PlatformDebugOutput(const char* text) { OutputDebugStringA(text); }

bool PlatformLocalAndUtc(time_t t, struct tm* local, struct tm* utc)
{
  return localtime_s(local, &t) == 0 && gmtime_s(utc, &t) == 0;
}

// clock() on Windows counts wall-clock milliseconds since the process started.
unsigned int Timer::DefaultTicks() { return (unsigned int)clock(); }
