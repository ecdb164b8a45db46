#pragma once
// Whole-file reads and writes, for program and bank files and the preset source dumps.
//
// A write goes to a temporary file beside the target and is renamed over it only once every byte
// was written and the file closed cleanly: a failed save leaves what was there before (and no
// temporary file behind). Paths go to the C library as they are (the system code page on Windows).

#include "framework/base/ByteChunk.h"

// Replaces the file at path with size bytes of data; text mode ("w") lets the platform write its
// own line ends. False when any step fails.
bool QvWriteFile(const char* path, const void* data, int size, bool textMode = false);

// Reads the whole file at path into pChunk (cleared first). False when the file cannot be opened
// or read, or does not fit a chunk.
bool QvReadFile(const char* path, ByteChunk* pChunk);
