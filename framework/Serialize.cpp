// PluginBase: the state-chunk header and the program state (one double per parameter).

#include "framework/PluginBase.h"

#include <cmath>

void PluginBase::InitChunkWithPluginVer(ByteChunk* pChunk)
{
  pChunk->Clear();
  const int magic = kChunkMagic;
  const int version = kFrameworkVersion;
  pChunk->Put(&magic);
  pChunk->Put(&version);
}

int PluginBase::GetPluginVerFromChunk(ByteChunk* pChunk, int* pPos)
{
  if (!pChunk || !pPos)
    return 0;
  int magic = 0;
  int pos = pChunk->Get(&magic, *pPos);
  if (pos < 0 || magic != kChunkMagic)
    return 0;
  int version = 0;
  pos = pChunk->Get(&version, pos);
  if (pos < 0)
    return 0;
  *pPos = pos;
  return version;
}

bool PluginBase::SerializeParams(ByteChunk* pChunk)
{
  if (!pChunk)
    return false;
  IMutexLock lock(this);
  for (int i = 0; i < NParams(); ++i)
  {
    const double v = GetParam(i)->Value();
    if (pChunk->Put(&v) < 1)
      return false;
  }
  return true;
}

int PluginBase::UnserializeParams(ByteChunk* pChunk, int startPos)
{
  if (!pChunk || startPos < 0 || startPos > pChunk->Size())
    return -1;
  IMutexLock lock(this);
  const int n = NParams();
  if ((long long)n * (long long)sizeof(double) > (long long)(pChunk->Size() - startPos))
    return -1;

  int pos = startPos;
  for (int i = 0; i < n; ++i)
  {
    double v = 0.0;
    pos = pChunk->Get(&v, pos);
    if (std::isfinite(v))
      GetParam(i)->Set(v);
  }
  OnParamReset();
  return pos;
}
