// PX_MemBitmap: pixels in one heap block, rows padded to the line alignment, 64-byte aligned.
#include "raster/px.h"
#include "raster/px_setup.h"

#include <cstdint>
#include <cstdlib>

PX_MemBitmap::PX_MemBitmap(int w, int h, unsigned int linealign)
{
  if (linealign >= 2)
  {
    const unsigned int lowest = linealign & (~linealign + 1u);
    m_linealign = lowest - 1u > 15u ? 15u : lowest - 1u;
  }
  if (w || h)
    resize(w, h);
}

PX_MemBitmap::~PX_MemBitmap() { std::free(m_bits); }

PX_pixel* PX_MemBitmap::getBits()
{
  if (!m_bits)
    return nullptr;
  return (PX_pixel*)(((uintptr_t)m_bits + 63) & ~(uintptr_t)63);
}

void PX_MemBitmap::freeBlock()
{
  std::free(m_bits);
  m_bits = nullptr;
  m_allocsize = 0;
}

bool PX_MemBitmap::resize(int w, int h)
{
  const pxi_ResizeStep step = pxi_BeginResize(&w, &h, m_width, m_height);
  if (step != pxi_ResizeStep::Apply)
  {
    if (step == pxi_ResizeStep::Empty)
    {
      freeBlock();
      m_width = m_height = 0;
    }
    return false;
  }

  m_width = w;
  m_height = h;
  // At most 32768 x 32767 x 4 bytes: computed in size_t, never in int.
  const size_t size = (size_t)getRowSpan() * (size_t)h * 4;
  if (size == 0)
  {
    // No pixels, no block: the bitmap is empty, whichever of its sizes was 0.
    freeBlock();
    m_width = m_height = 0;
    return true;
  }

  if (!m_bits)
  {
    m_allocsize = size;
    m_bits = std::malloc(size + 63);
  }
  else if (m_allocsize < size)
  {
    const size_t grown = size + size / 4;
    void* moved = std::realloc(m_bits, grown + 63);
    if (moved)
    {
      m_bits = moved;
      m_allocsize = grown;
    }
    else
    {
      std::free(m_bits);
      m_allocsize = size;
      m_bits = std::malloc(size + 63);
    }
  }

  if (!m_bits)
  {
    m_allocsize = 0;
    m_width = m_height = 0;
    return false;
  }
  return true;
}
