// Procedural textures that overwrite a rectangle of a bitmap with opaque pixels: a random-walk
// marble pattern, noise clouds (plain or cosine-banded) and concentric noisy rings. rect is the
// logical rectangle (right and bottom excluded), null for the whole bitmap; it is clipped to the
// bitmap. Each colour channel is (int)(intensity x factor), truncated, as its low eight bits.
#pragma once

#include "raster/px.h"

// Each pixel walks from its upper neighbours by a step of a 16-bit generator scaled by
// intensity / 1024; the walk is then scaled so its largest value gives 255 (black when no value
// is positive).
void PX_TexGen_Marble(PX_IBitmap* bm, const PX_RECT* rect, float r, float g, float b,
                      float intensity);

// Gradient-noise clouds over 16 x scale lattice cells across the rectangle, summed over octaves
// smooth, smooth / 2, ..., 1. mode 0: plain; mode 1: cosine bands; other modes give black. A
// smooth below 1 draws nothing.
void PX_TexGen_Noise(PX_IBitmap* bm, const PX_RECT* rect, float r, float g, float b, float scale,
                     int mode, int smooth);

// Rings around the centre, rings of them across the rectangle, bent by turbulence of the given
// size (octaves size, size / 2, ... >= 1) times strength. Here the second factor scales blue and
// the third green. A size below 1 draws nothing.
void PX_TexGen_CircNoise(PX_IBitmap* bm, const PX_RECT* rect, float r, float b, float g,
                         float rings, float strength, int size);
