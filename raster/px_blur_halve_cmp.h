// Whole-image operations on pixel words with lane masks: a five-point blur, a box-filtered
// half-size copy and the comparison of two bitmaps.
//
// Lane fractions act on all four channels of a word at once and drop each channel's low bits, so
// the results are those of per-channel integer arithmetic with truncation at every term.
#pragma once

#include "raster/px.h"

// Softens the srcw x srch rectangle at (srcx, srcy) of src into dest at (dstx, dsty), alpha
// included, with weights 1/2 for the pixel and 1/8 for each of its four neighbours (a missing
// neighbour's share goes to the one across). Rectangles narrower or lower than 2 pixels after
// clipping are left alone. src may be dest: at the same position the blur runs in place; at
// another, the source is read as it was before the call.
void PX_Blur(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw,
             int srch);

// Writes the average of each 2 x 2 block of src into dest, storage rows in both (the flipped state
// is not consulted), min(dest width, src width / 2) x min(dest height, src height / 2) pixels.
void PX_HalveBlitAA(PX_IBitmap* dest, PX_IBitmap* src);

// Orders two bitmaps: a null one first, then by width and height (the difference b - a), then by
// the bytes of their logical rows in turn. With coords, instead finds the box that holds every
// differing pixel: coords gets x, y, width, height and the result is 1, or four zeros and 0 when
// the pixels are equal. A bitmap that reports a size but has no pixels orders before one that has.
int PX_BitmapCmp(PX_IBitmap* a, PX_IBitmap* b, int* coords);
