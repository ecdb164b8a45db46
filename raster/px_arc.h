// Circles, arcs and rounded rectangles of the raster library.
//
// Centres and radii are floats; pixel positions are truncated toward zero. Angles are radians, 0
// pointing up and growing clockwise. Only the mode's operation byte is read; operations above 5,
// a zero weight and non-finite positions, radii or angles draw nothing.
#pragma once

#include "raster/px.h"

// The outline; the radii 1.5, 2, 2.5, 3, 3.5 and 4 are drawn from fixed coverage masks.
void PX_Circle(PX_IBitmap* dest, float cx, float cy, float r, PX_pixel color, float alpha, int mode,
               bool aa);
// The disc: outline points and the runs between them.
void PX_FillCircle(PX_IBitmap* dest, float cx, float cy, float r, PX_pixel color, float alpha,
                   int mode, bool aa);
// The part of the outline between two angles (in either order); a range of 2 pi or more is the
// whole circle.
void PX_Arc(PX_IBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle,
            PX_pixel color, float alpha, int mode, bool aa);
// Outline of columns x..x+w and rows y..y+h with quarter-circle corners of radius cornerradius
// (limited to half the width and height, floored); corners below 2 give the plain outline.
void PX_RoundRect(PX_IBitmap* dest, float x, float y, float w, float h, int cornerradius,
                  PX_pixel color, float alpha, int mode, bool aa);
// The filled rectangle (x, y, w, h) with corners cut to discs of radius cornerradius centred
// cornerradius in from the left and top edges and cornerradius + 1 in from the right and bottom
// ones: three bands and four discs, each pixel combined once.
void PX_FillRoundRect(PX_IBitmap* dest, int x, int y, int w, int h, int cornerradius,
                      PX_pixel color, float alpha, int mode, bool aa);
