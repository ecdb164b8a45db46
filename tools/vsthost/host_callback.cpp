#include "tools/vsthost/host_callback.h"

#include <mutex>
#include <utility>
#include <vector>

#include "framework/vst/abi/host_opcodes.h"
#include "tools/vsthost/alloc_probe.h"
#include "tools/vsthost/plugin_instance.h"
#include "tools/vsthost/vst_host.h"

namespace vsthost {
namespace {

std::mutex gRegistryLock;
std::vector<std::pair<AEffect*, PluginInstance*>>& registry()
{
  static std::vector<std::pair<AEffect*, PluginInstance*>> instances;
  return instances;
}
thread_local PluginInstance* tCreating = nullptr;

PluginInstance* findInstance(AEffect* effect)
{
  if (effect)
  {
    std::lock_guard<std::mutex> guard(gRegistryLock);
    for (const auto& entry : registry())
      if (entry.first == effect)
        return entry.second;
  }
  return tCreating;
}

}  // namespace

void registerInstance(AEffect* effect, PluginInstance* instance)
{
  std::lock_guard<std::mutex> guard(gRegistryLock);
  registry().emplace_back(effect, instance);
}

void unregisterInstance(AEffect* effect)
{
  std::lock_guard<std::mutex> guard(gRegistryLock);
  auto& instances = registry();
  for (auto it = instances.begin(); it != instances.end(); ++it)
  {
    if (it->first == effect)
    {
      instances.erase(it);
      return;
    }
  }
}

CreationScope::CreationScope(PluginInstance* instance)
  : mPrevious(tCreating)
{
  tCreating = instance;
}
CreationScope::~CreationScope() { tCreating = mPrevious; }

VST_EXTERN_C VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                    VstIntPtr value, void* ptr, float opt)
{
  AllocProbePause hostWork;  // what the host allocates is not the plug-in's doing
  PluginInstance* instance = findInstance(effect);
  if (!instance)
    return opcode == audioMasterVersion ? 2400 : 0;
  return instance->host().answer(instance, effect, opcode, index, value, ptr, opt);
}

}  // namespace vsthost
