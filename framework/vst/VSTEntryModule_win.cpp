// The module handle of the plug-in library (set by DllMain, read by the editor).

#include "framework/vst/PluginVST.h"

#include <windows.h>

HINSTANCE gHInstance = nullptr;
