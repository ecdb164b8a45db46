#include "tools/editor_picture/png_writer.h"

#include "raster/px.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

namespace {

// rows: one pointer per row, top first, to pixels lying blue, green, red, alpha in memory.
bool WriteRows(const std::vector<png_bytep>& rows, int w, int h, const char* filename)
{
  FILE* fp = fopen(filename, "wb");
  if (!fp)
    return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (info && !setjmp(png_jmpbuf(png)))
  {
    png_init_io(png, fp);
    png_set_IHDR(png, info, (png_uint_32)w, (png_uint_32)h, 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    png_write_image(png, const_cast<png_bytepp>(rows.data()));
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, &info);
  return fclose(fp) == 0 && ok;
}

}  // namespace

bool WritePNG(PX_IBitmap* pBitmap, const char* filename)
{
  const int w = pBitmap->getWidth(), h = pBitmap->getHeight();
  PX_pixel* pBits = pBitmap->getBits();
  if (!pBits || w < 1 || h < 1)
    return false;
  std::vector<png_bytep> rows((size_t)h);
  for (int y = 0; y < h; ++y)
  {
    const int row = pBitmap->isFlipped() ? h - 1 - y : y;
    rows[(size_t)y] = (png_bytep)(pBits + (size_t)row * (size_t)pBitmap->getRowSpan());
  }
  return WriteRows(rows, w, h, filename);
}

bool WritePNGPixels(const uint32_t* pixels, int w, int h, int rowSpan, const char* filename)
{
  if (!pixels || w < 1 || h < 1 || rowSpan < w)
    return false;
  std::vector<png_bytep> rows((size_t)h);
  for (int y = 0; y < h; ++y)
    rows[(size_t)y] = (png_bytep)(pixels + (size_t)y * (size_t)rowSpan);
  return WriteRows(rows, w, h, filename);
}
