#pragma once
// Writes a bitmap as an 8-bit RGBA PNG file: for pictures of the editor and for its golden
// rendering. Straight (not premultiplied) alpha, as the bitmap holds it.

class PX_IBitmap;

// False when the file cannot be written or the bitmap has no pixels.
bool WritePNG(PX_IBitmap* pBitmap, const char* filename);
