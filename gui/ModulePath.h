#pragma once
// The folder of a module (the host's program, the plug-in's library) from the file name the system
// reports for it.

#include "framework/base/QvString.h"

// pFolder becomes the part of fileName up to and including its last backslash. It is empty when the
// name was cut short or missing (length 0, or length not below bufferSize: the system fills the
// whole buffer when the name does not fit), when there is no backslash, or when the backslash is
// the last character. length: the characters the system reported; bufferSize: the buffer's bytes.
void ModuleFolder(const char* fileName, int length, int bufferSize, QvString* pFolder);
