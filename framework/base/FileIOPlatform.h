#pragma once
// What whole-file writes need from the platform (FileIO_posix.cpp, FileIO_win.cpp).

// Renames the file from to the name to, replacing a file of that name. False when it fails.
bool PlatformReplaceFile(const char* from, const char* to);

// The calling process's id, which keeps temporary names of two processes apart.
unsigned long PlatformProcessId();
