// PNG decoding with libpng: the decoder calls, the transformations to one 4-byte layout, and the
// repacking of decoded rows into pixel words.
#include "raster/px_png.h"

#include "raster/px_png_platform.h"

#include <png.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// One memory decode's input: the next unread byte and how many are left.
struct PngMemoryReader
{
  const unsigned char* pos;
  int left;
};

// The image after the transformations, as libpng reports it.
struct PngImageInfo
{
  png_uint_32 width;
  png_uint_32 height;
  int channels;
  int depth;
  size_t rowbytes;
};

// A read past the end of the data is padded with zeros and reported as a decoding error, as
// libpng's own file reader reports a short read: nothing decoded from padding is ever accepted,
// and a chunk that claims more bytes than the data holds ends the decode at once.
void staticPngReadFunc(png_structp png, png_bytep buf, png_size_t len)
{
  PngMemoryReader* r = (PngMemoryReader*)png_get_io_ptr(png);
  memset(buf, 0, len);
  const size_t n = (size_t)r->left < len ? (size_t)r->left : len;
  if (n)
    memcpy(buf, r->pos, n);
  r->pos += n;
  r->left -= (int)n;
  if (n < len)
    png_error(png, "read past the end of the data");
}

// libpng reports an error by jumping back to where png_jmpbuf was armed. Each phase arms it in a
// function of its own that holds no C++ object and whose locals are dead after the jump; the
// caller owns every resource and releases it whichever way the phase ends.

// Reads the header, sets every decoded pixel to four bytes alpha, red, green, blue, and reports the
// transformed layout. False when libpng reported an error.
bool readHeaderPhase(png_structp png, png_infop info, PngImageInfo* out)
{
  if (setjmp(png_jmpbuf(png)))
    return false;

  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int depth = 0, colour = 0, interlace = 0, compression = 0, filter = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colour, &interlace, &compression, &filter);

  if (colour == PNG_COLOR_TYPE_PALETTE)
    png_set_palette_to_rgb(png);
  if (colour == PNG_COLOR_TYPE_GRAY && depth < 8)
    png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS))
  {
    png_set_tRNS_to_alpha(png);
    colour |= PNG_COLOR_MASK_ALPHA;
  }
  if (depth == 16)
    png_set_strip_16(png);
  if (depth < 8)
    png_set_packing(png);
  if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  if (colour & PNG_COLOR_MASK_ALPHA)
    png_set_swap_alpha(png);
  else
    png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);

  // png_read_image would turn interlace handling on itself; doing it before the update keeps the
  // reported layout the one the rows are decoded in.
  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  out->width = width;
  out->height = height;
  out->channels = png_get_channels(png, info);
  out->depth = png_get_bit_depth(png, info);
  out->rowbytes = png_get_rowbytes(png, info);
  return true;
}

// Decodes every row into the table. False when libpng reported an error.
bool readImagePhase(png_structp png, png_bytepp rows)
{
  if (setjmp(png_jmpbuf(png)))
    return false;
  png_read_image(png, rows);
  return true;
}

// Bytes alpha, red, green, blue become the native word 0xAARRGGBB, in place.
void repackRow(unsigned char* row, png_uint_32 width)
{
  PX_pixel* out = (PX_pixel*)row;
  for (png_uint_32 x = 0; x < width; ++x)
  {
    const unsigned char* p = row + (size_t)x * 4;
    out[x] = ((PX_pixel)p[0] << 24) | ((PX_pixel)p[1] << 16) | ((PX_pixel)p[2] << 8) | p[3];
  }
}

// Copies the decoded image into the caller's bitmap, resized to it, row by logical row. False when
// the bitmap could not take the size.
bool copyInto(PX_MemBitmap* image, PX_IBitmap* bmp)
{
  const int width = image->getWidth(), height = image->getHeight();
  bmp->resize(width, height);
  PX_pixel* bits = bmp->getBits();
  if (bmp->getWidth() != width || bmp->getHeight() != height || bmp->getRowSpan() < width || !bits)
    return false;
  const ptrdiff_t span = (ptrdiff_t)bmp->getRowSpan();
  const bool flipped = bmp->isFlipped();
  for (int y = 0; y < height; ++y)
    memcpy(bits + (flipped ? height - 1 - y : y) * span,
           image->getBits() + (ptrdiff_t)y * image->getRowSpan(), (size_t)width * 4);
  return true;
}

// The decode once the input is attached to the decoder: returns bmp (or a new bitmap when bmp is
// null) holding the whole image, or null. The image is decoded into a bitmap of its own, so a
// caller's bitmap changes only once the whole image has been read. The caller destroys the
// decoder structures.
PX_IBitmap* decodeAttached(png_structp png, png_infop info, PX_IBitmap* bmp)
{
  PngImageInfo img;
  if (!readHeaderPhase(png, info, &img))
    return nullptr;

  // Sizes in 64 bits: nothing larger than a bitmap can hold reaches the allocation.
  if (img.width < 1 || img.height < 1 || img.width > (png_uint_32)PX_MAX_BITMAP_DIM ||
      img.height > (png_uint_32)PX_MAX_BITMAP_DIM)
    return nullptr;
  if (((uint64_t)img.width + 15) * img.height * 4 > (uint64_t)INT_MAX)
    return nullptr;
  if (img.channels != 4 || img.depth != 8 || img.rowbytes != (size_t)img.width * 4)
    return nullptr;
  const int width = (int)img.width;
  const int height = (int)img.height;

  PX_MemBitmap* image = new (std::nothrow) PX_MemBitmap(width, height, 4);
  if (!image)
    return nullptr;
  PX_pixel* bits = image->getBits();
  png_bytepp rows = bits && image->getWidth() == width && image->getHeight() == height
                      ? (png_bytepp)malloc(sizeof(png_bytep) * (size_t)height)
                      : nullptr;
  if (!rows)
  {
    delete image;
    return nullptr;
  }
  const ptrdiff_t span = (ptrdiff_t)image->getRowSpan();
  for (int y = 0; y < height; ++y)
    rows[y] = (png_bytep)(bits + y * span);

  const bool ok = readImagePhase(png, rows);
  if (ok)
    for (int y = 0; y < height; ++y)
      repackRow(rows[y], img.width);
  free(rows);
  if (!ok)
  {
    delete image;
    return nullptr;
  }
  if (!bmp)
    return image;
  const bool copied = copyInto(image, bmp);
  delete image;
  return copied ? bmp : nullptr;
}

// Creates the decoder structures with libpng's default error and warning handlers (they print the
// message to stderr and jump back). False when either cannot be created.
//
// Only the chunks that make the pixels are read: metadata chunks are skipped unread. None of them
// changes a decoded pixel here (no gamma or background transform is asked for), and libpng
// allocates and clears a buffer of whatever size a metadata chunk claims, so a file of a few bytes
// could otherwise cost a gigabyte per decode.
bool createDecoder(png_structp* png, png_infop* info)
{
  *png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!*png)
    return false;
  *info = png_create_info_struct(*png);
  if (!*info)
  {
    png_destroy_read_struct(png, nullptr, nullptr);
    return false;
  }
  static const png_byte kTransparency[] = {'t', 'R', 'N', 'S', 0};
  png_set_keep_unknown_chunks(*png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_set_keep_unknown_chunks(*png, PNG_HANDLE_CHUNK_AS_DEFAULT, kTransparency, 1);
  return true;
}

}  // namespace

PX_IBitmap* PX_LoadPNGFromMemory(const void* data, int len, PX_IBitmap* bmp)
{
  if (!data || len < 8)
    return nullptr;
  if (png_sig_cmp((png_const_bytep)data, 0, 8) != 0)
    return nullptr;

  PngMemoryReader reader = {(const unsigned char*)data, len};
  png_structp png = nullptr;
  png_infop info = nullptr;
  if (!createDecoder(&png, &info))
    return nullptr;
  png_set_read_fn(png, &reader, staticPngReadFunc);
  PX_IBitmap* result = decodeAttached(png, info, bmp);
  png_destroy_read_struct(&png, &info, nullptr);
  return result;
}

PX_IBitmap* PX_LoadPNG(const char* filename, PX_IBitmap* bmp)
{
  if (!filename)
    return nullptr;
  FILE* fp = pxi_OpenFileUTF8(filename);
  if (!fp)
    return nullptr;

  PX_IBitmap* result = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
  if (createDecoder(&png, &info))
  {
    png_init_io(png, fp);
    result = decodeAttached(png, info, bmp);
    png_destroy_read_struct(&png, &info, nullptr);
  }
  fclose(fp);
  return result;
}
