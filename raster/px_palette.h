// Colour quantisation by an octree of depth 5: a bitmap's colours are inserted one by one, the
// tree is pruned (deepest first) whenever it holds more leaves than the wanted palette size, and
// the averages of the remaining leaves form the palette. A built tree also maps any colour to its
// palette index. Alpha is ignored throughout; palette entries are opaque.
//
// Use: create, build (any number of times: each build adds another bitmap's colours to the same
// tree), then extract or find (the palette is collected once and reused until the next build),
// then destroy.
#pragma once

#include "raster/px.h"

struct OTree;

// A tree for at most maxcolors palette entries; null when maxcolors is below 1.
OTree* PX_CreateOctree(int maxcolors);
void PX_DestroyOctree(OTree* tree);
// Adds every pixel of the bitmap (in storage order); returns the leaf count (0 without a tree).
int PX_BuildOctree(OTree* tree, PX_IBitmap* bm);
// Copies the palette's maxcolors words into palette (entries after the last leaf are 0); returns
// the number of palette colours, or 0 without a tree or output.
int PX_ExtractOctreePalette(OTree* tree, PX_pixel* palette);
// The palette index of the colour's leaf, or for a colour the tree never saw, of the last leaf
// below the deepest node on its path; 0 without a tree.
int PX_FindInOctree(OTree* tree, PX_pixel color);

// Create, build, extract and destroy in one: fills maxcolors words of palette and returns the
// number of palette colours (0 when maxcolors is below 1).
int PX_BuildPalette(PX_IBitmap* bm, PX_pixel* palette, int maxcolors);
// Replaces every pixel by its nearest palette entry (squared RGB distance, the first of equally
// near entries); nothing happens without a bitmap, pixels or at least one entry.
void PX_TestPalette(PX_IBitmap* bm, const PX_pixel* palette, int numcolors);
