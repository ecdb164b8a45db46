// Helpers of the PNG tests: a minimal PNG writer for hand-made images and file reading. Pixel access
// and the bitmap kinds come from raster_test_util.h.
#pragma once

#include "raster/px.h"
#include "tests/support/raster_test_util.h"

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace pngtest {

typedef std::vector<uint8_t> Bytes;

inline void put32(Bytes& out, uint32_t v)
{
  for (int s = 24; s >= 0; s -= 8)
    out.push_back((uint8_t)(v >> s));
}

inline void appendChunk(Bytes& out, const char* type, const Bytes& data)
{
  put32(out, (uint32_t)data.size());
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  put32(out, (uint32_t)crc32(0, out.data() + start, (uInt)(out.size() - start)));
}

// A PNG of one IDAT holding rows (each already prefixed with its filter byte), with optional PLTE
// and tRNS chunks.
inline Bytes makePng(uint32_t width, uint32_t height, int depth, int colour, const Bytes& rows,
                     const Bytes& plte = {}, const Bytes& trns = {})
{
  Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes ihdr;
  put32(ihdr, width);
  put32(ihdr, height);
  ihdr.insert(ihdr.end(), {(uint8_t)depth, (uint8_t)colour, 0, 0, 0});
  appendChunk(out, "IHDR", ihdr);
  if (!plte.empty())
    appendChunk(out, "PLTE", plte);
  if (!trns.empty())
    appendChunk(out, "tRNS", trns);
  uLongf zlen = compressBound((uLong)rows.size());
  Bytes z(zlen);
  compress2(z.data(), &zlen, rows.data(), (uLong)rows.size(), 9);
  z.resize(zlen);
  appendChunk(out, "IDAT", z);
  appendChunk(out, "IEND", {});
  return out;
}

inline Bytes readFile(const std::string& path)
{
  Bytes data;
  if (FILE* f = fopen(path.c_str(), "rb"))
  {
    uint8_t buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
      data.insert(data.end(), buf, buf + n);
    fclose(f);
  }
  return data;
}

}  // namespace pngtest
