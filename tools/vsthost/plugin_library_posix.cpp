#include "tools/vsthost/plugin_library.h"

#include <dlfcn.h>

#include <cstring>

namespace vsthost {

void* PluginLibrary::loadModule(const std::string& path, std::string* error)
{
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle && error)
    *error = std::string("cannot load library: ") + dlerror();
  return handle;
}

VstPluginMainProc PluginLibrary::findEntry(void* handle, const char* name)
{
  void* symbol = dlsym(handle, name);
  VstPluginMainProc entry = nullptr;
  static_assert(sizeof(entry) == sizeof(symbol), "function and data pointers differ");
  std::memcpy(&entry, &symbol, sizeof symbol);
  return entry;
}

void PluginLibrary::freeModule(void* handle) { dlclose(handle); }

}  // namespace vsthost
