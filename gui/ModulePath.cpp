#include "gui/ModulePath.h"

void ModuleFolder(const char* fileName, int length, int bufferSize, QvString* pFolder)
{
  pFolder->Set("");
  if (!fileName || length <= 0 || length >= bufferSize)
    return;
  int slash = -1;
  for (int i = 0; i < length && fileName[i]; ++i)
    if (fileName[i] == '\\')
      slash = i;
  if (slash < 0 || slash == length - 1 || !fileName[slash + 1])
    return;
  pFolder->Set(fileName, slash + 1);
}
