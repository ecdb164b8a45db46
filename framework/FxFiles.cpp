#include "framework/FxFiles.h"

#include "framework/base/ByteOrder.h"
#include "framework/base/StrCopy.h"

#include <climits>
#include <cstdint>
#include <cstring>

namespace {

const char kFileMagic[] = "CcnK";
const char kProgramMagic[] = "FxCk";
const char kProgramChunkMagic[] = "FPCh";
const char kBankMagic[] = "FxBk";
const char kBankChunkMagic[] = "FBCh";
const int kProgramVersion = 1;
const int kBankVersion = 2;
const int kBankReserved = 124;

int GetBE32(const unsigned char* p)
{
  int v;
  memcpy(&v, p, 4);
  return QvBswapIfLE(v);
}

float GetBEFloat(const unsigned char* p)
{
  const int bits = GetBE32(p);
  float f;
  memcpy(&f, &bits, 4);
  return f;
}

bool IsMagic(const unsigned char* p, const char* magic) { return memcmp(p, magic, 4) == 0; }

bool PutBE32(ByteChunk* pOut, int v)
{
  const int be = QvBswapIfLE(v);
  return pOut->Put(&be) > 0;
}

bool PutBEFloat(ByteChunk* pOut, float f)
{
  int bits;
  memcpy(&bits, &f, 4);
  return PutBE32(pOut, bits);
}

bool PutMagic(ByteChunk* pOut, const char* magic) { return pOut->PutBytes(magic, 4) > 0; }

bool PutName(ByteChunk* pOut, const char* name)
{
  char field[kFxNameLen] = {};
  StrCopyBounded(field, kFxNameLen, name);
  return pOut->PutBytes(field, kFxNameLen) > 0;
}

void GetName(const unsigned char* p, FxName* pName)
{
  int n = 0;
  while (n < kFxNameLen && p[n])
    ++n;
  memcpy(pName->mText, p, (size_t)n);
  pName->mText[n] = '\0';
}

// Everything a program (a file or a bank's record) holds before its values or its state size.
bool PutProgramHead(ByteChunk* pOut, const char* fxMagic, int byteSize, const FxIdentity& id,
                    const char* name)
{
  return PutMagic(pOut, kFileMagic) && PutBE32(pOut, byteSize) && PutMagic(pOut, fxMagic) &&
         PutBE32(pOut, kProgramVersion) && PutBE32(pOut, id.mUniqueID) &&
         PutBE32(pOut, id.mVersion) && PutBE32(pOut, id.mNParams) && PutName(pOut, name);
}

// A program head (kFxProgramHeadSize bytes at p) this plug-in can take, whatever its form.
bool ProgramHeadFits(const unsigned char* p, const FxIdentity& id)
{
  return IsMagic(p, kFileMagic) && GetBE32(p + 12) == kProgramVersion &&
         GetBE32(p + 16) == id.mUniqueID && GetBE32(p + 24) == id.mNParams;
}

bool PutBankHead(ByteChunk* pOut, const char* fxMagic, long long fileSize, const FxIdentity& id,
                 int nPrograms, int currentProgram)
{
  static const char kZeros[kBankReserved] = {};
  return fileSize <= INT_MAX && PutMagic(pOut, kFileMagic) && PutBE32(pOut, (int)(fileSize - 8)) &&
         PutMagic(pOut, fxMagic) && PutBE32(pOut, kBankVersion) && PutBE32(pOut, id.mUniqueID) &&
         PutBE32(pOut, id.mVersion) && PutBE32(pOut, nPrograms) && PutBE32(pOut, currentProgram) &&
         pOut->PutBytes(kZeros, kBankReserved) > 0;
}

const int kPlainForm = 0;
const int kChunkForm = 1;

// The form a file declares at offset 8: its chunk form (only where chunks are allowed), its plain
// (parameter or program) form, or -1 for anything else.
int FormOf(const unsigned char* data, const char* plainMagic, const char* chunkMagic,
           bool chunksAllowed)
{
  if (IsMagic(data + 8, chunkMagic))
    return chunksAllowed ? kChunkForm : -1;
  return IsMagic(data + 8, plainMagic) ? kPlainForm : -1;
}

// The size of a chunk-form file's chunk, whose size field follows a head of headSize bytes; -1
// unless the chunk takes up the rest of the file exactly.
int ChunkSize(const unsigned char* data, int size, int headSize)
{
  if (size < headSize + 4)
    return -1;
  const int n = GetBE32(data + headSize);
  return n >= 0 && headSize + 4LL + n == size ? n : -1;
}

bool TakeBytes(ByteChunk* pChunk, const unsigned char* p, int n)
{
  pChunk->Clear();
  return pChunk->PutBytes(p, n) == n;
}

}  // namespace

int FxProgramSize(int nParams)
{
  if (nParams < 0 || nParams > (INT_MAX - kFxProgramHeadSize) / 4)
    return -1;
  return kFxProgramHeadSize + 4 * nParams;
}

bool FxPutProgram(ByteChunk* pOut, const FxIdentity& id, const char* name, const float* values)
{
  const int size = FxProgramSize(id.mNParams);
  if (!pOut || size < 0 || (id.mNParams > 0 && !values))
    return false;
  if (!PutProgramHead(pOut, kProgramMagic, size - 8, id, name))
    return false;
  for (int i = 0; i < id.mNParams; ++i)
    if (!PutBEFloat(pOut, values[i]))
      return false;
  return true;
}

bool FxPutProgramChunk(ByteChunk* pOut, const FxIdentity& id, const char* name,
                       const ByteChunk& state)
{
  const int stateSize = state.Size();
  if (!pOut || stateSize > INT_MAX - kFxProgramHeadSize - 4)
    return false;
  const int size = kFxProgramHeadSize + 4 + stateSize;
  return PutProgramHead(pOut, kProgramChunkMagic, size - 8, id, name) && PutBE32(pOut, stateSize) &&
         pOut->PutChunk(&state) > 0;
}

bool FxPutBankHead(ByteChunk* pOut, const FxIdentity& id, int nPrograms, int currentProgram)
{
  const int recordSize = FxProgramSize(id.mNParams);
  if (!pOut || recordSize < 0 || nPrograms < 0)
    return false;
  const long long size = kFxBankHeadSize + (long long)nPrograms * recordSize;
  return PutBankHead(pOut, kBankMagic, size, id, nPrograms, currentProgram);
}

bool FxPutBankChunk(ByteChunk* pOut, const FxIdentity& id, int nPrograms, int currentProgram,
                    const ByteChunk& bank)
{
  if (!pOut)
    return false;
  const long long size = kFxBankHeadSize + 4LL + bank.Size();
  return PutBankHead(pOut, kBankChunkMagic, size, id, nPrograms, currentProgram) &&
         PutBE32(pOut, bank.Size()) && pOut->PutChunk(&bank) > 0;
}

bool FxReadProgram(const unsigned char* data, int size, const FxIdentity& id, bool chunksAllowed,
                   FxProgram* pOut)
{
  if (!data || !pOut || size < kFxProgramHeadSize || !ProgramHeadFits(data, id))
    return false;
  const int form = FormOf(data, kProgramMagic, kProgramChunkMagic, chunksAllowed);
  const int stateSize = form == kChunkForm ? ChunkSize(data, size, kFxProgramHeadSize) : 0;
  if (form < 0 || stateSize < 0 || (form == kPlainForm && size != FxProgramSize(id.mNParams)))
    return false;

  pOut->mChunkForm = form == kChunkForm;
  GetName(data + 28, &pOut->mName);
  if (pOut->mChunkForm)
    return TakeBytes(&pOut->mState, data + kFxProgramHeadSize + 4, stateSize);
  const int n = id.mNParams;
  pOut->mValues.Resize(n);
  if (pOut->mValues.GetSize() != n)
    return false;
  for (int i = 0; i < n; ++i)
    pOut->mValues.Get()[i] = GetBEFloat(data + kFxProgramHeadSize + 4 * i);
  return true;
}

bool FxReadBank(const unsigned char* data, int size, const FxIdentity& id, bool chunksAllowed,
                FxBank* pOut)
{
  if (!data || !pOut || size < kFxBankHeadSize || !IsMagic(data, kFileMagic))
    return false;
  const int form = FormOf(data, kBankMagic, kBankChunkMagic, chunksAllowed);
  // Every version from 1 up is read with the current layout (version 1 banks hold zero where the
  // current program is).
  const int nPrograms = GetBE32(data + 24);
  if (form < 0 || GetBE32(data + 12) < 1 || GetBE32(data + 16) != id.mUniqueID || nPrograms < 0)
    return false;

  const int recordSize = FxProgramSize(id.mNParams);
  const int bankSize = form == kChunkForm ? ChunkSize(data, size, kFxBankHeadSize) : 0;
  if (recordSize < 0 || bankSize < 0 ||
      (form == kPlainForm && size != kFxBankHeadSize + (long long)nPrograms * recordSize))
    return false;

  pOut->mChunkForm = form == kChunkForm;
  pOut->mNPrograms = nPrograms;
  pOut->mCurrentProgram = GetBE32(data + 28);
  if (pOut->mChunkForm)
    return TakeBytes(&pOut->mBank, data + kFxBankHeadSize + 4, bankSize);

  // Every record's head first, then the copies (the sizes above keep the counts within the file).
  for (int r = 0; r < nPrograms; ++r)
  {
    const unsigned char* p = data + kFxBankHeadSize + (size_t)r * (size_t)recordSize;
    if (!ProgramHeadFits(p, id) || !IsMagic(p + 8, kProgramMagic))
      return false;
  }
  const int n = id.mNParams;
  pOut->mNames.Resize(nPrograms);
  pOut->mValues.Resize(nPrograms * n);
  if (pOut->mNames.GetSize() != nPrograms || pOut->mValues.GetSize() != nPrograms * n)
    return false;
  for (int r = 0; r < nPrograms; ++r)
  {
    const unsigned char* p = data + kFxBankHeadSize + (size_t)r * (size_t)recordSize;
    GetName(p + 28, pOut->mNames.Get() + r);
    for (int i = 0; i < n; ++i)
      pOut->mValues.Get()[(size_t)r * n + i] = GetBEFloat(p + kFxProgramHeadSize + 4 * i);
  }
  return true;
}
