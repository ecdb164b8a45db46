// The octree quantiser. Child index at level L (4 at the root down to 0 at depth 4): bit L + 3 of
// red, green and blue as a three-bit number, so the depth-5 leaves tell the top five bits apart.
// A node enters the reducible list of its level when it gets its second child; pruning turns the
// newest node of the deepest non-empty list into a leaf holding the sums of its former subtree.
// Each inserted pixel adds at most one leaf and each prune removes at least one, so one prune per
// pixel keeps the leaf count within the palette size.
#include "raster/px_palette.h"

#include "raster/px_setup.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

struct ONode
{
  int64_t count;  // colours that passed through or ended here
  int64_t sumr, sumg, sumb;
  int32_t childinfo;  // 0 leaf; k > 0 one child at k - 1; -1 two or more (reducible)
  int32_t palindex;
  ONode* next;  // link in the reducible list of its level
  ONode* children[8];
};

struct OTree
{
  int maxcolors;
  int leafcount;
  ONode* root;
  ONode* reducible[5];  // list 0: nodes at depth 4; list 4: the root
  PX_pixel* palette;    // maxcolors words once collected, else null
};

namespace {

const int kLevels = 5;

ONode* NewNode() { return new ONode(); }

int ChildIndex(int level, int r, int g, int b)
{
  const int bit = level + 3;
  return ((r >> bit) & 1) << 2 | ((g >> bit) & 1) << 1 | ((b >> bit) & 1);
}

void AddToNode(ONode* n, int r, int g, int b, int64_t times)
{
  n->count += times;
  n->sumr += r * times;
  n->sumg += g * times;
  n->sumb += b * times;
}

// Adds a colour `times` times over (a run of equal pixels).
void AddColorToTree(OTree* t, int r, int g, int b, int64_t times)
{
  ONode* node = t->root;
  AddToNode(node, r, g, b, times);
  if (node->childinfo == 0 && t->leafcount > 0)
    return;  // the root was pruned into the only leaf
  for (int level = kLevels - 1; level >= 0; --level)
  {
    const int idx = ChildIndex(level, r, g, b);
    ONode* child = node->children[idx];
    const bool existed = child != nullptr;
    if (!existed)
    {
      if (node->childinfo == 0)
        node->childinfo = idx + 1;
      else if (node->childinfo > 0)
      {
        node->childinfo = -1;
        node->next = t->reducible[level];
        t->reducible[level] = node;
      }
      child = node->children[idx] = NewNode();
    }
    const bool leaf = existed && child->childinfo == 0;
    AddToNode(child, r, g, b, times);
    if (leaf)
      return;
    node = child;
  }
  t->leafcount += 1;
}

void DeleteNode(OTree* t, ONode* node)
{
  if (node->childinfo == 0)
    t->leafcount -= 1;
  for (ONode* c : node->children)
    if (c)
      DeleteNode(t, c);
  delete node;
}

void PruneTree(OTree* t)
{
  for (ONode*& head : t->reducible)
  {
    ONode* node = head;
    if (!node)
      continue;
    head = node->next;
    node->next = nullptr;
    for (ONode*& c : node->children)
      if (c)
      {
        DeleteNode(t, c);
        c = nullptr;
      }
    node->childinfo = 0;
    t->leafcount += 1;
    return;
  }
}

int Average(int64_t sum, int64_t count) { return (int)((double)sum / (double)count) & 0xFF; }

// Depth first, children in index order; returns the next free palette index.
int CollectNodeLeaves(OTree* t, ONode* node, int i)
{
  if (node->childinfo == 0)
  {
    if (node->count == 0 || i >= t->maxcolors)
      return i;  // the empty root; never more leaves than entries
    node->palindex = i;
    t->palette[i] = 0xFF000000u | (PX_pixel)Average(node->sumr, node->count) << 16 |
                    (PX_pixel)Average(node->sumg, node->count) << 8 |
                    (PX_pixel)Average(node->sumb, node->count);
    return i + 1;
  }
  for (ONode* c : node->children)
    if (c)
      i = CollectNodeLeaves(t, c, i);
  node->palindex = i > 0 ? i - 1 : 0;
  return i;
}

bool CollectLeaves(OTree* t)
{
  if (t->palette)
    return true;
  t->palette = (PX_pixel*)malloc(sizeof(PX_pixel) * (size_t)t->maxcolors);
  if (!t->palette)
    return false;
  const int n = CollectNodeLeaves(t, t->root, 0);
  memset(t->palette + n, 0, sizeof(PX_pixel) * (size_t)(t->maxcolors - n));
  return true;
}

int FindColorInTree(OTree* t, int r, int g, int b)
{
  ONode* node = t->root;
  for (int level = kLevels - 1; level >= 0 && node->childinfo != 0; --level)
  {
    ONode* child = node->children[ChildIndex(level, r, g, b)];
    if (!child)
      break;
    node = child;
  }
  return node->palindex;
}

void DropPalette(OTree* t)
{
  free(t->palette);
  t->palette = nullptr;
}

}  // namespace

OTree* PX_CreateOctree(int maxcolors)
{
  if (maxcolors < 1)
    return nullptr;
  OTree* t = new OTree();
  t->maxcolors = maxcolors;
  t->root = NewNode();
  return t;
}

void PX_DestroyOctree(OTree* tree)
{
  if (!tree)
    return;
  DeleteNode(tree, tree->root);
  DropPalette(tree);
  delete tree;
}

int PX_BuildOctree(OTree* tree, PX_IBitmap* bm)
{
  if (!tree)
    return 0;
  DropPalette(tree);
  pxi_ClippedRect r;
  if (!bm || !pxi_WholeBitmap(bm, &r))
    return tree->leafcount;
  for (int y = 0; y < r.h; ++y)
  {
    const PX_pixel* p = r.first + (ptrdiff_t)y * r.span;
    for (int x = 0; x < r.w;)
    {
      // A run of one colour inserts as one weighted colour: only a new colour can add a leaf.
      const PX_pixel c = p[x] & 0xFFFFFFu;
      int run = 1;
      while (x + run < r.w && (p[x + run] & 0xFFFFFFu) == c)
        ++run;
      AddColorToTree(tree, PX_GETR(c), PX_GETG(c), PX_GETB(c), run);
      if (tree->leafcount > tree->maxcolors)
        PruneTree(tree);
      x += run;
    }
  }
  return tree->leafcount;
}

int PX_ExtractOctreePalette(OTree* tree, PX_pixel* palette)
{
  if (!tree || !palette || !CollectLeaves(tree))
    return 0;
  memcpy(palette, tree->palette, sizeof(PX_pixel) * (size_t)tree->maxcolors);
  return tree->leafcount;
}

int PX_FindInOctree(OTree* tree, PX_pixel color)
{
  if (!tree || !CollectLeaves(tree))
    return 0;
  return FindColorInTree(tree, PX_GETR(color), PX_GETG(color), PX_GETB(color));
}

int PX_BuildPalette(PX_IBitmap* bm, PX_pixel* palette, int maxcolors)
{
  OTree* tree = PX_CreateOctree(maxcolors);
  if (!tree)
    return 0;
  PX_BuildOctree(tree, bm);
  const int n = PX_ExtractOctreePalette(tree, palette);
  PX_DestroyOctree(tree);
  return n;
}

void PX_TestPalette(PX_IBitmap* bm, const PX_pixel* palette, int numcolors)
{
  pxi_ClippedRect r;
  if (!palette || numcolors < 1 || !pxi_WholeBitmap(bm, &r))
    return;
  PX_pixel lastIn = 0, lastOut = 0;
  bool have = false;
  pxi_ForEachPixel(r, [&](PX_pixel* p) {
    const PX_pixel c = *p & 0xFFFFFFu;
    if (!have || c != lastIn)
    {
      const int cr = PX_GETR(c), cg = PX_GETG(c), cb = PX_GETB(c);
      int best = 0, bestDist = INT32_MAX;
      for (int i = 0; i < numcolors; ++i)
      {
        const int dr = cr - PX_GETR(palette[i]), dg = cg - PX_GETG(palette[i]),
                  db = cb - PX_GETB(palette[i]);
        const int dist = dr * dr + dg * dg + db * db;
        if (dist < bestDist)
          bestDist = dist, best = i;
      }
      lastIn = c, lastOut = palette[best], have = true;
    }
    *p = lastOut;
  });
}
