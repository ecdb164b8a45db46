// LICE_SysBitmap on Windows: a top-down 32-bit DIB section selected into a memory device context
// that the bitmap keeps for its whole life, so GDI can draw into the pixels and copy them out.
#include "raster/lice.h"

#include <cstring>

LICE_SysBitmap::LICE_SysBitmap(int w, int h)
{
  m_dc = CreateCompatibleDC(nullptr);
  resize(w, h);
}

LICE_SysBitmap::~LICE_SysBitmap()
{
  releaseSurface();
  if (m_dc) DeleteDC(m_dc);
}

void LICE_SysBitmap::releaseSurface()
{
  if (m_oldbitmap && m_dc) SelectObject(m_dc, m_oldbitmap);
  m_oldbitmap = nullptr;
  if (m_bitmap) DeleteObject(m_bitmap);
  m_bitmap = nullptr;
  m_bits = nullptr;
}

bool LICE_SysBitmap::resize(int w, int h)
{
  if (!m_dc) {
    m_width = m_height = 0;
    m_bits = nullptr;
    return false;
  }
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

  BITMAPINFO bmi;
  std::memset(&bmi, 0, sizeof(bmi));
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = m_allocw;
  bmi.bmiHeader.biHeight = isFlipped() ? h : -h;  // negative: top-down rows
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;

  void* bits = nullptr;
  m_bitmap = CreateDIBSection(m_dc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!m_bitmap || !bits) {
    if (m_bitmap) DeleteObject(m_bitmap);
    m_bitmap = nullptr;
    m_width = m_height = m_allocw = m_alloch = 0;
    return false;
  }
  m_bits = (LICE_pixel*)bits;
  m_oldbitmap = SelectObject(m_dc, m_bitmap);
  return true;
}
