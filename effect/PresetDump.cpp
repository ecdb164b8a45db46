// The developer's preset dump: the current values written as a preset-making source line and
// appended to a fixed file, for pasting into the factory presets. Nothing in the plug-in calls it.
#include "effect/Quorvalent.h"

#include <cstdio>
#include <cstring>

namespace {

const char* const kDumpFile = "/Users/Dovrik/Desktop/QuorvalentPresets.txt";

// Appends text to the dump file; writes nothing when the file cannot be opened.
void WriteLogFile(const char* text)
{
  FILE* file = fopen(kDumpFile, "a");
  if (!file)
    return;
  fputs(text, file);
  fclose(file);
}

}  // namespace

bool Quorvalent::presetDumpLine(char* line, int size)
{
  int len = snprintf(line, (size_t)size, "MakePreset(\"Bu %d\",", mDumpCount);
  if (len < 0 || len >= size)
    return false;

  for (int i = 0; i < kNumParams; ++i)
  {
    IParam* param = GetParam(i);
    double value;
    switch (i)
    {
      case kFilterEnvAmount:
        value = (double)(float)param->Value();
        break;
      case kAmpLFORate:
      case kFilterLFORate:
      case kFilterType:
      case kAmpLFOType:
      case kFilterLFOType:
      case kArpSpeed:
        value = (double)(float)param->Int();
        break;
      case kAmpLFOTriplet:
      case kFilterLFOTriplet:
      case kPush:
      case kStepMode:
        value = param->Bool() ? 1.0 : 0.0;
        break;
      default:
        value = (i >= kStep1 && i <= kStep16) ? (param->Bool() ? 1.0 : 0.0) : param->Value();
        break;
    }
    const int n = snprintf(line + len, (size_t)(size - len), "%f,", value);
    if (n < 0 || n >= size - len)
      return false;
    len += n;
  }

  // The last comma becomes the end of the call.
  len -= 1;
  const int n = snprintf(line + len, (size_t)(size - len), ");\n");
  return n >= 0 && n < size - len;
}

void Quorvalent::SavetheWorld()
{
  char line[kDumpLineSize];
  if (presetDumpLine(line, kDumpLineSize))
    WriteLogFile(line);
  ++mDumpCount;
}
