#include "tools/vsthost/plugin_library.h"

#include <dlfcn.h>

#include <cstring>

namespace vsthost {

std::unique_ptr<PluginLibrary> PluginLibrary::open(const std::string& path, std::string* error) {
   void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
   if (!handle) {
      if (error) *error = std::string("cannot load library: ") + dlerror();
      return nullptr;
   }
   std::unique_ptr<PluginLibrary> lib(new PluginLibrary());
   lib->mHandle = handle;
   lib->mPath = path;
   for (const char* name : {"VSTPluginMain", "main"}) {
      void* symbol = dlsym(handle, name);
      if (!symbol) continue;
      static_assert(sizeof(lib->mEntry) == sizeof(symbol), "function and data pointers differ");
      std::memcpy(&lib->mEntry, &symbol, sizeof symbol);
      lib->mEntryName = name;
      return lib;
   }
   if (error) *error = "no entry point (VSTPluginMain or main)";
   return nullptr;
}

PluginLibrary::~PluginLibrary() {
   if (mHandle) dlclose(mHandle);
}

} // namespace vsthost
