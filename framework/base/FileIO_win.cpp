#include "framework/base/FileIOPlatform.h"

#include <windows.h>

// rename refuses an existing target here; MoveFileEx replaces it.
bool PlatformReplaceFile(const char* from, const char* to)
{
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

unsigned long PlatformProcessId() { return (unsigned long)GetCurrentProcessId(); }
