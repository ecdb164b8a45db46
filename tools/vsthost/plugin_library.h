#pragma once

// A plug-in's shared library, loaded for as long as this object lives, with its entry point:
// `VSTPluginMain`, or the legacy `main` when the library exports only that.
//
// Every instance created from the library must be closed before the library is released.

#include <memory>
#include <string>

#include "framework/vst/abi/aeffect.h"

namespace vsthost {

class PluginLibrary
{
public:
  // Null on failure, with the reason in *error.
  static std::unique_ptr<PluginLibrary> open(const std::string& path, std::string* error);
  // A plug-in linked into this program, reached through its entry point: nothing to load or
  // release.
  static std::unique_ptr<PluginLibrary> linked(VstPluginMainProc entry);
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  VstPluginMainProc entry() const { return mEntry; }
  const std::string& entryName() const { return mEntryName; }
  const std::string& path() const { return mPath; }

private:
  PluginLibrary() = default;

  // The platform's part (plugin_library_posix.cpp, plugin_library_win.cpp): load a library
  // (null on failure, with the reason in *error), look up an exported function, release it.
  static void* loadModule(const std::string& path, std::string* error);
  static VstPluginMainProc findEntry(void* handle, const char* name);
  static void freeModule(void* handle);

  void* mHandle = nullptr;
  VstPluginMainProc mEntry = nullptr;
  std::string mEntryName;
  std::string mPath;
};

}  // namespace vsthost
