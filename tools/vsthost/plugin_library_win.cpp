#include "tools/vsthost/plugin_library.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace vsthost {
namespace {

// UTF-8 path to the wide form LoadLibraryW takes, with the separators Windows expects.
std::wstring widePath(const std::string& path)
{
  const int n = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
  if (n <= 0)
    return std::wstring();
  std::vector<wchar_t> buf(static_cast<size_t>(n));
  MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, buf.data(), n);
  std::wstring wide(buf.data());
  for (wchar_t& c : wide)
    if (c == L'/')
      c = L'\\';
  return wide;
}

}  // namespace

void* PluginLibrary::loadModule(const std::string& path, std::string* error)
{
  const std::wstring wide = widePath(path);
  HMODULE module = wide.empty() ? nullptr : LoadLibraryW(wide.c_str());
  if (!module && error)
    *error = "cannot load library: error " + std::to_string(GetLastError());
  return module;
}

VstPluginMainProc PluginLibrary::findEntry(void* handle, const char* name)
{
  FARPROC symbol = GetProcAddress(static_cast<HMODULE>(handle), name);
  VstPluginMainProc entry = nullptr;
  static_assert(sizeof(entry) == sizeof(symbol), "function pointer sizes differ");
  std::memcpy(&entry, &symbol, sizeof symbol);
  return entry;
}

void PluginLibrary::freeModule(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }

}  // namespace vsthost
