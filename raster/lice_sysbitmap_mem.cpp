// LICE_SysBitmap without a windowing system: the same size and row-span rules as the DIB section,
// over plain memory, and no device context.
#include "raster/lice.h"

#include <cstdlib>

LICE_SysBitmap::LICE_SysBitmap(int w, int h) { resize(w, h); }

LICE_SysBitmap::~LICE_SysBitmap() { releaseSurface(); }

void LICE_SysBitmap::releaseSurface()
{
  std::free(m_bits);
  m_bits = nullptr;
}

bool LICE_SysBitmap::resize(int w, int h)
{
  if (w < 0) w = 0;
  if (h < 0) h = 0;
  if (w == m_width && h == m_height) return false;
  if (w > LICE_MAX_BITMAP_DIM || h > LICE_MAX_BITMAP_DIM) {
    releaseSurface();
    m_width = m_height = m_allocw = m_alloch = 0;
    return false;
  }
  m_width = w;
  m_height = h;
  if (w && h && m_allocw >= w && m_alloch >= h && m_bits) return true;

  m_allocw = (w + 3) & ~3;
  m_alloch = h;
  releaseSurface();
  if (!m_allocw || !h) return false;

  m_bits = (LICE_pixel*)std::malloc((size_t)m_allocw * (size_t)h * 4);
  if (!m_bits) {
    m_width = m_height = m_allocw = m_alloch = 0;
    return false;
  }
  return true;
}
