#pragma once
// What the debug and time utilities need from the platform (Log_posix.cpp, Log_win.cpp).

#include <ctime>

// Sends a finished debug line to the platform's debug output.
void PlatformDebugOutput(const char* text);

// Fills the local and UTC broken-down forms of t, thread-safely. False when either fails.
bool PlatformLocalAndUtc(time_t t, struct tm* local, struct tm* utc);
