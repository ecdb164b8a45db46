// The plug-in library's exported instance entry: VSTPluginMain. (Its legacy alias `main` is
// exported by VSTEntry.def on Windows and by VSTEntryMain.c elsewhere.)

#include "framework/base/Mutex.h"
#include "framework/vst/BoundaryGuard.h"
#include "framework/vst/PluginVST.h"

#include <memory>

// [main thread] Builds one instance for the host and hands out its AEffect, or null.
//
// Creations are serialised by a process-wide mutex, built on first use and destroyed at unload.
// No C++ exception reaches the host: a failing construction answers null and is reported through
// the log before the call returns.
VST_EXTERN_C VST_EXPORT AEffect* VSTPluginMain(audioMasterCallback hostCallback)
{
  AEffect* pEffect = BoundaryGuard::Run("VSTPluginMain", (AEffect*)nullptr, [hostCallback] {
    static QvMutex sMutex;
    QvMutexLock lock(&sMutex);
    PluginInstanceInfo instanceInfo;
    instanceInfo.mVSTHostCallback = hostCallback;
    // Owned here until it is handed out: an exception on the way deletes it.
    std::unique_ptr<PluginVST> pPlug(MakePlugInstance(instanceInfo));
    if (!pPlug)
      return (AEffect*)nullptr;
    pPlug->EnsureDefaultPreset();
    AEffect* pNew = pPlug.release()->GetAEffect();
    if (pNew->numPrograms < 1)
      pNew->numPrograms = 1;
    return pNew;
  });
  BoundaryGuard::Report();
  return pEffect;
}
