// PX_SysBitmap without a windowing system: the surface is plain memory, and there is no device
// context.
#include "raster/px.h"

#include <cstdlib>

PX_SysBitmap::PX_SysBitmap(int w, int h) { resize(w, h); }

PX_SysBitmap::~PX_SysBitmap() { releaseSurface(); }

bool PX_SysBitmap::canMakeSurface() const { return true; }

bool PX_SysBitmap::makeSurface()
{
  m_bits = (PX_pixel*)std::malloc((size_t)m_allocw * (size_t)m_alloch * 4);
  return m_bits != nullptr;
}

void PX_SysBitmap::releaseSurface()
{
  std::free(m_bits);
  m_bits = nullptr;
}
