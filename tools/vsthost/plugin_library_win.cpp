#include "tools/vsthost/plugin_library.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace vsthost {
namespace {

// UTF-8 path to the wide form LoadLibraryW takes, with the separators Windows expects.
std::wstring widePath(const std::string& path) {
   const int n = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
   if (n <= 0) return std::wstring();
   std::vector<wchar_t> buf(static_cast<size_t>(n));
   MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, buf.data(), n);
   std::wstring wide(buf.data());
   for (wchar_t& c : wide)
      if (c == L'/') c = L'\\';
   return wide;
}

} // namespace

std::unique_ptr<PluginLibrary> PluginLibrary::open(const std::string& path, std::string* error) {
   const std::wstring wide = widePath(path);
   HMODULE module = wide.empty() ? nullptr : LoadLibraryW(wide.c_str());
   if (!module) {
      if (error) *error = "cannot load library: error " + std::to_string(GetLastError());
      return nullptr;
   }
   std::unique_ptr<PluginLibrary> lib(new PluginLibrary());
   lib->mHandle = module;
   lib->mPath = path;
   for (const char* name : {"VSTPluginMain", "main"}) {
      FARPROC symbol = GetProcAddress(module, name);
      if (!symbol) continue;
      static_assert(sizeof(lib->mEntry) == sizeof(symbol), "function pointer sizes differ");
      std::memcpy(&lib->mEntry, &symbol, sizeof symbol);
      lib->mEntryName = name;
      return lib;
   }
   if (error) *error = "no entry point (VSTPluginMain or main)";
   return nullptr;
}

PluginLibrary::~PluginLibrary() {
   if (mHandle) FreeLibrary(static_cast<HMODULE>(mHandle));
}

} // namespace vsthost
