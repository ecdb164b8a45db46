#include "framework/Versions.h"

#include <cstdio>

void GetVersionParts(int version, int* pMajor, int* pMinor, int* pPatch)
{
  *pMajor = version >> 16;
  *pMinor = (version & 0xFF00) >> 8;
  *pPatch = version & 0xFF;
}

int GetDecimalVersion(int version)
{
  int major, minor, patch;
  GetVersionParts(version, &major, &minor, &patch);
  return major * 10000 + minor * 100 + patch;
}

void GetVersionStr(int version, char* buffer)
{
  int major, minor, patch;
  GetVersionParts(version, &major, &minor, &patch);
  snprintf(buffer, kMaxVersionStrLen, "v%d.%d.%d", major, minor, patch);
}

int PackDecimalVersion(int decimalVersion)
{
  if (decimalVersion < 0)
    return 0;
  const int major = decimalVersion / 10000;
  const int minor = (decimalVersion - major * 10000) / 100;
  const int patch = decimalVersion - major * 10000 - minor * 100;
  // Unsigned arithmetic: a major above 32767 does not fit and keeps only its low bits.
  return (int)(((unsigned)major << 16) + ((unsigned)minor << 8) + (unsigned)patch);
}
