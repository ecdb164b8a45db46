// Lines, rectangle outlines, polygon fills and Bezier curves of the raster library.
//
// Lines are one pixel wide and include both end points (dashed lines exclude the end). Float
// positions become pixels by truncation toward zero; rows are logical rows (a flipped bitmap is
// mirrored) except in PX_FillTrapezoid and PX_DashedLine, which work in storage rows. Only the
// mode's operation byte is read: the filter byte and the source-alpha bit have no effect, and
// operations above 5 draw nothing. Non-finite positions, sizes or alphas draw nothing.
#pragma once

#include "raster/px.h"

// Exchanges two values (ints, floats and pixel pointers in the shape code).
template <class T>
inline void SWAP(T& a, T& b)
{
  T t = a;
  a = b;
  b = t;
}

// Cohen-Sutherland clipping to xlo <= x < xhi, ylo <= y < yhi. The points are moved in place (also
// when the answer is false) and the answer says whether any part of the segment is left. Clipped
// right and bottom ends land on xhi - 1 and yhi - 1. The float clipper keeps points strictly below
// xlo + w - 1 (w the truncated width, likewise for y) and answers false for non-finite input.
bool PX_ClipLine(int* x1, int* y1, int* x2, int* y2, int xlo, int ylo, int xhi, int yhi);
bool PX_ClipFLine(float* x1, float* y1, float* x2, float* y2, float xlo, float ylo, float xhi,
                  float yhi);

// Both end points included. Anti-aliased general lines split their inner pixels into pairs whose
// weights sum to the line's weight (255 at alpha 1); anti-aliased diagonals shade the corners.
void PX_Line(PX_IBitmap* dest, int x1, int y1, int x2, int y2, PX_pixel color, float alpha,
             int mode, bool aa);
// Anti-aliased over the whole major positions between the (clipped) end points; without aa the
// truncated end points go to PX_Line.
void PX_FLine(PX_IBitmap* dest, float x1, float y1, float x2, float y2, PX_pixel color, float alpha,
              int mode, bool aa);
// Horizontal and vertical lines only (slanted ones draw nothing), in storage rows: pxon pixels on,
// pxoff off, repeating from the start; the end is excluded; aa is ignored. pxon < 1 or
// pxon + pxoff < 1 draws nothing.
void PX_DashedLine(PX_IBitmap* dest, int x1, int y1, int x2, int y2, int pxon, int pxoff,
                   PX_pixel color, float alpha, int mode, bool aa);

// Outline of columns x..x+w and rows y..y+h; each corner is combined twice.
void PX_DrawRect(PX_IBitmap* dest, int x, int y, int w, int h, PX_pixel color, float alpha,
                 int mode);
// The interior filled with bgcolor, then the outline in fgcolor.
void PX_BorderedRect(PX_IBitmap* dest, int x, int y, int w, int h, PX_pixel bgcolor,
                     PX_pixel fgcolor, float alpha, int mode);

// Rows y1..y2 (storage rows, both included) between the left edge (x1a, y1)-(x2a, y2) and the right
// edge (x1b, y1)-(x2b, y2), right ends included.
void PX_FillTrapezoid(PX_IBitmap* dest, int x1a, int x1b, int y1, int x2a, int x2b, int y2,
                      PX_pixel color, float alpha, int mode);
// A convex polygon in any vertex order; every pixel is combined at most once.
void PX_FillConvexPolygon(PX_IBitmap* dest, const int* x, const int* y, int npoints, PX_pixel color,
                          float alpha, int mode);
void PX_FillTriangle(PX_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3,
                     PX_pixel color, float alpha, int mode);

// Curves as chains of PX_FLine segments of at most about maxsegmentpx pixels (<= 0 means 1),
// clipped in x to the bitmap's columns.
void PX_DrawQBezier(PX_IBitmap* dest, float xstart, float ystart, float xctl, float yctl,
                    float xend, float yend, PX_pixel color, float alpha, int mode, bool aa,
                    float maxsegmentpx);
void PX_DrawCBezier(PX_IBitmap* dest, float xstart, float ystart, float xctl1, float yctl1,
                    float xctl2, float yctl2, float xend, float yend, PX_pixel color, float alpha,
                    int mode, bool aa, float maxsegmentpx);
// The area between a cubic and row yfill (PX_FillCBezier) or column xfill (PX_FillCBezierX).
void PX_FillCBezier(PX_IBitmap* dest, float xstart, float ystart, float xctl1, float yctl1,
                    float xctl2, float yctl2, float xend, float yend, int yfill, PX_pixel color,
                    float alpha, int mode, float maxsegmentpx);
void PX_FillCBezierX(PX_IBitmap* dest, float xstart, float ystart, float xctl1, float yctl1,
                     float xctl2, float yctl2, float xend, float yend, int xfill, PX_pixel color,
                     float alpha, int mode, float maxsegmentpx);
