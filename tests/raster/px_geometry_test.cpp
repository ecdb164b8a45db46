// Geometry that every drawing operation shares: clipping to the destination, source rectangles
// that never leak their surroundings, and flipped bitmaps addressed by logical rows.
#include "raster/px.h"
#include "raster/px_scaled.h"
#include "tests/support/raster_test_util.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// One drawing call at destination position (x, y), reading src where it reads a source.
struct Op
{
  std::string name;
  std::function<void(PX_IBitmap* dst, PX_IBitmap* src, int x, int y)> draw;
  // The transform blit cuts its cells at positions truncated toward zero, so a rectangle starting
  // left of or above the canvas is cut differently from the same one further right.
  bool cellsMoveWithNegativeStart = false;
};

const PX_pixel_chan kGlyph[5 * 4] = {0,  40, 255, 7,  128, 1, 0,   90, 200, 255,
                                     33, 0,  0,   77, 255, 3, 250, 12, 0,   64};

// Sources are 9 x 7 inside a one-pixel frame (11 x 9); every op reads only the inner 9 x 7.
std::vector<Op> Ops()
{
  std::vector<Op> ops;
  const struct
  {
    const char* name;
    float alpha;
    int mode;
  } blits[] = {{"copy", 1.0f, PX_MODE_COPY},
               {"copy half", 0.5f, PX_MODE_COPY},
               {"copy 0.3", 0.3f, PX_MODE_COPY},
               {"add", 0.8f, PX_MODE_ADD},
               {"dodge", 0.6f, PX_MODE_COLORDODGE},
               {"mul", 0.9f, PX_MODE_MUL},
               {"overlay", 0.7f, PX_MODE_OVERLAY},
               {"hsv", 0.4f, PX_MODE_HSVADJUST},
               {"srcalpha", 1.0f, PX_MODE_SOURCEALPHA},
               {"srcalpha 0.6", 0.6f, PX_MODE_SOURCEALPHA},
               {"srcalpha add", 0.6f, PX_MODE_SOURCEALPHA | PX_MODE_ADD},
               {"channel copy", 1.0f, 0xF3}};
  for (const auto& b : blits)
  {
    ops.push_back({std::string("Blit ") + b.name, [=](PX_IBitmap* d, PX_IBitmap* s, int x, int y) {
                     PX_Blit(d, s, x, y, 1, 1, 9, 7, b.alpha, b.mode);
                   }});
  }
  ops.push_back({"FillRect copy", [](PX_IBitmap* d, PX_IBitmap*, int x, int y) {
                   PX_FillRect(d, x, y, 9, 7, 0x80FF2040u, 1.0f, PX_MODE_COPY);
                 }});
  ops.push_back({"FillRect three quarters", [](PX_IBitmap* d, PX_IBitmap*, int x, int y) {
                   PX_FillRect(d, x, y, 9, 7, 0x80FF2040u, 0.75f, PX_MODE_COPY);
                 }});
  ops.push_back({"FillRect 0.3", [](PX_IBitmap* d, PX_IBitmap*, int x, int y) {
                   PX_FillRect(d, x, y, 9, 7, 0x80FF2040u, 0.3f, PX_MODE_COPY);
                 }});
  ops.push_back({"FillRect overlay srcalpha", [](PX_IBitmap* d, PX_IBitmap*, int x, int y) {
                   PX_FillRect(d, x, y, 9, 7, 0x80FF2040u, 0.9f,
                               PX_MODE_OVERLAY | PX_MODE_SOURCEALPHA);
                 }});
  ops.push_back({"ClearRect", [](PX_IBitmap* d, PX_IBitmap*, int x, int y) {
                   PX_ClearRect(d, x, y, 9, 7, 0x00FF00FFu, 0x11000011u);
                 }});
  ops.push_back({"MultiplyAddRect", [](PX_IBitmap* d, PX_IBitmap*, int x, int y) {
                   PX_MultiplyAddRect(d, x, y, 9, 7, 1.5f, 0.5f, -1.0f, 1.0f, 0.1f, 20.0f, 255.0f,
                                      0.0f);
                 }});
  ops.push_back({"GradRect copy", [](PX_IBitmap* d, PX_IBitmap*, int x, int y) {
                   PX_GradRect(d, x, y, 9, 7, 0.1f, 0.9f, 0.5f, 1.0f, 0.05f, -0.07f, 0.01f, 0.0f,
                               0.03f, 0.02f, -0.06f, 0.0f, PX_MODE_COPY);
                 }});
  ops.push_back({"GradRect blended add", [](PX_IBitmap* d, PX_IBitmap*, int x, int y) {
                   PX_GradRect(d, x, y, 9, 7, 0.1f, 0.9f, 0.5f, 0.2f, 0.05f, -0.07f, 0.01f, 0.06f,
                               0.03f, 0.02f, -0.06f, 0.04f, PX_MODE_ADD);
                 }});
  ops.push_back({"DrawGlyph copy", [](PX_IBitmap* d, PX_IBitmap*, int x, int y) {
                   PX_DrawGlyph(d, x, y, 0xC0408020u, kGlyph, 5, 4, 0.9f, PX_MODE_COPY);
                 }});
  ops.push_back({"DrawGlyph mul", [](PX_IBitmap* d, PX_IBitmap*, int x, int y) {
                   PX_DrawGlyph(d, x, y, 0xC0408020u, kGlyph, 5, 4, 1.0f, PX_MODE_MUL);
                 }});
  ops.push_back({"PutPixel", [](PX_IBitmap* d, PX_IBitmap*, int x, int y) {
                   PX_PutPixel(d, x, y, 0xFF00FF00u, 1.0f, PX_MODE_COPY);
                   PX_PutPixel(d, x + 2, y + 1, 0xFF00FF00u, 0.3f, PX_MODE_ADD);
                   PX_PutPixel(d, x + 8, y + 6, 0xFF00FF00u, 0.5f, PX_MODE_COPY);
                 }});
  const struct
  {
    const char* name;
    double dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy;
    int mode;
  } deltas[] = {
    {"DeltaBlit shear", 0.8, 0.3, -0.2, 0.9, 0.0, 0.0, PX_MODE_COPY},
    {"DeltaBlit warp bilinear", 0.6, 0.1, 0.15, 0.5, 0.02, -0.01,
     PX_MODE_COPY | PX_FILTER_BILINEAR},
    {"DeltaBlit walking outside", 1.7, -0.6, 0.4, 1.3, 0.0, 0.0, PX_MODE_ADD | PX_FILTER_BILINEAR}};
  for (const auto& dl : deltas)
  {
    ops.push_back({dl.name, [=](PX_IBitmap* d, PX_IBitmap* s, int x, int y) {
                     PX_DeltaBlit(d, s, x, y, 12, 9, 1.2f, 1.5f, 9.0f, 7.0f, dl.dsdx, dl.dtdx,
                                  dl.dsdy, dl.dtdy, dl.dsdxdy, dl.dtdxdy, true, 0.8f, dl.mode);
                   }});
  }
  ops.push_back({"ScaledBlit bilinear up", [](PX_IBitmap* d, PX_IBitmap* s, int x, int y) {
                   PX_ScaledBlit(d, s, x, y, 11, 8, 1.5f, 1.25f, 6.0f, 5.0f, 0.9f,
                                 PX_MODE_COPY | PX_FILTER_BILINEAR);
                 }});
  ops.push_back({"ScaledBlit down", [](PX_IBitmap* d, PX_IBitmap* s, int x, int y) {
                   PX_ScaledBlit(d, s, x, y, 5, 4, 1.0f, 1.0f, 9.0f, 7.0f, 1.0f, PX_MODE_ADD);
                 }});
  ops.push_back({"RotatedBlit bilinear", [](PX_IBitmap* d, PX_IBitmap* s, int x, int y) {
                   PX_RotatedBlit(d, s, x, y, 10, 8, 1.0f, 1.0f, 9.0f, 7.0f, 0.4f, true, 1.0f,
                                  PX_MODE_COPY | PX_FILTER_BILINEAR);
                 }});
  ops.push_back({"TransformBlit",
                 [](PX_IBitmap* d, PX_IBitmap* s, int x, int y) {
                   const float pts[3 * 3 * 2] = {1,    1,    5, 1.5f, 9.5f, 1, 1.5f, 4,    5.5f,
                                                 4.5f, 9.5f, 4, 1,    7.5f, 5, 7.2f, 9.5f, 7.5f};
                   PX_TransformBlit(d, s, x, y, 11, 8, pts, 3, 3, 1.0f, PX_MODE_COPY);
                 },
                 true});
  return ops;
}

// A source with inner 9 x 7 pattern and a frame of the given colour.
void MakeSource(PX_IBitmap& src, PX_pixel frame)
{
  FillPattern(src, 99);
  for (int y = 0; y < src.getHeight(); ++y)
    for (int x = 0; x < src.getWidth(); ++x)
      if (x == 0 || y == 0 || x == src.getWidth() - 1 || y == src.getHeight() - 1)
        Px(src, x, y) = frame;
}

const int kPositions[][2] = {{0, 0},  {2, 1},   {-4, -3}, {-8, 2},  {3, -6},  {9, 6},
                             {11, 9}, {12, 10}, {-9, -7}, {-13, 0}, {0, -12}, {6, -2}};

// A partly off-canvas draw equals the crop of the same draw on a larger canvas.
TEST(RasterGeometry, ClippedDrawEqualsTheCropOfAnUnclippedOne)
{
  const int W = 13, H = 11, M = 24;
  ExactBitmap src(11, 9);
  MakeSource(src, 0xFFFFFFFFu);
  for (const Op& op : Ops())
    for (const auto& pos : kPositions)
    {
      if (op.cellsMoveWithNegativeStart && (pos[0] < 0 || pos[1] < 0))
        continue;
      ExactBitmap small(W, H), big(W + 2 * M, H + 2 * M);
      FillPattern(big, 7);
      for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
          Px(small, x, y) = Px(big, x + M, y + M);
      op.draw(&small, &src, pos[0], pos[1]);
      op.draw(&big, &src, pos[0] + M, pos[1] + M);
      EXPECT_EQ(Pixels(small), Crop(big, M, M, W, H))
        << op.name << " at " << pos[0] << "," << pos[1];
    }
}

// Whatever surrounds the source rectangle never reaches the destination.
TEST(RasterGeometry, SourceSurroundingsNeverLeak)
{
  const PX_pixel frames[] = {0x00000000u, 0xFFFFFFFFu, 0x80FF00FFu};
  for (const Op& op : Ops())
    for (const auto& pos : kPositions)
    {
      std::vector<PX_pixel> first;
      for (PX_pixel frame : frames)
      {
        ExactBitmap src(11, 9), dst(13, 11);
        MakeSource(src, frame);
        FillPattern(dst, 3);
        op.draw(&dst, &src, pos[0], pos[1]);
        if (first.empty())
          first = Pixels(dst);
        else
          EXPECT_EQ(Pixels(dst), first) << op.name << " frame " << std::hex << frame;
      }
    }
}

// Drawing on flipped bitmaps gives the same logical picture as on normal ones, for flipped
// sources, destinations and both.
TEST(RasterGeometry, FlippedBitmapsDrawTheSameLogicalPicture)
{
  ExactBitmap src(11, 9);
  MakeSource(src, 0xFF123456u);
  FlippedBitmap fsrc(11, 9);
  CopyPixels(fsrc, src);
  for (const Op& op : Ops())
    for (const auto& pos : kPositions)
    {
      ExactBitmap want(13, 11);
      FillPattern(want, 5);
      FlippedBitmap fdst(13, 11);
      CopyPixels(fdst, want);
      ExactBitmap ndst(13, 11);
      CopyPixels(ndst, want);
      FlippedBitmap fdst2(13, 11);
      CopyPixels(fdst2, want);

      op.draw(&want, &src, pos[0], pos[1]);
      op.draw(&fdst, &src, pos[0], pos[1]);
      op.draw(&ndst, &fsrc, pos[0], pos[1]);
      op.draw(&fdst2, &fsrc, pos[0], pos[1]);
      const std::string where =
        op.name + " at " + std::to_string(pos[0]) + "," + std::to_string(pos[1]);
      EXPECT_EQ(Pixels(fdst), Pixels(want)) << where << " (flipped destination)";
      EXPECT_EQ(Pixels(ndst), Pixels(want)) << where << " (flipped source)";
      EXPECT_EQ(Pixels(fdst2), Pixels(want)) << where << " (both flipped)";
    }
}

// The same bitmap as source and destination behaves as if the source had been copied first.
TEST(RasterGeometry, DrawingABitmapOntoItselfReadsTheOriginal)
{
  for (const Op& op : Ops())
    for (const auto& pos : kPositions)
      for (int flipped = 0; flipped < 2; ++flipped)
      {
        ExactBitmap mem(11, 9);
        FlippedBitmap fl(11, 9);
        PX_IBitmap& bm = flipped ? (PX_IBitmap&)fl : (PX_IBitmap&)mem;
        MakeSource(bm, 0xFF00FF00u);
        ExactBitmap original(11, 9), want(11, 9);
        CopyPixels(original, bm);
        CopyPixels(want, bm);
        op.draw(&want, &original, pos[0], pos[1]);
        op.draw(&bm, &bm, pos[0], pos[1]);
        EXPECT_EQ(Pixels(bm), Pixels(want))
          << op.name << " at " << pos[0] << "," << pos[1] << (flipped ? " flipped" : "");
      }
}

}  // namespace
