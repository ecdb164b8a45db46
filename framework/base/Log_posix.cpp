#include "framework/base/Log.h"
#include "framework/base/LogPlatform.h"

#include <cstdio>
#include <time.h>

void PlatformDebugOutput(const char* text) { fputs(text, stderr); }

bool PlatformLocalAndUtc(time_t t, struct tm* local, struct tm* utc)
{
  return localtime_r(&t, local) && gmtime_r(&t, utc);
}

// clock() is processor time here, so use the monotonic clock.
unsigned int Timer::DefaultTicks()
{
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return (unsigned int)((unsigned long long)ts.tv_sec * 1000ull +
                        (unsigned long long)ts.tv_nsec / 1000000ull);
}
