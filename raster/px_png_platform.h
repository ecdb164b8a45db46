// What the PNG loader needs from the platform: opening a file named in UTF-8. Implemented once per
// platform (px_png_win.cpp, px_png_native.cpp).
#pragma once

#include <cstdio>

// Opens the file for binary reading, or returns null.
FILE* pxi_OpenFileUTF8(const char* filename);
