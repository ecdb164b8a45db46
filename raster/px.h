// The raster library's public surface: the pixel word, the blend-mode word, the bitmap interface
// with its heap and system-surface kinds, and the blit, fill and pixel operations.
//
// Every drawing call clips to its destination, reports nothing and draws nothing for unusable input:
// a null bitmap, missing pixel storage, a zero, non-finite or out-of-range weight, an empty or
// clipped-away rectangle, a position that would not fit 16.16 fixed point, or an operation byte
// outside the table.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#endif

// ---------------------------------------------------------------------------------------------
// Pixel word: 0xAARRGGBB, not premultiplied; in memory blue, green, red, alpha.

typedef uint32_t PX_PixelWord;
typedef PX_PixelWord PX_pixel;
typedef unsigned char PX_pixel_chan;

// Byte offsets of the channels inside a pixel in memory.
#define PX_PIXEL_B 0
#define PX_PIXEL_G 1
#define PX_PIXEL_R 2
#define PX_PIXEL_A 3

#define PX_RGBA(r, g, b, a)                                                                        \
  (((PX_pixel)(b)&0xFFu) | (((PX_pixel)(g)&0xFFu) << 8) | (((PX_pixel)(r)&0xFFu) << 16) |          \
   (((PX_pixel)(a)&0xFFu) << 24))
#define PX_GETB(v) ((int)((v)&0xFFu))
#define PX_GETG(v) ((int)(((v) >> 8) & 0xFFu))
#define PX_GETR(v) ((int)(((v) >> 16) & 0xFFu))
#define PX_GETA(v) ((int)(((v) >> 24) & 0xFFu))

// ---------------------------------------------------------------------------------------------
// Blend-mode word: operation byte, filter byte, source-alpha bit.

typedef int PX_BlitMode;

constexpr PX_BlitMode PX_MODE_MASK = 0xFF;
constexpr PX_BlitMode PX_MODE_COPY = 0;
constexpr PX_BlitMode PX_MODE_ADD = 1;
constexpr PX_BlitMode PX_MODE_COLORDODGE = 2;
constexpr PX_BlitMode PX_MODE_MUL = 3;
constexpr PX_BlitMode PX_MODE_OVERLAY = 4;
constexpr PX_BlitMode PX_MODE_HSVADJUST = 5;
// 0xF0 | (destination byte << 2) | source byte: copies one byte of each pixel (blits only).
constexpr PX_BlitMode PX_MODE_CHANNELCOPY = 0xF0;

constexpr PX_BlitMode PX_FILTER_MASK = 0xFF00;
constexpr PX_BlitMode PX_FILTER_BILINEAR = 0x100;  // only when the filter byte is exactly 1

constexpr PX_BlitMode PX_MODE_SOURCEALPHA = 0x10000;

// Keys of the combiner selection: operation byte plus source-alpha bit.
constexpr PX_BlitMode PX_MODE_KEY_MASK = 0x100FF;

// ---------------------------------------------------------------------------------------------
// Platform records the API takes.

#ifdef _WIN32
typedef RECT PX_RECT;  // left, top, right, bottom; right and bottom excluded
typedef HDC PX_HDC;
#else
struct PX_RECT
{
  int left, top, right, bottom;  // right and bottom excluded
};
typedef void* PX_HDC;  // no device contexts natively
#endif

// ---------------------------------------------------------------------------------------------
// Bitmaps

// Sizes larger than this in either direction are refused by every bitmap kind.
constexpr int PX_MAX_BITMAP_DIM = 32767;

// The abstract 32-bit bitmap every drawing call takes. Row y of the image lies at
// getBits() + y * getRowSpan(), or at getBits() + (height - 1 - y) * getRowSpan() when isFlipped().
class PX_IBitmap
{
public:
  virtual ~PX_IBitmap() {}

  virtual PX_pixel* getBits() = 0;  // first pixel of storage row 0, or null
  virtual int getWidth() = 0;
  virtual int getHeight() = 0;
  virtual int getRowSpan() = 0;  // pixels between storage rows
  virtual bool isFlipped() { return false; }
  virtual bool resize(int w, int h) = 0;  // true when the size changed
  virtual PX_HDC getDC() { return nullptr; }
  virtual intptr_t Extended(int id, void* data)
  {
    (void)id;
    (void)data;
    return 0;
  }
};

// Pixels in one heap block, 64-byte aligned; rows padded to a multiple of the line alignment. The
// block grows with 25% headroom and never shrinks except to nothing; its contents are not cleared
// on resize. A size without pixels (a width or height of 0; negative sizes count as 0) leaves the
// bitmap 0 x 0 without a block. A size that cannot be had (over PX_MAX_BITMAP_DIM, or an
// allocation failure) leaves it empty as well, and resize answers false.
class PX_MemBitmap : public PX_IBitmap
{
public:
  explicit PX_MemBitmap(int w = 0, int h = 0, unsigned int linealign = 4);
  ~PX_MemBitmap() override;
  PX_MemBitmap(const PX_MemBitmap&) = delete;
  PX_MemBitmap& operator=(const PX_MemBitmap&) = delete;

  PX_pixel* getBits() override;
  int getWidth() override { return m_width; }
  int getHeight() override { return m_height; }
  int getRowSpan() override { return (int)(((unsigned int)m_width + m_linealign) & ~m_linealign); }
  bool resize(int w, int h) override;

  // Usable bytes of the block (the block itself is 63 bytes larger for the alignment).
  size_t getAllocSize() const { return m_allocsize; }

private:
  void freeBlock();

  void* m_bits = nullptr;  // the block as allocated
  int m_width = 0;
  int m_height = 0;
  size_t m_allocsize = 0;
  unsigned int m_linealign = 0;  // 0, 1, 3, 7 or 15
};

// Pixels the platform can draw into: on Windows a top-down 32-bit DIB section selected into a
// memory device context of its own (getDC), natively plain memory with no device context. The row
// span is the allocated width, a multiple of 4; the surface is kept while a new size fits it.
class PX_SysBitmap : public PX_IBitmap
{
public:
  explicit PX_SysBitmap(int w = 0, int h = 0);
  ~PX_SysBitmap() override;
  PX_SysBitmap(const PX_SysBitmap&) = delete;
  PX_SysBitmap& operator=(const PX_SysBitmap&) = delete;

  PX_pixel* getBits() override { return m_bits; }
  int getWidth() override { return m_width; }
  int getHeight() override { return m_height; }
  int getRowSpan() override { return m_allocw; }
  bool resize(int w, int h) override;
  PX_HDC getDC() override { return m_dc; }

private:
  // The platform's side (px_sysbitmap_win.cpp, px_sysbitmap_mem.cpp) of the size bookkeeping
  // in resize: whether a surface can be made at all, making one of m_allocw x m_alloch pixels
  // (false when that fails), and letting it go.
  bool canMakeSurface() const;
  bool makeSurface();
  void releaseSurface();

  int m_width = 0;
  int m_height = 0;
  PX_HDC m_dc = nullptr;
  PX_pixel* m_bits = nullptr;
  int m_allocw = 0;
  int m_alloch = 0;
#ifdef _WIN32
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_oldbitmap = nullptr;
#endif
};

// ---------------------------------------------------------------------------------------------
// Combining single pixels

// dest combined with src under alpha and mode (the wrapping table); dest itself when nothing draws.
PX_pixel PX_CombinePixels(PX_pixel dest, PX_pixel src, float alpha, int mode);
// In place, weight as an int (256 = full). Channels must lie within +-32768 and the weight within
// +-65536; other values leave the pixel unchanged.
void PX_CombinePixels2(PX_pixel* dest, int r, int g, int b, int a, int w, int mode);
// The same with the saturating table, for source channels outside 0..255.
void PX_CombinePixels2Clamp(PX_pixel* dest, int r, int g, int b, int a, int w, int mode);

// ---------------------------------------------------------------------------------------------
// Copy and blit

// Makes dest a copy of src: resizes it, then copies every pixel.
void PX_Copy(PX_IBitmap* dest, PX_IBitmap* src);

// Draws srcrect of src (the whole source when null) at (dstx, dsty). Source and destination may
// be the same bitmap, overlapping rectangles included: the result is as if the source had been
// copied first.
void PX_Blit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, const PX_RECT* srcrect,
             float alpha, int mode);
void PX_Blit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw,
             int srch, float alpha, int mode);

// Fills the destination rectangle by walking the source: one pixel right adds (dsdx, dtdx) to the
// source position, one row down adds (dsdy, dtdy) and adds (dsdxdy, dtdxdy) to the per-pixel step.
void PX_DeltaBlit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                  float srcx, float srcy, float srcw, float srch, double dsdx, double dtdx,
                  double dsdy, double dtdy, double dsdxdy, double dtdxdy, bool cliptosourcerect,
                  float alpha, int mode);

// Warps src through a div_w x div_h grid of (x, y) source points, row-major, spanning the
// destination rectangle.
void PX_TransformBlit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                      const float* srcpoints, int div_w, int div_h, float alpha, int mode);

// ---------------------------------------------------------------------------------------------
// Fills, gradients and pixel access

void PX_FillRect(PX_IBitmap* dest, int x, int y, int w, int h, PX_pixel color, float alpha,
                 int mode);
// Every pixel p of the rectangle becomes (p & mask) | orbits.
void PX_ClearRect(PX_IBitmap* dest, int x, int y, int w, int h, PX_pixel mask, PX_pixel orbits);
void PX_Clear(PX_IBitmap* dest, PX_pixel color);
// Colour channels in 0..1 units per pixel, alpha as a weight (1.0 = full), linear in x and y.
void PX_GradRect(PX_IBitmap* dest, int dstx, int dsty, int dstw, int dsth, float ir, float ig,
                 float ib, float ia, float drdx, float dgdx, float dbdx, float dadx, float drdy,
                 float dgdy, float dbdy, float dady, int mode);
// Each channel c becomes (c * (int)(scale * 256) + (int)(add * 256)) >> 8, saturated to 0..255.
void PX_MultiplyAddRect(PX_IBitmap* dest, int x, int y, int w, int h, float rsc, float gsc,
                        float bsc, float asc, float radd, float gadd, float badd, float aadd);
void PX_ProcessRect(PX_IBitmap* dest, int x, int y, int w, int h,
                    void (*procfunc)(PX_pixel* p, void* parm), void* parm);
// Pixels whose colour (low 24 bits) equals color become transparent, all others opaque.
void PX_SetAlphaFromColorMask(PX_IBitmap* dest, PX_pixel color);
// A column-anchored scan fill from (x, y) in storage rows.
void PX_SimpleFill(PX_IBitmap* dest, int x, int y, PX_pixel newcolor, PX_pixel comparemask,
                   PX_pixel keepmask);

PX_pixel PX_GetPixel(PX_IBitmap* bm, int x, int y);  // 0 outside the bitmap
void PX_PutPixel(PX_IBitmap* bm, int x, int y, PX_pixel color, float alpha, int mode);

// Draws a glyph_w x glyph_h coverage mask (one byte per pixel, row stride glyph_w) in color.
void PX_DrawGlyph(PX_IBitmap* dest, int x, int y, PX_pixel color, const PX_pixel_chan* alphas,
                  int glyph_w, int glyph_h, float alpha, int mode);
