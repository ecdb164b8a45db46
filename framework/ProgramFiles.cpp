// PluginBase: program (FXP) and bank (FXB) files. The layouts are in FxFiles; a file is read and
// checked whole before anything changes, then applied through the state and preset operations.

#include "framework/PluginBase.h"

#include "framework/FxFiles.h"
#include "framework/base/FileIO.h"

#include <cstring>

namespace {

FxIdentity IdentityOf(PluginBase* pPlug)
{
  return FxIdentity{pPlug->GetUniqueID(), pPlug->GetEffectVersion(true), pPlug->NParams()};
}

// The value of parameter i stored in a slot's state (0.0 where the state ends), normalised.
float StoredNormalized(IParam* pParam, const ByteChunk& state, int i)
{
  double v = 0.0;
  state.Get(&v, i * (int)sizeof(double));
  return (float)pParam->GetNormalized(v);
}

// Where a stored state or bank begins: behind its header, or at 0 when it has none.
int PosAfterHeader(ByteChunk* pChunk)
{
  int pos = 0;
  PluginBase::GetPluginVerFromChunk(pChunk, &pos);
  return pos;
}

// Writes a file into pFile under the instance lock: write(identity) puts its contents. pFile is
// left empty when that fails.
template <class WRITE>
bool WriteFxFile(PluginBase* pPlug, ByteChunk* pFile, WRITE&& write)
{
  if (!pFile)
    return false;
  pFile->Clear();
  PluginBase::IMutexLock lock(pPlug);
  const bool ok = write(IdentityOf(pPlug));
  if (!ok)
    pFile->Clear();
  return ok;
}

// Reads and checks a file into *pFx with read, then applies it: apply() under the instance lock,
// after which, when it succeeded, the host is told of the program change (outside the lock).
template <class FX, class APPLY>
bool ApplyFxFile(PluginBase* pPlug, const unsigned char* data, int size,
                 bool (*read)(const unsigned char*, int, const FxIdentity&, bool, FX*), FX* pFx,
                 APPLY&& apply)
{
  if (!read(data, size, IdentityOf(pPlug), pPlug->DoesStateChunks(), pFx))
    return false;
  PluginBase::IMutexLock lock(pPlug);
  if (!apply())
    return false;
  lock.Destroy();
  pPlug->InformHostOfProgramChange();
  return true;
}

}  // namespace

bool PluginBase::GetProgramFXP(ByteChunk* pFile)
{
  return WriteFxFile(this, pFile, [&](const FxIdentity& id) {
    const char* name = GetPresetName(mCurrentPresetIdx);
    if (DoesStateChunks())
    {
      ByteChunk state;
      InitChunkWithPluginVer(&state);
      return SerializeState(&state) && FxPutProgramChunk(pFile, id, name, state);
    }
    QvTypedBuf<float> values;
    values.Resize(id.mNParams);
    bool ok = values.GetSize() == id.mNParams;
    for (int i = 0; ok && i < id.mNParams; ++i)
      values.Get()[i] = (float)GetParam(i)->GetNormalized();
    return ok && FxPutProgram(pFile, id, name, values.Get());
  });
}

bool PluginBase::GetBankFXB(ByteChunk* pFile)
{
  return WriteFxFile(this, pFile, [&](const FxIdentity& id) {
    if (DoesStateChunks())
    {
      ByteChunk bank;
      InitChunkWithPluginVer(&bank);
      return SerializePresets(&bank) &&
             FxPutBankChunk(pFile, id, NPresets(), mCurrentPresetIdx, bank);
    }
    // Each slot's stored values; the slots hold program states of one double per parameter.
    QvTypedBuf<float> values;
    values.Resize(id.mNParams);
    bool ok =
      values.GetSize() == id.mNParams && FxPutBankHead(pFile, id, NPresets(), mCurrentPresetIdx);
    for (int s = 0; ok && s < NPresets(); ++s)
    {
      const IPreset* pPreset = mPresets.Get(s);
      for (int i = 0; i < id.mNParams; ++i)
        values.Get()[i] = StoredNormalized(GetParam(i), pPreset->mChunk, i);
      ok = FxPutProgram(pFile, id, pPreset->mName, values.Get());
    }
    return ok;
  });
}

bool PluginBase::SetProgramFromFXP(const unsigned char* data, int size)
{
  FxProgram fxp;
  return ApplyFxFile(this, data, size, FxReadProgram, &fxp, [&] {
    if (fxp.mChunkForm)
    {
      if (UnserializeState(&fxp.mState, PosAfterHeader(&fxp.mState)) < 0)
        return false;
      ModifyCurrentPreset(fxp.mName.mText);
      RedrawParamControls();
    }
    else
    {
      // The values become the current slot's state, which is then applied as a program change.
      for (int i = 0; i < NParams(); ++i)
        GetParam(i)->SetNormalized(fxp.mValues.Get()[i]);
      ModifyCurrentPreset(fxp.mName.mText);
      if (!RestorePreset(mCurrentPresetIdx))
      {
        // No slot to hold them (a plug-in without programs): apply the values directly.
        OnParamReset();
        RedrawParamControls();
      }
    }
    return true;
  });
}

bool PluginBase::SetBankFromFXB(const unsigned char* data, int size)
{
  FxBank fxb;
  return ApplyFxFile(this, data, size, FxReadBank, &fxb, [&] {
    if (fxb.mChunkForm)
      return UnserializePresets(&fxb.mBank, PosAfterHeader(&fxb.mBank)) >= 0;

    // The records become a bank state, which UnserializePresets reads as a whole. A record's state
    // is what SerializeState makes of its values; the parameters are put back afterwards. Slots
    // beyond the file's records keep what they hold; records beyond the slots are skipped.
    const int nParams = NParams(), nSlots = NPresets();
    QvTypedBuf<double> saved;
    saved.Resize(nParams);
    if (saved.GetSize() != nParams)
      return false;
    for (int i = 0; i < nParams; ++i)
      saved.Get()[i] = GetParam(i)->Value();

    ByteChunk bank, state;
    bool ok = true;
    for (int s = 0; ok && s < nSlots; ++s)
    {
      const IPreset* pPreset = mPresets.Get(s);
      if (s >= fxb.mNPrograms)
      {
        ok = bank.PutStr(pPreset->mName) > 0 && bank.PutBool(pPreset->mInitialized) > 0 &&
             (!pPreset->mInitialized || bank.PutChunk(&pPreset->mChunk) > 0);
        continue;
      }
      const float* values = fxb.mValues.Get() + (size_t)s * nParams;
      for (int i = 0; i < nParams; ++i)
      {
        GetParam(i)->Set(saved.Get()[i]);
        GetParam(i)->SetNormalized(values[i]);
      }
      state.Clear();
      ok = SerializeState(&state) && bank.PutStr(fxb.mNames.Get()[s].mText) > 0 &&
           bank.PutBool(true) > 0 && bank.PutChunk(&state) > 0;
    }
    for (int i = 0; i < nParams; ++i)
      GetParam(i)->Set(saved.Get()[i]);
    if (!ok)
      return false;

    const int before = mCurrentPresetIdx;
    if (nSlots > 0)
      mCurrentPresetIdx = fxb.mCurrentProgram < 0         ? 0
                          : fxb.mCurrentProgram >= nSlots ? nSlots - 1
                                                          : fxb.mCurrentProgram;
    if (UnserializePresets(&bank, 0) < 0)
    {
      mCurrentPresetIdx = before;
      return false;
    }
    return true;
  });
}

bool PluginBase::SaveProgramToFXPFile(const char* path)
{
  ByteChunk file;
  return GetProgramFXP(&file) && QvWriteFile(path, file.GetBytes(), file.Size());
}

bool PluginBase::SaveBankToFXBFile(const char* path)
{
  ByteChunk file;
  return GetBankFXB(&file) && QvWriteFile(path, file.GetBytes(), file.Size());
}

bool PluginBase::LoadProgramFromFXPFile(const char* path)
{
  ByteChunk file;
  return QvReadFile(path, &file) && SetProgramFromFXP(file.GetBytes(), file.Size());
}

bool PluginBase::LoadBankFromFXBFile(const char* path)
{
  ByteChunk file;
  return QvReadFile(path, &file) && SetBankFromFXB(file.GetBytes(), file.Size());
}
