#include "framework/base/FileIO.h"

#include "framework/base/FileIOPlatform.h"

#include <atomic>
#include <climits>
#include <cstdio>

namespace {

// "<path>.<process>-<count>.tmp": unique among the saves of this process and of others.
bool TemporaryName(const char* path, QvTypedBuf<char>* pName)
{
  static std::atomic<unsigned> sCount{0};
  const char* const kFormat = "%s.%lu-%u.tmp";
  const unsigned long process = PlatformProcessId();
  const unsigned count = sCount.fetch_add(1, std::memory_order_relaxed);
  const int n = snprintf(nullptr, 0, kFormat, path, process, count);
  if (n < 1 || n == INT_MAX)
    return false;
  pName->Resize(n + 1);
  return pName->GetSize() == n + 1 &&
         snprintf(pName->Get(), (size_t)n + 1, kFormat, path, process, count) == n;
}

}  // namespace

bool QvWriteFile(const char* path, const void* data, int size, bool textMode)
{
  if (!path || !*path || size < 0 || (size > 0 && !data))
    return false;
  QvTypedBuf<char> tmp;
  if (!TemporaryName(path, &tmp))
    return false;

  FILE* file = fopen(tmp.Get(), textMode ? "w" : "wb");
  if (!file)
    return false;
  const bool written = size == 0 || fwrite(data, 1, (size_t)size, file) == (size_t)size;
  const bool closed = fclose(file) == 0;
  if (written && closed && PlatformReplaceFile(tmp.Get(), path))
    return true;
  remove(tmp.Get());
  return false;
}

bool QvReadFile(const char* path, ByteChunk* pChunk)
{
  if (!path || !pChunk)
    return false;
  pChunk->Clear();
  FILE* file = fopen(path, "rb");
  if (!file)
    return false;
  unsigned char block[16384];
  bool ok = true;
  for (;;)
  {
    const size_t n = fread(block, 1, sizeof(block), file);
    if (n > 0 && pChunk->PutBytes(block, (int)n) < 1)
    {
      ok = false;
      break;
    }
    if (n < sizeof(block))
    {
      ok = !ferror(file);
      break;
    }
  }
  fclose(file);
  return ok;
}
