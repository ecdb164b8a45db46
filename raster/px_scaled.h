// Scaled and rotated blits: a source rectangle in fractional source pixels drawn into a destination
// rectangle of another size, or rotated about its centre. Both set up 16.16 source positions and
// steps and leave the per-pixel work to the loop templates.
//
// Unusable input draws nothing: a null bitmap, a zero size, a zero or non-finite alpha, a
// non-finite position, size or angle, a set-up that would not fit 16.16 fixed point, or a
// rectangle clipped away.
#pragma once

#include "raster/px.h"

// Draws srcw x srch source pixels from (srcx, srcy) into dstw x dsth pixels at (dstx, dsty). A
// negative dstw or dsth mirrors. With the bilinear filter byte, a reduction by 1.7 or more in
// both directions averages the source neighbourhood of each sample. Source pixels outside the
// source rectangle (its fractional edges widened to whole pixels) are never read.
void PX_ScaledBlit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                   float srcx, float srcy, float srcw, float srch, float alpha, int mode);

// Draws the source rectangle into the destination rectangle rotated by angle (radians, clockwise)
// about the centres of both, the source centre moved by (rotxcent, rotycent). With
// cliptosourcerect only pixels inside the source rectangle are sampled, else any pixel of the
// source bitmap; destination pixels that map outside are left untouched.
void PX_RotatedBlit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                    float srcx, float srcy, float srcw, float srch, float angle,
                    bool cliptosourcerect, float alpha, int mode, float rotxcent = 0.0f,
                    float rotycent = 0.0f);
