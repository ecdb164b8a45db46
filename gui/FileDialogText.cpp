#include "gui/FileDialogText.h"

#include <cstring>

bool BuildFileFilter(const char* extensions, char* filter, int filterSize)
{
  if (!filter || filterSize < 1)
    return false;
  filter[0] = '\0';
  if (filterSize < 2)
    return false;
  filter[1] = '\0';
  if (!extensions || !*extensions)
    return false;

  // Room for the pattern twice, each terminated, and the final terminator.
  const int maxJoined = (filterSize - 3) / 2;
  int len = 0;
  for (const char* ext = extensions;;)
  {
    const char* end = strchr(ext, ' ');
    const int extLen = end ? (int)(end - ext) : (int)strlen(ext);
    const int sep = len ? 1 : 0;
    if (extLen > maxJoined - len - sep - 2)
      break;
    if (sep)
      filter[len++] = ';';
    filter[len++] = '*';
    filter[len++] = '.';
    memcpy(filter + len, ext, (size_t)extLen);
    len += extLen;
    if (!end)
      break;
    ext = end + 1;
  }
  if (!len)
    return false;
  filter[len] = '\0';
  memcpy(filter + len + 1, filter, (size_t)len);
  filter[2 * len + 1] = '\0';
  filter[2 * len + 2] = '\0';
  return true;
}

void BuildDefaultExtension(const char* extensions, char* defExt, int defExtSize)
{
  if (!defExt || defExtSize < 1)
    return;
  defExt[0] = '\0';
  if (!extensions)
    return;
  const char* end = strchr(extensions, ' ');
  const size_t n = end ? (size_t)(end - extensions) : strlen(extensions);
  if (n < (size_t)defExtSize)
  {
    memcpy(defExt, extensions, n);
    defExt[n] = '\0';
  }
}
