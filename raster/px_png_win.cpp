// The PNG loader's Windows side: UTF-8 file names opened as wide names, and PNG resources of a
// module.
#include "raster/px_png.h"

#include "raster/px_png_platform.h"

#include <climits>

FILE* pxi_OpenFileUTF8(const char* filename)
{
  FILE* fp = nullptr;
  // The NT family opens every Unicode name through the wide call; the narrow call is the fallback
  // for names that are not valid UTF-8 or do not fit.
  if (!(GetVersion() & 0x80000000u))
  {
    WCHAR wide[2048];
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, filename, -1, wide, 2048))
      fp = _wfopen(wide, L"rb");
  }
  if (!fp)
    fp = fopen(filename, "rb");
  return fp;
}

PX_IBitmap* PX_LoadPNGFromResource(PX_ModuleHandle hInst, int resid, PX_IBitmap* bmp)
{
  HRSRC res = FindResourceA(hInst, MAKEINTRESOURCEA(resid & 0xFFFF), "PNG");
  if (!res)
    return nullptr;
  const DWORD size = SizeofResource(hInst, res);
  if (size < 8 || size > (DWORD)INT_MAX)
    return nullptr;
  HGLOBAL h = LoadResource(hInst, res);
  const void* data = h ? LockResource(h) : nullptr;
  if (!data)
    return nullptr;
  return PX_LoadPNGFromMemory(data, (int)size, bmp);
}
