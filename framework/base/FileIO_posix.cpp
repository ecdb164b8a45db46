#include "framework/base/FileIOPlatform.h"

#include <cstdio>
#include <unistd.h>

// rename replaces the target in one step.
bool PlatformReplaceFile(const char* from, const char* to) { return rename(from, to) == 0; }

unsigned long PlatformProcessId() { return (unsigned long)getpid(); }
