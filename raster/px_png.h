// PNG decoding into 32-bit bitmaps: from memory, from a file and from a resource of a module.
//
// Every image becomes straight (not premultiplied) 0xAARRGGBB pixel words, alpha 255 where the image
// has none. Each loader either returns a bitmap holding the whole image or null: damaged, truncated
// or oversized data never yields a partly decoded bitmap. When a bitmap is passed in, it is resized
// to the image and returned, and a decode that fails leaves it as it was; when null is passed, a
// new PX_MemBitmap is returned that the caller deletes.
#pragma once

#include "raster/px.h"

#ifdef _WIN32
typedef HINSTANCE PX_ModuleHandle;
#else
typedef void* PX_ModuleHandle;  // natively a placeholder: resources are linked in, see below
#endif

// Decodes len bytes at data. Null for fewer than 8 bytes or no PNG signature.
PX_IBitmap* PX_LoadPNGFromMemory(const void* data, int len, PX_IBitmap* bmp = nullptr);

// Decodes the file named by filename (UTF-8).
PX_IBitmap* PX_LoadPNG(const char* filename, PX_IBitmap* bmp = nullptr);

// Decodes the resource of type "PNG" with the given id (its low 16 bits) of a module. Natively
// the module is ignored and the id is looked up among the linked-in resources.
PX_IBitmap* PX_LoadPNGFromResource(PX_ModuleHandle hInst, int resid, PX_IBitmap* bmp = nullptr);

#ifndef _WIN32
// Native stand-in for module resources: byte arrays that the build links into the program, each
// registering itself during start-up (see qv_add_linked_resources in raster/CMakeLists.txt). Records
// live in static storage and are never removed. Registration must happen in the program itself,
// not in a static library, or the linker drops it.
struct PX_LinkedResource
{
  PX_LinkedResource(int id, const char* type, const unsigned char* data, int size);

  int id;
  const char* type;
  const unsigned char* data;
  int size;
  const PX_LinkedResource* next;
};

// The most recently registered resource with this id and type (compared exactly), or null.
const PX_LinkedResource* PX_FindLinkedResource(int id, const char* type);
#endif
