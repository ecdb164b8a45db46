#pragma once

// The `audioMasterCallback` every plug-in loaded by this host receives, and the registry that
// leads a call from its `AEffect` back to the `PluginInstance` (and so the `VstHost`) it belongs
// to.
//
// A plug-in may call the host while its entry point is still running, before the host knows the
// record (with a null effect or the new one): `CreationScope` names the instance being created on
// the calling thread for that time.

#include "framework/vst/abi/aeffect.h"

namespace vsthost {

class PluginInstance;

VST_EXTERN_C VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                    VstIntPtr value, void* ptr, float opt);

void registerInstance(AEffect* effect, PluginInstance* instance);
void unregisterInstance(AEffect* effect);

class CreationScope
{
public:
  explicit CreationScope(PluginInstance* instance);
  ~CreationScope();
  CreationScope(const CreationScope&) = delete;
  CreationScope& operator=(const CreationScope&) = delete;

private:
  PluginInstance* mPrevious;
};

}  // namespace vsthost
