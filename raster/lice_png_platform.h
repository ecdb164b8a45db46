// What the PNG loader needs from the platform: opening a file named in UTF-8. Implemented once per
// platform (lice_png_win.cpp, lice_png_native.cpp).
#pragma once

#include <cstdio>

// Opens the file for binary reading, or returns null.
FILE* _LICE_OpenFileUTF8(const char* filename);
