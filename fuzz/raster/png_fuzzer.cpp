// PNG decoding from memory: any input yields null or a whole image, with no out-of-bounds access
// or leak; decoding into a bitmap passed in gives the same pixels as into a new one.
#include "raster/px_png.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

uint32_t be32(const uint8_t* p)
{
  return ((uint32_t)p[0] << 24) | ((uint32_t)p[1] << 16) | ((uint32_t)p[2] << 8) | p[3];
}

// Rewrites the CRC of every complete chunk, so that mutations reach the decoder's later stages
// instead of stopping at a checksum (the decoder library itself is not instrumented).
void fixChunkCrcs(std::vector<uint8_t>& png)
{
  size_t pos = 8;
  while (pos + 12 <= png.size())
  {
    const uint32_t len = be32(&png[pos]);
    if (len > png.size() - pos - 12)
      break;
    const uint32_t crc = (uint32_t)crc32(0, &png[pos + 4], len + 4);
    for (int i = 0; i < 4; ++i)
      png[pos + 8 + len + i] = (uint8_t)(crc >> (24 - 8 * i));
    pos += 12 + (size_t)len;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size > (1u << 20))
    return 0;
  // Images that claim more than 4 million pixels are valid input but would only measure the
  // allocator; the size limits themselves are covered by the unit tests.
  if (size >= 24 && (uint64_t)be32(data + 16) * be32(data + 20) > (1u << 22))
    return 0;
  // Damaged checksums are covered by the unit tests' samples.
  std::vector<uint8_t> png(data, data + size);
  fixChunkCrcs(png);
  data = png.data();
  std::unique_ptr<PX_IBitmap> made(PX_LoadPNGFromMemory(data, (int)size));
  if (!made)
    return 0;

  PX_MemBitmap into(3, 5, 1);
  if (PX_LoadPNGFromMemory(data, (int)size, &into) != &into)
    abort();
  const int w = made->getWidth(), h = made->getHeight();
  if (into.getWidth() != w || into.getHeight() != h)
    abort();
  for (int y = 0; y < h; ++y)
    if (memcmp(made->getBits() + (size_t)y * made->getRowSpan(),
               into.getBits() + (size_t)y * into.getRowSpan(), (size_t)w * 4))
      abort();
  return 0;
}
