// PX_SysBitmap's size bookkeeping, the same on every platform: the surface is kept while a new
// size fits it, otherwise replaced by one of the new size with its width rounded up to a multiple
// of 4 (the row span). Making and releasing the surface is the platform's.
#include "raster/px.h"
#include "raster/px_setup.h"

bool PX_SysBitmap::resize(int w, int h)
{
  if (!canMakeSurface())
  {
    m_width = m_height = 0;
    m_bits = nullptr;
    return false;
  }
  const pxi_ResizeStep step = pxi_BeginResize(&w, &h, m_width, m_height);
  if (step != pxi_ResizeStep::Apply)
  {
    if (step == pxi_ResizeStep::Empty)
    {
      releaseSurface();
      m_width = m_height = m_allocw = m_alloch = 0;
    }
    return false;
  }
  m_width = w;
  m_height = h;
  if (w && h && m_allocw >= w && m_alloch >= h && m_bits)
    return true;

  m_allocw = (w + 3) & ~3;
  m_alloch = h;
  releaseSurface();
  if (!m_allocw || !h)
    return false;
  if (!makeSurface())
  {
    m_width = m_height = m_allocw = m_alloch = 0;
    return false;
  }
  return true;
}
