// PluginBase: preset source dumps - the current state written as a preset-making call, for pasting
// into a plug-in's factory presets. The text is built whole in memory (any size) and then written.

#include "framework/PluginBase.h"

#include "framework/base/Base64.h"
#include "framework/base/FileIO.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// Appends text to a growing text; false once an append failed.
bool Append(ByteChunk* pText, const char* text)
{
  const int before = pText->Size();
  const int n = (int)strlen(text);
  return pText->PutBytes(text, n) == before + n;
}

// Appends a short formatted text (numbers; at most 63 characters).
bool AppendF(ByteChunk* pText, const char* format, ...)
{
  char s[64];
  va_list args;
  va_start(args, format);
  const int n = vsnprintf(s, sizeof(s), format, args);
  va_end(args);
  return n >= 0 && n < (int)sizeof(s) && Append(pText, s);
}

// The source text of a parameter's value: a whole number for int and enum parameters, true or
// false for bool parameters, six decimals otherwise.
bool AppendValue(ByteChunk* pText, IParam* pParam)
{
  switch (pParam->Type())
  {
    case IParam::kTypeInt:
    case IParam::kTypeEnum:
      return AppendF(pText, "%d", pParam->Int());
    case IParam::kTypeBool:
      return Append(pText, pParam->Bool() ? "true" : "false");
    default:
      return AppendF(pText, "%.6f", pParam->Value());
  }
}

bool WriteText(const char* filename, const ByteChunk& text)
{
  return QvWriteFile(filename, text.GetBytes(), text.Size(), true);
}

}  // namespace

bool PluginBase::DumpPresetSrcCode(const char* filename, const char* paramEnumNames[])
{
  if (!paramEnumNames)
    return false;
  ByteChunk text;
  {
    IMutexLock lock(this);
    bool ok = AppendF(&text, "  MakePresetFromNamedParams(\"name\", %d", NParams());
    for (int i = 0; ok && i < NParams(); ++i)
      ok = paramEnumNames[i] && Append(&text, ",\n    ") && Append(&text, paramEnumNames[i]) &&
           Append(&text, ", ") && AppendValue(&text, GetParam(i));
    if (!ok || !Append(&text, ");\n"))
      return false;
  }
  return WriteText(filename, text);
}

bool PluginBase::DumpPresetBlob(const char* filename)
{
  ByteChunk text;
  {
    IMutexLock lock(this);
    const IPreset* pPreset = mPresets.Get(mCurrentPresetIdx);
    if (!pPreset)
      return false;
    const ByteChunk& state = pPreset->mChunk;
    const int len = Base64EncodedLen(state.Size());
    if (len < 0 || !Append(&text, "MakePresetFromBlob(\"name\", \""))
      return false;
    const int at = text.Size();
    if (text.Resize(at + len + 1) < 0 ||
        Base64Encode(state.GetBytes(), state.Size(), (char*)text.GetBytes() + at) != len)
      return false;
    text.Resize(at + len);  // the terminator goes
    if (!AppendF(&text, "\", %i);\n", state.Size()))
      return false;
  }
  return WriteText(filename, text);
}
