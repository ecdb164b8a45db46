// The built-in 8x8 font: plain ASCII text drawn into any bitmap without a system font. Each
// character is an 8 x 8 cell; the pen moves 8 pixels per byte, 8 rows per line.
#pragma once

#include "raster/px.h"

// 128 glyphs of eight row bytes, top row first, bit 7 the leftmost pixel; glyph i draws code i + 1.
extern const unsigned char PX_deffont[128 * 8];

// Draws glyph c (codes 1 to 127; a char of 128 or more counts as negative and draws nothing) with
// its top-left corner at (x, y): every inked pixel combines color under alpha with the operation
// byte of mode (copy, add, colour dodge, multiply, overlay, HSV adjust; other bits ignored).
void PX_DrawChar(PX_IBitmap* bitmap, int x, int y, char c, PX_PixelWord color, float alpha,
                 int mode);

// Draws a string from (x, y): tab moves 40 pixels right, line feed starts the next line 8 pixels
// down at x, carriage return is skipped, every other byte moves 8 pixels right.
void PX_DrawText(PX_IBitmap* bitmap, int x, int y, const char* str, PX_PixelWord color, float alpha,
                 int mode);

// The extent of a string as PX_DrawText lays it out: the rightmost pen position and the bottom of
// the last line that holds a character. Either result pointer may be null.
void PX_MeasureText(const char* str, int* w, int* h);
