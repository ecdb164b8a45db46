// Native stand-ins for the PNG loader's platform side: plain fopen for files, and resources linked
// into the program as byte arrays in place of a module's resource section.
#include "raster/px_png.h"

#include "raster/px_png_platform.h"

#include <cstring>

namespace {
// Head of the linked-resource registry; constant-initialised, so registration order across
// translation units does not matter.
const PX_LinkedResource* s_linkedResources = nullptr;
}  // namespace

FILE* pxi_OpenFileUTF8(const char* filename) { return fopen(filename, "rb"); }

PX_LinkedResource::PX_LinkedResource(int id_, const char* type_, const unsigned char* data_,
                                     int size_)
  : id(id_)
  , type(type_)
  , data(data_)
  , size(size_)
  , next(s_linkedResources)
{
  s_linkedResources = this;
}

const PX_LinkedResource* PX_FindLinkedResource(int id, const char* type)
{
  if (!type)
    return nullptr;
  for (const PX_LinkedResource* r = s_linkedResources; r; r = r->next)
    if (r->id == id && r->type && !strcmp(r->type, type))
      return r;
  return nullptr;
}

PX_IBitmap* PX_LoadPNGFromResource(PX_ModuleHandle, int resid, PX_IBitmap* bmp)
{
  const PX_LinkedResource* r = PX_FindLinkedResource(resid & 0xFFFF, "PNG");
  if (!r || !r->data || r->size < 8)
    return nullptr;
  return PX_LoadPNGFromMemory(r->data, r->size, bmp);
}
