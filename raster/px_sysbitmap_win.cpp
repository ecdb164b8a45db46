// PX_SysBitmap on Windows: a top-down 32-bit DIB section selected into a memory device context
// that the bitmap keeps for its whole life, so GDI can draw into the pixels and copy them out.
#include "raster/px.h"

#include <cstring>

PX_SysBitmap::PX_SysBitmap(int w, int h)
{
  m_dc = CreateCompatibleDC(nullptr);
  resize(w, h);
}

PX_SysBitmap::~PX_SysBitmap()
{
  releaseSurface();
  if (m_dc)
    DeleteDC(m_dc);
}

// Without its device context the bitmap can hold no section.
bool PX_SysBitmap::canMakeSurface() const { return m_dc != nullptr; }

bool PX_SysBitmap::makeSurface()
{
  BITMAPINFO bmi;
  std::memset(&bmi, 0, sizeof(bmi));
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = m_allocw;
  bmi.bmiHeader.biHeight = isFlipped() ? m_alloch : -m_alloch;  // negative: top-down rows
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;

  void* bits = nullptr;
  m_bitmap = CreateDIBSection(m_dc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!m_bitmap || !bits)
  {
    if (m_bitmap)
      DeleteObject(m_bitmap);
    m_bitmap = nullptr;
    return false;
  }
  m_bits = (PX_pixel*)bits;
  m_oldbitmap = SelectObject(m_dc, m_bitmap);
  return true;
}

void PX_SysBitmap::releaseSurface()
{
  if (m_oldbitmap && m_dc)
    SelectObject(m_dc, m_oldbitmap);
  m_oldbitmap = nullptr;
  if (m_bitmap)
    DeleteObject(m_bitmap);
  m_bitmap = nullptr;
  m_bits = nullptr;
}
