// The library entry of a plug-in DLL: remembers the module handle for the editor's resources.

#include "framework/vst/PluginVST.h"

#include <windows.h>

// [loader lock held] Every notification succeeds; nothing else may be done here.
extern "C" BOOL WINAPI DllMain(HINSTANCE hDllInst, DWORD /*fdwReason*/, LPVOID /*lpvReserved*/)
{
  gHInstance = hDllInst;
  return TRUE;
}
