#pragma once
// Packed versions: major in bits 16 and up, minor in bits 8 to 15, patch in bits 0 to 7.
// Hosts are told the decimal form major * 10000 + minor * 100 + patch.

// Bytes a version text needs with its terminator ("v-32768.255.255").
static const int kMaxVersionStrLen = 16;

void GetVersionParts(int version, int* pMajor, int* pMinor, int* pPatch);
int GetDecimalVersion(int version);
// Writes "v<major>.<minor>.<patch>" into buffer (kMaxVersionStrLen bytes).
void GetVersionStr(int version, char* buffer);
// The packed form of a decimal version (5012 gives major 0, minor 50, patch 12).
int PackDecimalVersion(int decimalVersion);
