#pragma once
// Writes pixels as an 8-bit RGBA PNG file: for pictures of the editor and for its golden
// rendering. Straight (not premultiplied) alpha, as the pixels hold it.

#include <cstdint>

class PX_IBitmap;

// False when the file cannot be written or the bitmap has no pixels.
bool WritePNG(PX_IBitmap* pBitmap, const char* filename);
// w x h pixels (0xAARRGGBB words, rows of rowSpan words from the top).
bool WritePNGPixels(const uint32_t* pixels, int w, int h, int rowSpan, const char* filename);
