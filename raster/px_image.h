// The image-loader list: one record per image format, each able to load a file into a bitmap and
// to describe its file-name patterns. Loaders register during start-up, newest first, and are
// only read afterwards.
#pragma once

#include "raster/px.h"

struct PX_ImageLoaderEntry
{
  // Loads filename into bmp (or a new bitmap when bmp is null); with checkFileName true, refuses
  // names whose extension is not the format's. Returns the bitmap or null.
  PX_IBitmap* (*loadfunc)(const char* filename, bool checkFileName, PX_IBitmap* bmp);
  // The format's extension list: pairs of NUL-terminated texts (description, pattern) ended by
  // an empty text, the form of a file-dialog filter. Null when the format has none.
  const char* (*get_extlist)();
  PX_ImageLoaderEntry* _next;
};

// Head of the list; null until a loader registers.
extern PX_ImageLoaderEntry* PX_ImageLoader_list;

// The PNG format's record. Its single instance registers itself during start-up.
class PX_PNGLoader
{
public:
  PX_PNGLoader();

  static PX_IBitmap* loadfunc(const char* filename, bool checkFileName, PX_IBitmap* bmp);
  static const char* get_extlist();

  PX_ImageLoaderEntry m_rec;
};

// Tries every loader that accepts the name's extension, newest first; with tryall, then every
// loader regardless of the name. The first bitmap loaded is returned, else null.
PX_IBitmap* PX_LoadImage(const char* filename, PX_IBitmap* bmp = nullptr, bool tryall = false);

// A file-dialog filter of every loader's list, optionally preceded by one entry for all supported
// patterns and followed by one for all files. Allocated with malloc; the caller frees it. Null when
// the buffer cannot be allocated.
char* PX_GetImageExtensionList(bool wantAllSup = true, bool wantAllFiles = true);

// True when some loader's first pattern carries the name's extension (ignoring case).
bool PX_ImageIsSupported(const char* filename);
