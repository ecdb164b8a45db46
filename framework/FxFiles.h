#pragma once
// FXP program and FXB bank files: their byte layouts, apart from the plug-in and from file I/O, so
// that they can be written, checked and fuzzed from bytes.
//
// Every multi-byte field is a 32-bit big-endian integer, magics are four ASCII characters in file
// order and parameter values are big-endian IEEE single-precision floats.
//
//   FXP  0 "CcnK" | 4 byte size | 8 "FxCk" (parameter form) or "FPCh" (chunk form) | 12 version 1
//        | 16 unique id | 20 plug-in version | 24 parameter count | 28 name (28 bytes)
//        | 56 parameter form: one normalised value per parameter;
//          chunk form: 56 state size, 60 the state chunk
//   FXB  0 "CcnK" | 4 byte size | 8 "FxBk" (program form) or "FBCh" (chunk form) | 12 version 2
//        | 16 unique id | 20 plug-in version | 24 program count | 28 current program
//        | 32 reserved (124 zero bytes) | 156 program form: one parameter-form FXP per program;
//          chunk form: 156 bank size, 160 the bank chunk
//
// The byte size is written as the size of what follows it (file or record size - 8). Readers do not
// check it: other writers put 0 or the whole size there, and the real sizes are checked anyway.
// Banks are written as version 2 and read with that layout whatever their version from 1 up.
//
// Names fill a 28-byte field: written cut to 27 bytes with a terminator and NUL-padded, read up to
// the first NUL or 28 bytes.
//
// Readers check the whole file before they answer: magics, versions, unique id, counts, the head of
// every program record and every size against the file length, which must be taken up exactly.

#include "framework/base/ByteChunk.h"
#include "framework/base/HeapBuf.h"

// What a plug-in puts into the files it writes, and what a file must match to be read.
struct FxIdentity
{
  int mUniqueID;
  int mVersion;  // the plug-in version field; written, not checked
  int mNParams;
};

static const int kFxNameLen = 28;
static const int kFxProgramHeadSize = 56;  // up to the values or the state size
static const int kFxBankHeadSize = 156;    // up to the records or the bank size

// A name as read from a file: at most kFxNameLen characters, terminated.
struct FxName
{
  char mText[kFxNameLen + 1];
};

// A program file as read: the name and either the normalised values or the state chunk.
struct FxProgram
{
  bool mChunkForm = false;
  FxName mName = {};
  QvTypedBuf<float> mValues;  // parameter form: one per parameter
  ByteChunk mState;           // chunk form: the state as stored (header included)
};

// A bank file as read: program form holds every record's name and values (record r's values
// start at r x parameter count); chunk form holds the bank chunk.
struct FxBank
{
  bool mChunkForm = false;
  int mNPrograms = 0;
  int mCurrentProgram = 0;  // as stored: the reader of the bank clamps it to its slots
  QvTypedBuf<FxName> mNames;
  QvTypedBuf<float> mValues;
  ByteChunk mBank;  // chunk form: the bank as stored (header included)
};

// Size of a parameter-form program (a whole FXP, or one record of a program-form FXB) with nParams
// values; -1 when it would not fit an int.
int FxProgramSize(int nParams);

// Append a whole file, or (FxPutProgram) one record of a program-form bank. Each answers false,
// having appended nothing usable, when a size does not fit or the chunk cannot grow.
bool FxPutProgram(ByteChunk* pOut, const FxIdentity& id, const char* name, const float* values);
bool FxPutProgramChunk(ByteChunk* pOut, const FxIdentity& id, const char* name,
                       const ByteChunk& state);
// The head of a program-form bank: nPrograms records (FxPutProgram) must follow.
bool FxPutBankHead(ByteChunk* pOut, const FxIdentity& id, int nPrograms, int currentProgram);
bool FxPutBankChunk(ByteChunk* pOut, const FxIdentity& id, int nPrograms, int currentProgram,
                    const ByteChunk& bank);

// Read a whole file of size bytes. The chunk forms are taken only when chunksAllowed. False when
// the file is not one this plug-in can take; pOut is then to be discarded.
bool FxReadProgram(const unsigned char* data, int size, const FxIdentity& id, bool chunksAllowed,
                   FxProgram* pOut);
bool FxReadBank(const unsigned char* data, int size, const FxIdentity& id, bool chunksAllowed,
                FxBank* pOut);
