// LICE_SysBitmap without a windowing system: the surface is plain memory, and there is no device
// context.
#include "raster/lice.h"

#include <cstdlib>

LICE_SysBitmap::LICE_SysBitmap(int w, int h) { resize(w, h); }

LICE_SysBitmap::~LICE_SysBitmap() { releaseSurface(); }

bool LICE_SysBitmap::canMakeSurface() const { return true; }

bool LICE_SysBitmap::makeSurface()
{
  m_bits = (LICE_pixel*)std::malloc((size_t)m_allocw * (size_t)m_alloch * 4);
  return m_bits != nullptr;
}

void LICE_SysBitmap::releaseSurface()
{
  std::free(m_bits);
  m_bits = nullptr;
}
