#include "tools/vsthost/plugin_library.h"

namespace vsthost {

std::unique_ptr<PluginLibrary> PluginLibrary::open(const std::string& path, std::string* error)
{
  void* handle = loadModule(path, error);
  if (!handle)
    return nullptr;
  std::unique_ptr<PluginLibrary> lib(new PluginLibrary());
  lib->mHandle = handle;
  lib->mPath = path;
  for (const char* name : {"VSTPluginMain", "main"})
  {
    lib->mEntry = findEntry(handle, name);
    if (!lib->mEntry)
      continue;
    lib->mEntryName = name;
    return lib;
  }
  if (error)
    *error = "no entry point (VSTPluginMain or main)";
  return nullptr;
}

std::unique_ptr<PluginLibrary> PluginLibrary::linked(VstPluginMainProc entry)
{
  std::unique_ptr<PluginLibrary> lib(new PluginLibrary());
  lib->mEntry = entry;
  lib->mEntryName = "VSTPluginMain";
  return lib;
}

PluginLibrary::~PluginLibrary()
{
  if (mHandle)
    freeModule(mHandle);
}

}  // namespace vsthost
