// The plug-in library's exported instance entry: VSTPluginMain. (Its legacy alias `main` is
// exported by VSTEntry.def on Windows and by VSTEntryMain.c elsewhere.)

#include "framework/Mutex.h"
#include "framework/PluginVST.h"

#include <new>

// [main thread] Builds one instance for the host and hands out its AEffect, or null.
//
// Creations are serialised by a process-wide mutex, built on first use and destroyed at unload.
// No C++ exception reaches the host: a failing construction answers null.
VST_EXTERN_C VST_EXPORT AEffect* VSTPluginMain(audioMasterCallback hostCallback)
{
  PluginVST* pPlug = nullptr;
  try
  {
    static QvMutex sMutex;
    QvMutexLock lock(&sMutex);
    PluginInstanceInfo instanceInfo;
    instanceInfo.mVSTHostCallback = hostCallback;
    pPlug = MakePlugInstance(instanceInfo);
    if (!pPlug)
      return nullptr;
    pPlug->EnsureDefaultPreset();
    AEffect* pEffect = pPlug->GetAEffect();
    if (pEffect->numPrograms < 1)
      pEffect->numPrograms = 1;
    return pEffect;
  }
  catch (...)
  {
    delete pPlug;
    return nullptr;
  }
}
