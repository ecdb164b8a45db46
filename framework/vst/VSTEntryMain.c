/* The legacy entry `main` of the plug-in library (native builds; Windows exports it as an alias of
 * VSTPluginMain through VSTEntry.def). It returns the instance record, so it is written in C: a C++
 * `main` must return int. The host callback is passed on at full pointer width. */

#include "framework/vst/abi/aeffect.h"

AEffect* VSTPluginMain(audioMasterCallback hostCallback);

#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wmain"
#endif

VST_EXPORT AEffect* main(audioMasterCallback hostCallback) { return VSTPluginMain(hostCallback); }
