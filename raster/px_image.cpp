// The image-loader list, its file-name functions, and the PNG format's record.
#include "raster/px_image.h"

#include "raster/px_png.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

PX_ImageLoaderEntry* PX_ImageLoader_list = nullptr;

namespace {

int lowerAscii(int c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

// Case-insensitive comparisons of ASCII texts, independent of the locale.
bool equalNoCase(const char* a, const char* b)
{
  for (; *a && lowerAscii((unsigned char)*a) == lowerAscii((unsigned char)*b); ++a, ++b)
  {}
  return lowerAscii((unsigned char)*a) == lowerAscii((unsigned char)*b);
}

bool equalNoCaseN(const char* a, const char* b, size_t n)
{
  for (size_t i = 0; i < n; ++i)
  {
    if (lowerAscii((unsigned char)a[i]) != lowerAscii((unsigned char)b[i]))
      return false;
    if (!a[i])
      return true;
  }
  return true;
}

// Appends count bytes. Every byte past the length stays zero and two of them are always kept, so
// whatever the list holds when an append fails, it still ends in an empty text. True on failure,
// with the buffer unchanged.
bool grow_buf(char** buf, size_t* cap, size_t* len, const void* data, size_t count)
{
  if (*len + count + 2 > *cap)
  {
    const size_t newcap = *len + count + 4096;
    char* p = (char*)realloc(*buf, newcap);
    if (!p)
      return true;
    memset(p + *cap, 0, newcap - *cap);
    *buf = p;
    *cap = newcap;
  }
  memcpy(*buf + *len, data, count);
  *len += count;
  return false;
}

// The text after the first one of an extension list (its first pattern), or null when the list is
// empty.
const char* firstPattern(const char* list)
{
  if (!list || !*list)
    return nullptr;
  return list + strlen(list) + 1;
}

// Size of an extension list up to and including the empty text that ends it.
size_t extListSize(const char* list)
{
  size_t i = 0;
  while (list[i] || list[i + 1])
    ++i;
  return i + 2;
}

const char s_pngExtList[] = "PNG files (*.PNG)\0*.PNG\0";  // the literal adds the closing NUL

// Lives here rather than with the decoder so that any program using the list links it in.
PX_PNGLoader s_pngLoader;

}  // namespace

PX_PNGLoader::PX_PNGLoader()
{
  m_rec.loadfunc = loadfunc;
  m_rec.get_extlist = get_extlist;
  m_rec._next = PX_ImageLoader_list;
  PX_ImageLoader_list = &m_rec;
}

PX_IBitmap* PX_PNGLoader::loadfunc(const char* filename, bool checkFileName, PX_IBitmap* bmp)
{
  if (!filename)
    return nullptr;
  if (checkFileName)
  {
    const char* p = filename + strlen(filename);
    while (p > filename && *p != '\\' && *p != '/' && *p != '.')
      --p;
    if (!equalNoCase(p, ".png"))
      return nullptr;
  }
  return PX_LoadPNG(filename, bmp);
}

const char* PX_PNGLoader::get_extlist() { return s_pngExtList; }

PX_IBitmap* PX_LoadImage(const char* filename, PX_IBitmap* bmp, bool tryall)
{
  if (!filename)
    return nullptr;
  // First the loaders that claim the file's extension, then (with tryall) every loader.
  for (const bool checkFileName : {true, false})
  {
    if (!checkFileName && !tryall)
      break;
    for (PX_ImageLoaderEntry* e = PX_ImageLoader_list; e; e = e->_next)
    {
      PX_IBitmap* r = e->loadfunc ? e->loadfunc(filename, checkFileName, bmp) : nullptr;
      if (r)
        return r;
    }
  }
  return nullptr;
}

char* PX_GetImageExtensionList(bool wantAllSup, bool wantAllFiles)
{
  size_t cap = 4096, len = 0;
  char* buf = (char*)calloc(cap, 1);
  if (!buf)
    return nullptr;

  if (wantAllSup)
  {
    if (grow_buf(&buf, &cap, &len, "All supported images", 21))
    {
      free(buf);
      return nullptr;
    }
    bool any = false;
    for (PX_ImageLoaderEntry* e = PX_ImageLoader_list; e; e = e->_next)
    {
      const char* pat = firstPattern(e->get_extlist ? e->get_extlist() : nullptr);
      while (pat && *pat)
      {
        const size_t n = strlen(pat) + 1;
        if ((any && grow_buf(&buf, &cap, &len, ";", 1)) || grow_buf(&buf, &cap, &len, pat, n))
        {
          free(buf);
          return nullptr;
        }
        --len;  // the next pattern joins this text
        any = true;
        pat = firstPattern(pat + n);  // skip the next description
      }
    }
    if (any)
    {
      ++len;
    }
    else
    {
      memset(buf, 0, len);
      len = 0;
    }
  }

  for (PX_ImageLoaderEntry* e = PX_ImageLoader_list; e; e = e->_next)
  {
    const char* list = e->get_extlist ? e->get_extlist() : nullptr;
    if (!list || !*list)
      continue;
    const size_t size = extListSize(list);
    if (size > 2)
    {
      if (grow_buf(&buf, &cap, &len, list, size))
        return buf;
      --len;  // the next list replaces the final NUL
    }
  }

  if (wantAllFiles)
    grow_buf(&buf, &cap, &len, "All files (*.*)\0*.*\0", 21);
  return buf;
}

bool PX_ImageIsSupported(const char* filename)
{
  if (!filename)
    return false;
  size_t i = strlen(filename);
  while (i > 0 && filename[i - 1] != '/' && filename[i - 1] != '.' && filename[i - 1] != '\\')
    --i;
  if (i == 0 || filename[i - 1] != '.')
    return false;
  const char* p = filename + i - 1;
  const size_t n = strlen(p);

  for (PX_ImageLoaderEntry* e = PX_ImageLoader_list; e; e = e->_next)
  {
    const char* pat = firstPattern(e->get_extlist ? e->get_extlist() : nullptr);
    if (!pat)
      continue;
    for (const char* q = pat; *q; ++q)
      if (equalNoCaseN(q, p, n) && (q[n] == 0 || q[n] == ';'))
        return true;
  }
  return false;
}
