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
  return PutEachLocked(
    pChunk, [&] { return NParams(); },
    [&](int i) {
      const double v = GetParam(i)->Value();
      return pChunk->Put(&v) >= 1;
    });
}

int PluginBase::ReadParams(const ByteChunk* pChunk, int startPos, QvTypedBuf<double>* pValues) const
{
  if (!pChunk || !pValues || startPos < 0 || startPos > pChunk->Size())
    return -1;
  const int n = NParams();
  if ((long long)n * (long long)sizeof(double) > (long long)(pChunk->Size() - startPos))
    return -1;
  pValues->Resize(n);
  if (pValues->GetSize() != n)
    return -1;
  int pos = startPos;
  for (int i = 0; i < n; ++i)
    pos = pChunk->Get(pValues->Get() + i, pos);
  return pos;
}

void PluginBase::ApplyParams(const double* values)
{
  for (int i = 0; i < NParams(); ++i)
    if (std::isfinite(values[i]))
      GetParam(i)->Set(values[i]);
  OnParamReset();
}

int PluginBase::UnserializeParams(ByteChunk* pChunk, int startPos)
{
  QvTypedBuf<double> values;
  const int pos = ReadParams(pChunk, startPos, &values);
  if (pos < 0)
    return -1;
  IMutexLock lock(this);
  ApplyParams(values.Get());
  return pos;
}
