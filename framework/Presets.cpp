// PluginBase: program slots - filling, restoring, renaming, pruning - and the bank state.

#include "framework/PluginBase.h"

#include "framework/base/Base64.h"
#include "framework/base/StrCopy.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

const char* const kUserPresetName = "user preset";

// Parameters whose preset values are passed as ints (MakePreset, MakePresetFromNamedParams).
bool TakesIntArg(const IParam* pParam)
{
  const int type = pParam->Type();
  return type == IParam::kTypeBool || type == IParam::kTypeInt || type == IParam::kTypeEnum;
}

// Reads one preset value of a parameter's type from the argument list. Without a parameter (an
// index outside the list) the value is read as a double, as for a parameter not yet initialised.
double NextPresetArg(const IParam* pParam, va_list& vp)
{
  if (pParam && TakesIntArg(pParam))
    return (double)va_arg(vp, int);
  return va_arg(vp, double);
}

// Makes a free slot a program: taken, named, its stored state emptied for the caller to fill.
void TakeSlot(IPreset* pPreset, const char* name)
{
  pPreset->mInitialized = true;
  pPreset->SetName(name);
  pPreset->mChunk.Clear();
}

}  // namespace

void IPreset::SetName(const char* name) { StrCopyBounded(mName, kNameSize, name); }

IPreset* PluginBase::GetNextUninitializedPreset()
{
  for (int i = 0; i < NPresets(); ++i)
  {
    IPreset* pPreset = mPresets.Get(i);
    if (!pPreset->mInitialized)
      return pPreset;
  }
  return nullptr;
}

void PluginBase::MakeUserPresetName(char* name)
{
  int nUser = 0;
  for (int i = 0; i < NPresets(); ++i)
    if (strstr(mPresets.Get(i)->mName, kUserPresetName))
      ++nUser;
  snprintf(name, IPreset::kNameSize, "%s %d", kUserPresetName, nUser + 1);
}

void PluginBase::MakePreset(const char* name, ...)
{
  IPreset* pPreset = GetNextUninitializedPreset();
  if (!pPreset)
    return;
  TakeSlot(pPreset, name);

  va_list vp;
  va_start(vp, name);
  for (int i = 0; i < NParams(); ++i)
  {
    const double v = NextPresetArg(GetParam(i), vp);
    pPreset->mChunk.Put(&v);
  }
  va_end(vp);
}

void PluginBase::MakePresetFromNamedParams(const char* name, int nParamsNamed, ...)
{
  IPreset* pPreset = GetNextUninitializedPreset();
  if (!pPreset)
    return;
  const int n = NParams();
  QvTypedBuf<double> values;
  QvTypedBuf<unsigned char> given;  // 1 where the caller named the parameter
  values.Resize(n);
  given.Resize(n);
  if (values.GetSize() != n || given.GetSize() != n)
    return;
  if (n)
    memset(given.Get(), 0, (size_t)n);

  va_list vp;
  va_start(vp, nParamsNamed);
  for (int i = 0; i < nParamsNamed; ++i)
  {
    const int paramIdx = va_arg(vp, int);
    const IParam* pParam = GetParam(paramIdx);
    const double v = NextPresetArg(pParam, vp);
    if (pParam)
    {
      values.Get()[paramIdx] = v;
      given.Get()[paramIdx] = 1;
    }
  }
  va_end(vp);

  TakeSlot(pPreset, name);
  for (int i = 0; i < n; ++i)
  {
    const double v = given.Get()[i] ? values.Get()[i] : GetParam(i)->Value();
    pPreset->mChunk.Put(&v);
  }
}

void PluginBase::MakePresetFromChunk(const char* name, ByteChunk* pChunk)
{
  IPreset* pPreset = GetNextUninitializedPreset();
  if (!pPreset)
    return;
  TakeSlot(pPreset, name);
  if (pChunk)
    pPreset->mChunk.PutChunk(pChunk);
}

void PluginBase::MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk)
{
  ByteChunk presetChunk;
  if (presetChunk.Resize(sizeOfChunk) < 0)
    return;
  Base64Decode(blob, presetChunk.GetBytes(), sizeOfChunk);
  MakePresetFromChunk(name, &presetChunk);
}

void PluginBase::MakeDefaultPreset(const char* name, int nPresets)
{
  for (int i = 0; i < nPresets; ++i)
  {
    IPreset* pPreset = GetNextUninitializedPreset();
    if (!pPreset)
      return;
    TakeSlot(pPreset, name ? name : "Empty");
    SerializeState(&pPreset->mChunk);
  }
}

void PluginBase::EnsureDefaultPreset() { MakeDefaultPreset("Empty", NPresets()); }

void PluginBase::PruneUninitializedPresets()
{
  for (int i = NPresets() - 1; i >= 0; --i)
    if (!mPresets.Get(i)->mInitialized)
      mPresets.Delete(i, true);
}

bool PluginBase::RestorePreset(int idx)
{
  IMutexLock lock(this);
  IPreset* pPreset = mPresets.Get(idx);
  if (!pPreset)
    return false;
  if (!pPreset->mInitialized)
  {
    char name[IPreset::kNameSize];
    MakeUserPresetName(name);
    TakeSlot(pPreset, name);
    SerializeState(&pPreset->mChunk);
  }
  else if (UnserializeState(&pPreset->mChunk, 0) <= 0)
  {
    return false;
  }
  mCurrentPresetIdx = idx;
  PresetsChangedByHost();
  RedrawParamControls();
  return true;
}

bool PluginBase::RestorePreset(const char* name)
{
  if (!name || !*name)
    return false;
  IMutexLock lock(this);
  for (int i = 0; i < NPresets(); ++i)
    if (!strcmp(mPresets.Get(i)->mName, name))
      return RestorePreset(i);
  return false;
}

const char* PluginBase::GetPresetName(int idx)
{
  const IPreset* pPreset = mPresets.Get(idx);
  return pPreset ? pPreset->mName : "";
}

void PluginBase::ModifyCurrentPreset(const char* name)
{
  IMutexLock lock(this);
  IPreset* pPreset = mPresets.Get(mCurrentPresetIdx);
  if (!pPreset)
    return;
  pPreset->mChunk.Clear();
  SerializeState(&pPreset->mChunk);
  if (name && *name)
    pPreset->SetName(name);
}

bool PluginBase::CompareState(const unsigned char* data, int startPos)
{
  if (!data || startPos < 0)
    return false;
  const unsigned char* pState = data + (size_t)startPos * sizeof(double);
  for (int i = 0; i < NParams(); ++i)
  {
    double stored;
    memcpy(&stored, pState + (size_t)i * sizeof(double), sizeof(double));
    const float diff = (float)GetParam(i)->Value() - (float)stored;
    if (!(diff < 0.00001f && diff > -0.00001f))
      return false;
  }
  return true;
}

bool PluginBase::SerializePresets(ByteChunk* pChunk)
{
  return PutEachLocked(
    pChunk, [&] { return NPresets(); },
    [&](int i) {
      IPreset* pPreset = mPresets.Get(i);
      return pChunk->PutStr(pPreset->mName) >= 1 && pChunk->PutBool(pPreset->mInitialized) >= 1 &&
             (!pPreset->mInitialized || pChunk->PutChunk(&pPreset->mChunk) >= 1);
    });
}

namespace {

// One slot as read from a bank, held until the whole bank has been read.
struct StagedPreset
{
  QvString mName;
  bool mInitialized = false;
  ByteChunk mState;
};

}  // namespace

int PluginBase::StagePresetState(ByteChunk* pChunk, int pos, double* current, ByteChunk* pState)
{
  IMutexLock lock(this);
  const int nParams = NParams();
  for (int i = 0; i < nParams; ++i)
    current[i] = GetParam(i)->Value();
  // The parameters go back as they were, however the reader ends; OnParamReset is quiet till then.
  struct Staging
  {
    PluginBase* mPlug;
    const double* mValues;
    ~Staging()
    {
      for (int i = 0; i < mPlug->NParams(); ++i)
        mPlug->GetParam(i)->Set(mValues[i]);
      mPlug->mStagingPresets = false;
    }
  } staging{this, current};
  mStagingPresets = true;
  pos = UnserializeState(pChunk, pos);
  return pos > 0 && SerializeState(pState) ? pos : -1;
}

int PluginBase::UnserializePresets(ByteChunk* pChunk, int startPos)
{
  if (!pChunk || startPos < 0)
    return -1;
  const int nParams = NParams(), n = NPresets();
  QvTypedBuf<double> current;
  current.Resize(nParams);
  if (current.GetSize() != nParams)
    return -1;
  StagedPreset* pStaged = new StagedPreset[n > 0 ? n : 1];

  // Read whole first. Names and flags are read without the lock; each slot's state goes through
  // the plug-in's own state reader and back through its writer in one short hold of the lock, so
  // the audio thread waits for one slot at most and nothing outside the lock sees a slot's values.
  int pos = startPos;
  for (int i = 0; i < n && pos >= 0; ++i)
  {
    StagedPreset& s = pStaged[i];
    pos = pChunk->GetStr(&s.mName, pos);
    if (pos >= 0)
      pos = pChunk->GetBool(&s.mInitialized, pos);
    if (pos >= 0 && s.mInitialized)
      pos = StagePresetState(pChunk, pos, current.Get(), &s.mState);
  }

  if (pos >= 0)
  {
    IMutexLock lock(this);
    for (int i = 0; i < n; ++i)
    {
      IPreset* pPreset = mPresets.Get(i);
      StagedPreset& s = pStaged[i];
      pPreset->SetName(s.mName.Get());
      pPreset->mInitialized = s.mInitialized;
      if (s.mInitialized)
      {
        pPreset->mChunk.Clear();
        pPreset->mChunk.PutChunk(&s.mState);
      }
    }
    RestorePreset(mCurrentPresetIdx);
  }
  delete[] pStaged;
  return pos;
}
