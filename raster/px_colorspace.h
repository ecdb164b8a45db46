// Integer RGB/HSV conversion and HSV alteration of single colours, rectangles and whole bitmaps.
// The conversion is the one the HSV-adjust combiner uses: hue 0..383 in six sextants of 64 (0 red,
// 64 yellow, 128 green, 192 cyan, 256 blue, 320 magenta), saturation and value 0..255.
#pragma once

#include "raster/px.h"

// Channels outside 0..255 are clamped into it; null outputs are skipped.
void PX_RGB2HSV(int r, int g, int b, int* h, int* s, int* v);
// The pixel of (h, s, v) with the low eight bits of alpha. Hues outside 0..383 fall into the
// first or last sextant's formula, and saturations and values outside 0..255 give wrapped channels,
// as the integer formulas make them; arguments beyond +-PX_HSV_LIMIT are first clamped to it.
PX_pixel PX_HSV2Pix(int h, int s, int v, int alpha);
// The channels of PX_HSV2Pix as full ints, before their reduction to eight bits (results beyond
// the int range keep their low 32 bits).
void PX_HSV2RGB(int h, int s, int v, int* r, int* g, int* b);

constexpr int PX_HSV_LIMIT = 1 << 20;

// Shifts the hue by dh steps (1/384 turn, wrapping any distance), adds ds to the saturation and dv
// to the value, each clamped to 0..255; the alpha byte is kept.
PX_pixel PX_AlterColorHSV_int(PX_pixel color, int dh, int ds, int dv);
// The same with dh in turns and ds, dv in fractions of 255, each truncated to whole steps.
PX_pixel PX_AlterColorHSV(PX_pixel color, float dh, float ds, float dv);

// PX_AlterColorHSV on every pixel of the logical rectangle, clipped to the bitmap; here the hue
// shift is limited to +-383 steps. A bitmap without pixels is left alone.
void PX_AlterRectHSV(PX_IBitmap* bm, int x, int y, int w, int h, float dh, float ds, float dv);
void PX_AlterBitmapHSV(PX_IBitmap* bm, float dh, float ds, float dv);
