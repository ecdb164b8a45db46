// Program and bank files chosen by the user: the editor's file dialog gives the path, the
// path-level operations of ProgramFiles.cpp do the rest.
#include "framework/PluginBase.h"
#include "gui/IGraphics.h"

#include <cstdio>

namespace {

// The file the user chose in the editor's dialog, into *pPath (which starts as the offered name).
bool AskForFile(IGraphics* pGraphics, EFileAction action, QvString* pDir, const char* extension,
                QvString* pPath)
{
  if (!pGraphics)
    return false;
  char ext[8];
  snprintf(ext, sizeof(ext), "%s", extension);
  return pGraphics->PromptForFile(pPath, action, pDir, ext) && pPath->GetLength() > 0;
}

}  // namespace

bool PluginBase::SaveProgramAsFXP(const char* defaultFileName)
{
  QvString path(defaultFileName);
  return AskForFile(GetGUI(), kFileSave, &mPreviousPath, "fxp", &path) &&
         SaveProgramToFXPFile(path.Get());
}

bool PluginBase::SaveBankAsFXB(const char* defaultFileName)
{
  QvString path(defaultFileName);
  return AskForFile(GetGUI(), kFileSave, &mPreviousPath, "fxb", &path) &&
         SaveBankToFXBFile(path.Get());
}

bool PluginBase::LoadProgramFromFXP()
{
  QvString path;
  return AskForFile(GetGUI(), kFileOpen, &mPreviousPath, "fxp", &path) &&
         LoadProgramFromFXPFile(path.Get());
}

bool PluginBase::LoadBankFromFXB()
{
  QvString path;
  return AskForFile(GetGUI(), kFileOpen, &mPreviousPath, "fxb", &path) &&
         LoadBankFromFXBFile(path.Get());
}
